#include "download/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Repeat(const std::string& piece, size_t times) {
  std::string text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

std::wstring RepeatWide(const std::wstring& piece, size_t times) {
  std::wstring text;
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

const std::string kZhong = "\xE4\xB8\xAD";  // 中

// Lengths chosen around the stack buffers (120 bytes in, 127 characters
// out; 120 characters in, 255 bytes out).
struct Case {
  const char* label;
  std::string utf8;
  std::wstring wide;
};

std::vector<Case> Cases() {
  return {
      {"ascii 1", "a", L"a"},
      {"ascii 119", std::string(119, 'x'), std::wstring(119, L'x')},
      {"ascii 120", std::string(120, 'x'), std::wstring(120, L'x')},
      {"ascii 127", std::string(127, 'x'), std::wstring(127, L'x')},
      {"ascii 2000", std::string(2000, 'y'), std::wstring(2000, L'y')},
      {"chinese 39", Repeat(kZhong, 39), RepeatWide(L"\x4E2D", 39)},
      {"chinese 85", Repeat(kZhong, 85), RepeatWide(L"\x4E2D", 85)},
      {"chinese 400", Repeat(kZhong, 400), RepeatWide(L"\x4E2D", 400)},
      {"outside the basic plane", "\xF0\x9F\x98\x80", L"\xD83D\xDE00"},
  };
}

TEST(TextEncodingTest, Utf8ToWideAtEveryLength) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.wide, Kx::Utf8ToWide(c.utf8));
  }
}

TEST(TextEncodingTest, WideToCodePageUtf8AtEveryLength) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(c.utf8, Kx::WideToCodePage(c.wide, CP_UTF8));
  }
}

TEST(TextEncodingTest, WideToCodePageUsesTheGivenCodePage) {
  EXPECT_EQ("\xD6\xD0\xCE\xC4", Kx::WideToCodePage(L"\x4E2D\x6587", 936));
  EXPECT_EQ(Repeat("\xD6\xD0", 200), Kx::WideToCodePage(RepeatWide(L"\x4E2D", 200), 936));
}

TEST(TextEncodingTest, EmptyAndInvalidInputs) {
  EXPECT_EQ(L"", Kx::Utf8ToWide(nullptr, 5));
  EXPECT_EQ(L"", Kx::Utf8ToWide("abc", 0));
  EXPECT_EQ(L"a\xFFFD" L"b", Kx::Utf8ToWide(std::string("a\xFF" "b")));
  EXPECT_EQ("", Kx::WideToCodePage(nullptr, 5, CP_UTF8));
  EXPECT_EQ("", Kx::WideToCodePage(L"abc", 0, CP_UTF8));
  // No such code page.
  EXPECT_EQ("", Kx::WideToCodePage(L"abc", 3, 12345));
}

TEST(TextEncodingTest, DecodeUtf8TextMatchesTheSystemConversion) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.label);
    std::wstring out = L"old";
    ASSERT_TRUE(Kx::DecodeUtf8Text(c.utf8.data(), c.utf8.size(), out));
    EXPECT_EQ(c.wide, out);
  }
}

TEST(TextEncodingTest, DecodeUtf8TextClearsTheOutputAndStopsAtAZero) {
  std::wstring out = L"old";
  EXPECT_FALSE(Kx::DecodeUtf8Text(nullptr, 3, out));
  EXPECT_EQ(L"", out);
  out = L"old";
  EXPECT_FALSE(Kx::DecodeUtf8Text("abc", 0, out));
  EXPECT_EQ(L"", out);

  const std::string withZero("ab\0cd", 5);
  ASSERT_TRUE(Kx::DecodeUtf8Text(withZero.data(), withZero.size(), out));
  EXPECT_EQ(L"ab", out);
}

}  // namespace
