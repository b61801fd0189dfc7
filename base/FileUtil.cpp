#include "base/FileUtil.h"

#include <utility>

#include "base/PathUtil.h"
#include "base/StringUtil.h"

namespace Kx {

namespace {

// Bits SetFileAttributesW cannot set: directory, device, sparse file,
// reparse point, compressed, encrypted.
constexpr DWORD kUnsettableAttributes = 0x4E50;

constexpr unsigned kMaxUniqueNumber = 1048576;

constexpr DWORD kShareEverything = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsFolderAttributes(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool HasLinkBit(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Opens the item at `path` itself; a link there is opened as the link.
ScopedHandle OpenItemItself(const std::wstring& path, DWORD access, DWORD share) {
  return OpenFileHandle(path, access, share, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
}

bool HandleIsLink(HANDLE item) {
  BY_HANDLE_FILE_INFORMATION information = {};
  return ::GetFileInformationByHandle(item, &information) && HasLinkBit(information.dwFileAttributes);
}

// Wine follows a Linux symlink even with FILE_FLAG_OPEN_REPARSE_POINT: the
// handle shows the target, and only the attributes read by path carry the
// reparse flag. Either one showing a link makes it one.
bool IsLinkItem(const ScopedHandle& item, const std::wstring& path) {
  return (item && HandleIsLink(item.Get())) || HasLinkBit(GetAttributes(path));
}

// The item a folder path names: without its trailing separators, except
// for a drive root, which "X:" would not name.
std::wstring ItemPath(const std::wstring& path) {
  const std::wstring item = NormalisePath(path, kPathNoTrailingSeparator);
  return item.size() == 2 && item[1] == L':' ? item + L'\\' : item;
}

// `call(path)` answers success; it is tried on the path as given and then,
// for a drive-letter path, on its extended form.
template <typename Call>
bool PlainThenExtended(const std::wstring& path, Call call) {
  if (call(path)) return true;
  std::wstring extended;
  return ExtendedPath(path, extended) && call(extended);
}

bool DeleteFileEitherForm(const std::wstring& path) {
  return PlainThenExtended(path, [](const std::wstring& p) { return ::DeleteFileW(p.c_str()) != FALSE; });
}

bool RemoveDirectoryEitherForm(const std::wstring& path) {
  return PlainThenExtended(path, [](const std::wstring& p) { return ::RemoveDirectoryW(p.c_str()) != FALSE; });
}

bool CreateDirectoryEitherForm(const std::wstring& path) {
  return PlainThenExtended(path, [](const std::wstring& p) { return ::CreateDirectoryW(p.c_str(), nullptr) != FALSE; });
}

// Runs `attempt` once more with the item's attributes cleared when it fails
// at first (a read-only item refuses deletion); the attributes come back
// when it still fails. The error of the failed attempt is kept for the caller.
template <typename Attempt>
bool WithAttributesCleared(const std::wstring& path, Attempt attempt) {
  if (attempt()) return true;
  // SetFileAttributesW goes through a link and would change its target.
  if (IsLink(path)) return false;
  const DWORD old = GetAttributes(path);
  if (old == INVALID_FILE_ATTRIBUTES || !SetAttributes(path, 0)) return false;
  if (attempt()) return true;
  const DWORD error = ::GetLastError();
  SetAttributes(path, old);
  ::SetLastError(error);
  return false;
}

// Attributes by the rule of Exists: quotes removed, and a trailing
// separator dropped when the item is not found with it.
DWORD AttributesForExists(const std::wstring& path) {
  const std::wstring unquoted = NormalisePath(path, kPathUnquote);
  const DWORD attributes = GetAttributes(unquoted);
  if (attributes != INVALID_FILE_ATTRIBUTES) return attributes;
  if (unquoted.size() >= 3 && IsSeparator(unquoted.back())) {
    return GetAttributes(NormalisePath(unquoted, kPathNoTrailingSeparator));
  }
  return INVALID_FILE_ATTRIBUTES;
}

bool HasWildcard(const std::wstring& path) {
  return FileNameOf(path).find_first_of(L"*?") != std::wstring::npos;
}

unsigned long long CombineSize(DWORD high, DWORD low) {
  return (static_cast<unsigned long long>(high) << 32) | low;
}

bool FolderHoldsNothing(const std::wstring& folder) {
  FindState state;
  if (!FindFirst(JoinPath(folder, L"*"), state)) {
    // Only a drive root lists no "." and "..": an empty root fails this way.
    // Any other failure leaves the content unknown, which is not empty.
    return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  }
  do {
    if (!state.IsDotEntry()) return false;
  } while (FindNext(state));
  return true;
}

// Removes every entry of `folder` (which ends in a backslash); the count of
// items removed.
unsigned long long DeleteFolderContents(const std::wstring& folder) {
  unsigned long long removed = 0;
  FindState state;
  for (bool found = FindFirst(folder + L"*.*", state); found; found = FindNext(state)) {
    if (state.IsDotEntry()) continue;
    const std::wstring child = folder + state.Name();
    if (state.IsFolder()) {
      // Also a junction or folder symlink: DeleteTree takes it for one by
      // its handle and removes the link only.
      removed += DeleteTree(child);
    } else if (RemoveFileForced(child)) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace

DWORD GetAttributes(const std::wstring& path) {
  DWORD attributes = INVALID_FILE_ATTRIBUTES;
  PlainThenExtended(path, [&attributes](const std::wstring& p) {
    attributes = ::GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
  });
  return attributes;
}

bool SetAttributes(const std::wstring& path, DWORD attributes) {
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  attributes &= ~kUnsettableAttributes;
  if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
  return PlainThenExtended(path, [attributes](const std::wstring& p) {
    return ::SetFileAttributesW(p.c_str(), attributes) != FALSE;
  });
}

bool Exists(const std::wstring& path) {
  return AttributesForExists(path) != INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = AttributesForExists(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !IsFolderAttributes(attributes);
}

bool FolderExists(const std::wstring& path) {
  return IsFolderAttributes(GetAttributes(NormalisePath(path, kPathUnquote)));
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  const bool known = PlainThenExtended(path, [&data](const std::wstring& p) {
    return ::GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data) != FALSE;
  });
  if (known) {
    return IsFolderAttributes(data.dwFileAttributes) ? 0 : CombineSize(data.nFileSizeHigh, data.nFileSizeLow);
  }
  // Some files (the page file, for one) only answer a directory search. A
  // pattern would report whichever file matched first, so none is searched.
  if (HasWildcard(path)) return 0;
  FindState state;
  if (!FindFirst(path, state) || state.IsFolder()) return 0;
  return state.Size();
}

bool IsEmpty(const std::wstring& path) {
  const DWORD attributes = GetAttributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;
  if (IsFolderAttributes(attributes)) return FolderHoldsNothing(path);
  return FileSize(path) == 0;
}

bool CreateFolders(const std::wstring& path) {
  if (path.empty()) return false;
  if (FolderExists(path)) return true;
  if (CreateDirectoryEitherForm(path)) return true;
  for (size_t end = 1; end < path.size(); ++end) {
    if (!IsSeparator(path[end]) || IsSeparator(path[end - 1])) continue;
    const std::wstring prefix = path.substr(0, end);
    if (!FolderExists(prefix)) CreateDirectoryEitherForm(prefix);
  }
  CreateDirectoryEitherForm(path);
  return FolderExists(path);
}

bool RemoveFileForced(const std::wstring& path) {
  if (path.empty()) return false;
  return WithAttributesCleared(path, [&path] { return DeleteFileEitherForm(path); });
}

bool MovePath(const std::wstring& from, const std::wstring& to) {
  if (::MoveFileW(from.c_str(), to.c_str())) return true;
  std::wstring extendedFrom;
  std::wstring extendedTo;
  const bool fromExtends = ExtendedPath(from, extendedFrom);
  const bool toExtends = ExtendedPath(to, extendedTo);
  return (fromExtends || toExtends) && ::MoveFileW(extendedFrom.c_str(), extendedTo.c_str());
}

unsigned long long DeleteTree(const std::wstring& folder) {
  // A path made only of separators normalises to "", which would search the
  // current folder: that is never what the caller asked to remove.
  const std::wstring dir = NormalisePath(folder, kPathOneTrailingBackslash);
  if (dir.empty()) return 0;
  unsigned long long removed = 0;
  {
    // Held without delete sharing while its contents go, so that nobody can
    // rename it and put a link in its place meanwhile. RemoveDirectoryW
    // below removes a link itself, never its target.
    const std::wstring item = ItemPath(dir);
    const ScopedHandle held = OpenItemItself(item, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!IsLinkItem(held, item)) removed += DeleteFolderContents(dir);
  }
  if (WithAttributesCleared(dir, [&dir] { return RemoveDirectoryEitherForm(dir); })) ++removed;
  return removed;
}

bool IsLink(const std::wstring& path) {
  const std::wstring item = ItemPath(path);
  if (item.empty()) return false;
  const ScopedHandle handle = OpenItemItself(item, FILE_READ_ATTRIBUTES, kShareEverything);
  return IsLinkItem(handle, item);
}

bool EnsureRealFolder(const std::wstring& path) {
  const std::wstring item = ItemPath(path);
  if (IsLink(item) && !RemoveDirectoryEitherForm(item) && !DeleteFileEitherForm(item)) return false;
  return CreateFolders(item) && !IsLink(item);
}

void FindState::Take(const WIN32_FIND_DATAW& data) {
  name_ = data.cFileName;
  attributes_ = data.dwFileAttributes;
  size_ = CombineSize(data.nFileSizeHigh, data.nFileSizeLow);
}

bool FindFirst(const std::wstring& pattern, FindState& state) {
  state.Close();
  state.name_.clear();
  state.attributes_ = 0;
  state.size_ = 0;
  WIN32_FIND_DATAW data = {};
  HANDLE handle = INVALID_HANDLE_VALUE;
  PlainThenExtended(pattern, [&](const std::wstring& p) {
    handle = ::FindFirstFileW(p.c_str(), &data);
    return handle != INVALID_HANDLE_VALUE;
  });
  if (handle == INVALID_HANDLE_VALUE) return false;
  state.handle_.Reset(handle);
  state.Take(data);
  return true;
}

bool FindNext(FindState& state) {
  if (!state.IsOpen()) return false;
  WIN32_FIND_DATAW data = {};
  if (!::FindNextFileW(state.handle_.Get(), &data)) return false;
  state.Take(data);
  return true;
}

bool UniqueName(std::wstring& path) {
  // The extension is the last "." of the file name, never one in a folder name.
  const size_t nameStart = path.size() - FileNameOf(path).size();
  const size_t dot = path.rfind(L'.');
  const size_t extensionStart = (dot == std::wstring::npos || dot < nameStart) ? path.size() : dot;
  const std::wstring stem = path.substr(0, extensionStart);
  const std::wstring extension = path.substr(extensionStart);
  for (unsigned number = 1; number <= kMaxUniqueNumber; ++number) {
    std::wstring candidate = stem + L'(' + ToDecimal(number) + L')' + extension;
    if (!Exists(candidate)) {
      path.swap(candidate);
      return true;
    }
  }
  return false;
}

ScopedHandle OpenFileHandle(const std::wstring& path, DWORD access, DWORD share,
                            DWORD disposition, DWORD flags) {
  HANDLE handle = INVALID_HANDLE_VALUE;
  PlainThenExtended(path, [&](const std::wstring& p) {
    handle = ::CreateFileW(p.c_str(), access, share, nullptr, disposition, flags, nullptr);
    return handle != INVALID_HANDLE_VALUE;
  });
  return ScopedHandle(handle);
}

ScopedHandle OpenFileNotLink(const std::wstring& path, DWORD access, DWORD share,
                             DWORD disposition, DWORD flags) {
  const DWORD itself = flags | FILE_FLAG_OPEN_REPARSE_POINT;
  ScopedHandle file = OpenFileHandle(path, access, share, disposition, itself);
  if (!file || !IsLinkItem(file, path)) return file;
  file.Reset();
  if (DeleteFileEitherForm(path) || RemoveDirectoryEitherForm(path)) {
    file = OpenFileHandle(path, access, share, disposition, itself);
    if (!file || !IsLinkItem(file, path)) return file;
  }
  file.Reset();
  ::SetLastError(ERROR_CANT_ACCESS_FILE);
  return file;
}

}  // namespace Kx
