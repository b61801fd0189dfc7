// The edit box's text model with real GDI+ measuring: what typing, pasting,
// deleting and undo do to the text and the selection, password masking, and
// where the text scrolls when it is wider than the box.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "miniui/controls/KxMiniUIEditModel.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIValue.h"

namespace zelk::test {
namespace {

// A 100-pixel-wide text rectangle starting at x = 10.
constexpr RECT kBox{10, 4, 110, 24};

KxMiniUITextFormat Format(int align = KxMiniUIValue::kAlignNear) {
  KxMiniUITextFormat format;
  format.size = 12;
  format.align = align;
  return format;
}

int MeasureWidth(const std::wstring& text) {
  KxMiniUICanvasGdiplus measuring(1, 1, true);
  SIZE size{0, 0};
  EXPECT_TRUE(measuring.MeasureTextSimple(text, Format(), size));
  return size.cx;
}

class EditModelTest : public ::testing::Test {
 protected:
  void Prepare(const std::wstring& text, int limit = 0, bool password = false) {
    model.SetFormat(Format());
    model.SetTextRect(kBox);
    model.SetLimit(limit);
    model.SetPassword(password);
    model.SetText(text);
  }

  KxMiniUIEditModel model;
};

TEST_F(EditModelTest, InsertReplacesTheSelectionWithinTheLimitAndWithoutLineBreaks) {
  const struct {
    const char* name;
    const wchar_t* text;
    int limit, anchor, caret;
    const wchar_t* inserted;
    bool changed;
    const wchar_t* expected;
    int expectedCaret;
  } cases[] = {
      {"at the caret", L"abcd", 0, 2, 2, L"XY", true, L"abXYcd", 4},
      {"over a reversed selection", L"abcd", 0, 3, 1, L"X", true, L"aXd", 2},
      {"line breaks dropped", L"ab", 0, 2, 2, L"1\r\n2\n3\r", true, L"ab123", 5},
      {"cut to the room left", L"abc", 5, 3, 3, L"12345", true, L"abc12", 5},
      {"room made by the selection", L"abcde", 5, 1, 4, L"1234", true, L"a123e", 4},
      {"full box, no selection", L"abcde", 5, 5, 5, L"1", false, L"abcde", 5},
      {"nothing but line breaks", L"ab", 0, 1, 1, L"\r\n", false, L"ab", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.text, c.limit);
    model.SetSelection(c.anchor, c.caret);
    EXPECT_EQ(model.Insert(c.inserted), c.changed);
    EXPECT_EQ(model.GetText(), c.expected);
    EXPECT_EQ(model.GetCaret(), c.expectedCaret);
    EXPECT_FALSE(model.HasSelection());
    EXPECT_EQ(model.UndoCount(), c.changed ? 1u : 0u);
  }
}

TEST_F(EditModelTest, TypingIntoAFullBoxDoesNothingEvenOverASelection) {
  Prepare(L"abcde", 5);
  model.SetSelection(1, 3);
  EXPECT_FALSE(model.TypeCharacter(L'x'));
  EXPECT_EQ(model.GetText(), L"abcde");
  EXPECT_EQ(model.UndoCount(), 0u);

  Prepare(L"abcd", 5);
  model.SetSelection(1, 3);
  EXPECT_TRUE(model.TypeCharacter(L'x'));
  EXPECT_EQ(model.GetText(), L"axd");
}

TEST_F(EditModelTest, DeleteRemovesTheSelectionOrOneCharacterAndNothingAtTheEnds) {
  const struct {
    const char* name;
    int anchor, caret;
    KxMiniUIEditModel::DeleteDirection direction;
    bool changed;
    const wchar_t* expected;
    int expectedCaret;
  } cases[] = {
      {"backspace at the start", 0, 0, KxMiniUIEditModel::kDeleteBackward, false, L"abcd", 0},
      {"delete at the end", 4, 4, KxMiniUIEditModel::kDeleteForward, false, L"abcd", 4},
      {"backspace inside", 2, 2, KxMiniUIEditModel::kDeleteBackward, true, L"acd", 1},
      {"delete inside", 2, 2, KxMiniUIEditModel::kDeleteForward, true, L"abd", 2},
      {"backspace over a selection", 3, 1, KxMiniUIEditModel::kDeleteBackward, true, L"ad", 1},
      {"delete over a selection", 1, 3, KxMiniUIEditModel::kDeleteForward, true, L"ad", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(L"abcd");
    model.SetSelection(c.anchor, c.caret);
    EXPECT_EQ(model.Delete(c.direction), c.changed);
    EXPECT_EQ(model.GetText(), c.expected);
    EXPECT_EQ(model.GetCaret(), c.expectedCaret);
    EXPECT_EQ(model.GetAnchor(), c.expectedCaret);
    EXPECT_EQ(model.UndoCount(), c.changed ? 1u : 0u);
  }
}

TEST_F(EditModelTest, CaretPositionsAfterEditsInTheMiddleMatchAFreshMeasurement) {
  Prepare(L"iiWW");
  model.SetSelection(2, 2);
  ASSERT_TRUE(model.Insert(L"mmi"));
  model.SetSelection(1, 1);
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteForward));
  model.SetSelection(4, 4);
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteBackward));
  ASSERT_EQ(model.GetText(), L"immWW");
  EXPECT_EQ(model.GetTextSize().cx, MeasureWidth(L"immWW"));
  EXPECT_GT(model.GetTextSize().cy, 0);
  for (int i = 1; i <= model.Length(); ++i) {
    EXPECT_EQ(model.CaretPosition(i), kBox.left + MeasureWidth(model.GetText().substr(0, i))) << i;
  }
  model.SetSelection(0, model.Length());
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteBackward));
  EXPECT_EQ(model.GetTextSize().cx, 0);
  EXPECT_EQ(model.GetTextSize().cy, 0);
}

