#include "download/KxSimpleDownloadHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "base/ScopedHandle.h"
#include "base/StringUtil.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"
#include "verify/KxHashCalcMD5.h"

namespace {

using DL::DownloadRequest;
using DL::KxSimpleDownloadHandler;
using zelk::test::LibCurlPresence;
using zelk::test::RangeOf;
using zelk::test::RecordedRequest;
using zelk::test::RecordingListener;
using zelk::test::ScopedTempDir;
using zelk::test::TestServer;

class SimpleDownloadHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
    target_ = dir_.Join(L"package.exe");
  }

  // A unique log prefix per test, so its requests can be picked out.
  static std::string Prefix() { return TestServer::PathForCurrentTest("/h"); }
  static std::wstring UrlFor(const std::string& query) {
    return TestServer::Url(zelk::test::Utf8ToWide(Prefix() + "/package.exe?" + query));
  }
  static std::vector<RecordedRequest> Log() { return TestServer::Requests(Prefix()); }

  DownloadRequest Request(const std::wstring& url) const {
    DownloadRequest request;
    request.url = url;
    request.targetPath = target_;
    request.extraHeaders = zelk::test::ProbeHeader();
    return request;
  }
  bool Run(const DownloadRequest& request) { return handler_->Download(request, &listener_, 0, 0); }

  std::string Target() const {
    std::string bytes;
    EXPECT_TRUE(zelk::test::ReadFileBytes(target_, bytes));
    return bytes;
  }
  std::wstring Temporary() const { return target_ + L".tmp"; }

  ScopedTempDir dir_;
  std::wstring target_;
  RecordingListener listener_;
  Kx::KxRefPtr<KxSimpleDownloadHandler> handler_;
};

TEST_F(SimpleDownloadHandlerTest, LibCurlServesTheDownloadWhenItsDllIsThereAndWinInetOtherwise) {
  for (const bool present : {true, false}) {
    SCOPED_TRACE(present ? "with libcurl" : "without libcurl");
    LibCurlPresence curl(present);
    const std::wstring url = UrlFor(present ? "size=200000&with=1" : "size=200000&with=0");
    handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
    ASSERT_TRUE(Run(Request(url)));
    EXPECT_EQ(TestServer::PatternBytes(0, 200000), Target());
    EXPECT_FALSE(Kx::FileExists(Temporary()));
    EXPECT_TRUE(listener_.completeSuccess);
    EXPECT_EQ(200u, listener_.completeStatus);

    std::vector<RecordedRequest> sent;
    for (const RecordedRequest& r : Log())
      if (r.target.find(present ? "with=1" : "with=0") != std::string::npos) sent.push_back(r);
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(present, zelk::test::SentByLibCurl(sent[0])) << sent[0].headerText;
    EXPECT_EQ(!present, zelk::test::SentByWinInet(sent[0])) << sent[0].headerText;
  }
}

// What the request expects the whole file's MD5 to be.
enum class ExpectedMd5 { kNone, kOfServerFile, kOfOtherBytes };

// Resumes over WinINet: what is sent after a partial file of a given size
// and a server of a given behaviour, and that the result is always right.
struct WinInetResumeCase {
  const char* name;
  size_t partialSize;
  unsigned partialSeed;      // seed of the bytes already on disk
  const char* serverQuery;   // beside size=
  std::vector<std::string> ranges;  // Range of each request, in order
  size_t finalSize;
  size_t damagedHead = 0;    // leading bytes on disk of seed 1: a tail that passes the overlap
  ExpectedMd5 md5 = ExpectedMd5::kNone;
};

class WinInetResumeTest : public SimpleDownloadHandlerTest,
                          public ::testing::WithParamInterface<WinInetResumeCase> {
 protected:
  // Lower case: the digest is compared ignoring case.
  static std::wstring Md5Of(const std::string& bytes) {
    Kx::KxHashCalcMD5 md5;
    md5.Init();
    md5.Update(bytes.data(), bytes.size());
    md5.Final();
    std::wstring hex = md5.GetHexString();
    Kx::ToLower(hex);
    return hex;
  }
};

