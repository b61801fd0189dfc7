#include "download/KxInternetSession.h"

#include "download/WinInetLibrary.h"

namespace Kx {

KxInternetSession::KxInternetSession()
    : closed_(std::make_shared<ScopedHandle>(CreateEventW(nullptr, TRUE, TRUE, nullptr))) {}

KxInternetSession::~KxInternetSession() { KxInternetSession::Close(); }

bool KxInternetSession::Open() {
  Attach(WinInetLibrary::Instance().InternetOpenW());
  if (!IsOpen()) return false;
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
