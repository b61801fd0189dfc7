// The whole silent install of one large signed package over each transport:
// download, version check, the copy into the protected run folder, the
// signer check there, the package's run and the clean-up. Not a test:
// disabled, run by scripts/bench-download.sh, which serves the package
// (nginx) and names its address in ZELK_BENCH_PACKAGE_URL. Prints
// "install <transport> <bytes> <seconds>" per transport, to be set against
// the download handler's own time for the same bytes.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/InstallFlow.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/download/bench/BenchClock.h"
#include "verify/SignerVerifier.h"

namespace {

TEST(InstallBenchmark, DISABLED_SilentInstallOfALargeSignedPackage) {
  const char* url = std::getenv("ZELK_BENCH_PACKAGE_URL");
  ASSERT_NE(nullptr, url);
  const char* size = std::getenv("ZELK_BENCH_PACKAGE_SIZE");
  ASSERT_NE(nullptr, size);
  // A signed module stands for the shipped (signed) installer, so the
  // listed publisher's package is run.
  const HMODULE signedInstaller = LoadLibraryExW(zelk::test::SilentFixture(L"product_10.10.0.0.exe").c_str(), nullptr,
                                                 DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(nullptr, signedInstaller);
  Kx::SignerVerifier::Instance().SetInstallerModule(signedInstaller);
  for (const bool libcurl : {true, false}) {
    const char* const transport = libcurl ? "libcurl" : "WinINet";
    if (!zelk::test::BenchMeasures(transport)) continue;
    zelk::test::LibCurlPresence curl(libcurl);
    zelk::test::ProductSandbox sandbox;
    LaunchConfig config;
    config.channel = L"1234";
    const zelk::bench::BenchClock clock;
    RunInstallFrom(zelk::test::Utf8ToWide(url), config, nullptr, sandbox.Temp().Join(L"editor"));
    const double seconds = clock.Seconds();
    // The demo package logs its run; an install that did not run it is no figure.
    EXPECT_NE("", sandbox.Log()) << transport << ": the package did not run";
    if (sandbox.Log().empty()) continue;
    std::printf("install %s %s %.3f\n", transport, size, seconds);
    std::fflush(stdout);
  }
  Kx::SignerVerifier::Instance().SetInstallerModule(nullptr);
  FreeLibrary(signedInstaller);
}

}  // namespace
