// Entry point: refuse a second copy, read the command line and the channel,
// then run the silent or the windowed flow.
// libcurl's header (winsock2.h) must come before windows.h.
#include "download/CurlLibrary.h"

#include <windows.h>

#include "app/InstallFlow.h"
#include "app/LaunchConfig.h"
#include "app/SingleInstanceLock.h"
#include "app/WindowedInstaller.h"
#include "base/SystemLibrary.h"
#include "verify/SignerVerifier.h"

namespace {

// The entry point's own exit codes; the windowed flow returns its own.
constexpr int kExitAnotherCopyRunning = 0;
constexpr int kExitSilentRunEnded = 1;

// libcurl_x86.dll sits beside the installer, where anyone may have put a
// file of that name: it must pass the package's signer rules to be loaded.
bool IsTrustedLibrary(const std::wstring& path) { return Kx::SignerVerifier::Instance().IsTrustedFile(path); }

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  // Before anything can load a library: the installer usually runs from a
  // downloads folder where anyone may have left a DLL of a system name.
  Kx::RestrictDllSearchToSystemFolder();
  Kx::CurlLibrary::SetModuleTrust(&IsTrustedLibrary);
  // Our own signer is read once, from our own file held for the whole run.
  Kx::SignerVerifier::Instance().HoldInstallerFile();

  // Held until return, so a second copy is refused while a silent run works too.
  const SingleInstanceLock lock;
  if (lock.AnotherCopyRunning()) {
    MessageBoxW(nullptr, L"另外一个ZelkPDF安装程序已经在运行。", L"ZelkPDF安装", MB_OK | MB_ICONWARNING);
    return kExitAnotherCopyRunning;
  }

  const LaunchConfig config = MakeLaunchConfig(commandLine);
  if (config.silent) {
    // The outcome shows in the installed product, not in the exit code.
    RunInstall(config, nullptr, std::wstring());
    return kExitSilentRunEnded;
  }
  return RunWindowedInstaller(config);
}
