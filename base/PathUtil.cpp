#include "base/PathUtil.h"

#include <windows.h>

#include "base/FileUtil.h"
#include "base/StringUtil.h"

namespace Kx {

namespace {

const wchar_t kSeparators[] = L"\\/";
const wchar_t kExtendedPrefix[] = L"\\\\?\\";
constexpr size_t kExtendedPrefixLength = 4;

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }
bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.compare(0, std::char_traits<wchar_t>::length(prefix), prefix) == 0;
}

void StripQuotePair(std::wstring& text, wchar_t quote) {
  if (text.size() > 1 && text.front() == quote && text.back() == quote) {
    text = text.substr(1, text.size() - 2);
  }
}

// Calls `query(buffer, capacity)`, which answers like the Win32 path
// queries: the length written, the capacity it needs (terminator included)
// when the buffer is too small, or 0 on failure. The needed size can grow
// between two calls (another thread changing the current folder), so a few
// rounds are allowed.
template <typename Query>
bool QueryPathText(DWORD firstCapacity, Query query, std::wstring& out) {
  DWORD capacity = firstCapacity;
  for (int round = 0; round < 4; ++round) {
    std::wstring buffer(capacity, L'\0');
    const DWORD length = query(&buffer[0], capacity);
    if (length == 0) return false;
    if (length < capacity) {
      buffer.resize(length);
      out.swap(buffer);
      return true;
    }
    capacity = length;
  }
  return false;
}

bool FullPath(const std::wstring& path, std::wstring& full) {
  if (path.empty()) return false;
  return QueryPathText(MAX_PATH, [&](wchar_t* buffer, DWORD capacity) {
    return ::GetFullPathNameW(path.c_str(), capacity, buffer, nullptr);
  }, full);
}

bool LongPathQuery(const std::wstring& path, std::wstring& out) {
  if (path.empty()) return false;
  return QueryPathText(2 * MAX_PATH, [&](wchar_t* buffer, DWORD capacity) {
    return ::GetLongPathNameW(path.c_str(), buffer, capacity);
  }, out);
}

// Length of the root of `path`: "X:\", "\\server\share\", or either behind
// "\\?\" ("\\?\X:\", "\\?\UNC\server\share\"). 0 when there is none.
size_t RootLength(const std::wstring& path) {
  size_t at = 0;
  bool unc = false;
  if (StartsWith(path, kExtendedPrefix)) {
    at = kExtendedPrefixLength;
    if (path.compare(at, 4, L"UNC\\") == 0) {
      at += 4;
      unc = true;
    }
  } else if (StartsWith(path, L"\\\\")) {
    at = 2;
    unc = true;
  }
  if (!unc) {
    const bool driveRoot = path.size() >= at + 3 && IsAsciiLetter(path[at]) &&
                           path[at + 1] == L':' && path[at + 2] == L'\\';
    return driveRoot ? at + 3 : 0;
  }
  // Server then share, each non-empty and ended by a backslash.
  for (int part = 0; part < 2; ++part) {
    const size_t end = path.find(L'\\', at);
    if (end == std::wstring::npos || end == at) return 0;
    at = end + 1;
  }
  return at;
}

bool IsForbiddenInName(wchar_t c) {
  return c < 32 || std::char_traits<wchar_t>::find(L"*?|<>\":", 7, c) != nullptr;
}

