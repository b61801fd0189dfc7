#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/KxHttpFile.h"
#include "tests/support/TestServer.h"
#include "tests/support/TestSupport.h"

namespace {

using Kx::KxHttpFile;
using Kx::KxInternetSession;
using zelk::test::TestServer;
using zelk::test::WideToUtf8;

// WinINet follows a 302 by itself; OpenUrl's own hop is for an answer it
// could not get past. With "firstlocation" the first 302 for a URL points
// at a port where nothing listens, so WinINet's own attempt fails and the
// second request (sent without WinINet's redirect handling) meets a 302
// that leads somewhere.
class KxHttpFileRedirectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1 (see tests/support/TestServer.h)";
    ASSERT_TRUE(session_.Open());
  }

  static std::wstring RedirectQuery(const std::wstring& location) {
    return L"?status=302&firstlocation=" + TestServer::RefusedUrl(L"/nowhere") + L"&location=" + location;
  }

  static std::vector<std::string> Targets(const std::string& prefix) {
    std::vector<std::string> targets;
    for (const auto& request : TestServer::Requests(prefix)) targets.push_back(request.target);
    return targets;
  }

  KxInternetSession session_;
};

TEST_F(KxHttpFileRedirectTest, OneRedirectIsFollowedByHand) {
  const std::wstring target = TestServer::Url(L"/hand-one/b?size=7");
  KxHttpFile file;
  const std::wstring query = RedirectQuery(target);
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/hand-one/a" + query), L""));
  EXPECT_EQ(200u, file.QueryStatusCode());
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  ASSERT_TRUE(file.ReadBlock(block.data(), read));
  EXPECT_EQ(TestServer::PatternBytes(0, 7), std::string(block.data(), read));

  const std::string a = "/hand-one/a" + WideToUtf8(query);
  EXPECT_EQ((std::vector<std::string>{a, a, "/hand-one/b?size=7"}), Targets("/hand-one/"));
}

TEST_F(KxHttpFileRedirectTest, ASecondRedirectIsHandedBackAsItIs) {
  // "%26" keeps b's own parameters inside a's location parameter.
  const std::wstring second = TestServer::Url(L"/hand-two/b?status=302%26location=none");
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/hand-two/a" + RedirectQuery(second)), L""));
  EXPECT_EQ(302u, file.QueryStatusCode());
  // The 302 from b is not asked for again.
  const auto targets = Targets("/hand-two/");
  ASSERT_EQ(3u, targets.size());
  EXPECT_EQ("/hand-two/b?status=302&location=none", targets[2]);
}

TEST_F(KxHttpFileRedirectTest, TheHopWorksForAnAddressWithoutScheme) {
  // The second request goes to the address with "http://" put in front,
  // as the first did: the bare address could never be opened.
  KxHttpFile file;
  const std::wstring query = RedirectQuery(TestServer::Url(L"/hand-bare/b?size=2"));
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::HostAndPort() + L"/hand-bare/a" + query, L""));
  EXPECT_EQ(200u, file.QueryStatusCode());
  EXPECT_EQ(3u, Targets("/hand-bare/").size());
}

// The hop takes the request flags of the address it goes to: an https
// location is asked for over TLS from a plain first address, and a plain
// location in plain http from an https one.
struct SchemeHopCase {
  const char* name;
  bool fromHttps;
  bool toHttps;
};

class KxHttpFileSchemeHopTest : public KxHttpFileRedirectTest,
                                public ::testing::WithParamInterface<SchemeHopCase> {};

TEST_P(KxHttpFileSchemeHopTest, TheHopSpeaksTheSchemeOfTheLocation) {
  const SchemeHopCase& c = GetParam();
  const std::wstring prefix = L"/hand-scheme-" + zelk::test::Utf8ToWide(c.name);
  const std::wstring to = prefix + L"/b?size=9";
  const std::wstring from = prefix + L"/a" + RedirectQuery(c.toHttps ? TestServer::HttpsUrl(to) : TestServer::Url(to));
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, c.fromHttps ? TestServer::HttpsUrl(from) : TestServer::Url(from), L""));
  EXPECT_EQ(200u, file.QueryStatusCode());
  std::vector<char> block(KxHttpFile::kBlockSize);
  DWORD read = 0;
  ASSERT_TRUE(file.ReadBlock(block.data(), read));
  EXPECT_EQ(TestServer::PatternBytes(0, 9), std::string(block.data(), read));

  const auto log = TestServer::Requests(WideToUtf8(prefix) + "/");
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(WideToUtf8(to), log.back().target);
  EXPECT_EQ(c.toHttps, log.back().overTls);
  for (size_t i = 0; i + 1 < log.size(); ++i) EXPECT_EQ(c.fromHttps, log[i].overTls) << log[i].target;
}

INSTANTIATE_TEST_SUITE_P(Cases, KxHttpFileSchemeHopTest,
                         ::testing::Values(SchemeHopCase{"HttpToHttps", false, true},
                                           SchemeHopCase{"HttpsToHttp", true, false},
                                           SchemeHopCase{"HttpsToHttps", true, true}),
                         [](const ::testing::TestParamInfo<SchemeHopCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(KxHttpFileRedirectTest, ARedirectWithoutLocationFails) {
  KxHttpFile file;
  EXPECT_FALSE(file.OpenUrl(session_, TestServer::Url(L"/no-location/a?status=302&location=none"), L""));
  EXPECT_EQ(static_cast<DWORD>(ERROR_HTTP_REDIRECT_FAILED), GetLastError());
  EXPECT_FALSE(file.IsOpen());
  // Once with WinINet's redirect handling, once without.
  EXPECT_EQ(2u, Targets("/no-location/").size());
}

TEST_F(KxHttpFileRedirectTest, WinInetFollowsAChainByItself) {
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session_, TestServer::Url(L"/chain/a?redirects=3&size=4"), L""));
  EXPECT_EQ(200u, file.QueryStatusCode());
  EXPECT_EQ(4u, Targets("/chain/").size());
}

}  // namespace
