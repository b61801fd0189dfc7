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

}  // namespace
