// The install flow against the test server: the real installer run
// silently, and the flow in this process reporting to a real window.
#include "app/InstallFlow.h"

#include <gtest/gtest.h>

#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "download/TemporaryFileCommit.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/FolderLink.h"
#include "tests/support/TestServer.h"

namespace {

using zelk::test::ChildProcess;
using zelk::test::InstallerSigning;
using zelk::test::kExpectedDefaultInstallDir;
using zelk::test::MessageWindow;
using zelk::test::ProductSandbox;
using zelk::test::RanFromRunFolder;
using zelk::test::Quote;
using zelk::test::ReceivedMessage;
using zelk::test::SilentFixture;
using zelk::test::TestServer;

struct NameCase {
  const wchar_t* url;
  const wchar_t* channel;
  const wchar_t* name;
};

TEST(PackageFileNameTest, ChannelReplacesTheTokenOrTheFallbackIsUsed) {
  const NameCase cases[] = {
      {L"https://h/tg/pic/zelkpic_KUID_100090_v10.10.exe", L"1234", L"zelkpic_1234_100090_v10.10.exe"},
      {L"https://h/tg/pic/zelkpic_KUID_100090_v10.10.exe", L"", L"ZelkPic_package.exe"},
      {L"https://h/tg/pic/zelkpicKUID.exe", L"1234", L"ZelkPic_package.exe"},
      {L"https://h/tg/pic/zelkpic_100090_v10.exe", L"1234", L"ZelkPic_package.exe"},
      {L"https://h/tg/pic/zelkpic_kuid_100090_v10.exe", L"1234", L"ZelkPic_package.exe"},
      // Once "KUID" is there, every piece that reads kuid in any case is replaced.
      {L"https://h/tg/pic/a_KUID_kuid_b.exe", L"77", L"a_77_77_b.exe"},
      {L"", L"1234", L"ZelkPic_package.exe"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(c.name, PackageFileName(c.url, c.channel)) << c.url << " / " << c.channel;
  }
}

std::vector<ReceivedMessage> Stages(const std::vector<ReceivedMessage>& messages) {
  std::vector<ReceivedMessage> stages;
  for (const ReceivedMessage& m : messages) {
    if (m.message == WM_INSTALLER_STAGE) stages.push_back(m);
  }
  return stages;
}

const ReceivedMessage* LastFinish(const std::vector<ReceivedMessage>& messages) {
  const ReceivedMessage* finish = nullptr;
  for (const ReceivedMessage& m : messages) {
    if (m.message == WM_INSTALLER_DOWNLOAD && m.state == 2) finish = &m;
  }
  return finish;
}

class InstallFlowTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1"; }

  // Serves `product` as /files/`name` and returns its address.
  static std::wstring Serve(const std::wstring& product, const std::wstring& name) {
    EXPECT_TRUE(zelk::test::ServeFile(product, name));
    return TestServer::Url(L"/files/" + name);
  }

  std::vector<ReceivedMessage> Run(const std::wstring& url, const std::wstring& installPath = L"") {
    LaunchConfig config;
    config.channel = L"1234";
    RunInstallFrom(url, config, window_.Handle(), installPath);
    return window_.Drain();
  }

  ProductSandbox sandbox_;
  MessageWindow window_;
};

TEST_F(InstallFlowTest, ServerDownOr404RunsNothingAndLeavesNoFile) {
  const std::wstring urls[] = {
      TestServer::RefusedUrl(L"/zelkpic_KUID_100090_v10.10.exe"),
      TestServer::Url(L"/zelkpic_KUID_100090_v10.10.exe?status=404&size=5000"),
      // Every answer breaks off early, also the one to the retry.
      TestServer::Url(L"/zelkpic_KUID_100090_v10.10.exe?size=100000&cut=30000"),
  };
  for (const std::wstring& url : urls) {
    const std::vector<ReceivedMessage> messages = Run(url);
    const std::vector<ReceivedMessage> stages = Stages(messages);
    ASSERT_EQ(1u, stages.size()) << zelk::test::WideToUtf8(url);
    EXPECT_EQ(kStageFinished, stages[0].wParam);
    EXPECT_EQ(1, stages[0].lParam);
    const ReceivedMessage* finish = LastFinish(messages);
    ASSERT_NE(nullptr, finish);
    EXPECT_FALSE(finish->success);
    const std::wstring target = PackageFolder() + L"\\zelkpic_1234_100090_v10.10.exe";
    EXPECT_FALSE(Kx::Exists(target));
    EXPECT_FALSE(Kx::Exists(Kx::TemporaryPathFor(target)));
  }
  EXPECT_EQ("", sandbox_.Log());
}

// The signer check decides, wherever the package comes from: over plain
// http, and over https from a server whose certificate chains to a root
// nobody trusts. WinINet refuses that server, but libcurl (beside this
// program, as beside the installer) does not check certificates and
// fetches the package; then an unlisted package stays unrun and a listed one
// runs.
TEST_F(InstallFlowTest, OnlyAListedPackageRunsWhereverItComesFrom) {
  const std::wstring name = L"zelkpic_KUID_100090_v10.10.exe";
  struct Case {
    const char* name;
    std::wstring url;
    bool overTls;
    const wchar_t* package;
    bool runs;
  };
  const Case cases[] = {
      {"unlisted over plain http", TestServer::Url(L"/files/" + name), false, L"product_unlisted.exe", false},
      {"unlisted over https under an untrusted root", TestServer::UntrustedHttpsUrl(L"/files/" + name), true,
       L"product_unlisted.exe", false},
      {"listed over https under an untrusted root", TestServer::UntrustedHttpsUrl(L"/files/" + name), true,
       L"product_10.10.0.0.exe", true},
  };
  // The installer signed by a listed publisher: its own-signer rule does not
  // let the unlisted package through.
  const zelk::test::SignedInstallerScope installer;
  ASSERT_TRUE(installer.Loaded());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProductSandbox sandbox;
    ASSERT_TRUE(zelk::test::ServeFile(SilentFixture(c.package), name));
    const std::vector<ReceivedMessage> messages = Run(c.url);

    const std::vector<zelk::test::RecordedRequest> log = TestServer::Requests("/files/" + zelk::test::WideToUtf8(name));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(c.overTls, log.back().overTls);
    const ReceivedMessage* finish = LastFinish(messages);
    ASSERT_NE(nullptr, finish);
    EXPECT_EQ(c.runs, finish->success);
    const std::vector<ReceivedMessage> stages = Stages(messages);
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(kStageFinished, stages.back().wParam);
    if (c.runs) {
      EXPECT_EQ(kStagePackageRunning, stages[0].wParam);
      EXPECT_EQ(0, stages.back().lParam);
      EXPECT_NE(std::string::npos, sandbox.Log().find("package: arguments")) << sandbox.Log();
      continue;
    }
    EXPECT_EQ(1u, stages.size());
    EXPECT_EQ(1, stages.back().lParam);
    EXPECT_EQ(L"", finish->path);
    EXPECT_TRUE(Kx::FileExists(PackageFolder() + L"\\zelkpic_1234_100090_v10.10.exe"));
    EXPECT_EQ("", sandbox.Log());
  }
}

