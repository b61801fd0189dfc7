// Owner of one WinINet handle. Close may come from another thread (a
// cancel): the handle is swapped out before it is closed, so a second Close
// does nothing and a reader sees either the live handle or null.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>

namespace Kx {

class KxInternetHandle {
 public:
  KxInternetHandle() = default;
  KxInternetHandle(const KxInternetHandle&) = delete;
  KxInternetHandle& operator=(const KxInternetHandle&) = delete;
  virtual ~KxInternetHandle();

  virtual void Close();

  HINTERNET Handle() const { return handle_.load(); }
  bool IsOpen() const { return Handle() != nullptr; }

 protected:
  // Takes ownership of `handle`, closing the one held before.
  void Attach(HINTERNET handle);

  // Closes whatever `slot` holds, leaving it null.
  static void CloseSlot(std::atomic<HINTERNET>& slot);

 private:
  std::atomic<HINTERNET> handle_{nullptr};
};

}  // namespace Kx
