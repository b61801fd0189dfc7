#include "verify/SignerCache.h"

#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "base/FileUtil.h"
#include "tests/support/TestSupport.h"
#include "verify/SignerCacheCipher.h"

namespace {

using zelk::test::ReadFileBytes;
using zelk::test::ScopedTempDir;
using zelk::test::WriteFileBytes;

struct Stamp {
  FILETIME created;
  FILETIME lastWrite;
};

bool ReadStamp(const std::wstring& path, Stamp& stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
  stamp.created = data.ftCreationTime;
  stamp.lastWrite = data.ftLastWriteTime;
  return true;
}

bool WriteStamp(const std::wstring& path, const Stamp& stamp) {
  Kx::ScopedHandle file = Kx::OpenFileHandle(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, OPEN_EXISTING, 0);
  return file && SetFileTime(file.Get(), &stamp.created, nullptr, &stamp.lastWrite);
}

// The plain records of a cache file.
std::string PlainRecords(const std::wstring& cacheFile) {
  std::string bytes;
  if (!ReadFileBytes(cacheFile, bytes) || !Kx::SignerCacheCipher::Decipher(bytes)) return "<unreadable>";
  return bytes;
}

std::wstring TextAt(const std::string& plain, size_t offset, size_t characters) {
  std::wstring text(characters, L'\0');
  std::memcpy(&text[0], plain.data() + offset, characters * sizeof(wchar_t));
  return text.substr(0, text.find(L'\0'));
}

DWORD WordAt(const std::string& plain, size_t offset) {
  DWORD word = 0;
  std::memcpy(&word, plain.data() + offset, sizeof(word));
  return word;
}

class SignerCacheTest : public testing::Test {
 protected:
  void SetUp() override {
    cacheFile_ = dir_.Join(L"Signers.Cache");
    first_ = dir_.Join(L"first.exe");
    second_ = dir_.Join(L"second.exe");
    ASSERT_TRUE(WriteFileBytes(first_, "abc"));
    ASSERT_TRUE(WriteFileBytes(second_, std::string(5000, 's')));
  }

  ScopedTempDir dir_;
  std::wstring cacheFile_;
  std::wstring first_;
  std::wstring second_;
};

TEST_F(SignerCacheTest, WithoutACacheFileEveryLookupMisses) {
  Kx::SignerCache cache;
  cache.Store(2, first_, L"Signer");
  std::wstring signer = L"stale";
  EXPECT_EQ(0, cache.Lookup(first_, signer));
  EXPECT_EQ(L"", signer);
}

TEST_F(SignerCacheTest, EntriesComeBackFromTheCacheFile) {
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
    cache.Store(1, second_, L"");
  }  // written back at the end
  Kx::SignerCache cache;
  cache.SetCacheFile(cacheFile_);
  std::wstring signer;
  EXPECT_EQ(2, cache.Lookup(dir_.Join(L"FIRST.EXE"), signer));
  EXPECT_EQ(L"First Signer", signer);
  EXPECT_EQ(1, cache.Lookup(second_, signer));
  EXPECT_EQ(L"", signer);
  EXPECT_EQ(0, cache.Lookup(dir_.Join(L"third.exe"), signer));
}

TEST_F(SignerCacheTest, CacheFileHoldsThousandByteRecords) {
  Kx::SignerCache cache;
  cache.SetCacheFile(cacheFile_);
  cache.Store(3, first_, L"First Signer");
  cache.Store(2, second_, L"上海泽珂网络科技股份有限公司");
  ASSERT_TRUE(cache.Save());

  std::string enciphered;
  ASSERT_TRUE(ReadFileBytes(cacheFile_, enciphered));
  const std::string plain = PlainRecords(cacheFile_);
  ASSERT_EQ(2000u, plain.size());
  EXPECT_NE(plain, enciphered);  // the records are not stored in the clear

  WIN32_FILE_ATTRIBUTE_DATA data = {};
  ASSERT_TRUE(GetFileAttributesExW(second_.c_str(), GetFileExInfoStandard, &data));
  const std::string second = plain.substr(1000);
  EXPECT_EQ(0x23AB45DBu, WordAt(second, 0));
  EXPECT_EQ(second_, TextAt(second, 4, 320));
  EXPECT_EQ(L"上海泽珂网络科技股份有限公司", TextAt(second, 644, 128));
  EXPECT_EQ(L"", TextAt(second, 900, 36));
  EXPECT_EQ(5000u, WordAt(second, 972));
  EXPECT_EQ(0u, WordAt(second, 976));
  EXPECT_EQ(data.ftLastWriteTime.dwLowDateTime, WordAt(second, 980));
  EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, WordAt(second, 984));
  EXPECT_EQ(data.ftCreationTime.dwLowDateTime, WordAt(second, 988));
  EXPECT_EQ(data.ftCreationTime.dwHighDateTime, WordAt(second, 992));
  EXPECT_EQ(2u, WordAt(second, 996));
  EXPECT_EQ(3u, WordAt(plain, 996));
  EXPECT_EQ(first_, TextAt(plain, 4, 320));
}

