#include "download/KxHttpFile.h"

#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "base/ScopedHandle.h"
#include "download/HttpHeaders.h"
#include "download/WinInetLibrary.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using Kx::KxHttpFile;
using Kx::KxInternetSession;
using zelk::test::RecordedRequest;
using zelk::test::TestServer;
using zelk::test::WideToUtf8;

class KxHttpFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_TRUE(session_.Open()) << GetLastError();
  }

  static std::vector<RecordedRequest> Requests(const std::wstring& pathPrefix) {
    return TestServer::Requests(WideToUtf8(pathPrefix));
  }

  // Reads the whole body with ReadBlock.
  static std::string ReadAll(KxHttpFile& file) {
    std::string body;
    std::vector<char> block(KxHttpFile::kBlockSize);
    DWORD read = 0;
    while (file.ReadBlock(block.data(), read) && read > 0) body.append(block.data(), read);
    return body;
  }

  KxInternetSession session_;
};

// The header lines of a recorded request, in the order they arrived.
std::vector<std::string> HeaderLines(const RecordedRequest& request) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < request.headerText.size()) {
    size_t end = request.headerText.find("\r\n", start);
    if (end == std::string::npos) end = request.headerText.size();
    lines.push_back(request.headerText.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Position of the first line starting with `prefix`, or -1.
int LineIndex(const std::vector<std::string>& lines, const std::string& prefix) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, prefix.size(), prefix) == 0) return static_cast<int>(i);
  }
  return -1;
}

TEST_F(KxHttpFileTest, GetSendsExtraRefererRangeAndAcceptInOrder) {
  KxHttpFile file;
  ASSERT_TRUE(file.Open(session_, TestServer::Url(L"/get-order/f.bin?size=80000"), 70000, "", L"X-Extra: 1",
                        L"http://referrer.example/page"));
  EXPECT_EQ(206u, file.QueryStatusCode());
  EXPECT_TRUE(file.HasRange());
  EXPECT_EQ(70000u, file.RangeStart());
  EXPECT_EQ(TestServer::PatternBytes(70000, 10000), ReadAll(file));

  // WinINet sends each of the lines it was given as "Name: value", in the
  // order given, after an "Accept: */*" of its own.
  const auto requests = Requests(L"/get-order/");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET", requests[0].method);
  const auto lines = HeaderLines(requests[0]);
  const int extra = LineIndex(lines, "X-Extra: 1");
  ASSERT_GE(extra, 0) << requests[0].headerText;
  ASSERT_LT(static_cast<size_t>(extra + 3), lines.size()) << requests[0].headerText;
  EXPECT_EQ("Referer: http://referrer.example/page", lines[extra + 1]);
  EXPECT_EQ("Range: bytes=70000-", lines[extra + 2]);
  EXPECT_EQ("Accept: */*", lines[extra + 3]);
  // No agent is given to WinINet.
  EXPECT_EQ(-1, LineIndex(lines, "User-Agent:")) << requests[0].headerText;
}

TEST_F(KxHttpFileTest, StartZeroSendsNoRangeLine) {
  for (const std::string body : {"", "payload"}) {
    SCOPED_TRACE(body);
    const std::wstring prefix = body.empty() ? L"/no-range-get/" : L"/no-range-post/";
    KxHttpFile file;
    ASSERT_TRUE(file.Open(session_, TestServer::Url(prefix + L"f.bin?size=10"), 0, body, L"", L""));
    EXPECT_FALSE(file.HasRange());
    EXPECT_EQ(200u, file.QueryStatusCode());
    const auto requests = Requests(prefix);
    ASSERT_EQ(1u, requests.size());
    EXPECT_EQ(-1, LineIndex(HeaderLines(requests[0]), "Range:")) << requests[0].headerText;
  }
}

