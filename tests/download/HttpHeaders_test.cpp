#include "download/HttpHeaders.h"

#include <gtest/gtest.h>

#include "download/InternetUrl.h"
#include "download/KxHttpFile.h"

namespace {

using Kx::HttpHeaderList;
using Kx::KxHttpFile;

TEST(RequestHeadersTest, GetPutsExtraRefererRangeAndAcceptInThatOrder) {
  struct Case {
    const wchar_t* extra;
    const wchar_t* referer;
    unsigned long long rangeStart;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"X: 1", L"R", 5, L"X: 1\r\nReferer:R\r\nRange: bytes=5-\r\nAccept:*/*"},
      {L"", L"", 0, L"Accept:*/*"},
      {L"", L"", 70000, L"Range: bytes=70000-\r\nAccept:*/*"},
      {L"", L"http://ref.example/page", 0, L"Referer:http://ref.example/page\r\nAccept:*/*"},
      {L"A: 1\r\nB: 2", L"", 0, L"A: 1\r\nB: 2\r\nAccept:*/*"},
      {L"X: 1", L"", 18446744073709551615ull, L"X: 1\r\nRange: bytes=18446744073709551615-\r\nAccept:*/*"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rangeStart);
    EXPECT_EQ(c.expected, KxHttpFile::GetRequestHeaders(c.extra, c.referer, c.rangeStart));
  }
}

TEST(RequestHeadersTest, PostPutsTheRangeBeforeTheRefererAndNoAcceptLine) {
  struct Case {
    const wchar_t* extra;
    const wchar_t* referer;
    unsigned long long rangeStart;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"X: 1", L"R", 5, L"X: 1\r\nRange: bytes=5-\r\nReferer:R\r\n"},
      {L"", L"", 0, L""},
      {L"", L"", 70000, L"Range: bytes=70000-"},
      {L"X: 1", L"", 0, L"X: 1"},
      {L"", L"R", 0, L"Referer:R\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rangeStart);
    EXPECT_EQ(c.expected, KxHttpFile::PostRequestHeaders(c.extra, c.referer, c.rangeStart));
  }
}

TEST(ParseHeadersTest, SplitsTrimsAndSkipsLinesWithoutAName) {
  const HttpHeaderList expected = {
      {L"Content-Length", L"42"}, {L"X-Empty", L""}, {L"Location", L"http://h:80/p"}, {L"Dup", L"1"}, {L"Dup", L"2"}};
  EXPECT_EQ(expected, Kx::ParseHeaders(L"HTTP/1.1 200 OK\n  Content-Length :\t42 \r\n\nX-Empty:\nno colon here\n"
                                       L": nameless\nLocation: http://h:80/p\nDup: 1\nDup: 2"));
  EXPECT_TRUE(Kx::ParseHeaders(L"").empty());
  EXPECT_EQ(L"2", Kx::HeaderValue({{L"A", L"1"}, {L"content-type", L"2"}}, L"CONTENT-TYPE"));
  EXPECT_EQ(L"", Kx::HeaderValue({{L"Content", L"1"}}, L"Content-Type"));
}

TEST(TotalLengthFromHeadersTest, ContentRangeTotalWinsOverTheLength) {
  struct Case {
    const wchar_t* headers;
    long long total;
  };
  const Case cases[] = {
      {L"Content-Range: bytes 100-199/5000\nContent-Length: 100\n", 5000},
      {L"Content-Length: 100\nContent-Range: bytes 100-199/5000\n", 5000},
      {L"Content_Length: 42\n", 42},
      {L"content-length: 7\n", 7},
      {L"Content-Type: text/plain\n", -1},
      {L"", -1},
      {L"Content-Length: 10\nContent-Length: 20\n", 20},
      {L"Content-Range: BYTES 0-9/123\n", 123},
      // Unusable ranges leave the length in charge.
      {L"Content-Length: 9\nContent-Range: bytes 0-8/\n", 9},
      {L"Content-Length: 9\nContent-Range: items 0-8/77\n", 9},
      {L"Content-Range: bytes */6000000000\n", 6000000000LL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.total);
    EXPECT_EQ(c.total, Kx::TotalLengthFromHeaders(c.headers));
  }
}

TEST(FileNameFromHeadersTest, ReadsTheDispositionName) {
  struct Case {
    const wchar_t* headers;
    const wchar_t* name;
  };
  const Case cases[] = {
      {L"Content-Disposition: attachment; filename=\"a%20b.exe\";\n", L"a b.exe"},
      {L"content-disposition: attachment; filename=setup.exe;;\n", L"setup.exe"},
      {L"Content-Disposition: attachment; FileName=\"Setup.EXE\"\n", L"setup.exe"},
      {L"Content-Disposition: attachment; filename=\"x%2Ey%5Fz.exe\"\n", L"x.y_z.exe"},
      {L"Content-Disposition: inline\n", L""},
      {L"Content-Type: application/octet-stream\n", L""},
      {L"Content-Disposition: attachment; filename=\"\"\n", L""},
      // Only the first disposition counts.
      {L"Content-Disposition: inline\nContent-Disposition: attachment; filename=x.exe\n", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name);
    EXPECT_EQ(c.name, Kx::FileNameFromHeaders(c.headers));
  }
}

TEST(InternetUrlTest, NormaliseAddsHttpWhereThereIsNoScheme) {
  struct Case {
    const wchar_t* url;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"example/file.exe", L"http://example/file.exe"},
      {L" \t host.example:8080/a \r\n", L"http://host.example:8080/a"},
      {L"http://host.example/a", L"http://host.example/a"},
      {L"HTTPS://host/a", L"HTTPS://host/a"},
      {L"   ", L""},
      {L"\\\\server\\share\\file.exe", L"\\\\server\\share\\file.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.expected);
    EXPECT_EQ(c.expected, Kx::NormaliseUrl(c.url));
  }
}

TEST(InternetUrlTest, CrackGivesThePartsAndDecodesThePath) {
  Kx::UrlParts parts;
  ASSERT_TRUE(Kx::CrackUrl(L"https://user:pw@host.example:8443/dir/a%20b.exe?x=1", parts));
  EXPECT_EQ(L"https", parts.scheme);
  EXPECT_EQ(L"host.example", parts.host);
  EXPECT_EQ(8443, parts.port);
  EXPECT_EQ(L"user", parts.user);
  EXPECT_EQ(L"pw", parts.password);
  EXPECT_EQ(L"/dir/a b.exe?x=1", parts.path);

  ASSERT_TRUE(Kx::CrackUrl(L"host.example/file.exe", parts));
  EXPECT_EQ(L"http", parts.scheme);
  EXPECT_EQ(L"host.example", parts.host);
  EXPECT_EQ(80, parts.port);
  EXPECT_EQ(L"/file.exe", parts.path);

  ASSERT_TRUE(Kx::CrackUrl(L"http://host/p", parts, false));
  EXPECT_EQ(L"", parts.path);
  EXPECT_FALSE(Kx::CrackUrl(L"", parts));
}

}  // namespace