TEST_F(InstallFlowTest, CurrentEditorFinishesWithSuccessWithoutRunningThePackage) {
  sandbox_.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  const std::vector<ReceivedMessage> stages =
      Stages(Run(Serve(SilentFixture(L"product_10.9.9.9.exe"), L"zelkpic_KUID_100090_v10.10.exe")));
  ASSERT_EQ(1u, stages.size());
  EXPECT_EQ(kStageFinished, stages[0].wParam);
  EXPECT_EQ(0, stages[0].lParam);
  EXPECT_EQ("", sandbox_.Log());
  // Not run, so not cleaned up either.
  EXPECT_TRUE(Kx::FileExists(PackageFolder() + L"\\zelkpic_1234_100090_v10.10.exe"));
}

TEST_F(InstallFlowTest, NewerPackageRunsIntoTheChosenFolder) {
  sandbox_.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  const std::wstring target = sandbox_.Temp().Join(L"chosen");
  const std::vector<ReceivedMessage> stages =
      Stages(Run(Serve(SilentFixture(L"product_10.10.0.1.exe"), L"zelkpic_KUID_100090_v10.10.exe"), target));
  ASSERT_EQ(2u, stages.size());
  EXPECT_EQ(kStagePackageRunning, stages[0].wParam);
  EXPECT_EQ(kStageFinished, stages[1].wParam);
  EXPECT_EQ(0, stages[1].lParam);
  EXPECT_NE(std::string::npos, sandbox_.Log().find("package: arguments [-setDefault -path=\"" +
                                                   zelk::test::WideToUtf8(target) + "\"]"))
      << sandbox_.Log();
  EXPECT_EQ(target + L"\\", InstalledProductDir());
  EXPECT_FALSE(Kx::Exists(PackageFolder()));
}

