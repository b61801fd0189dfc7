#include "verify/WinTrustApi.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "base/FileUtil.h"
#include "tests/support/TestSupport.h"
#include "tests/verify/SignedFixtures.h"

namespace {

using zelk::test::ScopedTempDir;
using zelk::test::SignedFixture;

struct SignedCase {
  const char* label;
  const wchar_t* file;
  int result;
  std::wstring signer;
};

class WinTrustApiTest : public testing::TestWithParam<SignedCase> {};

TEST_P(WinTrustApiTest, VerifiesTheEmbeddedSignature) {
  const SignedCase& c = GetParam();
  Kx::WinTrustApi api;
  std::wstring signer = L"stale";
  EXPECT_EQ(c.result, api.Verify(SignedFixture(c.file), signer));
  EXPECT_EQ(c.signer, signer);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, WinTrustApiTest,
    testing::Values(
        SignedCase{"Listed", L"mobile.exe", Kx::kSignatureValid, L"Shanghai Zelk Mobile Technology Co., Ltd."},
        SignedCase{"OtherCase", L"mobile_lower.exe", Kx::kSignatureValid, L"shanghai zelk mobile technology co., ltd."},
        SignedCase{"Expired", L"expired.exe", Kx::kSignatureExpired, L"Ningbo Talvor Intelligent Technology Co., Ltd."},
        SignedCase{"UnitOnly", L"ou_only.exe", Kx::kSignatureValid, L"Shanghai Zelk Network Technology Co.,Ltd"},
        SignedCase{"Chinese", L"chinese.exe", Kx::kSignatureValid, L"上海泽珂网络科技股份有限公司"},
        SignedCase{"Unlisted", L"unlisted.exe", Kx::kSignatureValid, L"Zelk Test Unlisted Publisher"},
        SignedCase{"CommonNameTextInOrganisation", L"relay.exe", Kx::kSignatureValid, L"Zelk Test Relay"},
        // A root nobody installed: the name is read, the signature does not verify.
        SignedCase{"UnknownRoot", L"stranger_mobile.exe", Kx::kSignatureInvalid,
                   L"Shanghai Zelk Mobile Technology Co., Ltd."},
        // Wine reports the bad digest without a signer.
        SignedCase{"AlteredAfterSigning", L"mobile_altered.exe", Kx::kSignatureInvalid, L""},
        SignedCase{"Unsigned", L"unsigned.exe", Kx::kSignatureNone, L""}),
    [](const testing::TestParamInfo<SignedCase>& info) { return std::string(info.param.label); });

// An unsigned program with data appended past 32 MiB: WinTrust finds no
// embedded signature, and the catalog check refuses to hash a file that big.
TEST(WinTrustApiCatalogTest, LargeUnsignedFileGetsNoSignatureFromTheCatalogPath) {
  ScopedTempDir dir;
  const std::wstring path = dir.Join(L"large.exe");
  ASSERT_TRUE(CopyFileW(SignedFixture(L"unsigned.exe").c_str(), path.c_str(), TRUE));
  {
    Kx::ScopedHandle file = Kx::OpenFileHandle(path, GENERIC_WRITE, 0, OPEN_EXISTING, 0);
    ASSERT_TRUE(file);
    LARGE_INTEGER size;
    size.QuadPart = Kx::WinTrustApi::kMaxCatalogFileSize + 4096;
    ASSERT_TRUE(SetFilePointerEx(file.Get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.Get()));
  }
  Kx::WinTrustApi api;
  std::wstring signer = L"stale";
  EXPECT_EQ(Kx::kSignatureNone, api.Verify(path, signer));
  EXPECT_EQ(L"", signer);
}

TEST(WinTrustApiCatalogTest, NothingToCheckWithoutAPath) {
  Kx::WinTrustApi api;
  std::wstring signer = L"stale";
  EXPECT_EQ(Kx::kSignatureNotChecked, api.Verify(L"", signer));
  EXPECT_EQ(L"", signer);
}

}  // namespace
