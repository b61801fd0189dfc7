// The folder the elevated installer runs checked code from: its security,
// as built and as the file system keeps it, its names and its removal.
#include "base/ProtectedFolder.h"

#include <gtest/gtest.h>

#include "base/FileUtil.h"
#include "base/FolderSecurity.h"
#include "tests/support/AdministratorsOnlyDacl.h"
#include "tests/support/FolderLink.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::AdministratorsOnlyProblem;
using zelk::test::ScopedTempDir;

TEST(FolderSecurityTest, OwnerAdministratorsProtectedDaclForAdministratorsAndSystem) {
  Kx::FolderSecurity security;
  ASSERT_TRUE(security.IsValid());
  ASSERT_NE(nullptr, security.Attributes());
  EXPECT_EQ(security.Descriptor(), security.Attributes()->lpSecurityDescriptor);
  EXPECT_FALSE(security.Attributes()->bInheritHandle);
  EXPECT_TRUE(IsValidSecurityDescriptor(security.Descriptor()));
  EXPECT_EQ("", AdministratorsOnlyProblem(security.Descriptor()));
}

TEST(ProtectedFolderTest, FileSystemKeepsTheDescriptorTheFolderWasMadeWith) {
  ScopedTempDir parent;
  Kx::ProtectedFolder folder;
  ASSERT_TRUE(folder.Create(parent.Path(), L"ZelkPic"));
  const std::string problem = zelk::test::StoredProblem(folder.Path());
  ASSERT_EQ(std::string::npos, problem.find("unreadable")) << problem;
  if (zelk::test::RunningUnderWine()) {
    // Wine 8 keeps no security descriptor on files: it answers one made from
    // the Linux mode bits (owner the Wine user, SYSTEM, the user, Everyone).
    GTEST_SKIP() << "Wine does not store file DACLs; the descriptor the folder is made with is checked above";
  }
  EXPECT_EQ("", problem);
}

TEST(ProtectedFolderTest, EveryFolderGetsANewUnpredictableNameAndGoesWithItsContents) {
  ScopedTempDir parent;
  std::wstring firstPath;
  {
    Kx::ProtectedFolder first;
    Kx::ProtectedFolder second;
    ASSERT_TRUE(first.Create(parent.Path(), L"ZelkPic"));
    ASSERT_TRUE(second.Create(parent.Path(), L"ZelkPic"));
    firstPath = first.Path();
    EXPECT_NE(first.Path(), second.Path());
    const std::wstring prefix = parent.Path() + L"\\ZelkPic.";
    ASSERT_EQ(prefix, first.Path().substr(0, prefix.size()));
    const std::wstring random = first.Path().substr(prefix.size());
    EXPECT_EQ(32u, random.size());
    EXPECT_EQ(std::wstring::npos, random.find_first_not_of(L"0123456789abcdef")) << zelk::test::WideToUtf8(random);
    EXPECT_TRUE(Kx::FolderExists(first.Path()));
    ASSERT_TRUE(zelk::test::WriteFileBytes(first.Path() + L"\\inside.exe", "x"));
  }
  EXPECT_FALSE(Kx::Exists(firstPath));
  EXPECT_TRUE(Kx::IsEmpty(parent.Path()));
}

TEST(ProtectedFolderTest, PlacedUnderTheWindowsFoldersTemp) {
  std::wstring folder;
  ASSERT_TRUE(Kx::ProtectedFolder::SystemTempFolder(folder));
  wchar_t windows[MAX_PATH] = {};
  ASSERT_NE(0u, GetWindowsDirectoryW(windows, MAX_PATH));
  EXPECT_EQ(std::wstring(windows) + L"\\Temp", folder);
  EXPECT_TRUE(Kx::FolderExists(folder));
}

}  // namespace
