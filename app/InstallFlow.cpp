// The download headers first: they need winsock2.h ahead of windows.h.
#include "app/FileDownloader.h"

#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "app/PackageLaunch.h"
#include "app/PackageUrl.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"

#include <vector>

std::atomic<bool> associatePdf{true};

namespace {

const wchar_t kFallbackPackageName[] = L"ZelkPic_package.exe";

void PostStage(HWND window, WPARAM stage, bool failed) {
  if (window != nullptr) PostMessageW(window, WM_INSTALLER_STAGE, stage, failed ? 1 : 0);
}

}  // namespace

std::wstring PackageFileName(const std::wstring& url, const std::wstring& channel) {
  const std::wstring name = Kx::BaseNameOf(url);
  std::vector<std::wstring> pieces = Kx::Split(name, L"_");
  // The containment test is case-sensitive, the piece replacement is not.
  if (channel.empty() || pieces.size() < 2 || Kx::Find(name, L"KUID") == std::wstring::npos) {
    return kFallbackPackageName;
  }
  std::wstring joined;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) joined += L'_';
    joined += Kx::EqualsNoCase(pieces[i], L"KUID") ? channel : pieces[i];
  }
  return joined + L".exe";
}

std::wstring PackageFolder() {
  std::wstring temp;
  if (!Kx::TempFolder(temp)) return kProductFolderName;
  return Kx::JoinPath(temp, kProductFolderName);
}

void RunInstall(const LaunchConfig& config, HWND window, const std::wstring& installPath) {
  RunInstallFrom(ReadPackageUrl(), config, window, installPath);
}

void RunInstallFrom(const std::wstring& url, const LaunchConfig& config, HWND window,
                    const std::wstring& installPath) {
  installer::FileDownloader& downloader = installer::FileDownloader::Instance();
  downloader.SetNotifyWindow(window);
  downloader.ResetHandlerSlot();

  // The folder is the user's to change: a link put there would make this
  // elevated flow write and delete wherever it points.
  const std::wstring folder = PackageFolder();
  const std::wstring packagePath = Kx::JoinPath(folder, PackageFileName(url, config.channel));
  if (!Kx::EnsureRealFolder(folder) || !downloader.Download(url, packagePath)) {
    PostStage(window, kStageFinished, true);
    return;
  }
  if (IsInstalledProductCurrent(packagePath)) {
    PostStage(window, kStageFinished, false);
    return;
  }
  PostStage(window, kStagePackageRunning, false);
  const bool started = RunPackage(packagePath, installPath);
  PostStage(window, kStageFinished, !started);
}
