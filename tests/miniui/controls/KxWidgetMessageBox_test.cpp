// The skinned message box run modally from test layouts: what each way out
// answers, the links opening a stand-in browser while the box stays open,
// and start-up showing the hidden views, keeping the box off the taskbar
// and giving it the program icon.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "miniui/controls/KxWidgetMessageBox.h"
#include "tests/base/ScopedRegistryValue.h"
#include "tests/miniui/controls/support/ControlWindow.h"
#include "tests/miniui/core/support/ViewPoint.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

constexpr UINT kFullBox = 150;  // ids 64, 66, 68 hidden; 101, 4, 8, 102, 103
constexpr UINT kBareBox = 151;  // only 102

// Steps run one per timer tick inside the box's modal loop; a step answers
// false to be tried again at the next tick. A script still running after
// about 15 seconds closes the box and reports that it timed out, so a box
// that ignores its input fails the test instead of hanging it.
class ModalScript {
 public:
  using Step = std::function<bool(HWND box)>;

  ModalScript(KxWidgetMessageBox& box, std::vector<Step> steps) : box_(box), steps_(std::move(steps)) {
    current_ = this;
    timer_ = ::SetTimer(nullptr, 0, 120, &ModalScript::Tick);
  }
  ~ModalScript() {
    ::KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;

  bool Finished() const { return next_ == steps_.size() && !timedOut_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalScript* self = current_;
    if (self == nullptr || self->timedOut_) return;
    const HWND box = self->box_.GetHwnd();
    if (box == nullptr) return;
    if (++self->ticks_ > kMaxTicks) {
      self->timedOut_ = true;
      ::PostMessageW(box, WM_CLOSE, 0, 0);
      return;
    }
    if (self->next_ < self->steps_.size() && self->steps_[self->next_](box)) ++self->next_;
  }

  static constexpr int kMaxTicks = 125;
  static ModalScript* current_;
  KxWidgetMessageBox& box_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int ticks_ = 0;
  bool timedOut_ = false;
  UINT_PTR timer_ = 0;
};
ModalScript* ModalScript::current_ = nullptr;

void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof(input));
}

// Three steps: put the cursor on view `id`, press, release.
std::vector<ModalScript::Step> ClickOn(KxWidgetMessageBox& box, int id) {
  return {[&box, id](HWND window) {
            KxMiniUIView* view = box.GetRootView()->FindViewById(id);
            if (view == nullptr) return true;
            const POINT point = ViewCentreOnScreen(*view, window);
            ::SetForegroundWindow(window);
            ::SetCursorPos(point.x, point.y);
            return true;
          },
          [](HWND) {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            return true;
          },
          [](HWND) {
            SendMouse(MOUSEEVENTF_LEFTUP);
            return true;
          }};
}

