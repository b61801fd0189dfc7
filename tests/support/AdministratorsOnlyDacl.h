// Reads a security descriptor the way Windows applies it and says what
// keeps it from being "owner Administrators; protected DACL of exactly two
// ACEs giving Administrators and SYSTEM full control, inherited by files
// and folders inside". Empty when it is that.
#pragma once

#include <windows.h>

#include <aclapi.h>

#include <string>

#include "base/ScopedHandle.h"

namespace zelk::test {

inline std::string AceProblem(PACL dacl, DWORD index, WELL_KNOWN_SID_TYPE expected) {
  void* raw = nullptr;
  if (!GetAce(dacl, index, &raw)) return "ACE " + std::to_string(index) + " unreadable";
  const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
  if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) return "ACE " + std::to_string(index) + " does not allow";
  if (ace->Mask != FILE_ALL_ACCESS) return "ACE " + std::to_string(index) + " is not full control";
  if ((ace->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) !=
      (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) {
    return "ACE " + std::to_string(index) + " is not passed to the folder's contents";
  }
  if ((ace->Header.AceFlags & INHERITED_ACE) != 0) return "ACE " + std::to_string(index) + " was inherited";
  if (!IsWellKnownSid(const_cast<DWORD*>(&ace->SidStart), expected)) {
    return "ACE " + std::to_string(index) + " is for another SID";
  }
  return std::string();
}

inline std::string AdministratorsOnlyProblem(PSECURITY_DESCRIPTOR descriptor) {
  if (descriptor == nullptr) return "no descriptor";
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  if (!GetSecurityDescriptorControl(descriptor, &control, &revision)) return "control unreadable";
  if ((control & SE_DACL_PROTECTED) == 0) return "DACL not protected: the parent's entries are inherited";
  PSID owner = nullptr;
  BOOL ownerDefaulted = FALSE;
  if (!GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted) || owner == nullptr) return "no owner";
  if (!IsWellKnownSid(owner, WinBuiltinAdministratorsSid)) return "owner is not Administrators";
  BOOL present = FALSE;
  BOOL daclDefaulted = FALSE;
  PACL dacl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor, &present, &dacl, &daclDefaulted) || !present || dacl == nullptr) {
    return "no DACL";
  }
  if (dacl->AceCount != 2) return std::to_string(dacl->AceCount) + " ACEs instead of 2";
  const std::string first = AceProblem(dacl, 0, WinBuiltinAdministratorsSid);
  return first.empty() ? AceProblem(dacl, 1, WinLocalSystemSid) : first;
}

// The same for the descriptor the file system keeps for `path`.
inline std::string StoredProblem(const std::wstring& path) {
  Kx::ScopedLocalMemory<PSECURITY_DESCRIPTOR> stored;
  const DWORD error = GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT,
                                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            nullptr, nullptr, stored.Receive());
  if (error != ERROR_SUCCESS) return "descriptor unreadable: error " + std::to_string(error);
  return AdministratorsOnlyProblem(stored.Get());
}

}  // namespace zelk::test
