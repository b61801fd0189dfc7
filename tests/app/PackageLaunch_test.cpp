// Running the package: its arguments, the hold against change between the
// signer check and the start, the clean-up, and the installed-product check
// on real signed builds of the demo product.
#include "app/PackageLaunch.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/ProtectedFolder.h"
#include "base/Registry.h"
#include "base/StringUtil.h"
#include "verify/SignerVerifier.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/AdministratorsOnlyDacl.h"
#include "tests/support/FolderLink.h"
#include "tests/verify/SignedFixtures.h"

namespace {

using zelk::test::BinDir;
using zelk::test::ChildProcess;
using zelk::test::ProductSandbox;
using zelk::test::Quote;
using zelk::test::SignedInstallerScope;
using zelk::test::SilentFixture;

// The demo product builds chain to the root of their own make-certs run.
testing::Environment* const g_silentRoot =
    testing::AddGlobalTestEnvironment(new zelk::test::TestRootEnvironment(L"silent_fixtures"));

struct ArgumentCase {
  bool associate;
  const wchar_t* installPath;
  const wchar_t* arguments;
};

TEST(PackageArgumentsTest, SwitchAndQuotedFolder) {
  const ArgumentCase cases[] = {
      {false, L"", L""},
      {true, L"", L"-setDefault"},
      {false, L"D:\\x", L" -path=\"D:\\x\""},
      {true, L"D:\\x", L"-setDefault -path=\"D:\\x\""},
  };
  for (const ArgumentCase& c : cases) {
    EXPECT_EQ(c.arguments, PackageArguments(c.associate, c.installPath)) << c.associate << " " << c.installPath;
  }
}

// Restores the process-wide association flag after a case.
class AssociationScope {
 public:
  explicit AssociationScope(bool value) : old_(associatePdf.exchange(value)) {}
  ~AssociationScope() { associatePdf = old_; }

 private:
  bool old_;
};

class RunPackageTest : public testing::Test {
 protected:
  // A copy of a signed product build as the package, alone in its folder.
  std::wstring PlacePackage(const std::wstring& product = L"product_10.10.0.0.exe") {
    folder_ = sandbox_.Temp().Join(L"ZelkPic");
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring package = folder_ + L"\\zelkpic_1234_100090_v10.10.exe";
    EXPECT_TRUE(CopyFileW(SilentFixture(product).c_str(), package.c_str(), FALSE));
    return package;
  }

