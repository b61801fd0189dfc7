// What another program manages against a file that may be held open:
// opening it for writing, renaming it, and replacing it with another file.
// Whatever succeeds is undone again, so the file is where it was after.
#pragma once

#include <windows.h>

#include <string>

namespace zelk::test {

struct FileChangeAttempt {
  DWORD writeError = ERROR_SUCCESS;  // of the open for writing
  bool renamed = false;
  bool replaceTried = false;  // the replacement could be put beside it
  bool replaced = false;
};

inline FileChangeAttempt TryToChangeFile(const std::wstring& path, const std::wstring& replacement) {
  FileChangeAttempt attempt;
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  attempt.writeError = writer == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  const std::wstring moved = path + L".moved";
  attempt.renamed = MoveFileW(path.c_str(), moved.c_str()) != FALSE;
  if (attempt.renamed) MoveFileW(moved.c_str(), path.c_str());

  // Replaced the way an updater would: a new file moved over the old one.
  const std::wstring incoming = path + L".incoming";
  attempt.replaceTried = CopyFileW(replacement.c_str(), incoming.c_str(), FALSE) != FALSE;
  if (attempt.replaceTried) {
    const std::wstring kept = path + L".kept";
    CopyFileW(path.c_str(), kept.c_str(), FALSE);
    attempt.replaced = MoveFileExW(incoming.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    if (attempt.replaced) MoveFileExW(kept.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    DeleteFileW(incoming.c_str());
    DeleteFileW(kept.c_str());
  }
  return attempt;
}

}  // namespace zelk::test
