// Randomized response header text through the header readers of both
// transports: no crash, no hang, and every result well-formed. Seed and
// count: tests/support/FuzzInput.h.
// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "download/CurlLibrary.h"
#include "download/HttpHeaders.h"
#include "download/LibCurlHeaderLine.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/FuzzInput.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::FuzzInput;

const std::vector<std::wstring>& WideFragments() {
  static const std::vector<std::wstring> fragments = {
      L"Content-Length", L"content-length", L"Content_Length", L"CONTENT-RANGE", L"Content-Range",
      L"Content-Disposition", L"content-DISPOSITION", L"Location", L"X", L":", L": ", L" : ", L"::", L"\r\n",
      L"\n", L"\r", L"\n\n", L" ", L"\t", L"0", L"7", L"42", L"-1", L"-5", L"+3", L"18446744073709551616",
      L"9223372036854775807", L"-9223372036854775809", L"bytes", L"BYTES ", L"0-", L"-", L"/", L"*", L"filename",
      L"filename=", L"FILENAME=", L"\"", L"%", L"%2", L"%20", L"%ZZ", L"%00", L"%e4%b8%ad", L";", L"=",
      L"attachment", L"a b.exe", L"\x4E2D\x6587", L"\xD800", L"\xFFFF"};
  return fragments;
}

const std::vector<std::string>& NarrowFragments() {
  static const std::vector<std::string> fragments = {
      "Content-Length", "CONTENT-length", "Content-Disposition", "content-disposition", "HTTP/1.1 200 OK",
      ": ", ":", " ", "\t", "\r\n", "\n", "0", "1", "65536", "-5", "+5", "18446744073709551616", "x",
      "filename=", "FILENAME=", "filename", "\"", "%", "%2", "%41", "%ZZ", "%00", "%c3%a9", "%ff%fe", ";", "=",
      "attachment", "\xE4\xB8\xAD", "\xC3", "\xFF"};
  return fragments;
}

std::wstring HeaderText(FuzzInput& input) {
  if (input.Chance(20)) return input.WideChars(300);
  return input.Join(WideFragments(), 60);
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\r' || c == L'\t' || c == L'\n'; }
bool IsBlank(char c) { return c == ' ' || c == '\r' || c == '\t' || c == '\n'; }

template <typename String>
bool IsTrimmed(const String& text) {
  return text.empty() || (!IsBlank(text.front()) && !IsBlank(text.back()));
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && _strnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

// What a test reports about an input that broke a rule: its units in hex.
template <typename String>
std::string Dump(const String& text) {
  std::string out;
  char unit[8];
  for (const auto c : text) {
    std::snprintf(unit, sizeof(unit), "%X ", static_cast<unsigned>(static_cast<std::make_unsigned_t<decltype(c)>>(c)));
    out += unit;
  }
  return out;
}

TEST(HttpHeadersFuzz, ParsedPairsAreTrimmedNamedAndReadBackTheSame) {
  FuzzInput input("HttpHeadersFuzz.ParsedPairs");
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring text = HeaderText(input);
    const Kx::HttpHeaderList pairs = Kx::ParseHeaders(text);
    std::wstring again;
    for (const auto& [name, value] : pairs) {
      ASSERT_FALSE(name.empty()) << Dump(text);
      ASSERT_EQ(std::wstring::npos, name.find(L':')) << Dump(text);
      ASSERT_EQ(std::wstring::npos, (name + value).find(L'\n')) << Dump(text);
      ASSERT_TRUE(IsTrimmed(name) && IsTrimmed(value)) << Dump(text);
      again += name + L": " + value + L"\r\n";
    }
    // The pairs written out as header text read back as the same pairs.
    ASSERT_EQ(pairs, Kx::ParseHeaders(again)) << Dump(text);
  }
}

TEST(HttpHeadersFuzz, TotalLengthIsUnknownOrANumberOfBytes) {
  FuzzInput input("HttpHeadersFuzz.TotalLength");
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring text = HeaderText(input);
    const long long total = Kx::TotalLengthFromHeaders(text);
    ASSERT_GE(total, -1) << Dump(text);
    bool lengthHeader = false;
    for (const auto& pair : Kx::ParseHeaders(text)) {
      const std::wstring& name = pair.first;
      lengthHeader = lengthHeader || _wcsicmp(name.c_str(), L"Content-Length") == 0 ||
                     _wcsicmp(name.c_str(), L"Content_Length") == 0 || _wcsicmp(name.c_str(), L"Content-Range") == 0;
    }
    if (!lengthHeader) {
      ASSERT_EQ(-1, total) << Dump(text);
    }
  }
}

