// The edit box on real windows under real input: keys typed through the
// system's input queue, the mouse moved and clicked, the real clipboard,
// its right-click menu driven from a second thread while the box's menu
// loop runs, and composed text from the window's input method.
#include <windows.h>

#include <gtest/gtest.h>
#include <imm.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "miniui/controls/KxMiniUIEditView.h"
#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "miniui/core/KxMiniUIInputMethod.h"
#include "miniui/core/KxMiniUIText.h"
#include "miniui/core/KxMiniUIWindowImpl.h"
#include "tests/miniui/controls/support/Clipboard.h"
#include "tests/miniui/controls/support/ControlWindow.h"
#include "tests/miniui/controls/support/MenuScreenPoint.h"
#include "tests/miniui/core/support/SyntheticInput.h"

namespace zelk::test {
namespace {

// The box: id 10 at (10, 10) - (210, 40) of a 300 x 160 window.
constexpr int kBox = 10;
constexpr POINT kInBox{110, 25};
constexpr POINT kBesideBox{150, 120};
constexpr COLORREF kWhite = RGB(255, 255, 255);
// How long a click into the box may take to arrive on a loaded machine.
constexpr DWORD kLateInputMs = 2000;

std::string EditLayout(const std::string& attributes, const std::string& text = "") {
  return ControlLayout("<edit id=\"10\" pos=\"10,10,210,40\" " + attributes + ">" + text + "</edit>");
}

// Every delegate call, in order: "text", "text(view)", "in", "in(view)"...
class DelegateLog : public KxMiniUIEditViewDelegate {
 public:
  bool OnReturnKey(KxMiniUIEditView* view) override { return Log("return(view)", view, nullptr); }
  bool OnReturnKey() override { return Log("return"); }
  bool OnFocusIn(KxMiniUIEditView* view, KxMiniUIView* other) override { return Log("in(view)", view, other); }
  bool OnFocusIn() override { return Log("in"); }
  bool OnFocusOut(KxMiniUIEditView* view, KxMiniUIView* other) override { return Log("out(view)", view, other); }
  bool OnFocusOut() override { return Log("out"); }
  bool OnTextChanged(KxMiniUIEditView* view) override { return Log("text(view)", view, nullptr); }
  bool OnTextChanged() override { return Log("text"); }

  int Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
  }

  std::vector<std::string> events;
  std::vector<KxMiniUIEditView*> views;
  std::vector<KxMiniUIView*> others;

 private:
  bool Log(const char* event, KxMiniUIEditView* view = nullptr, KxMiniUIView* other = nullptr) {
    events.push_back(event);
    if (view != nullptr) views.push_back(view);
    others.push_back(other);
    return false;
  }
};

// --- Real keyboard input through the system queue.

void PressKey(WORD key, unsigned modifiers = kNoModifier) {
  SendKeyStroke(key, modifiers);
  PumpFor(30);
}

void TypeText(const std::wstring& text) {
  for (const wchar_t character : text) {
    const SHORT key = ::VkKeyScanW(character);
    PressKey(LOBYTE(key), (HIBYTE(key) & 1) ? kShift : kNoModifier);
  }
}

class EditViewTest : public FrameworkWindowTest {
 protected:
  // A window with the box; the delegate log listens to it.
  std::unique_ptr<ControlWindow> Open(const std::string& attributes, const std::string& text = "") {
    auto window = std::make_unique<ControlWindow>(EditLayout(attributes, text));
    box_ = window->View<KxMiniUIEditView>(kBox);
    EXPECT_NE(box_, nullptr);
    if (box_ != nullptr) box_->SetDelegate(&log_);
    return window;
  }
  // Clicks into the unfocused box: it takes the focus with all selected.
  void Focus(ControlWindow& window) {
    window.ClickAt(kInBox.x, kInBox.y);
    // On a loaded machine the X server may hand the click on later than
    // the click's own pacing waits.
    ASSERT_TRUE(PumpUntil([this] { return box_->HasFocus(); }, kLateInputMs));
  }

  // Pixels of the box's text rectangle in window coordinates.
  RECT TextArea() const {
    RECT text = box_->GetTextRect();
    const POINT origin = box_->ToWindowPoint(POINT{0, 0});
    ::OffsetRect(&text, origin.x, origin.y);
    return text;
  }

  KxMiniUIEditView* box_ = nullptr;
  DelegateLog log_;
};

// --- Loading.

TEST_F(EditViewTest, AttributesAreReadWithTheirDefaults) {
  auto plain = Open("");
  ASSERT_NE(box_, nullptr);
  EXPECT_STREQ(box_->GetClassName(), "edit");
  EXPECT_EQ(box_->GetFocusable(), 1);
  EXPECT_EQ(box_->GetDrag(), 0);
  EXPECT_EQ(box_->GetStyle().background[KxMiniUIStyle::kNormal].rgb, 0xFFFFFFu);
  EXPECT_EQ(box_->GetStyle().crText, 0u);
  EXPECT_EQ(box_->GetPlaceholderColor(), 0x6D6D6Du);
  EXPECT_EQ(box_->GetSelectionStyle().background[KxMiniUIStyle::kNormal].rgb, 0xFF9933u);
  EXPECT_EQ(box_->GetSelectionStyle().crText, 0xFFFFFFu);
  EXPECT_EQ(box_->GetSelectionStyle().crDisabled, 0xCCCCCCu);
  EXPECT_GT(box_->GetCaretHeight(), 2);  // measured from the font
  EXPECT_EQ(box_->GetLimit(), 0);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateNormal);
  const RECT text = box_->GetTextRect();
  EXPECT_EQ(text.left, 1);
  EXPECT_EQ(text.top, 1);
  EXPECT_EQ(text.right, 199);
  EXPECT_EQ(text.bottom, 29);

  auto custom = Open(
      "border-width=\"0x2\" x-margin=\"4\" y-margin=\"3\" caret-height=\"010\" crbgsel=\"00FF00\" "
      "crtextsel=\"0000FF\" crplaceholder=\"-1\" crcaret=\"FF0000\" limit=\"7\" readonly=\"1\"",
      "line\r\none");
  ASSERT_NE(box_, nullptr);
  EXPECT_EQ(box_->GetText(), L"lineone");
  EXPECT_EQ(box_->GetCaretHeight(), 8);  // octal
  EXPECT_EQ(box_->GetSelectionStyle().background[KxMiniUIStyle::kNormal].rgb, RGB(0, 255, 0));
  EXPECT_EQ(box_->GetSelectionStyle().crText, RGB(0, 0, 255));
  EXPECT_EQ(box_->GetPlaceholderColor(), KxMiniUIStyle::kColorNone);
  EXPECT_EQ(box_->GetCaretColor(), RGB(255, 0, 0));
  EXPECT_EQ(box_->GetLimit(), 7);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateInactive);
  const RECT inner = box_->GetTextRect();
  EXPECT_EQ(inner.left, 6);
  EXPECT_EQ(inner.top, 5);
  EXPECT_EQ(inner.right, 194);
  EXPECT_EQ(inner.bottom, 25);
}

