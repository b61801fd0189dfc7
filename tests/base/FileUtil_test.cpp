#include "base/FileUtil.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/PathUtil.h"
#include "base/ScopedHandle.h"
#include "tests/base/RawTempDir.h"

namespace {

using zelk::test::ScopedTempDir;
using zelk::test::raw::MakeFolder;
std::wstring Raw(const std::wstring& path) { return zelk::test::raw::Extended(path); }
DWORD RawAttributes(const std::wstring& path) { return zelk::test::raw::Attributes(path); }
bool RawExists(const std::wstring& path) { return zelk::test::raw::Exists(path); }

bool MakeFile(const std::wstring& path, size_t bytes = 1, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  Kx::ScopedHandle file(
      CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  if (!file.IsValid()) return false;
  const std::string data(bytes, 'z');
  DWORD written = 0;
  return bytes == 0 ||
         (WriteFile(file.Get(), data.data(), static_cast<DWORD>(bytes), &written, nullptr) && written == bytes);
}

// Opened for reading with no delete sharing: the file cannot be removed.
Kx::ScopedHandle HoldOpen(const std::wstring& path) {
  return Kx::ScopedHandle(CreateFileW(Raw(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
}

// A folder path that ends well past MAX_PATH, created level by level.
std::wstring MakeDeepFolder(const std::wstring& under, size_t minimumLength) {
  std::wstring path = under;
  while (path.size() < minimumLength) {
    path += L"\\nested_folder_with_a_long_enough_name";
    if (!MakeFolder(path)) return std::wstring();
  }
  return path;
}

// A name ending in "." exists only in the extended form: the plain form
// drops the dot and so names a different item.
const wchar_t kTrailingDotName[] = L"trailing.";

// ---------------------------------------------------------------- ScopedHandle

bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(ScopedHandleTest, NullAndInvalidHandleValueAreBothInvalid) {
  EXPECT_FALSE(Kx::ScopedHandle().IsValid());
  EXPECT_FALSE(Kx::ScopedHandle(nullptr).IsValid());
  EXPECT_FALSE(Kx::ScopedHandle(INVALID_HANDLE_VALUE).IsValid());
  EXPECT_FALSE(static_cast<bool>(Kx::ScopedHandle(INVALID_HANDLE_VALUE)));
}

TEST(ScopedHandleTest, ClosesOnDestructionAndReset) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    Kx::ScopedHandle owner(raw);
    EXPECT_TRUE(owner.IsValid());
    EXPECT_EQ(owner.Get(), raw);
  }
  EXPECT_FALSE(IsOpenHandle(raw));

  HANDLE first = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE second = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Kx::ScopedHandle owner(first);
  owner.Reset(second);
  EXPECT_FALSE(IsOpenHandle(first));
  EXPECT_TRUE(IsOpenHandle(second));
  owner.Reset(second);  // the handle already owned stays open
  EXPECT_TRUE(IsOpenHandle(second));
  owner.Reset();
  EXPECT_FALSE(IsOpenHandle(second));
  EXPECT_FALSE(owner.IsValid());
}

TEST(ScopedHandleTest, MoveAndReleaseTransferOwnership) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  Kx::ScopedHandle source(raw);
  Kx::ScopedHandle target(std::move(source));
  EXPECT_FALSE(source.IsValid());  // NOLINT(bugprone-use-after-move): moved-from state is defined
  EXPECT_EQ(target.Get(), raw);

  Kx::ScopedHandle assigned;
  assigned = std::move(target);
  EXPECT_EQ(assigned.Get(), raw);
  EXPECT_TRUE(IsOpenHandle(raw));

  HANDLE released = assigned.Release();
  EXPECT_EQ(released, raw);
  EXPECT_FALSE(assigned.IsValid());
  EXPECT_TRUE(IsOpenHandle(raw));  // released, not closed
  CloseHandle(released);
}

// ---------------------------------------------------------------- attributes

TEST(FileUtilTest, AttributesReadAndSet) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"a.txt");
  ASSERT_TRUE(MakeFile(file));
  EXPECT_EQ(Kx::GetAttributes(temp.Join(L"missing")), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(Kx::GetAttributes(temp.Path()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

  // Bits that cannot be set are dropped instead of failing the call.
  EXPECT_TRUE(Kx::SetAttributes(file, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | 0x4E50));
  const DWORD attributes = RawAttributes(file);
  EXPECT_NE(attributes & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(Kx::GetAttributes(file), attributes);

  EXPECT_TRUE(Kx::SetAttributes(file, 0));
  EXPECT_EQ(RawAttributes(file) & FILE_ATTRIBUTE_READONLY, 0u);

  EXPECT_FALSE(Kx::SetAttributes(file, INVALID_FILE_ATTRIBUTES));
  EXPECT_FALSE(Kx::SetAttributes(temp.Join(L"missing"), FILE_ATTRIBUTE_READONLY));
}

TEST(FileUtilTest, ExistsFileExistsFolderExists) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"f.txt");
  const std::wstring folder = temp.Join(L"dir");
  const std::wstring missing = temp.Join(L"missing");
  ASSERT_TRUE(MakeFile(file));
  ASSERT_TRUE(MakeFolder(folder));

  struct Case {
    std::wstring path;
    bool exists, fileExists, folderExists;
  };
  const Case cases[] = {
      {file, true, true, false},
      {L"\"" + file + L"\"", true, true, false},
      {L"'" + file + L"'", true, true, false},
      {file + L"\\", true, true, false},
      {file + L"/", true, true, false},
      {folder, true, false, true},
      {folder + L"\\", true, false, true},
      {L"\"" + folder + L"\"", true, false, true},
      {missing, false, false, false},
      {missing + L"\\", false, false, false},
      {L"", false, false, false},
      {L"\"\"", false, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::Exists(c.path), c.exists) << c.path;
    EXPECT_EQ(Kx::FileExists(c.path), c.fileExists) << c.path;
    EXPECT_EQ(Kx::FolderExists(c.path), c.folderExists) << c.path;
  }
}

// ---------------------------------------------------------------- sizes

TEST(FileUtilTest, FileSizeOfFilesFoldersAndMissingItems) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"zero.bin"), 0));
  ASSERT_TRUE(MakeFile(temp.Join(L"five.bin"), 5));
  ASSERT_TRUE(MakeFolder(temp.Join(L"dir")));
  struct Case {
    const wchar_t* name;
    unsigned long long size;
  };
  const Case cases[] = {
      {L"zero.bin", 0}, {L"five.bin", 5}, {L"dir", 0}, {L"missing.bin", 0},
      // A pattern is not a file, even when some file matches it.
      {L"f*.bin", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::FileSize(temp.Join(c.name)), c.size) << c.name;
  }
}

