// Input dispatch through a real window: mouse and key messages posted to a
// window whose procedure hands them to its root view the way a framework
// window does (capture on press, leave tracking, key modifiers from the key
// state), with probe views that log what reaches them.
#include <windows.h>
#include <windowsx.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using ::testing::ElementsAre;
using zelk::test::CoreResourcesTest;
using zelk::test::ParseXml;
using zelk::test::PumpMessages;

std::vector<std::string> g_log;

void Log(const char* format, int id, int a = 0, int b = 0) {
  char line[64];
  std::snprintf(line, sizeof line, format, id, a, b);
  g_log.emplace_back(line);
}

// "probe": logs every input call it gets as "<event> <id> ...". "accept"
// makes it take presses, "keys" the keys and characters, "wheel" the wheel;
// otherwise it behaves as a plain view (window drag, right-click notice).
class ProbeView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("probe")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override {
    const bool on = KxMiniUIValue::Number(value) != 0;
    if (KxMiniUIText::NamesEqual(name, "accept")) {
      accept_ = on;
    } else if (KxMiniUIText::NamesEqual(name, "keys")) {
      keys_ = on;
    } else if (KxMiniUIText::NamesEqual(name, "wheel")) {
      wheel_ = on;
    } else {
      return KxMiniUIView::SetAttribute(name, value, notify);
    }
    return kAttrTaken;
  }
  bool OnMouseDown(UINT flags, POINT point, bool doubleClick) override {
    Log(doubleClick ? "dblclick %d %d,%d" : "down %d %d,%d", GetId(), point.x, point.y);
    if (onDown) onDown();
    return accept_ || KxMiniUIView::OnMouseDown(flags, point, doubleClick);
  }
  bool OnMouseDrag(UINT, POINT point) override {
    Log("drag %d %d,%d", GetId(), point.x, point.y);
    return true;
  }
  bool OnMouseUp(UINT flags, POINT point, UINT extra) override {
    Log("up %d %d,%d", GetId(), point.x, point.y);
    return KxMiniUIView::OnMouseUp(flags, point, extra);
  }
  bool OnMouseMove(UINT, POINT point) override {
    Log("move %d %d,%d", GetId(), point.x, point.y);
    return false;
  }
  bool OnMouseWheel(UINT, POINT, int delta) override {
    Log("wheel %d %d", GetId(), delta);
    return wheel_;
  }
  void OnMouseEnter(POINT point) override {
    Log("enter %d", GetId());
    KxMiniUIView::OnMouseEnter(point);
  }
  void OnMouseLeave(POINT point) override {
    Log("leave %d", GetId());
    KxMiniUIView::OnMouseLeave(point);
    if (onLeave) onLeave();
  }
  bool OnKeyDown(UINT key, LPARAM, UINT modifiers) override {
    Log("key %d %d %d", GetId(), static_cast<int>(key), static_cast<int>(modifiers));
    return keys_;
  }
  bool OnChar(UINT code) override {
    Log("char %d %d", GetId(), static_cast<int>(code));
    return keys_;
  }
  void OnSetFocus(int reason) override { Log("focus %d %d", GetId(), reason); }
  void OnKillFocus() override {
    Log("unfocus %d", GetId());
    if (onKillFocus) onKillFocus();
  }

  std::function<void()> onDown;
  std::function<void()> onLeave;
  std::function<void()> onKillFocus;

 private:
  bool accept_ = false;
  bool keys_ = false;
  bool wheel_ = false;
};
KXMINIUI_REGISTER_CLASS(ProbeView);