TEST_F(EditViewTest, TheCursorIsAnIBeamOnlyWhileTheBoxCanBeEdited) {
  struct Case {
    const char* attributes;
    LPCWSTR cursor;
  };
  const Case cases[] = {{"", IDC_IBEAM}, {"readonly=\"1\"", IDC_ARROW}, {"enable=\"0\"", IDC_ARROW}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    auto window = Open(c.attributes);
    ASSERT_NE(box_, nullptr);
    EXPECT_EQ(box_->GetCursor(POINT{5, 5}), ::LoadCursorW(nullptr, c.cursor));
  }
}

// The selection style: a style class copied whole, then the two colour
// overrides once the element has loaded, whatever their order.
TEST_F(EditViewTest, TheSelectionStyleComesFromItsClassWithTheOverridesLast) {
  struct Case {
    const char* attributes;
    COLORREF background;
    COLORREF text;
  };
  const Case cases[] = {
      {"selclass=\"skinned\"", RGB(0, 255, 0), 0},
      {"selclass=\"skinned\" crtextsel=\"FF0000\"", RGB(0, 255, 0), RGB(255, 0, 0)},
      {"crbgsel=\"0000FF\" selclass=\"skinned\"", RGB(0, 0, 255), 0},
      {"crbgsel=\"-1\" crtextsel=\"-1\"", 0xFF9933, 0xFFFFFF},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    auto window = Open(c.attributes);
    ASSERT_NE(box_, nullptr);
    EXPECT_EQ(box_->GetSelectionStyle().background[KxMiniUIStyle::kNormal].rgb, c.background);
    EXPECT_EQ(box_->GetSelectionStyle().crText, c.text);
  }
}

TEST_F(EditViewTest, TheCaretStandsCentredInTheTextRectangleAndTheSizeIsTheTexts) {
  auto window = Open("y-margin=\"6\" caret-height=\"10\" textoffset=\"3,2\"", "sized");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  PressKey(VK_END);
  const RECT text = box_->GetTextRect();
  EXPECT_EQ(text.top, 1 + 6 + 2);
  EXPECT_EQ(box_->GetCaretPoint().y, text.top + (text.bottom - text.top) / 2 - 5);
  EXPECT_EQ(box_->GetCaretPoint().x, box_->GetModel().GetCaretX());
  const SIZE size = box_->GetContentSize();
  EXPECT_EQ(size.cx, box_->GetModel().GetTextSize().cx + 3);
  EXPECT_EQ(size.cy, box_->GetModel().GetTextSize().cy + 2);
  EXPECT_GT(box_->GetModel().GetTextSize().cx, 0);
}

TEST_F(EditViewTest, WithoutTheMenuARightClickNotifiesAndLeavingNotifies) {
  auto window = Open("notifyrbclick=\"1\" enterexit-msg=\"1\"", "abc");
  ASSERT_NE(box_, nullptr);
  window->MoveTo(kInBox.x, kInBox.y);
  window->Button(MOUSEEVENTF_RIGHTDOWN);
  window->Button(MOUSEEVENTF_RIGHTUP);
  window->MoveTo(kBesideBox.x, kBesideBox.y);
  std::vector<UINT> codes;
  for (const ControlWindow::Notice& notice : window->notices) {
    if (notice.viewId == kBox) codes.push_back(notice.code);
  }
  EXPECT_NE(std::find(codes.begin(), codes.end(), kMiniUINotifyRightClick), codes.end());
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), kMiniUINotifyMouseLeave);
  EXPECT_EQ(box_->GetText(), L"abc");
}

// --- Typing.

TEST_F(EditViewTest, TypedKeysInsertAtTheCaretAndEachChangeIsHeardTwice) {
  auto window = Open("");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  log_.events.clear();
  log_.views.clear();
  TypeText(L"ab1 Z!");
  EXPECT_EQ(box_->GetText(), L"ab1 Z!");
  EXPECT_EQ(box_->GetModel().GetCaret(), 6);
  ASSERT_EQ(log_.events.size(), 12u);
  for (size_t i = 0; i < log_.events.size(); i += 2) {
    EXPECT_EQ(log_.events[i], "text") << i;
    EXPECT_EQ(log_.events[i + 1], "text(view)") << i;
  }
  for (KxMiniUIEditView* view : log_.views) EXPECT_EQ(view, box_);
  PressKey(VK_LEFT);
  PressKey(VK_LEFT);
  TypeText(L"x");
  EXPECT_EQ(box_->GetText(), L"ab1 xZ!");
  // Keys that type nothing are not taken and change nothing.
  log_.events.clear();
  PressKey(VK_UP);
  PressKey(VK_F5);
  PressKey('B', kControl);
  EXPECT_EQ(box_->GetText(), L"ab1 xZ!");
  EXPECT_TRUE(log_.events.empty());
}

// What one typed key does to boxes of every kind.
TEST_F(EditViewTest, TypingFollowsTheLimitDigitsOnlyReadOnlyAndEnabledState) {
  struct Case {
    const char* name;
    const char* attributes;
    const char* text;
    bool selectAll;  // the focusing click's selection is kept
    const wchar_t* typed;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"a full box takes nothing", "limit=\"5\"", "12345", false, L"x", L"12345"},
      {"a full box takes nothing even over a selection", "limit=\"5\"", "12345", true, L"x", L"12345"},
      {"a box below its limit replaces the selection", "limit=\"5\"", "1234", true, L"x", L"x"},
      {"a box fills up to its limit", "limit=\"5\"", "12", false, L"abcdef", L"12abc"},
      {"digits only swallows letters", "numberonly=\"1\"", "1", false, L"a-7 b8", L"178"},
      {"read-only takes nothing", "readonly=\"1\"", "ro", false, L"xy", L"ro"},
      {"disabled takes nothing", "enable=\"0\"", "off", false, L"xy", L"off"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open(c.attributes, c.text);
    ASSERT_NE(box_, nullptr);
    window->ClickAt(kInBox.x, kInBox.y);
    if (!c.selectAll && box_->HasFocus()) PressKey(VK_END);
    log_.events.clear();
    TypeText(c.typed);
    EXPECT_EQ(box_->GetText(), c.expected);
    const bool changed = std::wstring(c.expected) != KxMiniUIText::FromUtf8(c.text);
    EXPECT_EQ(log_.Count("text") > 0, changed);
  }
}

TEST_F(EditViewTest, APasswordBoxShowsOneBlackCirclePerCharacter) {
  auto window = Open("ispassword=\"1\"");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  TypeText(L"se7");
  EXPECT_EQ(box_->GetText(), L"se7");
  EXPECT_EQ(box_->GetModel().GetDisplayText(), L"\x25CF\x25CF\x25CF");
  // The circles are what is drawn: the ink is as wide as three of them.
  const RECT ink = window->InkBounds(TextArea(), kWhite);
  EXPECT_GT(ink.right - ink.left, box_->GetModel().GetTextSize().cx / 2);
  EXPECT_FALSE(box_->IsCommandAvailable(KxMiniUIEditView::kUndo));
}