TEST_F(SignerCacheTest, ChangedFileIsNoLongerRemembered) {
  Stamp stamp;
  ASSERT_TRUE(ReadStamp(first_, stamp));
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
  }
  std::wstring signer;
  {
    Stamp later = stamp;
    later.lastWrite.dwHighDateTime += 1;
    ASSERT_TRUE(WriteStamp(first_, later));
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    EXPECT_EQ(0, cache.Lookup(first_, signer));
  }
  {
    ASSERT_TRUE(WriteStamp(first_, stamp));
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    EXPECT_EQ(2, cache.Lookup(first_, signer));
  }
  {
    ASSERT_TRUE(WriteFileBytes(first_, "abcd"));
    ASSERT_TRUE(WriteStamp(first_, stamp));
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    EXPECT_EQ(0, cache.Lookup(first_, signer));
  }
}

TEST_F(SignerCacheTest, Md5CheckCatchesContentBehindOldStamps) {
  Stamp stamp;
  ASSERT_TRUE(ReadStamp(first_, stamp));
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.SetCheckMd5(true);
    cache.Store(2, first_, L"First Signer");
  }
  EXPECT_EQ(L"900150983CD24FB0D6963F7D28E17F72", TextAt(PlainRecords(cacheFile_), 900, 36));

  std::wstring signer;
  for (const bool checkMd5 : {true, false}) {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.SetCheckMd5(checkMd5);
    EXPECT_EQ(2, cache.Lookup(first_, signer)) << checkMd5;
  }
  // Same size, same time stamps, other bytes.
  ASSERT_TRUE(WriteFileBytes(first_, "abd"));
  ASSERT_TRUE(WriteStamp(first_, stamp));
  Kx::SignerCache checking;
  checking.SetCacheFile(cacheFile_);
  checking.SetCheckMd5(true);
  EXPECT_EQ(0, checking.Lookup(first_, signer));
  Kx::SignerCache trusting;
  trusting.SetCacheFile(cacheFile_);
  EXPECT_EQ(2, trusting.Lookup(first_, signer));
}

TEST_F(SignerCacheTest, ForgottenEntriesLeaveTheFile) {
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
    cache.Store(2, second_, L"Second Signer");
  }
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    std::wstring signer;
    EXPECT_EQ(2, cache.Lookup(second_, signer));
    cache.Forget(dir_.Join(L"SECOND.exe"));
    EXPECT_EQ(0, cache.Lookup(second_, signer));
  }
  const std::string plain = PlainRecords(cacheFile_);
  ASSERT_EQ(1000u, plain.size());
  EXPECT_EQ(first_, TextAt(plain, 4, 320));
}

struct UnusableCase {
  const char* label;
  std::string plain;  // enciphered before writing, unless `raw`
  bool raw;
};

class UnusableCacheFileTest : public SignerCacheTest, public testing::WithParamInterface<UnusableCase> {};

TEST_P(UnusableCacheFileTest, IsDeletedOnTheFirstLookup) {
  std::string bytes = GetParam().plain;
  if (!GetParam().raw) {
    ASSERT_TRUE(Kx::SignerCacheCipher::Encipher(bytes));
  }
  ASSERT_TRUE(WriteFileBytes(cacheFile_, bytes));
  Kx::SignerCache cache;
  cache.SetCacheFile(cacheFile_);
  std::wstring signer;
  EXPECT_EQ(0, cache.Lookup(first_, signer));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(cacheFile_.c_str()));
}

std::string RecordWithMagic(DWORD magic) {
  std::string record(1000, '\0');
  std::memcpy(&record[0], &magic, sizeof(magic));
  return record;
}

INSTANTIATE_TEST_SUITE_P(
    Contents, UnusableCacheFileTest,
    testing::Values(UnusableCase{"NotWholeRecords", std::string(1008, '\0'), false},
                    UnusableCase{"NoMagic", RecordWithMagic(0x12345678), false},
                    UnusableCase{"NotWholeBlocks", std::string(13, 'x'), true},
                    UnusableCase{"NoTerminatorInPath", RecordWithMagic(0x23AB45DB).replace(4, 640, 640, 'a'), false}),
    [](const testing::TestParamInfo<UnusableCase>& info) { return std::string(info.param.label); });

