// Move-only owner of memory the system hands out with LocalAlloc (ACLs from
// SetEntriesInAclW, security descriptors from GetNamedSecurityInfoW), freed
// with LocalFree.
#pragma once

#include <windows.h>

namespace Kx {

template <typename T>
class ScopedLocalMemory {
 public:
  ScopedLocalMemory() noexcept = default;
  explicit ScopedLocalMemory(T memory) noexcept : memory_(memory) {}
  ~ScopedLocalMemory() { Reset(); }

  ScopedLocalMemory(const ScopedLocalMemory&) = delete;
  ScopedLocalMemory& operator=(const ScopedLocalMemory&) = delete;

  T Get() const noexcept { return memory_; }
  explicit operator bool() const noexcept { return memory_ != nullptr; }

  // For the out parameter of the call that allocates; frees what was held.
  T* Receive() noexcept {
    Reset();
    return &memory_;
  }

  void Reset() noexcept {
    if (memory_ != nullptr) ::LocalFree(reinterpret_cast<HLOCAL>(memory_));
    memory_ = nullptr;
  }

 private:
  T memory_ = nullptr;
};

}  // namespace Kx