  ProductSandbox sandbox_;
  std::wstring folder_;
};

struct LaunchCase {
  bool associate;
  const wchar_t* installPath;  // relative to the case's temporary folder; empty for none
  const char* loggedArguments;
};

TEST_F(RunPackageTest, PackageGetsExactlyItsArgumentsAndIsRemovedWithItsFolder) {
  const LaunchCase cases[] = {
      {false, L"", "package: arguments []"},
      {true, L"", "package: arguments [-setDefault]"},
      {true, L"target dir", "package: arguments [-setDefault -path=\"%s\"]"},
  };
  for (const LaunchCase& c : cases) {
    ProductSandbox sandbox;
    const std::wstring folder = sandbox.Temp().Join(L"ZelkPic");
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring package = folder + L"\\zelkpic_1234_100090_v10.10.exe";
    ASSERT_TRUE(CopyFileW(SilentFixture(L"product_10.10.0.0.exe").c_str(), package.c_str(), FALSE));
    const std::wstring installPath = *c.installPath ? sandbox.Temp().Join(c.installPath) : L"";
    const AssociationScope association(c.associate);

    ASSERT_TRUE(RunPackage(package, installPath));

    char expected[600];
    snprintf(expected, sizeof(expected), c.loggedArguments, zelk::test::WideToUtf8(installPath).c_str());
    const std::string log = sandbox.Log();
    EXPECT_NE(std::string::npos, log.find(std::string(expected) + "\r\n")) << log;
    EXPECT_FALSE(Kx::Exists(package));
    EXPECT_FALSE(Kx::Exists(folder)) << "the emptied package folder stays";
    // The package ran to its end before RunPackage returned: it installed.
    const std::wstring installed = installPath.empty() ? DefaultInstallDir(32) : installPath;
    EXPECT_TRUE(Kx::FileExists(installed + L"\\ZelkPdfEditor.exe"));
    EXPECT_EQ(installed + L"\\", InstalledProductDir());
  }
}

TEST_F(RunPackageTest, FolderWithOtherFilesStays) {
  const std::wstring package = PlacePackage();
  ASSERT_TRUE(zelk::test::WriteFileBytes(folder_ + L"\\other.txt", "kept"));
  ASSERT_TRUE(RunPackage(package, sandbox_.Temp().Join(L"target")));
  EXPECT_FALSE(Kx::Exists(package));
  EXPECT_TRUE(Kx::FileExists(folder_ + L"\\other.txt"));
}

TEST_F(RunPackageTest, MissingPackageIsNotRun) {
  EXPECT_FALSE(RunPackage(sandbox_.Temp().Join(L"absent.exe"), L""));
  EXPECT_EQ("", sandbox_.Log());
}

TEST_F(RunPackageTest, OtherProcessCannotWriteOrDeleteThePackageWhileItIsHeld) {
  const std::wstring package = PlacePackage();
  DWORD probeResult = 99;
  bool called = false;
  const bool started = RunPackage(package, sandbox_.Temp().Join(L"target"), [&](const std::wstring& held) {
    called = true;
    EXPECT_EQ(Kx::FileNameOf(package), Kx::FileNameOf(held)) << "the copy that runs";
    ChildProcess probe;
    ASSERT_TRUE(probe.Start(Quote(BinDir() + L"\\file_probe.exe") + L" " + Quote(held)));
    ASSERT_TRUE(probe.Wait(60000, probeResult));
  });
  ASSERT_TRUE(called);
  EXPECT_EQ(0u, probeResult) << "bit 1: opened for writing, bit 2: deleted";
  EXPECT_TRUE(started) << "the held file still starts";
  EXPECT_NE(std::string::npos, sandbox_.Log().find("package: installed")) << sandbox_.Log();
  EXPECT_FALSE(Kx::Exists(package));
}

// The run folders now under the Windows folder's Temp.
std::vector<std::wstring> RunFolders() {
  std::wstring systemTemp;
  std::vector<std::wstring> names;
  if (!Kx::ProtectedFolder::SystemTempFolder(systemTemp)) return names;
  Kx::FindState state;
  for (bool found = Kx::FindFirst(systemTemp + L"\\ZelkPic.*", state); found; found = Kx::FindNext(state)) {
    names.push_back(state.Name());
  }
  return names;
}

// The text after `key` up to the end of its line in the demo log.
std::string LoggedValue(const std::string& log, const std::string& key) {
  const size_t at = log.find(key);
  if (at == std::string::npos) return std::string();
  const size_t start = at + key.size();
  return log.substr(start, log.find("\r\n", start) - start);
}

TEST_F(RunPackageTest, PackageRunsFromAFolderOnlyAdministratorsCanChange) {
  const std::wstring package = PlacePackage();
  // What anyone may leave beside the downloaded package: Windows would load
  // it into the elevated package from the package's own folder.
  const std::wstring planted = folder_ + L"\\version.dll";
  ASSERT_TRUE(CopyFileW(SilentFixture(L"product_unlisted.exe").c_str(), planted.c_str(), FALSE));
  const std::vector<std::wstring> before = RunFolders();
  std::wstring runFolder;
  std::string securityProblem = "not looked at";
  ASSERT_TRUE(RunPackage(package, L"", [&](const std::wstring& held) {
    const std::wstring folder = held.substr(0, held.size() - Kx::FileNameOf(held).size());
    runFolder = Kx::NormalisePath(folder, Kx::kPathNoTrailingSeparator);
    securityProblem = zelk::test::StoredProblem(runFolder);
  }));

  std::wstring systemTemp;
  ASSERT_TRUE(Kx::ProtectedFolder::SystemTempFolder(systemTemp));
  const std::wstring prefix = systemTemp + L"\\ZelkPic.";
  ASSERT_EQ(prefix, runFolder.substr(0, prefix.size())) << zelk::test::WideToUtf8(runFolder);
  const std::string log = sandbox_.Log();
  const std::string name = zelk::test::WideToUtf8(Kx::FileNameOf(package));
  // Windows names the program's file as the disk spells its folders.
  EXPECT_TRUE(Kx::EqualsNoCase(runFolder + L"\\" + Kx::FileNameOf(package),
                               zelk::test::Utf8ToWide(LoggedValue(log, "package: file "))))
      << log;
  EXPECT_EQ("[" + name + "]", LoggedValue(log, "package: beside ")) << log;
  EXPECT_EQ(zelk::test::WideToUtf8(runFolder), LoggedValue(log, "package: working folder ")) << log;
  if (zelk::test::RunningUnderWine()) {
    // Wine 8 keeps no DACL on files (it answers one made from the Linux mode
    // bits); the descriptor the folder is made with is checked in base_tests.
    EXPECT_EQ(std::string::npos, securityProblem.find("unreadable")) << securityProblem;
    EXPECT_NE("not looked at", securityProblem);
  } else {
    EXPECT_EQ("", securityProblem);
  }
  EXPECT_FALSE(Kx::Exists(runFolder)) << "the run folder stays";
  EXPECT_EQ(before, RunFolders());
  EXPECT_FALSE(Kx::Exists(package));
  EXPECT_TRUE(Kx::FileExists(planted)) << "only the package is the installer's to remove";
}

TEST_F(RunPackageTest, AfterTheRunTheFileIsFreeAgain) {
  // Without the hold the same probe can delete the file: the probe is able
  // to see the difference.
  const std::wstring package = PlacePackage();
  ChildProcess probe;
  ASSERT_TRUE(probe.Start(Quote(BinDir() + L"\\file_probe.exe") + L" " + Quote(package)));
  DWORD probeResult = 99;
  ASSERT_TRUE(probe.Wait(60000, probeResult));
  EXPECT_EQ(3u, probeResult);
}

TEST_F(RunPackageTest, UntrustedPackageIsNeitherRunNorDeleted) {
  const SignedInstallerScope installer;
  ASSERT_TRUE(installer.Loaded());
  const std::wstring package = PlacePackage(L"product_unlisted.exe");
  const std::vector<std::wstring> before = RunFolders();
  EXPECT_FALSE(RunPackage(package, sandbox_.Temp().Join(L"target")));
  EXPECT_TRUE(Kx::FileExists(package));
  EXPECT_EQ(before, RunFolders()) << "the checked copy stays behind";
  EXPECT_EQ("", sandbox_.Log());
}

struct CurrentCase {
  const char* label;
  const wchar_t* installed;  // product build installed as the editor; empty for none
  const wchar_t* package;
  bool editorRunning;
  bool current;
  bool installerSigned = true;
};

class InstalledProductTest : public testing::TestWithParam<CurrentCase> {};

TEST_P(InstalledProductTest, DecidesWhetherThePackageMustRun) {
  const CurrentCase& c = GetParam();
  std::unique_ptr<SignedInstallerScope> installer;
  if (c.installerSigned) {
    installer = std::make_unique<SignedInstallerScope>();
    ASSERT_TRUE(installer->Loaded());
  }
  ProductSandbox sandbox;
  ChildProcess editor;
  if (*c.installed) {
    const std::wstring folder = sandbox.InstallEditor(*c.installed == L'\\' ? BinDir() + c.installed
                                                                            : SilentFixture(c.installed));
    EXPECT_EQ(folder + L"\\", InstalledProductDir()) << "the value has no trailing backslash";
    if (c.editorRunning) {
      ASSERT_TRUE(editor.Start(Quote(folder + L"\\ZelkPdfEditor.exe") + L" -stay"));
      for (int i = 0; i < 300 && sandbox.Log().find("editor: started") == std::string::npos; ++i) Sleep(20);
    }
  }
  EXPECT_EQ(c.current, IsInstalledProductCurrent(SilentFixture(c.package)));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, InstalledProductTest,
    testing::Values(
        CurrentCase{"NothingInstalled", L"", L"product_10.10.0.0.exe", false, false},
        CurrentCase{"OlderPackageSkipped", L"product_10.10.0.0.exe", L"product_10.9.9.9.exe", false, true},
        CurrentCase{"SameVersionSkipped", L"product_10.10.0.0.exe", L"product_10.10.0.0.exe", false, true},
        CurrentCase{"NewerPackageRuns", L"product_10.10.0.0.exe", L"product_10.10.0.1.exe", false, false},
        CurrentCase{"RunningEditorSkipsNewerPackage", L"product_10.10.0.0.exe", L"product_10.10.0.1.exe", true,
                    true},
        CurrentCase{"UntrustedEditorNeverCurrent", L"product_unlisted.exe", L"product_10.9.9.9.exe", false,
                    false},
        // An unsigned installer trusts every file: only the missing version decides.
        CurrentCase{"EditorWithoutVersionNeverCurrent", L"\\file_probe.exe", L"product_10.9.9.9.exe", false,
                    false, false}),
    [](const testing::TestParamInfo<CurrentCase>& info) { return std::string(info.param.label); });

TEST(InstallFolderTest, InstalledFolderIsLockedDefaultIsFree) {
  ProductSandbox sandbox;
  InstallFolderChoice choice = ChooseInstallFolder();
  EXPECT_EQ(DefaultInstallDir(32), choice.folder);
  EXPECT_FALSE(choice.locked);

  const std::wstring folder = sandbox.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  choice = ChooseInstallFolder();
  EXPECT_EQ(folder, choice.folder);
  EXPECT_TRUE(choice.locked);
}

TEST(InstallFolderTest, FolderLongerThan250CharactersIsNotShown) {
  ProductSandbox sandbox;
  for (const size_t length : {size_t{250}, size_t{251}}) {
    const std::wstring recorded = L"C:\\" + std::wstring(length - 3, L'x');
    sandbox.RecordFolder(recorded);
    const InstallFolderChoice choice = ChooseInstallFolder();
    EXPECT_EQ(length <= 250 ? recorded : L"", choice.folder) << length;
    EXPECT_TRUE(choice.locked);
  }
}

TEST(InstallFolderTest, DefaultFolderIsUnderProgramFiles) {
  std::wstring programFiles;
  ASSERT_TRUE(Kx::KxRegistry().OpenAndQuery(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir",
                                            programFiles));
  EXPECT_EQ(programFiles + L"\\ZelkSoft\\ZelkPic", DefaultInstallDir(32));
}

TEST(LaunchEditorTest, StartsTheInstalledEditor) {
  ProductSandbox sandbox;
  EXPECT_FALSE(LaunchEditor()) << "nothing installed";
  sandbox.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  ASSERT_TRUE(LaunchEditor());
  for (int i = 0; i < 500 && sandbox.Log().find("editor: started") == std::string::npos; ++i) Sleep(20);
  EXPECT_NE(std::string::npos, sandbox.Log().find("editor: started")) << sandbox.Log();
}

// A copy of the demo editor planted where a bare "ZelkPdfEditor.exe" would
// be found, removed again at the end of the case.
class PlantedEditor {
 public:
  explicit PlantedEditor(const std::wstring& folder) : path_(folder + L"\\ZelkPdfEditor.exe") {
    CreateDirectoryW(folder.c_str(), nullptr);
    planted_ = CopyFileW(SilentFixture(L"product_10.10.0.0.exe").c_str(), path_.c_str(), FALSE) != FALSE;
  }
  // A copy that did start holds its file until it ends.
  ~PlantedEditor() {
    for (int i = 0; i < 200 && !DeleteFileW(path_.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i) Sleep(50);
  }
  PlantedEditor(const PlantedEditor&) = delete;
  PlantedEditor& operator=(const PlantedEditor&) = delete;
  bool Planted() const { return planted_; }

 private:
  std::wstring path_;
  bool planted_ = false;
};

// Makes a folder the current one for the case.
class CurrentFolderScope {
 public:
  explicit CurrentFolderScope(const std::wstring& folder) {
    wchar_t old[MAX_PATH] = {};
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, old);
    if (length > 0 && length < MAX_PATH) old_ = old;
    changed_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
  }
  ~CurrentFolderScope() {
    if (!old_.empty()) SetCurrentDirectoryW(old_.c_str());
  }
  CurrentFolderScope(const CurrentFolderScope&) = delete;
  CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;
  bool Changed() const { return changed_; }

