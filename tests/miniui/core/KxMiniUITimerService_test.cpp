// Window and view timers of framework windows, fired by the timer service.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISimpleWindow.h"
#include "tests/miniui/core/support/WindowTestSupport.h"

namespace zelk::test {
namespace {

double NowMs() {
  LARGE_INTEGER frequency{}, counter{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Records how each timer reached it: the window hook with its time, and the
// raw message (the service's 0x7F00 or the system's WM_TIMER).
class TimerWindow : public KxMiniUISimpleWindow {
 public:
  TimerWindow() : KxMiniUISimpleWindow(kSecondLayout) {}

  bool OnTimer(UINT_PTR id) override {
    fired.push_back(id);
    times.push_back(NowMs());
    return true;
  }

  std::vector<UINT_PTR> fired;
  std::vector<double> times;
  std::vector<UINT> messages;

 protected:
  bool ProcessWindowMessage(HWND, UINT message, WPARAM, LPARAM, LRESULT&) override {
    if (message == WM_TIMER || message == KxMiniUITimerService::kTimerMessage) messages.push_back(message);
    return false;
  }
};

class TimerTest : public FrameworkWindowTest {
 protected:
  void SetUp() override {
    FrameworkWindowTest::SetUp();
    ASSERT_NE(window_.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  }

  TimerWindow window_;
};

TEST_F(TimerTest, AWindowTimerFiresThroughTheServiceAtItsIntervalOverManyTicks) {
  const struct {
    UINT interval;
    size_t ticks;
  } cases[] = {{20, 40}, {50, 16}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interval);
    window_.fired.clear();
    window_.times.clear();
    window_.messages.clear();
    ASSERT_TRUE(window_.SetTimer(7, c.interval));
    EXPECT_TRUE(KxMiniUITimerService::IsRegistered(window_.GetHwnd(), 7));
    ASSERT_TRUE(PumpUntil([&] { return window_.fired.size() >= c.ticks; }, c.interval * c.ticks * 3));
    window_.KillTimer(7);
    // The mean period over many ticks: the service schedules each firing
    // from the previous due time, so rounding to its 5 ms tick does not add up.
    const double mean = (window_.times.back() - window_.times.front()) / static_cast<double>(window_.times.size() - 1);
    EXPECT_NEAR(mean, c.interval, c.interval * 0.15);
    for (UINT message : window_.messages) EXPECT_EQ(message, KxMiniUITimerService::kTimerMessage);
    for (UINT_PTR id : window_.fired) EXPECT_EQ(id, 7u);
  }
}

TEST_F(TimerTest, AKilledTimerStopsFiring) {
  ASSERT_TRUE(window_.SetTimer(3, 10));
  ASSERT_TRUE(PumpUntil([&] { return !window_.fired.empty(); }, 2000));
  window_.KillTimer(3);
  EXPECT_FALSE(KxMiniUITimerService::IsRegistered(window_.GetHwnd(), 3));
  EXPECT_FALSE(window_.HasTimer(3));
  PumpFor(30);  // what was already posted arrives and is dropped
  const size_t count = window_.fired.size();
  PumpFor(100);
  EXPECT_EQ(window_.fired.size(), count);
}

TEST_F(TimerTest, WithoutTheServiceAWindowTimerIsASystemTimer) {
  KxMiniUITimerService::Stop();
  ASSERT_TRUE(window_.SetTimer(4, 10));
  ASSERT_TRUE(PumpUntil([&] { return window_.fired.size() >= 2; }, 2000));
  window_.KillTimer(4);
  ASSERT_FALSE(window_.messages.empty());
  EXPECT_EQ(window_.messages.front(), static_cast<UINT>(WM_TIMER));
}

TEST_F(TimerTest, AViewTimerReachesItsViewWithItsSlot) {
  auto* box = dynamic_cast<TestBoxView*>(window_.GetRootView()->FindViewById(31));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->SetTimer(5, 10));
  const UINT_PTR id = box->TimerIdOf(5);
  EXPECT_NE(id & 0x80000000u, 0u);
  EXPECT_TRUE(KxMiniUITimerService::IsRegistered(window_.GetHwnd(), id));
  ASSERT_TRUE(PumpUntil([&] { return box->timerSlots.size() >= 3; }, 2000));
  for (int slot : box->timerSlots) EXPECT_EQ(slot, 5);
  EXPECT_TRUE(window_.fired.empty());  // not the window's own
  box->KillTimer(5);
  EXPECT_FALSE(KxMiniUITimerService::IsRegistered(window_.GetHwnd(), id));
}

// A firing can outlive its view (it was already on its way when the view
// went): the window kills the timer at that firing.
TEST_F(TimerTest, AViewTimerWhoseViewIsGoneIsKilledAtItsNextFiring) {
  KxMiniUIRootView& root = *window_.GetRootView();
  auto* box = dynamic_cast<TestBoxView*>(root.FindViewById(31));
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->SetTimer(2, 10));
  const UINT_PTR id = box->TimerIdOf(2);
  box->GetParent()->RemoveChild(box, true);
  ASSERT_TRUE(window_.SetHostTimer(id, 10));  // the firing that outlived the view
  ASSERT_TRUE(KxMiniUITimerService::IsRegistered(window_.GetHwnd(), id));

  EXPECT_TRUE(PumpUntil([&] { return !KxMiniUITimerService::IsRegistered(window_.GetHwnd(), id); }, 2000));
  EXPECT_FALSE(window_.HasTimer(id));
}

TEST_F(TimerTest, AWindowTimerIdTheWindowNeverSetIsKilled) {
  const HWND handle = window_.GetHwnd();
  ASSERT_TRUE(KxMiniUITimerService::Register(handle, 42, 10));  // set behind the window's back
  EXPECT_TRUE(PumpUntil([&] { return !KxMiniUITimerService::IsRegistered(handle, 42); }, 2000));
  EXPECT_TRUE(window_.fired.empty());
}

TEST_F(TimerTest, DestroyingTheWindowRemovesItsTimersFromTheService) {
  ASSERT_TRUE(window_.SetTimer(8, 10));
  const HWND handle = window_.GetHwnd();
  ::DestroyWindow(handle);
  EXPECT_FALSE(KxMiniUITimerService::IsRegistered(handle, 8));
}

}  // namespace
}  // namespace zelk::test
