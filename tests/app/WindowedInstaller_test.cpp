// The real installer without "/s", against the test server: its window and
// boxes under real mouse clicks and keys, the package it runs, the editor it
// starts and the exit code it ends with. Screenshots of the pages and boxes
// go to the build's bin folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/app/WindowedTestSupport.h"
#include "tests/support/TestServer.h"

namespace zelk::test {
namespace {

// Layout positions (page 502 from fragment 505, boxes 501, 506 and 507):
// the middle of each control.
constexpr POINT kInstallButton{300, 297};   // 102 at 210,276, 180 x 42
constexpr POINT kAgreeCheck{21, 374};       // 2001 at 14,367, 14 x 14
constexpr POINT kAssociateCheck{295, 374};  // 2005 at 288,367, 14 x 14
constexpr POINT kExitOk{213, 145};          // 501: 102 at 165,130, 96 x 30
constexpr POINT kExitCancel{329, 145};      // 501: 103 at 281,130
constexpr POINT kFailureOk{329, 145};       // 507: 102 at 281,130
constexpr POINT kAgreementRefuse{188, 145}; // 506: 103 at 140,130
constexpr POINT kAgreementAccept{302, 145}; // 506: 102 at 254,130
constexpr POINT kAgreementLicence{180, 59}; // 506: link 4 at 160,50
constexpr POINT kAgreementPrivacy{275, 59}; // 506: link 8 at 255,50

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kInstallTimeoutMs = 120000;
const wchar_t kChannel[] = L"100090";

bool HasLine(const std::string& log, const std::string& line) { return log.find(line) != std::string::npos; }

size_t CountOf(const std::string& text, const std::string& piece) {
  size_t count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

class WindowedInstallerTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1"; }
  void TearDown() override { SetEnvironmentVariableW(L"ZELK_DEMO_PACKAGE_WAIT", nullptr); }

  // Serves the demo package `product` (signed by a listed publisher unless
  // named otherwise) as /files/`name` and answers its address with `query`
  // appended.
  static std::wstring ServePackage(const std::wstring& name, const std::wstring& query = L"",
                                   const std::wstring& product = L"product_10.10.0.0.exe") {
    EXPECT_TRUE(ServeFile(SilentFixture(product), name));
    return TestServer::Url(L"/files/" + name + query);
  }

  // The installer copied under its shipped name, pointed at `url`, signed by
  // the listed test publisher and started without "/s"; answers its page
  // 502 window.
  HWND Start(const std::wstring& url) {
    std::wstring installer;
    EXPECT_TRUE(RepointedInstaller(sandbox_.Temp().Path(), std::wstring(L"zelkpdf_") + kChannel + L".exe", url,
                                   installer));
    EXPECT_TRUE(process_.Start(Quote(installer)));
    const HWND window = WaitForInstallerWindow(process_.Pid(), kReadySize, kWindowTimeoutMs);
    EXPECT_NE(nullptr, window) << "no page 502";
    if (window != nullptr) {
      SetForegroundWindow(window);
      PumpFor(300);  // the first paint
    }
    return window;
  }

  // A box of the installer once it has been painted.
  HWND Box(LayoutSize size) {
    const HWND box = WaitForInstallerWindow(process_.Pid(), size, kWindowTimeoutMs);
    if (box != nullptr) PumpFor(400);
    return box;
  }

  DWORD ExitCode(DWORD timeoutMs = kInstallTimeoutMs) {
    DWORD code = 99;
    EXPECT_TRUE(process_.Wait(timeoutMs, code)) << "the installer did not end";
    return code;
  }

  // The package's local name for a served file name.
  static std::wstring PackagePath(const std::wstring& servedName) {
    return PackageFolder() + L"\\" + PackageFileName(L"http://h/" + servedName, kChannel);
  }

  // The package's record of its command line (without the leading space
  // the path argument has when "-setDefault" is left out).
  std::string ArgumentsLine(const std::wstring& folder, bool associate = true) {
    return std::string("package: arguments [") + (associate ? "-setDefault " : "") + "-path=\"" +
           WideToUtf8(folder) + "\"]\r\n";
  }

  // Box 507 over page 503, confirmed: the installer ends with 7.
  void ExpectFailureBoxAndSeven(const wchar_t* screenshot = nullptr) {
    const HWND box = Box(kExitBoxSize);
    ASSERT_NE(nullptr, box) << "no box 507";
    if (screenshot != nullptr) {
      EXPECT_NE(L"", SaveScreenshot(box, screenshot));
    }
    EXPECT_NE(nullptr, FindInstallerWindow(process_.Pid(), kProgressSize)) << "page 503 stays behind the box";
    ClickAt(box, kFailureOk);
    EXPECT_EQ(7u, ExitCode());
  }

  ProductSandbox sandbox_;
  ChildProcess process_;
};

TEST_F(WindowedInstallerTest, InstallClickDownloadsRunsThePackageIntoTheShownFolderAndStartsTheEditor) {
  // Sent in pieces, so that page 503 is seen while the download runs.
  const HWND page = Start(ServePackage(L"zelkpic_KUID_100090_click.exe", L"?trickle=40&chunk=2048"));
  ASSERT_NE(nullptr, page);
  EXPECT_NE(L"", SaveScreenshot(page, L"installer_page_502"));

  ClickAt(page, kInstallButton);
  const HWND progress = WaitForInstallerWindow(process_.Pid(), kProgressSize, kWindowTimeoutMs);
  ASSERT_NE(nullptr, progress) << "no page 503";
  EXPECT_EQ(page, progress) << "the pages share one window";
  // Two progress ticks into the download.
  PumpFor(2000);
  EXPECT_FALSE(TestServer::Requests("/files/zelkpic_KUID_100090_click.exe").empty());
  EXPECT_NE(L"", SaveScreenshot(progress, L"installer_page_503"));
  EXPECT_EQ("", sandbox_.Log()) << "the package ran before its download ended";

  EXPECT_EQ(0u, ExitCode());
  const std::string log = sandbox_.Log();
  EXPECT_TRUE(zelk::test::RanFromRunFolder(log, Kx::FileNameOf(PackagePath(L"zelkpic_KUID_100090_click.exe"))))
      << log;
  EXPECT_TRUE(HasLine(log, ArgumentsLine(kExpectedDefaultInstallDir))) << log;
  EXPECT_TRUE(HasLine(log, "editor: started")) << log;
  EXPECT_FALSE(Kx::Exists(PackageFolder()));
}

TEST_F(WindowedInstallerTest, UntickedTermsAskFirstRefusingKeepsThePageAndAcceptingInstalls) {
  FakeBrowser browser;
  const std::wstring served = L"zelkpic_KUID_100090_terms.exe";
  const HWND page = Start(ServePackage(served));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kAgreeCheck);

