// Path text operations and the few path queries that ask the system.
#pragma once

#include <string>

namespace Kx {

// Flags of NormalisePath; several may be combined and they are applied in
// the order listed here.
constexpr unsigned kPathLower = 0x1;                     // every character to lower case
constexpr unsigned kPathUpper = 0x2;                     // every character to upper case
constexpr unsigned kPathUnquote = 0x4;                   // strip one pair of "..." then one of '...'
constexpr unsigned kPathOneTrailingBackslash = 0x10;     // exactly one trailing "\" (none when empty)
constexpr unsigned kPathNoTrailingSeparator = 0x20;      // no trailing "\" or "/"
constexpr unsigned kPathBackslashes = 0x40000000;        // every "/" becomes "\"

std::wstring NormalisePath(const std::wstring& path, unsigned flags);

// Text after the last "\" or "/" (the whole text when there is none).
std::wstring FileNameOf(const std::wstring& path);

// Text before the last "\" or "/" ("" when there is none): "C:\a\b.exe"
// gives "C:\a".
std::wstring FolderOf(const std::wstring& path);

// The same with the separator kept ("C:\a\"), so a file name can be
// appended as it is; "" when there is no separator.
std::wstring FolderWithSeparatorOf(const std::wstring& path);

// FileNameOf cut before its last ".".
std::wstring BaseNameOf(const std::wstring& path);

// `relative` appended to `base` with one backslash between them; a UNC or
// absolute drive path in `relative` is returned as it is.
std::wstring JoinPath(const std::wstring& base, const std::wstring& relative);

// GetFullPathNameW of `path`, split into its file-name part and the folder
// before it (with its trailing "\"). A full path that ends in a separator
// names a folder: its name is empty. False only when the system gives no
// full path.
bool FullPathFileName(const std::wstring& path, std::wstring& out);
bool FullPathFolder(const std::wstring& path, std::wstring& out);

// Whether `path` starts at a drive root ("X:\") or a share
// ("\\server\share\"), "/" read as "\", so that it names the same item
// whatever the current folder and the program's own folder are.
bool IsAbsolutePath(const std::wstring& path);

// Long form of `path`, or `path` itself when the system cannot give one.
std::wstring LongPathOf(const std::wstring& path);

// "\\?\" + path for a drive-letter path, with "/" turned into "\" because
// the extended form takes the text literally. False (and `out` = path) for
// anything else.
bool ExtendedPath(const std::wstring& path, std::wstring& out);

// Whether `path` is an absolute folder the product may be installed into:
// its drive or share root exists, no part of it is an existing file, and it
// has no character a file name cannot hold. At most 260 characters.
bool IsValidTargetFolder(const std::wstring& path);

// The user's temporary folder in its long form, ending in "\".
bool TempFolder(std::wstring& out);

}  // namespace Kx
