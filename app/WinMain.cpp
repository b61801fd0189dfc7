// Entry point: refuse a second copy, read the command line and the channel,
// then run the silent or the windowed flow.
#include <windows.h>

#include "app/InstallFlow.h"
#include "app/LaunchConfig.h"
#include "app/SingleInstanceLock.h"
#include "app/WindowedInstaller.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
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
