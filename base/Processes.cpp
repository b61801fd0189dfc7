#include "base/Processes.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cwchar>

#include "base/FaultGuard.h"
#include "base/PathUtil.h"
#include "base/ScopedHandle.h"
#include "base/StringUtil.h"
#include "base/SystemInfo.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

#if defined(__i386__)
static_assert(sizeof(PROCESSENTRY32W) == 556, "PROCESSENTRY32W layout");
#else
static_assert(sizeof(PROCESSENTRY32W) == 568, "PROCESSENTRY32W layout");
#endif

constexpr wchar_t kKernel32[] = L"Kernel32.dll";
constexpr wchar_t kPsapi[] = L"Psapi.dll";
constexpr DWORD kPathCharacters = 520;

using CreateToolhelp32SnapshotFn = decltype(&::CreateToolhelp32Snapshot);
using Process32WalkFn = decltype(&::Process32FirstW);
using QueryFullProcessImageNameWFn = decltype(&::QueryFullProcessImageNameW);
// The Psapi names and their Kernel32 twins share one signature.
using GetProcessImageFileNameWFn = decltype(&::K32GetProcessImageFileNameW);
using GetModuleFileNameExWFn = decltype(&::K32GetModuleFileNameExW);

bool IsVistaOrLater() {
  OSVERSIONINFOW version = {};
  return GetOsVersion(version) && version.dwMajorVersion >= 6;
}

// The Psapi export, or its Kernel32 twin that Windows 7 added.
template <typename Fn>
Fn PsapiExport(const char* name, const char* kernel32Name) {
  if (const auto fn = SystemExport<Fn>(kPsapi, name)) return fn;
  return SystemExport<Fn>(kKernel32, kernel32Name);
}

std::wstring FullImageName(HANDLE process) {
  wchar_t path[kPathCharacters] = {};
  DWORD size = kPathCharacters;
  if (!CallSystemExport<QueryFullProcessImageNameWFn>(kKernel32, "QueryFullProcessImageNameW", FALSE, process,
                                                      DWORD{0}, path, &size)) {
    return {};
  }
  return std::wstring(path, size < kPathCharacters ? size : kPathCharacters - 1);
}

// "\Device\HarddiskVolume2\x.exe" -> "C:\x.exe" for the drive whose device
// name is a whole leading component of the path.
std::wstring DrivePathOfDevicePath(const std::wstring& devicePath) {
  wchar_t drives[512] = {};
  const DWORD length = ::GetLogicalDriveStringsW(511, drives);
  if (length == 0 || length > 511) return devicePath;
  for (const wchar_t* drive = drives; *drive; drive += wcslen(drive) + 1) {
    const std::wstring letter = std::wstring(drive).substr(0, 2);  // "X:"
    wchar_t device[MAX_PATH] = {};
    if (!::QueryDosDeviceW(letter.c_str(), device, MAX_PATH)) continue;
    const size_t deviceLength = wcslen(device);
    // "\Device\HarddiskVolume1" must not claim "\Device\HarddiskVolume10\...".
    if (deviceLength == 0 || deviceLength >= devicePath.size() || devicePath[deviceLength] != L'\\') continue;
    if (CompareNoCase(devicePath.c_str(), device, deviceLength) == 0) {
      return Format(L"%s%s", letter.c_str(), devicePath.c_str() + deviceLength);
    }
  }
  return devicePath;
}

std::wstring ImageFileName(HANDLE process) {
  const auto get = PsapiExport<GetProcessImageFileNameWFn>("GetProcessImageFileNameW", "K32GetProcessImageFileNameW");
  if (!get) return {};
  wchar_t path[kPathCharacters] = {};
  const DWORD length = GuardedResult(DWORD{0}, [&] { return get(process, path, kPathCharacters); });
  if (length == 0 || length >= kPathCharacters) return {};
  return DrivePathOfDevicePath(std::wstring(path, length));
}

std::wstring MainModuleFileName(HANDLE process) {
  const auto get = PsapiExport<GetModuleFileNameExWFn>("GetModuleFileNameExW", "K32GetModuleFileNameExW");
  if (!get) return {};
  wchar_t path[kPathCharacters] = {};
  const DWORD length = GuardedResult(DWORD{0}, [&] { return get(process, nullptr, path, kPathCharacters); });
  if (length == 0 || length >= kPathCharacters) return {};
  return std::wstring(path, length);
}

bool MatchesAnyName(const std::wstring& name, const std::vector<std::wstring>& names) {
  for (const auto& wanted : names) {
    if (EqualsNoCase(name, wanted)) return true;
  }
  return false;
}

}  // namespace

bool FindProcessesByName(const std::vector<std::wstring>& names, std::vector<DWORD>& ids) {
  ids.clear();
  const auto snapshotOf = SystemExport<CreateToolhelp32SnapshotFn>(kKernel32, "CreateToolhelp32Snapshot");
  const auto first = SystemExport<Process32WalkFn>(kKernel32, "Process32FirstW");
  const auto next = SystemExport<Process32WalkFn>(kKernel32, "Process32NextW");
  if (!snapshotOf || !first || !next) return false;

  ScopedHandle snapshot(GuardedResult(INVALID_HANDLE_VALUE, [&] { return snapshotOf(TH32CS_SNAPPROCESS, 0); }));
  if (!snapshot) return false;

  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  HANDLE walk = snapshot.Get();
  for (BOOL more = GuardedResult(FALSE, [&] { return first(walk, &entry); }); more;
       more = GuardedResult(FALSE, [&] { return next(walk, &entry); })) {
    entry.szExeFile[MAX_PATH - 1] = L'\0';
    if (ProcessNameMatches(entry.szExeFile, entry.th32ProcessID, names)) ids.push_back(entry.th32ProcessID);
  }
  return !ids.empty();
}

bool ProcessNameMatches(const std::wstring& listedName, DWORD processId, const std::vector<std::wstring>& names) {
  if (MatchesAnyName(listedName, names)) return true;
  if (listedName.find(L'~') == std::wstring::npos) return false;
  const std::wstring image = ImagePathOfProcess(processId);
  return !image.empty() && MatchesAnyName(FileNameOf(image), names);
}

bool IsProcessRunning(const std::wstring& exeName) {
  if (exeName.empty()) return false;
  std::vector<DWORD> ids;
  return FindProcessesByName({exeName}, ids);
}

std::wstring ImagePathOfProcess(DWORD processId) {
  if (processId == 0) return {};
  ScopedHandle process;
  if (IsVistaOrLater()) {
    process.Reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  } else {
    process.Reset(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) process.Reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
  }
  if (!process) return {};
  return ImagePathOfHandle(process.Get());
}

std::wstring ImagePathOfHandle(HANDLE process) {
  if (!LoadSystemLibrary(kKernel32) || !LoadSystemLibrary(kPsapi)) return {};
  std::wstring path;
  if (IsVistaOrLater()) path = FullImageName(process);
  if (path.empty()) path = ImageFileName(process);
  if (path.empty()) path = MainModuleFileName(process);
  if (path.empty()) return {};
  return LongPathOf(path);
}

}  // namespace Kx
