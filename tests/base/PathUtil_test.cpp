#include "base/PathUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "base/StringUtil.h"
#include "tests/base/RawTempDir.h"
#include "tests/support/ScopedEnvironment.h"

namespace {

using zelk::test::ScopedEnvironment;
using zelk::test::ScopedTempDir;

bool MakeFolder(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }
bool MakeFile(const std::wstring& path) { return zelk::test::WriteFileBytes(path, "x"); }

// A drive letter with no drive behind it.
wchar_t UnusedDriveLetter() {
  const DWORD drives = GetLogicalDrives();
  for (int letter = 'Y'; letter >= 'D'; --letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) return static_cast<wchar_t>(letter);
  }
  return 0;
}

std::wstring ShortPathOf(const std::wstring& path) {
  wchar_t buffer[1024];
  const DWORD length = GetShortPathNameW(path.c_str(), buffer, 1024);
  return length > 0 && length < 1024 ? std::wstring(buffer, length) : std::wstring();
}

TEST(PathUtilTest, NormalisePathFlags) {
  struct Case {
    const wchar_t* path;
    unsigned flags;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\X", Kx::kPathLower, L"c:\\program files\\x"},
      {L"c:\\x", Kx::kPathUpper, L"C:\\X"},
      {L"\"C:\\x\"", Kx::kPathUnquote, L"C:\\x"},
      {L"'C:\\x'", Kx::kPathUnquote, L"C:\\x"},
      {L"\"'C:\\x'\"", Kx::kPathUnquote, L"C:\\x"},    // double pair first, then single
      {L"'\"C:\\x\"'", Kx::kPathUnquote, L"\"C:\\x\""},  // only one pair of each, in that order
      {L"\"", Kx::kPathUnquote, L"\""},                // one character is not a pair
      {L"\"\"", Kx::kPathUnquote, L""},
      {L"\"C:\\x", Kx::kPathUnquote, L"\"C:\\x"},
      {L"", Kx::kPathOneTrailingBackslash, L""},
      {L"C:\\x\\\\\\\\", Kx::kPathOneTrailingBackslash, L"C:\\x\\"},
      {L"C:\\x/\\/", Kx::kPathOneTrailingBackslash, L"C:\\x\\"},
      {L"C:\\x", Kx::kPathOneTrailingBackslash, L"C:\\x\\"},
      {L"\\\\//", Kx::kPathOneTrailingBackslash, L""},
      {L"C:\\x\\/", Kx::kPathNoTrailingSeparator, L"C:\\x"},
      {L"C:/a/b/", Kx::kPathBackslashes, L"C:\\a\\b\\"},
      // Combined: unquoting happens before the trailing separator is fixed,
      // and "/" becomes "\" last.
      {L"\"C:/A/B//\"", Kx::kPathLower | Kx::kPathUnquote | Kx::kPathOneTrailingBackslash | Kx::kPathBackslashes,
       L"c:\\a\\b\\"},
      {L"\"C:\\x\\\"", Kx::kPathUnquote | Kx::kPathNoTrailingSeparator, L"C:\\x"},
      {L"C:\\Mixed", 0, L"C:\\Mixed"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::NormalisePath(c.path, c.flags), c.expected) << "path: " << c.path << " flags: " << c.flags;
  }
}

TEST(PathUtilTest, FileNameOfAndBaseNameOf) {
  struct Case {
    const wchar_t* path;
    const wchar_t* fileName;
    const wchar_t* baseName;
  };
  const Case cases[] = {
      {L"https://download.example.com/tg/pic/zelkpic_KUID_100090_v10.10.exe", L"zelkpic_KUID_100090_v10.10.exe",
       L"zelkpic_KUID_100090_v10.10"},
      {L"C:\\dir.v2\\file", L"file", L"file"},  // a dot in a folder is not an extension
      {L"C:\\dir/setup.tar.gz", L"setup.tar.gz", L"setup.tar"},
      {L"C:\\dir\\", L"", L""},
      {L"name.txt", L"name.txt", L"name"},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::FileNameOf(c.path), c.fileName) << c.path;
    EXPECT_EQ(Kx::BaseNameOf(c.path), c.baseName) << c.path;
  }
}

