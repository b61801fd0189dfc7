// A worker thread with a start and an exit notification. The thread object
// is reference counted: the running thread holds its own reference, so the
// owner may drop its reference while the thread still works.
#pragma once

#include "base/KxRefCounted.h"

#include <string>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"

namespace Kx {

class KxThread;

// Told on the worker thread, after the entry function has returned.
class KxThreadExitEvent {
 public:
  virtual void OnThreadExit(KxThread* thread) = 0;
  virtual ~KxThreadExitEvent() = default;
};

class KxThread : public KxRefCountImpl1<IRefCount> {
 public:
  using EntryFunction = void (*)(void* userData);

  KxThread(EntryFunction entry, void* userData);
  ~KxThread() override;

  // Creates the thread and lets it run; false when it could not be created
  // or resumed, or when there is no entry function.
  bool Start();

  // True when the thread has ended (its handles are then closed), when it
  // never ran, or when waiting failed; false when `milliseconds` passed first.
  bool Wait(DWORD milliseconds);

  // The listener is not owned; it must outlive the thread's run.
  void SetExitListener(KxThreadExitEvent* listener);

  bool IsRunning();
  // Signalled once the thread has begun to run (manual reset).
  HANDLE StartedEvent() const { return started_.Get(); }

 private:
  static unsigned __stdcall ThreadProc(void* self);
  void Run();
  void CloseThreadHandles();

  CriticalSection lock_;
  void* userData_;
  EntryFunction entry_;
  bool running_ = false;
  unsigned threadId_ = 0;
  ScopedHandle thread_;
  ScopedHandle finished_;
  KxThreadExitEvent* exitListener_ = nullptr;
  ScopedHandle started_;
  std::wstring name_;
};

}  // namespace Kx