TEST_F(EditViewTest, BackspaceAtTheStartAndDeleteAtTheEndChangeNothingAndStayQuiet) {
  struct Case {
    const char* name;
    WORD place;  // where the caret goes first
    WORD key;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"Backspace at 0", VK_HOME, VK_BACK, L"abc"},
      {"Delete at the end", VK_END, VK_DELETE, L"abc"},
      {"Backspace at the end", VK_END, VK_BACK, L"ab"},
      {"Delete at 0", VK_HOME, VK_DELETE, L"bc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open("", "abc");
    ASSERT_NE(box_, nullptr);
    Focus(*window);
    PressKey(c.place);
    log_.events.clear();
    PressKey(c.key);
    EXPECT_EQ(box_->GetText(), c.expected);
    const bool changed = std::wstring(c.expected) != L"abc";
    EXPECT_EQ(log_.Count("text"), changed ? 1 : 0);
    EXPECT_EQ(log_.Count("text(view)"), changed ? 1 : 0);
  }
}

// Keys on a text of letters and surrogate pairs ("a", U+1F600, "b",
// U+1F600: character boundaries at 0, 1, 3, 4 and 6).
TEST_F(EditViewTest, KeysStepAndDeleteASurrogatePairAsOneCharacter) {
  const std::wstring face = L"\xD83D\xDE00";
  const std::wstring text = L"a" + face + L"b" + face;
  struct Stroke {
    WORD key;
    unsigned modifiers;
  };
  struct Case {
    const char* name;
    std::vector<Stroke> keys;
    std::wstring expected;
    int anchor, caret;
  };
  const Case cases[] = {
      {"Left from the end", {{VK_END, kNoModifier}, {VK_LEFT, kNoModifier}}, text, 4, 4},
      {"Left twice from the end", {{VK_END, kNoModifier}, {VK_LEFT, kNoModifier}, {VK_LEFT, kNoModifier}},
       text, 3, 3},
      {"Right twice from the start", {{VK_HOME, kNoModifier}, {VK_RIGHT, kNoModifier}, {VK_RIGHT, kNoModifier}},
       text, 3, 3},
      {"Shift+Left selects the whole pair", {{VK_END, kNoModifier}, {VK_LEFT, kShift}}, text, 6, 4},
      {"Shift+Right selects the whole pair", {{VK_HOME, kNoModifier}, {VK_RIGHT, kNoModifier}, {VK_RIGHT, kShift}},
       text, 1, 3},
      {"Backspace after a pair", {{VK_END, kNoModifier}, {VK_BACK, kNoModifier}}, L"a" + face + L"b", 4, 4},
      {"Delete before a pair", {{VK_HOME, kNoModifier}, {VK_RIGHT, kNoModifier}, {VK_DELETE, kNoModifier}},
       L"ab" + face, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open("", KxMiniUIText::ToUtf8(text));
    ASSERT_NE(box_, nullptr);
    ASSERT_EQ(box_->GetText(), text);
    Focus(*window);
    for (const Stroke& stroke : c.keys) PressKey(stroke.key, stroke.modifiers);
    EXPECT_EQ(box_->GetText(), c.expected);
    EXPECT_EQ(box_->GetModel().GetAnchor(), c.anchor);
    EXPECT_EQ(box_->GetModel().GetCaret(), c.caret);
  }
}

// A click on either half of a surrogate pair's glyph puts the caret before
// or after the pair, never between its halves.
TEST_F(EditViewTest, AClickOnAPairsGlyphPutsTheCaretBeforeOrAfterIt) {
  const std::wstring face = L"\xD83D\xDE00";
  auto window = Open("", KxMiniUIText::ToUtf8(L"a" + face + L"b"));
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  const KxMiniUIEditModel& model = box_->GetModel();
  const int before = box_->ToWindowPoint(POINT{model.CaretPosition(1), 0}).x;
  const int after = box_->ToWindowPoint(POINT{model.CaretPosition(3), 0}).x;
  ASSERT_GE(after - before, 4) << "the pair's glyph is too narrow to click either half";
  // Across the glyph, every other pixel: the left half gives 1, the right
  // half 3, nothing gives 2.
  for (int x = before; x <= after; x += 2) {
    SCOPED_TRACE(x - before);
    ::Sleep(::GetDoubleClickTime() + 50);
    window->ClickAt(x, kInBox.y);
    EXPECT_FALSE(model.HasSelection());
    EXPECT_EQ(model.GetCaret(), 2 * (x - before) <= after - before ? 1 : 3);
  }
}

TEST_F(EditViewTest, SetTextNeverCallsTheDelegateAndStartsANewHistory) {
  auto window = Open("");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  TypeText(L"ab");
  ASSERT_TRUE(box_->IsCommandAvailable(KxMiniUIEditView::kUndo));
  log_.events.clear();
  box_->SetText(L"C:\\Program\nFiles\r\n", true);
  box_->SetText(L"", false);
  box_->SetText(L"D:\\Tools", true);
  PumpFor(50);
  EXPECT_TRUE(log_.events.empty());
  EXPECT_EQ(box_->GetText(), L"D:\\Tools");
  EXPECT_EQ(box_->GetModel().GetCaret(), 8);
  EXPECT_FALSE(box_->IsCommandAvailable(KxMiniUIEditView::kUndo));
  box_->SetText(L"a\r\nb", false);
  EXPECT_EQ(box_->GetText(), L"ab");
}

TEST_F(EditViewTest, After101ChangesHundredUndoStepsWorkAndTheNextDoesNothing) {
  auto window = Open("");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  std::wstring typed;
  for (int i = 0; i < 101; ++i) typed.push_back(static_cast<wchar_t>(L'a' + i % 26));
  TypeText(typed);
  ASSERT_EQ(box_->GetText(), typed);
  log_.events.clear();
  for (int i = 0; i < 100; ++i) PressKey('Z', kControl);
  EXPECT_EQ(box_->GetText(), L"a");  // the empty start fell off the list
  EXPECT_EQ(log_.Count("text"), 100);
  EXPECT_FALSE(box_->IsCommandAvailable(KxMiniUIEditView::kUndo));
  PressKey('Z', kControl);
  EXPECT_EQ(box_->GetText(), L"a");
  EXPECT_EQ(log_.Count("text"), 100);
}

TEST_F(EditViewTest, ReturnIsHeardTwiceAndTabIsLeftToTheWindow) {
  auto window = Open("", "go");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  log_.events.clear();
  PressKey(VK_RETURN);
  EXPECT_EQ(log_.events, (std::vector<std::string>{"return", "return(view)"}));
  EXPECT_EQ(box_->GetText(), L"go");
  EXPECT_FALSE(box_->OnKeyDown(VK_TAB, 0, 0));
  EXPECT_FALSE(box_->OnKeyDown(VK_DOWN, 0, 0));
  EXPECT_TRUE(box_->OnKeyUp('A', 0, 0));
}

// --- Caret, selection and scrolling by keys.

TEST_F(EditViewTest, ShiftLeftTwiceFromTheEndSelectsTheLastTwoAndLeftCollapses) {
  auto window = Open("crbgsel=\"00FF00\"", "hello");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  PressKey(VK_END);
  EXPECT_FALSE(box_->GetModel().HasSelection());
  PressKey(VK_LEFT, kShift);
  PressKey(VK_LEFT, kShift);
  EXPECT_EQ(box_->GetModel().GetSelectedText(), L"lo");
  EXPECT_EQ(box_->GetModel().SelectionStart(), 3);
  EXPECT_EQ(box_->GetModel().SelectionEnd(), 5);
  // The selection shows in its own colour, over the last two characters only.
  const std::vector<COLORREF> selected = window->InkIn(TextArea(), kWhite);
  EXPECT_NE(std::find(selected.begin(), selected.end(), RGB(0, 255, 0)), selected.end());
  EXPECT_FALSE(box_->IsCaretVisible());  // a selection hides the caret
  PressKey(VK_LEFT);
  EXPECT_FALSE(box_->GetModel().HasSelection());
  EXPECT_EQ(box_->GetModel().GetCaret(), 2);
  EXPECT_TRUE(box_->IsCaretVisible());
  const std::vector<COLORREF> collapsed = window->InkIn(TextArea(), kWhite);
  EXPECT_EQ(std::find(collapsed.begin(), collapsed.end(), RGB(0, 255, 0)), collapsed.end());
  PressKey(VK_HOME, kShift);
  EXPECT_EQ(box_->GetModel().GetSelectedText(), L"he");
  PressKey(VK_END, kShift);
  EXPECT_EQ(box_->GetModel().GetSelectedText(), L"llo");
}

TEST_F(EditViewTest, WithTextWiderThanTheBoxEndMeetsTheRightEdgeAndHomeTheLeft) {
  const std::string longText = "W0123456789abcdefghijklmnopqrstuvwxyz0123456789M";
  // A white caret leaves only the text as ink.
  auto window = Open("crcaret=\"FFFFFF\"", longText);
  ASSERT_NE(box_, nullptr);
  const RECT text = box_->GetTextRect();
  ASSERT_GT(box_->GetModel().GetTextSize().cx, text.right - text.left);
  Focus(*window);
  PressKey(VK_HOME);
  EXPECT_EQ(box_->GetModel().GetOrigin(), text.left);
  EXPECT_EQ(box_->GetCaretPoint().x, text.left);
  RECT ink = window->InkBounds(TextArea(), kWhite);
  EXPECT_LE(ink.left - TextArea().left, 3);  // the "W" starts at the left edge
  EXPECT_EQ(ink.right, TextArea().right);     // and the text runs out of the box

  PressKey(VK_END);
  EXPECT_EQ(box_->GetModel().GetOrigin() + box_->GetModel().GetTextSize().cx, text.right);
  EXPECT_EQ(box_->GetCaretPoint().x, text.right);
  ink = window->InkBounds(TextArea(), kWhite);
  EXPECT_EQ(ink.left, TextArea().left);
  EXPECT_GE(ink.right, TextArea().right - 4);  // the "M" ends at the right edge

  PressKey(VK_HOME);
  EXPECT_EQ(box_->GetModel().GetOrigin(), text.left);
}

// --- Focus, caret and placeholder.

TEST_F(EditViewTest, ClickingIntoAnUnfocusedBoxSelectsAllAndShowsTheCaret) {
  auto window = Open("", "select me");
  ASSERT_NE(box_, nullptr);
  EXPECT_FALSE(box_->HasFocus());
  EXPECT_FALSE(box_->IsCaretVisible());
  log_.events.clear();
  log_.others.clear();
  window->ClickAt(kInBox.x, kInBox.y);
  EXPECT_TRUE(PumpUntil([this] { return box_->HasFocus(); }, kLateInputMs));
  EXPECT_EQ(box_->GetModel().SelectionStart(), 0);
  EXPECT_EQ(box_->GetModel().SelectionEnd(), 9);
  EXPECT_TRUE(box_->IsCaretVisible());
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateHover);
  EXPECT_EQ(log_.events, (std::vector<std::string>{"in", "in(view)"}));
  // The caret blinks on view timer 1 at the system's blink time.
  const UINT blink = ::GetCaretBlinkTime();
  ASSERT_GT(blink, 0u);
  bool blinked = PumpUntil([&] { return !box_->IsCaretVisible(); }, blink * 4);
  EXPECT_TRUE(blinked);
  blinked = PumpUntil([&] { return box_->IsCaretVisible(); }, blink * 4);
  EXPECT_TRUE(blinked);

  // A click into the focused box puts the caret where it lands.
  ::Sleep(::GetDoubleClickTime() + 50);
  window->ClickAt(12, kInBox.y);
  EXPECT_FALSE(box_->GetModel().HasSelection());
  EXPECT_EQ(box_->GetModel().GetCaret(), 0);

  // Losing the focus collapses the selection and hides the caret.
  box_->SetFocus();
  PressKey('A', kControl);
  log_.events.clear();
  window->GetRootView()->GetFocusManager()->SetFocus(nullptr, KxMiniUIView::kFocusByCode);
  EXPECT_FALSE(box_->HasFocus());
  EXPECT_FALSE(box_->IsCaretVisible());
  EXPECT_FALSE(box_->GetModel().HasSelection());
  EXPECT_EQ(log_.events, (std::vector<std::string>{"out", "out(view)"}));
}

