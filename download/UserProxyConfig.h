// The current user's proxy settings, as Windows keeps them for WinINet and
// WinHTTP (the LAN settings of "Internet Options").
#pragma once

#include <string>

namespace Kx {

struct UserProxyConfig {
  // Automatic configuration: detect a script on the network, or use the
  // script at `autoConfigUrl`. Only WinINet can follow either.
  bool autoDetect = false;
  std::wstring autoConfigUrl;
  // The explicit proxy: "host:port", or per scheme
  // "http=host:port;https=host:port"; empty when none is set.
  std::wstring proxy;
  // Hosts reached without the proxy: "<local>;*.example.com;10.*".
  std::wstring bypass;

  // Reads the settings with WinHttpGetIEProxyConfigForCurrentUser
  // (winhttp.dll from the system folder, bound at run time). False, with
  // nothing set, when they cannot be read.
  static bool Read(UserProxyConfig& config);
};

}  // namespace Kx
