// Move-only owner of memory the system hands out with LocalAlloc (ACLs from
// SetEntriesInAclW, security descriptors from GetNamedSecurityInfoW), freed
// with LocalFree, or with GlobalAlloc (the proxy strings of
// WinHttpGetIEProxyConfigForCurrentUser), freed with GlobalFree.
#pragma once

#include <windows.h>

namespace Kx {

struct LocalMemoryRelease {
  void operator()(HLOCAL memory) const noexcept { ::LocalFree(memory); }
};
struct GlobalMemoryRelease {
  void operator()(HGLOBAL memory) const noexcept { ::GlobalFree(memory); }
};

template <typename T, typename Release = LocalMemoryRelease>
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
    if (memory_ != nullptr) Release()(reinterpret_cast<HLOCAL>(memory_));
    memory_ = nullptr;
  }

 private:
  T memory_ = nullptr;
};

template <typename T>
using ScopedGlobalMemory = ScopedLocalMemory<T, GlobalMemoryRelease>;

}  // namespace Kx