TEST_F(EditModelTest, AfterOneHundredAndOneChangesOneHundredUndoStepsWork) {
  Prepare(L"");
  for (int i = 0; i < 101; ++i) ASSERT_TRUE(model.TypeCharacter(L'a'));
  EXPECT_EQ(model.UndoCount(), KxMiniUIEditModel::kMaxUndo);
  for (int i = 0; i < 100; ++i) {
    ASSERT_TRUE(model.Undo()) << i;
    EXPECT_EQ(model.Length(), 100 - i);
    EXPECT_EQ(model.GetCaret(), model.Length());
  }
  // The oldest snapshot (the empty text) was dropped.
  EXPECT_FALSE(model.CanUndo());
  EXPECT_FALSE(model.Undo());
  EXPECT_EQ(model.GetText(), L"a");
}

TEST_F(EditModelTest, SetTextEmptiesTheUndoListAndDropsLineBreaks) {
  Prepare(L"ab");
  ASSERT_TRUE(model.Insert(L"c"));
  ASSERT_TRUE(model.CanUndo());
  model.SetText(L"x\r\ny");
  EXPECT_EQ(model.GetText(), L"xy");
  EXPECT_FALSE(model.CanUndo());
  EXPECT_EQ(model.GetCaret(), 2);
  EXPECT_EQ(model.GetAnchor(), 2);
}

TEST_F(EditModelTest, APasswordShowsOneCircleACharacterAndKeepsNoUndo) {
  Prepare(L"se", 0, true);
  ASSERT_TRUE(model.Insert(L"cret"));
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteBackward));
  EXPECT_EQ(model.GetText(), L"secre");
  EXPECT_EQ(model.GetDisplayText(), std::wstring(5, L'\x25CF'));
  EXPECT_EQ(model.GetTextSize().cx, MeasureWidth(std::wstring(5, L'\x25CF')));
  EXPECT_FALSE(model.CanUndo());
  EXPECT_FALSE(model.Undo());
  EXPECT_EQ(model.GetText(), L"secre");
}