  ClickAt(page, kInstallButton);
  HWND box = Box(kAgreementSize);
  ASSERT_NE(nullptr, box) << "no box 506";
  EXPECT_NE(L"", SaveScreenshot(box, L"installer_box_506"));
  // Both links open the one help page; the box stays.
  for (const POINT link : {kAgreementLicence, kAgreementPrivacy}) {
    ClickAt(box, link);
    const std::wstring opened = browser.Next(15000);
    EXPECT_NE(std::wstring::npos, opened.find(L"https://www.zelkpdf.com/help.htm#newboy_4")) << WideToUtf8(opened);
    EXPECT_TRUE(IsWindowVisible(box));
  }
  ClickAt(box, kAgreementRefuse);
  ASSERT_TRUE(WaitForNoInstallerWindow(process_.Pid(), kAgreementSize, kWindowTimeoutMs));
  PumpFor(1000);
  EXPECT_EQ(page, FindInstallerWindow(process_.Pid(), kReadySize)) << "page 502 left";
  EXPECT_TRUE(TestServer::Requests("/files/" + WideToUtf8(served)).empty()) << "downloaded without consent";

  // Still unticked: the box comes again, and accepting installs.
  ClickAt(page, kInstallButton);
  box = Box(kAgreementSize);
  ASSERT_NE(nullptr, box) << "the terms box was ticked by refusing";
  ClickAt(box, kAgreementAccept);
  EXPECT_EQ(0u, ExitCode());
  EXPECT_TRUE(HasLine(sandbox_.Log(), ArgumentsLine(kExpectedDefaultInstallDir))) << sandbox_.Log();
}

TEST_F(WindowedInstallerTest, UntickingThePdfAssociationRunsThePackageWithoutSetDefault) {
  const HWND page = Start(ServePackage(L"zelkpic_KUID_100090_noassoc.exe"));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kAssociateCheck);
  ClickAt(page, kInstallButton);
  EXPECT_EQ(0u, ExitCode());
  const std::string log = sandbox_.Log();
  EXPECT_TRUE(HasLine(log, ArgumentsLine(DefaultInstallDir(32), false))) << log;
  EXPECT_EQ(std::string::npos, log.find("-setDefault")) << log;
}