TEST_F(InstallFlowTest, PackageThatCannotStartFailsAndIsRemoved) {
  // This test program is unsigned, so the signer check lets any file
  // through; bytes that are no program then fail to start.
  const std::vector<ReceivedMessage> stages =
      Stages(Run(TestServer::Url(L"/zelkpic_KUID_100090_v10.10.exe?size=70000")));
  ASSERT_EQ(2u, stages.size());
  EXPECT_EQ(kStagePackageRunning, stages[0].wParam);
  EXPECT_EQ(kStageFinished, stages[1].wParam);
  EXPECT_EQ(1, stages[1].lParam);
  EXPECT_FALSE(Kx::Exists(PackageFolder()));
}

TEST_F(InstallFlowTest, LinkInPlaceOfThePackageFolderIsNeverWrittenOrDeletedThrough) {
  // Elsewhere, a file of the package's name that an older file removal
  // would delete, and one the clean-up would have to leave.
  const std::wstring target = sandbox_.Temp().Join(L"elsewhere");
  ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
  const std::wstring named = target + L"\\zelkpic_1234_100090_v10.10.exe";
  ASSERT_TRUE(zelk::test::WriteFileBytes(named, "not the package"));
  ASSERT_TRUE(zelk::test::WriteFileBytes(target + L"\\other.txt", "kept"));
  std::vector<ReceivedMessage> messages;
  {
    const zelk::test::FolderLink link(PackageFolder(), target);
    ASSERT_TRUE(link.Made());
    messages = Run(Serve(SilentFixture(L"product_10.10.0.0.exe"), L"zelkpic_KUID_100090_v10.10.exe"));
    // Windows removes the link and downloads into a real folder; Wine
    // cannot remove a Linux link, so there the install has to fail.
    const std::vector<ReceivedMessage> stages = Stages(messages);
    ASSERT_FALSE(stages.empty());
    EXPECT_EQ(zelk::test::RunningUnderWine(), Kx::IsLink(PackageFolder()));
    EXPECT_EQ(Kx::IsLink(PackageFolder()) ? 1 : 0, stages.back().lParam);
  }
  std::string bytes;
  EXPECT_TRUE(zelk::test::ReadFileBytes(named, bytes));
  EXPECT_EQ("not the package", bytes);
  EXPECT_TRUE(zelk::test::ReadFileBytes(target + L"\\other.txt", bytes));
  EXPECT_EQ("kept", bytes);
  EXPECT_FALSE(Kx::Exists(Kx::TemporaryPathFor(named)));
  Kx::FindState state;
  int entries = 0;
  for (bool found = Kx::FindFirst(target + L"\\*", state); found; found = Kx::FindNext(state)) {
    if (!state.IsDotEntry()) ++entries;
  }
  EXPECT_EQ(2, entries) << "something was written through the link";
}

// The real installer, copied under a channel name and pointed at the server.
class SilentInstallerTest : public InstallFlowTest {
 protected:
  DWORD RunInstaller(const std::wstring& name, const std::wstring& url,
                     InstallerSigning signing = InstallerSigning::kListedPublisher) {
    std::wstring installer;
    EXPECT_TRUE(zelk::test::RepointedInstaller(sandbox_.Temp().Path(), name, url, installer, signing));
    ChildProcess process;
    EXPECT_TRUE(process.Start(Quote(installer) + L" /s"));
    DWORD exitCode = 99;
    EXPECT_TRUE(process.Wait(120000, exitCode)) << "the silent installer did not end";
    return exitCode;
  }
};

TEST_F(SilentInstallerTest, DownloadsVerifiesRunsAndRemovesThePackage) {
  const DWORD exitCode =
      RunInstaller(L"zelkpdf_1234.exe", Serve(SilentFixture(L"product_10.10.0.0.exe"), L"zelkpic_KUID_100090_v10.10.exe"));
  EXPECT_EQ(1u, exitCode);
  const std::string log = sandbox_.Log();
  EXPECT_TRUE(RanFromRunFolder(log, L"zelkpic_1234_100090_v10.10.exe")) << log;
  EXPECT_NE(std::string::npos, log.find("package: arguments [-setDefault]\r\n")) << log;
  EXPECT_FALSE(Kx::Exists(PackageFolder())) << "package or its folder left behind";
  EXPECT_TRUE(Kx::FileExists(std::wstring(kExpectedDefaultInstallDir) + L"\\ZelkPdfEditor.exe"));
  EXPECT_EQ(std::wstring(kExpectedDefaultInstallDir) + L"\\", InstalledProductDir());
}

