// File versions: the fixed version of a file's version resource, its text
// form "major.minor.build.revision", and that text read back.
#pragma once

#include <windows.h>

#include <string>

namespace Kx {

// The file version from the fixed part of the file's version resource.
// False when the file has none or Version.dll cannot be used.
bool GetFileVersion(const std::wstring& path, WORD& major, WORD& minor, WORD& build, WORD& revision);

// The string value `name` ("PrivateBuild", "FileVersion", ...) of the first
// translation the file's version resource lists, as stored (padding kept).
// False when the file has no such value or Version.dll cannot be used.
bool GetFileVersionString(const std::wstring& path, const wchar_t* name, std::wstring& text);

// "%u.%u.%u.%u" of GetFileVersion, or "" when there is no version.
std::wstring FileVersionText(const std::wstring& path);

// Reads "a.b.c.d": exactly three dots and a non-empty last part; each part
// is converted like the C library's decimal conversion, so "x" reads as 0.
bool ParseVersionText(const std::wstring& text, int& major, int& minor, int& build, int& revision);

}  // namespace Kx
