#include "verify/KxMD5.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "tests/support/TestSupport.h"
#include "verify/KxHashCalcMD5.h"

namespace {

using zelk::test::ScopedTempDir;
using zelk::test::WriteFileBytes;

struct DigestCase {
  const char* label;
  std::string content;
  const wchar_t* md5;
};

class RecordingListener : public Kx::IFileHashListener {
 public:
  void OnHashFailed(const std::wstring& message) override { failures.push_back(message); }
  void OnHashProgress(double fraction) override {
    fractions.push_back(fraction);
    if (hash_to_abort != nullptr) hash_to_abort->Abort();
  }
  void OnHashCompleted(bool success) override { completions.push_back(success); }

  Kx::KxFileHash* hash_to_abort = nullptr;
  std::vector<std::wstring> failures;
  std::vector<double> fractions;
  std::vector<bool> completions;
};

TEST(KxMD5Test, FileDigestsMatchKnownValues) {
  // The long cases cross the 64 KiB read size, one of them not on a block edge.
  const DigestCase cases[] = {
      {"abc", "abc", L"900150983CD24FB0D6963F7D28E17F72"},
      {"one byte", "a", L"0CC175B9C0F1B6A831C399E269772661"},
      {"message digest", "message digest", L"F96B697D7CB7938D525A2F31AAF161D0"},
      {"exactly one block of a", std::string(65536, 'a'), L"2D61AA54B58C2E94403FB092C3DBC027"},
      {"a million a", std::string(1000000, 'a'), L"7707D6AE4E027C70EEA2A935C2296F21"},
  };
  ScopedTempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const std::wstring path = dir.Join(L"data.bin");
    ASSERT_TRUE(WriteFileBytes(path, c.content));
    Kx::KxMD5 md5;
    EXPECT_TRUE(md5.HashFile(path));
    EXPECT_EQ(c.md5, md5.GetHexString());
  }
}

TEST(KxMD5Test, EmptyFileGivesFalseAndNoDigest) {
  ScopedTempDir dir;
  const std::wstring path = dir.Join(L"empty.bin");
  ASSERT_TRUE(WriteFileBytes(path, ""));
  RecordingListener listener;
  Kx::KxMD5 md5;
  md5.SetListener(&listener);
  EXPECT_FALSE(md5.HashFile(path));
  EXPECT_EQ(L"", md5.GetHexString());
  EXPECT_EQ(1u, listener.failures.size());
  EXPECT_TRUE(listener.completions.empty());
}

TEST(KxMD5Test, AFailedHashLeavesNoDigestFromAnEarlierFile) {
  ScopedTempDir dir;
  ASSERT_TRUE(WriteFileBytes(dir.Join(L"abc.bin"), "abc"));
  Kx::KxMD5 md5;
  ASSERT_TRUE(md5.HashFile(dir.Join(L"abc.bin")));
  ASSERT_FALSE(md5.HashFile(dir.Join(L"missing.bin")));
  EXPECT_EQ(L"", md5.GetHexString());
}

TEST(KxMD5Test, UnopenableFilesReportTheSystemMessage) {
  ScopedTempDir dir;
  const std::wstring locked = dir.Join(L"locked.bin");
  ASSERT_TRUE(WriteFileBytes(locked, "abc"));
  // No sharing at all: the hash's own open must be refused.
  const Kx::ScopedHandle holder(CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder.IsValid());

  for (const std::wstring& path : {dir.Join(L"missing.bin"), locked}) {
    SCOPED_TRACE(zelk::test::WideToUtf8(path));
    RecordingListener listener;
    Kx::KxMD5 md5;
    md5.SetListener(&listener);
    EXPECT_FALSE(md5.HashFile(path));
    ASSERT_EQ(1u, listener.failures.size());
    const std::wstring& message = listener.failures.front();
    EXPECT_FALSE(message.empty());
    EXPECT_NE(L'\n', message.back());
    EXPECT_NE(L'\r', message.back());
  }
}

TEST(KxMD5Test, ListenerSeesRisingFractionsEndingAtOne) {
  ScopedTempDir dir;
  const std::wstring path = dir.Join(L"big.bin");
  ASSERT_TRUE(WriteFileBytes(path, std::string(3 * 65536 + 100, 'x')));
  RecordingListener listener;
  Kx::KxMD5 md5;
  md5.SetListener(&listener);
  ASSERT_TRUE(md5.HashFile(path));
  ASSERT_EQ(4u, listener.fractions.size());
  EXPECT_DOUBLE_EQ(65536.0 / (3 * 65536 + 100), listener.fractions.front());
  EXPECT_DOUBLE_EQ(1.0, listener.fractions.back());
  EXPECT_EQ(std::vector<bool>{true}, listener.completions);
  EXPECT_TRUE(listener.failures.empty());
}

TEST(KxMD5Test, AbortEndsTheRunWithFalseAndTheNextRunStartsClean) {
  ScopedTempDir dir;
  const std::wstring path = dir.Join(L"big.bin");
  ASSERT_TRUE(WriteFileBytes(path, std::string(1000000, 'a')));
  RecordingListener listener;
  Kx::KxMD5 md5;
  listener.hash_to_abort = &md5;
  md5.SetListener(&listener);
  EXPECT_FALSE(md5.HashFile(path));
  EXPECT_EQ(1u, listener.fractions.size());
  EXPECT_EQ(std::vector<bool>{false}, listener.completions);

  listener.hash_to_abort = nullptr;
  EXPECT_TRUE(md5.HashFile(path));
  EXPECT_EQ(L"7707D6AE4E027C70EEA2A935C2296F21", md5.GetHexString());
}

TEST(KxFileHashCalcTest, EveryCalculatorSeesTheWholeFile) {
  ScopedTempDir dir;
  const std::wstring path = dir.Join(L"abc.bin");
  ASSERT_TRUE(WriteFileBytes(path, "abc"));
  auto first = std::make_shared<Kx::KxHashCalcMD5>();
  auto second = std::make_shared<Kx::KxHashCalcMD5>();
  Kx::KxFileHashCalc hash;
  hash.Add(first);
  hash.Add(second);
  ASSERT_TRUE(hash.HashFile(path));
  EXPECT_EQ(L"900150983CD24FB0D6963F7D28E17F72", first->GetHexString());
  EXPECT_EQ(L"900150983CD24FB0D6963F7D28E17F72", second->GetHexString());
}

TEST(KxHashCalcMD5Test, IgnoresEmptyUpdatesAndCopiesTheDigestOnlyIntoRoom) {
  Kx::KxHashCalcMD5 md5;
  unsigned char digest[16] = {};
  EXPECT_EQ(L"", md5.GetHexString());
  EXPECT_FALSE(md5.GetDigest(digest, sizeof(digest)));

  md5.Init();
  md5.Update(nullptr, 3);
  md5.Update("xyz", 0);
  md5.Update("ab", 2);
  md5.Update("c", 1);
  md5.Final();
  EXPECT_EQ(L"900150983CD24FB0D6963F7D28E17F72", md5.GetHexString());

  EXPECT_FALSE(md5.GetDigest(nullptr, 16));
  EXPECT_FALSE(md5.GetDigest(digest, 15));
  ASSERT_TRUE(md5.GetDigest(digest, sizeof(digest)));
  const unsigned char expected[16] = {0x90, 0x01, 0x50, 0x98, 0x3C, 0xD2, 0x4F, 0xB0,
                                      0xD6, 0x96, 0x3F, 0x7D, 0x28, 0xE1, 0x7F, 0x72};
  EXPECT_EQ(0, std::memcmp(expected, digest, sizeof(digest)));
}

}  // namespace
