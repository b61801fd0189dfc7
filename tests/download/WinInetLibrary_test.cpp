#include "download/WinInetLibrary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/HttpHeaders.h"
#include "download/InternetUrl.h"
#include "download/KxHttpFile.h"
#include "tests/support/TestServer.h"

namespace {

using Kx::KxHttpFile;
using Kx::KxInternetSession;
using Kx::WinInetLibrary;
using zelk::test::TestServer;

// Binds WinINet to a library that does not exist for the life of the object.
class MissingWinInet {
 public:
  MissingWinInet() { WinInetLibrary::BindForTesting(L"zelk-no-such-wininet.dll"); }
  ~MissingWinInet() { WinInetLibrary::BindForTesting(nullptr); }
  MissingWinInet(const MissingWinInet&) = delete;
  MissingWinInet& operator=(const MissingWinInet&) = delete;
};

TEST(WinInetLibraryTest, WithoutTheLibraryEveryOpenFails) {
  ASSERT_TRUE(TestServer::Available());
  KxInternetSession earlier;
  ASSERT_TRUE(earlier.Open());
  const std::wstring url = TestServer::Url(L"/missing-wininet/f?size=3");

  MissingWinInet missing;
  KxInternetSession session;
  EXPECT_FALSE(session.Open());
  for (KxInternetSession* s : {&session, &earlier}) {
    KxHttpFile get;
    EXPECT_NO_THROW(EXPECT_FALSE(get.Open(*s, url, 0, "", L"X: 1", L"R")));
    KxHttpFile ranged;
    EXPECT_NO_THROW(EXPECT_FALSE(ranged.Open(*s, url, 100, "", L"", L"")));
    KxHttpFile post;
    EXPECT_NO_THROW(EXPECT_FALSE(post.Open(*s, url, 0, "body", L"", L"")));
    KxHttpFile direct;
    EXPECT_NO_THROW(EXPECT_FALSE(direct.OpenUrl(*s, url, L"")));
    EXPECT_NO_THROW(EXPECT_FALSE(direct.Post(*s, url, "body", L"", L"")));
    EXPECT_NO_THROW(EXPECT_FALSE(direct.OpenWithoutRevocationCheck(*s, url, 0)));
    EXPECT_EQ(0u, direct.QueryStatusCode());
  }
  Kx::UrlParts parts;
  EXPECT_FALSE(Kx::CrackUrl(url, parts));
  EXPECT_TRUE(TestServer::Requests("/missing-wininet/").empty());
}

TEST(WinInetLibraryTest, TheBindingCanBeRestored) {
  ASSERT_TRUE(TestServer::Available());
  { MissingWinInet missing; }
  KxInternetSession session;
  ASSERT_TRUE(session.Open());
  KxHttpFile file;
  EXPECT_TRUE(file.OpenUrl(session, TestServer::Url(L"/restored/f?size=3"), L""));
}

TEST(WinInetLibraryTest, ProcessWideOptionsAreReadAndSetOnTheNullHandle) {
  const WinInetLibrary& wininet = WinInetLibrary::Instance();
  DWORD value = 0;
  DWORD length = sizeof(value);
  ASSERT_TRUE(wininet.InternetQueryOptionW(INTERNET_OPTION_MAX_CONNS_PER_SERVER, &value, &length));
  EXPECT_EQ(sizeof(value), length);
  const DWORD wanted = value == 64 ? 65 : 64;
  ASSERT_TRUE(wininet.InternetSetOptionW(nullptr, INTERNET_OPTION_MAX_CONNS_PER_SERVER, wanted));
  ASSERT_TRUE(wininet.InternetQueryOptionW(INTERNET_OPTION_MAX_CONNS_PER_SERVER, &value, &length));
  EXPECT_EQ(wanted, value);
}

TEST(WinInetLibraryTest, AFaultInsideACallReadsAsFailure) {
  ASSERT_TRUE(TestServer::Available());
  KxInternetSession session;
  ASSERT_TRUE(session.Open());
  KxHttpFile file;
  ASSERT_TRUE(file.OpenUrl(session, TestServer::Url(L"/fault/f?size=100"), L""));
  // An address no process can write to: WinINet faults while copying the
  // headers into it.
  void* const unwritable = reinterpret_cast<void*>(static_cast<uintptr_t>(0x10));
  DWORD length = 4096;
  EXPECT_FALSE(file.QueryInfo(HTTP_QUERY_RAW_HEADERS_CRLF, unwritable, length));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INTERNET_INTERNAL_ERROR), GetLastError());
  // The request is still usable afterwards.
  EXPECT_EQ(200u, file.QueryStatusCode());
}

}  // namespace
