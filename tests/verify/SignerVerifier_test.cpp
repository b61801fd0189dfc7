#include "verify/SignerVerifier.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/support/FileChangeAttempt.h"
#include "tests/support/TestSupport.h"
#include "tests/verify/SignedFixtures.h"

namespace {

using zelk::test::ChildProcess;
using zelk::test::Quote;
using zelk::test::SignedFixture;

struct PublisherCase {
  std::wstring name;
  bool listed;
};

class TrustedPublisherTest : public testing::TestWithParam<PublisherCase> {};

TEST_P(TrustedPublisherTest, NamesAreComparedExactly) {
  EXPECT_EQ(GetParam().listed, Kx::SignerVerifier::IsTrustedPublisher(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Names, TrustedPublisherTest,
    testing::Values(PublisherCase{L"上海岚岫信息科技服务工作室", true},
                    PublisherCase{L"Shanghai Zelk Mobile Technology Co., Ltd.", true},
                    PublisherCase{L"Shanghai Zelk Network Technology Co.,Ltd", true},
                    PublisherCase{L"zelkpdf.com", true}, PublisherCase{L"上海泽珂网络科技股份有限公司", true},
                    PublisherCase{L"Ningbo Talvor Intelligent Technology Co., Ltd.", true},
                    PublisherCase{L"shanghai zelk mobile technology co., ltd.", false},
                    PublisherCase{L"Shanghai Zelk Mobile Technology Co., Ltd. ", false},
                    PublisherCase{L"ZELKPDF.COM", false}, PublisherCase{L"", false}));

TEST(SignerVerifierTest, ListHasSixNamesInOrder) {
  const auto& names = Kx::SignerVerifier::TrustedPublishers();
  ASSERT_EQ(6u, names.size());
  EXPECT_EQ(L"Shanghai Zelk Mobile Technology Co., Ltd.", names[1]);
  EXPECT_EQ(L"Ningbo Talvor Intelligent Technology Co., Ltd.", names[5]);
}

// Each case runs the signer probe, signed in its own way, as the
// "installer" whose signer the rule compares with, on one package.
struct TrustCase {
  const char* label;
  const wchar_t* probe;
  const wchar_t* package;
  bool trusted;
};

class InstallerSignerTest : public testing::TestWithParam<TrustCase> {};

TEST_P(InstallerSignerTest, ProbeAnswers) {
  const TrustCase& c = GetParam();
  ChildProcess probe;
  ASSERT_TRUE(probe.Start(Quote(SignedFixture(c.probe)) + L" " + Quote(SignedFixture(c.package))));
  DWORD exitCode = 99;
  ASSERT_TRUE(probe.Wait(60000, exitCode));
  EXPECT_EQ(c.trusted ? 1u : 0u, exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Packages, InstallerSignerTest,
    testing::Values(
        // Listed publishers are trusted whoever signed the installer.
        TrustCase{"ListedName", L"probe_unlisted.exe", L"mobile.exe", true},
        TrustCase{"ListedNameExpired", L"probe_unlisted.exe", L"expired.exe", true},
        TrustCase{"ListedUnitQuoted", L"probe_unlisted.exe", L"ou_only.exe", true},
        TrustCase{"ListedChineseName", L"probe_unlisted.exe", L"chinese.exe", true},
        TrustCase{"ListedNameOtherCase", L"probe_unlisted.exe", L"mobile_lower.exe", false},
        TrustCase{"ListedNameAltered", L"probe_unlisted.exe", L"mobile_altered.exe", false},
        TrustCase{"ListedNameUnknownRoot", L"probe_unlisted.exe", L"stranger_mobile.exe", false},
        TrustCase{"ListedNameOnlyInsideOrganisation", L"probe_unlisted.exe", L"relay.exe", false},
        // The installer's own signer.
        TrustCase{"UnsignedPackageSignedInstaller", L"probe_unlisted.exe", L"unsigned.exe", false},
        TrustCase{"UnsignedPackageUnsignedInstaller", L"probe_unsigned.exe", L"unsigned.exe", true},
        TrustCase{"SamePublisherAsInstaller", L"probe_unlisted.exe", L"unlisted.exe", true},
        TrustCase{"InstallersNameUnderUnknownRoot", L"probe_unlisted.exe", L"stranger_unlisted.exe", false},
        TrustCase{"OtherCaseUnsignedInstaller", L"probe_unsigned.exe", L"mobile_lower.exe", true},
        // A broken signature on the installer is not "unsigned".
        TrustCase{"UnsignedPackageAlteredInstaller", L"probe_altered.exe", L"unsigned.exe", false},
        TrustCase{"ListedNameAlteredInstaller", L"probe_altered.exe", L"mobile.exe", true},
        TrustCase{"MissingPackage", L"probe_unsigned.exe", L"missing.exe", false}),
    [](const testing::TestParamInfo<TrustCase>& info) { return std::string(info.param.label); });

// The configured module stands for the installer instead of the process
// executable (this test program, which is unsigned).
class InstallerModuleTest : public testing::Test {
 protected:
  void TearDown() override {
    Kx::SignerVerifier::Instance().SetInstallerModule(nullptr);
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(InstallerModuleTest, ConfiguredModuleDecides) {
  auto& verifier = Kx::SignerVerifier::Instance();
  const std::wstring unsignedPackage = SignedFixture(L"unsigned.exe");
  EXPECT_TRUE(verifier.IsTrustedFile(unsignedPackage));

  module_ = LoadLibraryExW(SignedFixture(L"probe_unlisted.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(nullptr, module_);
  verifier.SetInstallerModule(module_);
  EXPECT_FALSE(verifier.IsTrustedFile(unsignedPackage));
  EXPECT_TRUE(verifier.IsTrustedFile(SignedFixture(L"unlisted.exe")));

  verifier.SetInstallerModule(nullptr);
  EXPECT_TRUE(verifier.IsTrustedFile(unsignedPackage));
}

// The installer's file is read once and held: while the verifier holds it,
// nobody can write, replace or rename it, and its answer does not change.
TEST_F(InstallerModuleTest, InstallerFileIsHeldAndReadOnce) {
  zelk::test::ScopedTempDir temp;
  const std::wstring installer = temp.Join(L"installer.exe");
  ASSERT_TRUE(CopyFileW(SignedFixture(L"probe_unlisted.exe").c_str(), installer.c_str(), TRUE));
  module_ = LoadLibraryExW(installer.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(nullptr, module_);
  auto& verifier = Kx::SignerVerifier::Instance();
  verifier.SetInstallerModule(module_);
  verifier.HoldInstallerFile();

  const zelk::test::FileChangeAttempt change =
      zelk::test::TryToChangeFile(installer, SignedFixture(L"probe_unsigned.exe"));
  EXPECT_FALSE(change.renamed);
  ASSERT_TRUE(change.replaceTried);
  EXPECT_FALSE(change.replaced);
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), change.writeError);

  // Signed by an unlisted publisher: its own packages pass, unsigned ones not.
  EXPECT_TRUE(verifier.IsTrustedFile(SignedFixture(L"unlisted.exe")));
  EXPECT_FALSE(verifier.IsTrustedFile(SignedFixture(L"unsigned.exe")));

  // Let go with the module: the file can be renamed again.
  const std::wstring renamed = temp.Join(L"renamed.exe");
  verifier.SetInstallerModule(nullptr);
  FreeLibrary(module_);
  module_ = nullptr;
  EXPECT_TRUE(MoveFileW(installer.c_str(), renamed.c_str())) << GetLastError();
}

TEST(SignerVerifierTest, AbsentFilesAreNeverTrusted) {
  auto& verifier = Kx::SignerVerifier::Instance();
  EXPECT_FALSE(verifier.IsTrustedFile(L""));
  EXPECT_FALSE(verifier.IsTrustedFile(SignedFixture(L"missing.exe")));
  EXPECT_FALSE(verifier.IsTrustedFile(zelk::test::BinDir() + L"\\verify_fixtures"));  // a folder
}

TEST(SignerVerifierTest, GetSignerAnswersLikeWinTrust) {
  std::wstring signer;
  EXPECT_EQ(Kx::kSignatureExpired, Kx::SignerVerifier::Instance().GetSigner(SignedFixture(L"expired.exe"), signer));
  EXPECT_EQ(L"Ningbo Talvor Intelligent Technology Co., Ltd.", signer);
  EXPECT_EQ(Kx::kSignatureNone, Kx::SignerVerifier::Instance().GetSigner(SignedFixture(L"unsigned.exe"), signer));
  EXPECT_EQ(L"", signer);
}

}  // namespace
