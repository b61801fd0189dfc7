#include "base/Processes.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/StringUtil.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;
using zelk::test::ChildProcess;
using zelk::test::Quote;
using zelk::test::ScopedTempDir;

std::wstring ShortPathOf(const std::wstring& path) {
  wchar_t shortPath[MAX_PATH] = {};
  const DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(shortPath, length) : std::wstring();
}

class LongNamedProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::wstring folder = dir_.Join(L"Zelk Long Folder Name");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    exe_ = folder + L"\\Zelk Long Process Probe.exe";
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\base_recorder.exe").c_str(), exe_.c_str(), TRUE));
  }

  ScopedTempDir dir_;
  std::wstring exe_;
  const std::wstring longName_ = L"Zelk Long Process Probe.exe";
};

TEST_F(LongNamedProcessTest, ProcessStartedThroughShortNamesIsFoundByItsLongName) {
  const std::wstring shortExe = ShortPathOf(exe_);
  ASSERT_NE(std::wstring::npos, shortExe.find(L'~')) << shortExe;
  ChildProcess child;
  ASSERT_TRUE(child.Start(Quote(shortExe) + L" --sleep"));

  EXPECT_TRUE(Kx::IsProcessRunning(longName_));
  std::vector<DWORD> ids;
  EXPECT_TRUE(Kx::FindProcessesByName({L"some-other.exe", L"ZELK LONG PROCESS PROBE.EXE"}, ids));
  EXPECT_EQ(std::vector<DWORD>{child.Pid()}, ids);
  EXPECT_TRUE(Kx::EqualsNoCase(exe_, Kx::ImagePathOfProcess(child.Pid()))) << Kx::ImagePathOfProcess(child.Pid());

  child.Kill();
  EXPECT_FALSE(Kx::IsProcessRunning(longName_));
}

// Windows lists a process started through "C:\PROGRA~1\..." under its short
// name; Wine lists the long one. The short listing is matched through the
// long name of the running process's image.
TEST_F(LongNamedProcessTest, ShortListedNameIsComparedByTheImagesLongName) {
  const std::wstring shortExe = ShortPathOf(exe_);
  const std::wstring shortName = shortExe.substr(shortExe.find_last_of(L'\\') + 1);
  ASSERT_NE(std::wstring::npos, shortName.find(L'~')) << shortName;
  ChildProcess child;
  ASSERT_TRUE(child.Start(Quote(shortExe) + L" --sleep"));

  EXPECT_TRUE(Kx::ProcessNameMatches(shortName, child.Pid(), {L"other.exe", L"zelk long process probe.exe"}));
  EXPECT_FALSE(Kx::ProcessNameMatches(shortName, child.Pid(), {L"other.exe"}));
  // Only a short name sends the comparison to the image.
  EXPECT_FALSE(Kx::ProcessNameMatches(L"Other Name.exe", child.Pid(), {longName_}));
  EXPECT_TRUE(Kx::ProcessNameMatches(L"OTHER NAME.EXE", child.Pid(), {L"other name.exe"}));
}

TEST_F(LongNamedProcessTest, ProcessStartedByItsLongNameIsFound) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(Quote(exe_) + L" --sleep"));
  std::vector<DWORD> ids;
  EXPECT_TRUE(Kx::FindProcessesByName({longName_}, ids));
  EXPECT_NE(ids.end(), std::find(ids.begin(), ids.end(), child.Pid()));
  EXPECT_TRUE(Kx::EqualsNoCase(exe_, Kx::ImagePathOfHandle(child.Handle())));
}

TEST(ProcessesTest, NothingMatchesAbsentOrEmptyNames) {
  EXPECT_FALSE(Kx::IsProcessRunning(L""));
  EXPECT_FALSE(Kx::IsProcessRunning(L"zelk-no-such-process.exe"));
  std::vector<DWORD> ids = {1, 2};
  EXPECT_FALSE(Kx::FindProcessesByName({}, ids));
  EXPECT_TRUE(ids.empty());
}

TEST(ProcessesTest, ImagePathOfThisProcess) {
  wchar_t own[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, own, MAX_PATH * 2);
  EXPECT_TRUE(Kx::EqualsNoCase(own, Kx::ImagePathOfProcess(GetCurrentProcessId())));
  EXPECT_TRUE(Kx::EqualsNoCase(own, Kx::ImagePathOfHandle(GetCurrentProcess())));
  EXPECT_EQ(L"", Kx::ImagePathOfProcess(0));
}

}  // namespace
