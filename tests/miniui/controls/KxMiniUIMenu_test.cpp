// The pop-up menu on real windows under real input: built from layout text,
// placed at its anchor inside the work area, chosen by mouse and by the
// arrow keys and Return, closed by Escape and by a click outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "miniui/controls/KxMiniUIListBox.h"
#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "tests/miniui/controls/support/ControlWindow.h"
#include "tests/miniui/controls/support/MenuScreenPoint.h"
#include "tests/miniui/core/support/SyntheticInput.h"

namespace zelk::test {
namespace {

constexpr int kCut = 2024;
constexpr int kCopy = 2025;
constexpr int kPaste = 2026;

const std::string kMenuText =
    "<menu crbg=\"F0F0F0\">"
    "<menuitem id=\"2024\" textbtnmargin=\"8,4,8,4\">剪切</menuitem>"
    "<menuitem id=\"2025\" textbtnmargin=\"8,4,8,4\">复制</menuitem>"
    "<text id=\"7\">not an item</text>"
    "<menuitem id=\"2026\" textbtnmargin=\"8,4,8,4\">粘贴</menuitem>"
    "</menu>";

// The menu's back buffer after a fresh paint, at window coordinates.
COLORREF MenuPixel(KxMiniUIMenu& menu, int x, int y) {
  menu.KxMiniUISimpleWindow::GetRootView()->Invalidate();
  menu.RenderNow();
  PumpMessages();
  auto* canvas = dynamic_cast<KxMiniUICanvasGdiplus*>(menu.GetRootHolder()->Canvas());
  if (canvas == nullptr) return CLR_INVALID;
  const BYTE* p = canvas->GetPixels() + (static_cast<size_t>(y) * canvas->GetWidth() + x) * 4;
  return RGB(p[2], p[1], p[0]);
}

// How many pixels of the item's top row are `color`.
int ItemTopRowCount(KxMiniUIMenu& menu, size_t index, COLORREF color) {
  KxMiniUIMenuItem* item = menu.GetItemAt(index);
  const POINT origin = item->ToWindowPoint(POINT{0, 0});
  int count = 0;
  for (int x = 0; x < item->Width(); ++x) count += MenuPixel(menu, origin.x + x, origin.y) == color ? 1 : 0;
  return count;
}

// What an item's rectangle shows after one fresh paint: how many pixels
// differ from `background`, where they are (item coordinates) and the
// darkest of them.
struct ItemInk {
  int count = 0;
  RECT bounds{0, 0, 0, 0};
  int darkest = 255;
};

ItemInk InkOfItem(KxMiniUIMenu& menu, size_t index, COLORREF background) {
  ItemInk ink;
  KxMiniUIMenuItem* item = menu.GetItemAt(index);
  auto* canvas = dynamic_cast<KxMiniUICanvasGdiplus*>(menu.GetRootHolder()->Canvas());
  if (item == nullptr || canvas == nullptr) return ink;
  MenuPixel(menu, 0, 0);  // one fresh paint
  const POINT origin = item->ToWindowPoint(POINT{0, 0});
  ink.bounds = RECT{item->Width(), item->Height(), 0, 0};
  for (int y = 0; y < item->Height(); ++y) {
    for (int x = 0; x < item->Width(); ++x) {
      const BYTE* p =
          canvas->GetPixels() + (static_cast<size_t>(origin.y + y) * canvas->GetWidth() + origin.x + x) * 4;
      if (RGB(p[2], p[1], p[0]) == background) continue;
      ++ink.count;
      ink.darkest = std::min<int>({ink.darkest, p[0], p[1], p[2]});
      ink.bounds = RECT{std::min<LONG>(ink.bounds.left, x), std::min<LONG>(ink.bounds.top, y),
                        std::max<LONG>(ink.bounds.right, x + 1), std::max<LONG>(ink.bounds.bottom, y + 1)};
    }
  }
  return ink;
}

class MenuTest : public FrameworkWindowTest {
 protected:
  std::unique_ptr<KxMiniUIMenu> NewMenu() {
    std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText(kMenuText);
    EXPECT_NE(menu, nullptr);
    return menu;
  }

  // Pops the menu up at `anchor` and, from a second thread once it shows,
  // plays `user` (real input). A menu still open a while after that is
  // closed so a failure cannot hang the run; `closedByItself` tells.
  int PopupWith(KxMiniUIMenu& menu, POINT anchor, const std::function<void()>& user, bool& closedByItself) {
    menu.SetAnchorPoint(anchor);
    InputScript script{menu.GetHwnd(), user, false};
    Kx::ScopedHandle thread(::CreateThread(nullptr, 0, &InputScript::Run, &script, 0, nullptr));
    EXPECT_TRUE(static_cast<bool>(thread));
    const int chosen = menu.Popup();
    if (thread) ::WaitForSingleObject(thread.Get(), INFINITE);
    closedByItself = !script.forced;
    return chosen;
  }