TEST(HttpHeadersFuzz, OfferedFileNameComesOnlyFromADispositionAndEndsWithoutSemicolon) {
  FuzzInput input("HttpHeadersFuzz.OfferedFileName");
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::wstring text = HeaderText(input);
    const std::wstring name = Kx::FileNameFromHeaders(text);
    if (name.empty()) continue;
    ASSERT_NE(L';', name.back()) << Dump(text);
    ASSERT_FALSE(Kx::HeaderValue(Kx::ParseHeaders(text), L"Content-Disposition").empty()) << Dump(text);
  }
}

TEST(HttpHeadersFuzz, LibCurlHeaderLinesGiveAPlainLengthOrAnEscapedName) {
  FuzzInput input("HttpHeadersFuzz.LibCurlHeaderLines");
  zelk::test::LibCurlPresence present(true);
  Kx::KxLibCurlAutoEasyHandle easy;
  ASSERT_TRUE(easy) << "the libcurl DLL belongs beside the test program";
  const Kx::CurlLibrary& curl = Kx::CurlLibrary::Instance();
  for (unsigned i = 0; i < FuzzInput::Count(); ++i) {
    const std::string line = input.Chance(20) ? input.Bytes(200) : input.Join(NarrowFragments(), 30);
    const Kx::LibCurlHeaderLine parsed = Kx::ParseLibCurlHeaderLine(line);
    if (parsed.contentLength != 0) {
      ASSERT_TRUE(StartsWithNoCase(line, "Content-Length: ")) << Dump(line);
      const size_t value = line.find_first_not_of(" \r\t\n", 16);
      ASSERT_TRUE(value != std::string::npos && line[value] >= '0' && line[value] <= '9') << Dump(line);
    }
    if (!parsed.offersFileName) {
      ASSERT_TRUE(parsed.escapedFileName.empty()) << Dump(line);
      continue;
    }
    ASSERT_TRUE(StartsWithNoCase(line, "Content-Disposition: ")) << Dump(line);
    ASSERT_NE(std::string::npos, line.find("filename=")) << Dump(line);
    ASSERT_EQ(std::string::npos, parsed.escapedFileName.find(';')) << Dump(line);
    ASSERT_TRUE(IsTrimmed(parsed.escapedFileName)) << Dump(line);
    // The callback's next step: libcurl decodes the escapes.
    std::string decoded;
    if (curl.Unescape(easy.Get(), parsed.escapedFileName, decoded)) {
      ASSERT_LE(decoded.size(), parsed.escapedFileName.size()) << Dump(line);
    }
  }
}

// Found by the randomized test above: strtoull read a negative length as
// a huge one, which reached the listener as the download's total.
TEST(HttpHeadersFuzz, ALibCurlLengthThatIsNoPlainNumberIsNoLength) {
  struct Case {
    const char* line;
    unsigned long long length;
  };
  for (const Case& c : {Case{"Content-Length: -5\r\n", 0}, Case{"Content-Length: +5\r\n", 0},
                        Case{"Content-Length: x5\r\n", 0}, Case{"content-length:  \t77\r\n", 77},
                        Case{"Content-Length: 0\r\n", 0}}) {
    EXPECT_EQ(c.length, Kx::ParseLibCurlHeaderLine(c.line).contentLength) << c.line;
  }
}

// Found by the randomized test above: a negative length read as a negative
// total instead of an unknown one.
TEST(HttpHeadersFuzz, ANegativeLengthIsAnUnknownTotal) {
  for (const wchar_t* text : {L"Content-Length: -5", L"Content_Length: -1\nX: 1", L"Content-Range: bytes 1-2/-7",
                              L"Content-Length: -9223372036854775809"}) {
    EXPECT_EQ(-1, Kx::TotalLengthFromHeaders(text)) << zelk::test::WideToUtf8(text);
  }
  EXPECT_EQ(12, Kx::TotalLengthFromHeaders(L"Content-Length: -5\r\nContent-Length: 12"));
}

}  // namespace
