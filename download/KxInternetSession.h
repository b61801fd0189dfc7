// A WinINet session (InternetOpenW with no agent, preconfigured proxy).
// Held by shared pointer: a download keeps its live sessions in a list from
// which a cancelling thread closes them.
#pragma once

#include "download/KxInternetHandle.h"

namespace Kx {

class KxInternetSession : public KxInternetHandle {
 public:
  // Longest wait for the next byte of an answer before a read fails with
  // ERROR_INTERNET_TIMEOUT; set on each request made in the session.
  static constexpr DWORD kDefaultReceiveTimeoutMs = 30000;

  // False (GetLastError tells why) when WinINet is missing or refuses.
  bool Open();

  DWORD ReceiveTimeoutMs() const { return receiveTimeoutMs_; }
  void SetReceiveTimeoutMs(DWORD milliseconds) { receiveTimeoutMs_ = milliseconds; }

 private:
  DWORD receiveTimeoutMs_ = kDefaultReceiveTimeoutMs;
};

}  // namespace Kx
