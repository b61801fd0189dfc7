// The named mutex that keeps a second copy of the installer from running.
#pragma once

#include <windows.h>

#include "base/ScopedHandle.h"

class SingleInstanceLock {
 public:
  // Creates (not owns) the installer's named mutex.
  SingleInstanceLock();
  SingleInstanceLock(const SingleInstanceLock&) = delete;
  SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

  // True only when the mutex was opened and already existed. A failed
  // creation is not taken as a running copy.
  bool AnotherCopyRunning() const { return alreadyExisted_; }

  static const wchar_t kMutexName[];

 private:
  Kx::ScopedHandle mutex_;
  bool alreadyExisted_ = false;
};
