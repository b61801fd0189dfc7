// Remembered signer checks keyed by path, size and time stamps (and,
// optionally, MD5). The entries live in memory; only when a cache file is
// set are they read from it on the first lookup and written back at the
// end, under a named mutex shared by every process using that file.
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
  // since; 0 on a miss, which is every lookup while no cache file is set.
  int Lookup(const std::wstring& path, std::wstring& signer);
  void Store(int result, const std::wstring& path, const std::wstring& signer);
  void Forget(const std::wstring& path);

  // Writes the entries to the cache file now, when one is set and
  // something changed; false when that write failed.
  bool Save();

  // "Global\Kx.Signer.File.{...}.<file name with A-Z lowered>".
  static std::wstring MutexNameFor(const std::wstring& cacheFile);

  // Largest cache file read; anything bigger is not ours.
  static constexpr unsigned long long kMaxFileSize = 5242879;

 private:
  void LoadOnce();
  bool ReadCacheFile(std::vector<SignerCacheEntry>& entries) const;
  bool WriteCacheFile(const std::vector<SignerCacheEntry>& entries) const;
  SignerCacheEntry* Find(const std::wstring& path);
  bool IsCurrent(const SignerCacheEntry& entry) const;

  std::wstring cacheFile_;
  std::vector<SignerCacheEntry> entries_;
  bool loaded_ = false;
  bool checkMd5_ = false;
  bool forgotten_ = false;  // an entry was removed since the last write
};

}  // namespace Kx