// A borderless top-level window at (100, 100) whose procedure forwards its
// input to a root view built from layout text.
class InputWindow : public IMiniUIViewHost {
 public:
  InputWindow(const std::string& bodyXml, int width, int height, bool defaultDrag = false) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &InputWindow::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"KxMiniUIInputTestWindow";
    ::RegisterClassExW(&windowClass);  // fails harmlessly once registered
    root_ = std::make_shared<KxMiniUIRootView>();
    root_->SetHost(this);
    root_->SetDefaultDrag(defaultDrag);
    document_ = ParseXml(bodyXml);
    if (document_) root_->LoadChildrenFromXml(document_->Root());
    window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"miniui input test", WS_POPUP | WS_VISIBLE, 100,
                                100, width, height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    root_->LayoutAt(width, height);
    PumpMessages();
  }
  ~InputWindow() {
    if (window_ != nullptr) ::DestroyWindow(window_);
    root_->SetHost(nullptr);
  }
  InputWindow(const InputWindow&) = delete;
  InputWindow& operator=(const InputWindow&) = delete;

  HWND GetHostWindow() override { return window_; }
  bool IsPaintAllowed() override { return true; }
  void InvalidateHostRect(const RECT& rect, bool) override { ::InvalidateRect(window_, &rect, TRUE); }
  bool SetHostTimer(UINT_PTR id, UINT interval) override { return ::SetTimer(window_, id, interval, nullptr) != 0; }
  void KillHostTimer(UINT_PTR id) override { ::KillTimer(window_, id); }
  void UpdateTooltip(const std::wstring& text, int maxWidth) override {
    tooltips.push_back(zelk::test::WideToUtf8(text) + "/" + std::to_string(maxWidth));
  }

  KxMiniUIRootView& Root() { return *root_; }
  ProbeView* Probe(int id) { return static_cast<ProbeView*>(root_->FindViewById(id)); }
  HWND Window() const { return window_; }

  // Posts a mouse message at client point (x, y) and lets it through.
  void Mouse(UINT message, int x, int y, WPARAM keys = 0) {
    ::PostMessageW(window_, message, keys, MAKELPARAM(x, y));
    PumpMessages();
  }
  void Click(int x, int y) {
    Mouse(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, x, y);
  }
  // Sent, not posted: no translation adds character messages to the log.
  void Key(UINT key) {
    ::SendMessageW(window_, WM_KEYDOWN, key, 1);
    ::SendMessageW(window_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }
  // The keyboard state as the thread sees it, so the window reads Shift held.
  static void HoldShift(bool held) {
    BYTE state[256];
    ::GetKeyboardState(state);
    state[VK_SHIFT] = held ? 0x80 : 0;
    ::SetKeyboardState(state);
  }

  std::vector<UINT> notices;        // WM_NOTIFY codes
  std::vector<int> noticeIds;       // the views' ids from the records
  std::vector<WPARAM> sysCommands;  // WM_SYSCOMMAND word parameters
  std::vector<std::string> tooltips;
  std::vector<bool> keyResults;     // what the root answered for each key down

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<InputWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->root_ == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    // Held for the call: a handler may rebuild the tree under the dispatch.
    std::shared_ptr<KxMiniUIRootView> root = self->root_;
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const UINT flags = KxMiniUIRootView::MouseFlagsFor(message, wParam);
    switch (message) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
        ::SetCapture(window);
        root->OnMouseDown(flags, point, false);
        return 0;
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
        ::SetCapture(window);
        root->OnMouseDown(flags, point, true);
        return 0;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        root->OnMouseUp(flags, point, 0);
        if (::GetCapture() == window) ::ReleaseCapture();
        return 0;
      case WM_MOUSEMOVE:
        root->OnMouseMove(flags, point);
        return 0;
      case WM_MOUSEWHEEL: {
        POINT client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(window, &client);
        root->OnMouseWheel(flags, client, GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
      }
      case WM_MOUSELEAVE:
        root->OnMouseLeave(POINT{-1, -1});
        return 0;
      case WM_CAPTURECHANGED:
        root->OnCaptureLost();
        return 0;
      case WM_KEYDOWN:
        self->keyResults.push_back(
            root->OnKeyDown(static_cast<UINT>(wParam), lParam, KxMiniUIRootView::CurrentKeyModifiers()));
        return 0;
      case WM_KEYUP:
        root->OnKeyUp(static_cast<UINT>(wParam), lParam, KxMiniUIRootView::CurrentKeyModifiers());
        return 0;
      case WM_CHAR:
        root->OnChar(static_cast<UINT>(wParam));
        return 0;
      case WM_SETFOCUS:
        root->OnWindowActivated();
        return 0;
      case WM_KILLFOCUS:
        root->OnWindowDeactivated();
        return 0;
      case WM_SYSCOMMAND:
        // Recorded only: no system move loop while the tests drive the mouse.
        self->sysCommands.push_back(wParam);
        return 0;
      case WM_NOTIFY: {
        const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
        self->notices.push_back(record->header.code);
        self->noticeIds.push_back(record->id);
        return 0;
      }
      default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
  }

  std::shared_ptr<KxMiniUIXmlDocument> document_;
  std::shared_ptr<KxMiniUIRootView> root_;
  HWND window_ = nullptr;
};

