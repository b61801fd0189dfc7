// Downloads behind the user's proxy: Debian's tinyproxy on 127.0.0.1 set as
// the proxy of this Wine prefix's user, the way a user behind one has it.
// Both transports must go through it (its log names their requests, and it
// marks what it passes on with a "Via:" line), except to a host its bypass
// list names, and neither goes through it when only automatic
// configuration is set.
// The handler's header brings winsock2.h in before windows.h.
#include "download/KxSimpleDownloadHandler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/KxRefCounted.h"
#include "download/UserProxyConfig.h"
#include "tests/download/DownloadTestHelpers.h"
#include "tests/support/ScopedUserProxy.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::LibCurlPresence;
using zelk::test::RecordedRequest;
using zelk::test::ScopedUserProxy;
using zelk::test::TestServer;

constexpr size_t kSize = 100000;
constexpr char kProxyMark[] = "Via: 1.1 zelk-test-proxy";

enum class Transport { kLibCurl, kWinInet };
enum class Scheme { kHttp, kHttps };
enum class Settings {
  kProxy,           // "127.0.0.1:<port>"
  kPerSchemeProxy,  // "http=127.0.0.1:<port>;https=127.0.0.1:<port>"
  kBypassed,        // the proxy, with the server's host on the bypass list
  kAutomaticOnly,   // detection and a script address, no explicit proxy
};

struct ProxyCase {
  const char* name;
  Transport transport;
  Scheme scheme;
  Settings settings;
  bool throughProxy;
};

class UserProxyTest : public ::testing::TestWithParam<ProxyCase> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_NE(L"", TestServer::ProxyHostAndPort()) << "tinyproxy did not start (tests/server/with-server.sh)";
  }

  bool Apply(Settings settings) {
    const std::wstring proxy = TestServer::ProxyHostAndPort();
    switch (settings) {
      case Settings::kProxy:
        return proxy_.SetExplicit(proxy, L"<local>");
      case Settings::kPerSchemeProxy:
        return proxy_.SetExplicit(L"http=" + proxy + L";https=" + proxy, L"");
      case Settings::kBypassed:
        return proxy_.SetExplicit(proxy, L"<local>;example.invalid;127.0.0.1");
      case Settings::kAutomaticOnly:
        // Nobody answers there: whoever tried the script would fail.
        return proxy_.SetAutomaticOnly(TestServer::RefusedUrl(L"/proxy.pac"));
    }
    return false;
  }

  static std::wstring UrlFor(Scheme scheme, const std::string& pathAndQuery) {
    const std::wstring path = zelk::test::Utf8ToWide(pathAndQuery);
    return scheme == Scheme::kHttps ? TestServer::HttpsUrl(path) : TestServer::Url(path);
  }

  // What tinyproxy logs when it takes the request for `url`.
  static std::string ProxyRequestLine(Scheme scheme, const std::wstring& url) {
    if (scheme == Scheme::kHttp) return "GET " + zelk::test::WideToUtf8(url) + " HTTP/1.1";
    const std::string hostAndPort = zelk::test::WideToUtf8(url.substr(8, url.find(L'/', 8) - 8));
    return "CONNECT " + hostAndPort + " HTTP/1.1";
  }

  ScopedUserProxy proxy_;
  zelk::test::ScopedTempDir dir_;
};

