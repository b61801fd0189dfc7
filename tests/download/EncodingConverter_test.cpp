#include "download/EncodingConverter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <utility>

#include "tests/support/TestSupport.h"

namespace {

using Kx::EncodingConverter;
using Kx::KxDynamicBuffer;

// "中文编码" in UTF-8.
const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\xE7\xBC\x96\xE7\xA0\x81";

std::wstring SystemUtf8ToWide(const std::string& bytes) {
  wchar_t wide[64] = {};
  const int chars = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), wide, 64);
  return std::wstring(wide, static_cast<size_t>(chars));
}

bool SystemConverts(unsigned codePage) {
  wchar_t probe[4] = {};
  return codePage == 1200 || codePage == 1201 || MultiByteToWideChar(codePage, 0, "a", 1, probe, 4) > 0;
}

std::string Bytes(const KxDynamicBuffer<char>& buffer) { return std::string(buffer.Data(), buffer.Size()); }

std::string AsBytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

std::string Swapped(std::string bytes) {
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

TEST(EncodingConverterTest, OpenMapsTypeNumbersToCodePagePairs) {
  struct Case {
    int type;
    unsigned target;
  };
  const unsigned acp = GetACP();
  const Case cases[] = {
      {1, 936},    {2, 936},    {3, 54936},  {4, 950},    {5, 65000},  {6, 65001}, {7, 1200}, {9, 1200},
      {13, 1200},  {15, 1200},  {8, 1201},   {14, 1201},  {0, acp},    {19, acp},  {-1, acp},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    EncodingConverter converter;
    // Wine has no GB18030 (54936); the converter then refuses to open.
    if (!SystemConverts(c.target)) {
      EXPECT_FALSE(converter.Open(c.type));
      EXPECT_EQ(EncodingConverter::kInvalidPair, converter.Pair());
      continue;
    }
    ASSERT_TRUE(converter.Open(c.type));
    EXPECT_TRUE(converter.IsOpen());
    EXPECT_EQ(EncodingConverter::MakePair(65001, c.target), converter.Pair());
  }
}

TEST(EncodingConverterTest, OpenRefusesEncodingsTheSystemCannotConvert) {
  // The UTF-32 code pages are in the table, but MultiByteToWideChar takes neither.
  for (const int type : {10, 11, 12, 16, 17, 18}) {
    SCOPED_TRACE(type);
    EncodingConverter converter;
    errno = 0;
    EXPECT_FALSE(converter.Open(type));
    EXPECT_EQ(EINVAL, errno);
    EXPECT_FALSE(converter.IsOpen());
    EXPECT_EQ(EncodingConverter::kInvalidPair, converter.Pair());
  }
}

TEST(EncodingConverterTest, ChineseTextThroughType9MatchesTheSystemUtf8Conversion) {
  EncodingConverter converter;
  ASSERT_TRUE(converter.Open(9));
  KxDynamicBuffer<char> out;
  ASSERT_EQ(0, EncodingConverter::Convert(converter.Pair(), kChineseUtf8.data(), kChineseUtf8.size(), out));
  EXPECT_EQ(AsBytes(SystemUtf8ToWide(kChineseUtf8)), Bytes(out));
  // Zero termination follows the output.
  ASSERT_GE(out.Capacity(), out.Size() + 2);
  EXPECT_EQ('\0', out.Data()[out.Size()]);
  EXPECT_EQ('\0', out.Data()[out.Size() + 1]);
}

TEST(EncodingConverterTest, FailuresSetErrno) {
  struct Case {
    const char* label;
    uint32_t pair;
    std::string input;
    int error;
  };
  const Case cases[] = {
      {"odd UTF-16 to UTF-8", EncodingConverter::MakePair(1200, 65001), "abc", EILSEQ},
      {"odd UTF-16 to big-endian", EncodingConverter::MakePair(1200, 1201), "abc", EILSEQ},
      {"odd big-endian to 936", EncodingConverter::MakePair(1201, 936), std::string("\0a\0", 3), EILSEQ},
      {"invalid pair", EncodingConverter::kInvalidPair, "abc", EBADF},
      {"invalid source half", EncodingConverter::MakePair(0xFFFF, 1200), "abc", EBADF},
      {"invalid target half", EncodingConverter::MakePair(65001, 0xFFFF), "abc", EBADF},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    KxDynamicBuffer<char> out;
    errno = 0;
    EXPECT_EQ(-1, EncodingConverter::Convert(c.pair, c.input.data(), c.input.size(), out));
    EXPECT_EQ(c.error, errno);
    EXPECT_TRUE(out.Empty());
  }
}

TEST(EncodingConverterTest, NothingToConvertSucceedsWithEmptyOutput) {
  KxDynamicBuffer<char> out;
  out.Append("old", 3);
  EXPECT_EQ(0, EncodingConverter::Convert(EncodingConverter::kInvalidPair, nullptr, 4, out));
  EXPECT_TRUE(out.Empty());
  EXPECT_EQ(0, EncodingConverter::Convert(EncodingConverter::MakePair(65001, 1200), "abc", 0, out));
  EXPECT_TRUE(out.Empty());
}

TEST(EncodingConverterTest, ConvertsBetweenEveryKindOfPair) {
  const std::wstring wide = SystemUtf8ToWide(kChineseUtf8);
  const std::string little = AsBytes(wide);
  const std::string big = Swapped(little);
  const std::string gbk = "\xD6\xD0\xCE\xC4\xB1\xE0\xC2\xEB";
  struct Case {
    const char* label;
    unsigned source;
    unsigned target;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {"same page is copied", 936, 936, gbk, gbk},
      {"little to big endian", 1200, 1201, little, big},
      {"big to little endian", 1201, 1200, big, little},
      {"UTF-16 to UTF-8", 1200, 65001, little, kChineseUtf8},
      {"big-endian UTF-16 to 936", 1201, 936, big, gbk},
      {"UTF-8 to big-endian UTF-16", 65001, 1201, kChineseUtf8, big},
      {"UTF-8 to 936 through UTF-16", 65001, 936, kChineseUtf8, gbk},
      {"936 to UTF-8 through UTF-16", 936, 65001, gbk, kChineseUtf8},
      {"950 to 936 through UTF-16", 950, 936, "\xA4\xA4\xA4\xE5", "\xD6\xD0\xCE\xC4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    KxDynamicBuffer<char> out;
    ASSERT_EQ(0, EncodingConverter::Convert(EncodingConverter::MakePair(c.source, c.target), c.input.data(),
                                            c.input.size(), out));
    EXPECT_EQ(c.expected, Bytes(out));
  }
}

TEST(EncodingConverterTest, ByteToBytePassesThroughUtf16) {
  // Thai "ก" has no 936 form: the second step maps it as WideCharToMultiByte does.
  const std::string thaiUtf8 = "a\xE0\xB8\x81";
  char expected[8] = {};
  const wchar_t thai[] = L"a\x0E01";
  const int size = WideCharToMultiByte(936, 0, thai, 2, expected, sizeof(expected), nullptr, nullptr);
  ASSERT_GT(size, 0);
  KxDynamicBuffer<char> out;
  ASSERT_EQ(0, EncodingConverter::Convert(EncodingConverter::MakePair(65001, 936), thaiUtf8.data(),
                                          thaiUtf8.size(), out));
  EXPECT_EQ(std::string(expected, static_cast<size_t>(size)), Bytes(out));
}

TEST(KxDynamicBufferTest, GrowsKeepingItsContentAndClampsTheSize) {
  KxDynamicBuffer<char> buffer;
  buffer.Append("abc", 3);
  buffer.Reserve(1000);
  EXPECT_GE(buffer.Capacity(), 1000u);
  EXPECT_EQ("abc", Bytes(buffer));
  buffer.SetSize(buffer.Capacity() + 5);
  EXPECT_EQ(buffer.Capacity(), buffer.Size());
  buffer.Reset(4);
  EXPECT_TRUE(buffer.Empty());
  EXPECT_EQ('\0', buffer.Data()[0]);
  for (int i = 0; i < 100; ++i) buffer.Append("0123456789", 10);
  EXPECT_EQ(1000u, buffer.Size());
  EXPECT_EQ("56789", std::string(buffer.Data() + 995, 5));
}

}  // namespace
