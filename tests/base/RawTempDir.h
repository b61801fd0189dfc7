// Test helpers that reach the file system only through raw Win32 calls in
// the "\\?\" form, independent of the code under test.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace zelk::test::raw {

inline std::wstring Extended(const std::wstring& path) { return L"\\\\?\\" + path; }

inline DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(Extended(path).c_str()); }
inline bool Exists(const std::wstring& path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }
inline bool MakeFolder(const std::wstring& path) {
  return CreateDirectoryW(Extended(path).c_str(), nullptr) != FALSE;
}

}  // namespace zelk::test::raw
