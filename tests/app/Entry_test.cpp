// Runs the real installer executable.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/SingleInstanceLock.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/FileChangeAttempt.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;
using zelk::test::ChildProcess;
using zelk::test::Quote;

std::wstring InstallerPath() { return BinDir() + L"\\" + ZELK_INSTALLER_EXE; }

TEST(EntryTest, SecondCopyShowsWarningAndExitsZero) {
  // This test holds the mutex, as a first running copy would.
  const SingleInstanceLock first;
  ASSERT_FALSE(first.AnotherCopyRunning());

  ChildProcess installer;
  ASSERT_TRUE(installer.Start(Quote(InstallerPath()) + L" /s"));
  const HWND box = zelk::test::WaitForWindow(L"ZelkPDF安装", installer.Pid(), 20000);
  ASSERT_NE(nullptr, box) << "no warning box";

  wchar_t text[128] = {};
  const HWND label = GetDlgItem(box, 0xFFFF);  // the static text of a message box
  GetWindowTextW(label, text, 128);
  EXPECT_STREQ(L"另外一个ZelkPDF安装程序已经在运行。", text);

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  DWORD exitCode = 99;
  ASSERT_TRUE(installer.Wait(20000, exitCode));
  EXPECT_EQ(0u, exitCode);  // not 1: the silent flow did not run
}

struct ModeCase {
  const wchar_t* arguments;
  bool silent;
};

TEST(EntryTest, OnlySlashOrDashSRunsSilently) {
  const ModeCase cases[] = {
      {L"/S", true}, {L"-s", true}, {L"/silent", false}, {L"s", false}, {L"   ", false},
  };
  // The silent flow downloads: from a local port nobody listens on, so it
  // ends at once with nothing to run.
  const zelk::test::ScopedTempDir temp;
  std::wstring repointed;
  ASSERT_TRUE(zelk::test::RepointedInstaller(temp.Path(), ZELK_INSTALLER_EXE,
                                             zelk::test::TestServer::RefusedUrl(L"/zelkpic_KUID_1_v1.exe"),
                                             repointed));
  for (const ModeCase& c : cases) {
    ChildProcess installer;
    ASSERT_TRUE(installer.Start(Quote(repointed) + L" " + c.arguments));
    DWORD exitCode = 99;
    if (!installer.Wait(c.silent ? 60000 : 10000, exitCode)) {
      // A windowed run may still be showing its window: that is not silent.
      EXPECT_FALSE(c.silent) << "silent run did not end: [" << c.arguments << "]";
      continue;
    }
    EXPECT_EQ(c.silent, exitCode == 1) << "[" << c.arguments << "] exit code " << exitCode;
  }
}

}  // namespace

// The running installer holds its own file: it cannot be written, replaced
// or renamed under it, so the signer read at start stays the file's.
TEST(EntryTest, TheRunningInstallersFileCannotBeReplacedOrRenamed) {
  ASSERT_TRUE(zelk::test::TestServer::Available()) << "run with ZELK_TEST_SERVER=1";
  const zelk::test::ProductSandbox sandbox;
  std::wstring installer;
  // A download that trickles for a while keeps the silent run going.
  ASSERT_TRUE(zelk::test::RepointedInstaller(
      sandbox.Temp().Path(), ZELK_INSTALLER_EXE,
      zelk::test::TestServer::Url(L"/held-installer/zelkpic_KUID_1_v1.exe?size=60000&trickle=100&chunk=1000"),
      installer));
  ChildProcess running;
  ASSERT_TRUE(running.Start(Quote(installer) + L" /s"));
  ASSERT_TRUE(zelk::test::PumpUntil([] { return !zelk::test::TestServer::Requests("/held-installer/").empty(); },
                                    30000))
      << "the installer never asked for its package";

  const zelk::test::FileChangeAttempt change = zelk::test::TryToChangeFile(installer, InstallerPath());
  EXPECT_FALSE(change.renamed);
  ASSERT_TRUE(change.replaceTried);
  EXPECT_FALSE(change.replaced);
  EXPECT_NE(static_cast<DWORD>(ERROR_SUCCESS), change.writeError);

  DWORD exitCode = 99;
  ASSERT_TRUE(running.Wait(120000, exitCode));
  EXPECT_EQ(1u, exitCode);
  const std::wstring renamed = sandbox.Temp().Join(L"renamed.exe");
  EXPECT_TRUE(MoveFileW(installer.c_str(), renamed.c_str())) << "free again once the installer ended";
}
