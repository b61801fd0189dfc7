// Runs blocking WinINet calls on a thread of its own so that their caller
// can stop waiting for them.
//
// Windows ends a blocked WinINet call when its session is closed. Wine does
// not: a read keeps waiting until its buffer is full (for ever on a server
// that has stopped sending), and a request made by InternetOpenUrlW takes
// no receive timeout. So under Wine neither a cancel nor a stall could end
// the call; ending the wait for it can. A call that is given up finishes on
// its own thread later, and `discard` then gets its result there.
//
// The thread is kept for the next call, and one idle thread for the next
// owner. Only a call that is given up takes its thread with it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <utility>

namespace Kx {

enum class KxCallEnd {
  kFinished,   // the call returned; its result and last error are the caller's
  kStopped,    // `stop` was signalled first (ERROR_INTERNET_OPERATION_CANCELLED)
  kTimedOut,   // `timeoutMs` passed first (ERROR_INTERNET_TIMEOUT)
  kPending,    // Await's wait passed first; the call goes on (ERROR_INTERNET_TIMEOUT)
};

class KxBoundedCall {
 public:
  using Task = std::function<void()>;

  KxBoundedCall() = default;
  // An idle thread ends at once; one still busy with a given-up call ends
  // when that call returns.
  ~KxBoundedCall();
  KxBoundedCall(const KxBoundedCall&) = delete;
  KxBoundedCall& operator=(const KxBoundedCall&) = delete;

  // Runs `call` and waits for it, for `stop` (may be null) or for
  // `timeoutMs`. `call` and `discard` must own or share everything they
  // touch: after an early return they outlive the caller's frame. When no
  // thread can be started the call runs on the caller's thread. One call at
  // a time: the owner's thread is the only caller.
  template <class R>
  KxCallEnd Run(std::function<R()> call, std::function<void(const R&)> discard, HANDLE stop, DWORD timeoutMs,
                R& result) {
    struct Outcome {
      R result{};
      DWORD error = ERROR_SUCCESS;
    };
    const auto outcome = std::make_shared<Outcome>();
    Task task = [outcome, call = std::move(call)] {
      outcome->result = call();
      outcome->error = GetLastError();
    };
    Task late;
    if (discard) late = [outcome, discard = std::move(discard)] { discard(outcome->result); };
    Start(std::move(task), std::move(late));
    const KxCallEnd end = Await(stop, timeoutMs, true);
    if (end == KxCallEnd::kFinished) {
      result = outcome->result;
      SetLastError(outcome->error);
    }
    return end;
  }

  // A call waited for in steps: Start hands `task` over, then Await waits
  // for it up to `waitMs` at a time. When that wait passes, the call is
  // given up (kTimedOut) with `giveUp`, else it goes on (kPending) and
  // Await may be called again; a stop always gives it up. The task keeps
  // its own results, and everything it touches, since it may outlive the
  // caller. Nothing else may be started while a call is pending.
  void Start(Task task, Task late);
  KxCallEnd Await(HANDLE stop, DWORD waitMs, bool giveUp);
  // A started call has not been awaited to its end.
  bool Pending() const { return started_; }

 private:
  struct Worker;

  // The kept thread: this object's, else the spare, else a new one.
  std::shared_ptr<Worker> AcquireWorker();
  // One idle thread outlives its owner for the next one (under a lock): a
  // download makes a request object per attempt, and a new thread each
  // time cost a thread start and, in the working set, a stack touched
  // afresh.
  static std::shared_ptr<Worker>& Spare();
  static DWORD WINAPI ThreadMain(void* parameter);

  std::shared_ptr<Worker> worker_;
  bool started_ = false;
};

}  // namespace Kx
