// Runs one blocking WinINet call on a thread of its own so that its caller
// can stop waiting for it.
//
// Windows ends a blocked WinINet call when its session is closed. Wine does
// not: a read keeps waiting until its buffer is full (for ever on a server
// that has stopped sending), and a request made by InternetOpenUrlW takes
// no receive timeout. So under Wine neither a cancel nor a stall could end
// the call; ending the wait for it can. A call that is given up finishes on
// its own thread later, and `discard` then gets its result there.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

#include "base/ScopedHandle.h"

namespace Kx {

enum class KxCallEnd {
  kFinished,   // the call returned; its result and last error are the caller's
  kStopped,    // `stop` was signalled first (ERROR_INTERNET_OPERATION_CANCELLED)
  kTimedOut,   // `timeoutMs` passed first (ERROR_INTERNET_TIMEOUT)
};

template <class R>
class KxBoundedCall {
 public:
  using Call = std::function<R()>;
  using Discard = std::function<void(const R&)>;

  // Runs `call` and waits for it, for `stop` (may be null) or for
  // `timeoutMs`. `call` and `discard` must own or share everything they
  // touch: after an early return they outlive the caller's frame. When no
  // thread can be started the call runs on the caller's thread.
  static KxCallEnd Run(Call call, Discard discard, HANDLE stop, DWORD timeoutMs, R& result) {
    auto state = std::make_shared<State>(std::move(call), std::move(discard));
    auto parameter = std::make_unique<std::shared_ptr<State>>(state);
    const ScopedHandle thread(state->done ? CreateThread(nullptr, 0, &ThreadMain, parameter.get(), 0, nullptr)
                                          : nullptr);
    if (!thread) {
      result = state->call();
      return KxCallEnd::kFinished;
    }
    parameter.release();  // the thread owns it now

    const HANDLE waits[] = {state->done.Get(), stop};
    const DWORD count = stop != nullptr ? 2 : 1;
    const DWORD wait = WaitForMultipleObjects(count, waits, FALSE, timeoutMs);
    if (wait != WAIT_OBJECT_0) {
      int running = kRunning;
      if (state->phase.compare_exchange_strong(running, kGivenUp)) {
        const bool stopped = wait == WAIT_OBJECT_0 + 1;
        SetLastError(stopped ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_TIMEOUT);
        return stopped ? KxCallEnd::kStopped : KxCallEnd::kTimedOut;
      }
      // The call finished in the meantime; its thread is about to say so.
      WaitForSingleObject(state->done.Get(), INFINITE);
    }
    result = state->result;
    SetLastError(state->error);
    return KxCallEnd::kFinished;
  }

 private:
  enum : int { kRunning, kFinished, kGivenUp };

  struct State {
    State(Call c, Discard d)
        : call(std::move(c)), discard(std::move(d)), done(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    Call call;
    Discard discard;
    R result{};
    DWORD error = ERROR_SUCCESS;
    ScopedHandle done;
    std::atomic<int> phase{kRunning};
  };

  static DWORD WINAPI ThreadMain(void* parameter) {
    const std::unique_ptr<std::shared_ptr<State>> owner(static_cast<std::shared_ptr<State>*>(parameter));
    State& state = **owner;
    state.result = state.call();
    state.error = GetLastError();
    int running = kRunning;
    if (state.phase.compare_exchange_strong(running, kFinished)) {
      SetEvent(state.done.Get());
    } else if (state.discard) {
      state.discard(state.result);
    }
    return 0;
  }
};

}  // namespace Kx
