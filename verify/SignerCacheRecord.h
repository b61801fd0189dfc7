// One remembered signer check and its 1000-byte record in the cache file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Kx {

struct SignerCacheEntry {
  std::wstring path;    // compared ignoring case
  std::wstring signer;
  std::wstring md5;     // hex text; "" when not computed
  unsigned long long size = 0;
  FILETIME lastWrite = {};
  FILETIME created = {};
  int result = 0;
  bool changed = false;  // differs from what the cache file holds
};

// The plain record: magic, then path (319 characters at most), signer
// (127), MD5 text (35), each UTF-16 with a terminator in a fixed slot, then
// size, last-write and creation time as low/high 32-bit words, and the result.
struct SignerCacheRecord {
  static constexpr DWORD kMagic = 0x23AB45DB;
  static constexpr size_t kPathSlot = 320;
  static constexpr size_t kSignerSlot = 128;
  static constexpr size_t kMd5Slot = 36;

  DWORD magic;
  wchar_t path[kPathSlot];
  wchar_t signer[kSignerSlot];
  wchar_t md5[kMd5Slot];
  DWORD sizeLow;
  DWORD sizeHigh;
  DWORD lastWriteLow;
  DWORD lastWriteHigh;
  DWORD createdLow;
  DWORD createdHigh;
  INT32 result;
};

// The plain form of the file: one record per entry, in order. Entries whose
// texts do not fit their slots are left out rather than cut, since a cut
// path would name another file.
std::string EncodeSignerCacheRecords(const std::vector<SignerCacheEntry>& entries);

// False (and no entries) when the length is not a whole number of records
// or a record lacks the magic or a terminator.
bool DecodeSignerCacheRecords(const std::string& plain, std::vector<SignerCacheEntry>& entries);

}  // namespace Kx
