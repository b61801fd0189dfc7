// The framework's timer service: one worker thread ticking every 5 ms on a
// waitable timer posts message 0x7F00 (word parameter = timer id) to a
// window whenever one of its registered timers is due. Windows get steadier
// timers from it than from WM_TIMER, whose period the system rounds up.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUITimerService {
 public:
  static constexpr UINT kTimerMessage = 0x7F00;
  static constexpr LONG kTickMs = 5;

  // The process's service; Start is idempotent, Stop waits for the thread.
  static bool Start();
  static void Stop();
  static bool IsRunning();

  // (Re)arms timer `id` of `window`; the first firing is one interval away.
  static bool Register(HWND window, UINT_PTR id, UINT intervalMs);
  static void Unregister(HWND window, UINT_PTR id);
  static void UnregisterWindow(HWND window);
  static bool IsRegistered(HWND window, UINT_PTR id);

 private:
  struct Entry {
    HWND window;
    UINT_PTR id;
    int64_t intervalUs;
    int64_t lastUs;
  };

  KxMiniUITimerService() = default;
  ~KxMiniUITimerService();
  static KxMiniUITimerService& Self();
  static DWORD WINAPI ThreadProc(void* parameter);
  static int64_t NowUs();

  void Tick();
  void Run();
  void StopThread();

  KxMiniUICriticalSection lock_;
  std::vector<Entry> entries_;
  Kx::ScopedHandle thread_;
  Kx::ScopedHandle stop_;
};