TEST_F(KxHttpFileTest, PostSendsTheBodyWithRangeAndReferer) {
  KxHttpFile file;
  const std::string body = "name=value&other=2";
  ASSERT_TRUE(file.Open(session_, TestServer::Url(L"/post-order/form?body=answer"), 70000, body, L"X-Extra: 1",
                        L"http://referrer.example/page"));
  // The server gives a body to a range past its end no part, so it answers 416.
  EXPECT_EQ(416u, file.QueryStatusCode());

  const auto requests = Requests(L"/post-order/");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("POST", requests[0].method);
  EXPECT_EQ("/post-order/form?body=answer", requests[0].target);
  EXPECT_EQ(body, requests[0].body);
  const auto lines = HeaderLines(requests[0]);
  const int extra = LineIndex(lines, "X-Extra: 1");
  ASSERT_GE(extra, 0) << requests[0].headerText;
  ASSERT_LT(static_cast<size_t>(extra + 2), lines.size()) << requests[0].headerText;
  EXPECT_EQ("Range: bytes=70000-", lines[extra + 1]);
  EXPECT_EQ("Referer: http://referrer.example/page", lines[extra + 2]);
  EXPECT_EQ(-1, LineIndex(std::vector<std::string>(lines.begin() + extra + 3, lines.end()), "Referer:"));
  EXPECT_GE(LineIndex(lines, "Content-Length: " + std::to_string(body.size())), 0) << requests[0].headerText;
}

TEST_F(KxHttpFileTest, UrlWithoutSchemeIsOpenedAsHttp) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::HostAndPort() + L"/no-scheme/f.bin?size=5", L""));
  EXPECT_EQ(200u, file.QueryStatusCode());
  EXPECT_EQ(TestServer::PatternBytes(0, 5), ReadAll(file));
  EXPECT_EQ(1u, Requests(L"/no-scheme/").size());
}

size_t TlsHandshakes() {
  size_t count = 0;
  for (const auto& record : TestServer::Requests("")) count += record.method == "TLS" ? 1 : 0;
  return count;
}

TEST_F(KxHttpFileTest, HttpsInCapitalsIsOpenedWithTls) {
  // The plain server cannot answer a TLS handshake, but it records one. A
  // POST only speaks TLS when its request flags ask for it.
  const std::wstring url = L"HTTPS://" + TestServer::HostAndPort() + L"/capital-https/f";
  const size_t before = TlsHandshakes();
  KxHttpFile get;
  EXPECT_FALSE(get.Open(session_, url, 0, "", L"", L""));
  const size_t afterGet = TlsHandshakes();
  EXPECT_GT(afterGet, before);
  KxHttpFile post;
  EXPECT_FALSE(post.Open(session_, url, 0, "body", L"", L""));
  EXPECT_GT(TlsHandshakes(), afterGet);
  EXPECT_TRUE(Requests(L"/capital-https/").empty());
}

TEST_F(KxHttpFileTest, GetWithoutRevocationCheckSendsNoHeadersOfOurs) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenWithoutRevocationCheck(session_, TestServer::Url(L"/no-revocation/f?size=20"),
                                              INTERNET_FLAG_RELOAD | INTERNET_FLAG_KEEP_CONNECTION));
  EXPECT_NE(nullptr, file.ConnectionHandle());
  EXPECT_EQ(200u, file.QueryStatusCode());
  EXPECT_EQ(TestServer::PatternBytes(0, 20), ReadAll(file));
  const auto requests = Requests(L"/no-revocation/");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET", requests[0].method);
  EXPECT_EQ("/no-revocation/f?size=20", requests[0].target);
  const auto lines = HeaderLines(requests[0]);
  EXPECT_EQ(-1, LineIndex(lines, "Range:")) << requests[0].headerText;
  EXPECT_EQ(-1, LineIndex(lines, "Referer:")) << requests[0].headerText;
  file.Close();
  EXPECT_EQ(nullptr, file.ConnectionHandle());
}

TEST_F(KxHttpFileTest, OpenRefusesASecondRequestAndAClosedSession) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/twice/f?size=1"), L""));
  EXPECT_FALSE(file.OpenUrl(session_, TestServer::Url(L"/twice/f?size=1"), L""));
  EXPECT_EQ(1u, Requests(L"/twice/").size());

  KxHttpFile other;
  session_.Close();
  EXPECT_FALSE(other.OpenUrl(session_, TestServer::Url(L"/twice/f?size=1"), L""));
  EXPECT_FALSE(other.OpenUrl(session_, L"", L""));
}

