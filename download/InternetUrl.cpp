#include "download/InternetUrl.h"

#include <cwctype>
#include <vector>

#include "base/FileUtil.h"
#include "base/StringUtil.h"
#include "download/WinInetLibrary.h"

namespace Kx {
namespace {

// The record WinINet fills has the size of the running architecture.
#if defined(__i386__)
static_assert(sizeof(URL_COMPONENTSW) == 60, "32-bit URL_COMPONENTSW is 60 bytes");
#else
static_assert(sizeof(URL_COMPONENTSW) == 104, "64-bit URL_COMPONENTSW is 104 bytes");
#endif

bool IsDriveLetterPath(const std::wstring& text) {
  return text.size() >= 3 && std::iswalpha(text[0]) && text[1] == L':' && (text[2] == L'\\' || text[2] == L'/');
}

bool IsLocalPath(const std::wstring& text) {
  if (text.compare(0, 2, L"\\\\") == 0) return true;
  return IsDriveLetterPath(text) && Exists(ReplaceAll(text, L"/", L"\\"));
}

bool CrackOnce(const std::wstring& url, UrlParts& parts, bool withPath) {
  if (url.empty()) return false;
  // Each part fits in the URL's own length; the slack covers a default
  // scheme or port WinINet may write out.
  const DWORD room = static_cast<DWORD>(url.size() + 32);
  std::vector<wchar_t> scheme(room), host(room), user(room), password(room), path(withPath ? room : 0);
  URL_COMPONENTSW components = {};
  components.dwStructSize = sizeof(components);
  components.lpszScheme = scheme.data();
  components.dwSchemeLength = room;
  components.lpszHostName = host.data();
  components.dwHostNameLength = room;
  components.lpszUserName = user.data();
  components.dwUserNameLength = room;
  components.lpszPassword = password.data();
  components.dwPasswordLength = room;
  if (withPath) {
    components.lpszUrlPath = path.data();
    components.dwUrlPathLength = room;
  }
  if (!WinInetLibrary::Instance().InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), &components)) {
    return false;
  }
  parts.scheme.assign(scheme.data(), components.dwSchemeLength);
  parts.host.assign(host.data(), components.dwHostNameLength);
  parts.port = components.nPort;
  parts.user.assign(user.data(), components.dwUserNameLength);
  parts.password.assign(password.data(), components.dwPasswordLength);
  if (withPath) parts.path.assign(path.data(), components.dwUrlPathLength);
  return true;
}

}  // namespace

bool CrackUrl(const std::wstring& url, UrlParts& parts, bool withPath) {
  parts = UrlParts();
  return CrackOnce(url, parts, withPath) || CrackOnce(NormaliseUrl(url), parts, withPath);
}

std::wstring NormaliseUrl(const std::wstring& url) {
  const std::wstring blanks = L" \r\t\n";
  std::wstring text = TrimRight(TrimLeft(url, blanks), blanks);
  if (text.empty()) return text;
  const size_t colon = text.find(L':');
  const bool noScheme = colon == std::wstring::npos || text.find(L'.') < colon;
  if (noScheme && !IsLocalPath(text)) text.insert(0, L"http://");
  return text;
}

}  // namespace Kx
