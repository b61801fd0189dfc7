#include "app/WindowedInstaller.h"

#include "app/InstallerDialog.h"
#include "app/InstallerFramework.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIMessageLoop.h"

namespace {

int RunDialog(const LaunchConfig& config) {
  KxMiniUIMessageLoop loop;
  KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  module.AddMessageLoop(&loop);
  InstallerDialog dialog(config);
  if (dialog.Create(nullptr, InstallerDialog::kWindowStyle) != nullptr) {
    ShowWindow(dialog.GetHwnd(), SW_SHOW);
    loop.Run();
  }
  module.RemoveMessageLoop();
  return dialog.ExitCode();
}

}  // namespace

int RunWindowedInstaller(const LaunchConfig& config) {
  const InstallerFramework framework(GetModuleHandleW(nullptr));
  // The dialog and its pictures go before the framework shuts GDI+ down.
  return RunDialog(config);
}