TEST(FileUtilTest, FileSizePast4GiBKeepsTheHighPart) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"sparse.bin");
  const unsigned long long size = 5ULL * 1024 * 1024 * 1024 + 3;
  {
    Kx::ScopedHandle handle(
        CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(handle.IsValid());
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    ASSERT_TRUE(SetFilePointerEx(handle.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(handle.Get()));
  }
  EXPECT_EQ(Kx::FileSize(file), size);
}

TEST(FileUtilTest, IsEmpty) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFolder(temp.Join(L"empty")));
  ASSERT_TRUE(MakeFolder(temp.Join(L"withFile")));
  ASSERT_TRUE(MakeFile(temp.Join(L"withFile\\x.txt"), 0));
  ASSERT_TRUE(MakeFolder(temp.Join(L"withFolder")));
  ASSERT_TRUE(MakeFolder(temp.Join(L"withFolder\\sub")));
  ASSERT_TRUE(MakeFile(temp.Join(L"zero.bin"), 0));
  ASSERT_TRUE(MakeFile(temp.Join(L"one.bin"), 1));
  struct Case {
    const wchar_t* name;
    bool empty;
  };
  const Case cases[] = {
      {L"missing", true},     {L"empty", true},     {L"empty\\", true}, {L"withFile", false},
      {L"withFolder", false}, {L"zero.bin", true},  {L"one.bin", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::IsEmpty(temp.Join(c.name)), c.empty) << c.name;
  }
}

// ---------------------------------------------------------------- folders

