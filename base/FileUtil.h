// File-system operations. Each one tries the path as given and, when that
// fails for a drive-letter path, once more in its "\\?\" extended form, so
// that paths past MAX_PATH and names the plain form cannot express (a
// trailing dot or blank) still work. Nothing shows a message or throws.
#pragma once

#include <windows.h>

#include <string>

#include "base/ScopedHandle.h"

namespace Kx {

// Attributes, or INVALID_FILE_ATTRIBUTES (-1) when they cannot be read.
DWORD GetAttributes(const std::wstring& path);

// Refuses INVALID_FILE_ATTRIBUTES; drops the bits SetFileAttributesW cannot
// set (directory, device, sparse, reparse point, compressed, encrypted).
bool SetAttributes(const std::wstring& path, DWORD attributes);

// Quotes around the path are ignored; a trailing separator is tolerated.
bool Exists(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);

// Size of a file; 0 for folders and missing items.
unsigned long long FileSize(const std::wstring& path);

// True for a missing item, a folder holding nothing, or a file of size 0.
// A folder whose listing cannot be read counts as not empty.
bool IsEmpty(const std::wstring& path);

// Creates the folder and any missing parents; whether it exists afterwards.
bool CreateFolders(const std::wstring& path);

// Deletes a file, clearing a read-only (or other) attribute that stands in
// the way; the attributes are put back when the file still cannot go.
bool RemoveFileForced(const std::wstring& path);

// MoveFileW semantics: an existing target is not replaced.
bool MovePath(const std::wstring& from, const std::wstring& to);

// Removes the folder and everything in it; the number of files and folders
// removed, the folder itself included. Whether an item is a link is decided
// by a handle on the item itself; a link (the folder itself or one inside
// it) is removed without touching what it points to.
unsigned long long DeleteTree(const std::wstring& folder);

// True when the item itself, never what it points to, is a junction,
// symbolic link or other reparse point, judged by a handle opened with
// FILE_FLAG_OPEN_REPARSE_POINT.
bool IsLink(const std::wstring& path);

// Makes `path` a real folder: a link there is removed (never its target)
// and the folder with its missing parents created. False when a link could
// not be removed or the folder does not exist afterwards.
bool EnsureRealFolder(const std::wstring& path);

// An open directory search and the entry it found last. Closing (also done
// by the destructor and by a new FindFirst) is idempotent.
class FindState {
 public:
  FindState() noexcept = default;
  FindState(const FindState&) = delete;
  FindState& operator=(const FindState&) = delete;
  FindState(FindState&& other) noexcept = default;
  FindState& operator=(FindState&& other) noexcept = default;

  void Close() noexcept { handle_.Reset(); }
  bool IsOpen() const noexcept { return handle_.IsValid(); }

  const std::wstring& Name() const noexcept { return name_; }
  DWORD Attributes() const noexcept { return attributes_; }
  unsigned long long Size() const noexcept { return size_; }
  bool IsFolder() const noexcept { return (attributes_ & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool IsDotEntry() const noexcept { return name_ == L"." || name_ == L".."; }

 private:
  friend bool FindFirst(const std::wstring& pattern, FindState& state);
  friend bool FindNext(FindState& state);

  void Take(const WIN32_FIND_DATAW& data);

  ScopedFindHandle handle_;
  std::wstring name_;
  DWORD attributes_ = 0;
  unsigned long long size_ = 0;
};

bool FindFirst(const std::wstring& pattern, FindState& state);
bool FindNext(FindState& state);

// Replaces `path` with the first of name(1).ext, name(2).ext, ... that does
// not exist; false (path unchanged) when every number up to 1048576 is taken.
bool UniqueName(std::wstring& path);

// CreateFileW; the handle is invalid on failure (GetLastError tells why).
ScopedHandle OpenFileHandle(const std::wstring& path, DWORD access, DWORD share,
                            DWORD disposition, DWORD flags);

// OpenFileHandle that never goes through a link: the item itself is opened
// and, when it is a link, the link is removed and the open made once more;
// a name that is still a link then fails with ERROR_CANT_ACCESS_FILE.
ScopedHandle OpenFileNotLink(const std::wstring& path, DWORD access, DWORD share,
                             DWORD disposition, DWORD flags);

}  // namespace Kx
