// Critical section owner and its scoped lock. Pools, the resource loader and
// skins each keep one so a worker thread may read them while the UI thread
// draws.
#pragma once

#include <windows.h>

class KxMiniUICriticalSection {
 public:
  KxMiniUICriticalSection() noexcept { ::InitializeCriticalSection(&section_); }
  ~KxMiniUICriticalSection() { ::DeleteCriticalSection(&section_); }
  KxMiniUICriticalSection(const KxMiniUICriticalSection&) = delete;
  KxMiniUICriticalSection& operator=(const KxMiniUICriticalSection&) = delete;

  void Enter() noexcept { ::EnterCriticalSection(&section_); }
  void Leave() noexcept { ::LeaveCriticalSection(&section_); }
  // For SleepConditionVariableCS, which leaves and re-enters it.
  CRITICAL_SECTION* Native() noexcept { return &section_; }

 private:
  CRITICAL_SECTION section_;
};

class KxMiniUIAutoLock {
 public:
  explicit KxMiniUIAutoLock(KxMiniUICriticalSection& section) noexcept : section_(section) {
    section_.Enter();
  }
  ~KxMiniUIAutoLock() { section_.Leave(); }
  KxMiniUIAutoLock(const KxMiniUIAutoLock&) = delete;
  KxMiniUIAutoLock& operator=(const KxMiniUIAutoLock&) = delete;

 private:
  KxMiniUICriticalSection& section_;
};
