#include "verify/SignerCache.h"

#include <windows.h>

#include <algorithm>

#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/ScopedHandle.h"
#include "base/StringUtil.h"
#include "verify/KxMD5.h"
#include "verify/SignerCacheCipher.h"

namespace Kx {
namespace {

// Longest a read or write of the cache file waits for the named mutex. The
// mutex is global, so a process of another user can hold it for as long as
// it likes; past this wait the cache goes without its file.
constexpr DWORD kMutexWaitMs = 5000;

// Holds the cache file's named mutex for one read or write. A mutex that
// its last owner abandoned by dying is ours all the same: the file is
// checked on reading anyway.
class CacheFileLock {
 public:
  explicit CacheFileLock(const std::wstring& cacheFile)
      : mutex_(::CreateMutexW(nullptr, FALSE, SignerCache::MutexNameFor(cacheFile).c_str())) {
    if (!mutex_) return;
    const DWORD wait = ::WaitForSingleObject(mutex_.Get(), kMutexWaitMs);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    timedOut_ = wait == WAIT_TIMEOUT;
  }
  ~CacheFileLock() {
    if (held_) ::ReleaseMutex(mutex_.Get());
  }
  CacheFileLock(const CacheFileLock&) = delete;
  CacheFileLock& operator=(const CacheFileLock&) = delete;

  bool Held() const { return held_; }
  // Someone else kept the mutex for the whole wait.
  bool TimedOut() const { return timedOut_; }

