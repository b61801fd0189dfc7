#include "download/KxBoundedCall.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "base/ScopedHandle.h"

namespace {

using Kx::KxBoundedCall;
using Kx::KxCallEnd;
using Kx::ScopedHandle;

// A manual-reset event shared with calls that may outlive the test's frame.
std::shared_ptr<ScopedHandle> NewEvent() {
  return std::make_shared<ScopedHandle>(CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// Which thread ran a call, with a last error of its own.
DWORD RunOnWorker(KxBoundedCall& calls, DWORD error) {
  DWORD thread = 0;
  SetLastError(ERROR_SUCCESS);
  const KxCallEnd end = calls.Run<DWORD>(
      [error] {
        SetLastError(error);
        return GetCurrentThreadId();
      },
      nullptr, nullptr, 10000, thread);
  EXPECT_EQ(KxCallEnd::kFinished, end);
  EXPECT_EQ(error, GetLastError());
  return thread;
}

// An idle thread outlives its owner for the next one; a thread busy with
// a call that has not ended is never handed on.
TEST(KxBoundedCallTest, TheNextOwnerTakesOverAnIdleThreadOnly) {
  DWORD idle = 0;
  {
    KxBoundedCall first;
    idle = RunOnWorker(first, ERROR_SUCCESS);
  }
  KxBoundedCall second;
  EXPECT_EQ(idle, RunOnWorker(second, ERROR_SUCCESS));

  // An owner that leaves while its call still runs keeps that thread out
  // of anyone else's hands.
  const auto release = NewEvent();
  const auto busyThread = std::make_shared<std::atomic<DWORD>>(0);
  {
    KxBoundedCall busy;
    busy.Start(
        [release, busyThread] {
          busyThread->store(GetCurrentThreadId());
          WaitForSingleObject(release->Get(), INFINITE);
        },
        nullptr);
    while (busyThread->load() == 0) Sleep(1);
  }
  KxBoundedCall third;
  EXPECT_NE(busyThread->load(), RunOnWorker(third, ERROR_SUCCESS));
  SetEvent(release->Get());
}

TEST(KxBoundedCallTest, CallsShareOneThreadUntilOneIsGivenUp) {
  KxBoundedCall calls;
  const DWORD first = RunOnWorker(calls, ERROR_FILE_NOT_FOUND);
  EXPECT_NE(GetCurrentThreadId(), first);
  EXPECT_EQ(first, RunOnWorker(calls, ERROR_ACCESS_DENIED));

  // A call that outlasts its wait takes its thread with it; its result goes
  // to `discard` once it returns.
  const auto release = NewEvent();
  const auto discarded = NewEvent();
  const auto late = std::make_shared<std::atomic<int>>(0);
  int result = 0;
  const KxCallEnd end = calls.Run<int>(
      [release] {
        WaitForSingleObject(release->Get(), INFINITE);
        return 42;
      },
      [late, discarded](const int& value) {
        late->store(value);
        SetEvent(discarded->Get());
      },
      nullptr, 100, result);
  EXPECT_EQ(KxCallEnd::kTimedOut, end);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_TIMEOUT), GetLastError());
  EXPECT_EQ(0, result);

  // The next call does not queue behind the stuck one.
  const DWORD next = RunOnWorker(calls, ERROR_INVALID_DATA);
  EXPECT_NE(first, next);
  EXPECT_EQ(next, RunOnWorker(calls, ERROR_SUCCESS));

  SetEvent(release->Get());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(discarded->Get(), 10000));
  EXPECT_EQ(42, late->load());
}

TEST(KxBoundedCallTest, AStopEndsTheWaitForABlockedCall) {
  KxBoundedCall calls;
  const auto stop = NewEvent();
  const auto release = NewEvent();
  const auto done = NewEvent();
  bool result = true;
  ASSERT_TRUE(SetEvent(stop->Get()));
  // Without the stop the wait would end only by its timeout (kTimedOut).
  EXPECT_EQ(KxCallEnd::kStopped, calls.Run<bool>(
                                     [release, done] {
                                       WaitForSingleObject(release->Get(), INFINITE);
                                       SetEvent(done->Get());
                                       return false;
                                     },
                                     nullptr, stop->Get(), 60000, result));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_OPERATION_CANCELLED), GetLastError());
  EXPECT_TRUE(result);
  // The given-up call still runs to its end on its own thread.
  SetEvent(release->Get());
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done->Get(), 10000));
  // And the object goes on with a new thread.
  int value = 0;
  EXPECT_EQ(KxCallEnd::kFinished, calls.Run<int>([] { return 7; }, nullptr, nullptr, 10000, value));
  EXPECT_EQ(7, value);
}

// A call awaited in steps: a wait that passes leaves it running, and a
// later wait takes its end; a stop gives it up.
TEST(KxBoundedCallTest, APendingCallIsAwaitedAgain) {
  KxBoundedCall calls;
  const auto release = NewEvent();
  const auto value = std::make_shared<std::atomic<int>>(0);
  calls.Start(
      [release, value] {
        WaitForSingleObject(release->Get(), INFINITE);
        value->store(5);
      },
      nullptr);
  EXPECT_TRUE(calls.Pending());
  EXPECT_EQ(KxCallEnd::kPending, calls.Await(nullptr, 100, false));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_TIMEOUT), GetLastError());
  EXPECT_TRUE(calls.Pending());
  SetEvent(release->Get());
  EXPECT_EQ(KxCallEnd::kFinished, calls.Await(nullptr, 10000, false));
  EXPECT_FALSE(calls.Pending());
  EXPECT_EQ(5, value->load());

  const auto stop = NewEvent();
  const auto never = NewEvent();
  calls.Start([never] { WaitForSingleObject(never->Get(), 10000); }, nullptr);
  EXPECT_EQ(KxCallEnd::kPending, calls.Await(stop->Get(), 50, false));
  SetEvent(stop->Get());
  EXPECT_EQ(KxCallEnd::kStopped, calls.Await(stop->Get(), 10000, false));
  EXPECT_FALSE(calls.Pending());
  SetEvent(never->Get());
}

}  // namespace
