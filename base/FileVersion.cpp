#include "base/FileVersion.h"

#include <winver.h>

#include <cwchar>
#include <vector>

#include "base/FaultGuard.h"
#include "base/StringUtil.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

using GetFileVersionInfoSizeExWFn = decltype(&::GetFileVersionInfoSizeExW);
using GetFileVersionInfoExWFn = decltype(&::GetFileVersionInfoExW);
using GetFileVersionInfoSizeWFn = decltype(&::GetFileVersionInfoSizeW);
using GetFileVersionInfoWFn = decltype(&::GetFileVersionInfoW);
using VerQueryValueWFn = decltype(&::VerQueryValueW);

// Reads the whole version block with the Ex functions when the system has
// them (Vista on), else with the older pair.
bool ReadVersionBlock(HMODULE version, const std::wstring& path, std::vector<BYTE>& block) {
  const auto sizeEx = ExportOf<GetFileVersionInfoSizeExWFn>(version, "GetFileVersionInfoSizeExW");
  const auto readEx = ExportOf<GetFileVersionInfoExWFn>(version, "GetFileVersionInfoExW");
  const auto sizeOld = ExportOf<GetFileVersionInfoSizeWFn>(version, "GetFileVersionInfoSizeW");
  const auto readOld = ExportOf<GetFileVersionInfoWFn>(version, "GetFileVersionInfoW");
  const bool useEx = sizeEx && readEx;
  if (!useEx && !(sizeOld && readOld)) return false;

  const wchar_t* file = path.c_str();
  DWORD ignored = 0;
  const DWORD size = GuardedResult(DWORD{0}, [&] {
    return useEx ? sizeEx(0, file, &ignored) : sizeOld(file, &ignored);
  });
  if (size == 0) return false;
  block.assign(size, 0);
  BYTE* data = block.data();
  return GuardedResult(FALSE, [&] {
    return useEx ? readEx(0, file, 0, size, data) : readOld(file, 0, size, data);
  }) != FALSE;
}

}  // namespace

bool GetFileVersion(const std::wstring& path, WORD& major, WORD& minor, WORD& build, WORD& revision) {
  HMODULE version = LoadSystemLibrary(L"Version.dll");
  const auto verQueryValue = ExportOf<VerQueryValueWFn>(version, "VerQueryValueW");
  if (!verQueryValue || path.empty()) return false;

  std::vector<BYTE> block;
  if (!ReadVersionBlock(version, path, block)) return false;

  VS_FIXEDFILEINFO fixed = {};
  const bool found = GuardedResult(false, [&] {
    void* value = nullptr;
    UINT length = 0;
    if (!verQueryValue(block.data(), L"\\", &value, &length) || !value || length < sizeof(fixed)) return false;
    fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    return true;
  });
  if (!found || fixed.dwSignature != 0xFEEF04BD) return false;

  major = HIWORD(fixed.dwFileVersionMS);
  minor = LOWORD(fixed.dwFileVersionMS);
  build = HIWORD(fixed.dwFileVersionLS);
  revision = LOWORD(fixed.dwFileVersionLS);
  return true;
}

bool GetFileVersionString(const std::wstring& path, const wchar_t* name, std::wstring& text) {
  text.clear();
  HMODULE version = LoadSystemLibrary(L"Version.dll");
  const auto verQueryValue = ExportOf<VerQueryValueWFn>(version, "VerQueryValueW");
  if (!verQueryValue || path.empty() || !name) return false;

  std::vector<BYTE> block;
  if (!ReadVersionBlock(version, path, block)) return false;

  struct Translation {
    WORD language;
    WORD codePage;
  };
  return GuardedResult(false, [&] {
    void* value = nullptr;
    UINT length = 0;
    if (!verQueryValue(block.data(), L"\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < sizeof(Translation)) {
      return false;
    }
    const Translation first = *static_cast<const Translation*>(value);
    const std::wstring query = Format(L"\\StringFileInfo\\%04x%04x\\", unsigned{first.language},
                                      unsigned{first.codePage}) + name;
    value = nullptr;
    length = 0;
    if (!verQueryValue(block.data(), query.c_str(), &value, &length) || !value) return false;
    // The length counts characters and may include the terminator.
    const wchar_t* characters = static_cast<const wchar_t*>(value);
    text.assign(characters, wcsnlen(characters, length));
    return true;
  });
}

std::wstring FileVersionText(const std::wstring& path) {
  WORD major = 0, minor = 0, build = 0, revision = 0;
  if (!GetFileVersion(path, major, minor, build, revision)) return {};
  return Format(L"%u.%u.%u.%u", unsigned{major}, unsigned{minor}, unsigned{build}, unsigned{revision});
}

bool ParseVersionText(const std::wstring& text, int& major, int& minor, int& build, int& revision) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find(L'.', start);
    parts.push_back(text.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start));
    if (dot == std::wstring::npos) break;
    start = dot + 1;
  }
  if (parts.size() != 4 || parts[3].empty()) return false;
  int* const out[4] = {&major, &minor, &build, &revision};
  for (size_t i = 0; i < 4; ++i) {
    *out[i] = static_cast<int>(std::wcstol(parts[i].c_str(), nullptr, 10));
  }
  return true;
}

}  // namespace Kx
