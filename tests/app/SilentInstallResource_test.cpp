// Peak working set of the silent install flow while it downloads a 512 MiB
// package (which then fails the signer check and is not run), read from
// inside this process. Not a test: disabled, run by
// scripts/resource-report.sh, which serves the file and names it in
// ZELK_REPORT_FILE. The figure is printed, never asserted.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/InstallFlow.h"
#include "base/FileUtil.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/support/ProcessMemory.h"
#include "tests/support/TestServer.h"
#include "verify/SignerVerifier.h"

namespace {

using zelk::test::MemoryNow;
using zelk::test::MiB;

TEST(SilentInstallResource, DISABLED_PeakWorkingSetDuringA512MiBPackage) {
  const char* name = std::getenv("ZELK_REPORT_FILE");
  ASSERT_NE(nullptr, name);
  ASSERT_TRUE(zelk::test::TestServer::Available());
  zelk::test::ProductSandbox sandbox;
  // A signed module stands for the shipped (signed) installer, so that the
  // unsigned package is refused and stays where it was downloaded.
  const HMODULE signedInstaller = LoadLibraryExW(zelk::test::SilentFixture(L"product_10.10.0.0.exe").c_str(), nullptr,
                                                 DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(nullptr, signedInstaller);
  Kx::SignerVerifier::Instance().SetInstallerModule(signedInstaller);
  const PROCESS_MEMORY_COUNTERS before = MemoryNow();
  LaunchConfig config;
  config.channel = L"1234";
  const std::wstring url = zelk::test::TestServer::Url(L"/files/" + zelk::test::Utf8ToWide(name));
  const DWORD start = GetTickCount();
  RunInstallFrom(url, config, nullptr, std::wstring());
  const PROCESS_MEMORY_COUNTERS after = MemoryNow();
  Kx::SignerVerifier::Instance().SetInstallerModule(nullptr);
  FreeLibrary(signedInstaller);
  const unsigned long long kept = Kx::FileSize(PackageFolder() + L"\\" + PackageFileName(url, config.channel));
  std::printf("silent install flow: %.0f MiB package in %.1f s; peak working set %.1f MiB (%.1f MiB before)\n",
              kept / 1048576.0, (GetTickCount() - start) / 1000.0, MiB(after.PeakWorkingSetSize),
              MiB(before.PeakWorkingSetSize));
  EXPECT_EQ(512ull << 20, kept) << "the figure above is not that of a whole download";
  EXPECT_EQ("", sandbox.Log()) << "an unsigned package must not run";
}

}  // namespace