TEST_F(EditModelTest, ShiftLeftTwiceFromTheEndSelectsTheLastTwoAndLeftCollapses) {
  Prepare(L"hello");
  model.MoveCaret(model.GetCaret() - 1, true);
  model.MoveCaret(model.GetCaret() - 1, true);
  EXPECT_EQ(model.GetSelectedText(), L"lo");
  const RECT selection = model.SelectionRect(16);
  EXPECT_EQ(selection.left, model.CaretPosition(3));
  EXPECT_EQ(selection.right, model.CaretPosition(5));
  EXPECT_EQ(selection.top, kBox.top + 2);  // centred: 20 / 2 - 16 / 2
  EXPECT_EQ(selection.bottom - selection.top, 16);

  model.MoveCaret(model.GetCaret() - 1, false);
  EXPECT_FALSE(model.HasSelection());
  EXPECT_EQ(model.GetCaret(), 2);
  const RECT collapsed = model.SelectionRect(16);
  EXPECT_TRUE(::IsRectEmpty(&collapsed));
}

TEST_F(EditModelTest, HitTestFindsTheNearestCaretPosition) {
  Prepare(L"WWWW");
  for (int i = 0; i <= 4; ++i) {
    SCOPED_TRACE(i);
    const int x = model.CaretPosition(i);
    EXPECT_EQ(model.HitTest(x), i);
    if (i > 0) {
      EXPECT_EQ(model.HitTest(x - 1), i) << "just left of a position, past the middle";
    }
    if (i < 4) {
      EXPECT_EQ(model.HitTest(x + 1), i) << "just right of a position, before the middle";
    }
  }
  EXPECT_EQ(model.HitTest(kBox.left - 50), 0);
  EXPECT_EQ(model.HitTest(kBox.right + 50), 4);
}

TEST_F(EditModelTest, FittingTextStartsWhereTheAlignmentSays) {
  const struct {
    int align;
    const char* name;
  } cases[] = {{KxMiniUIValue::kAlignNear, "near"},
               {KxMiniUIValue::kAlignCenter, "center"},
               {KxMiniUIValue::kAlignFar, "far"},
               {static_cast<int>(KxMiniUITextFormat::kAlignUnset), "unset"}};
  const int width = MeasureWidth(L"abc");
  ASSERT_GT(width, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    KxMiniUIEditModel aligned;
    aligned.SetFormat(Format(c.align));
    aligned.SetTextRect(kBox);
    aligned.SetText(L"abc");
    int expected = kBox.left;
    if (c.align == KxMiniUIValue::kAlignCenter) expected = kBox.left + 50 - width / 2;
    if (c.align == KxMiniUIValue::kAlignFar) expected = kBox.right - width;
    EXPECT_EQ(aligned.GetOrigin(), expected);
    EXPECT_EQ(aligned.DrawingRect().left, kBox.left);
  }
}

TEST_F(EditModelTest, WideTextScrollsItsEndToTheRightEdgeAndItsStartToTheLeft) {
  const std::wstring wide(40, L'W');
  Prepare(wide);
  const int width = model.GetTextSize().cx;
  ASSERT_GT(width, kBox.right - kBox.left);
  // Set with the caret at the end: the caret stands at the right edge.
  EXPECT_EQ(model.GetOrigin(), kBox.right - width);
  EXPECT_EQ(model.GetCaretX(), kBox.right);

  model.MoveCaret(0, false);  // Home
  EXPECT_EQ(model.GetOrigin(), kBox.left);
  EXPECT_EQ(model.DrawingRect().left, kBox.left);
  EXPECT_EQ(model.DrawingRect().right, kBox.left + width);

  model.MoveCaret(model.Length(), false);  // End
  EXPECT_EQ(model.GetOrigin() + width, kBox.right);
  EXPECT_EQ(model.DrawingRect().right, kBox.right);

  // Walking right from the start scrolls once the caret nears the right edge
  // and keeps it inside the box.
  model.MoveCaret(0, false);
  for (int i = 1; i < model.Length(); ++i) {
    model.MoveCaret(i, false);
    EXPECT_LE(model.GetCaretX(), kBox.right) << i;
    EXPECT_GE(model.GetCaretX(), kBox.left) << i;
  }
  EXPECT_LT(model.GetOrigin(), kBox.left);
}

TEST_F(EditModelTest, DeletingFromWideTextKeepsTheBoxFilled) {
  Prepare(std::wstring(40, L'W'));
  model.MoveCaret(0, false);
  model.MoveCaret(model.Length(), false);
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteBackward));
  // Still wider than the box: its end stays on the right edge.
  EXPECT_EQ(model.GetOrigin() + model.GetTextSize().cx, kBox.right);

  // Once the text fits it starts at the left edge again.
  model.SetSelection(0, model.Length() - 2);
  ASSERT_TRUE(model.Delete(KxMiniUIEditModel::kDeleteForward));
  EXPECT_EQ(model.GetText(), L"WW");
  EXPECT_EQ(model.GetOrigin(), kBox.left);
}

