// A WinINet session (InternetOpenW with no agent, preconfigured proxy).
// Held by shared pointer: a download keeps its live sessions in a list from
// which a cancelling thread closes them. Closing also signals an event that
// requests opened in the session wait on, so a cancel ends their blocking
// calls even where closing the handle alone does not (Wine).
#pragma once

#include <memory>

#include "base/ScopedHandle.h"
#include "download/KxInternetHandle.h"

namespace Kx {

class KxInternetSession : public KxInternetHandle {
 public:
  // Set as each request's WinINet receive timeout: how long one read waits
  // for data before WinINet fails it with ERROR_INTERNET_TIMEOUT (Windows
  // applies it; Wine does not to requests made by InternetOpenUrlW).
  static constexpr DWORD kDefaultReceiveTimeoutMs = 30000;
  // Longest a request of the session waits in one blocking call (an open
  // or a read) before it gives the call up, closes itself and fails with
  // ERROR_INTERNET_TIMEOUT. This is what ends a stalled call under Wine.
  static constexpr DWORD kDefaultCallTimeoutMs = 30000;
  // Longest wait for one connection to the server (or its proxy) before
  // WinINet fails the open with ERROR_INTERNET_CANNOT_CONNECT: WinINet's
  // own default.
  static constexpr DWORD kDefaultConnectTimeoutMs = 60000;

  KxInternetSession();
  ~KxInternetSession() override;

  // False (GetLastError tells why) when WinINet is missing or refuses.
  bool Open();
  void Close() override;

  DWORD ReceiveTimeoutMs() const { return receiveTimeoutMs_; }
  void SetReceiveTimeoutMs(DWORD milliseconds) { receiveTimeoutMs_ = milliseconds; }
  DWORD CallTimeoutMs() const { return callTimeoutMs_; }
  void SetCallTimeoutMs(DWORD milliseconds) { callTimeoutMs_ = milliseconds; }
  // Applies to requests opened after the next Open.
  void SetConnectTimeoutMs(DWORD milliseconds) { connectTimeoutMs_ = milliseconds; }

  // Manual-reset event, signalled while the session is closed. Shared so
  // that a request can keep waiting on it after the session object is gone.
  std::shared_ptr<const ScopedHandle> ClosedEvent() const { return closed_; }

 private:
  DWORD receiveTimeoutMs_ = kDefaultReceiveTimeoutMs;
  DWORD callTimeoutMs_ = kDefaultCallTimeoutMs;
  DWORD connectTimeoutMs_ = kDefaultConnectTimeoutMs;
  std::shared_ptr<ScopedHandle> closed_;
};

}  // namespace Kx