TEST_F(KxHttpFileTest, RefusedPortFailsWithCannotConnect) {
  KxHttpFile file;
  EXPECT_FALSE(file.OpenUrl(session_, TestServer::RefusedUrl(L"/refused"), L""));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT), GetLastError());
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(KxHttpFileTest, ReadBlockReadsWholeBlocksUntilTheEnd) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/blocks/f?size=40000"), L""));
  std::vector<char> block(KxHttpFile::kBlockSize);
  std::vector<DWORD> counts;
  std::string body;
  DWORD read = 0;
  while (file.ReadBlock(block.data(), read) && read > 0) {
    counts.push_back(read);
    body.append(block.data(), read);
  }
  EXPECT_EQ((std::vector<DWORD>{16384, 16384, 7232}), counts);
  EXPECT_EQ(TestServer::PatternBytes(0, 40000), body);

  DWORD lastError = 0;
  EXPECT_FALSE(file.Read(nullptr, 10, read, lastError));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), lastError);
  EXPECT_FALSE(file.Read(block.data(), 0, read, lastError));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), lastError);
  file.Close();
  EXPECT_FALSE(file.Read(block.data(), KxHttpFile::kBlockSize, read, lastError));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), lastError);
}

// The body is read ahead in 16 KiB blocks into a ring of its own; reads of
// any size, a caller slower than the server (the ring fills and the reader
// waits) and a request closed half-way and opened again all keep the bytes
// in order, with nothing lost and nothing from the earlier body.
TEST_F(KxHttpFileTest, ReadsOfAnySizeTakeTheBodyInOrder) {
  constexpr DWORD kBodySize = 1000000;  // more than the read-ahead ring holds
  const DWORD sizes[] = {1000, KxHttpFile::kBlockSize, 20000, 2 * KxHttpFile::kBlockSize};
  for (const DWORD size : sizes) {
    for (const bool slowCaller : {false, true}) {
      SCOPED_TRACE(testing::Message() << "reads of " << size << (slowCaller ? ", slow caller" : ""));
      KxHttpFile file;
      ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/sizes/f?size=1000000"), L""));
      std::vector<char> buffer(size);
      std::string body;
      DWORD read = 0;
      DWORD error = 0;
      while (file.Read(buffer.data(), size, read, error) && read > 0) {
        ASSERT_LE(read, size);
        body.append(buffer.data(), read);
        if (slowCaller && body.size() == read) Sleep(500);  // the ring fills meanwhile
      }
      EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), error);
      EXPECT_EQ(TestServer::PatternBytes(0, kBodySize), body);
    }
  }
}

TEST_F(KxHttpFileTest, ARequestClosedHalfWayLeavesNothingForTheNextOne) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/first/f?size=300000&seed=7"), L""));
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  ASSERT_TRUE(file.ReadBlock(block.data(), read));
  Sleep(200);  // the reader runs ahead into the first body
  file.Close();
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/second/f?size=40000"), L""));
  EXPECT_EQ(TestServer::PatternBytes(0, 40000), ReadAll(file));
}

// A pause in the body longer than the session's receive timeout: the read
// answers ERROR_INTERNET_TIMEOUT with the request still open (Windows by
// its own timeout, Wine by our stand-in), and the next reads get every byte.
TEST_F(KxHttpFileTest, APauseBeyondTheReceiveTimeoutReadsAsATimeoutAndLosesNothing) {
  session_.SetReceiveTimeoutMs(1000);
  session_.SetCallTimeoutMs(16000);
  KxHttpFile file;
  // 15000 bytes, two and a half seconds of nothing, the other 15000.
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/pause/f?size=30000&trickle=2500&chunk=15000"), L""));
  std::vector<char> block(KxHttpFile::kBlockSize);
  std::string body;
  int timeouts = 0;
  for (int reads = 0; reads < 100; ++reads) {
    DWORD read = 0;
    DWORD error = 0;
    if (file.Read(block.data(), KxHttpFile::kBlockSize, read, error)) {
      if (read == 0) break;
      body.append(block.data(), read);
      continue;
    }
    ASSERT_EQ(static_cast<DWORD>(ERROR_INTERNET_TIMEOUT), error);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_NE(0u, file.CallStartTick()) << "the read still runs";
    ++timeouts;
  }
  EXPECT_GE(timeouts, 1);
  EXPECT_EQ(TestServer::PatternBytes(0, 30000), body);
  EXPECT_EQ(0u, file.CallStartTick());
}

TEST_F(KxHttpFileTest, BodyWithoutLengthEndsWhenTheServerCloses) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/no-length/f?size=30000&length=none"), L""));
  Kx::HttpLengthInfo info;
  EXPECT_FALSE(Kx::LengthInfo(file, info));
  EXPECT_EQ(Kx::HttpLengthInfo::kUnknownLength, info.contentLength);
  EXPECT_EQ(TestServer::PatternBytes(0, 30000), ReadAll(file));
}