TEST_F(EditModelTest, InsertingIntoWideTextPutsTheCaretAtTheRightEdge) {
  Prepare(L"");
  ASSERT_TRUE(model.Insert(std::wstring(40, L'W')));
  EXPECT_EQ(model.GetCaretX(), kBox.right);
  EXPECT_EQ(model.GetOrigin() + model.GetTextSize().cx, kBox.right);
  // Inserted near the start, the text is shown from its start.
  model.SetSelection(1, 1);
  ASSERT_TRUE(model.Insert(L"a"));
  EXPECT_EQ(model.GetOrigin(), kBox.left);
  EXPECT_EQ(model.GetCaret(), 2);
}

// --- Long texts.

// Real GDI+ measuring, counting the characters it is given.
class CountingMeasure {
 public:
  KxMiniUIEditModel::MeasureHook Hook() {
    return [this](const std::wstring& text, const KxMiniUITextFormat& format, SIZE& size) {
      characters += text.size();
      return canvas_.MeasureTextSimple(text, format, size);
    };
  }
  size_t characters = 0;

 private:
  KxMiniUICanvasGdiplus canvas_{1, 1, true};
};

// Words and path pieces, with and without spaces between them.
std::wstring LongText(size_t length) {
  static const wchar_t kPieces[] = L"Program Files\\ZelkPic  WAVE ,.;iiWW ";
  std::wstring text;
  for (size_t i = 0; text.size() < length; ++i) text.push_back(kPieces[i % (sizeof(kPieces) / sizeof(wchar_t) - 1)]);
  return text;
}