// A blink changes only the caret: the window is asked to repaint the
// caret's rectangle, not the box with its text.
TEST_F(EditViewTest, ACaretBlinkInvalidatesOnlyTheCaret) {
  for (const char* text : {"short", "a text far too long for the box, so that it scrolls to its end"}) {
    SCOPED_TRACE(text);
    auto window = Open("caret-width=\"2\"", text);
    ASSERT_NE(box_, nullptr);
    Focus(*window);
    PressKey(VK_END);
    ASSERT_TRUE(box_->IsCaretVisible());
    const HWND hwnd = window->GetHwnd();
    for (int blink = 0; blink < 2; ++blink) {
      ::UpdateWindow(hwnd);
      ::ValidateRect(hwnd, nullptr);
      box_->OnTimer(KxMiniUIEditView::kCaretTimer);
      RECT invalid{};
      ASSERT_TRUE(::GetUpdateRect(hwnd, &invalid, FALSE));
      const RECT text = box_->GetTextRect();
      const POINT caret = box_->ToWindowPoint(box_->GetCaretPoint());
      const int x = std::min<int>(caret.x, box_->ToWindowPoint(POINT{text.right, 0}).x - 2);
      EXPECT_EQ(invalid.left, x);
      EXPECT_EQ(invalid.right, x + 2);
      EXPECT_EQ(invalid.top, caret.y);
      EXPECT_EQ(invalid.bottom, caret.y + box_->GetCaretHeight());
    }
  }
}

