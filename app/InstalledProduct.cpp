#include "app/InstalledProduct.h"

#include "app/LaunchConfig.h"

#include "base/FileUtil.h"
#include "base/FileVersion.h"
#include "base/PathUtil.h"
#include "base/Processes.h"
#include "base/Registry.h"
#include "base/StringUtil.h"
#include "base/SystemInfo.h"
#include "verify/SignerVerifier.h"

namespace {

std::wstring ProductKey() { return std::wstring(L"SOFTWARE\\") + kProductFolderName; }
constexpr size_t kLongestShownFolder = 250;

bool ReadVersion(const std::wstring& path, int version[4]) {
  return Kx::ParseVersionText(Kx::FileVersionText(path), version[0], version[1], version[2], version[3]);
}

}  // namespace

std::wstring InstalledProductDir() {
  std::wstring dir = Kx::ReadMachineText(ProductKey().c_str(), L"Path", 0);
  if (dir.empty()) dir = Kx::ReadMachineText(ProductKey().c_str(), L"Path", KEY_WOW64_64KEY);
  if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
  return dir;
}

std::wstring InstalledEditorPath() {
  const std::wstring editor = Kx::JoinPath(InstalledProductDir(), kEditorExeName);
  return Kx::IsAbsolutePath(editor) ? editor : std::wstring();
}

std::wstring DefaultInstallDir(int view) {
  std::wstring programFiles;
  Kx::KxRegistry(view == 64 ? KEY_WOW64_64KEY : 0)
      .OpenAndQuery(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", L"ProgramFilesDir", programFiles);
  return programFiles + L"\\ZelkSoft\\" + kProductFolderName;
}

bool IsVersionNotNewer(const int package[4], const int installed[4]) {
  for (int i = 0; i < 4; ++i) {
    if (package[i] != installed[i]) return package[i] < installed[i];
  }
  return true;
}

bool IsInstalledProductCurrent(const std::wstring& packagePath) {
  const std::wstring editor = InstalledEditorPath();
  if (editor.empty() || !Kx::FileExists(editor)) return false;
  if (!Kx::SignerVerifier::Instance().IsTrustedFile(editor)) return false;
  // A running editor would block its own update; the package waits for another day.
  if (Kx::IsProcessRunning(kEditorExeName)) return true;

  int installed[4] = {};
  int package[4] = {};
  if (!ReadVersion(editor, installed) || !ReadVersion(packagePath, package)) return false;
  return IsVersionNotNewer(package, installed);
}

InstallFolderChoice ChooseInstallFolder() {
  InstallFolderChoice choice;
  std::wstring folder = InstalledProductDir();
  if (!folder.empty()) {
    folder = Kx::TrimRight(folder, L"\\/");
    // The package is a 32-bit program: it installs into the 32-bit program
    // files folder even when the product was recorded under the 64-bit one.
    if (Kx::Is64BitWindows() && Kx::EqualsNoCase(folder, DefaultInstallDir(64))) folder = DefaultInstallDir(32);
    choice.locked = true;
  } else {
    folder = DefaultInstallDir(32);
  }
  if (folder.size() <= kLongestShownFolder) choice.folder = folder;
  return choice;
}