// What measuring costs, in characters given to GDI+: a paste or SetText
// about its own length, an edit inside a long text about nothing.
TEST_F(EditModelTest, MeasuringCostsWhatTheChangeIsLongNotTheSquareOfTheText) {
  constexpr size_t kLength = 4000;
  const std::wstring text = LongText(kLength);
  struct Case {
    const char* name;
    std::function<void(KxMiniUIEditModel&)> prepare;
    std::function<void(KxMiniUIEditModel&)> change;
    size_t mostCharacters;
  };
  const auto filled = [&](KxMiniUIEditModel& m) { m.SetText(text); };
  const Case cases[] = {
      {"paste into an empty box", [](KxMiniUIEditModel&) {}, [&](KxMiniUIEditModel& m) { m.Insert(text); },
       3 * kLength},
      {"SetText", [](KxMiniUIEditModel&) {}, [&](KxMiniUIEditModel& m) { m.SetText(text); }, 3 * kLength},
      {"typing near the start", filled,
       [](KxMiniUIEditModel& m) {
         m.SetSelection(10, 10);
         m.TypeCharacter(L'x');
       },
       3000},
      {"backspace in the middle", filled,
       [](KxMiniUIEditModel& m) {
         m.SetSelection(2000, 2000);
         m.Delete(KxMiniUIEditModel::kDeleteBackward);
       },
       3000},
      {"undo of a typed character", [&](KxMiniUIEditModel& m) {
         m.SetText(text);
         m.SetSelection(10, 10);
         m.TypeCharacter(L'x');
       },
       [](KxMiniUIEditModel& m) { m.Undo(); }, 3000},
      {"SetText putting a short text back", [&](KxMiniUIEditModel& m) {
         m.SetText(L"C:\\Program Files\\ZelkPic");
         m.SetSelection(m.Length(), m.Length());
         m.Insert(text);
       },
       [](KxMiniUIEditModel& m) { m.SetText(L"C:\\Program Files\\ZelkPic"); }, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CountingMeasure counting;
    KxMiniUIEditModel counted;
    counted.SetFormat(Format());
    counted.SetTextRect(kBox);
    counted.SetMeasureHook(counting.Hook());
    c.prepare(counted);
    counting.characters = 0;
    c.change(counted);
    EXPECT_GT(counting.characters, 0u);
    EXPECT_LE(counting.characters, c.mostCharacters);
  }
}

// Widths summed over runs still give a caret that never moves left and a
// text as wide as GDI+ measures it whole, give or take rounding.
TEST_F(EditModelTest, LongTextCaretPositionsNeverShrinkAndAddUpToTheWholeWidth) {
  const std::wstring text = LongText(1500);
  model.SetFormat(Format());
  model.SetTextRect(RECT{0, 0, 1000000, 20});
  model.SetText(text);
  int previous = model.CaretPosition(0);
  for (int i = 1; i <= model.Length(); ++i) {
    const int position = model.CaretPosition(i);
    ASSERT_GE(position, previous) << i;
    previous = position;
  }
  const int whole = MeasureWidth(text);
  EXPECT_NEAR(model.GetTextSize().cx, whole, whole / 50);
  // A space inside the text takes room, as in the whole text.
  const int spaces = static_cast<int>(text.find(L"  ", text.size() / 2));
  EXPECT_GT(model.CaretPosition(spaces + 2), model.CaretPosition(spaces));
}

// A long text is drawn from the characters in view, placed where they
// stand in the whole text; a text that fits is drawn whole.
TEST_F(EditModelTest, OnlyTheCharactersInViewOfALongTextAreDrawn) {
  Prepare(L"abc");
  RECT drawing{};
  EXPECT_EQ(model.VisibleDisplayText(drawing), L"abc");
  EXPECT_TRUE(::EqualRect(&drawing, &kBox));

  // No spaces: every character moves the caret, so the hit at the
  // drawing's left edge is the slice's first character.
  std::wstring text;
  while (text.size() < 4000) text += L"ZelkPic\\WAVEiiW";
  for (const int caret : {0, 2000, 4000}) {
    SCOPED_TRACE(caret);
    Prepare(text);
    model.MoveCaret(caret, false);
    const std::wstring visible = model.VisibleDisplayText(drawing);
    ASSERT_FALSE(visible.empty());
    EXPECT_LT(visible.size(), 100u);
    const int first = model.HitTest(drawing.left);
    EXPECT_EQ(text.substr(first, visible.size()), visible);
    EXPECT_LE(drawing.left, kBox.left);
    EXPECT_GE(drawing.right, kBox.right);
  }
}

TEST_F(EditModelTest, TheUndoListHoldsNoMoreBytesThanItsBound) {
  // Each snapshot of this text is a little over 1 MiB.
  const std::wstring text(KxMiniUIEditModel::kMaxUndoBytes / sizeof(wchar_t) / 4, L'i');
  const size_t snapshotBytes = (text.size() + 1) * sizeof(wchar_t);
  Prepare(text);
  for (int i = 0; i < 8; ++i) ASSERT_TRUE(model.TypeCharacter(L'a'));
  EXPECT_LE(model.UndoBytes(), KxMiniUIEditModel::kMaxUndoBytes);
  const size_t kept = KxMiniUIEditModel::kMaxUndoBytes / snapshotBytes;
  ASSERT_EQ(model.UndoCount(), kept);
  // The newest snapshots stay, newest first.
  for (size_t i = 0; i < kept; ++i) {
    ASSERT_TRUE(model.Undo()) << i;
    EXPECT_EQ(model.Length(), static_cast<int>(text.size() + 7 - i));
  }
  EXPECT_FALSE(model.Undo());
  EXPECT_EQ(model.UndoBytes(), 0u);
}

// --- Surrogate pairs: one character each.

const std::wstring kFace = L"\xD83D\xDE00";  // U+1F600, two UTF-16 units

TEST_F(EditModelTest, StepsAndDeletesTreatASurrogatePairAsOneCharacter) {
  // "a" face "b" face: boundaries at 0, 1, 3, 4, 6.
  const std::wstring text = L"a" + kFace + L"b" + kFace;
  struct Case {
    const char* name;
    int caret;
    std::function<int(KxMiniUIEditModel&)> step;
    int expectedIndex;
  };
  const Case steps[] = {
      {"right over a pair", 1, [](KxMiniUIEditModel& m) { return m.NextCharacter(m.GetCaret()); }, 3},
      {"left over a pair", 6, [](KxMiniUIEditModel& m) { return m.PreviousCharacter(m.GetCaret()); }, 4},
      {"left back to before the pair", 3, [](KxMiniUIEditModel& m) { return m.PreviousCharacter(m.GetCaret()); }, 1},
      {"right at the end stays", 6, [](KxMiniUIEditModel& m) { return m.NextCharacter(m.GetCaret()); }, 6},
      {"an index inside a pair is its start", 2, [](KxMiniUIEditModel& m) { return m.GetCaret(); }, 1},
  };
  for (const Case& c : steps) {
    SCOPED_TRACE(c.name);
    Prepare(text);
    model.MoveCaret(c.caret, false);
    EXPECT_EQ(c.step(model), c.expectedIndex);
  }

  struct DeleteCase {
    const char* name;
    int anchor, caret;
    KxMiniUIEditModel::DeleteDirection direction;
    std::wstring expected;
    int expectedCaret;
  };
  const DeleteCase deletes[] = {
      {"backspace after a pair", 3, 3, KxMiniUIEditModel::kDeleteBackward, L"ab" + kFace, 1},
      {"delete before a pair", 1, 1, KxMiniUIEditModel::kDeleteForward, L"ab" + kFace, 1},
      {"backspace at the end", 6, 6, KxMiniUIEditModel::kDeleteBackward, L"a" + kFace + L"b", 4},
      {"a selection ending inside a pair takes none of it", 0, 2, KxMiniUIEditModel::kDeleteForward,
       L"" + kFace + L"b" + kFace, 0},
      {"a selection from inside a pair takes all of it", 2, 4, KxMiniUIEditModel::kDeleteForward,
       L"a" + kFace, 1},
  };
  for (const DeleteCase& c : deletes) {
    SCOPED_TRACE(c.name);
    Prepare(text);
    model.SetSelection(c.anchor, c.caret);
    EXPECT_TRUE(model.Delete(c.direction));
    EXPECT_EQ(model.GetText(), c.expected);
    EXPECT_EQ(model.GetCaret(), c.expectedCaret);
  }
}

TEST_F(EditModelTest, TheLimitCountsAPairOnceAndNeverCutsOne) {
  struct Case {
    const char* name;
    std::wstring text;
    int limit;
    std::wstring inserted;
    std::wstring expected;
  };
  const Case cases[] = {
      {"pairs fill the room as characters", L"ab", 4, kFace + kFace + kFace, L"ab" + kFace + kFace},
      {"a pair that does not fit is left out whole", L"abc", 4, L"x" + kFace, L"abcx"},
      {"a full box of pairs takes nothing", kFace + kFace, 2, L"x", kFace + kFace},
      {"half pairs are not inserted", L"a", 0, L"x\xD83Dy\xDE00z", L"axyz"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Prepare(c.text, c.limit);
    model.Insert(c.inserted);
    EXPECT_EQ(model.GetText(), c.expected);
  }
  Prepare(kFace + L"a", 2);
  EXPECT_FALSE(model.TypeCharacter(L'b'));
  EXPECT_EQ(model.CharacterCount(), 2);
}

TEST_F(EditModelTest, APasswordShowsOneCircleForAPairAndAClickNeverLandsInsideOne) {
  Prepare(L"a" + kFace + L"b", 0, true);
  EXPECT_EQ(model.GetDisplayText(), std::wstring(3, KxMiniUIEditModel::kPasswordChar));
  EXPECT_EQ(model.GetTextSize().cx, MeasureWidth(std::wstring(3, KxMiniUIEditModel::kPasswordChar)));
  EXPECT_EQ(model.CaretPosition(3), kBox.left + MeasureWidth(std::wstring(2, KxMiniUIEditModel::kPasswordChar)));

  for (const bool password : {false, true}) {
    SCOPED_TRACE(password ? "password" : "plain");
    Prepare(L"a" + kFace + L"b" + kFace, 0, password);
    for (int x = kBox.left - 2; x <= kBox.left + model.GetTextSize().cx + 2; ++x) {
      const int index = model.HitTest(x);
      EXPECT_TRUE(index != 2 && index != 5) << "x " << x << " hit " << index;
    }
  }
}

}  // namespace
}  // namespace zelk::test
