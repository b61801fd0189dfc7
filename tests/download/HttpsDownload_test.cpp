// The download handler over https, through each of its transports: libcurl
// (the DLL beside the test program) and WinINet (libcurl kept away). The
// server's https ports answer what its plain port answers, one certificate
// under the run's trusted test root, one under a root nobody trusts.
#include "download/KxSimpleDownloadHandler.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/FileUtil.h"
#include "base/KxRefCounted.h"
#include "download/CurlLibrary.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using DL::DownloadRequest;
using DL::KxSimpleDownloadHandler;
using zelk::test::LibCurlPresence;
using zelk::test::RangeOf;
using zelk::test::RecordedRequest;
using zelk::test::RecordingListener;
using zelk::test::TestServer;

// Both transports resume 32 KiB before the partial file's end, to compare
// those bytes with the server's.
constexpr unsigned long long kOverlap = 32768;

struct Transport {
  const char* name;
  bool libcurl;
  // libcurl is told not to check the server's certificate; WinINet checks it.
  bool acceptsUnverifiedCertificates;
};

class HttpsDownloadTest : public ::testing::TestWithParam<Transport> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    curl_ = std::make_unique<LibCurlPresence>(GetParam().libcurl);
    if (GetParam().libcurl) {
      ASSERT_TRUE(Kx::CurlLibrary::Instance().IsLoaded()) << "libcurl_x86.dll must sit beside the test program";
    }
    target_ = dir_.Join(L"package.exe");
  }

  // A unique log prefix per test and transport.
  static std::string Prefix() { return TestServer::PathForCurrentTest("/tls"); }
  static std::wstring Path(const std::string& name, const std::string& query) {
    return zelk::test::Utf8ToWide(Prefix() + "/" + name + "?" + query);
  }
  static std::vector<RecordedRequest> Log(const std::string& name) {
    return TestServer::Requests(Prefix() + "/" + name);
  }

  bool Run(const std::wstring& url, bool retry = true) {
    DownloadRequest request;
    request.url = url;
    request.targetPath = target_;
    request.extraHeaders = zelk::test::ProbeHeader();
    request.retry = retry;
    listener_ = std::make_unique<RecordingListener>();
    Kx::KxRefPtr<KxSimpleDownloadHandler> handler(new KxSimpleDownloadHandler);
    return handler->Download(request, listener_.get(), 0, 0);
  }

  // Whether `request` came over TLS from the transport under test.
  static ::testing::AssertionResult SentSecurelyByTransport(const RecordedRequest& request) {
    if (!request.overTls) return ::testing::AssertionFailure() << "plain http: " << request.target;
    const bool byLibCurl = zelk::test::SentByLibCurl(request);
    if (byLibCurl != GetParam().libcurl || (!byLibCurl && !zelk::test::SentByWinInet(request)))
      return ::testing::AssertionFailure() << "sent by the other transport:\n" << request.headerText;
    return ::testing::AssertionSuccess();
  }

  std::string Target() const {
    std::string bytes;
    EXPECT_TRUE(zelk::test::ReadFileBytes(target_, bytes));
    return bytes;
  }

  std::unique_ptr<LibCurlPresence> curl_;
  zelk::test::ScopedTempDir dir_;
  std::wstring target_;
  std::unique_ptr<RecordingListener> listener_;  // the last Run's
};

TEST_P(HttpsDownloadTest, DownloadsTheWholeFile) {
  constexpr size_t kSize = 300000;
  ASSERT_TRUE(Run(TestServer::HttpsUrl(Path("package.exe", "size=" + std::to_string(kSize)))));
  EXPECT_EQ(TestServer::PatternBytes(0, kSize), Target());
  EXPECT_FALSE(Kx::FileExists(target_ + L".tmp"));
  EXPECT_TRUE(listener_->completeSuccess);
  EXPECT_EQ(200u, listener_->completeStatus);
  const std::vector<RecordedRequest> log = Log("package.exe");
  ASSERT_EQ(1u, log.size());
  EXPECT_TRUE(SentSecurelyByTransport(log[0]));
  EXPECT_EQ("", RangeOf(log[0]));
}