 private:
  struct InputScript {
    HWND window;
    const std::function<void()>& user;
    std::atomic<bool> forced;

    static DWORD WINAPI Run(void* parameter) {
      auto* script = static_cast<InputScript*>(parameter);
      for (int i = 0; i < 200 && !::IsWindowVisible(script->window); ++i) ::Sleep(10);
      ::Sleep(150);
      script->user();
      for (int i = 0; i < 300 && ::IsWindow(script->window); ++i) ::Sleep(10);
      if (::IsWindow(script->window)) {
        script->forced = true;
        ::PostMessageW(script->window, WM_CLOSE, 0, 0);
      }
      return 0;
    }
  };
};

TEST_F(MenuTest, LayoutTextMakesAHiddenTopMostToolWindowHoldingOnlyTheMenuItems) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  const HWND window = menu->GetHwnd();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(::IsWindowVisible(window));
  const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_EQ(exStyle & KxMiniUIMenu::kWindowExStyle, static_cast<LONG_PTR>(KxMiniUIMenu::kWindowExStyle));
  EXPECT_STREQ(menu->GetClassName(), "menu");
  ASSERT_NE(menu->GetItemList(), nullptr);
  EXPECT_EQ(menu->GetItemList()->GetId(), KxMiniUIMenu::kItemListId);
  ASSERT_EQ(menu->GetItemCount(), 3u);  // the "text" child is ignored
  const int ids[] = {kCut, kCopy, kPaste};
  for (size_t i = 0; i < 3; ++i) {
    ASSERT_NE(menu->GetItemAt(i), nullptr);
    EXPECT_EQ(menu->GetItemAt(i)->GetId(), ids[i]);
    EXPECT_EQ(menu->GetItemAt(i)->GetMenu(), menu.get());
  }
}

TEST_F(MenuTest, ItemsFromTextAreAppendedOnlyWhenTheyAreMenuItems) {
  std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText("<menu> </menu>");
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->GetItemCount(), 0u);
  EXPECT_FALSE(menu->ShowAtAnchor());  // nothing to show
  EXPECT_FALSE(::IsWindowVisible(menu->GetHwnd()));
  EXPECT_EQ(menu->AddItemFromText(""), nullptr);
  EXPECT_EQ(menu->AddItemFromText("<textbtn id=\"5\">x</textbtn>"), nullptr);
  EXPECT_EQ(menu->AddItemFromText("<menuitem id=\"5\">x"), nullptr);  // does not parse
  KxMiniUIMenuItem* item = menu->AddItemFromText("<menuitem id=\"9\">全选</menuitem>");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->GetMenu(), menu.get());
  ASSERT_EQ(menu->GetItemCount(), 1u);
  EXPECT_EQ(menu->GetItemAt(0), item);
  EXPECT_EQ(KxMiniUIMenu::CreateFromText("<listbox />"), nullptr);
}

TEST_F(MenuTest, ItemsStackDownTheListAtTheirNaturalHeights) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  const RECT work = DesktopWorkArea();
  menu->SetAnchorPoint(POINT{work.left + 50, work.top + 50});
  ASSERT_TRUE(menu->ShowAtAnchor());
  PumpFor(100);
  const SIZE content = menu->GetItemList()->GetContentSize();
  int top = 0;
  for (size_t i = 0; i < menu->GetItemCount(); ++i) {
    const RECT rect = menu->GetItemAt(i)->GetRect();
    EXPECT_EQ(rect.top, top) << i;
    EXPECT_EQ(rect.right - rect.left, content.cx) << i;
    EXPECT_GT(rect.bottom, rect.top) << i;
    top = rect.bottom;
  }
  EXPECT_EQ(top, content.cy);
}