TEST_P(WinInetResumeTest, ResumesOnlyWhatCanBeTrusted) {
  const WinInetResumeCase& c = GetParam();
  LibCurlPresence curl(false);
  constexpr size_t kSize = 200000;
  std::string partial = TestServer::PatternBytes(0, c.partialSize, c.partialSeed);
  partial.replace(0, c.damagedHead, TestServer::PatternBytes(0, c.damagedHead, 1));
  ASSERT_TRUE(zelk::test::WriteFileBytes(Temporary(), partial));
  DownloadRequest request = Request(UrlFor("size=" + std::to_string(kSize) + c.serverQuery));
  if (c.md5 == ExpectedMd5::kOfServerFile) request.expectedMd5 = Md5Of(TestServer::PatternBytes(0, kSize));
  if (c.md5 == ExpectedMd5::kOfOtherBytes) request.expectedMd5 = Md5Of(TestServer::PatternBytes(0, kSize, 1));
  ASSERT_TRUE(Run(request));
  EXPECT_EQ(TestServer::PatternBytes(0, c.finalSize), Target());
  EXPECT_FALSE(Kx::FileExists(Temporary()));
  EXPECT_EQ(0u, listener_.completeError);
  std::vector<std::string> ranges;
  for (const RecordedRequest& r : Log()) ranges.push_back(RangeOf(r));
  EXPECT_EQ(c.ranges, ranges);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WinInetResumeTest,
    ::testing::Values(
        WinInetResumeCase{"AtTheLimitIsNotResumed", 65536, 0, "", {""}, 200000},
        WinInetResumeCase{"OneByteMoreResumesOverlapping", 65537, 0, "", {"bytes=32769-"}, 200000},
        WinInetResumeCase{"DifferentOverlapStartsAgain", 100000, 1, "", {"bytes=67232-", ""}, 200000},
        WinInetResumeCase{"RangedAnswerShorterThanTheOverlapStartsAgain", 100000, 0, "&rangelength=100",
                          {"bytes=67232-", ""}, 200000},
        WinInetResumeCase{"RangeAnsweredWith200StartsAgain", 100000, 0, "&ranges=ignore",
                          {"bytes=67232-", "bytes=67232-", "bytes=67232-", ""}, 200000},
        WinInetResumeCase{"MatchingMd5KeepsTheResume", 100000, 0, "", {"bytes=67232-"}, 200000, 0,
                          ExpectedMd5::kOfServerFile},
        // The overlap passes, but bytes kept from before are wrong: only
        // the digest of the whole file tells.
        WinInetResumeCase{"DamagedHeadFailsTheMd5AndStartsAgain", 100000, 0, "", {"bytes=67232-", ""}, 200000,
                          1000, ExpectedMd5::kOfServerFile},
        // The full download that follows checks no digest.
        WinInetResumeCase{"MismatchingMd5StartsAgain", 100000, 0, "", {"bytes=67232-", ""}, 200000, 0,
                          ExpectedMd5::kOfOtherBytes}),
    [](const ::testing::TestParamInfo<WinInetResumeCase>& info) { return std::string(info.param.name); });