TEST(PathUtilTest, FolderOfWithAndWithoutItsSeparator) {
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* folderWithSeparator;
  };
  const Case cases[] = {
      {L"C:\\a\\b.exe", L"C:\\a", L"C:\\a\\"},
      {L"C:\\a/b.exe", L"C:\\a", L"C:\\a/"},    // the separator kept is the one found
      {L"C:/a\\b/c", L"C:/a\\b", L"C:/a\\b/"},  // the last separator of either kind
      {L"C:\\a\\", L"C:\\a", L"C:\\a\\"},      // a folder path is its own folder
      {L"C:\\x.exe", L"C:", L"C:\\"},
      {L"\\\\server\\share\\f", L"\\\\server\\share", L"\\\\server\\share\\"},
      {L"\\f", L"", L"\\"},
      {L"name.txt", L"", L""},
      {L"C:name.txt", L"", L""},
      {L"", L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(Kx::FolderWithSeparatorOf(c.path), c.folderWithSeparator) << c.path;
  }
}

TEST(PathUtilTest, JoinPath) {
  struct Case {
    const wchar_t* base;
    const wchar_t* relative;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"C:\\x\\", L"\\y", L"C:\\x\\y"},
      {L"C:\\x", L"D:\\y", L"D:\\y"},
      {L"C:\\x", L"D:/y", L"D:/y"},
      {L"", L"y", L"y"},
      {L"C:\\x", L"y", L"C:\\x\\y"},
      {L"C:\\x///", L"//y/z", L"C:\\x\\y/z"},
      {L"C:\\x", L"\\\\server\\share\\f", L"\\\\server\\share\\f"},
      {L"\"C:\\Program Files\\\"", L"\"ZelkPic\"", L"C:\\Program Files\\ZelkPic"},
      {L"C:\\x", L"\"D:\\y\"", L"D:\\y"},
      {L"C:\\x", L"", L"C:\\x\\"},
      {L"C:\\x", L"D:", L"C:\\x\\D:"},  // a bare drive is not an absolute path
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::JoinPath(c.base, c.relative), c.expected) << c.base << " + " << c.relative;
  }
}

TEST(PathUtilTest, IsAbsolutePathOnlyFromARoot) {
  struct Case {
    const wchar_t* path;
    bool absolute;
  };
  const Case cases[] = {
      {L"C:\\Program Files\\ZelkPic\\ZelkPdfEditor.exe", true},
      {L"c:/x/y.exe", true},
      {L"C:\\", true},
      {L"\\\\server\\share\\y.exe", true},
      {L"\\\\?\\C:\\x", true},
      {L"ZelkPdfEditor.exe", false},
      {L"sub\\ZelkPdfEditor.exe", false},
      {L".\\ZelkPdfEditor.exe", false},
      {L"C:ZelkPdfEditor.exe", false},  // relative to that drive's current folder
      {L"\\ZelkPdfEditor.exe", false},  // relative to the current drive
      {L"\\\\server", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::IsAbsolutePath(c.path), c.absolute) << c.path;
  }
}

TEST(PathUtilTest, ExtendedPathOnlyForDriveLetterPaths) {
  struct Case {
    const wchar_t* path;
    bool extended;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"C:\\x", true, L"\\\\?\\C:\\x"},
      {L"z:\\x", true, L"\\\\?\\z:\\x"},
      // The extended form is taken literally, so "/" must already be "\".
      {L"C:/a/b", true, L"\\\\?\\C:\\a\\b"},
      {L"C:", false, L"C:"},
      {L"1:\\x", false, L"1:\\x"},
      {L"\\\\server\\share\\x", false, L"\\\\server\\share\\x"},
      {L"\\\\?\\C:\\x", false, L"\\\\?\\C:\\x"},
      {L"relative\\x", false, L"relative\\x"},
      {L"", false, L""},
  };
  for (const Case& c : cases) {
    std::wstring out = L"garbage";
    EXPECT_EQ(Kx::ExtendedPath(c.path, out), c.extended) << c.path;
    EXPECT_EQ(out, c.expected) << c.path;
  }
}