// Where the window lands for anchors across the work area (w x h is the
// menu's size, W and H the work area's far edges).
TEST_F(MenuTest, PlacementKeepsTheMenuInsideTheWorkArea) {
  const RECT work = DesktopWorkArea();
  struct Case {
    const char* name;
    POINT anchor;
    // expected top-left as functions of the menu's size
    std::function<POINT(SIZE)> expected;
  };
  const Case cases[] = {
      {"inside", POINT{work.left + 100, work.top + 100},
       [&](SIZE) { return POINT{work.left + 100, work.top + 100}; }},
      {"near the bottom opens upwards", POINT{work.left + 100, work.bottom - 5},
       [&](SIZE s) { return POINT{work.left + 100, work.bottom - 5 - s.cy}; }},
      {"near the right is moved left", POINT{work.right - 5, work.top + 100},
       [&](SIZE s) { return POINT{work.right - s.cx, work.top + 100}; }},
      {"bottom-right corner", POINT{work.right - 3, work.bottom - 3},
       [&](SIZE s) { return POINT{work.right - s.cx, work.bottom - 3 - s.cy}; }},
      {"left of the work area", POINT{work.left - 40, work.top + 100},
       [&](SIZE) { return POINT{work.left, work.top + 100}; }},
      {"above the work area", POINT{work.left + 100, work.top - 10},
       [&](SIZE s) { return POINT{work.left + 100, work.top - 10 + s.cy}; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
    ASSERT_NE(menu, nullptr);
    menu->SetAnchorPoint(c.anchor);
    ASSERT_TRUE(menu->ShowAtAnchor());
    PumpFor(50);
    EXPECT_TRUE(::IsWindowVisible(menu->GetHwnd()));
    const RECT rect = WindowRectOf(menu->GetHwnd());
    const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
    const SIZE content = menu->GetItemList()->GetContentSize();
    EXPECT_EQ(size.cx, content.cx);
    EXPECT_EQ(size.cy, content.cy);
    const POINT expected = c.expected(size);
    EXPECT_EQ(rect.left, expected.x);
    EXPECT_EQ(rect.top, expected.y);
    EXPECT_LE(rect.right, work.right);
    EXPECT_LE(rect.bottom, work.bottom);
  }
}

TEST_F(MenuTest, InnerMarginsWidenTheWindowAndInsetTheList) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  const RECT work = DesktopWorkArea();
  menu->SetAnchorPoint(POINT{work.left + 100, work.top + 100});
  menu->SetInnerMargins(RECT{3, 5, 7, 11});
  ASSERT_TRUE(menu->ShowAtAnchor());
  PumpFor(50);
  const RECT rect = WindowRectOf(menu->GetHwnd());
  const SIZE content = menu->GetItemList()->GetContentSize();
  EXPECT_EQ(rect.right - rect.left, content.cx + 10);
  EXPECT_EQ(rect.bottom - rect.top, content.cy + 16);
  const RECT list = menu->GetItemList()->GetRect();
  EXPECT_EQ(list.left, 3);
  EXPECT_EQ(list.top, 5);
  EXPECT_EQ(list.right, content.cx + 3);
  EXPECT_EQ(list.bottom, content.cy + 5);
}

TEST_F(MenuTest, AShadowChildGivesTheWindowItsDropShadow) {
  std::unique_ptr<KxMiniUIMenu> plain = NewMenu();
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GetShadow(), nullptr);
  std::unique_ptr<KxMiniUIMenu> shadowed = KxMiniUIMenu::CreateFromText(
      "<menu><shadow src=\"209\" margin=\"8,6,4,2\" radiustop=\"3\" sizingborder=\"0\" />"
      "<menuitem id=\"1\">a</menuitem></menu>");
  ASSERT_NE(shadowed, nullptr);
  ASSERT_NE(shadowed->GetShadow(), nullptr);
  const KxMiniUIShadowSettings& settings = shadowed->GetShadow()->Settings();
  EXPECT_EQ(settings.picture, 209u);
  EXPECT_EQ(settings.left, 8);
  EXPECT_EQ(settings.top, 6);
  EXPECT_EQ(settings.right, 4);
  EXPECT_EQ(settings.bottom, 2);
  EXPECT_EQ(settings.radiusTop, 3);
  EXPECT_EQ(shadowed->GetItemCount(), 1u);
}

// The menu's "crbg" colours the margin around the list; the list stays white.
TEST_F(MenuTest, TheMenusBackgroundColourFillsTheMarginAroundTheList) {
  struct Case {
    const char* text;
    COLORREF margin;
  };
  const Case cases[] = {
      {"<menu crbg=\"00FF00\"><menuitem id=\"1\">a</menuitem></menu>", RGB(0, 255, 0)},
      {"<menu><menuitem id=\"1\">a</menuitem></menu>", RGB(255, 255, 255)},
  };
  const RECT work = DesktopWorkArea();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText(c.text);
    ASSERT_NE(menu, nullptr);
    menu->SetAnchorPoint(POINT{work.left + 100, work.top + 100});
    menu->SetInnerMargins(RECT{6, 6, 6, 6});
    ASSERT_TRUE(menu->ShowAtAnchor());
    PumpFor(50);
    EXPECT_EQ(MenuPixel(*menu, 2, 2), c.margin);
    EXPECT_EQ(MenuPixel(*menu, 6, 6), RGB(255, 255, 255));
  }
}

