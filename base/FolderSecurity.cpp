#include "base/FolderSecurity.h"

#include <aclapi.h>

namespace Kx {

namespace {

constexpr DWORD kInheritedByEverythingInside = SUB_CONTAINERS_AND_OBJECTS_INHERIT;

EXPLICIT_ACCESS_W FullControlFor(PSID sid) {
  EXPLICIT_ACCESS_W access = {};
  access.grfAccessPermissions = FILE_ALL_ACCESS;
  access.grfAccessMode = SET_ACCESS;
  access.grfInheritance = kInheritedByEverythingInside;
  access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  access.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  access.Trustee.ptstrName = static_cast<LPWSTR>(sid);
  return access;
}

}  // namespace

FolderSecurity::FolderSecurity()
    : administrators_(NtAuthoritySid(SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 2)),
      system_(NtAuthoritySid(SECURITY_LOCAL_SYSTEM_RID)) {
  valid_ = Build();
}

bool FolderSecurity::Build() {
  if (!administrators_ || !system_) return false;
  EXPLICIT_ACCESS_W entries[] = {FullControlFor(administrators_.Get()), FullControlFor(system_.Get())};
  if (::SetEntriesInAclW(ARRAYSIZE(entries), entries, nullptr, acl_.Receive()) != ERROR_SUCCESS) return false;
  if (!::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorOwner(&descriptor_, administrators_.Get(), FALSE) ||
      !::SetSecurityDescriptorDacl(&descriptor_, TRUE, acl_.Get(), FALSE) ||
      !::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    return false;
  }
  attributes_.nLength = sizeof(attributes_);
  attributes_.lpSecurityDescriptor = &descriptor_;
  attributes_.bInheritHandle = FALSE;
  return true;
}

}  // namespace Kx
