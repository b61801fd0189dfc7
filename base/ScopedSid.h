// Move-only owner of a SID made by AllocateAndInitializeSid, freed with
// FreeSid.
#pragma once

#include <windows.h>

namespace Kx {

class ScopedSid {
 public:
  ScopedSid() noexcept = default;
  ~ScopedSid() { Reset(); }

  ScopedSid(const ScopedSid&) = delete;
  ScopedSid& operator=(const ScopedSid&) = delete;

  // A well-known SID of the NT authority: one or two sub-authorities.
  static ScopedSid NtAuthority(DWORD first, DWORD second = 0, BYTE count = 1) noexcept {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    ScopedSid sid;
    if (!::AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &sid.sid_)) {
      sid.sid_ = nullptr;
    }
    return sid;
  }

  ScopedSid(ScopedSid&& other) noexcept : sid_(other.sid_) { other.sid_ = nullptr; }
  ScopedSid& operator=(ScopedSid&& other) noexcept {
    if (this != &other) {
      Reset();
      sid_ = other.sid_;
      other.sid_ = nullptr;
    }
    return *this;
  }

  PSID Get() const noexcept { return sid_; }
  explicit operator bool() const noexcept { return sid_ != nullptr; }

  void Reset() noexcept {
    if (sid_ != nullptr) ::FreeSid(sid_);
    sid_ = nullptr;
  }

 private:
  PSID sid_ = nullptr;
};

}  // namespace Kx