TEST(SignerCacheMutexTest, NameIsMadeFromTheLoweredFileName) {
  const std::wstring prefix = L"Global\\Kx.Signer.File.{A1A1B7F7-8155-4330-A7DD-765779FE2D4A}.";
  EXPECT_EQ(prefix + L"signers.cache", Kx::SignerCache::MutexNameFor(L"C:\\Data\\Signers.CACHE"));
  EXPECT_EQ(prefix + L"mixed.bin", Kx::SignerCache::MutexNameFor(L"C:/Data\\Sub/MiXeD.bin"));
  // Only A to Z are lowered.
  EXPECT_EQ(prefix + L"ÄÖ.bin", Kx::SignerCache::MutexNameFor(L"ÄÖ.BIN"));
}

// A lookup on a cache of its own, as another process would make it; with
// `storeAndSave` a store and a save after it.
struct LookupJob {
  std::wstring cacheFile;
  std::wstring path;
  bool storeAndSave = false;
  int result = -1;
  bool saved = true;
};

DWORD CALLBACK RunLookup(void* context) {
  auto* job = static_cast<LookupJob*>(context);
  Kx::SignerCache cache;
  cache.SetCacheFile(job->cacheFile);
  std::wstring signer;
  job->result = cache.Lookup(job->path, signer);
  if (job->storeAndSave) {
    cache.Store(3, job->path, L"Changed Signer");
    job->saved = cache.Save();
  }
  return 0;  // the destructor saves once more
}

DWORD CALLBACK TakeAndAbandon(void* context) {
  auto* mutex = static_cast<HANDLE*>(context);
  WaitForSingleObject(*mutex, INFINITE);
  return 0;  // ends without releasing it
}

TEST_F(SignerCacheTest, ReadingWaitsForTheNamedMutex) {
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
  }
  Kx::ScopedHandle mutex(CreateMutexW(nullptr, TRUE, Kx::SignerCache::MutexNameFor(cacheFile_).c_str()));
  ASSERT_TRUE(mutex);
  LookupJob job{cacheFile_, first_};
  Kx::ScopedHandle worker(CreateThread(nullptr, 0, RunLookup, &job, 0, nullptr));
  ASSERT_TRUE(worker);
  EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(worker.Get(), 500));
  ReleaseMutex(mutex.Get());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.Get(), 30000));
  EXPECT_EQ(2, job.result);
}

// The mutex is global: whoever keeps it, another user's process too, must
// not hang the installer. The cache then works without its file.
TEST_F(SignerCacheTest, MutexKeptByAnotherGoesWithoutTheFile) {
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
  }
  std::string before;
  ASSERT_TRUE(ReadFileBytes(cacheFile_, before));
  Kx::ScopedHandle mutex(CreateMutexW(nullptr, TRUE, Kx::SignerCache::MutexNameFor(cacheFile_).c_str()));
  ASSERT_TRUE(mutex);

  LookupJob job{cacheFile_, first_, true};
  Kx::ScopedHandle worker(CreateThread(nullptr, 0, RunLookup, &job, 0, nullptr));
  ASSERT_TRUE(worker);
  // Ends while the mutex is still kept (far longer than the cache waits).
  const DWORD wait = WaitForSingleObject(worker.Get(), 60000);
  ReleaseMutex(mutex.Get());
  WaitForSingleObject(worker.Get(), 30000);  // the job is on this stack
  ASSERT_EQ(WAIT_OBJECT_0, wait);
  EXPECT_EQ(0, job.result);
  EXPECT_FALSE(job.saved);
  std::string after;
  ASSERT_TRUE(ReadFileBytes(cacheFile_, after));
  EXPECT_EQ(before, after);

  // Once free, the file serves again, untouched.
  Kx::SignerCache cache;
  cache.SetCacheFile(cacheFile_);
  std::wstring signer;
  EXPECT_EQ(2, cache.Lookup(first_, signer));
  EXPECT_EQ(L"First Signer", signer);
}

TEST_F(SignerCacheTest, AbandonedMutexCountsAsAcquired) {
  {
    Kx::SignerCache cache;
    cache.SetCacheFile(cacheFile_);
    cache.Store(2, first_, L"First Signer");
  }
  Kx::ScopedHandle mutex(CreateMutexW(nullptr, FALSE, Kx::SignerCache::MutexNameFor(cacheFile_).c_str()));
  ASSERT_TRUE(mutex);
  HANDLE shared = mutex.Get();
  Kx::ScopedHandle owner(CreateThread(nullptr, 0, TakeAndAbandon, &shared, 0, nullptr));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(owner.Get(), 30000));

  LookupJob job{cacheFile_, first_};
  Kx::ScopedHandle worker(CreateThread(nullptr, 0, RunLookup, &job, 0, nullptr));
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker.Get(), 30000));
  EXPECT_EQ(2, job.result);
}

}  // namespace
