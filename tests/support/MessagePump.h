// Pumping this thread's messages while a test waits, so that windows of
// this thread (and their timers) stay alive.
#pragma once

#include <windows.h>

namespace zelk::test {

inline void PumpMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

inline void PumpFor(DWORD ms) {
  const DWORD start = ::GetTickCount();
  do {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpMessages();
  } while (::GetTickCount() - start < ms);
}

// Pumps until `done` answers true (true) or `timeoutMs` passes (false).
template <typename Fn>
bool PumpUntil(Fn&& done, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

}  // namespace zelk::test
