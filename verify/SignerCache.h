// Remembered signer checks keyed by path, size and time stamps (and,
// optionally, MD5). The entries live in memory; only when a cache file is
// set are they read from it on the first lookup and written back at the
// end, under a named mutex shared by every process using that file. That
// mutex is waited for a few seconds at most; a cache that cannot have it
// works as if no file were set.
#pragma once

#include <string>
#include <vector>

#include "verify/SignerCacheRecord.h"

namespace Kx {

class SignerCache {
 public:
  SignerCache() = default;
  // Writes the entries back when a cache file is set.
  ~SignerCache();
  SignerCache(const SignerCache&) = delete;
  SignerCache& operator=(const SignerCache&) = delete;

  void SetCacheFile(const std::wstring& path) { cacheFile_ = path; }
  const std::wstring& CacheFile() const { return cacheFile_; }
  void SetCheckMd5(bool check) { checkMd5_ = check; }

  // The remembered result (and its signer) of a file that has not changed
  // since; 0 on a miss, which is every lookup while no cache file is set or
  // once the file's mutex could not be had in time.
  int Lookup(const std::wstring& path, std::wstring& signer);
  void Store(int result, const std::wstring& path, const std::wstring& signer);
  void Forget(const std::wstring& path);

  // Writes the entries to the cache file now, when one is set and
  // something changed; false when that write failed or the file's mutex
  // could not be had in time.
  bool Save();

  // "Global\Kx.Signer.File.{...}.<file name with A-Z lowered>".
  static std::wstring MutexNameFor(const std::wstring& cacheFile);

  // Largest cache file read; anything bigger is not ours.
  static constexpr unsigned long long kMaxFileSize = 5242879;

 private:
  // A cache file is set and its mutex has not been held by another for a
  // whole wait.
  bool UsesFile() const { return !cacheFile_.empty() && !fileUnavailable_; }
  void LoadOnce();
  bool ReadCacheFile(std::vector<SignerCacheEntry>& entries);
  bool WriteCacheFile(const std::vector<SignerCacheEntry>& entries);
  SignerCacheEntry* Find(const std::wstring& path);
  bool IsCurrent(const SignerCacheEntry& entry) const;

  std::wstring cacheFile_;
  std::vector<SignerCacheEntry> entries_;
  bool loaded_ = false;
  bool checkMd5_ = false;
  bool forgotten_ = false;  // an entry was removed since the last write
  // Another process kept the file's mutex for a whole wait: the file is
  // left alone from then on, so no later call waits again.
  bool fileUnavailable_ = false;
};

}  // namespace Kx
