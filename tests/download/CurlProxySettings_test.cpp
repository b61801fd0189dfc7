#include "download/CurlProxySettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Kx::CurlProxySettings;
using Kx::UserProxyConfig;

// The explicit proxy list as WinINet reads it, and what libcurl gets for
// one scheme.
struct ProxyListCase {
  const wchar_t* list;
  const wchar_t* scheme;
  const wchar_t* curlProxy;  // "" = none serves the scheme
};

TEST(CurlProxySettingsTest, PicksTheProxyOfTheSchemeWithItsPortFilledIn) {
  const ProxyListCase cases[] = {
      {L"proxy.corp:3128", L"http", L"http://proxy.corp:3128"},
      {L"proxy.corp:3128", L"https", L"http://proxy.corp:3128"},
      // WinINet's port for a proxy given without one is 80, libcurl's 1080.
      {L"proxy.corp", L"http", L"http://proxy.corp:80"},
      {L"http=web:8080;https=secure:8443", L"http", L"http://web:8080"},
      // The https proxy is reached over plain HTTP and asked to CONNECT.
      {L"http=web:8080;https=secure:8443", L"https", L"http://secure:8443"},
      {L"HTTPS=secure:8443", L"https", L"http://secure:8443"},
      {L"http=web:8080 https=secure:8443", L"https", L"http://secure:8443"},
      // A list without an entry for the scheme sends it direct.
      {L"http=web:8080", L"https", L""},
      {L"ftp=files:21", L"http", L""},
      // The entry without a scheme serves every scheme without its own.
      {L"ftp=files:21;general:3128", L"https", L"http://general:3128"},
      {L"https=secure:8443;general:3128", L"http", L"http://general:3128"},
      {L"socks=socks.corp:1080", L"https", L"socks4://socks.corp:1080"},
      {L"http=web:8080;socks=socks.corp:1080", L"https", L"socks4://socks.corp:1080"},
      {L"http=http://web:8080", L"http", L"http://web:8080"},
      {L"[::1]:3128", L"http", L"http://[::1]:3128"},
      {L"[fe80::1]", L"http", L"http://[fe80::1]:80"},
      {L" ; proxy.corp:3128 ; ", L"http", L"http://proxy.corp:3128"},
      {L"", L"http", L""},
      {L"http=", L"http", L""},
  };
  for (const ProxyListCase& c : cases) {
    EXPECT_EQ(std::wstring(c.curlProxy), CurlProxySettings::ProxyForScheme(c.list, c.scheme))
        << "list \"" << testing::PrintToString(std::wstring(c.list)) << "\", scheme " << testing::PrintToString(std::wstring(c.scheme));
  }
}

// Whether WinINet would reach a host direct under a bypass list.
struct BypassCase {
  const wchar_t* list;
  const wchar_t* scheme;
  const wchar_t* host;
  const wchar_t* port;
  bool direct;
};

TEST(CurlProxySettingsTest, BypassesWhatWinInetsBypassListMatches) {
  const BypassCase cases[] = {
      // "<local>": a host name without a dot.
      {L"<local>", L"http", L"intranet", L"80", true},
      {L"<local>", L"http", L"intranet.corp", L"80", false},
      {L"<local>", L"http", L"127.0.0.1", L"80", false},
      {L"<LOCAL>", L"http", L"localhost", L"80", true},
      // A name matches itself only, in any letter case.
      {L"example.com", L"http", L"EXAMPLE.com", L"80", true},
      {L"example.com", L"http", L"www.example.com", L"80", false},
      {L"example.com", L"http", L"example.com.evil", L"80", false},
      // "*" stands for any run of characters.
      {L"*.example.com", L"http", L"www.example.com", L"80", true},
      {L"*.example.com", L"http", L"a.b.example.com", L"80", true},
      {L"*.example.com", L"http", L"example.com", L"80", false},
      {L"*.example.com", L"http", L"badexample.com", L"80", false},
      {L"*example.com", L"http", L"badexample.com", L"80", true},
      {L"10.*", L"http", L"10.1.2.3", L"80", true},
      {L"10.*", L"http", L"110.1.2.3", L"80", false},
      {L"192.168.*.1", L"http", L"192.168.7.1", L"80", true},
      {L"*", L"https", L"anything.at.all", L"443", true},
      // Entries separated by ";" or blanks; the first that matches counts.
      {L"a.test;<local>;b.test", L"http", L"b.test", L"80", true},
      {L"a.test b.test", L"http", L"b.test", L"80", true},
      {L"a.test;;b.test", L"http", L"c.test", L"80", false},
      // An entry may name the scheme and the port as well.
      {L"http://intranet.corp", L"http", L"intranet.corp", L"80", true},
      {L"http://intranet.corp", L"https", L"intranet.corp", L"443", false},
      {L"intranet.corp:8080", L"http", L"intranet.corp", L"8080", true},
      {L"intranet.corp:8080", L"http", L"intranet.corp", L"80", false},
      {L"[::1]", L"http", L"::1", L"80", true},
      {L"<-loopback>", L"http", L"127.0.0.1", L"80", false},
      {L"", L"http", L"intranet", L"80", false},
  };
  for (const BypassCase& c : cases) {
    EXPECT_EQ(c.direct, CurlProxySettings::Bypasses(c.list, c.scheme, c.host, c.port))
        << testing::PrintToString(std::wstring(c.list)) << " for " << testing::PrintToString(std::wstring(c.scheme))
        << "://" << testing::PrintToString(std::wstring(c.host)) << ":" << testing::PrintToString(std::wstring(c.port));
  }
}