TEST(FileUtilTest, CreateFoldersMakesEveryMissingLevel) {
  ScopedTempDir temp;
  const std::wstring cases[] = {
      temp.Join(L"a\\b\\c"),
      temp.Join(L"m/n/o"),
      temp.Join(L"p\\q\\r\\"),
      temp.Join(L"a\\b\\c"),  // already there
      temp.Path(),
  };
  for (const std::wstring& path : cases) {
    EXPECT_TRUE(Kx::CreateFolders(path)) << path;
    EXPECT_NE(RawAttributes(Kx::NormalisePath(path, Kx::kPathNoTrailingSeparator | Kx::kPathBackslashes)) &
                  FILE_ATTRIBUTE_DIRECTORY,
              0u)
        << path;
  }
}

TEST(FileUtilTest, CreateFoldersFailsWhereAFileStandsInTheWay) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"file")));
  EXPECT_FALSE(Kx::CreateFolders(temp.Join(L"file")));
  EXPECT_FALSE(Kx::CreateFolders(temp.Join(L"file\\sub\\deeper")));
  EXPECT_FALSE(RawExists(temp.Join(L"file\\sub")));
  EXPECT_FALSE(Kx::CreateFolders(L""));
}

TEST(FileUtilTest, CreateFoldersPastMaxPath) {
  ScopedTempDir temp;
  std::wstring deep = temp.Path();
  while (deep.size() < 600) deep += L"\\level_of_a_deep_folder_tree";
  ASSERT_TRUE(Kx::CreateFolders(deep));
  EXPECT_NE(RawAttributes(deep) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_TRUE(Kx::FolderExists(deep));
}

// ---------------------------------------------------------------- removal

TEST(FileUtilTest, RemoveFileForcedDeletesReadOnlyFiles) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"ro.txt");
  ASSERT_TRUE(MakeFile(file, 3, FILE_ATTRIBUTE_READONLY));
  ASSERT_FALSE(DeleteFileW(file.c_str())) << "a read-only file should refuse a plain delete";
  EXPECT_TRUE(Kx::RemoveFileForced(file));
  EXPECT_FALSE(RawExists(file));
}

TEST(FileUtilTest, RemoveFileForcedRestoresAttributesWhenTheFileIsHeld) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"held.txt");
  ASSERT_TRUE(MakeFile(file, 3, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  {
    Kx::ScopedHandle held = HoldOpen(file);
    ASSERT_TRUE(held.IsValid());
    EXPECT_FALSE(Kx::RemoveFileForced(file));
    EXPECT_TRUE(RawExists(file));
    EXPECT_EQ(RawAttributes(file) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  }
  EXPECT_TRUE(Kx::RemoveFileForced(file));
}

TEST(FileUtilTest, RemoveFileForcedRefusesMissingFilesAndFolders) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFolder(temp.Join(L"dir")));
  ASSERT_TRUE(SetFileAttributesW(temp.Join(L"dir").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(Kx::RemoveFileForced(temp.Join(L"missing.txt")));
  EXPECT_FALSE(Kx::RemoveFileForced(L""));
  EXPECT_FALSE(Kx::RemoveFileForced(temp.Join(L"dir")));
  EXPECT_NE(RawAttributes(temp.Join(L"dir")) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

TEST(FileUtilTest, MovePathMovesFilesAndFoldersButNeverOverwrites) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"from.txt"), 4));
  EXPECT_TRUE(Kx::MovePath(temp.Join(L"from.txt"), temp.Join(L"to.txt")));
  EXPECT_FALSE(RawExists(temp.Join(L"from.txt")));
  EXPECT_EQ(Kx::FileSize(temp.Join(L"to.txt")), 4u);

  ASSERT_TRUE(MakeFile(temp.Join(L"other.txt"), 7));
  EXPECT_FALSE(Kx::MovePath(temp.Join(L"other.txt"), temp.Join(L"to.txt")));
  EXPECT_EQ(Kx::FileSize(temp.Join(L"to.txt")), 4u);
  EXPECT_EQ(Kx::FileSize(temp.Join(L"other.txt")), 7u);

  ASSERT_TRUE(MakeFolder(temp.Join(L"dir")));
  ASSERT_TRUE(MakeFile(temp.Join(L"dir\\inside.txt")));
  EXPECT_TRUE(Kx::MovePath(temp.Join(L"dir"), temp.Join(L"moved")));
  EXPECT_TRUE(RawExists(temp.Join(L"moved\\inside.txt")));

  EXPECT_FALSE(Kx::MovePath(temp.Join(L"missing"), temp.Join(L"anything")));
}