TEST_P(HttpsDownloadTest, ResumesAfterACutWithARangedRequest) {
  // Long enough that libcurl keeps its partial file (it starts again below
  // 1 MiB) and that WinINet's resume after libcurl's cut is cut as well.
  constexpr size_t kSize = 3 * 1048576;
  constexpr size_t kCut = 1100000;
  const std::string size = "size=" + std::to_string(kSize);
  EXPECT_FALSE(Run(TestServer::HttpsUrl(Path("cut.exe", size + "&cut=" + std::to_string(kCut))), false));
  EXPECT_FALSE(Kx::FileExists(target_));
  const unsigned long long partial = Kx::FileSize(target_ + L".tmp");
  ASSERT_GE(partial, kCut);
  ASSERT_FALSE(Log("cut.exe").empty());
  for (const RecordedRequest& r : Log("cut.exe")) EXPECT_TRUE(r.overTls) << r.target;

  ASSERT_TRUE(Run(TestServer::HttpsUrl(Path("rest.exe", size))));
  EXPECT_EQ(TestServer::PatternBytes(0, kSize), Target());
  EXPECT_FALSE(Kx::FileExists(target_ + L".tmp"));
  EXPECT_EQ(206u, listener_->completeStatus);
  const std::vector<RecordedRequest> log = Log("rest.exe");
  ASSERT_EQ(1u, log.size());
  EXPECT_TRUE(SentSecurelyByTransport(log[0]));
  EXPECT_EQ("bytes=" + std::to_string(partial - kOverlap) + "-", RangeOf(log[0]));
}

TEST_P(HttpsDownloadTest, FollowsARedirectFromHttpToHttps) {
  constexpr size_t kSize = 200000;
  const std::wstring to = TestServer::HttpsUrl(Path("to.exe", "size=" + std::to_string(kSize)));
  ASSERT_TRUE(Run(TestServer::Url(Path("from.exe", "status=302&location=" + zelk::test::WideToUtf8(to)))));
  EXPECT_EQ(TestServer::PatternBytes(0, kSize), Target());
  EXPECT_EQ(200u, listener_->completeStatus);
  const std::vector<RecordedRequest> from = Log("from.exe");
  ASSERT_FALSE(from.empty());
  for (const RecordedRequest& r : from) EXPECT_FALSE(r.overTls);
  const std::vector<RecordedRequest> landed = Log("to.exe");
  ASSERT_EQ(1u, landed.size());
  EXPECT_TRUE(SentSecurelyByTransport(landed[0]));
}

// Two servers whose certificates cannot be verified: one under a root no
// store holds, one under an intermediate of the trusted root that the server
// leaves out. WinINet reports the second as a failed revocation check
// (12057), so it goes through the fallback without that check, and refuses
// it there for its unknown issuer.
TEST_P(HttpsDownloadTest, ACertificateThatCannotBeVerifiedIsRefusedByWinInetOnly) {
  constexpr size_t kSize = 200000;
  struct Server {
    const char* name;
    std::wstring (*url)(const std::wstring&);
  };
  const Server servers[] = {{"untrusted.exe", &TestServer::UntrustedHttpsUrl},
                            {"incomplete.exe", &TestServer::IncompleteChainHttpsUrl}};
  for (const Server& server : servers) {
    SCOPED_TRACE(server.name);
    const bool downloaded = Run(server.url(Path(server.name, "size=" + std::to_string(kSize))));
    const std::vector<RecordedRequest> log = Log(server.name);
    if (GetParam().acceptsUnverifiedCertificates) {
      ASSERT_TRUE(downloaded);
      EXPECT_EQ(TestServer::PatternBytes(0, kSize), Target());
      ASSERT_EQ(1u, log.size());
      EXPECT_TRUE(SentSecurelyByTransport(log[0]));
      continue;
    }
    EXPECT_FALSE(downloaded);
    EXPECT_FALSE(listener_->completeSuccess);
    EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_INVALID_CA), listener_->completeError);
    EXPECT_EQ(0u, listener_->completeStatus);
    EXPECT_FALSE(Kx::FileExists(target_));
    // The request itself never crossed the refused connection.
    EXPECT_TRUE(log.empty()) << log.size() << " requests reached the server";
  }
}

INSTANTIATE_TEST_SUITE_P(Transports, HttpsDownloadTest,
                         ::testing::Values(Transport{"LibCurl", true, true}, Transport{"WinInet", false, false}),
                         [](const ::testing::TestParamInfo<Transport>& info) { return std::string(info.param.name); });

}  // namespace