TEST(PathUtilTest, FullPathIsTakenFromTheCurrentFolder) {
  ScopedTempDir temp;
  std::wstring name, folder;
  wchar_t current[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
  const bool gotName = Kx::FullPathFileName(L"rel.txt", name);
  const bool gotFolder = Kx::FullPathFolder(L"rel.txt", folder);
  SetCurrentDirectoryW(current);
  ASSERT_TRUE(gotName && gotFolder);
  EXPECT_EQ(name, L"rel.txt");
  EXPECT_EQ(folder, temp.Path() + L"\\");
}

TEST(PathUtilTest, FullPathBeyondTheFirstBuffer) {
  std::wstring path = L"C:\\";
  while (path.size() < 700) path += L"segment_of_a_long_path\\";
  path += L"file.bin";
  std::wstring name, folder;
  ASSERT_TRUE(Kx::FullPathFileName(path, name));
  EXPECT_EQ(name, L"file.bin");
  ASSERT_TRUE(Kx::FullPathFolder(path, folder));
  EXPECT_EQ(folder, path.substr(0, path.size() - 8));
}

TEST(PathUtilTest, FullPathSplitsIntoNameAndFolder) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
    const wchar_t* folder;
  };
  const Case cases[] = {
      {L"C:\\x\\pkg.exe", L"pkg.exe", L"C:\\x\\"},
      {L"C:\\x\\sub\\..\\pkg.exe", L"pkg.exe", L"C:\\x\\"},
      // Forward slashes come back as backslashes.
      {L"C:/x/a/b.txt", L"b.txt", L"C:\\x\\a\\"},
      // A path ending in a separator names a folder: no file name.
      {L"C:\\x\\", L"", L"C:\\x\\"},
      {L"C:\\x/", L"", L"C:\\x\\"},
      {L"C:\\", L"", L"C:\\"},
      {L"\\\\server\\share\\dir\\", L"", L"\\\\server\\share\\dir\\"},
      {L"\\\\server\\share\\f.txt", L"f.txt", L"\\\\server\\share\\"},
      {L"C:\\x\\.", L"x", L"C:\\"},
  };
  for (const Case& c : cases) {
    std::wstring name = L"unchanged";
    std::wstring folder = L"unchanged";
    EXPECT_TRUE(Kx::FullPathFileName(c.path, name)) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_TRUE(Kx::FullPathFolder(c.path, folder)) << c.path;
    EXPECT_EQ(folder, c.folder) << c.path;
  }
}

TEST(PathUtilTest, FullPathOfNothingFails) {
  std::wstring out = L"unchanged";
  EXPECT_FALSE(Kx::FullPathFileName(L"", out));
  EXPECT_FALSE(Kx::FullPathFolder(L"", out));
  EXPECT_EQ(out, L"unchanged");
}

TEST(PathUtilTest, LongPathOfExpandsShortNames) {
  ScopedTempDir temp;
  const std::wstring folder = temp.Join(L"A folder with a long name");
  ASSERT_TRUE(MakeFolder(folder));
  const std::wstring file = folder + L"\\another long file name.text";
  ASSERT_TRUE(MakeFile(file));
  const std::wstring shortForm = ShortPathOf(file);
  ASSERT_FALSE(shortForm.empty());
  ASSERT_NE(shortForm, file) << "the file system gave no short name";
  EXPECT_TRUE(Kx::EqualsNoCase(Kx::LongPathOf(shortForm), file));
}

TEST(PathUtilTest, LongPathOfMissingItemIsUnchanged) {
  const std::wstring missing = L"C:\\NO~1\\NOSUCH~1.TXT";
  EXPECT_EQ(Kx::LongPathOf(missing), missing);
  EXPECT_EQ(Kx::LongPathOf(L""), L"");
}

