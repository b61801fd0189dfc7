#include "base/StringUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using Pieces = std::vector<std::wstring>;

TEST(StringUtilTest, SplitDropsEmptyPiecesButKeepsTheLast) {
  struct Case {
    const wchar_t* text;
    const wchar_t* separators;
    Pieces expected;
  };
  const Case cases[] = {
      {L"a__b", L"_", {L"a", L"b"}},
      {L"a_", L"_", {L"a", L""}},
      {L"_a", L"_", {L"a"}},
      {L"", L"_", {L""}},
      {L"___", L"_", {L""}},
      {L"abc", L"_", {L"abc"}},
      {L"a b,c", L" ,", {L"a", L"b", L"c"}},
      {L"zelkpic_KUID_100090_v10.10", L"_", {L"zelkpic", L"KUID", L"100090", L"v10.10"}},
      {L"a_b", L"", {L"a_b"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::Split(c.text, c.separators), c.expected) << "text: " << c.text;
  }
}

TEST(StringUtilTest, TrimRemovesOnlyTheGivenSide) {
  struct Case {
    const wchar_t* text;
    const wchar_t* left;
    const wchar_t* right;
  };
  const Case cases[] = {
      {L"  a b  ", L"a b  ", L"  a b"},
      {L"\\/x\\/", L"x\\/", L"\\/x"},
      {L"    ", L"", L""},
      {L"", L"", L""},
      {L"abc", L"abc", L"abc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::TrimLeft(c.text, L" \\/"), c.left) << "text: [" << c.text << "]";
    EXPECT_EQ(Kx::TrimRight(c.text, L" \\/"), c.right) << "text: [" << c.text << "]";
  }
}

TEST(StringUtilTest, CaseMappingIsPerCharacterAndInPlace) {
  std::wstring text = L"Setup_X86.EXE z";
  Kx::ToLower(text);
  EXPECT_EQ(text, L"setup_x86.exe z");
  Kx::ToUpper(text);
  EXPECT_EQ(text, L"SETUP_X86.EXE Z");
}

TEST(StringUtilTest, EqualsNoCase) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    bool equal;
  };
  const Case cases[] = {
      {L"KUID", L"kuid", true},   {L"", L"", true},          {L"abc", L"abd", false},
      {L"abc", L"abcd", false},   {L"abcd", L"abc", false},  {L"a_1", L"A_1", true},
      // "[" and "{" differ only in bit 0x20 yet are not letters.
      {L"[", L"{", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::EqualsNoCase(c.a, c.b), c.equal) << c.a << " vs " << c.b;
  }
}

TEST(StringUtilTest, CompareNoCaseSignsLimitAndTerminator) {
  struct Case {
    const wchar_t* a;
    const wchar_t* b;
    size_t n;
    int expected;
  };
  const Case cases[] = {
      {L"abc", L"ABC", 3, 0},
      {L"abc", L"ABD", 3, L'C' - L'D'},
      {L"abd", L"ABC", 3, L'D' - L'C'},
      {L"abcX", L"ABCy", 3, 0},           // only n characters count
      {L"abc", L"ABC", 100, 0},           // stops after a's terminator
      {L"ab", L"ABC", 100, 0 - L'C'},     // a shorter than b
      {L"abc", L"AB", 100, L'C' - 0},     // b shorter than a
      {L"x", L"y", 0, 0},
      // Upper-case mapping: '_' (0x5F) sorts below 'a' but above 'A'.
      {L"_", L"a", 1, L'_' - L'A'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::CompareNoCase(c.a, c.b, c.n), c.expected) << c.a << " vs " << c.b << " n=" << c.n;
  }
}

TEST(StringUtilTest, CompareNoCaseReadsNullAsEmpty) {
  EXPECT_EQ(Kx::CompareNoCase(nullptr, L"", 5), 0);
  EXPECT_LT(Kx::CompareNoCase(nullptr, L"a", 5), 0);
  EXPECT_GT(Kx::CompareNoCase(L"a", nullptr, 5), 0);
}

