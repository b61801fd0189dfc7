#include "download/KxLibCurlDownload.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "download/CurlLibrary.h"
#include "download/KxSimpleDownloadHandler.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::RangeOf;
using zelk::test::RecordedRequest;
using zelk::test::TestServer;

constexpr size_t kMiB = 1048576;
constexpr size_t kFileSize = kMiB + 300000;

class LibCurlDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_TRUE(Kx::CurlLibrary::Instance().IsLoaded()) << "libcurl_x86.dll must sit beside the test program";
    target_ = dir_.Join(L"package.exe");
  }

  // A unique log prefix per test, so its requests can be picked out.
  static std::string Prefix() { return TestServer::PathForCurrentTest("/c"); }
  static std::wstring UrlFor(const std::string& query) {
    return TestServer::Url(zelk::test::Utf8ToWide(Prefix() + "/package.exe?" + query));
  }
  DL::DownloadRequest Request(const std::string& query) const {
    DL::DownloadRequest request;
    request.url = UrlFor(query);
    request.targetPath = target_;
    request.extraHeaders = zelk::test::ProbeHeader();
    return request;
  }
  std::string Target() const {
    std::string bytes;
    EXPECT_TRUE(zelk::test::ReadFileBytes(target_, bytes));
    return bytes;
  }

  zelk::test::ScopedTempDir dir_;
  std::wstring target_;
};

// What libcurl sends after a partial file of a given size.
struct LibCurlResumeCase {
  const char* name;
  size_t partialSize;
  const char* range;  // of the one request
};

class LibCurlResumeTest : public LibCurlDownloadTest, public ::testing::WithParamInterface<LibCurlResumeCase> {};

TEST_P(LibCurlResumeTest, ResumesFromOneMebibyteUp) {
  const LibCurlResumeCase& c = GetParam();
  ASSERT_TRUE(zelk::test::WriteFileBytes(target_ + L".tmp", TestServer::PatternBytes(0, c.partialSize)));
  Kx::KxLibCurlDownload download;
  ASSERT_TRUE(download.Run(Request("size=" + std::to_string(kFileSize)), nullptr));
  EXPECT_EQ(TestServer::PatternBytes(0, kFileSize), Target());
  EXPECT_FALSE(Kx::FileExists(target_ + L".tmp"));
  const std::vector<RecordedRequest> log = TestServer::Requests(Prefix());
  ASSERT_EQ(1u, log.size());
  EXPECT_TRUE(zelk::test::SentByLibCurl(log[0]));
  EXPECT_EQ(c.range, RangeOf(log[0]));
  EXPECT_EQ(c.partialSize >= kMiB ? 206u : 200u, download.HttpStatus());
}

INSTANTIATE_TEST_SUITE_P(Cases, LibCurlResumeTest,
                         ::testing::Values(LibCurlResumeCase{"BelowOneMebibyteStartsAtZero", kMiB - 1, ""},
                                           LibCurlResumeCase{"OneMebibyteResumes", kMiB, "bytes=1015808-"}),
                         [](const ::testing::TestParamInfo<LibCurlResumeCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(LibCurlDownloadTest, ResumeAnsweredWith200FailsAtTheFirstBlockAndWinInetFinishes) {
  const std::string query = "size=" + std::to_string(kFileSize) + "&ranges=ignore";
  ASSERT_TRUE(zelk::test::WriteFileBytes(target_ + L".tmp", TestServer::PatternBytes(0, kMiB)));
  {
    Kx::KxLibCurlDownload download;
    EXPECT_FALSE(download.Run(Request(query + "&alone=1"), nullptr));
    // libcurl itself may refuse the answer (no Content-Range) before our
    // first block check does; either way the transfer fails.
    EXPECT_NE(0u, download.LastError());
    // Nothing of the 200 answer was appended.
    EXPECT_EQ(kMiB, Kx::FileSize(target_ + L".tmp"));
    EXPECT_FALSE(Kx::FileExists(target_));
  }

  Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
  zelk::test::RecordingListener listener;
  ASSERT_TRUE(handler->Download(Request(query), &listener, 0, 0));
  EXPECT_EQ(TestServer::PatternBytes(0, kFileSize), Target());
  std::vector<RecordedRequest> log;
  for (const RecordedRequest& r : TestServer::Requests(Prefix()))
    if (r.target.find("alone=1") == std::string::npos) log.push_back(r);
  ASSERT_GE(log.size(), 3u);
  EXPECT_TRUE(zelk::test::SentByLibCurl(log[0]));
  // Both resume 32 KiB before the partial file's end, to compare those bytes.
  EXPECT_EQ("bytes=1015808-", RangeOf(log[0]));
  // WinINet: ranged tries (answered 200, so refused) and then the whole file.
  for (size_t i = 1; i + 1 < log.size(); ++i) {
    EXPECT_TRUE(zelk::test::SentByWinInet(log[i])) << log[i].headerText;
    EXPECT_EQ("bytes=1015808-", RangeOf(log[i]));
  }
  EXPECT_TRUE(zelk::test::SentByWinInet(log.back()));
  EXPECT_EQ("", RangeOf(log.back()));
}

TEST_F(LibCurlDownloadTest, AnExistingTemporaryFileWithoutKeepPartialGetsANumberedName) {
  ASSERT_TRUE(zelk::test::WriteFileBytes(target_ + L".tmp", "held"));
  DL::DownloadRequest request = Request("size=5000");
  request.keepPartial = false;
  Kx::KxLibCurlDownload download;
  ASSERT_TRUE(download.Run(request, nullptr));
  EXPECT_EQ(target_ + L"(1).tmp", download.TemporaryPath());
  EXPECT_EQ(TestServer::PatternBytes(0, 5000), Target());
  std::string untouched;
  ASSERT_TRUE(zelk::test::ReadFileBytes(target_ + L".tmp", untouched));
  EXPECT_EQ("held", untouched);
}

TEST_F(LibCurlDownloadTest, OffersTheServersFileNameAndLength) {
  class Events : public Kx::ILibCurlDownloadEvent {
   public:
    bool OnBegin(const std::wstring& fileName, const std::wstring&, const long long* fileTime,
                 unsigned long long contentLength, unsigned long long resumeOffset) override {
      name = fileName;
      time = *fileTime;
      length = contentLength;
      offset = resumeOffset;
      return true;
    }
    bool OnProgress(unsigned long long, unsigned long long) override { return true; }
    std::wstring name;
    long long time = 0;
    unsigned long long length = 0;
    unsigned long long offset = 1;
  } events;
  Kx::KxLibCurlDownload download;
  ASSERT_TRUE(download.Run(Request("size=7000&disposition=attachment;%20filename=a%2520b.exe;"), &events));
  EXPECT_EQ(L"a b.exe", events.name);
  EXPECT_EQ(7000u, events.length);
  EXPECT_EQ(0u, events.offset);
  // "Tue, 15 Nov 1994 08:12:31 GMT", the server's Last-Modified.
  SYSTEMTIME time = {};
  ASSERT_TRUE(Kx::UnixTimeToSystemTime(events.time, time));
  EXPECT_EQ(1994, time.wYear);
  EXPECT_EQ(11, time.wMonth);
  EXPECT_EQ(15, time.wDay);
  EXPECT_EQ(2, time.wDayOfWeek);
  EXPECT_EQ(8, time.wHour);
  EXPECT_EQ(12, time.wMinute);
  EXPECT_EQ(31, time.wSecond);
}

}  // namespace