 private:
  ScopedHandle mutex_;
  bool held_ = false;
  bool timedOut_ = false;
};

struct FileStamp {
  unsigned long long size = 0;
  FILETIME lastWrite = {};
  FILETIME created = {};
};

// Zeros when the attributes cannot be read.
FileStamp StampOf(const std::wstring& path) {
  FileStamp stamp;
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
    stamp.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWrite = data.ftLastWriteTime;
    stamp.created = data.ftCreationTime;
  }
  return stamp;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
  return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

bool HasStamp(const SignerCacheEntry& entry, const FileStamp& stamp) {
  return entry.size == stamp.size && SameTime(entry.lastWrite, stamp.lastWrite) &&
         SameTime(entry.created, stamp.created);
}

std::wstring Md5Of(const std::wstring& path) {
  KxMD5 md5;
  return md5.HashFile(path) ? md5.GetHexString() : std::wstring();
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  ScopedHandle file = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
  LARGE_INTEGER size = {};
  if (!file || !::GetFileSizeEx(file.Get(), &size)) return false;
  if (size.QuadPart < 1 || static_cast<unsigned long long>(size.QuadPart) > SignerCache::kMaxFileSize) return false;
  bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  return ::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size();
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
  ScopedHandle file = OpenFileHandle(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
  if (!file) return false;
  DWORD written = 0;
  return bytes.empty() ||
         (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
          written == bytes.size() && ::FlushFileBuffers(file.Get()));
}

}  // namespace

SignerCache::~SignerCache() { Save(); }

std::wstring SignerCache::MutexNameFor(const std::wstring& cacheFile) {
  std::wstring name = FileNameOf(cacheFile);
  for (auto& c : name) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return L"Global\\Kx.Signer.File.{A1A1B7F7-8155-4330-A7DD-765779FE2D4A}." + name;
}

int SignerCache::Lookup(const std::wstring& path, std::wstring& signer) {
  signer.clear();
  if (!UsesFile() || path.empty()) return 0;
  LoadOnce();
  if (!UsesFile()) return 0;
  const SignerCacheEntry* entry = Find(path);
  if (!entry || !IsCurrent(*entry)) return 0;
  signer = entry->signer;
  return entry->result;
}

bool SignerCache::IsCurrent(const SignerCacheEntry& entry) const {
  if (!HasStamp(entry, StampOf(entry.path))) return false;
  if (!checkMd5_) return true;
  return !entry.md5.empty() && EqualsNoCase(entry.md5, Md5Of(entry.path));
}

void SignerCache::Store(int result, const std::wstring& path, const std::wstring& signer) {
  if (path.empty()) return;
  const FileStamp stamp = StampOf(path);
  SignerCacheEntry* entry = Find(path);
  const bool isNew = entry == nullptr;
  if (isNew) {
    entries_.emplace_back();
    entry = &entries_.back();
  }
  bool changed = isNew || entry->path != path;
  if (isNew || entry->signer != signer || !HasStamp(*entry, stamp) || entry->result != result) {
    // The old digest says nothing about a file whose check came out differently.
    changed = true;
    entry->md5.clear();
  }
  entry->path = path;
  entry->signer = signer;
  entry->size = stamp.size;
  entry->lastWrite = stamp.lastWrite;
  entry->created = stamp.created;
  entry->result = result;
  if (checkMd5_ && entry->md5.empty()) {
    entry->md5 = Md5Of(path);
    changed = changed || !entry->md5.empty();
  }
  if (changed) entry->changed = true;
}

void SignerCache::Forget(const std::wstring& path) {
  const auto removed = std::remove_if(entries_.begin(), entries_.end(),
                                      [&](const SignerCacheEntry& entry) { return EqualsNoCase(entry.path, path); });
  if (removed == entries_.end()) return;
  entries_.erase(removed, entries_.end());
  forgotten_ = true;
}

SignerCacheEntry* SignerCache::Find(const std::wstring& path) {
  for (auto& entry : entries_) {
    if (EqualsNoCase(entry.path, path)) return &entry;
  }
  return nullptr;
}

void SignerCache::LoadOnce() {
  if (loaded_ || cacheFile_.empty()) return;
  loaded_ = true;
  std::vector<SignerCacheEntry> fromFile;
  if (!ReadCacheFile(fromFile)) return;
  // Entries checked in this process before the first lookup are newer.
  for (auto& entry : fromFile) {
    if (!Find(entry.path)) entries_.push_back(std::move(entry));
  }
}

bool SignerCache::ReadCacheFile(std::vector<SignerCacheEntry>& entries) {
  CacheFileLock lock(cacheFile_);
  if (lock.TimedOut()) fileUnavailable_ = true;
  if (!lock.Held() || GetAttributes(cacheFile_) == INVALID_FILE_ATTRIBUTES) return false;
  std::string bytes;
  if (FileSize(cacheFile_) == 0) return true;
  if (!ReadWholeFile(cacheFile_, bytes) || !SignerCacheCipher::Decipher(bytes) ||
      !DecodeSignerCacheRecords(bytes, entries)) {
    RemoveFileForced(cacheFile_);  // unusable: start afresh
    entries.clear();
    return false;
  }
  return true;
}

bool SignerCache::Save() {
  if (cacheFile_.empty()) return true;
  const bool changed = forgotten_ || std::any_of(entries_.begin(), entries_.end(),
                                                 [](const SignerCacheEntry& entry) { return entry.changed; });
  if (!changed) return true;
  // Without a read first, the write would drop what other processes stored.
  LoadOnce();
  if (fileUnavailable_ || !WriteCacheFile(entries_)) return false;
  for (auto& entry : entries_) entry.changed = false;
  forgotten_ = false;
  return true;
}

bool SignerCache::WriteCacheFile(const std::vector<SignerCacheEntry>& entries) {
  std::string bytes = EncodeSignerCacheRecords(entries);
  if (!SignerCacheCipher::Encipher(bytes)) return false;
  CacheFileLock lock(cacheFile_);
  if (lock.TimedOut()) fileUnavailable_ = true;
  if (!lock.Held()) return false;
  // Written beside the cache and moved over it, so that a failed write
  // never leaves half a file behind.
  const std::wstring temporary = cacheFile_ + L".tmp";
  if (!WriteWholeFile(temporary, bytes)) {
    RemoveFileForced(temporary);
    return false;
  }
  if (!::MoveFileExW(temporary.c_str(), cacheFile_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    RemoveFileForced(temporary);
    return false;
  }
  return true;
}

}  // namespace Kx