TEST_F(WindowedInstallerTest, FailedDownloadShowsTheFailureBoxAndExitsSeven) {
  const HWND page = Start(TestServer::RefusedUrl(L"/zelkpic_KUID_100090_v10.10.exe"));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kInstallButton);
  ExpectFailureBoxAndSeven(L"installer_box_507");
  EXPECT_EQ("", sandbox_.Log());
}

// A server that never answers the connection: the installer, with the
// listed publisher's libcurl beside it, tries libcurl until its connect
// timeout, then WinINet, and shows its failure box within a minute of the
// click (the silent wait of a user who has no way to tell what goes on).
TEST_F(WindowedInstallerTest, AServerThatNeverAnswersShowsTheFailureBoxWithinAMinute) {
  constexpr DWORD kPromisedMs = 60000;
  // libcurl's connect timeout, then at least one WinINet open that runs
  // into its call limit.
  constexpr DWORD kBothTransportsMs = 15000 + 16000;
  ASSERT_TRUE(CopyFileW((BinDir() + L"\\silent_fixtures\\libcurl_x86.dll").c_str(),
                        sandbox_.Temp().Join(L"libcurl_x86.dll").c_str(), FALSE));
  const HWND page = Start(TestServer::UnansweredUrl(L"/zelkpic_KUID_100090_v10.10.exe"));
  ASSERT_NE(nullptr, page);
  const DWORD clicked = GetTickCount();
  ClickAt(page, kInstallButton);
  const HWND box = WaitForInstallerWindow(process_.Pid(), kExitBoxSize, 2 * kPromisedMs);
  const DWORD elapsed = GetTickCount() - clicked;
  ASSERT_NE(nullptr, box) << "no box 507 after " << elapsed << " ms";
  EXPECT_LT(elapsed, kPromisedMs);
  EXPECT_GE(elapsed, kBothTransportsMs);
  EXPECT_TRUE(ProcessHasModule(process_.Pid(), L"libcurl_x86.dll")) << "libcurl was not tried";
  std::printf("[ timing   ] click to box 507: %lu ms\n", static_cast<unsigned long>(elapsed));
  PumpFor(400);
  ClickAt(box, kFailureOk);
  EXPECT_EQ(7u, ExitCode());
}

struct WindowedTrustCase {
  const char* label;
  const wchar_t* package;  // in bin\silent_fixtures
  bool installs;
};

class WindowedTrustTest : public WindowedInstallerTest, public testing::WithParamInterface<WindowedTrustCase> {};

// The signed installer: only a listed publisher's package runs; any other
// fails the install as a broken download does.
TEST_P(WindowedTrustTest, SignedInstallerInstallsOnlyAListedPublishersPackage) {
  const std::wstring served = L"zelkpic_KUID_100090_trust.exe";
  const HWND page = Start(ServePackage(served, L"", GetParam().package));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kInstallButton);
  if (GetParam().installs) {
    EXPECT_EQ(0u, ExitCode());
    EXPECT_TRUE(HasLine(sandbox_.Log(), ArgumentsLine(kExpectedDefaultInstallDir))) << sandbox_.Log();
    EXPECT_TRUE(HasLine(sandbox_.Log(), "editor: started")) << sandbox_.Log();
  } else {
    ExpectFailureBoxAndSeven();
    EXPECT_EQ("", sandbox_.Log()) << "a refused package ran";
    EXPECT_TRUE(Kx::FileExists(PackagePath(served))) << "the refused package is kept where it was downloaded";
  }
}

INSTANTIATE_TEST_SUITE_P(Packages, WindowedTrustTest,
                         testing::Values(WindowedTrustCase{"Listed", L"product_10.10.0.0.exe", true},
                                         WindowedTrustCase{"Unlisted", L"product_unlisted.exe", false},
                                         WindowedTrustCase{"Unsigned", L"product_unsigned.exe", false}),
                         [](const testing::TestParamInfo<WindowedTrustCase>& info) {
                           return std::string(info.param.label);
                         });

// The page does not wait for WinTrust: the installer's own signature is
// read, from its file held since the start, only once a package needs it.
TEST_F(WindowedInstallerTest, ThePageIsUpBeforeAnySignatureIsChecked) {
  const HWND page = Start(TestServer::RefusedUrl(L"/unused.exe"));
  ASSERT_NE(nullptr, page);
  ASSERT_TRUE(ProcessHasModule(process_.Pid(), L"gdiplus.dll")) << "the modules cannot be listed";
  EXPECT_FALSE(ProcessHasModule(process_.Pid(), L"wintrust.dll"));
}

