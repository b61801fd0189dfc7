#include "download/TemporaryFileCommit.h"

#include <gtest/gtest.h>

#include <string>

#include "base/FileUtil.h"
#include "base/ScopedHandle.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::ReadFileBytes;
using zelk::test::WriteFileBytes;

class TemporaryFileCommitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = dir_.Join(L"app.exe");
    temporary_ = Kx::TemporaryPathFor(target_);
    ASSERT_EQ(target_ + L".tmp", temporary_);
    ASSERT_TRUE(WriteFileBytes(temporary_, "new"));
  }

  std::string Read(const std::wstring& path) const {
    std::string bytes;
    EXPECT_TRUE(ReadFileBytes(path, bytes)) << zelk::test::WideToUtf8(path);
    return bytes;
  }

  // Makes `path` a program image mapped the way a running program's file
  // is: it cannot be deleted, but it can be renamed.
  static Kx::ScopedHandle HoldAsRunningImage(const std::wstring& path) {
    std::string image;
    if (!ReadFileBytes(zelk::test::BinDir() + L"\\libcurl_x86.dll", image) || !WriteFileBytes(path, image))
      return Kx::ScopedHandle();
    const Kx::ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_EXECUTE, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return Kx::ScopedHandle();
    return Kx::ScopedHandle(CreateFileMappingW(file.Get(), nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr));
  }

  // Open with no delete sharing: neither deleted nor renamed.
  static Kx::ScopedHandle HoldWithoutDeleteSharing(const std::wstring& path) {
    return Kx::ScopedHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  zelk::test::ScopedTempDir dir_;
  std::wstring target_;
  std::wstring temporary_;
};

TEST_F(TemporaryFileCommitTest, MovesOntoAMissingTarget) {
  ASSERT_TRUE(Kx::CommitTemporaryFile(temporary_, target_));
  EXPECT_EQ("new", Read(target_));
  EXPECT_FALSE(Kx::FileExists(temporary_));
}

TEST_F(TemporaryFileCommitTest, ReplacesAReadOnlyTarget) {
  ASSERT_TRUE(WriteFileBytes(target_, "old"));
  ASSERT_TRUE(SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(Kx::CommitTemporaryFile(temporary_, target_));
  EXPECT_EQ("new", Read(target_));
  EXPECT_FALSE(Kx::FileExists(temporary_));
  EXPECT_FALSE(Kx::FileExists(target_ + L".old.tmp"));
}

TEST_F(TemporaryFileCommitTest, ATargetInUseIsSetAsideAndTheNewFileTakesItsName) {
  const Kx::ScopedHandle held = HoldAsRunningImage(target_);
  ASSERT_TRUE(held.IsValid());
  ASSERT_FALSE(DeleteFileW(target_.c_str())) << "the fixture must make the target undeletable";
  const std::string old = Read(target_);

  ASSERT_TRUE(Kx::CommitTemporaryFile(temporary_, target_));
  EXPECT_EQ("new", Read(target_));
  EXPECT_EQ(old, Read(target_ + L".old.tmp"));
  EXPECT_FALSE(Kx::FileExists(temporary_));
}

TEST_F(TemporaryFileCommitTest, AnEarlierSetAsideFileInUseKeepsAFreeName) {
  const Kx::ScopedHandle heldTarget = HoldAsRunningImage(target_);
  const Kx::ScopedHandle heldOlder = HoldAsRunningImage(target_ + L".old.tmp");
  ASSERT_TRUE(heldTarget.IsValid() && heldOlder.IsValid());
  const std::string old = Read(target_);

  ASSERT_TRUE(Kx::CommitTemporaryFile(temporary_, target_));
  EXPECT_EQ("new", Read(target_));
  EXPECT_EQ(old, Read(target_ + L".old.tmp"));
  EXPECT_EQ(old, Read(target_ + L".old(1).tmp"));
  EXPECT_FALSE(Kx::FileExists(temporary_));
}

TEST_F(TemporaryFileCommitTest, AFailedMoveLeavesTheTargetInPlace) {
  const Kx::ScopedHandle held = HoldAsRunningImage(target_);
  // The temporary file is held open, so it cannot be moved at all.
  const Kx::ScopedHandle heldTemporary = HoldWithoutDeleteSharing(temporary_);
  ASSERT_TRUE(held.IsValid() && heldTemporary.IsValid());
  const std::string old = Read(target_);

  EXPECT_FALSE(Kx::CommitTemporaryFile(temporary_, target_));
  EXPECT_EQ(old, Read(target_));
  EXPECT_EQ("new", Read(temporary_));
}

}  // namespace