class RootViewInputTest : public CoreResourcesTest {
 protected:
  void SetUp() override {
    CoreResourcesTest::SetUp();
    g_log.clear();
  }
  void TearDown() override { InputWindow::HoldShift(false); }
  // The log since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(g_log);
    return taken;
  }
};

// --- Pressing and releasing.

TEST_F(RootViewInputTest, APressIsHeldUntilReleaseEvenOutsideTheViewAndTheWindow) {
  InputWindow window("<b><probe id=\"1\" accept=\"1\" pos=\"10,10,50,40\" /></b>", 200, 100);
  window.Mouse(WM_LBUTTONDOWN, 20, 20, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, 120, 70, MK_LBUTTON);
  window.Mouse(WM_MOUSEMOVE, -30, 300, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, -30, 300);
  EXPECT_THAT(Take(), ElementsAre("enter 1", "down 1 10,10", "drag 1 110,60", "drag 1 -40,290", "up 1 -40,290"));
  // Released: the next release reaches nobody and moves track the hover again.
  window.Mouse(WM_LBUTTONUP, 20, 20);
  window.Mouse(WM_MOUSEMOVE, 120, 70);
  EXPECT_THAT(Take(), ElementsAre("leave 1"));
}

// The same through the system's input queue: the cursor and the button as a
// user moves and presses them.
TEST_F(RootViewInputTest, ARealPressReleasedOutsideTheWindowStillReachesTheView) {
  InputWindow window("<b><probe id=\"1\" accept=\"1\" pos=\"10,10,50,40\" /></b>", 200, 100);
  ::SetForegroundWindow(window.Window());
  auto send = [](DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ::SendInput(1, &input, sizeof(input));
  };
  auto pumpFor = [](DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      PumpMessages();
    }
  };
  ::SetCursorPos(100 + 20, 100 + 20);
  pumpFor(200);
  send(MOUSEEVENTF_LEFTDOWN);
  pumpFor(200);
  ::SetCursorPos(100 + 300, 100 + 150);
  pumpFor(200);
  send(MOUSEEVENTF_LEFTUP);
  pumpFor(300);
  std::vector<std::string> presses;
  for (const std::string& line : Take()) {
    if (line.rfind("down", 0) == 0 || line.rfind("up", 0) == 0) presses.push_back(line);
  }
  EXPECT_THAT(presses, ElementsAre("down 1 10,10", "up 1 290,140"));
  EXPECT_EQ(window.Root().GetPressedView(), nullptr);
}