TEST(PathUtilTest, LongPathOfPastMaxPathHasNoPrefix) {
  ScopedTempDir temp;
  std::wstring path = temp.Path();
  while (path.size() < 600) {
    path += L"\\a_rather_long_folder_name_for_this";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr));
  }
  const std::wstring longForm = Kx::LongPathOf(path);
  EXPECT_TRUE(Kx::EqualsNoCase(longForm, path)) << longForm;
  EXPECT_NE(longForm.rfind(L"\\\\?\\", 0), 0u);
}

TEST(PathUtilTest, TempFolderIsLongAndEndsWithBackslash) {
  std::wstring temp;
  ASSERT_TRUE(Kx::TempFolder(temp));
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), L'\\');
  EXPECT_NE(GetFileAttributesW(temp.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(PathUtilTest, TempFolderTurnsAShortTempIntoItsLongForm) {
  ScopedTempDir scratch;
  const std::wstring folder = scratch.Join(L"Temporary Files Here");
  ASSERT_TRUE(MakeFolder(folder));
  const std::wstring shortForm = ShortPathOf(folder);
  ASSERT_NE(shortForm, folder);
  ScopedEnvironment tmp(L"TMP", shortForm);
  std::wstring temp;
  ASSERT_TRUE(Kx::TempFolder(temp));
  EXPECT_TRUE(Kx::EqualsNoCase(temp, folder + L"\\")) << temp;
}

TEST(PathUtilTest, TempFolderFailsPastMaxPath) {
  ScopedEnvironment tmp(L"TMP", L"C:\\" + std::wstring(300, L'x'));
  std::wstring temp = L"unchanged";
  EXPECT_FALSE(Kx::TempFolder(temp));
  EXPECT_EQ(temp, L"unchanged");
}

// "C:\folder_0\folder_1\..." cut to exactly `length` characters.
std::wstring DrivePathOfLength(size_t length) {
  std::wstring path = L"C:";
  for (int i = 0; path.size() < length; ++i) path += L"\\folder_" + std::to_wstring(i);
  path.resize(length);
  if (path.back() == L'\\') path.back() = L'x';
  return path;
}

class TargetFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolder(temp_.Join(L"Existing")));
    ASSERT_TRUE(MakeFile(temp_.Join(L"file.txt")));
  }
  ScopedTempDir temp_;
};

TEST_F(TargetFolderTest, AcceptsNewAndExistingFoldersUnderAnExistingRoot) {
  const std::wstring accepted[] = {
      L"C:\\New\\Folder",
      L"C:\\New\\Folder\\",
      L"c:\\New Folder  ",
      temp_.Join(L"Existing"),
      temp_.Join(L"Existing\\New\\Deeper"),
      temp_.Join(L"Existing/New/Deeper"),
      L"\\\\?\\C:\\New\\Folder",
      DrivePathOfLength(260),
  };
  for (const std::wstring& path : accepted) {
    EXPECT_TRUE(Kx::IsValidTargetFolder(path)) << path;
  }
}

TEST_F(TargetFolderTest, RefusesRootsRelativePathsFilesAndBadNames) {
  const wchar_t unused = UnusedDriveLetter();
  ASSERT_NE(unused, 0);
  const std::wstring refused[] = {
      L"C:\\",
      L"C:\\\\\\",
      L"C:",
      L"C:New",
      L"relative\\folder",
      L"\\rooted\\without\\drive",
      L"",
      std::wstring(1, unused) + L":\\New\\Folder",
      temp_.Join(L"file.txt"),
      temp_.Join(L"file.txt\\sub"),
      temp_.Join(L"file.txt\\sub\\deeper"),
      L"C:\\\\double\\leading",
      L"C:\\a|b",
      L"C:\\a*b",
      L"C:\\a?b",
      L"C:\\a<b>",
      L"C:\\a\"b",
      L"C:\\a:b",
      L"C:\\a\tb",
      std::wstring(L"C:\\a\0b", 6),
      L"\\\\server",
      L"\\\\server\\share",
      L"\\\\\\share\\x",
      DrivePathOfLength(261),  // longer than the working copy holds
  };
  for (const std::wstring& path : refused) {
    EXPECT_FALSE(Kx::IsValidTargetFolder(path)) << path;
  }
}

}  // namespace
