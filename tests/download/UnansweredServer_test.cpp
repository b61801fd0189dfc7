// A server that never answers a connection (its listener never accepts, as
// with a host that is gone or drops every packet) against one that answers
// and then sends very slowly. The first must be given up quickly by both
// transports, libcurl first, then WinINet; the second never.
// The handler's header brings winsock2.h in before windows.h.
#include "download/KxSimpleDownloadHandler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/KxRefCounted.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::LibCurlPresence;
using zelk::test::RecordedRequest;
using zelk::test::RecordingListener;
using zelk::test::TestServer;

// libcurl's connect timeout: what it waits before WinINet gets its turn.
constexpr DWORD kLibCurlConnectWaitMs = 15000;
// What the installer promises from the click to its failure box, here for
// the download alone.
constexpr DWORD kGiveUpBoundMs = 60000;

class UnansweredServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
  }

  DL::DownloadRequest Request(const std::wstring& url) const {
    DL::DownloadRequest request;
    request.url = url;
    request.targetPath = dir_.Join(L"package.exe");
    request.extraHeaders = zelk::test::ProbeHeader();
    return request;
  }

  // Milliseconds one download of `url` took; `ok` whether it succeeded.
  DWORD TimedDownload(const std::wstring& url, bool& ok) {
    handler_ = Kx::KxRefPtr<DL::KxSimpleDownloadHandler>(new DL::KxSimpleDownloadHandler);
    listener_ = std::make_unique<RecordingListener>();
    const DWORD start = GetTickCount();
    ok = handler_->Download(Request(url), listener_.get(), 0, 0);
    return GetTickCount() - start;
  }

  zelk::test::ScopedTempDir dir_;
  Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler_;
  std::unique_ptr<RecordingListener> listener_;
};

// One WinINet open against it: under Wine the call limit ends it (Wine's
// WinINet ignores the connect timeout), and the open is not repeated
// without WinINet's redirect handling, which would wait as long again.
TEST_F(UnansweredServerTest, AWinInetOpenWaitsNoLongerThanItsCallLimit) {
  Kx::KxInternetSession session;
  session.SetCallTimeoutMs(DL::KxSimpleDownloadHandler::kCallTimeoutMs);
  session.SetConnectTimeoutMs(DL::KxSimpleDownloadHandler::kConnectTimeoutMs);
  ASSERT_TRUE(session.Open());
  Kx::KxHttpFile file;
  const DWORD start = GetTickCount();
  EXPECT_FALSE(file.OpenUrl(session, TestServer::UnansweredUrl(L"/unanswered/one.exe"), L""));
  const DWORD error = GetLastError();
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_TRUE(DL::KxSimpleDownloadHandler::IsNetworkError(error)) << error;
  EXPECT_LT(elapsed, DL::KxSimpleDownloadHandler::kCallTimeoutMs + 2000);
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(UnansweredServerTest, BothTransportsGiveUpOnTheConnectionWellWithinAMinute) {
  const std::wstring url = TestServer::UnansweredUrl(L"/unanswered/package.exe");
  DWORD winInetOnlyMs = 0;
  for (const bool withLibCurl : {false, true}) {
    SCOPED_TRACE(withLibCurl ? "libcurl, then WinINet" : "WinINet alone");
    LibCurlPresence curl(withLibCurl);
    bool ok = true;
    const DWORD elapsed = TimedDownload(url, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(1, listener_->completes.load());
    // WinINet ran last, and twice: its attempt failed with a network error.
    EXPECT_TRUE(DL::KxSimpleDownloadHandler::IsNetworkError(listener_->completeError)) << listener_->completeError;
    EXPECT_EQ(1u, handler_->GetRetryCount());
    EXPECT_LT(elapsed, kGiveUpBoundMs);
    if (!withLibCurl) {
      winInetOnlyMs = elapsed;
    } else {
      // libcurl waited for its connect timeout before WinINet went on.
      EXPECT_GE(elapsed, winInetOnlyMs + kLibCurlConnectWaitMs - 1000)
          << "WinINet alone took " << winInetOnlyMs << " ms, both " << elapsed << " ms";
    }
    std::printf("[ timing   ] %s: %lu ms\n", withLibCurl ? "libcurl, then WinINet" : "WinINet alone",
                static_cast<unsigned long>(elapsed));
  }
}

// A server that answers at once and then sends its body over longer than
// either connect timeout: each transport finishes with its first request.
TEST_F(UnansweredServerTest, ASlowButLiveServerIsNeverGivenUp) {
  const std::string path = TestServer::PathForCurrentTest("/slow");
  // 20 pieces of 2000 bytes a second apart: 19 s.
  constexpr size_t kSize = 40000;
  for (const bool withLibCurl : {true, false}) {
    SCOPED_TRACE(withLibCurl ? "libcurl" : "WinINet");
    LibCurlPresence curl(withLibCurl);
    const std::string name = path + (withLibCurl ? "/curl.exe" : "/wininet.exe");
    bool ok = false;
    const DWORD elapsed = TimedDownload(
        TestServer::Url(zelk::test::Utf8ToWide(name + "?size=" + std::to_string(kSize) + "&trickle=1000&chunk=2000")),
        ok);
    ASSERT_TRUE(ok) << "error " << listener_->completeError << " after " << elapsed << " ms";
    EXPECT_GT(elapsed, kLibCurlConnectWaitMs);
    std::string bytes;
    ASSERT_TRUE(zelk::test::ReadFileBytes(dir_.Join(L"package.exe"), bytes));
    EXPECT_EQ(TestServer::PatternBytes(0, kSize), bytes);
    const std::vector<RecordedRequest> log = TestServer::Requests(name);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(withLibCurl, zelk::test::SentByLibCurl(log[0])) << log[0].headerText;
  }
}

}  // namespace
