// Framework windows made from layouts: size, centring, what reaches the
// screen, layered painting, the drop shadow, layout switching, style update
// documents and the window-drag path, on real windows under Xvfb.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIFrameWindow.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISimpleWindow.h"
#include "tests/miniui/core/support/WindowTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {

KXMINIUI_REGISTER_CLASS(PaintTallyView);
KXMINIUI_REGISTER_CLASS(PressTallyView);

namespace {

// A window that records the WM_SYSCOMMAND requests its views post (and
// swallows them, so no system move loop starts).
class SpyWindow : public KxMiniUISimpleWindow {
 public:
  using KxMiniUISimpleWindow::KxMiniUISimpleWindow;
  std::vector<WPARAM> systemCommands;
  int initCalls = 0;

 protected:
  void OnInitDialog() override { ++initCalls; }
  bool ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM, LRESULT& result) override {
    if (message != WM_SYSCOMMAND) return false;
    systemCommands.push_back(wParam);
    result = 0;
    return true;
  }
};

PaintTallyView* TallyOf(KxMiniUIDialogView& window, int id) {
  return dynamic_cast<PaintTallyView*>(window.GetRootView()->FindViewById(id));
}

// Shows the window and waits until its first paint has reached the screen.
void ShowAndSettle(KxMiniUIDialogView& window) {
  ::ShowWindow(window.GetHwnd(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(window.GetHwnd());
  PumpFor(300);
}

class WindowTest : public FrameworkWindowTest {};

TEST_F(WindowTest, OpensAtTheLayoutsSizeCentredInTheWorkAreaWithItsTitleAndTree) {
  SpyWindow window(kBasicLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(window.initCalls, 1);
  EXPECT_TRUE(KxMiniUIAppModule::Instance().HasWindow(&window));

  RECT client{};
  ::GetClientRect(handle, &client);
  EXPECT_EQ(client.right, 300);  // the whole window is client area
  EXPECT_EQ(client.bottom, 200);
  const RECT area = DesktopWorkArea();
  const RECT frame = WindowRectOf(handle);
  EXPECT_EQ(frame.left, area.left + (area.right - area.left - 300) / 2);
  EXPECT_EQ(frame.top, area.top + (area.bottom - area.top - 200) / 2);
  wchar_t title[64] = {};
  ::GetWindowTextW(handle, title, 64);
  EXPECT_STREQ(title, L"KxWindowTest Basic");
  // The system adds clip-siblings to every top-level window.
  EXPECT_EQ(::GetWindowLongPtrW(handle, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS),
            static_cast<LONG_PTR>(0x82080000));
  EXPECT_NE(window.GetTooltip(), nullptr);

  KxMiniUIView* red = window.GetRootView()->FindViewById(11);
  ASSERT_NE(red, nullptr);
  EXPECT_EQ(red->ToWindowPoint(POINT{0, 0}).x, 10);
  EXPECT_EQ(red->Width(), 100);
}

TEST_F(WindowTest, AScreenshotShowsTheViewsWhereTheLayoutPutsThem) {
  SpyWindow window(kBasicLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  const RECT frame = WindowRectOf(handle);
  const ScreenCapture shot(frame);
  EXPECT_TRUE(shot.SavePng(BinDir() + L"\\KxMiniUIWindow_basic.png"));

  const struct {
    POINT at;
    COLORREF color;
  } expected[] = {
      {{60, 35}, RGB(255, 0, 0)},     // view 11
      {{200, 140}, RGB(0, 0, 255)},   // view 12
      {{35, 125}, RGB(0, 255, 0)},    // view 13
      {{250, 30}, RGB(255, 255, 255)},  // the white panel beneath
  };
  for (const auto& probe : expected) {
    EXPECT_EQ(shot.At(probe.at.x, probe.at.y), probe.color) << probe.at.x << "," << probe.at.y;
  }
}

// A layered window has no system copy of its surface: any change repaints
// all of it, while an ordinary window repaints only the invalid area.
TEST_F(WindowTest, ALayeredWindowRepaintsItsWholeSurfaceAnOrdinaryOneOnlyTheInvalidPart) {
  const struct {
    UINT layout;
    bool layered;
  } cases[] = {{kLayeredLayout, true}, {kOrdinaryLayout, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.layered ? "layered" : "ordinary");
    SpyWindow window(c.layout);
    const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ((::GetWindowLongPtrW(handle, GWL_EXSTYLE) & WS_EX_LAYERED) != 0, c.layered);
    ShowAndSettle(window);
    PaintTallyView* left = TallyOf(window, 21);
    PaintTallyView* corner = TallyOf(window, 22);
    ASSERT_TRUE(left && corner);
    ASSERT_GT(corner->paints, 0);

    const int before = corner->paints;
    left->Invalidate();
    PumpFor(200);
    EXPECT_GT(left->paints, 0);
    EXPECT_EQ(corner->paints > before, c.layered);
  }
}

TEST_F(WindowTest, ALayeredWindowKeepsPerPixelAlphaInItsBackBuffer) {
  SpyWindow window(kLayeredLayout);
  ASSERT_NE(window.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ShowAndSettle(window);
  ASSERT_NE(window.GetRootHolder(), nullptr);
  auto* canvas = dynamic_cast<KxMiniUICanvasGdiplus*>(window.GetRootHolder()->Canvas());
  ASSERT_NE(canvas, nullptr);
  EXPECT_FALSE(canvas->IsOpaque());
  const BYTE* pixels = canvas->GetPixels();
  ASSERT_NE(pixels, nullptr);
  auto pixel = [&](int x, int y) { return pixels + (static_cast<size_t>(y) * canvas->GetWidth() + x) * 4; };
  // Panel 23: red at alpha 0x80, premultiplied.
  EXPECT_EQ(pixel(50, 60)[3], 0x80);
  EXPECT_NEAR(pixel(50, 60)[2], 0x80, 1);
  // Nothing painted between the views: fully transparent.
  EXPECT_EQ(pixel(120, 60)[3], 0);
  EXPECT_EQ(pixel(160, 10)[3], 255);  // view 22, opaque green
}

TEST_F(WindowTest, TheShadowSitsBehindTheOwnerGrownByItsMarginsAndFollowsIt) {
  SpyWindow window(kShadowLayout);
  const HWND owner = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(owner, nullptr);
  ShowAndSettle(window);
  ASSERT_NE(window.GetShadow(), nullptr);
  const HWND shadow = window.GetShadow()->GetHwnd();
  ASSERT_NE(shadow, nullptr);
  wchar_t className[64] = {};
  ::GetClassNameW(shadow, className, 64);
  EXPECT_STREQ(className, L"KxShadowWindow");
  EXPECT_EQ(::GetPropW(shadow, L"ShadowPointer"), window.GetShadow());
  const LONG_PTR exStyle = ::GetWindowLongPtrW(shadow, GWL_EXSTYLE);
  EXPECT_EQ(exStyle & 0x08080020, 0x08080020);  // no activate, layered, mouse passes through

  auto expectGrown = [&](const char* when) {
    SCOPED_TRACE(when);
    const RECT o = WindowRectOf(owner);
    const RECT s = WindowRectOf(shadow);
    EXPECT_EQ(s.left, o.left - 8);
    EXPECT_EQ(s.top, o.top - 8);
    EXPECT_EQ(s.right, o.right + 8);
    EXPECT_EQ(s.bottom, o.bottom + 8);
    EXPECT_TRUE(::IsWindowVisible(shadow));
    EXPECT_EQ(::GetWindow(owner, GW_HWNDNEXT), shadow);  // directly behind
  };
  expectGrown("shown");

  const RECT before = WindowRectOf(owner);
  ::SetWindowPos(owner, nullptr, before.left + 37, before.top + 21, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(100);
  expectGrown("moved");

  ::ShowWindow(owner, SW_HIDE);
  PumpFor(100);
  EXPECT_EQ(WindowRectOf(shadow).left, KxWndShadow::kParkedPosition);
  ::ShowWindow(owner, SW_SHOWNOACTIVATE);
  PumpFor(100);
  expectGrown("shown again");

  ::ShowWindow(owner, SW_SHOWMINNOACTIVE);
  PumpFor(100);
  EXPECT_EQ(WindowRectOf(shadow).left, KxWndShadow::kParkedPosition);
  ::ShowWindow(owner, SW_SHOWNOACTIVATE);
  PumpFor(100);
  expectGrown("restored");

  // The picture: the picture's border rows at the edges, nothing in the
  // middle (the owner covers it; the picture's red centre is never drawn).
  KxMiniUICanvasGdiplus* picture = window.GetShadow()->Picture();
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->GetWidth(), 176);
  EXPECT_EQ(picture->GetHeight(), 116);
  const BYTE* pixels = picture->GetPixels();
  auto alpha = [&](int x, int y) { return pixels[(static_cast<size_t>(y) * picture->GetWidth() + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 40);     // outer corner
  EXPECT_EQ(alpha(88, 0), 40);    // top edge, outer row
  EXPECT_EQ(alpha(88, 7), 180);   // top edge, inner row
  EXPECT_EQ(alpha(0, 58), 40);    // left edge
  EXPECT_EQ(alpha(88, 58), 0);    // centre: nothing
  EXPECT_EQ(pixels[(58 * 176 + 88) * 4 + 2], 0);
}

// The owner's first paint does not wait for its shadow, which takes about
// as long to build and push: the shadow follows once that paint is done.
TEST_F(WindowTest, AShownOwnerPaintsBeforeItsShadowAppears) {
  SpyWindow window(kShadowLayout);
  const HWND owner = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(owner, nullptr);
  ASSERT_NE(window.GetShadow(), nullptr);
  const HWND shadow = window.GetShadow()->GetHwnd();
  ::ShowWindow(owner, SW_SHOWNOACTIVATE);
  RECT unpainted{};
  EXPECT_TRUE(::GetUpdateRect(owner, &unpainted, FALSE)) << "the owner has painted already";
  EXPECT_FALSE(::IsWindowVisible(shadow));
  ::UpdateWindow(owner);
  EXPECT_FALSE(::GetUpdateRect(owner, &unpainted, FALSE));
  PumpFor(100);
  EXPECT_TRUE(::IsWindowVisible(shadow));
  EXPECT_EQ(WindowRectOf(shadow).left, WindowRectOf(owner).left - 8);
  EXPECT_EQ(::GetWindow(owner, GW_HWNDNEXT), shadow);
}

TEST_F(WindowTest, DestroyingTheWindowTakesItsShadowAndUnregistersIt) {
  HWND shadow = nullptr;
  {
    SpyWindow window(kShadowLayout);
    ASSERT_NE(window.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
    shadow = window.GetShadow()->GetHwnd();
    ASSERT_TRUE(::IsWindow(shadow));
    ::DestroyWindow(window.GetHwnd());
    EXPECT_FALSE(::IsWindow(shadow));
    EXPECT_EQ(window.GetShadow(), nullptr);
    EXPECT_FALSE(KxMiniUIAppModule::Instance().HasWindow(&window));
    EXPECT_EQ(window.GetRootView()->GetChildCount(), 0u);
  }
}

TEST_F(WindowTest, CreateOnAnExistingWindowAnswersItsHandleWithoutReloading) {
  SpyWindow window(kBasicLayout);
  const HWND first = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(first, nullptr);
  KxMiniUIView* red = window.GetRootView()->FindViewById(11);
  ASSERT_NE(red, nullptr);
  red->SetAttribute("id", "911", false);  // a change a reload would undo

  EXPECT_EQ(window.Create(nullptr, WS_POPUP | WS_SYSMENU), first);
  EXPECT_EQ(window.initCalls, 1);
  EXPECT_EQ(window.GetRootView()->FindViewById(911), red);
  EXPECT_EQ(window.GetRootView()->FindViewById(11), nullptr);
}

TEST_F(WindowTest, ALayoutThatCannotBeReadMakesNoWindow) {
  const struct {
    const char* name;
    UINT layout;
  } cases[] = {{"syntax error", kBrokenXml}, {"missing resource", 9999}, {"no layout at all", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SpyWindow window(c.layout);
    EXPECT_EQ(window.Create(nullptr, WS_POPUP), nullptr);
    EXPECT_EQ(window.initCalls, 0);
  }
}

TEST_F(WindowTest, LoadLayoutReplacesTheTreeOfALiveWindowAndResizesIt) {
  SpyWindow window(kBasicLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  const RECT before = WindowRectOf(handle);

  ASSERT_TRUE(window.LoadLayout(kSecondLayout));
  PumpFor(100);
  EXPECT_EQ(window.GetLayoutId(), kSecondLayout);
  RECT client{};
  ::GetClientRect(handle, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 150);
  EXPECT_EQ(WindowRectOf(handle).left, before.left);  // resized, not moved
  EXPECT_EQ(window.GetRootView()->FindViewById(11), nullptr);
  KxMiniUIView* box = window.GetRootView()->FindViewById(31);
  ASSERT_NE(box, nullptr);
  // Laid out in the new size: 100 from the right edge, under the 30-high header.
  EXPECT_EQ(box->ToWindowPoint(POINT{0, 0}).x, 300);
  EXPECT_EQ(box->ToWindowPoint(POINT{0, 0}).y, 40);
  EXPECT_EQ(window.initCalls, 1);

  // A layout that does not load leaves the window as it is.
  EXPECT_FALSE(window.LoadLayout(kBrokenXml));
  EXPECT_EQ(window.GetLayoutId(), kSecondLayout);
  EXPECT_NE(window.GetRootView()->FindViewById(31), nullptr);
}

TEST_F(WindowTest, SetLayoutTakesLayoutTextAndForgetsTheLayoutId) {
  SpyWindow window(kBasicLayout);
  ASSERT_NE(window.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ASSERT_TRUE(window.SetLayout(
      "<layer width=\"120\" height=\"90\"><body><dlg id=\"77\" pos=\"0,0,-0,-0\" crbg=\"00FF00\"/></body></layer>"));
  EXPECT_EQ(window.GetLayoutId(), 0u);
  RECT client{};
  ::GetClientRect(window.GetHwnd(), &client);
  EXPECT_EQ(client.right, 120);
  EXPECT_EQ(client.bottom, 90);
  ASSERT_NE(window.GetRootView()->FindViewById(77), nullptr);
  EXPECT_EQ(window.GetRootView()->FindViewById(77)->Width(), 120);
}

TEST_F(WindowTest, AStyleUpdateDocumentRestylesOnlyTheViewsNamedForThisLayout) {
  SpyWindow window(kBasicLayout);
  ASSERT_NE(window.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  KxMiniUIView* red = window.GetRootView()->FindViewById(11);
  KxMiniUIView* blue = window.GetRootView()->FindViewById(12);
  ASSERT_TRUE(red && blue);
  ::SendMessageW(window.GetHwnd(), KxMiniUIDialogView::kStyleUpdateMessage, 0, kStyleUpdateDocument);
  // "panel" is FAFAFA; the entry for another layout (999) is ignored.
  EXPECT_EQ(blue->GetStyle().background[KxMiniUIStyle::kNormal].rgb, RGB(0xFA, 0xFA, 0xFA));
  EXPECT_EQ(red->GetStyle().background[KxMiniUIStyle::kNormal].rgb, RGB(0xFF, 0, 0));
}

// The window hands presses to its root view, whose views post the
// move-by-caption command in a "defaultdrag" window.
TEST_F(WindowTest, ALeftPressInADefaultDragWindowAsksToMoveItARightPressDoesNot) {
  const struct {
    UINT message;
    WPARAM keys;
    bool moves;
  } cases[] = {{WM_LBUTTONDOWN, MK_LBUTTON, true}, {WM_RBUTTONDOWN, MK_RBUTTON, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    SpyWindow window(kDragLayout);
    const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
    ASSERT_NE(handle, nullptr);
    ShowAndSettle(window);
    ::PostMessageW(handle, c.message, c.keys, MAKELPARAM(30, 30));  // on view 51
    PumpFor(100);
    // Every view the press bubbles through may ask; each asks for the move.
    const bool moved = !window.systemCommands.empty() &&
                       std::all_of(window.systemCommands.begin(), window.systemCommands.end(),
                                   [](WPARAM command) { return command == 0xF012; });
    EXPECT_EQ(moved, c.moves);
    if (!c.moves) {
      EXPECT_TRUE(window.systemCommands.empty());
    }
    ::PostMessageW(handle, c.message + 1, 0, MAKELPARAM(30, 30));  // the matching release
    PumpFor(50);
  }
}

// The window captures the mouse on a press, so the view holding the press
// hears the release even far outside the window.
TEST_F(WindowTest, AViewPressedInTheWindowHearsTheReleaseOutsideIt) {
  SpyWindow window(kDragLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  auto* button = dynamic_cast<PressTallyView*>(window.GetRootView()->FindViewById(52));
  ASSERT_NE(button, nullptr);

  ::SendMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(130, 20));
  EXPECT_EQ(button->downs, 1);
  EXPECT_EQ(::GetCapture(), handle);
  EXPECT_TRUE(window.systemCommands.empty());  // the view took the press: no drag
  ::SendMessageW(handle, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-50, 300));
  ::SendMessageW(handle, WM_LBUTTONUP, 0, MAKELPARAM(-50, 300));
  EXPECT_EQ(button->ups, 1);
  EXPECT_EQ(button->lastUpFlags & MK_LBUTTON, static_cast<UINT>(MK_LBUTTON));  // the released button
  EXPECT_EQ(button->lastUpPoint.x, -50 - 120);  // in the view's own coordinates
  EXPECT_EQ(button->lastUpPoint.y, 300 - 10);
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(window.GetRootView()->GetPressedView(), nullptr);
}

// A resizable window answers the sizing band itself (it has no system
// frame), and its shadow with a sizing border resizes it from outside.
TEST_F(WindowTest, AResizableWindowAndItsShadowAnswerTheSizingBand) {
  SpyWindow window(kResizableLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  EXPECT_NE(::GetWindowLongPtrW(handle, GWL_STYLE) & WS_THICKFRAME, 0);
  const RECT frame = WindowRectOf(handle);
  const LONG midX = (frame.left + frame.right) / 2, midY = (frame.top + frame.bottom) / 2;
  const struct {
    POINT at;
    LRESULT code;
  } window_cases[] = {
      {{frame.left + 2, midY}, HTLEFT},
      {{frame.right - 3, midY}, HTRIGHT},
      {{midX, frame.top + 5}, HTTOP},
      {{midX, frame.bottom - 1}, HTBOTTOM},
      {{frame.left + 1, frame.top + 1}, HTTOPLEFT},
      {{frame.right - 1, frame.bottom - 1}, HTBOTTOMRIGHT},
      {{midX, midY}, HTCLIENT},
      {{frame.left + 6, midY}, HTCLIENT},
  };
  for (const auto& c : window_cases) {
    EXPECT_EQ(::SendMessageW(handle, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y)), c.code)
        << c.at.x - frame.left << "," << c.at.y - frame.top;
  }

  MINMAXINFO limits{};
  ::SendMessageW(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(limits.ptMinTrackSize.x, 200);
  EXPECT_EQ(limits.ptMinTrackSize.y, 120);

  ASSERT_NE(window.GetShadow(), nullptr);
  const HWND shadow = window.GetShadow()->GetHwnd();
  EXPECT_EQ(::GetWindowLongPtrW(shadow, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);  // it takes the mouse
  EXPECT_EQ(reinterpret_cast<INT_PTR>(::GetPropW(shadow, L"SizingBorder")), 5);
  const struct {
    POINT at;
    LRESULT code;
  } shadow_cases[] = {
      {{frame.left - 2, midY}, HTLEFT},
      {{frame.right + 4, frame.bottom + 4}, HTBOTTOMRIGHT},
      {{midX, frame.top - 1}, HTTOP},
      {{frame.left - 7, midY}, HTTRANSPARENT},  // shadow, but beyond the band
  };
  for (const auto& c : shadow_cases) {
    EXPECT_EQ(::SendMessageW(shadow, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y)), c.code)
        << c.at.x - frame.left << "," << c.at.y - frame.top;
  }
  ::SendMessageW(shadow, WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(frame.left - 2, midY));
  PumpFor(50);
  ASSERT_EQ(window.systemCommands.size(), 1u);
  EXPECT_EQ(window.systemCommands[0], static_cast<WPARAM>(SC_SIZE | WMSZ_LEFT));
}

TEST_F(WindowTest, TheCursorIsTheOneTheViewUnderTheMouseAsksFor) {
  SpyWindow window(kResizableLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  const RECT frame = WindowRectOf(handle);
  ::SetCursorPos((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
  ::SendMessageW(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
  ::SendMessageW(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
  ::SendMessageW(handle, WM_SETCURSOR, reinterpret_cast<WPARAM>(handle), MAKELPARAM(HTTOPRIGHT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZENESW));
}

// Key messages go to the root view; keys no view takes reach the window's
// OnKeyDown hook. The thread's key state supplies the modifiers.
class KeyWindow : public SpyWindow {
 public:
  KeyWindow() : SpyWindow(kTabsLayout) {}
  bool OnKeyDown(UINT key, UINT, UINT) override {
    hookKeys.push_back(key);
    return false;
  }
  std::vector<UINT> hookKeys;
};

void SetShift(bool down) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

TEST_F(WindowTest, TabThroughTheWindowVisitsTheTabOrderAndOtherKeysReachTheHook) {
  KeyWindow window;
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  KxMiniUIFocusManager& focus = *window.GetRootView()->GetFocusManager();
  auto focusedId = [&] { return focus.GetFocusedView() ? focus.GetFocusedView()->GetId() : 0; };
  auto press = [&](UINT key, bool shift) {
    SetShift(shift);
    ::SendMessageW(handle, WM_KEYDOWN, key, 1);
    SetShift(false);
    return focusedId();
  };
  std::vector<int> visited;
  for (int i = 0; i < 4; ++i) visited.push_back(press(VK_TAB, false));
  EXPECT_EQ(visited, (std::vector<int>{92, 93, 91, 92}));  // "tabstop" 1, 2, 3, wrapping; 0 never
  EXPECT_EQ(press(VK_TAB, true), 91);                        // Shift+Tab goes back
  EXPECT_TRUE(window.hookKeys.empty());

  press(VK_ESCAPE, false);
  press(VK_RETURN, false);
  EXPECT_EQ(window.hookKeys, (std::vector<UINT>{VK_ESCAPE, VK_RETURN}));
}

TEST_F(WindowTest, AResizeForgetsThePressAndLaysTheTreeOutAtTheNewSize) {
  SpyWindow window(kBasicLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
  ASSERT_NE(handle, nullptr);
  ShowAndSettle(window);
  window.GetRootView()->SetPressedView(window.GetRootView()->FindViewById(11));
  ::ShowWindow(handle, SW_RESTORE);
  ::SetWindowPos(handle, nullptr, 0, 0, 320, 210, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(50);
  // A resize forgets the press and lays the root out at the new size.
  EXPECT_EQ(window.GetRootView()->GetPressedView(), nullptr);
  EXPECT_EQ(window.GetRootView()->Width(), 320);
  EXPECT_EQ(window.GetRootView()->Height(), 210);
}

}  // namespace
}  // namespace zelk::test
