#include "download/TemporaryFileCommit.h"

#include <windows.h>

#include "base/FileUtil.h"
#include "base/PathUtil.h"

namespace Kx {
namespace {

constexpr DWORD kReplaceFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
constexpr wchar_t kSetAsideSuffix[] = L".old.tmp";

// Moves `from` onto `to`, which is taken (and may be locked): `to` goes to a
// free name first and is deleted once `from` has its place, or is put back
// when the move still fails.
bool MoveOntoTakenName(const std::wstring& from, const std::wstring& to) {
  std::wstring freeName = to;
  if (!UniqueName(freeName) || !MovePath(to, freeName)) return false;
  if (MoveReplacing(from, to)) {
    RemoveFileForced(freeName);  // a file still in use there stays under its free name
    return true;
  }
  const DWORD error = GetLastError();
  MovePath(freeName, to);
  SetLastError(error);
  return false;
}

// `from` onto `to` with the replace flags; when that fails because `to`
// stands in the way, through a free name.
bool MoveOrFreeTheName(const std::wstring& from, const std::wstring& to) {
  if (MoveReplacing(from, to)) return true;
  const DWORD error = GetLastError();
  if (FileExists(to) && MoveOntoTakenName(from, to)) return true;
  SetLastError(error);
  return false;
}

}  // namespace

std::wstring TemporaryPathFor(const std::wstring& targetPath) { return targetPath + L".tmp"; }

bool MoveReplacing(const std::wstring& from, const std::wstring& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), kReplaceFlags)) return true;
  const DWORD error = GetLastError();
  std::wstring longFrom;
  std::wstring longTo;
  const bool fromHasLongForm = ExtendedPath(from, longFrom);
  const bool toHasLongForm = ExtendedPath(to, longTo);
  if ((fromHasLongForm || toHasLongForm) && MoveFileExW(longFrom.c_str(), longTo.c_str(), kReplaceFlags)) return true;
  SetLastError(error);
  return false;
}

bool CommitTemporaryFile(const std::wstring& temporaryPath, const std::wstring& targetPath) {
  const std::wstring setAside = targetPath + kSetAsideSuffix;
  bool wasSetAside = false;
  if (FileExists(targetPath) && !RemoveFileForced(targetPath)) {
    // In use (a running program): it can still be renamed. What was set
    // aside by an earlier run keeps a free name if it cannot be replaced.
    if (!MoveOrFreeTheName(targetPath, setAside)) return false;
    wasSetAside = true;
  }
  if (MoveOrFreeTheName(temporaryPath, targetPath)) return true;
  // Never leave the target missing: the old file goes back to its name.
  const DWORD error = GetLastError();
  if (wasSetAside) MovePath(setAside, targetPath);
  SetLastError(error);
  return false;
}

}  // namespace Kx
