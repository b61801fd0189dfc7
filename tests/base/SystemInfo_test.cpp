#include "base/SystemInfo.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "base/FileVersion.h"

namespace {

std::wstring Kernel32Path() {
  wchar_t folder[MAX_PATH + 1] = {};
  GetSystemDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder) + L"\\kernel32.dll";
}

TEST(SystemInfoTest, OsVersionTakesKernel32VersionAndRtlBuild) {
  OSVERSIONINFOW reported = {};
  reported.dwOSVersionInfoSize = sizeof(reported);
  ASSERT_TRUE(GetVersionExW(&reported));

  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(nullptr, rtlGetVersion);
  OSVERSIONINFOW real = {};
  real.dwOSVersionInfoSize = sizeof(real);
  ASSERT_EQ(0, rtlGetVersion(&real));

  OSVERSIONINFOW info = {};
  ASSERT_TRUE(Kx::GetOsVersion(info));
  EXPECT_EQ(sizeof(OSVERSIONINFOW), info.dwOSVersionInfoSize);
  EXPECT_EQ(real.dwBuildNumber, info.dwBuildNumber);
  EXPECT_EQ(reported.dwPlatformId, info.dwPlatformId);

  // The test prefix runs Windows 10, which GetVersionExW hides as 6.2 from
  // programs without a compatibility manifest.
  ASSERT_TRUE(reported.dwMajorVersion > 6 || (reported.dwMajorVersion == 6 && reported.dwMinorVersion > 1))
      << reported.dwMajorVersion << "." << reported.dwMinorVersion;
  WORD major = 0, minor = 0, build = 0, revision = 0;
  ASSERT_TRUE(Kx::GetFileVersion(Kernel32Path(), major, minor, build, revision));
  EXPECT_EQ(major, info.dwMajorVersion);
  EXPECT_EQ(minor, info.dwMinorVersion);
}

TEST(SystemInfoTest, SixtyFourBitSystemIsRecognised) {
  // The test program is built for x86_64, so the system running it is 64-bit.
  SYSTEM_INFO native = {};
  GetNativeSystemInfo(&native);
  ASSERT_EQ(PROCESSOR_ARCHITECTURE_AMD64, native.wProcessorArchitecture);
  EXPECT_TRUE(Kx::Is64BitWindows());
}

}  // namespace