TEST_F(SimpleDownloadHandlerTest, ACutConnectionKeepsThePartialFileAndTheRetryResumesIt) {
  constexpr size_t kSize = 300000;
  for (const bool present : {false, true}) {
    SCOPED_TRACE(present ? "with libcurl" : "without libcurl");
    LibCurlPresence curl(present);
    handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
    const std::string tag = present ? "&curl=1" : "&curl=0";
    ASSERT_TRUE(Run(Request(UrlFor("size=" + std::to_string(kSize) + "&cutfirst=100000" + tag))));
    EXPECT_EQ(TestServer::PatternBytes(0, kSize), Target());
    EXPECT_FALSE(Kx::FileExists(Temporary()));
    std::vector<std::string> ranges;
    for (const RecordedRequest& r : Log())
      if (r.target.find(tag.substr(1)) != std::string::npos) ranges.push_back(RangeOf(r));
    // The cut body left 100000 bytes; the next request asks for the rest
    // from 32768 bytes before their end, to compare the overlap.
    EXPECT_EQ((std::vector<std::string>{"", "bytes=67232-"}), ranges);
    // Over WinINet alone that second request is the handler's retry; with
    // libcurl it is the WinINet attempt after libcurl failed.
    EXPECT_EQ(present ? 0u : 1u, handler_->GetRetryCount());
  }
}

TEST_F(SimpleDownloadHandlerTest, WithoutRetryTheCutFileStaysForTheNextDownload) {
  LibCurlPresence curl(false);
  DownloadRequest request = Request(UrlFor("size=300000&cutfirst=100000"));
  request.retry = false;
  EXPECT_FALSE(Run(request));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CONNECTION_ABORTED), listener_.completeError);
  EXPECT_FALSE(Kx::FileExists(target_));
  std::string partial;
  ASSERT_TRUE(zelk::test::ReadFileBytes(Temporary(), partial));
  EXPECT_EQ(TestServer::PatternBytes(0, 100000), partial);

  ASSERT_TRUE(Run(request));
  EXPECT_EQ(TestServer::PatternBytes(0, 300000), Target());
}

TEST_F(SimpleDownloadHandlerTest, OnlyNetworkErrorsRepeatTheWinInetAttempt) {
  LibCurlPresence curl(false);
  // Nobody listens: 12029, one of the network errors.
  DownloadRequest refused = Request(TestServer::RefusedUrl(L"/refused/package.exe"));
  EXPECT_FALSE(Run(refused));
  EXPECT_EQ(1u, handler_->GetRetryCount());
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_CANNOT_CONNECT), listener_.completeError);
  EXPECT_EQ(1, listener_.completes.load());

  // A 404 is no network error: one attempt, one request.
  handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
  EXPECT_FALSE(Run(Request(UrlFor("size=10&status=404"))));
  EXPECT_EQ(0u, handler_->GetRetryCount());
  EXPECT_EQ(404u, listener_.completeStatus);
  EXPECT_EQ(1u, Log().size());
  EXPECT_FALSE(Kx::FileExists(target_));
}

TEST_F(SimpleDownloadHandlerTest, BodiesWithoutALengthOrWithLengthZero) {
  for (const bool present : {false, true}) {
    SCOPED_TRACE(present ? "with libcurl" : "without libcurl");
    LibCurlPresence curl(present);
    handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
    ASSERT_TRUE(Run(Request(UrlFor(std::string("size=50000&length=none&c=") + (present ? "1" : "0")))));
    EXPECT_EQ(TestServer::PatternBytes(0, 50000), Target());

    handler_ = Kx::KxRefPtr<KxSimpleDownloadHandler>(new KxSimpleDownloadHandler);
    listener_.progresses = 0;
    ASSERT_TRUE(Run(Request(UrlFor(std::string("size=0&c=") + (present ? "1" : "0")))));
    EXPECT_TRUE(Kx::FileExists(target_));
    EXPECT_EQ(0u, Kx::FileSize(target_));
    EXPECT_EQ(0, listener_.progresses.load());
  }
}

// A server that keeps the client waiting for longer than a second, before
// its answer or between two parts of the body, is slow, not gone: the
// WinINet download goes through with its first request.
struct SlowServerCase {
  const char* name;
  const char* query;
  size_t size;
};

class SlowServerTest : public SimpleDownloadHandlerTest, public ::testing::WithParamInterface<SlowServerCase> {};