TEST_F(RootViewInputTest, LosingTheCaptureToAnotherWindowEndsAHeldPress) {
  InputWindow window("<b><probe id=\"1\" accept=\"1\" pos=\"0,0,50,50\" /></b>", 100, 50);
  window.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  ASSERT_EQ(window.Root().GetPressedView(), window.Probe(1));
  HWND other = ::CreateWindowExW(0, L"STATIC", L"capture taker", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  ::SetCapture(other);
  PumpMessages();
  EXPECT_EQ(window.Root().GetPressedView(), nullptr);
  ::ReleaseCapture();
  ::DestroyWindow(other);
  window.Mouse(WM_LBUTTONUP, 10, 10);
  EXPECT_THAT(Take(), ElementsAre("enter 1", "down 1 10,10")) << "the release no longer reaches the view";
}

TEST_F(RootViewInputTest, APressBubblesToTheFirstAncestorThatTakesIt) {
  InputWindow window(
      "<b><probe id=\"1\" accept=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" pos=\"10,10,90,90\"><probe id=\"3\" pos=\"10,10,30,30\" /></probe>"
      "</probe></b>",
      200, 200);
  window.Mouse(WM_LBUTTONDOWN, 25, 25, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, 25, 25);
  // The hover follows the press up to the view that takes it.
  EXPECT_THAT(Take(), ElementsAre("enter 3", "down 3 5,5", "leave 3", "enter 2", "down 2 15,15", "leave 2",
                                  "enter 1", "down 1 25,25", "up 1 25,25"));
  EXPECT_EQ(window.Root().GetAcceptedView(), window.Probe(1));
}

TEST_F(RootViewInputTest, ADisabledViewInsideAnEnabledPanelPassesTheClickToThePanel) {
  InputWindow window(
      "<b><probe id=\"1\" accept=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" accept=\"1\" enable=\"0\" pos=\"10,10,50,50\" />"
      "</probe></b>",
      200, 200);
  window.Click(20, 20);
  EXPECT_THAT(Take(), ElementsAre("enter 1", "down 1 20,20", "up 1 20,20"));
}

TEST_F(RootViewInputTest, ADoubleClickCountsOnlyOnTheViewThatTookTheFirstPress) {
  InputWindow window(
      "<b><probe id=\"1\" accept=\"1\" pos=\"0,0,50,50\" /><probe id=\"2\" accept=\"1\" pos=\"50,0,100,50\" /></b>",
      200, 100);
  window.Click(10, 10);
  window.Mouse(WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
  window.Mouse(WM_LBUTTONUP, 10, 10);
  window.Click(60, 10);
  window.Click(10, 10);
  window.Mouse(WM_LBUTTONDBLCLK, 60, 10, MK_LBUTTON);  // the first click was on view 1
  window.Mouse(WM_LBUTTONUP, 60, 10);
  std::vector<std::string> presses;
  for (const std::string& line : Take()) {
    if (line.rfind("down", 0) == 0 || line.rfind("dblclick", 0) == 0) presses.push_back(line);
  }
  EXPECT_THAT(presses, ElementsAre("down 1 10,10", "dblclick 1 10,10", "down 2 10,10", "down 1 10,10",
                                   "down 2 10,10"));
}

TEST_F(RootViewInputTest, AHandlerThatEmptiesTheTreeDuringAPressEndsTheDispatchSafely) {
  InputWindow window(
      "<b><probe id=\"1\" accept=\"1\" pos=\"0,0,100,100\"><probe id=\"2\" pos=\"0,0,50,50\" /></probe></b>", 200,
      200);
  KxMiniUIRootView& root = window.Root();
  std::unique_ptr<KxMiniUIView> detached;
  window.Probe(2)->onDown = [&root, &detached] { detached = root.RemoveChild(root.GetChildAt(0), false); };
  window.Click(10, 10);
  ASSERT_NE(detached, nullptr);
  EXPECT_THAT(Take(), ElementsAre("enter 2", "down 2 10,10"));
  EXPECT_EQ(root.GetPressedView(), nullptr);
  EXPECT_EQ(root.GetHoveredView(), nullptr);
  window.Mouse(WM_MOUSEMOVE, 20, 20);
  EXPECT_EQ(root.GetHoveredView(), &root);
}

// --- Window dragging and right clicks.

TEST_F(RootViewInputTest, APlainViewOfADefaultDragWindowMovesTheWindowOnALeftPressOnly) {
  InputWindow window(
      "<b><dlg id=\"1\" pos=\"0,0,100,100\" />"
      "<probe id=\"2\" drag=\"0\" pos=\"100,0,150,100\" />"
      "<probe id=\"3\" accept=\"1\" pos=\"150,0,200,100\" /></b>",
      200, 100, true);
  window.Mouse(WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
  window.Mouse(WM_RBUTTONUP, 10, 10);
  EXPECT_TRUE(window.sysCommands.empty()) << "a right press does not drag";
  window.Click(120, 10);  // drag switched off on the view
  window.Click(160, 10);  // the view takes the press itself
  EXPECT_TRUE(window.sysCommands.empty());
  window.Mouse(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
  EXPECT_THAT(window.sysCommands, ElementsAre(0xF012u));
  window.Mouse(WM_LBUTTONUP, 10, 10);
  EXPECT_TRUE(window.notices.empty());
}

TEST_F(RootViewInputTest, ARightReleaseOnAViewWithNotifyRbClickSendsCodeNine) {
  InputWindow window(
      "<b><probe id=\"7\" notifyrbclick=\"1\" pos=\"0,0,50,50\" />"
      "<probe id=\"8\" pos=\"50,0,100,50\" /></b>",
      100, 50, true);
  window.Mouse(WM_RBUTTONDOWN, 60, 10, MK_RBUTTON);
  window.Mouse(WM_RBUTTONUP, 60, 10);
  EXPECT_TRUE(window.notices.empty()) << "no notice without notifyrbclick";
  // Released outside the view: the view holds the press, so it still hears it.
  window.Mouse(WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
  window.Mouse(WM_RBUTTONUP, 70, 10);
  EXPECT_THAT(window.notices, ElementsAre(9u));
  EXPECT_THAT(window.noticeIds, ElementsAre(7));
  EXPECT_TRUE(window.sysCommands.empty()) << "a right press never drags, even in a defaultdrag window";
  // A left release on it is no right click.
  window.Click(10, 10);
  EXPECT_EQ(window.notices.size(), 1u);
}

// --- Hovering.

TEST_F(RootViewInputTest, EnterAndLeaveFollowTheMouseWithChildEnterExitViewsKeepingTheirHover) {
  InputWindow window(
      "<b><probe id=\"1\" childenterexit-nty=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" pos=\"10,10,60,60\"><probe id=\"3\" pos=\"10,10,30,30\" /></probe>"
      "  <probe id=\"4\" pos=\"60,60,90,90\" />"
      "</probe><probe id=\"5\" pos=\"100,0,150,100\" /></b>",
      200, 100);
  struct Step {
    int x, y;
    std::vector<std::string> expected;
  };
  const Step steps[] = {
      {5, 5, {"enter 1", "move 1 5,5"}},
      // Into a descendant of the view that wants child enter/exit: no leave for it.
      {15, 15, {"enter 2", "move 2 5,5"}},
      {25, 25, {"leave 2", "enter 3", "move 3 5,5"}},
      {70, 70, {"leave 3", "enter 4", "move 4 10,10"}},
      {5, 5, {"leave 4", "move 1 5,5"}},
      {120, 10, {"leave 1", "enter 5", "move 5 20,10"}},
      {15, 15, {"leave 5", "enter 1", "enter 2", "move 2 5,5"}},
  };
  for (const Step& step : steps) {
    window.Mouse(WM_MOUSEMOVE, step.x, step.y);
    EXPECT_EQ(Take(), step.expected) << "at " << step.x << "," << step.y;
  }
  // Leaving the window tells every hovered view.
  window.Mouse(WM_MOUSELEAVE, 0, 0);
  EXPECT_THAT(Take(), ElementsAre("leave 1", "leave 2"));
  EXPECT_EQ(window.Root().GetHoveredView(), nullptr);
}

TEST_F(RootViewInputTest, AViewTakenOutByALeaveHandlerIsNotToldTheMouseEntered) {
  InputWindow window("<b><probe id=\"1\" pos=\"0,0,50,50\" /><probe id=\"2\" pos=\"50,0,100,50\" /></b>", 100,
                     50);
  KxMiniUIRootView& root = window.Root();
  std::unique_ptr<KxMiniUIView> detached;
  window.Probe(1)->onLeave = [&root, &detached] { detached = root.RemoveChild(root.FindViewById(2), false); };
  window.Mouse(WM_MOUSEMOVE, 10, 10);
  window.Mouse(WM_MOUSEMOVE, 60, 10);
  ASSERT_NE(detached, nullptr);
  EXPECT_THAT(Take(), ElementsAre("enter 1", "move 1 10,10", "leave 1"));
  EXPECT_EQ(root.GetHoveredView(), nullptr);
}

TEST_F(RootViewInputTest, EnterExitMessagesAndTooltipsFollowTheHover) {
  InputWindow window("<b><probe id=\"6\" enterexit-msg=\"1\" pos=\"0,0,50,50\" /></b>", 100, 50);
  window.Mouse(WM_MOUSEMOVE, 10, 10);
  window.Mouse(WM_MOUSEMOVE, 80, 10);
  EXPECT_THAT(window.notices, ElementsAre(3u, 4u));
  // A view without tooltip text switches the tooltip off (empty text, no width limit).
  EXPECT_THAT(window.tooltips, ::testing::Contains("/-1"));
}

// --- Wheel.

TEST_F(RootViewInputTest, TheWheelBubblesFromTheViewUnderThePointUntilOneTakesIt) {
  InputWindow window(
      "<b><probe id=\"1\" wheel=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" pos=\"0,0,50,50\"><probe id=\"3\" pos=\"0,0,20,20\" /></probe>"
      "</probe></b>",
      100, 100);
  POINT screen{10, 10};
  ::ClientToScreen(window.Window(), &screen);
  ::PostMessageW(window.Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.x, screen.y));
  PumpMessages();
  EXPECT_THAT(Take(), ElementsAre("wheel 3 120", "wheel 2 120", "wheel 1 120"));
}

// --- Keyboard and focus.

TEST_F(RootViewInputTest, TabVisitsTheTabOrderByNumberAndWrapsShiftTabGoesBack) {
  InputWindow window(
      "<b><probe id=\"3\" tabstop=\"3\" pos=\"0,0,10,10\" />"
      "<probe id=\"1\" tabstop=\"1\" pos=\"10,0,20,10\" />"
      "<probe id=\"9\" tabstop=\"0\" focusable=\"1\" pos=\"20,0,30,10\" />"
      "<probe id=\"2\" tabstop=\"2\" pos=\"30,0,40,10\" /></b>",
      100, 50);
  KxMiniUIFocusManager& focus = *window.Root().GetFocusManager();
  std::vector<int> visited;
  for (int i = 0; i < 5; ++i) {
    window.Key(VK_TAB);
    visited.push_back(focus.GetFocusedView() ? focus.GetFocusedView()->GetId() : 0);
  }
  EXPECT_THAT(visited, ElementsAre(1, 2, 3, 1, 2));
  InputWindow::HoldShift(true);
  visited.clear();
  for (int i = 0; i < 3; ++i) {
    window.Key(VK_TAB);
    visited.push_back(focus.GetFocusedView()->GetId());
  }
  EXPECT_THAT(visited, ElementsAre(1, 3, 2));
  InputWindow::HoldShift(false);
  // Each move: the old view loses the focus first, the new one hears reason 0 (tab).
  std::vector<std::string> log;
  for (const std::string& line : Take()) {
    if (line.find("focus") != std::string::npos) log.push_back(line);
  }
  EXPECT_THAT(std::vector<std::string>(log.end() - 2, log.end()), ElementsAre("unfocus 3", "focus 2 0"));
  EXPECT_EQ(focus.GetPreviousFocusedView(), window.Probe(3));
}

TEST_F(RootViewInputTest, TabSkipsHiddenAndDisabledViewsAndIsUnhandledWithOtherModifiers) {
  InputWindow window(
      "<b><probe id=\"1\" tabstop=\"1\" /><probe id=\"2\" tabstop=\"2\" enable=\"0\" />"
      "<dlg visible=\"0\"><probe id=\"3\" tabstop=\"3\" /></dlg><probe id=\"4\" tabstop=\"4\" /></b>",
      100, 50);
  KxMiniUIFocusManager& focus = *window.Root().GetFocusManager();
  window.Key(VK_TAB);
  window.Key(VK_TAB);
  EXPECT_EQ(focus.GetFocusedView(), window.Probe(4));
  BYTE state[256];
  ::GetKeyboardState(state);
  state[VK_CONTROL] = 0x80;
  ::SetKeyboardState(state);
  window.Key(VK_TAB);  // Ctrl+Tab
  state[VK_CONTROL] = 0;
  ::SetKeyboardState(state);
  EXPECT_EQ(focus.GetFocusedView(), window.Probe(4));
  EXPECT_THAT(window.keyResults, ElementsAre(true, true, false));
}

TEST_F(RootViewInputTest, ATabOrderWithNoEligibleViewLeavesTheKeyUnhandled) {
  InputWindow window("<b><probe id=\"1\" tabstop=\"1\" enable=\"0\" /><probe id=\"2\" /></b>", 100, 50);
  window.Key(VK_TAB);
  EXPECT_THAT(window.keyResults, ElementsAre(false));
  EXPECT_EQ(window.Root().GetFocusManager()->GetFocusedView(), nullptr);
}

TEST_F(RootViewInputTest, KeysGoToTheFocusedViewThenUpItsAncestors) {
  InputWindow window(
      "<b><probe id=\"1\" keys=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" pos=\"0,0,50,50\"><probe id=\"3\" focusable=\"1\" pos=\"0,0,20,20\" /></probe>"
      "</probe></b>",
      100, 100);
  window.Probe(3)->SetFocus();
  ::SendMessageW(window.Window(), WM_KEYDOWN, 'A', 1);
  ::SendMessageW(window.Window(), WM_CHAR, 'a', 1);
  EXPECT_THAT(Take(), ElementsAre("focus 3 3", "key 3 65 0", "key 2 65 0", "key 1 65 0", "char 3 97",
                                  "char 2 97", "char 1 97"));
  EXPECT_THAT(window.keyResults, ElementsAre(true));
}

TEST_F(RootViewInputTest, APressFocusesTheNearestFocusableViewOrClearsTheFocus) {
  InputWindow window(
      "<b><probe id=\"1\" focusable=\"1\" pos=\"0,0,100,100\">"
      "  <probe id=\"2\" pos=\"0,0,50,50\" />"
      "</probe><probe id=\"3\" pos=\"100,0,150,100\" /><probe id=\"4\" focusable=\"-1\" pos=\"150,0,200,100\" /></b>",
      200, 100);
  KxMiniUIFocusManager& focus = *window.Root().GetFocusManager();
  window.Click(10, 10);
  EXPECT_EQ(focus.GetFocusedView(), window.Probe(1)) << "the focusable ancestor of the view under the press";
  window.Click(120, 10);
  EXPECT_EQ(focus.GetFocusedView(), nullptr) << "nothing focusable: the focus goes";
  window.Click(170, 10);
  EXPECT_EQ(focus.GetFocusedView(), nullptr) << "\"focusable\" is only 0 or 1";
  window.Root().SetDefaultFocus(true);
  window.Probe(3)->SetFocusable(-1);
  window.Click(120, 10);
  EXPECT_EQ(focus.GetFocusedView(), window.Probe(3)) << "-1 follows the window's \"defaultfocus\"";
  const std::vector<std::string> log = Take();
  EXPECT_THAT(std::vector<std::string>(log.end() - 1, log.end()), ElementsAre("focus 3 2"));
}

TEST_F(RootViewInputTest, DeactivationTakesTheFocusAndActivationGivesItBack) {
  InputWindow window("<b><probe id=\"1\" focusable=\"1\" pos=\"0,0,50,50\" /></b>", 100, 50);
  window.Probe(1)->SetFocus();
  ::SendMessageW(window.Window(), WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(window.Root().GetFocusManager()->GetFocusedView(), nullptr);
  ::SendMessageW(window.Window(), WM_SETFOCUS, 0, 0);
  EXPECT_EQ(window.Root().GetFocusManager()->GetFocusedView(), window.Probe(1));
  EXPECT_THAT(Take(), ElementsAre("focus 1 3", "unfocus 1", "focus 1 1"));
}

TEST_F(RootViewInputTest, AFocusMovedOnWhileLosingItIsHeardOnlyByTheViewThatEndsWithIt) {
  InputWindow window(
      "<b><probe id=\"1\" tabstop=\"1\" /><probe id=\"2\" tabstop=\"2\" />"
      "<probe id=\"3\" tabstop=\"3\" /></b>",
      100, 50);
  KxMiniUIFocusManager& focus = *window.Root().GetFocusManager();
  window.Probe(1)->SetFocus();
  window.Probe(1)->onKillFocus = [&window] { window.Probe(3)->SetFocus(); };
  window.Key(VK_TAB);  // towards 2, but 1 sends the focus to 3 as it goes
  EXPECT_EQ(focus.GetFocusedView(), window.Probe(3));
  EXPECT_EQ(focus.GetPreviousFocusedView(), window.Probe(1));
  EXPECT_THAT(Take(), ElementsAre("focus 1 3", "key 1 9 0", "unfocus 1", "focus 3 3"));
}

// --- Cursor.

TEST_F(RootViewInputTest, TheCursorIsTheOneOfTheViewUnderTheMouse) {
  InputWindow window(
      "<b><probe id=\"1\" cursor=\"hand\" pos=\"0,0,50,50\" />"
      "<probe id=\"2\" cursor=\"hand\" enable=\"0\" pos=\"50,0,100,50\" /></b>",
      100, 50);
  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  EXPECT_EQ(window.Root().CursorAt(POINT{10, 10}), hand);
  EXPECT_EQ(window.Root().CursorAt(POINT{60, 10}), arrow) << "a disabled view is not under the mouse";
  window.Mouse(WM_MOUSEMOVE, 10, 10);
  EXPECT_EQ(::GetCursor(), hand);
  window.Mouse(WM_MOUSELEAVE, 0, 0);
  EXPECT_NE(::GetCursor(), hand) << "the cursor from before the mouse came is back";
}

// --- Mouse flags.

TEST(RootViewMouseFlags, TheButtonBitsAreThoseOfTheMessagesOwnButton) {
  struct Case {
    UINT message;
    WPARAM wParam;
    UINT expected;
  };
  const Case cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MK_LBUTTON | MK_SHIFT},
      {WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON},
      {WM_RBUTTONUP, MK_CONTROL, MK_RBUTTON | MK_CONTROL},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_LBUTTON, MK_RBUTTON},
      {WM_LBUTTONUP, MK_RBUTTON, MK_LBUTTON},
      {WM_MBUTTONDBLCLK, MK_MBUTTON, MK_MBUTTON},
      {WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), MK_XBUTTON2},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MK_LBUTTON | MK_RBUTTON},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KxMiniUIRootView::MouseFlagsFor(c.message, c.wParam), c.expected) << std::hex << c.message;
  }
}

}  // namespace
