// Test helpers that reach the file system only through raw Win32 calls in
// the "\\?\" form, independent of the code under test.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "tests/support/TestSupport.h"

namespace zelk::test::raw {

inline std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

inline DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()); }
inline bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }
inline bool MakeFolder(const std::wstring& path) {
  return CreateDirectoryW(Extended(path).c_str(), nullptr) != FALSE;
}

// Removes everything below `folder` (not the folder itself), whatever its
// attributes, depth or names.
inline void DeleteContents(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(Extended(folder + L"\\*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  struct SearchCloser {
    void operator()(HANDLE handle) const { FindClose(handle); }
  };
  const std::unique_ptr<void, SearchCloser> closer(search);
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring child = folder + L"\\" + name;
    SetFileAttributesW(Extended(child).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteContents(child);
      RemoveDirectoryW(Extended(child).c_str());
    } else {
      DeleteFileW(Extended(child).c_str());
    }
  } while (FindNextFileW(search, &entry));
}

// A ScopedTempDir that empties itself in the extended form first: the plain
// form its own clean-up uses cannot reach items past MAX_PATH or names that
// end in a dot, which these tests create.
class TempDir {
 public:
  TempDir() = default;
  ~TempDir() { DeleteContents(dir_.Path()); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& Path() const { return dir_.Path(); }
  std::wstring Join(const std::wstring& name) const { return dir_.Join(name); }

 private:
  ScopedTempDir dir_;
};

}  // namespace zelk::test::raw
