#include "download/UserProxyConfig.h"

// winhttp.h declares names that wininet.h declares too: this file must not
// include wininet.h.
#include <windows.h>
#include <winhttp.h>

#include "base/ScopedHandle.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

using GetIEProxyConfigFn = decltype(&::WinHttpGetIEProxyConfigForCurrentUser);

// A flag and three string pointers, as winhttp.dll fills them.
static_assert(sizeof(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG) == (sizeof(void*) == 4 ? 16 : 32),
              "WINHTTP_CURRENT_USER_IE_PROXY_CONFIG layout");

std::wstring TextOf(const ScopedGlobalMemory<LPWSTR>& text) {
  return text ? std::wstring(text.Get()) : std::wstring();
}

}  // namespace

bool UserProxyConfig::Read(UserProxyConfig& config) {
  config = UserProxyConfig();
  WINHTTP_CURRENT_USER_IE_PROXY_CONFIG raw = {};
  if (!CallSystemExport<GetIEProxyConfigFn>(L"winhttp.dll", "WinHttpGetIEProxyConfigForCurrentUser", FALSE, &raw)) {
    return false;
  }
  // Each string is the caller's, to be freed with GlobalFree.
  const ScopedGlobalMemory<LPWSTR> autoConfigUrl(raw.lpszAutoConfigUrl);
  const ScopedGlobalMemory<LPWSTR> proxy(raw.lpszProxy);
  const ScopedGlobalMemory<LPWSTR> bypass(raw.lpszProxyBypass);
  config.autoDetect = raw.fAutoDetect != FALSE;
  config.autoConfigUrl = TextOf(autoConfigUrl);
  config.proxy = TextOf(proxy);
  config.bypass = TextOf(bypass);
  return true;
}

}  // namespace Kx
