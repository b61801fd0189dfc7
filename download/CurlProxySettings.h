// The user's proxy settings turned into libcurl's options for one
// download, so that libcurl goes the way WinINet goes (WinINet reads the
// same settings by itself).
#pragma once

#include <string>

#include "download/UserProxyConfig.h"

namespace Kx {

class CurlProxySettings {
 public:
  // WinINet reaches a proxy without a port on port 80; libcurl would try 1080.
  static constexpr wchar_t kDefaultProxyPort[] = L"80";

  // What a transfer that starts at `url` is told. Without an explicit proxy
  // (none, or automatic configuration only) libcurl is told nothing and
  // goes direct: it cannot run a proxy script, and a failed transfer falls
  // back to WinINet, which can. An explicit proxy is used even when
  // automatic detection is on as well, as WinINet does when detection finds
  // nothing.
  static CurlProxySettings For(const UserProxyConfig& config, const std::wstring& url);

  // Whether CURLOPT_PROXY and CURLOPT_NOPROXY are to be set at all.
  bool Applies() const { return applies_; }
  // CURLOPT_PROXY: "http://host:port", or "" for a direct connection.
  const std::wstring& Proxy() const { return proxy_; }
  // CURLOPT_NOPROXY: the bypass list for the hosts that redirects lead to.
  const std::wstring& NoProxy() const { return noProxy_; }

  // The entry of `proxyList` ("host:port", or "http=host:port;https=...",
  // entries separated by ";" or blanks) that serves `scheme`: its own, else
  // the one without a scheme, else a "socks=" one ("socks4://host:port").
  // As a libcurl proxy URL with the port filled in; "" when none serves it.
  static std::wstring ProxyForScheme(const std::wstring& proxyList, const std::wstring& scheme);

  // Whether `bypassList` (";" or blank separated) sends `host` of a `scheme`
  // URL on `port` direct: "<local>" matches a host without a dot, "*" any
  // run of characters; an entry may name a scheme ("http://intranet") or a
  // port ("intranet:8080") as well. Letter case does not matter.
  static bool Bypasses(const std::wstring& bypassList, const std::wstring& scheme, const std::wstring& host,
                       const std::wstring& port);

  // `bypassList` in libcurl's syntax: comma-separated names, each matching
  // that host and every host below it; "a.b.*" prefixes of addresses become
  // address ranges ("10.0.0.0/8"). What libcurl cannot express ("<local>",
  // other wildcards) is left out: the first host is decided by Bypasses.
  static std::wstring ToCurlNoProxy(const std::wstring& bypassList);

 private:
  bool applies_ = false;
  std::wstring proxy_;
  std::wstring noProxy_;
};

}  // namespace Kx
