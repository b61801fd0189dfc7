// Links in folders the user may change: whatever a link points to is never
// written, emptied or deleted; the link itself is what goes.
#include "base/FileUtil.h"

#include <gtest/gtest.h>

#include "tests/support/FolderLink.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::FolderLink;
using zelk::test::ScopedTempDir;

// A folder outside the tree, with a file, that a link points to.
class FileLinksTest : public testing::Test {
 protected:
  void SetUp() override {
    target_ = outside_.Join(L"target");
    ASSERT_TRUE(CreateDirectoryW(target_.c_str(), nullptr));
    ASSERT_TRUE(zelk::test::WriteFileBytes(target_ + L"\\keep.txt", "kept"));
  }

  void ExpectTargetUntouched() const {
    std::string bytes;
    EXPECT_TRUE(zelk::test::ReadFileBytes(target_ + L"\\keep.txt", bytes));
    EXPECT_EQ("kept", bytes);
  }

  ScopedTempDir outside_;
  ScopedTempDir tree_;
  std::wstring target_;
};

TEST_F(FileLinksTest, IsLinkTellsALinkFromAFolderAndAFile) {
  const FolderLink link(tree_.Join(L"link"), target_);
  ASSERT_TRUE(link.Made());
  EXPECT_TRUE(Kx::IsLink(tree_.Join(L"link")));
  EXPECT_TRUE(Kx::IsLink(tree_.Join(L"link\\")));
  EXPECT_FALSE(Kx::IsLink(target_));
  EXPECT_FALSE(Kx::IsLink(target_ + L"\\keep.txt"));
  EXPECT_FALSE(Kx::IsLink(tree_.Join(L"absent")));
}

TEST_F(FileLinksTest, DeleteTreeNeverEmptiesWhatALinkPointsTo) {
  // The link inside a tree being deleted, and a link given as the tree.
  const std::wstring inside = tree_.Join(L"inner");
  ASSERT_TRUE(CreateDirectoryW(inside.c_str(), nullptr));
  const FolderLink nested(inside + L"\\link", target_);
  const FolderLink direct(tree_.Join(L"direct"), target_);
  ASSERT_TRUE(nested.Made());
  ASSERT_TRUE(direct.Made());
  Kx::DeleteTree(tree_.Join(L"direct"));
  Kx::DeleteTree(inside);
  ExpectTargetUntouched();
  EXPECT_TRUE(Kx::FolderExists(target_));
}

TEST_F(FileLinksTest, EnsureRealFolderNeverCreatesThroughALink) {
  const std::wstring name = tree_.Join(L"ZelkPic");
  const FolderLink link(name, target_);
  ASSERT_TRUE(link.Made());
  const bool real = Kx::EnsureRealFolder(name);
  // Windows removes the link and makes the folder; Wine cannot remove a
  // Linux link and so must refuse.
  EXPECT_EQ(real, !Kx::IsLink(name));
  EXPECT_EQ(real, !zelk::test::RunningUnderWine());
  if (real) {
    EXPECT_TRUE(Kx::IsEmpty(name));
  }
  ExpectTargetUntouched();

  const std::wstring fresh = tree_.Join(L"fresh\\ZelkPic");
  EXPECT_TRUE(Kx::EnsureRealFolder(fresh));
  EXPECT_TRUE(Kx::FolderExists(fresh));
}

TEST_F(FileLinksTest, OpenFileNotLinkNeverWritesThroughAFolderLink) {
  const std::wstring name = tree_.Join(L"link");
  const FolderLink link(name, target_);
  ASSERT_TRUE(link.Made());
  const Kx::ScopedHandle file = Kx::OpenFileNotLink(name, GENERIC_WRITE, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(file);
  ExpectTargetUntouched();
  const std::wstring plain = tree_.Join(L"plain.tmp");
  EXPECT_TRUE(Kx::OpenFileNotLink(plain, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(Kx::FileExists(plain));
}

}  // namespace
