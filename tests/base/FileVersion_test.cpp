#include "base/FileVersion.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {

using zelk::test::BinDir;

TEST(FileVersionTest, ReadsTheVersionResourceOfARealProgram) {
  WORD major = 0, minor = 0, build = 0, revision = 0;
  ASSERT_TRUE(Kx::GetFileVersion(BinDir() + L"\\base_recorder.exe", major, minor, build, revision));
  EXPECT_EQ(3, major);
  EXPECT_EQ(14, minor);
  EXPECT_EQ(159, build);
  EXPECT_EQ(2653, revision);
  EXPECT_EQ(L"3.14.159.2653", Kx::FileVersionText(BinDir() + L"\\base_recorder.exe"));
}

TEST(FileVersionTest, FileWithoutVersionResourceGivesEmptyTextThatDoesNotParse) {
  // The planted library is linked without any resources.
  const std::wstring path = BinDir() + L"\\base_planted.dll";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
  WORD major = 0, minor = 0, build = 0, revision = 0;
  EXPECT_FALSE(Kx::GetFileVersion(path, major, minor, build, revision));
  const std::wstring text = Kx::FileVersionText(path);
  EXPECT_EQ(L"", text);
  int parts[4] = {};
  EXPECT_FALSE(Kx::ParseVersionText(text, parts[0], parts[1], parts[2], parts[3]));
}

TEST(FileVersionTest, MissingFileHasNoVersion) {
  zelk::test::ScopedTempDir dir;
  EXPECT_EQ(L"", Kx::FileVersionText(dir.Join(L"missing.exe")));
  EXPECT_EQ(L"", Kx::FileVersionText(L""));
}

struct ParseCase {
  const wchar_t* text;
  bool parses;
  int parts[4];
};

class ParseVersionTextTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseVersionTextTest, ReadsFourParts) {
  const ParseCase& c = GetParam();
  int parts[4] = {-1, -1, -1, -1};
  EXPECT_EQ(c.parses, Kx::ParseVersionText(c.text, parts[0], parts[1], parts[2], parts[3])) << c.text;
  if (!c.parses) return;
  for (int i = 0; i < 4; ++i) EXPECT_EQ(c.parts[i], parts[i]) << c.text << " part " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseVersionTextTest,
    testing::Values(ParseCase{L"1.2.3", false, {}}, ParseCase{L"1.2.3.x", true, {1, 2, 3, 0}},
                    ParseCase{L"10.10.0.1", true, {10, 10, 0, 1}}, ParseCase{L"3.14.159.2653", true, {3, 14, 159, 2653}},
                    ParseCase{L"1.2.3.", false, {}}, ParseCase{L"1.2.3.4.5", false, {}}, ParseCase{L"", false, {}},
                    ParseCase{L"...5", true, {0, 0, 0, 5}}, ParseCase{L"a.b.c.d", true, {0, 0, 0, 0}}));

}  // namespace