TEST_F(WindowedInstallerTest, EscapeAsksBeforeLeavingCancelKeepsOkExitsFive) {
  const HWND page = Start(TestServer::RefusedUrl(L"/unused.exe"));
  ASSERT_NE(nullptr, page);
  PressKey(page, VK_ESCAPE);
  HWND box = Box(kExitBoxSize);
  ASSERT_NE(nullptr, box) << "no box 501";
  EXPECT_NE(L"", SaveScreenshot(box, L"installer_box_501"));
  ClickAt(box, kExitCancel);
  ASSERT_TRUE(WaitForNoInstallerWindow(process_.Pid(), kExitBoxSize, kWindowTimeoutMs));
  DWORD code = 0;
  EXPECT_FALSE(process_.Wait(500, code)) << "cancel ended the installer";

  PressKey(page, VK_ESCAPE);
  box = Box(kExitBoxSize);
  ASSERT_NE(nullptr, box);
  ClickAt(box, kExitOk);
  EXPECT_EQ(5u, ExitCode(kWindowTimeoutMs));
}

TEST_F(WindowedInstallerTest, EscapeDuringTheDownloadAsksAndOkCancelsItWithFive) {
  // The server sends a little and then nothing: the download hangs.
  const HWND page = Start(ServePackage(L"zelkpic_KUID_100090_stall.exe", L"?stall=20000"));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kInstallButton);
  ASSERT_NE(nullptr, WaitForInstallerWindow(process_.Pid(), kProgressSize, kWindowTimeoutMs));
  PumpFor(1000);
  PressKey(page, VK_ESCAPE);
  const HWND box = Box(kExitBoxSize);
  ASSERT_NE(nullptr, box) << "Escape on page 503 did not ask";
  ClickAt(box, kExitOk);
  // The download is cancelled, so the worker ends within its second: not 8.
  EXPECT_EQ(5u, ExitCode(kWindowTimeoutMs));
  EXPECT_EQ("", sandbox_.Log());
}

TEST_F(WindowedInstallerTest, LeavingWhileThePackageRunsEndsWithEightAndLeavesThePackageRunning) {
  SetEnvironmentVariableW(L"ZELK_DEMO_PACKAGE_WAIT", L"60000");
  const std::wstring served = L"zelkpic_KUID_100090_busy.exe";
  const HWND page = Start(ServePackage(served));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kInstallButton);
  ASSERT_TRUE(PumpUntil([&] { return HasLine(sandbox_.Log(), "package: arguments"); }, kInstallTimeoutMs))
      << "the package did not start";
  const std::wstring packageName = PackageFileName(L"http://h/" + served, kChannel);
  std::vector<DWORD> packages = ProcessesNamed(packageName);
  ASSERT_EQ(1u, packages.size());

  PressKey(page, VK_ESCAPE);
  const HWND box = Box(kExitBoxSize);
  ASSERT_NE(nullptr, box);
  ClickAt(box, kExitOk);
  const DWORD confirmed = GetTickCount();
  EXPECT_EQ(8u, ExitCode(kWindowTimeoutMs));
  // It waited its second for the worker first.
  EXPECT_GE(GetTickCount() - confirmed, 800u);
  EXPECT_EQ(packages, ProcessesNamed(packageName)) << "the package was ended with the installer";
  for (const DWORD pid : packages) KillProcess(pid);
}

TEST_F(WindowedInstallerTest, ReturnWhileInstallingStartsNoSecondInstall) {
  const std::wstring served = L"zelkpic_KUID_100090_twice.exe";
  const HWND page = Start(ServePackage(served, L"?trickle=40&chunk=4096"));
  ASSERT_NE(nullptr, page);
  ClickAt(page, kInstallButton);
  ASSERT_NE(nullptr, WaitForInstallerWindow(process_.Pid(), kProgressSize, kWindowTimeoutMs));
  // Return asks for the install as the button does.
  PressKey(page, VK_RETURN);
  PressKey(page, VK_RETURN);
  EXPECT_EQ(0u, ExitCode());
  EXPECT_EQ(1u, TestServer::Requests("/files/" + WideToUtf8(served)).size());
  EXPECT_EQ(1u, CountOf(sandbox_.Log(), "package: file ")) << sandbox_.Log();
}

}  // namespace
}  // namespace zelk::test