 private:
  std::wstring old_;
  bool changed_ = false;
};

// The installer runs elevated: an editor the user could have put beside it
// or in the current folder must not start in place of an installed one.
TEST(LaunchEditorTest, NoAbsoluteRecordedFolderStartsNothing) {
  struct Case {
    const char* label;
    const wchar_t* recorded;  // the "Path" value; null for none
  };
  const Case cases[] = {
      {"NothingRecorded", nullptr},
      {"RelativeFolderRecorded", L"installed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ProductSandbox sandbox;
    const PlantedEditor besideInstaller(BinDir());
    const PlantedEditor inCurrentFolder(sandbox.Temp().Path());
    const PlantedEditor underRelativeFolder(sandbox.Temp().Join(L"installed"));
    ASSERT_TRUE(besideInstaller.Planted() && inCurrentFolder.Planted() && underRelativeFolder.Planted());
    const CurrentFolderScope current(sandbox.Temp().Path());
    ASSERT_TRUE(current.Changed());
    if (c.recorded != nullptr) sandbox.RecordFolder(c.recorded);
    EXPECT_EQ(L"", InstalledEditorPath());
    EXPECT_FALSE(LaunchEditor());
    EXPECT_EQ("", sandbox.Log());
  }
}

TEST(StartProcessTest, WaitsAndReadsTheExitCode) {
  ProductSandbox sandbox;
  const std::wstring probe = BinDir() + L"\\file_probe.exe";
  const std::wstring file = sandbox.Temp().Join(L"free.txt");
  ASSERT_TRUE(zelk::test::WriteFileBytes(file, "x"));
  DWORD pid = 0;
  DWORD exitCode = 99;
  // No blank given: one is put between the program and its argument.
  ASSERT_TRUE(StartProcess(true, probe, Quote(file), &pid, &exitCode));
  EXPECT_NE(0u, pid);
  EXPECT_EQ(3u, exitCode);
  EXPECT_FALSE(Kx::Exists(file));
  EXPECT_FALSE(StartProcess(true, sandbox.Temp().Join(L"absent.exe"), L"", nullptr, nullptr));
}

}  // namespace
