// The security of a folder only administrators may change: owner
// Administrators, and a protected DACL (nothing inherited from the parent)
// that gives Administrators and SYSTEM full control and passes the same to
// everything created inside.
#pragma once

#include <windows.h>

#include "base/ScopedHandle.h"

namespace Kx {

class FolderSecurity {
 public:
  FolderSecurity();
  FolderSecurity(const FolderSecurity&) = delete;
  FolderSecurity& operator=(const FolderSecurity&) = delete;

  // False when a SID or the ACL could not be made; nothing is then offered.
  bool IsValid() const noexcept { return valid_; }

  // For CreateDirectoryW, so the folder never exists with another DACL.
  SECURITY_ATTRIBUTES* Attributes() noexcept { return valid_ ? &attributes_ : nullptr; }
  PSECURITY_DESCRIPTOR Descriptor() noexcept { return valid_ ? &descriptor_ : nullptr; }

 private:
  bool Build();

  ScopedSid administrators_;
  ScopedSid system_;
  ScopedLocalMemory<PACL> acl_;
  SECURITY_DESCRIPTOR descriptor_ = {};
  SECURITY_ATTRIBUTES attributes_ = {};
  bool valid_ = false;
};

}  // namespace Kx