TEST_F(KxHttpFileTest, CutConnectionGivesAShortBody) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/cut/f?size=40000&cut=1000"), L""));
  EXPECT_EQ(TestServer::PatternBytes(0, 1000), ReadAll(file));
}

TEST_F(KxHttpFileTest, LengthInfoReadsLengthAndDate) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/length-info/f?size=1234"), L""));
  Kx::HttpLengthInfo info;
  ASSERT_TRUE(Kx::LengthInfo(file, info));
  EXPECT_EQ(1234u, info.contentLength);
  EXPECT_EQ(1994, info.lastModified.wYear);
  EXPECT_EQ(11, info.lastModified.wMonth);
  EXPECT_EQ(15, info.lastModified.wDay);
  EXPECT_EQ(8, info.lastModified.wHour);
  EXPECT_EQ(12, info.lastModified.wMinute);
  EXPECT_EQ(31, info.lastModified.wSecond);

  KxHttpFile closed;
  EXPECT_FALSE(Kx::LengthInfo(closed, info));
  EXPECT_EQ(0, info.lastModified.wYear);
}

// The length as the answer states it: one of 4 GiB or more keeps its high
// half (a 32-bit query gives 100 for 2^32 + 100), and a value that is no
// plain count is no length, so the body is read to its end.
TEST_F(KxHttpFileTest, LengthInfoReadsTheWholeStatedLength) {
  struct Case {
    const wchar_t* stated;
    bool known;
    unsigned long long length;
  };
  const Case cases[] = {
      {L"4294967396", true, 4294967396ull},
      {L"8589934592000", true, 8589934592000ull},
      {L"2147483748", true, 2147483748ull},
      {L"18446744073709551616", false, Kx::HttpLengthInfo::kUnknownLength},  // 2^64
      {L"-5", false, Kx::HttpLengthInfo::kUnknownLength},
      {L"12abc", false, Kx::HttpLengthInfo::kUnknownLength},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(zelk::test::WideToUtf8(c.stated));
    KxHttpFile file;
    ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(std::wstring(L"/stated-length/f?size=100&length=") + c.stated),
                             L""));
    Kx::HttpLengthInfo info;
    EXPECT_EQ(c.known, Kx::LengthInfo(file, info));
    EXPECT_EQ(c.length, info.contentLength);
  }
}

TEST_F(KxHttpFileTest, HeaderQueriesOnARealAnswer) {
  struct Case {
    const wchar_t* path;
    unsigned long long rangeStart;
    long long total;
    const wchar_t* fileName;
  };
  const Case cases[] = {
      {L"/hq/1?size=5000", 100, 5000, L""},
      {L"/hq/2?size=42&length=underscore", 0, 42, L""},
      {L"/hq/3?size=42&length=none", 0, -1, L""},
      {L"/hq/4?size=10&disposition=attachment;%20filename=%22a%2520b.exe%22;", 0, 10, L"a b.exe"},
      {L"/hq/5?size=10&disposition=attachment;%20filename=plain.exe", 0, 10, L"plain.exe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.path));
    KxHttpFile file;
    ASSERT_TRUE(file.Open(session_, TestServer::Url(c.path), c.rangeStart, "", L"", L""));
    const std::wstring raw = file.QueryRawHeaders();
    EXPECT_EQ(std::wstring::npos, raw.find(L'\r'));
    EXPECT_EQ(0u, raw.find(L"HTTP/1.1 ")) << WideToUtf8(raw);
    EXPECT_EQ(c.total, Kx::TotalLengthFromHeaders(raw)) << WideToUtf8(raw);
    EXPECT_EQ(c.fileName, file.QueryFileName());
  }
}

TEST_F(KxHttpFileTest, QueryHeaderMatchesWholeNamesIgnoringCase) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/query-header/f?size=3&header=X-Thing:%20first"), L""));
  EXPECT_EQ(L"first", file.QueryHeader(L"x-THING"));
  EXPECT_EQ(L"3", file.QueryHeader(L"content-length"));
  EXPECT_EQ(L"", file.QueryHeader(L"X-Thin"));
  EXPECT_EQ(L"", file.QueryHeader(L"X-Missing"));
  DWORD number = 0;
  EXPECT_TRUE(file.QueryNumber(HTTP_QUERY_CONTENT_LENGTH, number));
  EXPECT_EQ(3u, number);
}

}  // namespace
