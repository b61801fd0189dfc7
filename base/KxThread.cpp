#include "base/KxThread.h"

#include <process.h>

#include <utility>

namespace Kx {

KxThread::KxThread(EntryFunction entry, void* userData)
    : userData_(userData), entry_(entry), started_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

KxThread::~KxThread() { CloseThreadHandles(); }

void KxThread::CloseThreadHandles() {
  thread_.Reset();
  finished_.Reset();
}

bool KxThread::Start() {
  CriticalSectionLock lock(lock_);
  if (entry_ == nullptr) return false;
  // The new thread's own reference; ThreadProc drops it when it ends.
  AddRef();
  const uintptr_t created = ::_beginthreadex(nullptr, 0, &KxThread::ThreadProc, this, CREATE_SUSPENDED, &threadId_);
  if (created != 0) {
    thread_.Reset(reinterpret_cast<HANDLE>(created));
    running_ = true;
    ::ResetEvent(started_.Get());
    if (::ResumeThread(thread_.Get()) != static_cast<DWORD>(-1)) return true;
    // A suspended thread that cannot be resumed never runs: end it so its
    // reference and stack go away.
    ::TerminateThread(thread_.Get(), 0);
  }
  running_ = false;
  threadId_ = 0;
  CloseThreadHandles();
  Release();
  return false;
}

unsigned __stdcall KxThread::ThreadProc(void* self) {
  KxThread* const thread = static_cast<KxThread*>(self);
  thread->Run();
  // Drops the reference Start took for this thread; may destroy the object.
  thread->Release();
  return 0;
}

void KxThread::Run() {
  {
    CriticalSectionLock lock(lock_);
    ::SetEvent(started_.Get());
    running_ = true;
  }
  entry_(userData_);
  KxThreadExitEvent* listener = nullptr;
  {
    CriticalSectionLock lock(lock_);
    finished_ = std::move(thread_);
    running_ = false;
    listener = exitListener_;
  }
  if (listener != nullptr) listener->OnThreadExit(this);
}

bool KxThread::Wait(DWORD milliseconds) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  {
    CriticalSectionLock lock(lock_);
    // Once the entry function has returned, the thread handle sits in the
    // finished field until the thread itself has ended.
    handle = thread_ ? thread_.Get() : finished_.Get();
  }
  if (!ScopedHandle::IsValidHandle(handle)) return true;
  const DWORD waited = ::WaitForSingleObject(handle, milliseconds);
  if (waited == WAIT_TIMEOUT) return false;
  if (waited != WAIT_OBJECT_0) return true;
  CriticalSectionLock lock(lock_);
  CloseThreadHandles();
  threadId_ = 0;
  running_ = false;
  return true;
}

void KxThread::SetExitListener(KxThreadExitEvent* listener) {
  CriticalSectionLock lock(lock_);
  exitListener_ = listener;
}

bool KxThread::IsRunning() {
  CriticalSectionLock lock(lock_);
  return running_;
}

}  // namespace Kx
