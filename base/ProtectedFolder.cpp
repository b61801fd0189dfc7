#include "base/ProtectedFolder.h"

#include <windows.h>
#include <ntsecapi.h>

#include "base/FileUtil.h"
#include "base/FolderSecurity.h"
#include "base/PathUtil.h"

namespace Kx {

namespace {

constexpr int kNameAttempts = 8;
constexpr ULONG kRandomNameBytes = 16;

bool RandomHex(std::wstring& text) {
  unsigned char bytes[kRandomNameBytes] = {};
  if (!RtlGenRandom(bytes, sizeof(bytes))) return false;
  static const wchar_t kDigits[] = L"0123456789abcdef";
  text.clear();
  for (unsigned char byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xF];
  }
  return true;
}

}  // namespace

bool ProtectedFolder::SystemTempFolder(std::wstring& folder) {
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT length = ::GetWindowsDirectoryW(windows, ARRAYSIZE(windows));
  if (length == 0 || length >= ARRAYSIZE(windows)) return false;
  folder = JoinPath(std::wstring(windows, length), L"Temp");
  return FolderExists(folder);
}

bool ProtectedFolder::Create(const std::wstring& parent, const std::wstring& prefix) {
  Remove();
  FolderSecurity security;
  if (!security.IsValid() || parent.empty()) return false;
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::wstring random;
    if (!RandomHex(random)) return false;
    const std::wstring candidate = JoinPath(parent, prefix + L"." + random);
    if (::CreateDirectoryW(candidate.c_str(), security.Attributes())) {
      path_ = candidate;
      return true;
    }
    // Someone may have made the name to hand us a folder of theirs.
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

void ProtectedFolder::Remove() {
  if (path_.empty()) return;
  DeleteTree(path_);
  path_.clear();
}

}  // namespace Kx