bool IsExistingNonFolder(const std::wstring& path) {
  const DWORD attributes = GetAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The checks behind IsValidTargetFolder, on a copy already limited in length.
bool CheckTargetFolder(const wchar_t* copy, size_t length) {
  const std::wstring path(copy, length);
  const size_t rootLength = RootLength(path);
  if (rootLength == 0) return false;
  const std::wstring root = path.substr(0, rootLength);
  std::wstring rest = path.substr(rootLength);

  // A character no file name may hold makes the folder unusable as given;
  // quietly dropping it would bless a different path from the caller's.
  for (wchar_t& c : rest) {
    if (IsForbiddenInName(c)) return false;
    if (c == L'/') c = L'\\';
  }
  rest = TrimRight(rest, L" \\");
  if (rest.empty() || rest[0] == L'\\') return false;

  while (!rest.empty()) {
    if (IsExistingNonFolder(root + rest)) return false;
    const size_t cut = rest.find_last_of(L'\\');
    rest = cut == std::wstring::npos ? std::wstring() : TrimRight(rest.substr(0, cut), L"\\");
  }
  return Exists(root);
}

// Process-wide working copy for IsValidTargetFolder, guarded so that a
// second thread waits rather than overwriting it.
constexpr size_t kTargetFolderMaxLength = MAX_PATH;
wchar_t g_targetFolderCopy[kTargetFolderMaxLength + 1];
SRWLOCK g_targetFolderLock = SRWLOCK_INIT;

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { ::AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ::ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

}  // namespace

std::wstring NormalisePath(const std::wstring& path, unsigned flags) {
  std::wstring result = path;
  if (flags & kPathLower) ToLower(result);
  if (flags & kPathUpper) ToUpper(result);
  if (flags & kPathUnquote) {
    StripQuotePair(result, L'"');
    StripQuotePair(result, L'\'');
  }
  if (flags & kPathOneTrailingBackslash) {
    result = TrimRight(result, kSeparators);
    if (!result.empty()) result += L'\\';
  }
  if (flags & kPathNoTrailingSeparator) result = TrimRight(result, kSeparators);
  if (flags & kPathBackslashes) {
    for (wchar_t& c : result) {
      if (c == L'/') c = L'\\';
    }
  }
  return result;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(kSeparators);
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(kSeparators);
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring FolderWithSeparatorOf(const std::wstring& path) {
  return path.substr(0, path.size() - FileNameOf(path).size());
}

std::wstring BaseNameOf(const std::wstring& path) {
  const std::wstring name = FileNameOf(path);
  const size_t dot = name.rfind(L'.');
  return dot == std::wstring::npos ? name : name.substr(0, dot);
}

std::wstring JoinPath(const std::wstring& base, const std::wstring& relative) {
  std::wstring tail = NormalisePath(relative, kPathUnquote);
  const bool unc = tail.size() > 1 && tail[0] == L'\\' && tail[1] == L'\\';
  const bool absoluteDrive = tail.size() > 2 && tail[1] == L':' && IsSeparator(tail[2]);
  if (unc || absoluteDrive) return tail;

  const std::wstring head = NormalisePath(base, kPathUnquote | kPathOneTrailingBackslash);
  tail = TrimLeft(tail, kSeparators);
  return head.empty() ? tail : head + tail;
}

bool FullPathFileName(const std::wstring& path, std::wstring& out) {
  std::wstring full;
  if (!FullPath(path, full)) return false;
  out = FileNameOf(full);
  return true;
}

bool FullPathFolder(const std::wstring& path, std::wstring& out) {
  std::wstring full;
  if (!FullPath(path, full)) return false;
  out = FolderWithSeparatorOf(full);
  return true;
}

bool IsAbsolutePath(const std::wstring& path) { return RootLength(NormalisePath(path, kPathBackslashes)) != 0; }

std::wstring LongPathOf(const std::wstring& path) {
  std::wstring result;
  if (LongPathQuery(path, result)) return result;
  std::wstring extended;
  if (ExtendedPath(path, extended) && LongPathQuery(extended, result)) {
    if (StartsWith(result, kExtendedPrefix)) result.erase(0, kExtendedPrefixLength);
    return result;
  }
  return path;
}

bool ExtendedPath(const std::wstring& path, std::wstring& out) {
  if (path.size() <= 2 || path[1] != L':' || !IsAsciiLetter(path[0])) {
    out = path;
    return false;
  }
  out = kExtendedPrefix + NormalisePath(path, kPathBackslashes);
  return true;
}

bool IsValidTargetFolder(const std::wstring& path) {
  // Longer text is refused rather than cut: a truncated copy would vouch
  // for a different folder.
  if (path.size() > kTargetFolderMaxLength) return false;
  ExclusiveLock guard(g_targetFolderLock);
  path.copy(g_targetFolderCopy, path.size());
  g_targetFolderCopy[path.size()] = L'\0';
  return CheckTargetFolder(g_targetFolderCopy, path.size());
}

bool TempFolder(std::wstring& out) {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return false;
  std::wstring folder = LongPathOf(std::wstring(buffer, length));
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  out.swap(folder);
  return true;
}

}  // namespace Kx
