// DLLs planted beside the installer, where it usually runs from a downloads
// folder anyone can write to. Wine is told to prefer a native DLL found
// beside the program, as Windows does for any DLL that is not a known
// system DLL, so a planted file would load if the installer let it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TestServer.h"

namespace {

using zelk::test::BinDir;
using zelk::test::ChildProcess;
using zelk::test::kExpectedDefaultInstallDir;
using zelk::test::ProductSandbox;
using zelk::test::ScopedEnvironment;
using zelk::test::Quote;
using zelk::test::SilentFixture;
using zelk::test::TestServer;
using zelk::test::WideToUtf8;

// The installer's two transports as their requests show them: libcurl
// names the host first; WinINet (Wine's) ends with a keep-alive line that
// libcurl never sends.
std::string Transport(const zelk::test::RecordedRequest& request) {
  const std::string& headers = request.headerText;
  if (headers.find("Connection: Keep-Alive") != std::string::npos) return "WinINet";
  if (headers.compare(0, 5, "Host:") == 0) return "libcurl";
  return "neither";
}

struct PlantCase {
  const char* label;
  const wchar_t* planted;  // its name beside the installer
  const wchar_t* source;   // in the bin folder
  bool libcurlUsed;        // the package came through libcurl, not WinINet
};

TEST(PlantedLibraryTest, OnlyASignedLibcurlBesideTheInstallerIsLoaded) {
  ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1";
  const PlantCase cases[] = {
      {"an unsigned libcurl_x86.dll", L"libcurl_x86.dll", L"planted.dll", false},
      {"a version.dll", L"version.dll", L"planted.dll", false},
      {"libcurl_x86.dll signed by a listed publisher", L"libcurl_x86.dll", L"silent_fixtures\\libcurl_x86.dll", true},
  };
  int served = 0;
  for (const PlantCase& c : cases) {
    ProductSandbox sandbox;
    // A file name of its own per case (and no other test's: Wine's file
    // names ignore case), so its requests can be told apart.
    const std::wstring name = L"zelkpic_KUID_10019" + std::to_wstring(served++) + L"_v10.10.exe";
    ASSERT_TRUE(zelk::test::ServeFile(SilentFixture(L"product_10.10.0.0.exe"), name));
    std::wstring installer;
    ASSERT_TRUE(zelk::test::RepointedInstaller(sandbox.Temp().Path(), L"zelkpdf_1234.exe",
                                               TestServer::Url(L"/files/" + name), installer));
    const std::wstring planted = sandbox.Temp().Join(c.planted);
    ASSERT_TRUE(CopyFileW((BinDir() + L"\\" + c.source).c_str(), planted.c_str(), FALSE)) << c.label;

    DWORD exitCode = 99;
    {
      std::wstring overridden;
      ScopedEnvironment::Read(L"WINEDLLOVERRIDES", overridden);
      const ScopedEnvironment overrides(L"WINEDLLOVERRIDES", overridden + L";version,libcurl_x86=n,b");
      ChildProcess process;
      ASSERT_TRUE(process.Start(Quote(installer) + L" /s"));
      ASSERT_TRUE(process.Wait(120000, exitCode)) << c.label;
    }
    const std::string what = std::string(c.label) + "\n" + sandbox.Log();
    EXPECT_EQ(1u, exitCode) << what;
    EXPECT_FALSE(Kx::FileExists(planted + L".loaded")) << c.label << " was loaded";
    EXPECT_NE(std::string::npos, sandbox.Log().find("package: file ")) << what;
    EXPECT_TRUE(Kx::FileExists(std::wstring(kExpectedDefaultInstallDir) + L"\\ZelkPdfEditor.exe")) << what;

    const auto requests = TestServer::Requests(WideToUtf8(L"/files/" + name));
    ASSERT_FALSE(requests.empty()) << c.label;
    EXPECT_EQ(c.libcurlUsed ? "libcurl" : "WinINet", Transport(requests.back())) << c.label << "\n"
                                                                                   << requests.back().headerText;
  }
}

}  // namespace
