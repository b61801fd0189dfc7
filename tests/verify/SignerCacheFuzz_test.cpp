// Randomized signature-cache contents through the record decoder and the
// cache file reader: no crash, no hang, every decoded entry well-formed, and
// an unreadable cache file removed rather than trusted. Seed and count:
// tests/support/FuzzInput.h.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestSupport.h"
#include "verify/SignerCache.h"
#include "verify/SignerCacheCipher.h"
#include "verify/SignerCacheRecord.h"

namespace {

using zelk::test::FuzzInput;

bool SameEntries(const std::vector<Kx::SignerCacheEntry>& a, const std::vector<Kx::SignerCacheEntry>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].path != b[i].path || a[i].signer != b[i].signer || a[i].md5 != b[i].md5 || a[i].size != b[i].size ||
        CompareFileTime(&a[i].lastWrite, &b[i].lastWrite) != 0 ||
        CompareFileTime(&a[i].created, &b[i].created) != 0 || a[i].result != b[i].result) {
      return false;
    }
  }
  return true;
}

// A few entries of the kind the verifier stores, some with texts near or
// past their slots.
std::vector<Kx::SignerCacheEntry> SomeEntries(FuzzInput& input) {
  std::vector<Kx::SignerCacheEntry> entries(input.Below(4));
  for (Kx::SignerCacheEntry& entry : entries) {
    entry.path = L"C:\\" + input.WideChars(input.Chance(10) ? 400 : 60);
    entry.signer = input.WideChars(input.Chance(10) ? 140 : 30);
    entry.md5 = input.Chance(50) ? std::wstring(32, L'a') : std::wstring();
    entry.size = input.Below(1u << 30);
    entry.lastWrite.dwLowDateTime = static_cast<DWORD>(input.Below(0xFFFFFFFFu));
    entry.result = static_cast<int>(input.Below(5));
  }
  return entries;
}

// Records as a cache file may hold them after damage: bytes edited,
// records cut or repeated, or nothing of ours at all.
std::string DamagedPlain(FuzzInput& input) {
  const std::string plain = Kx::EncodeSignerCacheRecords(SomeEntries(input));
  switch (input.Below(4)) {
    case 0:
      return input.Bytes(3000);
    case 1: {
      // Flipped bytes keep the length, so the decoder looks inside.
      std::string text = plain;
      for (size_t n = input.Below(4) + 1; n > 0 && !text.empty(); --n) {
        text[input.Below(text.size())] = static_cast<char>(input.Below(256));
      }
      return text;
    }
    default:
      return input.Mutate(plain, 4);
  }
}

TEST(SignerCacheFuzz, DecodedRecordsAreWholeTerminatedAndReadBackTheSame) {
  FuzzInput input("SignerCacheFuzz.DecodedRecords");
  unsigned decodedSome = 0;
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::string plain = DamagedPlain(input);
    std::vector<Kx::SignerCacheEntry> entries(1);
    if (!Kx::DecodeSignerCacheRecords(plain, entries)) {
      ASSERT_TRUE(entries.empty());
      continue;
    }
    decodedSome += entries.empty() ? 0 : 1;
    ASSERT_EQ(plain.size(), entries.size() * sizeof(Kx::SignerCacheRecord));
    for (const Kx::SignerCacheEntry& entry : entries) {
      ASSERT_LT(entry.path.size(), Kx::SignerCacheRecord::kPathSlot);
      ASSERT_LT(entry.signer.size(), Kx::SignerCacheRecord::kSignerSlot);
      ASSERT_LT(entry.md5.size(), Kx::SignerCacheRecord::kMd5Slot);
      ASSERT_EQ(std::wstring::npos, (entry.path + entry.signer + entry.md5).find(L'\0'));
    }
    // What was read is what would be written back.
    std::vector<Kx::SignerCacheEntry> again;
    ASSERT_TRUE(Kx::DecodeSignerCacheRecords(Kx::EncodeSignerCacheRecords(entries), again));
    ASSERT_TRUE(SameEntries(entries, again));
  }
  EXPECT_GT(decodedSome, 0u) << "the damage left some records readable";
}

// One cache file per twenty inputs (each costs a file write, the named
// mutex and the cipher): the lookup misses (no fuzzed entry matches a real
// file) and the file is either readable records or gone.
TEST(SignerCacheFuzz, ADamagedCacheFileIsRemovedAndAReadableOneKept) {
  FuzzInput input("SignerCacheFuzz.CacheFile (one file per 20 inputs)");
  zelk::test::ScopedTempDir dir;
  const std::wstring cacheFile = dir.Join(L"Signers.Cache");
  const std::wstring probe = dir.Join(L"probe.exe");
  ASSERT_TRUE(zelk::test::WriteFileBytes(probe, "probe"));
  const unsigned count = FuzzInput::Count() / 20 + 1;
  for (unsigned i = 0; i < count; ++i) {
    std::string bytes = DamagedPlain(input);
    if (input.Chance(70)) {
      ASSERT_TRUE(Kx::SignerCacheCipher::Encipher(bytes));
    }
    ASSERT_TRUE(zelk::test::WriteFileBytes(cacheFile, bytes));
    {
      Kx::SignerCache cache;
      cache.SetCacheFile(cacheFile);
      std::wstring signer = L"unset";
      ASSERT_EQ(0, cache.Lookup(probe, signer));
    }
    std::string left;
    if (!zelk::test::ReadFileBytes(cacheFile, left)) continue;  // removed as unreadable
    std::vector<Kx::SignerCacheEntry> entries;
    ASSERT_TRUE(left.empty() || (Kx::SignerCacheCipher::Decipher(left) && Kx::DecodeSignerCacheRecords(left, entries)))
        << "an unreadable cache file was kept";
  }
}

}  // namespace
