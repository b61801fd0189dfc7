// The UI thread's message loop and the frame window that ends it.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUIFrameWindow.h"
#include "miniui/core/KxMiniUIMessageLoop.h"
#include "tests/miniui/core/support/WindowTestSupport.h"

namespace zelk::test {
namespace {

constexpr UINT kProbeMessage = WM_APP + 17;
constexpr int kWatchdogExitCode = 99;

class CountingFrame : public KxMiniUIFrameWindow {
 public:
  CountingFrame() : KxMiniUIFrameWindow(kBasicLayout) {}

  bool PreTranslateMessage(MSG& message) override {
    if (message.message == kProbeMessage) ++probesSeen;
    return false;
  }
  // The first idle moment closes the frame: idling happens while it lives.
  bool OnIdle() override {
    if (++idleCalls == 1) ::PostMessageW(GetHwnd(), WM_CLOSE, 0, 0);
    return false;
  }

  int probesSeen = 0;
  int idleCalls = 0;
};

// Posts WM_QUIT with kWatchdogExitCode to a thread that is still looping
// after `ms`, so a loop that fails to end fails the test instead of hanging it.
class LoopWatchdog {
 public:
  explicit LoopWatchdog(DWORD ms) : thread_(::GetCurrentThreadId()), ms_(ms) {
    worker_.Reset(::CreateThread(nullptr, 0, &LoopWatchdog::Run, this, 0, nullptr));
  }
  ~LoopWatchdog() {
    ::SetEvent(stop_.Get());
    ::WaitForSingleObject(worker_.Get(), INFINITE);
  }

 private:
  static DWORD WINAPI Run(void* parameter) {
    auto* self = static_cast<LoopWatchdog*>(parameter);
    if (::WaitForSingleObject(self->stop_.Get(), self->ms_) == WAIT_TIMEOUT) {
      ::PostThreadMessageW(self->thread_, WM_QUIT, kWatchdogExitCode, 0);
    }
    return 0;
  }

  DWORD thread_;
  DWORD ms_;
  Kx::ScopedHandle stop_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  Kx::ScopedHandle worker_;
};

class FrameWindowTest : public FrameworkWindowTest {
 protected:
  void SetUp() override {
    FrameworkWindowTest::SetUp();
    ASSERT_TRUE(KxMiniUIAppModule::Instance().AddMessageLoop(&loop_));
  }
  void TearDown() override {
    KxMiniUIAppModule::Instance().RemoveMessageLoop();
    FrameworkWindowTest::TearDown();
  }

  KxMiniUIMessageLoop loop_;
};

TEST_F(FrameWindowTest, DestroyingTheFrameEndsTheLoopWhileAnotherFrameworkWindowLives) {
  CountingFrame frame;
  KxMiniUISimpleWindow other(kSecondLayout);
  ASSERT_NE(frame.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ASSERT_NE(other.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ::ShowWindow(frame.GetHwnd(), SW_SHOWNOACTIVATE);
  ::PostMessageW(frame.GetHwnd(), kProbeMessage, 0, 0);

  int exitCode = -1;
  {
    LoopWatchdog watchdog(10000);
    exitCode = loop_.Run();
  }
  EXPECT_EQ(exitCode, 0);  // the frame's quit, not the watchdog's
  EXPECT_EQ(frame.GetHwnd(), nullptr);
  EXPECT_TRUE(::IsWindow(other.GetHwnd()));
  EXPECT_TRUE(KxMiniUIAppModule::Instance().HasWindow(&other));
  // While it lived the frame was the loop's filter and idle handler.
  EXPECT_EQ(frame.probesSeen, 1);
  EXPECT_EQ(frame.idleCalls, 1);
}

TEST_F(FrameWindowTest, DestroyingAPlainWindowLeavesTheLoopRunning) {
  KxMiniUISimpleWindow plain(kSecondLayout);
  ASSERT_NE(plain.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ::PostMessageW(plain.GetHwnd(), WM_CLOSE, 0, 0);
  LoopWatchdog watchdog(500);
  EXPECT_EQ(loop_.Run(), kWatchdogExitCode);
  EXPECT_EQ(plain.GetHwnd(), nullptr);
}

// A filter that consumes a message keeps it from its window; filters are
// asked last registered first.
class Consumer : public KxMiniUIMessageFilter {
 public:
  Consumer(std::vector<int>& order, int name, bool consume) : order_(order), name_(name), consume_(consume) {}
  bool PreTranslateMessage(MSG& message) override {
    if (message.message != kProbeMessage) return false;
    order_.push_back(name_);
    return consume_;
  }

 private:
  std::vector<int>& order_;
  int name_;
  bool consume_;
};

TEST_F(FrameWindowTest, FiltersAreAskedLastFirstAndAConsumedMessageIsNotDispatched) {
  std::vector<int> order;
  Consumer first(order, 1, false), second(order, 2, true);
  loop_.AddMessageFilter(&first);
  loop_.AddMessageFilter(&second);
  CountingFrame frame;
  ASSERT_NE(frame.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  ::PostThreadMessageW(::GetCurrentThreadId(), kProbeMessage, 0, 0);
  LoopWatchdog watchdog(10000);
  EXPECT_EQ(loop_.Run(), 0);
  // The frame registered last, so it saw the message first; "second"
  // consumed it before "first" was asked.
  EXPECT_EQ(frame.probesSeen, 1);
  EXPECT_EQ(order, (std::vector<int>{2}));
  loop_.RemoveMessageFilter(&first);
  loop_.RemoveMessageFilter(&second);
}

}  // namespace
}  // namespace zelk::test