TEST_F(EditViewTest, FocusNotificationsNameTheOtherView) {
  const std::string layout = ControlLayout(
      "<edit id=\"10\" pos=\"10,10,210,40\">a</edit><edit id=\"11\" pos=\"10,60,210,90\">b</edit>");
  DelegateLog firstLog, secondLog;  // outlive the window, which still reports its last focus change
  ControlWindow window(layout);
  auto* first = window.View<KxMiniUIEditView>(10);
  auto* second = window.View<KxMiniUIEditView>(11);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  first->SetDelegate(&firstLog);
  second->SetDelegate(&secondLog);
  window.ClickAt(100, 25);
  window.ClickAt(100, 75);
  ASSERT_EQ(firstLog.events, (std::vector<std::string>{"in", "in(view)", "out", "out(view)"}));
  EXPECT_EQ(firstLog.others.back(), second);
  ASSERT_EQ(secondLog.events, (std::vector<std::string>{"in", "in(view)"}));
  EXPECT_EQ(secondLog.others.back(), first);
  EXPECT_FALSE(first->HasFocus());
  EXPECT_TRUE(second->HasFocus());
}

bool HasReddish(const std::vector<COLORREF>& colors) {
  return std::any_of(colors.begin(), colors.end(), [](COLORREF c) {
    return GetRValue(c) > 180 && GetGValue(c) < 140 && GetBValue(c) < 140;
  });
}

TEST_F(EditViewTest, ThePlaceholderShowsOnlyWhileTheBoxIsEmptyAndUnfocused) {
  auto window = Open("placeholder=\"WWW MMM\" crplaceholder=\"FF0000\"");
  ASSERT_NE(box_, nullptr);
  EXPECT_TRUE(HasReddish(window->InkIn(TextArea(), kWhite)));
  Focus(*window);
  EXPECT_FALSE(HasReddish(window->InkIn(TextArea(), kWhite)));
  window->GetRootView()->GetFocusManager()->SetFocus(nullptr, KxMiniUIView::kFocusByCode);
  EXPECT_TRUE(HasReddish(window->InkIn(TextArea(), kWhite)));
  box_->SetText(L"x", true);
  EXPECT_FALSE(HasReddish(window->InkIn(TextArea(), kWhite)));

  auto hidden = Open("placeholder=\"WWW MMM\" crplaceholder=\"-1\"");
  ASSERT_NE(box_, nullptr);
  EXPECT_TRUE(hidden->InkIn(TextArea(), kWhite).empty());
  auto readOnly = Open("placeholder=\"WWW MMM\" crplaceholder=\"FF0000\" readonly=\"1\"");
  ASSERT_NE(box_, nullptr);
  EXPECT_FALSE(HasReddish(readOnly->InkIn(TextArea(), kWhite)));
}

TEST_F(EditViewTest, BorderAndBackgroundFollowTheVisualState) {
  auto window = Open("crborder=\"0000FF\" crborderhover=\"00FF00\" crborderdisabled=\"FF0000\"");
  ASSERT_NE(box_, nullptr);
  window->MoveTo(kBesideBox.x, kBesideBox.y);
  const POINT corner = box_->ToWindowPoint(POINT{0, 0});
  EXPECT_EQ(window->PixelAt(corner.x, corner.y), RGB(0, 0, 255));
  EXPECT_EQ(window->PixelAt(corner.x + 5, corner.y + 5), kWhite);
  window->MoveTo(kInBox.x, kInBox.y);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateHover);
  EXPECT_EQ(window->PixelAt(corner.x, corner.y), RGB(0, 255, 0));
  window->MoveTo(kBesideBox.x, kBesideBox.y);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateNormal);
  box_->SetEnabled(false);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateInactive);
  EXPECT_EQ(window->PixelAt(corner.x, corner.y), RGB(255, 0, 0));
  window->MoveTo(kInBox.x, kInBox.y);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateInactive);
  box_->SetEnabled(true);
  EXPECT_EQ(box_->GetVisualState(), KxMiniUIEditView::kStateNormal);
}

// --- Commands and the clipboard.

// What Control+V does with the clipboard's text in boxes of every kind.
TEST_F(EditViewTest, PasteInsertsOneLineAndFollowsDigitsOnlyAndTheLimit) {
  struct Case {
    const char* name;
    const char* attributes;
    const wchar_t* clipboard;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"plain text", "", L"12a", L"x12a"},
      {"line breaks are dropped", "", L"one\r\ntwo\nthree\r", L"xonetwothree"},
      {"digits only refuses a letter", "numberonly=\"1\"", L"12a", L"x"},
      {"digits only takes digits", "numberonly=\"1\"", L"123", L"x123"},
      {"the limit cuts the text", "limit=\"4\"", L"abcdef", L"xabc"},
      {"read-only takes nothing", "readonly=\"1\"", L"abc", L"x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open(c.attributes, "x");
    ASSERT_NE(box_, nullptr);
    PutOnClipboard(window->GetHwnd(), c.clipboard);
    window->ClickAt(kInBox.x, kInBox.y);
    if (box_->HasFocus()) PressKey(VK_END);
    log_.events.clear();
    PressKey('V', kControl);
    EXPECT_EQ(box_->GetText(), c.expected);
    const bool changed = std::wstring(c.expected) != L"x";
    EXPECT_EQ(log_.Count("text"), changed ? 1 : 0);
    EXPECT_EQ(log_.Count("text(view)"), changed ? 1 : 0);
  }
}

TEST_F(EditViewTest, CopyAndCutPutTheSelectionOnTheClipboard) {
  auto window = Open("", "copy me");
  ASSERT_NE(box_, nullptr);
  PutOnClipboard(window->GetHwnd(), L"before");
  Focus(*window);
  PressKey(VK_END);
  PressKey(VK_LEFT, kShift);
  PressKey(VK_LEFT, kShift);
  log_.events.clear();
  PressKey('C', kControl);
  EXPECT_EQ(ClipboardText(), L"me");
  EXPECT_EQ(box_->GetText(), L"copy me");
  EXPECT_TRUE(log_.events.empty());
  PressKey(VK_HOME);
  PressKey(VK_RIGHT, kShift);
  PressKey(VK_RIGHT, kShift);
  PressKey('X', kControl);
  EXPECT_EQ(ClipboardText(), L"co");
  EXPECT_EQ(box_->GetText(), L"py me");
  EXPECT_EQ(log_.events, (std::vector<std::string>{"text", "text(view)"}));
  PressKey(VK_END);
  PressKey('V', kControl);
  EXPECT_EQ(box_->GetText(), L"py meco");
  PressKey('Z', kControl);
  EXPECT_EQ(box_->GetText(), L"py me");
  // Without a selection copy and cut are not available: nothing moves.
  PressKey('C', kControl);
  PressKey('X', kControl);
  EXPECT_EQ(ClipboardText(), L"co");
  EXPECT_EQ(box_->GetText(), L"py me");
}

TEST_F(EditViewTest, APasswordIsNeverCopiedOrCut) {
  auto window = Open("ispassword=\"1\"", "secret");
  ASSERT_NE(box_, nullptr);
  PutOnClipboard(window->GetHwnd(), L"before");
  Focus(*window);  // all selected
  PressKey('C', kControl);
  PressKey('X', kControl);
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_EQ(box_->GetText(), L"secret");
  PressKey(VK_BACK);  // deleting a selection still works
  EXPECT_EQ(box_->GetText(), L"");
  PressKey('Z', kControl);
  EXPECT_EQ(box_->GetText(), L"");
}

