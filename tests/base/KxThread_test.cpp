#include "base/KxThread.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

class CountingExitListener : public Kx::KxThreadExitEvent {
 public:
  void OnThreadExit(Kx::KxThread* thread) override {
    calls.fetch_add(1);
    lastThread = thread;
    // The thread object is told after its entry function has returned.
    wasRunning = thread->IsRunning();
  }
  std::atomic<int> calls{0};
  Kx::KxThread* lastThread = nullptr;
  bool wasRunning = true;
};

void ReturnAtOnce(void* data) { static_cast<std::atomic<int>*>(data)->fetch_add(1); }

void WaitForEvent(void* data) { WaitForSingleObject(static_cast<HANDLE>(data), INFINITE); }

TEST(KxThreadTest, EntryThatReturnsAtOnceSignalsStartAndExitOnce) {
  for (int run = 0; run < 20; ++run) {
    std::atomic<int> entered{0};
    CountingExitListener listener;
    const Kx::KxRefPtr<Kx::KxThread> thread(new Kx::KxThread(&ReturnAtOnce, &entered));
    thread->SetExitListener(&listener);
    ASSERT_TRUE(thread->Start());
    ASSERT_TRUE(thread->Wait(30000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->StartedEvent(), 0));
    EXPECT_EQ(1, entered.load());
    EXPECT_EQ(1, listener.calls.load());
    EXPECT_EQ(thread.Get(), listener.lastThread);
    EXPECT_FALSE(listener.wasRunning);
    EXPECT_FALSE(thread->IsRunning());
    // Waiting again on an ended thread has nothing left to wait for.
    EXPECT_TRUE(thread->Wait(0));
  }
}

TEST(KxThreadTest, WaitTimesOutOnRunningThreadAndSucceedsAfterItEnds) {
  const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(nullptr, release);
  const Kx::KxRefPtr<Kx::KxThread> thread(new Kx::KxThread(&WaitForEvent, release));
  ASSERT_TRUE(thread->Start());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread->StartedEvent(), 30000));
  EXPECT_TRUE(thread->IsRunning());
  EXPECT_FALSE(thread->Wait(50));
  EXPECT_TRUE(thread->IsRunning());
  SetEvent(release);
  EXPECT_TRUE(thread->Wait(30000));
  EXPECT_FALSE(thread->IsRunning());
  CloseHandle(release);
}

TEST(KxThreadTest, ThreadKeepsItsObjectAliveAfterTheOwnerLetsGo) {
  const HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(nullptr, release);
  CountingExitListener listener;
  Kx::KxThread* raw = nullptr;
  {
    const Kx::KxRefPtr<Kx::KxThread> thread(new Kx::KxThread(&WaitForEvent, release));
    thread->SetExitListener(&listener);
    ASSERT_TRUE(thread->Start());
    raw = thread.Get();
    EXPECT_EQ(2, raw->GetRefCount());  // the owner's and the running thread's
  }
  SetEvent(release);
  for (int i = 0; i < 3000 && listener.calls.load() == 0; ++i) Sleep(10);
  EXPECT_EQ(1, listener.calls.load());
  EXPECT_EQ(raw, listener.lastThread);
  CloseHandle(release);
}

TEST(KxThreadTest, NoEntryFunctionNeverStarts) {
  const Kx::KxRefPtr<Kx::KxThread> thread(new Kx::KxThread(nullptr, nullptr));
  EXPECT_FALSE(thread->Start());
  EXPECT_TRUE(thread->Wait(0));
  EXPECT_EQ(1, thread->GetRefCount());
}

}  // namespace
