#include "base/SystemInfo.h"

#include <cstddef>
#include <cstring>

#include "base/FaultGuard.h"
#include "base/StringUtil.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

// The extended structure is asked for, so that service pack and product
// type are filled in as well; callers get its OSVERSIONINFOW head.
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW layout");

bool ReportsNewerThanWindows7(const OSVERSIONINFOEXW& info) {
  return info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion > 1);
}

// The head of a VS_VERSIONINFO block: the fixed information follows the
// key "VS_VERSION_INFO", its terminator and padding to 32 bits.
struct VersionInfoHead {
  WORD length;
  WORD valueLength;
  WORD type;
  wchar_t key[16];
  WORD padding;
  VS_FIXEDFILEINFO fixed;
};
static_assert(offsetof(VersionInfoHead, fixed) == 40, "VS_VERSIONINFO layout");

// kernel32.dll's file version, read from its resource in memory (the
// version functions would load Version.dll just for this).
bool Kernel32FileVersion(VS_FIXEDFILEINFO& fixed) {
  HMODULE kernel32 = LoadSystemLibrary(L"Kernel32.dll");
  if (!kernel32) return false;
  HRSRC resource = ::FindResourceW(kernel32, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));
  if (!resource || ::SizeofResource(kernel32, resource) < sizeof(VersionInfoHead)) return false;
  HGLOBAL loaded = ::LoadResource(kernel32, resource);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return false;
  VersionInfoHead head;
  std::memcpy(&head, data, sizeof(head));
  head.key[15] = L'\0';
  if (!EqualsNoCase(head.key, L"VS_VERSION_INFO")) return false;
  if (head.valueLength < sizeof(VS_FIXEDFILEINFO) || head.fixed.dwSignature != 0xFEEF04BD) return false;
  fixed = head.fixed;
  return true;
}

// The SDK's user-mode headers do not declare RtlGetVersion.
using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);

bool RtlBuildNumber(DWORD& build) {
  constexpr LONG kNotAnswered = -1;
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  const LONG status = CallSystemExport<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion", kNotAnswered, &info);
  if (status != 0) return false;
  build = info.dwBuildNumber;
  return true;
}

}  // namespace

bool GetOsVersion(OSVERSIONINFOW& out) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return false;

  VS_FIXEDFILEINFO fixed;
  if (ReportsNewerThanWindows7(info) && Kernel32FileVersion(fixed)) {
    info.dwMajorVersion = HIWORD(fixed.dwFileVersionMS);
    info.dwMinorVersion = LOWORD(fixed.dwFileVersionMS);
    info.dwBuildNumber = HIWORD(fixed.dwFileVersionLS);
  }
  DWORD build = 0;
  if (RtlBuildNumber(build)) info.dwBuildNumber = build;

  // The caller's structure is the short one: copy its part only.
  std::memcpy(&out, &info, sizeof(out));
  out.dwOSVersionInfoSize = sizeof(out);
  return true;
}

bool Is64BitWindows() {
  using GetNativeSystemInfoFn = decltype(&::GetNativeSystemInfo);
  SYSTEM_INFO info = {};
  if (!RunSystemExport<GetNativeSystemInfoFn>(L"Kernel32.dll", "GetNativeSystemInfo", &info)) return false;
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
         info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

}  // namespace Kx
