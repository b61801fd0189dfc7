#include "app/PackageLaunch.h"

#include <shellapi.h>

#include <string>

#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "app/LaunchConfig.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/ProtectedFolder.h"
#include "base/ScopedHandle.h"
#include "verify/SignerVerifier.h"

#if defined(__i386__)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit record the shell expects");
#endif

namespace {

constexpr ULONG kPackageExecuteMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
static_assert(kPackageExecuteMask == 0x540, "package start flags");

// The installer runs elevated and the package lies in the user's temporary
// folder: while this handle is open nobody can write to, replace or delete
// the file, so the file whose signer was checked is the file that starts.
Kx::ScopedHandle HoldAgainstChange(const std::wstring& path) {
  return Kx::OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

// The package's folder in the user's temporary folder is open to every
// program the user runs, and Windows looks for a program's DLLs in its own
// folder first: the package is checked and run from a copy in a folder that
// only administrators can change.
// Named after the product, so that whoever finds one can tell whose it is.
constexpr const wchar_t* kRunFolderPrefix = kProductFolderName;
constexpr DWORD kCopyBlock = 64 * 1024;

bool CopyContents(HANDLE from, HANDLE to) {
  std::string block(kCopyBlock, '\0');
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(from, &block[0], kCopyBlock, &read, nullptr)) return false;
    if (read == 0) return true;
    DWORD written = 0;
    if (!WriteFile(to, block.data(), read, &written, nullptr) || written != read) return false;
  }
}

// Copies the package, read through a handle on the file itself (never
// through a link) that keeps writers out, into `runFolder`.
bool CopyIntoRunFolder(const std::wstring& packagePath, const Kx::ProtectedFolder& runFolder, std::wstring& copy) {
  const Kx::ScopedHandle source =
      Kx::OpenFileNotLink(packagePath, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN);
  if (!source) return false;
  copy = Kx::JoinPath(runFolder.Path(), Kx::FileNameOf(packagePath));
  const Kx::ScopedHandle target = Kx::OpenFileHandle(copy, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  return target && CopyContents(source.Get(), target.Get());
}

bool MakeRunFolder(Kx::ProtectedFolder& runFolder) {
  std::wstring parent;
  return Kx::ProtectedFolder::SystemTempFolder(parent) && runFolder.Create(parent, kRunFolderPrefix);
}

// ShellExecuteExW of the package in `folder`, hidden; the process handle,
// when one came back, in `process`.
bool ExecutePackage(const std::wstring& file, const std::wstring& folder, const std::wstring& arguments,
                    Kx::ScopedHandle& process) {
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.fMask = kPackageExecuteMask;
  info.hwnd = GetDesktopWindow();
  info.lpVerb = nullptr;
  info.lpFile = file.c_str();
  info.lpParameters = arguments.c_str();
  info.lpDirectory = folder.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return false;
  process.Reset(info.hProcess);
  return true;
}

void RemovePackage(const std::wstring& packagePath, const std::wstring& folder) {
  Kx::RemoveFileForced(packagePath);
  if (!folder.empty() && Kx::IsEmpty(folder)) Kx::DeleteTree(folder);
}

}  // namespace

std::wstring PackageArguments(bool associate, const std::wstring& installPath) {
  std::wstring arguments;
  if (associate) arguments = L"-setDefault";
  if (!installPath.empty()) arguments += L" -path=\"" + installPath + L"\"";
  return arguments;
}

bool RunPackage(const std::wstring& packagePath, const std::wstring& installPath,
                const BeforePackageStart& beforeStart) {
  if (!Kx::FileExists(packagePath)) return false;
  Kx::ProtectedFolder runFolder;  // goes, with the copy, on every way out
  std::wstring copy;
  if (!MakeRunFolder(runFolder) || !CopyIntoRunFolder(packagePath, runFolder, copy)) return false;
  Kx::ScopedHandle hold = HoldAgainstChange(copy);
  if (!hold) return false;
  if (!Kx::SignerVerifier::Instance().IsTrustedFile(copy)) return false;

  std::wstring file;
  std::wstring packageFolder;
  // A full path that names a folder gives an empty file name: nothing to start.
  const bool located = Kx::FullPathFileName(packagePath, file) && !file.empty() &&
                       Kx::FullPathFolder(packagePath, packageFolder);
  bool started = false;
  Kx::ScopedHandle process;
  if (located) {
    if (beforeStart) beforeStart(copy);
    started = ExecutePackage(copy, runFolder.Path(), PackageArguments(associatePdf, installPath), process);
  }
  // The package runs now (or never will): our own clean-up needs the file free.
  hold.Reset();
  if (process) WaitForSingleObject(process.Get(), INFINITE);
  process.Reset();
  RemovePackage(packagePath, packageFolder);
  return started;
}

bool LaunchEditor() {
  const std::wstring editor = InstalledEditorPath();
  if (editor.empty() || !Kx::FileExists(editor)) return false;
  return StartProcess(false, editor, std::wstring(), nullptr, nullptr);
}

bool StartProcess(bool wait, const std::wstring& exe, std::wstring arguments, DWORD* processId,
                  DWORD* exitCode) {
  if (!arguments.empty() && arguments.front() != L' ') arguments.insert(arguments.begin(), L' ');
  std::wstring commandLine = L"\"" + exe + L"\"" + arguments;

  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE,
                      CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &info)) {
    return false;
  }
  const Kx::ScopedHandle process(info.hProcess);
  const Kx::ScopedHandle thread(info.hThread);
  if (processId != nullptr) *processId = info.dwProcessId;
  if (wait) {
    WaitForSingleObject(process.Get(), INFINITE);
    if (exitCode != nullptr) GetExitCodeProcess(process.Get(), exitCode);
  }
  return true;
}
