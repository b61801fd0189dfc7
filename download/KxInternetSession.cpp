#include "download/KxInternetSession.h"

#include "download/WinInetLibrary.h"

namespace Kx {

KxInternetSession::KxInternetSession()
    : closed_(std::make_shared<ScopedHandle>(CreateEventW(nullptr, TRUE, TRUE, nullptr))) {}

KxInternetSession::~KxInternetSession() { KxInternetSession::Close(); }

bool KxInternetSession::Open() {
  const WinInetLibrary& wininet = WinInetLibrary::Instance();
  Attach(wininet.InternetOpenW());
  if (!IsOpen()) return false;
  // Requests inherit it from the session. Only a hint: the call timeout
  // bounds an open where it is not honoured.
  wininet.InternetSetOptionW(Handle(), INTERNET_OPTION_CONNECT_TIMEOUT, connectTimeoutMs_);
  ResetEvent(closed_->Get());
  return true;
}

void KxInternetSession::Close() {
  // First the event, so that nothing goes on waiting for calls on the
  // handle about to close.
  SetEvent(closed_->Get());
  KxInternetHandle::Close();
}

}  // namespace Kx
