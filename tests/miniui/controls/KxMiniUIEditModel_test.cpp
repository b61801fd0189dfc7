// The edit box's text model with real GDI+ measuring: what typing, pasting,
// deleting and undo do to the text and the selection, password masking, and
// where the text scrolls when it is wider than the box.
#include <windows.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zelk::test