TEST_P(UserProxyTest, BothTransportsGoWhereTheUsersProxySettingsSay) {
  const ProxyCase& c = GetParam();
  ASSERT_TRUE(Apply(c.settings));
  LibCurlPresence curl(c.transport == Transport::kLibCurl);
  const std::string path = TestServer::PathForCurrentTest("/proxy") + "/package.exe";
  const std::wstring url = UrlFor(c.scheme, path + "?size=" + std::to_string(kSize));
  const size_t logStart = TestServer::ProxyLog().size();

  DL::DownloadRequest request;
  request.url = url;
  request.targetPath = dir_.Join(L"package.exe");
  request.extraHeaders = zelk::test::ProbeHeader();
  Kx::KxRefPtr<DL::KxSimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler);
  ASSERT_TRUE(handler->Download(request, nullptr, 0, 0)) << "error " << handler->LastError();
  std::string bytes;
  ASSERT_TRUE(zelk::test::ReadFileBytes(request.targetPath, bytes));
  EXPECT_EQ(TestServer::PatternBytes(0, kSize), bytes);

  // One request, by the transport the case names: nothing fell back.
  const std::vector<RecordedRequest> log = TestServer::Requests(path);
  ASSERT_EQ(1u, log.size());
  const bool byLibCurl = c.transport == Transport::kLibCurl;
  EXPECT_EQ(byLibCurl, zelk::test::SentByLibCurl(log[0])) << log[0].headerText;
  EXPECT_EQ(!byLibCurl, zelk::test::SentByWinInet(log[0])) << log[0].headerText;

  const std::string proxyLog = TestServer::ProxyLog().substr(logStart);
  const bool proxied = proxyLog.find(ProxyRequestLine(c.scheme, url)) != std::string::npos;
  EXPECT_EQ(c.throughProxy, proxied) << "tinyproxy logged:\n" << proxyLog;
  // A tunnel carries the request unchanged; a forwarded one is marked.
  if (c.scheme == Scheme::kHttp) {
    EXPECT_EQ(c.throughProxy, log[0].headerText.find(kProxyMark) != std::string::npos) << log[0].headerText;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserProxyTest,
    ::testing::Values(
        ProxyCase{"LibCurlHttp", Transport::kLibCurl, Scheme::kHttp, Settings::kProxy, true},
        ProxyCase{"WinInetHttp", Transport::kWinInet, Scheme::kHttp, Settings::kProxy, true},
        ProxyCase{"LibCurlHttps", Transport::kLibCurl, Scheme::kHttps, Settings::kProxy, true},
        ProxyCase{"WinInetHttps", Transport::kWinInet, Scheme::kHttps, Settings::kProxy, true},
        ProxyCase{"LibCurlPerSchemeHttp", Transport::kLibCurl, Scheme::kHttp, Settings::kPerSchemeProxy, true},
        ProxyCase{"LibCurlPerSchemeHttps", Transport::kLibCurl, Scheme::kHttps, Settings::kPerSchemeProxy, true},
        ProxyCase{"LibCurlBypassed", Transport::kLibCurl, Scheme::kHttp, Settings::kBypassed, false},
        ProxyCase{"WinInetBypassed", Transport::kWinInet, Scheme::kHttp, Settings::kBypassed, false},
        ProxyCase{"LibCurlAutomaticOnly", Transport::kLibCurl, Scheme::kHttp, Settings::kAutomaticOnly, false},
        ProxyCase{"WinInetAutomaticOnly", Transport::kWinInet, Scheme::kHttp, Settings::kAutomaticOnly, false}),
    [](const ::testing::TestParamInfo<ProxyCase>& info) { return std::string(info.param.name); });

// The settings as WinHttpGetIEProxyConfigForCurrentUser hands them over.
TEST(UserProxyConfigTest, ReadsWhatTheUserSet) {
  ScopedUserProxy proxy;
  ASSERT_TRUE(proxy.SetExplicit(L"http=web:8080;https=secure:8443", L"<local>;*.corp"));
  Kx::UserProxyConfig config;
  ASSERT_TRUE(Kx::UserProxyConfig::Read(config));
  EXPECT_EQ(L"http=web:8080;https=secure:8443", config.proxy);
  EXPECT_EQ(L"<local>;*.corp", config.bypass);

  ASSERT_TRUE(proxy.SetAutomaticOnly(L"http://wpad.corp/proxy.pac"));
  ASSERT_TRUE(Kx::UserProxyConfig::Read(config));
  EXPECT_EQ(L"", config.proxy);
  EXPECT_TRUE(config.autoDetect);
  EXPECT_EQ(L"http://wpad.corp/proxy.pac", config.autoConfigUrl);
}

}  // namespace