// The items of the edit box's menu: their text drawn right of the text
// offset in the text colour, or the disabled colour.
TEST_F(MenuTest, ItemsDrawTheirTextInTheStatesColour) {
  const std::string item =
      " textoffset=\"20, 0\" crbg=\"FFFFFF\" crbghover=\"EBEBEB\" crtext=\"000000\" crhover=\"000000\""
      " crdisabled=\"BFBFBF\" fontsize=\"12\" textalign=\"near\" textlinealign=\"center\" height=\"25\""
      " width=\"122\">";
  std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText(
      "<menu><menuitem id=\"1\"" + item + "剪切</menuitem><menuitem id=\"2\"" + item +
      "复制</menuitem><menuitem id=\"3\"" + item + "粘贴</menuitem></menu>");
  ASSERT_NE(menu, nullptr);
  menu->GetItemAt(1)->SetEnabled(false);
  const RECT work = DesktopWorkArea();
  ::SetCursorPos(work.left + 5, work.top + 5);
  menu->SetAnchorPoint(POINT{work.left + 200, work.top + 200});
  ASSERT_TRUE(menu->ShowAtAnchor());
  PumpFor(50);
  const POINT third = ItemCentre(*menu, 2);
  ::SetCursorPos(third.x, third.y);
  PumpFor(150);
  ASSERT_EQ(menu->GetItemAt(2)->GetState(), KxMiniUIButton::kHover);

  struct Case {
    const char* name;
    size_t index;
    COLORREF background;
    int darkestAtMost, darkestAtLeast;
  };
  const Case cases[] = {
      {"enabled: black text", 0, RGB(255, 255, 255), 0x40, 0},
      {"disabled: grey text", 1, RGB(255, 255, 255), 0xDF, 0xBF},
      {"hovered: black text on grey", 2, RGB(0xEB, 0xEB, 0xEB), 0x40, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ItemInk ink = InkOfItem(*menu, c.index, c.background);
    // Two CJK glyphs of 12 pixels leave far more ink than this.
    EXPECT_GT(ink.count, 40);
    EXPECT_GE(ink.bounds.left, 20) << "the text starts at the text offset";
    EXPECT_LE(ink.darkest, c.darkestAtMost);
    EXPECT_GE(ink.darkest, c.darkestAtLeast);
  }
}

TEST_F(MenuTest, TheHighlightedItemCarriesTheFocusOutline) {
  std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText(
      "<menu><menuitem id=\"1\" crborderFocus=\"0000FF\" textbtnmargin=\"8,4,8,4\">a</menuitem>"
      "<menuitem id=\"2\" crborderFocus=\"0000FF\" textbtnmargin=\"8,4,8,4\">b</menuitem></menu>");
  ASSERT_NE(menu, nullptr);
  const RECT work = DesktopWorkArea();
  ::SetCursorPos(work.left + 5, work.top + 5);
  menu->SetAnchorPoint(POINT{work.left + 200, work.top + 200});
  ASSERT_TRUE(menu->ShowAtAnchor());
  PumpFor(50);
  const COLORREF blue = RGB(0, 0, 255);
  EXPECT_EQ(ItemTopRowCount(*menu, 0, blue), 0);
  ::SendMessageW(menu->GetHwnd(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_GT(ItemTopRowCount(*menu, 0, blue), 0);
  EXPECT_EQ(ItemTopRowCount(*menu, 1, blue), 0);
  ::SendMessageW(menu->GetHwnd(), WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(ItemTopRowCount(*menu, 0, blue), 0);
  EXPECT_GT(ItemTopRowCount(*menu, 1, blue), 0);
}

TEST_F(MenuTest, ClickingAnItemChoosesItAndClosesTheMenu) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  const RECT work = DesktopWorkArea();
  bool closedByItself = false;
  const int chosen = PopupWith(*menu, POINT{work.left + 200, work.top + 200},
                               [&] { ClickAtScreen(ItemCentre(*menu, 1)); }, closedByItself);
  EXPECT_TRUE(closedByItself);
  EXPECT_EQ(chosen, kCopy);
  EXPECT_EQ(menu->GetChosenId(), kCopy);
  EXPECT_FALSE(::IsWindow(menu->GetHwnd()));
  EXPECT_EQ(menu->GetItemList(), nullptr);
  EXPECT_EQ(menu->GetHighlightedIndex(), -1);
}

// Keys typed into the open menu and the id it ends with.
TEST_F(MenuTest, ArrowKeysMoveOneHighlightAndReturnChoosesIt) {
  struct Case {
    const char* name;
    std::vector<WORD> keys;
    int chosen;
  };
  const Case cases[] = {
      {"Down then Return chooses the first", {VK_DOWN, VK_RETURN}, kCut},
      {"Down Down Return chooses the second", {VK_DOWN, VK_DOWN, VK_RETURN}, kCopy},
      {"Down stops at the last", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, kPaste},
      {"Up on a fresh menu takes the first", {VK_UP, VK_RETURN}, kCut},
      {"Up goes back", {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN}, kCopy},
      {"Return with nothing highlighted chooses nothing", {VK_RETURN, VK_ESCAPE}, 0},
      {"Escape closes with nothing chosen", {VK_DOWN, VK_ESCAPE}, 0},
  };
  const RECT work = DesktopWorkArea();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
    ASSERT_NE(menu, nullptr);
    // The cursor rests away from the menu so only the keys highlight.
    ::SetCursorPos(work.left + 5, work.top + 5);
    bool closedByItself = false;
    const int chosen = PopupWith(*menu, POINT{work.left + 200, work.top + 200},
                                 [&] {
                                   for (const WORD key : c.keys) SendKeyStrokeAndWait(key);
                                 },
                                 closedByItself);
    EXPECT_TRUE(closedByItself);
    EXPECT_EQ(chosen, c.chosen);
  }
}

TEST_F(MenuTest, TheMouseAndTheKeysShareOneHighlight) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  const RECT work = DesktopWorkArea();
  menu->SetAnchorPoint(POINT{work.left + 200, work.top + 200});
  ASSERT_TRUE(menu->ShowAtAnchor());
  ::SetForegroundWindow(menu->GetHwnd());
  ::SetFocus(menu->GetHwnd());
  PumpFor(100);
  const POINT third = ItemCentre(*menu, 2);
  ::SetCursorPos(third.x, third.y);
  PumpFor(150);
  EXPECT_EQ(menu->GetHighlightedIndex(), 2);
  EXPECT_EQ(menu->GetItemAt(2)->GetState(), KxMiniUIButton::kHover);
  SendKeyStrokeAndWait(VK_UP);
  PumpFor(100);
  EXPECT_EQ(menu->GetHighlightedIndex(), 1);
  EXPECT_EQ(menu->GetItemAt(1)->GetState(), KxMiniUIButton::kHover);
  EXPECT_EQ(menu->GetItemAt(2)->GetState(), KxMiniUIButton::kNormal);
}

TEST_F(MenuTest, ADisabledItemCannotBeChosenByMouseOrReturn) {
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  menu->GetItemAt(0)->SetEnabled(false);
  const RECT work = DesktopWorkArea();
  ::SetCursorPos(work.left + 5, work.top + 5);
  bool closedByItself = false;
  const int chosen = PopupWith(*menu, POINT{work.left + 200, work.top + 200},
                               [&] {
                                 ClickAtScreen(ItemCentre(*menu, 0));
                                 ::SetCursorPos(work.left + 5, work.top + 5);
                                 SendKeyStrokeAndWait(VK_DOWN);
                                 SendKeyStrokeAndWait(VK_RETURN);
                                 ::Sleep(100);
                                 SendKeyStrokeAndWait(VK_ESCAPE);
                               },
                               closedByItself);
  EXPECT_TRUE(closedByItself);
  EXPECT_EQ(chosen, 0);
}

TEST_F(MenuTest, AClickOutsideClosesTheMenuWithNothingChosen) {
  ControlWindow owner(ControlLayout("", 300, 200));
  ASSERT_NE(owner.GetHwnd(), nullptr);
  std::unique_ptr<KxMiniUIMenu> menu = NewMenu();
  ASSERT_NE(menu, nullptr);
  menu->SetOwnerWindow(owner.GetHwnd());
  POINT inOwner{150, 100};
  ::ClientToScreen(owner.GetHwnd(), &inOwner);
  POINT anchor{inOwner.x - 120, inOwner.y - 80};
  bool closedByItself = false;
  const int chosen = PopupWith(*menu, anchor, [&] { ClickAtScreen(inOwner); }, closedByItself);
  EXPECT_TRUE(closedByItself);
  EXPECT_EQ(chosen, 0);
  EXPECT_FALSE(::IsWindow(menu->GetHwnd()));
}

}  // namespace
}  // namespace zelk::test
