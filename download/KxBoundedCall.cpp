#include "download/KxBoundedCall.h"

#include <atomic>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"

namespace Kx {
namespace {

// The thread runs WinINet calls only (a TLS handshake at most): a quarter
// of the default stack keeps what a download adds to the working set small.
constexpr SIZE_T kStackReserve = 256 * 1024;

}  // namespace

// Shared by the owner and the thread; the thread keeps it alive after the
// owner has given it up.
struct KxBoundedCall::Worker {
  enum : int { kIdle, kRunning, kGivenUp, kLeaving };

  // Auto-reset: a task is waiting (or the owner has left).
  ScopedHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  // Auto-reset: the task has returned and the owner may take its outcome.
  ScopedHandle done{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  Task task;
  Task late;
  std::atomic<int> phase{kIdle};

  bool Usable() const { return wake.IsValid() && done.IsValid(); }
};

namespace {
CriticalSection g_spareLock;
}  // namespace

std::shared_ptr<KxBoundedCall::Worker>& KxBoundedCall::Spare() {
  static std::shared_ptr<Worker> spare;
  return spare;
}

KxBoundedCall::~KxBoundedCall() {
  if (!worker_) return;
  if (!started_) {
    CriticalSectionLock lock(g_spareLock);
    if (!Spare()) {
      Spare() = std::move(worker_);
      return;
    }
  }
  worker_->phase.store(Worker::kLeaving);
  SetEvent(worker_->wake.Get());
}

std::shared_ptr<KxBoundedCall::Worker> KxBoundedCall::AcquireWorker() {
  if (worker_) return worker_;
  {
    CriticalSectionLock lock(g_spareLock);
    worker_ = std::move(Spare());
  }
  if (worker_) return worker_;
  auto worker = std::make_shared<Worker>();
  if (!worker->Usable()) return nullptr;
  auto parameter = std::make_unique<std::shared_ptr<Worker>>(worker);
  // Nobody joins the thread: it ends by itself when the owner leaves or
  // gives up its call.
  const ScopedHandle thread(
      CreateThread(nullptr, kStackReserve, &ThreadMain, parameter.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
  if (!thread) return nullptr;
  parameter.release();  // the thread owns it now
  worker_ = worker;
  return worker_;
}

void KxBoundedCall::Start(Task task, Task late) {
  const std::shared_ptr<Worker> worker = AcquireWorker();
  if (!worker) {
    task();  // no thread to be had: Await finds it done
    return;
  }
  worker->task = std::move(task);
  worker->late = std::move(late);
  worker->phase.store(Worker::kRunning);
  started_ = true;
  SetEvent(worker->wake.Get());
}

KxCallEnd KxBoundedCall::Await(HANDLE stop, DWORD waitMs, bool giveUp) {
  if (!started_) return KxCallEnd::kFinished;
  const std::shared_ptr<Worker> worker = worker_;
  const HANDLE waits[] = {worker->done.Get(), stop};
  const DWORD count = stop != nullptr ? 2 : 1;
  const DWORD wait = WaitForMultipleObjects(count, waits, FALSE, waitMs);
  if (wait == WAIT_TIMEOUT && !giveUp) {
    SetLastError(ERROR_INTERNET_TIMEOUT);
    return KxCallEnd::kPending;
  }
  started_ = false;
  if (wait != WAIT_OBJECT_0) {
    int running = Worker::kRunning;
    if (worker->phase.compare_exchange_strong(running, Worker::kGivenUp)) {
      // The thread leaves with the call; the next call gets a new one.
      worker_.reset();
      const bool stopped = wait == WAIT_OBJECT_0 + 1;
      SetLastError(stopped ? ERROR_INTERNET_OPERATION_CANCELLED : ERROR_INTERNET_TIMEOUT);
      return stopped ? KxCallEnd::kStopped : KxCallEnd::kTimedOut;
    }
    // The call finished in the meantime; its thread is about to say so.
    WaitForSingleObject(worker->done.Get(), INFINITE);
  }
  return KxCallEnd::kFinished;
}

DWORD WINAPI KxBoundedCall::ThreadMain(void* parameter) {
  const std::unique_ptr<std::shared_ptr<Worker>> owner(static_cast<std::shared_ptr<Worker>*>(parameter));
  Worker& worker = **owner;
  for (;;) {
    WaitForSingleObject(worker.wake.Get(), INFINITE);
    if (worker.phase.load() == Worker::kLeaving) return 0;
    worker.task();
    // What the call captured (buffers, handles' owners) is let go now, not
    // when the next call replaces it.
    worker.task = nullptr;
    int running = Worker::kRunning;
    if (worker.phase.compare_exchange_strong(running, Worker::kIdle)) {
      worker.late = nullptr;
      SetEvent(worker.done.Get());
      continue;
    }
    // Given up: nobody waits for this thread any more.
    if (worker.late) worker.late();
    return 0;
  }
}

}  // namespace Kx