TEST(FileUtilTest, MovePathPastMaxPath) {
  ScopedTempDir temp;
  const std::wstring deep = MakeDeepFolder(temp.Path(), 600);
  ASSERT_FALSE(deep.empty());
  ASSERT_TRUE(MakeFile(deep + L"\\a.bin", 2));
  EXPECT_TRUE(Kx::MovePath(deep + L"\\a.bin", deep + L"\\b.bin"));
  EXPECT_TRUE(RawExists(deep + L"\\b.bin"));
  EXPECT_TRUE(Kx::MovePath(deep + L"\\b.bin", temp.Join(L"out.bin")));
  EXPECT_TRUE(RawExists(temp.Join(L"out.bin")));
}

// ---------------------------------------------------------------- DeleteTree

TEST(FileUtilTest, DeleteTreeRemovesEverythingAndCountsIt) {
  ScopedTempDir temp;
  const std::wstring root = temp.Join(L"tree");
  ASSERT_TRUE(MakeFolder(root));
  ASSERT_TRUE(MakeFile(root + L"\\a.txt"));
  ASSERT_TRUE(MakeFile(root + L"\\ro.txt", 1, FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(MakeFolder(root + L"\\sub"));
  ASSERT_TRUE(MakeFile(root + L"\\sub\\b.txt"));
  ASSERT_TRUE(MakeFolder(root + L"\\sub\\deep"));
  ASSERT_TRUE(MakeFolder(root + L"\\rosub"));
  ASSERT_TRUE(MakeFile(root + L"\\rosub\\c.txt", 1, FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(SetFileAttributesW(Raw(root + L"\\rosub").c_str(), FILE_ATTRIBUTE_READONLY));
  // 4 files, 3 folders inside, and the tree's own folder.
  EXPECT_EQ(Kx::DeleteTree(root + L"\\"), 8u);
  EXPECT_FALSE(RawExists(root));
}

TEST(FileUtilTest, DeleteTreeKeepsWhatCannotGoAndItsFolders) {
  ScopedTempDir temp;
  const std::wstring root = temp.Join(L"tree");
  ASSERT_TRUE(MakeFolder(root));
  ASSERT_TRUE(MakeFolder(root + L"\\busy"));
  ASSERT_TRUE(MakeFile(root + L"\\busy\\held.txt"));
  ASSERT_TRUE(MakeFile(root + L"\\free.txt"));
  ASSERT_TRUE(MakeFolder(root + L"\\sub"));
  ASSERT_TRUE(MakeFile(root + L"\\sub\\free.txt"));
  Kx::ScopedHandle held = HoldOpen(root + L"\\busy\\held.txt");
  ASSERT_TRUE(held.IsValid());
  EXPECT_EQ(Kx::DeleteTree(root), 3u);  // free.txt, sub\free.txt, sub
  EXPECT_TRUE(RawExists(root + L"\\busy\\held.txt"));
  EXPECT_FALSE(RawExists(root + L"\\sub"));
  held.Reset();
  EXPECT_EQ(Kx::DeleteTree(root), 3u);
  EXPECT_FALSE(RawExists(root));
}

TEST(FileUtilTest, DeleteTreeNeverFallsBackToTheCurrentFolder) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"precious.txt")));
  wchar_t current[MAX_PATH];
  ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, current), 0u);
  ASSERT_TRUE(SetCurrentDirectoryW(temp.Path().c_str()));
  const unsigned long long removed[] = {Kx::DeleteTree(L""), Kx::DeleteTree(L"\\"), Kx::DeleteTree(L"/\\/")};
  SetCurrentDirectoryW(current);
  for (const unsigned long long count : removed) EXPECT_EQ(count, 0u);
  EXPECT_TRUE(RawExists(temp.Join(L"precious.txt")));
}

