// Entry point: refuse a second copy, read the command line and the channel,
// then run the silent or the windowed flow.
#include <windows.h>

#include "app/InstallFlow.h"
#include "app/LaunchConfig.h"
#include "app/SingleInstanceLock.h"
#include "app/WindowedInstaller.h"
#include "base/SystemLibrary.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  // Before anything can load a library: the installer usually runs from a
  // downloads folder where anyone may have left a DLL of a system name.
  Kx::RestrictDllSearchToSystemFolder();

  // Held until return, so a second copy is refused while a silent run works too.
  const SingleInstanceLock lock;
  if (lock.AnotherCopyRunning()) {
    MessageBoxW(nullptr, L"另外一个ZelkPDF安装程序已经在运行。", L"ZelkPDF安装", MB_OK | MB_ICONWARNING);
    return 0;
  }

  const LaunchConfig config = MakeLaunchConfig(commandLine);
  if (config.silent) {
    RunInstall(config, nullptr, std::wstring());
    return 1;
  }
  return RunWindowedInstaller(config);
}
