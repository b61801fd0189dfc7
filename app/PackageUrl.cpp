#include "app/PackageUrl.h"

#include <windows.h>

#include "base/FileVersion.h"
#include "base/StringUtil.h"

const wchar_t kDefaultPackageUrl[] =
    L"https://download.zelkpdf.com/pic/union/zelkpic_KUID_300001_v1.0.exe";

std::wstring PackageUrlFromFile(const std::wstring& modulePath) {
  std::wstring text;
  if (!Kx::GetFileVersionString(modulePath, L"PrivateBuild", text)) return kDefaultPackageUrl;
  const std::wstring blanks = L" \r\t\n";
  return Kx::TrimRight(Kx::TrimLeft(text, blanks), blanks);
}

std::wstring ReadPackageUrl() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return kDefaultPackageUrl;
  return PackageUrlFromFile(path);
}