// The bypass list in libcurl's syntax, for the hosts redirects lead to.
struct NoProxyCase {
  const wchar_t* list;
  const wchar_t* curlNoProxy;
};

TEST(CurlProxySettingsTest, TurnsTheBypassListIntoLibCurlsNoProxyList) {
  const NoProxyCase cases[] = {
      {L"example.com", L"example.com"},
      {L"a.test;b.test c.test", L"a.test,b.test,c.test"},
      // libcurl matches a name and the names below it.
      {L"*.example.com", L".example.com"},
      // Address prefixes become the address ranges libcurl understands.
      {L"10.*", L"10.0.0.0/8"},
      {L"192.168.*", L"192.168.0.0/16"},
      {L"192.168.1.*", L"192.168.1.0/24"},
      {L"172.16.*.*", L"172.16.0.0/16"},
      {L"127.0.0.1", L"127.0.0.1"},
      // Schemes and ports are not part of libcurl's entries.
      {L"http://intranet.corp:8080", L"intranet.corp"},
      {L"[::1]", L"::1"},
      // What libcurl cannot express is left out.
      {L"<local>", L""},
      {L"<-loopback>;a.test", L"a.test"},
      {L"*example.com;www.*.com;10.*.1.*;300.*", L""},
      {L"<local>;*.corp.example;10.*", L".corp.example,10.0.0.0/8"},
      // "*" alone sends every host direct.
      {L"a.test;*", L"*"},
      {L"", L""},
  };
  for (const NoProxyCase& c : cases) {
    EXPECT_EQ(std::wstring(c.curlNoProxy), CurlProxySettings::ToCurlNoProxy(c.list))
        << testing::PrintToString(std::wstring(c.list));
  }
}

// The whole decision for the first URL of a download.
struct UrlCase {
  const char* label;
  UserProxyConfig config;
  const wchar_t* url;
  bool applies;
  const wchar_t* proxy;
  const wchar_t* noProxy;
};

TEST(CurlProxySettingsTest, TellsLibCurlWhatWinInetWouldDoForTheUrl) {
  const UrlCase cases[] = {
      {"no proxy at all: libcurl is told nothing", {}, L"http://dl.example/p.exe", false, L"", L""},
      {"automatic detection only", {true, L"", L"", L""}, L"http://dl.example/p.exe", false, L"", L""},
      {"a proxy script only", {false, L"http://wpad/proxy.pac", L"", L""}, L"http://dl.example/p.exe", false, L"",
       L""},
      {"an explicit proxy", {false, L"", L"proxy:3128", L"<local>;*.corp"}, L"http://dl.example/p.exe", true,
       L"http://proxy:3128", L".corp"},
      {"an explicit proxy beside detection", {true, L"http://wpad/proxy.pac", L"proxy:3128", L""},
       L"https://dl.example/p.exe", true, L"http://proxy:3128", L""},
      {"the https entry for an https URL", {false, L"", L"http=web:80;https=secure:443", L""},
       L"https://dl.example:8443/p.exe?x=1", true, L"http://secure:443", L""},
      {"no entry for the scheme: direct", {false, L"", L"http=web:80", L""}, L"https://dl.example/p.exe", true, L"",
       L""},
      {"a bypassed host: direct", {false, L"", L"proxy:3128", L"*.example"}, L"http://dl.example/p.exe", true, L"",
       L""},
      {"a dotless host under <local>: direct", {false, L"", L"proxy:3128", L"<local>"}, L"http://intranet/p.exe",
       true, L"", L""},
      {"a bypass entry with the URL's port", {false, L"", L"proxy:3128", L"dl.example:8080"},
       L"http://user:pw@dl.example:8080/p.exe", true, L"", L""},
      {"a bypass entry with another port", {false, L"", L"proxy:3128", L"dl.example:8080"},
       L"http://dl.example/p.exe", true, L"http://proxy:3128", L"dl.example"},
      {"the default https port", {false, L"", L"proxy:3128", L"https://dl.example:443"}, L"https://dl.example/p.exe",
       true, L"", L""},
  };
  for (const UrlCase& c : cases) {
    const CurlProxySettings settings = CurlProxySettings::For(c.config, c.url);
    EXPECT_EQ(c.applies, settings.Applies()) << c.label;
    EXPECT_EQ(std::wstring(c.proxy), settings.Proxy()) << c.label;
    EXPECT_EQ(std::wstring(c.noProxy), settings.NoProxy()) << c.label;
  }
}

}  // namespace
