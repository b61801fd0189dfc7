// Move-only owner of a kernel HANDLE that closes it with CloseHandle.
#pragma once

#include <windows.h>

namespace Kx {

class ScopedHandle {
 public:
  ScopedHandle() noexcept = default;
  explicit ScopedHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~ScopedHandle() { Reset(); }

  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
  ScopedHandle& operator=(ScopedHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  // Win32 answers failure with NULL from some calls and with
  // INVALID_HANDLE_VALUE from others; neither is ever closed.
  static bool IsValidHandle(HANDLE handle) noexcept {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
  }

  bool IsValid() const noexcept { return IsValidHandle(handle_); }
  explicit operator bool() const noexcept { return IsValid(); }
  HANDLE Get() const noexcept { return handle_; }

  // Gives up ownership without closing.
  HANDLE Release() noexcept {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }

  // Closes the owned handle and takes `handle`. Resetting to the handle
  // already owned keeps it open rather than leaving a closed value behind.
  void Reset(HANDLE handle = nullptr) noexcept {
    if (handle == handle_) return;
    if (IsValid()) ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace Kx