TEST(FileUtilTest, DeleteTreeOfMissingFolderOrAFile) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"file.txt"), 1, FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Kx::DeleteTree(temp.Join(L"missing")), 0u);
  EXPECT_EQ(Kx::DeleteTree(temp.Join(L"file.txt")), 0u);
  EXPECT_NE(RawAttributes(temp.Join(L"file.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(FileUtilTest, DeleteTreePastMaxPath) {
  ScopedTempDir temp;
  const std::wstring root = temp.Join(L"tree");
  ASSERT_TRUE(MakeFolder(root));
  const std::wstring deep = MakeDeepFolder(root, 700);
  ASSERT_FALSE(deep.empty());
  ASSERT_TRUE(MakeFile(deep + L"\\leaf.txt", 1, FILE_ATTRIBUTE_READONLY));
  const size_t levels = std::count(deep.begin() + static_cast<std::ptrdiff_t>(root.size()), deep.end(), L'\\');
  EXPECT_EQ(Kx::DeleteTree(root), levels + 2);  // every level, the file, the root
  EXPECT_FALSE(RawExists(root));
}

// ---------------------------------------------------------------- retry

TEST(FileUtilTest, NamesOnlyTheExtendedFormReachesStillWork) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(kTrailingDotName);
  ASSERT_TRUE(MakeFile(file, 6));
  ASSERT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "plain form should miss the name";

  EXPECT_NE(Kx::GetAttributes(file), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(Kx::FileExists(file));
  EXPECT_EQ(Kx::FileSize(file), 6u);
  EXPECT_FALSE(Kx::IsEmpty(file));
  EXPECT_TRUE(Kx::SetAttributes(file, FILE_ATTRIBUTE_READONLY));
  {
    Kx::ScopedHandle handle = Kx::OpenFileHandle(file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
    EXPECT_TRUE(handle.IsValid());
  }
  Kx::FindState state;
  ASSERT_TRUE(Kx::FindFirst(file, state));
  EXPECT_EQ(state.Name(), kTrailingDotName);

  const std::wstring moved = temp.Join(L"moved.");
  EXPECT_TRUE(Kx::MovePath(file, moved));
  EXPECT_TRUE(RawExists(moved));
  EXPECT_TRUE(Kx::RemoveFileForced(moved));
  EXPECT_FALSE(RawExists(moved));

  const std::wstring folder = temp.Join(L"folder.");
  ASSERT_TRUE(MakeFolder(folder));
  EXPECT_TRUE(Kx::FolderExists(folder));
  EXPECT_TRUE(Kx::CreateFolders(folder));
  ASSERT_TRUE(MakeFile(folder + L"\\inner.", 1, FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Kx::DeleteTree(folder), 2u);
  EXPECT_FALSE(RawExists(folder));
}

// ---------------------------------------------------------------- find

std::vector<std::wstring> FindAll(const std::wstring& pattern, Kx::FindState& state) {
  std::vector<std::wstring> names;
  for (bool found = Kx::FindFirst(pattern, state); found; found = Kx::FindNext(state)) {
    if (!state.IsDotEntry()) names.push_back(state.Name());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(FindStateTest, FindsEntriesWithTheirSizeAndKind) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"a.txt"), 3));
  ASSERT_TRUE(MakeFile(temp.Join(L"b.txt"), 5));
  ASSERT_TRUE(MakeFile(temp.Join(L"c.bin"), 1));
  ASSERT_TRUE(MakeFolder(temp.Join(L"d.txt")));

  Kx::FindState state;
  EXPECT_EQ(FindAll(temp.Join(L"*.txt"), state), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"d.txt"}));
  EXPECT_FALSE(Kx::FindNext(state));  // stays at the end

  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"b.txt"), state));
  EXPECT_EQ(state.Name(), L"b.txt");
  EXPECT_EQ(state.Size(), 5u);
  EXPECT_FALSE(state.IsFolder());
  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"d.txt"), state));
  EXPECT_TRUE(state.IsFolder());
  EXPECT_NE(state.Attributes() & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(FindStateTest, ANewSearchReplacesTheOldOneAndCloseIsIdempotent) {
  ScopedTempDir temp;
  ASSERT_TRUE(MakeFile(temp.Join(L"one.txt")));
  ASSERT_TRUE(MakeFile(temp.Join(L"two.txt")));

  Kx::FindState state;
  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"one.txt"), state));
  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"two.txt"), state));
  EXPECT_EQ(state.Name(), L"two.txt");
  EXPECT_FALSE(Kx::FindNext(state));

  state.Close();
  state.Close();
  EXPECT_FALSE(state.IsOpen());
  EXPECT_FALSE(Kx::FindNext(state));

  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"one.txt"), state));
  EXPECT_FALSE(Kx::FindFirst(temp.Join(L"none*"), state));
  EXPECT_FALSE(state.IsOpen());
  EXPECT_TRUE(state.Name().empty());

  ASSERT_TRUE(Kx::FindFirst(temp.Join(L"*.txt"), state));
  Kx::FindState moved(std::move(state));
  EXPECT_FALSE(state.IsOpen());  // NOLINT(bugprone-use-after-move): moved-from state is defined
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_EQ(FindAll(temp.Join(L"*.txt"), moved), (std::vector<std::wstring>{L"one.txt", L"two.txt"}));
}

