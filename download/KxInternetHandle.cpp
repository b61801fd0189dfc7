#include "download/KxInternetHandle.h"

#include "download/WinInetLibrary.h"

namespace Kx {

KxInternetHandle::~KxInternetHandle() { KxInternetHandle::Close(); }

void KxInternetHandle::Close() { CloseSlot(handle_); }

void KxInternetHandle::Attach(HINTERNET handle) {
  const HINTERNET old = handle_.exchange(handle);
  if (old != nullptr && old != handle) WinInetLibrary::Instance().InternetCloseHandle(old);
}

void KxInternetHandle::CloseSlot(std::atomic<HINTERNET>& slot) {
  const HINTERNET old = slot.exchange(nullptr);
  if (old != nullptr) WinInetLibrary::Instance().InternetCloseHandle(old);
}

}  // namespace Kx
