#include "app/PackageUrl.h"

#include <windows.h>

#include <vector>

#include "base/StringUtil.h"

const wchar_t kDefaultPackageUrl[] =
    L"https://download.zelkpdf.com/pic/union/zelkpic_KUID_300001_v1.0.exe";

namespace {

struct Translation {
  WORD language;
  WORD codePage;
};

bool ReadVersionBlock(const std::wstring& path, std::vector<BYTE>& block) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  block.assign(size, 0);
  return GetFileVersionInfoW(path.c_str(), 0, size, block.data()) != FALSE;
}

}  // namespace

std::wstring PackageUrlFromFile(const std::wstring& modulePath) {
  std::vector<BYTE> block;
  if (!ReadVersionBlock(modulePath, block)) return kDefaultPackageUrl;

  Translation* translation = nullptr;
  UINT translationSize = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &translationSize) ||
      translationSize < sizeof(Translation)) {
    return kDefaultPackageUrl;
  }

  wchar_t query[MAX_PATH] = {};
  wsprintfW(query, L"\\StringFileInfo\\%04x%04x\\PrivateBuild", translation->language, translation->codePage);
  wchar_t* value = nullptr;
  UINT valueLength = 0;
  if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&value), &valueLength) || !value) {
    return kDefaultPackageUrl;
  }
  // The length counts characters and may include the terminator.
  const std::wstring text(value, wcsnlen(value, valueLength));
  const std::wstring blanks = L" \r\t\n";
  return Kx::TrimRight(Kx::TrimLeft(text, blanks), blanks);
}

std::wstring ReadPackageUrl() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return kDefaultPackageUrl;
  return PackageUrlFromFile(path);
}