// ---------------------------------------------------------------- names and handles

TEST(FileUtilTest, UniqueNameSkipsTakenNumbers) {
  struct Case {
    std::vector<std::wstring> existing;  // files, or folders when ending in "\"
    const wchar_t* input;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {{L"report(1).txt"}, L"report.txt", L"report(2).txt"},
      {{L"report.txt", L"report(1).txt"}, L"report.txt", L"report(2).txt"},
      {{}, L"report.txt", L"report(1).txt"},
      {{L"report.txt"}, L"report.txt", L"report(1).txt"},
      {{L"report(1).txt\\", L"report(2).txt"}, L"report.txt", L"report(3).txt"},
      {{L"noext(1)"}, L"noext", L"noext(2)"},
      {{L"dir.v2\\"}, L"dir.v2\\file", L"dir.v2\\file(1)"},
      {{}, L"archive.tar.gz", L"archive.tar(1).gz"},
  };
  for (const Case& c : cases) {
    ScopedTempDir temp;
    for (const std::wstring& item : c.existing) {
      ASSERT_TRUE(item.back() == L'\\' ? MakeFolder(temp.Join(item.substr(0, item.size() - 1)))
                                       : MakeFile(temp.Join(item)));
    }
    std::wstring path = temp.Join(c.input);
    EXPECT_TRUE(Kx::UniqueName(path)) << c.input;
    EXPECT_EQ(path, temp.Join(c.expected)) << c.input;
  }
}

TEST(FileUtilTest, OpenFileHandleCreatesOpensAndFails) {
  ScopedTempDir temp;
  const std::wstring file = temp.Join(L"new.bin");
  {
    Kx::ScopedHandle created = Kx::OpenFileHandle(file, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(created.IsValid());
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(created.Get(), "abc", 3, &written, nullptr));
  }
  Kx::ScopedHandle again = Kx::OpenFileHandle(file, GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(again.IsValid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

  Kx::ScopedHandle opened = Kx::OpenFileHandle(file, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
  ASSERT_TRUE(opened.IsValid());
  LARGE_INTEGER size = {};
  ASSERT_TRUE(GetFileSizeEx(opened.Get(), &size));
  EXPECT_EQ(size.QuadPart, 3);

  EXPECT_FALSE(Kx::OpenFileHandle(temp.Join(L"missing.bin"), GENERIC_READ, 0, OPEN_EXISTING, 0).IsValid());

  const std::wstring deep = MakeDeepFolder(temp.Path(), 600);
  ASSERT_FALSE(deep.empty());
  EXPECT_TRUE(Kx::OpenFileHandle(deep + L"\\deep.bin", GENERIC_WRITE, 0, CREATE_NEW, 0).IsValid());
  EXPECT_TRUE(RawExists(deep + L"\\deep.bin"));
}

}  // namespace