TEST_P(SlowServerTest, WinInetWaitsForAServerThatPausesForSeconds) {
  LibCurlPresence curl(false);
  const SlowServerCase& c = GetParam();
  ASSERT_TRUE(Run(Request(UrlFor("size=" + std::to_string(c.size) + c.query)))) << "error " << listener_.completeError;
  EXPECT_EQ(TestServer::PatternBytes(0, c.size), Target());
  EXPECT_EQ(1u, Log().size());
  EXPECT_EQ(0u, handler_->GetRetryCount());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlowServerTest,
    ::testing::Values(SlowServerCase{"AnswerAfterTwoSeconds", "&delay=2000", 60000},
                      // 30000 bytes, two seconds of nothing, the other 30000.
                      SlowServerCase{"PauseInTheBody", "&trickle=2000&chunk=30000", 60000},
                      // A jittery link: 21 pauses of 1.6 s, each one idle read
                      // or more, far beyond 15 in all but never many in a row.
                      SlowServerCase{"ManyShortPausesInTheBody", "&trickle=1600&chunk=4000", 88000}),
    [](const ::testing::TestParamInfo<SlowServerCase>& info) { return std::string(info.param.name); });

TEST_F(SimpleDownloadHandlerTest, EmptyUrlOrTargetFailsWithoutCallbacks) {
  DownloadRequest request = Request(L"");
  EXPECT_FALSE(Run(request));
  request = Request(UrlFor("size=1"));
  request.targetPath.clear();
  EXPECT_FALSE(Run(request));
  EXPECT_EQ(0, listener_.prepares);
  EXPECT_EQ(0, listener_.completes.load());
  EXPECT_TRUE(Log().empty());
}

// Cancel from another thread while the body arrives slowly.
struct CancelCase {
  const char* name;
  bool libcurl;
  const char* query;
};

class CancelTest : public SimpleDownloadHandlerTest, public ::testing::WithParamInterface<CancelCase> {
 protected:
  static DWORD CALLBACK RunDownload(void* self) {
    auto* test = static_cast<CancelTest*>(self);
    test->result_ = test->Run(test->request_);
    test->returnedAt_ = GetTickCount();
    return 0;
  }

  DownloadRequest request_;
  bool result_ = true;
  DWORD returnedAt_ = 0;
};

TEST_P(CancelTest, DownloadReturnsFalsePromptlyWithoutOnComplete) {
  const CancelCase& c = GetParam();
  LibCurlPresence curl(c.libcurl);
  request_ = Request(UrlFor(c.query));
  Kx::ScopedHandle thread(CreateThread(nullptr, 0, &CancelTest::RunDownload, this, 0, nullptr));
  ASSERT_TRUE(thread.IsValid());
  // Wait until the body is flowing.
  for (int i = 0; i < 1000 && listener_.begins == 0; ++i) Sleep(10);
  ASSERT_EQ(1, listener_.begins);
  Sleep(300);

  const DWORD cancelledAt = GetTickCount();
  EXPECT_TRUE(handler_->Cancel());
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread.Get(), 60000));
  EXPECT_FALSE(result_);
  EXPECT_EQ(0, listener_.completes.load());
  // Well inside the 3 s libcurl abort wait and the WinINet idle limit.
  EXPECT_LT(returnedAt_ - cancelledAt, 2500u);
  EXPECT_FALSE(Kx::FileExists(target_));

  // A cancelled handler stays cancelled.
  EXPECT_FALSE(Run(Request(UrlFor("size=10&again=1"))));
  EXPECT_EQ(1, listener_.prepares);
}

INSTANTIATE_TEST_SUITE_P(Cases, CancelTest,
                         ::testing::Values(CancelCase{"LibCurlTrickle", true, "size=200000&trickle=50&chunk=100"},
                                           CancelCase{"WinInetStall", false, "size=200000&stall=40000"}),
                         [](const ::testing::TestParamInfo<CancelCase>& info) { return std::string(info.param.name); });

}  // namespace
