#include "verify/SignerCacheRecord.h"

#include <cstddef>
#include <cstring>
#include <utility>

namespace Kx {
namespace {

static_assert(sizeof(wchar_t) == 2, "UTF-16 slots");
static_assert(offsetof(SignerCacheRecord, path) == 4, "record layout");
static_assert(offsetof(SignerCacheRecord, signer) == 644, "record layout");
static_assert(offsetof(SignerCacheRecord, md5) == 900, "record layout");
static_assert(offsetof(SignerCacheRecord, sizeLow) == 972, "record layout");
static_assert(offsetof(SignerCacheRecord, result) == 996, "record layout");
static_assert(sizeof(SignerCacheRecord) == 1000, "record layout");

template <size_t N>
bool PutText(wchar_t (&slot)[N], const std::wstring& text) {
  if (text.size() >= N) return false;
  std::memcpy(slot, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  return true;
}

template <size_t N>
bool GetText(const wchar_t (&slot)[N], std::wstring& text) {
  for (size_t i = 0; i < N; ++i) {
    if (slot[i] == L'\0') {
      text.assign(slot, i);
      return true;
    }
  }
  return false;
}

FILETIME MakeFileTime(DWORD low, DWORD high) {
  FILETIME time;
  time.dwLowDateTime = low;
  time.dwHighDateTime = high;
  return time;
}

}  // namespace

std::string EncodeSignerCacheRecords(const std::vector<SignerCacheEntry>& entries) {
  std::string plain;
  plain.reserve(entries.size() * sizeof(SignerCacheRecord));
  for (const auto& entry : entries) {
    SignerCacheRecord record = {};
    record.magic = SignerCacheRecord::kMagic;
    if (!PutText(record.path, entry.path) || !PutText(record.signer, entry.signer) ||
        !PutText(record.md5, entry.md5)) {
      continue;
    }
    record.sizeLow = static_cast<DWORD>(entry.size);
    record.sizeHigh = static_cast<DWORD>(entry.size >> 32);
    record.lastWriteLow = entry.lastWrite.dwLowDateTime;
    record.lastWriteHigh = entry.lastWrite.dwHighDateTime;
    record.createdLow = entry.created.dwLowDateTime;
    record.createdHigh = entry.created.dwHighDateTime;
    record.result = entry.result;
    plain.append(reinterpret_cast<const char*>(&record), sizeof(record));
  }
  return plain;
}

bool DecodeSignerCacheRecords(const std::string& plain, std::vector<SignerCacheEntry>& entries) {
  entries.clear();
  if (plain.size() % sizeof(SignerCacheRecord) != 0) return false;
  std::vector<SignerCacheEntry> decoded;
  for (size_t offset = 0; offset < plain.size(); offset += sizeof(SignerCacheRecord)) {
    SignerCacheRecord record;
    std::memcpy(&record, plain.data() + offset, sizeof(record));
    SignerCacheEntry entry;
    if (record.magic != SignerCacheRecord::kMagic || !GetText(record.path, entry.path) ||
        !GetText(record.signer, entry.signer) || !GetText(record.md5, entry.md5)) {
      return false;
    }
    entry.size = (static_cast<unsigned long long>(record.sizeHigh) << 32) | record.sizeLow;
    entry.lastWrite = MakeFileTime(record.lastWriteLow, record.lastWriteHigh);
    entry.created = MakeFileTime(record.createdLow, record.createdHigh);
    entry.result = record.result;
    decoded.push_back(std::move(entry));
  }
  entries = std::move(decoded);
  return true;
}

}  // namespace Kx