const char* SigningName(InstallerSigning signing) {
  switch (signing) {
    case InstallerSigning::kListedPublisher:
      return "signed by a listed publisher";
    case InstallerSigning::kUnsigned:
      return "unsigned";
    case InstallerSigning::kAlteredAfterSigning:
      return "altered after signing";
  }
  return "?";
}

struct TrustCase {
  InstallerSigning installer;
  const wchar_t* package;  // in bin\silent_fixtures
  bool runs;
};

TEST_F(SilentInstallerTest, SignedInstallerRunsOnlyListedPackagesAnUnsignedOneRunsAny) {
  const wchar_t* const listed = L"product_10.10.0.0.exe";
  const wchar_t* const unlisted = L"product_unlisted.exe";
  const wchar_t* const unsignedBuild = L"product_unsigned.exe";
  const TrustCase cases[] = {
      {InstallerSigning::kListedPublisher, listed, true},
      {InstallerSigning::kListedPublisher, unlisted, false},
      {InstallerSigning::kListedPublisher, unsignedBuild, false},
      // Setting the address after signing breaks the installer's signature,
      // which then vouches for nothing: a listed package passes on its own,
      // no other does (what a test's copy would do if not signed again).
      {InstallerSigning::kAlteredAfterSigning, listed, true},
      {InstallerSigning::kAlteredAfterSigning, unlisted, false},
      {InstallerSigning::kAlteredAfterSigning, unsignedBuild, false},
      {InstallerSigning::kUnsigned, unlisted, true},
      {InstallerSigning::kUnsigned, unsignedBuild, true},
  };
  for (const TrustCase& c : cases) {
    ProductSandbox sandbox;
    const std::wstring url = Serve(SilentFixture(c.package), L"zelkpic_KUID_100090_v10.10.exe");
    std::wstring installer;
    ASSERT_TRUE(zelk::test::RepointedInstaller(sandbox.Temp().Path(), L"zelkpdf_1234.exe", url, installer,
                                               c.installer));
    ChildProcess process;
    ASSERT_TRUE(process.Start(Quote(installer) + L" /s"));
    DWORD exitCode = 99;
    ASSERT_TRUE(process.Wait(120000, exitCode));
    const std::string what = std::string("installer ") + SigningName(c.installer) + ", package " +
                             zelk::test::WideToUtf8(c.package) + "\n" + sandbox.Log();
    EXPECT_EQ(1u, exitCode) << what;
    EXPECT_EQ(c.runs, sandbox.Log().find("package: file ") != std::string::npos) << what;
    // A refused package stays where it was downloaded; a run one is removed.
    EXPECT_EQ(!c.runs, Kx::FileExists(PackageFolder() + L"\\zelkpic_1234_100090_v10.10.exe")) << what;
    EXPECT_EQ(c.runs, Kx::FileExists(std::wstring(kExpectedDefaultInstallDir) + L"\\ZelkPdfEditor.exe")) << what;
  }
}

struct FallbackCase {
  const wchar_t* installerName;
  const wchar_t* servedName;
};

TEST_F(SilentInstallerTest, FallbackNameForNoChannelNoUnderscoreOrLowerCaseToken) {
  const FallbackCase cases[] = {
      {L"setup.exe", L"zelkpic_KUID_100090_v10.10.exe"},
      {L"zelkpdf_1234.exe", L"zelkpicKUID.exe"},
      // (Another number than the file served above: Wine's file names ignore case.)
      {L"zelkpdf_1234.exe", L"zelkpic_kuid_100091_v10.10.exe"},
  };
  for (const FallbackCase& c : cases) {
    ProductSandbox sandbox;
    const std::wstring url = Serve(SilentFixture(L"product_10.10.0.0.exe"), c.servedName);
    std::wstring installer;
    ASSERT_TRUE(zelk::test::RepointedInstaller(sandbox.Temp().Path(), c.installerName, url, installer));
    ChildProcess process;
    ASSERT_TRUE(process.Start(Quote(installer) + L" /s"));
    DWORD exitCode = 99;
    ASSERT_TRUE(process.Wait(120000, exitCode));
    EXPECT_EQ(1u, exitCode);
    EXPECT_TRUE(RanFromRunFolder(sandbox.Log(), L"ZelkPic_package.exe"))
        << zelk::test::WideToUtf8(c.installerName) << " "
                                                               << zelk::test::WideToUtf8(url) << "\n"
                                                               << sandbox.Log();
  }
}

}  // namespace