// Which commands a box offers in which state.
TEST_F(EditViewTest, CommandsAreAvailableByTheTable) {
  using E = KxMiniUIEditView;
  struct Case {
    const char* name;
    const char* attributes;
    bool select;  // all selected, else the caret at the end
    bool typed;   // one character typed first (undo has a step)
    std::vector<int> available;
  };
  const Case cases[] = {
      {"plain, no selection", "", false, false, {E::kPaste, E::kDeleteKey, E::kSelectAll, E::kBackspace}},
      {"plain, selection",
       "",
       true,
       false,
       {E::kCut, E::kCopy, E::kPaste, E::kDeleteKey, E::kSelectAll, E::kBackspace, E::kDeleteMenu}},
      {"plain, after typing", "", false, true, {E::kUndo, E::kPaste, E::kDeleteKey, E::kSelectAll, E::kBackspace}},
      {"undo not allowed", "undoredoenable=\"0\"", false, true, {E::kPaste, E::kDeleteKey, E::kSelectAll, E::kBackspace}},
      {"password, selection",
       "ispassword=\"1\"",
       true,
       true,
       {E::kPaste, E::kDeleteKey, E::kSelectAll, E::kBackspace, E::kDeleteMenu}},
      {"read-only", "readonly=\"1\"", true, false, {}},
      {"disabled", "enable=\"0\"", true, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open(c.attributes, "abc");
    ASSERT_NE(box_, nullptr);
    window->ClickAt(kInBox.x, kInBox.y);
    if (box_->HasFocus()) {
      PressKey(VK_END);
      if (c.typed) TypeText(L"d");
      if (c.select) PressKey('A', kControl);
    }
    for (int command = E::kUndo; command <= E::kDeleteMenu; ++command) {
      const bool expected = std::find(c.available.begin(), c.available.end(), command) != c.available.end();
      EXPECT_EQ(box_->IsCommandAvailable(command), expected) << command;
    }
  }
}

// --- Mouse selection.

TEST_F(EditViewTest, DraggingSelectsAndADoubleClickSelectsAll) {
  auto window = Open("", "drag across this");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  ::Sleep(::GetDoubleClickTime() + 50);
  window->MoveTo(14, kInBox.y);
  window->Press();
  window->MoveTo(40, kInBox.y);
  window->MoveTo(80, kInBox.y);
  window->Release();
  // From where the press went down, however far the first move jumped.
  const KxMiniUIEditModel& model = box_->GetModel();
  const int left = box_->ToWindowPoint(POINT{0, 0}).x;
  EXPECT_TRUE(model.HasSelection());
  EXPECT_EQ(model.GetAnchor(), model.HitTest(14 - left));
  EXPECT_EQ(model.GetCaret(), model.HitTest(80 - left));
  EXPECT_GT(model.SelectionEnd(), model.SelectionStart() + 2);

  // A click collapses it; a double click selects everything.
  ::Sleep(::GetDoubleClickTime() + 50);
  window->ClickAt(60, kInBox.y);
  EXPECT_FALSE(model.HasSelection());
  ::Sleep(::GetDoubleClickTime() + 50);
  window->Press();
  window->Release();
  window->Press();
  window->Release();
  EXPECT_EQ(model.SelectionStart(), 0);
  EXPECT_EQ(model.SelectionEnd(), model.Length());
}

// --- The right-click menu.

const std::vector<std::wstring> kMenuTexts = {L"撤销", L"剪切", L"复制", L"粘贴", L"删除"};
constexpr size_t kCopyItem = 2;
constexpr size_t kCutItem = 1;
constexpr size_t kDeleteItem = 4;

// The edit menu as a second thread saw it while the box's menu loop ran.
struct MenuVisit {
  bool opened = false;
  bool closedByItself = false;
  RECT rect{0, 0, 0, 0};
  POINT cursor{0, 0};
  std::vector<std::wstring> texts;
  std::vector<bool> enabled;
};

// Finds the menu the box's thread opens, records it, plays `user` (real
// input) and makes sure it closes: a menu still open a while later is
// closed so a failure cannot hang the run.
class MenuScript {
 public:
  MenuScript(DWORD uiThread, HWND owner, std::function<void(KxMiniUIMenu&)> user)
      : uiThread_(uiThread), owner_(owner), user_(std::move(user)) {}

  static DWORD WINAPI Run(void* parameter) {
    static_cast<MenuScript*>(parameter)->Play();
    return 0;
  }

  MenuVisit visit;

 private:
  struct Search {
    HWND owner;
    KxMiniUIMenu* menu;
  };

  static BOOL CALLBACK Check(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (window == search->owner || !::IsWindowVisible(window)) return TRUE;
    search->menu = dynamic_cast<KxMiniUIMenu*>(KxMiniUIWindowImpl::FromHandle(window));
    return search->menu == nullptr;
  }

  void Play() {
    Search search{owner_, nullptr};
    for (int i = 0; i < 300 && search.menu == nullptr; ++i) {
      ::Sleep(10);
      ::EnumThreadWindows(uiThread_, &MenuScript::Check, reinterpret_cast<LPARAM>(&search));
    }
    if (search.menu == nullptr) return;
    KxMiniUIMenu& menu = *search.menu;
    const HWND window = menu.GetHwnd();
    ::Sleep(150);
    visit.opened = true;
    ::GetWindowRect(window, &visit.rect);
    ::GetCursorPos(&visit.cursor);
    for (size_t i = 0; i < menu.GetItemCount(); ++i) {
      visit.texts.push_back(menu.GetItemAt(i)->GetText());
      visit.enabled.push_back(menu.GetItemAt(i)->IsEnabled());
    }
    user_(menu);
    for (int i = 0; i < 300 && ::IsWindow(window); ++i) ::Sleep(10);
    visit.closedByItself = !::IsWindow(window);
    if (!visit.closedByItself) ::PostMessageW(window, WM_CLOSE, 0, 0);
  }

  DWORD uiThread_;
  HWND owner_;
  std::function<void(KxMiniUIMenu&)> user_;
};

class EditMenuTest : public EditViewTest {
 protected:
  // Right-clicks the box at `client` and lets `user` act on the menu.
  MenuVisit RightClick(ControlWindow& window, POINT client, std::function<void(KxMiniUIMenu&)> user) {
    MenuScript script(::GetCurrentThreadId(), window.GetHwnd(), std::move(user));
    Kx::ScopedHandle thread(::CreateThread(nullptr, 0, &MenuScript::Run, &script, 0, nullptr));
    EXPECT_TRUE(static_cast<bool>(thread));
    window.MoveTo(client.x, client.y);
    window.Button(MOUSEEVENTF_RIGHTDOWN);
    window.Button(MOUSEEVENTF_RIGHTUP);  // the menu's loop runs in here
    while (thread && ::WaitForSingleObject(thread.Get(), 10) == WAIT_TIMEOUT) PumpMessages();
    PumpFor(50);
    return script.visit;
  }

  // "copy me" focused with "me" selected; "before" on the clipboard.
  std::unique_ptr<ControlWindow> OpenWithSelection(const std::string& attributes) {
    auto window = Open(attributes, "copy me");
    if (box_ == nullptr) return window;
    PutOnClipboard(window->GetHwnd(), L"before");
    Focus(*window);
    PressKey(VK_END);
    PressKey(VK_LEFT, kShift);
    PressKey(VK_LEFT, kShift);
    EXPECT_EQ(box_->GetModel().GetSelectedText(), L"me");
    log_.events.clear();
    return window;
  }
};

// What each way of using the menu leaves behind.
TEST_F(EditMenuTest, TheMenuOpensAtTheCursorAndRunsTheChosenCommand) {
  struct Case {
    const char* name;
    std::function<void(KxMiniUIMenu&)> user;
    const wchar_t* clipboard;
    const wchar_t* text;
    const wchar_t* selection;  // what stays selected afterwards
  };
  const Case cases[] = {
      {"复制 by mouse", [](KxMiniUIMenu& menu) { ClickAtScreen(ItemCentre(menu, kCopyItem)); }, L"me", L"copy me",
       L"me"},
      {"复制 by Down and Return",
       [](KxMiniUIMenu&) {
         for (WORD key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}) SendKeyStrokeAndWait(key);
       },
       L"me", L"copy me", L"me"},
      {"剪切 by mouse", [](KxMiniUIMenu& menu) { ClickAtScreen(ItemCentre(menu, kCutItem)); }, L"me", L"copy ", L""},
      {"删除 by mouse", [](KxMiniUIMenu& menu) { ClickAtScreen(ItemCentre(menu, kDeleteItem)); }, L"before",
       L"copy ", L""},
      {"Escape chooses nothing", [](KxMiniUIMenu&) { SendKeyStrokeAndWait(VK_ESCAPE); }, L"before", L"copy me", L"me"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = OpenWithSelection("showmenu=\"1\"");
    ASSERT_NE(box_, nullptr);
    const MenuVisit visit = RightClick(*window, kInBox, c.user);
    ASSERT_TRUE(visit.opened);
    EXPECT_TRUE(visit.closedByItself);
    EXPECT_FALSE(box_->IsMenuOpen());
    // At the cursor, with the five commands and their availability.
    EXPECT_EQ(visit.rect.left, visit.cursor.x);
    EXPECT_EQ(visit.rect.top, visit.cursor.y);
    EXPECT_EQ(visit.texts, kMenuTexts);
    EXPECT_EQ(visit.enabled, (std::vector<bool>{false, true, true, true, true}));

    EXPECT_EQ(ClipboardText(), c.clipboard);
    EXPECT_EQ(box_->GetText(), c.text);
    EXPECT_EQ(box_->GetModel().GetSelectedText(), c.selection);
    const bool changed = std::wstring(c.text) != L"copy me";
    EXPECT_EQ(log_.Count("text"), changed ? 1 : 0);
  }
}

TEST_F(EditMenuTest, AClickOutsideClosesTheMenuWithNothingChosen) {
  auto window = OpenWithSelection("showmenu=\"1\"");
  ASSERT_NE(box_, nullptr);
  // In the box's window, left of the menu that opens at the box's middle.
  POINT outside{5, 120};
  ::ClientToScreen(window->GetHwnd(), &outside);
  const MenuVisit visit = RightClick(*window, kInBox, [&](KxMiniUIMenu&) { ClickAtScreen(outside); });
  ASSERT_TRUE(visit.opened);
  EXPECT_TRUE(visit.closedByItself);
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_EQ(box_->GetText(), L"copy me");
  EXPECT_EQ(log_.Count("text"), 0);
}

// The focus went to another window while the menu was open: once the
// menu has closed the box lets go of it as if it had lost it then.
TEST_F(EditMenuTest, FocusLostToAnotherWindowWhileTheMenuIsOpenIsLetGoAfterwards) {
  ControlWindow other(ControlLayout(""));
  const RECT work = DesktopWorkArea();
  ::SetWindowPos(other.GetHwnd(), nullptr, work.left + 5, work.top + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  auto window = OpenWithSelection("showmenu=\"1\"");
  ASSERT_NE(box_, nullptr);
  POINT elsewhere{150, 120};
  ::ClientToScreen(other.GetHwnd(), &elsewhere);
  const MenuVisit visit = RightClick(*window, kInBox, [&](KxMiniUIMenu&) { ClickAtScreen(elsewhere); });
  ASSERT_TRUE(visit.opened);
  EXPECT_TRUE(visit.closedByItself);
  EXPECT_FALSE(box_->HasFocus());
  EXPECT_FALSE(box_->IsCaretVisible());
  EXPECT_FALSE(box_->GetModel().HasSelection());
  EXPECT_EQ(log_.events, (std::vector<std::string>{"out", "out(view)"}));
  EXPECT_EQ(box_->GetText(), L"copy me");
}

TEST_F(EditMenuTest, APasswordBoxGreysCutCopyAndUndo) {
  auto window = Open("showmenu=\"1\" ispassword=\"1\"", "secret");
  ASSERT_NE(box_, nullptr);
  PutOnClipboard(window->GetHwnd(), L"before");
  Focus(*window);
  PressKey(VK_END);
  TypeText(L"x");
  PressKey('A', kControl);
  const MenuVisit visit = RightClick(*window, kInBox, [](KxMiniUIMenu& menu) {
    ClickAtScreen(ItemCentre(menu, kCopyItem));  // greyed: the menu stays open
    ::Sleep(150);
    SendKeyStrokeAndWait(VK_ESCAPE);
  });
  ASSERT_TRUE(visit.opened);
  EXPECT_TRUE(visit.closedByItself);
  EXPECT_EQ(visit.enabled, (std::vector<bool>{false, false, false, true, true}));
  EXPECT_EQ(ClipboardText(), L"before");
  EXPECT_EQ(box_->GetText(), L"secretx");
}

TEST_F(EditMenuTest, NearTheWorkAreasBottomRightCornerItOpensUpwardsAndMovedLeft) {
  auto window = Open("showmenu=\"1\"", "corner");
  ASSERT_NE(box_, nullptr);
  const RECT work = DesktopWorkArea();
  // The box's bottom-right corner 5 pixels inside the work area's.
  ::SetWindowPos(window->GetHwnd(), nullptr, work.right - 215, work.bottom - 45, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  PumpFor(100);
  Focus(*window);
  const MenuVisit visit = RightClick(*window, POINT{205, 35}, [](KxMiniUIMenu&) { SendKeyStrokeAndWait(VK_ESCAPE); });
  ASSERT_TRUE(visit.opened);
  EXPECT_TRUE(visit.closedByItself);
  const SIZE size{visit.rect.right - visit.rect.left, visit.rect.bottom - visit.rect.top};
  EXPECT_EQ(size.cx, 122);
  EXPECT_EQ(size.cy, 5 * 25 + 4 + 4);
  EXPECT_EQ(visit.rect.right, work.right);            // moved left
  EXPECT_EQ(visit.rect.bottom, visit.cursor.y);       // upwards from the cursor
  EXPECT_LT(visit.rect.left, visit.cursor.x);
}

TEST_F(EditMenuTest, WithoutShowmenuARightClickOpensNothing) {
  auto window = Open("", "plain");
  ASSERT_NE(box_, nullptr);
  const MenuVisit visit = RightClick(*window, kInBox, [](KxMiniUIMenu&) {});
  EXPECT_FALSE(visit.opened);
  EXPECT_EQ(box_->GetText(), L"plain");
}

// --- The input method.

TEST_F(EditViewTest, CommittedTextIsInsertedLikeTypingAndNotifies) {
  struct Case {
    const char* name;
    const char* attributes;
    const wchar_t* committed;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"plain", "", L"中文", L"ab中文"},
      {"line breaks dropped", "", L"中\r\n文", L"ab中文"},
      {"cut to the limit", "limit=\"3\"", L"中文", L"ab中"},
      {"nothing past the limit", "limit=\"2\"", L"中文", L"ab"},
      {"digits only takes none", "numberonly=\"1\"", L"12", L"ab"},
      {"read-only takes none", "readonly=\"1\"", L"中文", L"ab"},
      {"empty text", "", L"", L"ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto window = Open(c.attributes, "ab");
    ASSERT_NE(box_, nullptr);
    window->ClickAt(kInBox.x, kInBox.y);
    if (box_->HasFocus()) PressKey(VK_END);
    log_.events.clear();
    const int caretBefore = box_->GetModel().GetCaret();
    const int anchorBefore = box_->GetModel().GetAnchor();
    box_->CommitText(c.committed);
    EXPECT_EQ(box_->GetText(), c.expected);
    const bool changed = std::wstring(c.expected) != L"ab";
    const std::vector<std::string> heard = changed ? std::vector<std::string>{"text", "text(view)"}
                                                   : std::vector<std::string>{};
    EXPECT_EQ(log_.events, heard);
    // Taken text leaves the caret after it with nothing selected; refused
    // text leaves caret and selection where they were.
    const int insertedLength = static_cast<int>(std::wstring(c.expected).size()) - 2;  // past "ab"
    const int expectedCaret = changed ? caretBefore + insertedLength : caretBefore;
    EXPECT_EQ(box_->GetModel().GetCaret(), expectedCaret);
    EXPECT_EQ(box_->GetModel().GetAnchor(), changed ? expectedCaret : anchorBefore);
  }
}

// Whether the focused box leaves its window an input context.
TEST_F(EditViewTest, OnlyABoxThatTakesComposedTextKeepsTheWindowsInputContext) {
  struct Case {
    const char* attributes;
    bool context;
  };
  const Case cases[] = {
      {"", true}, {"ispassword=\"1\"", false}, {"numberonly=\"1\"", false}, {"readonly=\"1\"", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.attributes);
    auto window = Open(c.attributes, "ab");
    ASSERT_NE(box_, nullptr);
    box_->SetFocus();
    PumpFor(30);
    ASSERT_TRUE(box_->HasFocus());
    const HWND hwnd = window->GetHwnd();
    KxMiniUIInputMethod* inputMethod = window->GetInputMethod();
    ASSERT_NE(inputMethod, nullptr);
    EXPECT_EQ(inputMethod->GetClient(), static_cast<KxMiniUITextInputClient*>(box_));
    EXPECT_EQ(box_->CanUseInputMethod(), c.context);
    const HIMC context = ::ImmGetContext(hwnd);
    EXPECT_EQ(context != nullptr, c.context);
    if (context != nullptr) ::ImmReleaseContext(hwnd, context);
    // Without a focused box there is no client and no context.
    window->GetRootView()->GetFocusManager()->SetFocus(nullptr, KxMiniUIView::kFocusByCode);
    EXPECT_EQ(inputMethod->GetClient(), nullptr);
    const HIMC none = ::ImmGetContext(hwnd);
    EXPECT_EQ(none, nullptr);
    if (none != nullptr) ::ImmReleaseContext(hwnd, none);
  }
}

TEST_F(EditViewTest, TheCompositionWindowFollowsTheCaretAndComposingHoldsTheKeys) {
  auto window = Open("", "ab");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  PressKey(VK_END);
  const HWND hwnd = window->GetHwnd();
  ::SendMessageW(hwnd, WM_IME_STARTCOMPOSITION, 0, 0);
  KxMiniUIInputMethod* inputMethod = window->GetInputMethod();
  EXPECT_TRUE(inputMethod->IsComposing());
  const RECT caret = box_->GetCaretRect();
  const POINT expected = box_->ToWindowPoint(box_->GetCaretPoint());
  EXPECT_EQ(caret.left, expected.x);
  EXPECT_EQ(caret.top, expected.y);
  EXPECT_EQ(caret.bottom - caret.top, box_->GetCaretHeight());
  const HIMC context = ::ImmGetContext(hwnd);
  ASSERT_NE(context, nullptr);
  COMPOSITIONFORM form{};
  EXPECT_TRUE(::ImmGetCompositionWindow(context, &form));
  EXPECT_EQ(form.dwStyle, static_cast<DWORD>(CFS_POINT));
  EXPECT_EQ(form.ptCurrentPos.x, caret.left);  // 96 dpi: unscaled
  EXPECT_EQ(form.ptCurrentPos.y, caret.top);
  ::ImmReleaseContext(hwnd, context);

  // While composition text is edited the keys are the input method's.
  ::SendMessageW(hwnd, WM_IME_COMPOSITION, 0, GCS_COMPSTR);
  EXPECT_TRUE(box_->IsComposing());
  TypeText(L"q");
  EXPECT_EQ(box_->GetText(), L"ab");
  ::SendMessageW(hwnd, WM_IME_ENDCOMPOSITION, 0, 0);
  EXPECT_FALSE(box_->IsComposing());
  EXPECT_FALSE(inputMethod->IsComposing());
  TypeText(L"q");
  EXPECT_EQ(box_->GetText(), L"abq");
}

TEST_F(EditViewTest, AFinishedCompositionsResultStringIsCommitted) {
  auto window = Open("", "ab");
  ASSERT_NE(box_, nullptr);
  Focus(*window);
  PressKey(VK_END);
  log_.events.clear();
  const HWND hwnd = window->GetHwnd();
  const HIMC context = ::ImmGetContext(hwnd);
  ASSERT_NE(context, nullptr);
  std::wstring composed = L"中文";
  const BOOL set = ::ImmSetCompositionStringW(context, SCS_SETSTR, &composed[0],
                                              static_cast<DWORD>(composed.size() * sizeof(wchar_t)), nullptr, 0);
  const BOOL completed = ::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
  ::ImmReleaseContext(hwnd, context);
  PumpFor(100);
  ASSERT_TRUE(set);
  ASSERT_TRUE(completed);
  EXPECT_EQ(box_->GetText(), L"ab中文");
  EXPECT_EQ(log_.events, (std::vector<std::string>{"text", "text(view)"}));
}

}  // namespace
}  // namespace zelk::test