std::vector<ModalScript::Step> Join(std::vector<std::vector<ModalScript::Step>> parts) {
  std::vector<ModalScript::Step> all;
  for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class MessageBoxTest : public FrameworkWindowTest {};

TEST_F(MessageBoxTest, EachWayOutAnswersItsCode) {
  const struct {
    const char* way;
    std::function<std::vector<ModalScript::Step>(KxWidgetMessageBox&)> steps;
    INT_PTR result;
  } cases[] = {
      {"OK 102", [](KxWidgetMessageBox& box) { return ClickOn(box, 102); }, 1},
      {"cancel 103", [](KxWidgetMessageBox& box) { return ClickOn(box, 103); }, 2},
      {"close 101", [](KxWidgetMessageBox& box) { return ClickOn(box, 101); }, 2},
      {"Alt+F4",
       [](KxWidgetMessageBox&) {
         return std::vector<ModalScript::Step>{[](HWND window) {
           ::SetForegroundWindow(window);
           INPUT keys[4] = {};
           const WORD codes[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
           for (int i = 0; i < 4; ++i) {
             keys[i].type = INPUT_KEYBOARD;
             keys[i].ki.wVk = codes[i];
             keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
           }
           ::SendInput(4, keys, sizeof(INPUT));
           return true;
         }};
       },
       2},
      {"WM_CLOSE",
       [](KxWidgetMessageBox&) {
         return std::vector<ModalScript::Step>{[](HWND window) {
           ::PostMessageW(window, WM_CLOSE, 0, 0);
           return true;
         }};
       },
       2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.way);
    KxWidgetMessageBox box(kFullBox);
    ModalScript script(box, c.steps(box));
    EXPECT_EQ(box.DoModal(nullptr), c.result);
    EXPECT_TRUE(script.Finished());
  }
}

TEST_F(MessageBoxTest, StartUpShowsTheHiddenViewsAndKeepsTheBoxOffTheTaskbar) {
  for (const UINT layout : {kFullBox, kBareBox}) {
    SCOPED_TRACE(layout);
    KxWidgetMessageBox box(layout);
    std::vector<int> visible;
    LONG_PTR exStyle = 0;
    LRESULT bigIcon = 0;
    std::vector<ModalScript::Step> steps = {[&](HWND window) {
      for (int id : {64, 66, 68}) {
        KxMiniUIView* view = box.GetRootView()->FindViewById(id);
        if (view != nullptr && view->IsVisible()) visible.push_back(id);
      }
      exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
      bigIcon = ::SendMessageW(window, WM_GETICON, ICON_BIG, 0);
      return true;
    }};
    for (auto& step : ClickOn(box, 102)) steps.push_back(step);
    ModalScript script(box, steps);
    EXPECT_EQ(box.DoModal(nullptr), KxWidgetMessageBox::kResultOk);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(visible, layout == kFullBox ? (std::vector<int>{64, 66, 68}) : std::vector<int>{});
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(bigIcon, reinterpret_cast<LRESULT>(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1001))));
    EXPECT_NE(bigIcon, 0);
  }
}

// A link opens the help page in the browser and the box stays open; the
// second link opens it again.
TEST_F(MessageBoxTest, LinksOpenTheBrowserAndLeaveTheBoxOpen) {
  ScopedTempDir dir;
  const std::wstring folder = dir.Join(L"Browser");
  ::CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring browser = folder + L"\\BrenvikChrome.exe";
  ASSERT_TRUE(::CopyFileW((BinDir() + L"\\base_recorder.exe").c_str(), browser.c_str(), FALSE));
  ScopedRegistryValue installed(HKEY_LOCAL_MACHINE, L"SOFTWARE\\BrenvikChrome", L"Path");
  ASSERT_TRUE(installed.SetText(folder));
  const std::wstring record = browser + L".args";

  KxWidgetMessageBox box(kFullBox);
  std::vector<std::wstring> opened;
  std::vector<bool> stillOpen;
  // Waits for the stand-in's record of its command line, then takes it away.
  auto waitForBrowser = [&](HWND window) {
    std::string bytes;
    if (!ReadFileBytes(record, bytes)) return false;
    opened.push_back(Utf8ToWide(bytes));
    ::DeleteFileW(record.c_str());
    stillOpen.push_back(::IsWindowVisible(window) != FALSE);
    return true;
  };
  ModalScript script(box, Join({ClickOn(box, 4), {waitForBrowser}, ClickOn(box, 8), {waitForBrowser},
                                ClickOn(box, 102)}));
  EXPECT_EQ(box.DoModal(nullptr), KxWidgetMessageBox::kResultOk);
  EXPECT_TRUE(script.Finished());
  ASSERT_EQ(opened.size(), 2u);
  for (const std::wstring& line : opened) {
    EXPECT_NE(line.find(L"help.htm#newboy_4"), std::wstring::npos) << WideToUtf8(line);
  }
  EXPECT_EQ(stillOpen, (std::vector<bool>{true, true}));
}

}  // namespace
}  // namespace zelk::test