TEST(StringUtilTest, ReplaceAll) {
  struct Case {
    const wchar_t* text;
    const wchar_t* what;
    const wchar_t* with;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"a_KUID_b_KUID", L"KUID", L"1234", L"a_1234_b_1234"},
      {L"aaa", L"a", L"aa", L"aaaaaa"},   // inserted text is not scanned again
      {L"aaaa", L"aa", L"b", L"bb"},      // non-overlapping, left to right
      {L"abc", L"", L"x", L"abc"},        // empty pattern changes nothing
      {L"abc", L"b", L"", L"ac"},
      {L"", L"a", L"b", L""},
      {L"abc", L"abcd", L"x", L"abc"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::ReplaceAll(c.text, c.what, c.with), c.expected) << c.text;
  }
}

TEST(StringUtilTest, FindFindLastOfAndSubstring) {
  EXPECT_EQ(Kx::Find(L"a.b.c", L"."), 1u);
  EXPECT_EQ(Kx::Find(L"a.b.c", L".", 2), 3u);
  EXPECT_EQ(Kx::Find(L"a.b.c", L"x"), std::wstring::npos);
  EXPECT_EQ(Kx::Find(L"abc", L"c", 10), std::wstring::npos);
  EXPECT_EQ(Kx::FindLastOf(L"C:\\a/b\\c", L"\\/"), 6u);
  EXPECT_EQ(Kx::FindLastOf(L"abc", L"\\/"), std::wstring::npos);

  EXPECT_EQ(Kx::Substring(L"abcdef", 2, 3), L"cde");
  EXPECT_EQ(Kx::Substring(L"abcdef", 4), L"ef");
  EXPECT_EQ(Kx::Substring(L"abcdef", 4, 100), L"ef");
  EXPECT_EQ(Kx::Substring(L"abc", 3), L"");
  // Past the end is empty, not an exception.
  EXPECT_EQ(Kx::Substring(L"abc", 10, 2), L"");
}

TEST(StringUtilTest, FormatUsesWindowsConventions) {
  EXPECT_EQ(Kx::Format(L"%s|%ls|%hs", L"wide", L"also", "narrow"), L"wide|also|narrow");
  EXPECT_EQ(Kx::Format(L"%d %u %04x", -5, 7u, 0x4b0u), L"-5 7 04b0");
  EXPECT_EQ(Kx::Format(L"%llu|%I64u", 18446744073709551615ULL, 4294967296ULL),
            L"18446744073709551615|4294967296");
  EXPECT_EQ(Kx::Format(L"%u.%u.%u.%u", 10u, 10u, 0u, 1234u), L"10.10.0.1234");
  EXPECT_EQ(Kx::Format(L""), L"");
  EXPECT_EQ(Kx::Format(nullptr), L"");
}

TEST(StringUtilTest, FormatHasNoLengthLimit) {
  const std::wstring longPiece(70000, L'x');
  const std::wstring text = Kx::Format(L"<%s>%d", longPiece.c_str(), 42);
  EXPECT_EQ(text, L"<" + longPiece + L">42");
  EXPECT_EQ(text.size(), longPiece.size() + 4);
}

TEST(StringUtilTest, ParseDecimalReadsLeadingDigits) {
  struct Case {
    const wchar_t* text;
    unsigned long long expected;
  };
  const Case cases[] = {
      {L"12345", 12345},
      {L"42abc", 42},
      {L"abc", 0},
      {L"", 0},
      {L" 7", 0},  // leading blanks are not digits
      {L"4294967296", 4294967296ULL},
      {L"18446744073709551615", ULLONG_MAX},
      // Too large for 64 bits: saturates instead of wrapping to a small number.
      {L"18446744073709551616", ULLONG_MAX},
      {L"99999999999999999999999", ULLONG_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Kx::ParseDecimal(c.text), c.expected) << c.text;
  }
}

TEST(StringUtilTest, ToDecimalRoundTrips) {
  const unsigned long long values[] = {0, 9, 10, 4294967295ULL, 4294967296ULL, ULLONG_MAX};
  for (const unsigned long long value : values) {
    EXPECT_EQ(Kx::ParseDecimal(Kx::ToDecimal(value)), value);
  }
  EXPECT_EQ(Kx::ToDecimal(0), L"0");
  EXPECT_EQ(Kx::ToDecimal(ULLONG_MAX), L"18446744073709551615");
}

}  // namespace
