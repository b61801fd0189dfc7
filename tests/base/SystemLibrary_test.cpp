#include "base/SystemLibrary.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "tests/support/TestSupport.h"

namespace {

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH * 2);
  return std::wstring(path, length);
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length);
}

TEST(SystemLibraryTest, LoadsFromTheSystemFolderOnceWhateverTheCase) {
  HMODULE psapi = Kx::LoadSystemLibrary(L"Psapi.dll");
  ASSERT_NE(nullptr, psapi);
  EXPECT_EQ(psapi, Kx::LoadSystemLibrary(L"PSAPI.DLL"));
  EXPECT_TRUE(Kx::EqualsNoCase(SystemFolder() + L"\\psapi.dll", ModulePath(psapi))) << ModulePath(psapi);
}

TEST(SystemLibraryTest, LibraryBesideTheProgramIsNeverLoaded) {
  // A plain LoadLibraryW would find it in the program's folder; a planted
  // "version.dll" in a downloads folder would be found the same way.
  const std::wstring planted = zelk::test::BinDir() + L"\\base_planted.dll";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(planted.c_str()));
  EXPECT_EQ(nullptr, Kx::LoadSystemLibrary(L"base_planted.dll"));
  EXPECT_EQ(nullptr, GetModuleHandleW(L"base_planted.dll"));
}

TEST(SystemLibraryTest, MissingLibraryOrExportGivesNull) {
  EXPECT_EQ(nullptr, Kx::LoadSystemLibrary(L"zelk-no-such-library.dll"));
  EXPECT_EQ(nullptr, Kx::LoadSystemLibrary(L""));
  EXPECT_EQ(nullptr, Kx::LoadSystemLibrary(nullptr));
  using Fn = BOOL(WINAPI*)();
  EXPECT_EQ(nullptr, Kx::SystemExport<Fn>(L"Kernel32.dll", "ZelkNoSuchExport"));
  EXPECT_EQ(nullptr, Kx::SystemExport<Fn>(L"zelk-no-such-library.dll", "GetTickCount"));
}

TEST(SystemLibraryTest, ExportIsCallable) {
  using GetTickCountFn = DWORD(WINAPI*)();
  const auto getTickCount = Kx::SystemExport<GetTickCountFn>(L"Kernel32.dll", "GetTickCount");
  ASSERT_NE(nullptr, getTickCount);
  const DWORD before = GetTickCount();
  EXPECT_GE(getTickCount(), before);
}

using GetFileAttributesWFn = decltype(&::GetFileAttributesW);
using EnumSystemCodePagesWFn = decltype(&::EnumSystemCodePagesW);

TEST(SystemLibraryTest, CalledExportAnswersItsResultAndKeepsItsLastError) {
  const DWORD folder = Kx::CallSystemExport<GetFileAttributesWFn>(L"Kernel32.dll", "GetFileAttributesW", DWORD{0},
                                                                  SystemFolder().c_str());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, folder);
  EXPECT_NE(0u, folder & FILE_ATTRIBUTE_DIRECTORY);

  SetLastError(ERROR_SUCCESS);
  const DWORD missing = Kx::CallSystemExport<GetFileAttributesWFn>(
      L"Kernel32.dll", "GetFileAttributesW", DWORD{0}, L"C:\\zelk-no-such-folder\\no-such-file");
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, missing);
  EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(SystemLibraryTest, MissingLibraryOrExportIsNotCalledAndSaysWhich) {
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(DWORD{7}, Kx::CallExport<GetFileAttributesWFn>(nullptr, "GetFileAttributesW", DWORD{7}, L"C:\\"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
  EXPECT_EQ(DWORD{7}, Kx::CallSystemExport<GetFileAttributesWFn>(L"zelk-no-such-library.dll", "GetFileAttributesW",
                                                                 DWORD{7}, L"C:\\"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
  EXPECT_EQ(DWORD{7}, Kx::CallSystemExport<GetFileAttributesWFn>(L"Kernel32.dll", "ZelkNoSuchExport", DWORD{7},
                                                                 L"C:\\"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
}

// A callback that faults below the system DLL that calls it.
BOOL CALLBACK FaultingCodePageProc(LPWSTR) {
  volatile int* const nowhere = nullptr;
  return *nowhere;
}

BOOL CALLBACK CountingCodePageProc(LPWSTR) { return TRUE; }

TEST(SystemLibraryTest, FaultInsideACalledExportReadsAsFailure) {
  EXPECT_EQ(FALSE, Kx::CallSystemExport<EnumSystemCodePagesWFn>(L"Kernel32.dll", "EnumSystemCodePagesW", FALSE,
                                                                &FaultingCodePageProc, DWORD{CP_INSTALLED}));
  EXPECT_EQ(Kx::kBoundCallFaulted, GetLastError());
  constexpr DWORD kOwnFaultError = ERROR_INVALID_ACCESS;
  EXPECT_EQ(FALSE, (Kx::CallSystemExport<EnumSystemCodePagesWFn, kOwnFaultError>(
                       L"Kernel32.dll", "EnumSystemCodePagesW", FALSE, &FaultingCodePageProc, DWORD{CP_INSTALLED})));
  EXPECT_EQ(kOwnFaultError, GetLastError());
  // The thread goes on calling exports afterwards.
  EXPECT_TRUE(Kx::CallSystemExport<EnumSystemCodePagesWFn>(L"Kernel32.dll", "EnumSystemCodePagesW", FALSE,
                                                           &CountingCodePageProc, DWORD{CP_INSTALLED}));
}

using GetSystemInfoFn = decltype(&::GetSystemInfo);

// Exports whose result is not used: run when found, and a fault inside
// reads as not run.
TEST(SystemLibraryTest, RunExportRunsWhatItFindsAndTellsAFault) {
  SYSTEM_INFO info = {};
  EXPECT_TRUE(Kx::RunSystemExport<GetSystemInfoFn>(L"Kernel32.dll", "GetSystemInfo", &info));
  EXPECT_NE(0u, info.dwPageSize);
  EXPECT_FALSE(Kx::RunExport<GetSystemInfoFn>(nullptr, "GetSystemInfo", &info));
  EXPECT_FALSE(Kx::RunSystemExport<GetSystemInfoFn>(L"zelk-no-such-library.dll", "GetSystemInfo", &info));
  EXPECT_FALSE(Kx::RunSystemExport<GetSystemInfoFn>(L"Kernel32.dll", "ZelkNoSuchExport", &info));
  EXPECT_FALSE(Kx::RunSystemExport<EnumSystemCodePagesWFn>(L"Kernel32.dll", "EnumSystemCodePagesW",
                                                           &FaultingCodePageProc, DWORD{CP_INSTALLED}));
  EXPECT_TRUE(Kx::RunSystemExport<EnumSystemCodePagesWFn>(L"Kernel32.dll", "EnumSystemCodePagesW",
                                                          &CountingCodePageProc, DWORD{CP_INSTALLED}));
}

}  // namespace
