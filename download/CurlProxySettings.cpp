#include "download/CurlProxySettings.h"

#include <cwctype>
#include <vector>

#include "base/StringUtil.h"

namespace Kx {
namespace {

// Proxy and bypass lists separate their entries by ";" or blanks.
constexpr wchar_t kListSeparators[] = L"; \t\r\n";
constexpr wchar_t kSchemeMark[] = L"://";
constexpr wchar_t kLocalHosts[] = L"<local>";
// Turns off the implicit bypass of loopback addresses; nothing to match.
constexpr wchar_t kNoLoopbackBypass[] = L"<-loopback>";
constexpr int kBitsPerOctet = 8;
constexpr unsigned long long kMaxOctet = 255;

struct HostAndPort {
  std::wstring host;  // without the brackets of an IPv6 address
  std::wstring port;  // "" when none is given
};

std::vector<std::wstring> Entries(const std::wstring& list) {
  std::vector<std::wstring> entries;
  for (std::wstring& entry : Split(list, kListSeparators)) {
    if (!entry.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

// "host", "host:port", "[v6]" or "[v6]:port".
HostAndPort SplitHostAndPort(const std::wstring& text) {
  HostAndPort parts;
  if (!text.empty() && text[0] == L'[') {
    const size_t close = text.find(L']');
    if (close == std::wstring::npos) {
      parts.host = text.substr(1);
      return parts;
    }
    parts.host = text.substr(1, close - 1);
    if (close + 1 < text.size() && text[close + 1] == L':') parts.port = text.substr(close + 2);
    return parts;
  }
  const size_t colon = text.rfind(L':');
  parts.host = text.substr(0, colon);
  if (colon != std::wstring::npos) parts.port = text.substr(colon + 1);
  return parts;
}

// Cuts a leading "scheme://" off `text` into `scheme`.
std::wstring WithoutScheme(const std::wstring& text, std::wstring* scheme = nullptr) {
  const size_t mark = text.find(kSchemeMark);
  if (mark == std::wstring::npos) return text;
  if (scheme != nullptr) *scheme = text.substr(0, mark);
  return text.substr(mark + wcslen(kSchemeMark));
}

// Whether `text` matches `pattern`, whose "*" stands for any run of
// characters; letter case does not matter.
bool WildcardMatches(const std::wstring& pattern, const std::wstring& text) {
  size_t p = 0;
  size_t t = 0;
  size_t star = std::wstring::npos;  // the last "*" seen, to widen on a mismatch
  size_t starText = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == L'*') {
      star = p++;
      starText = t;
    } else if (p < pattern.size() && std::towupper(pattern[p]) == std::towupper(text[t])) {
      ++p;
      ++t;
    } else if (star != std::wstring::npos) {
      p = star + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') ++p;
  return p == pattern.size();
}

bool IsDecimal(const std::wstring& text) {
  if (text.empty()) return false;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

// "10.*", "192.168.*" or "192.168.1.*" (also "10.*.*.*") as the address
// range libcurl understands ("10.0.0.0/8"); "" for anything else.
std::wstring AddressPrefixAsRange(const std::wstring& entry) {
  const std::vector<std::wstring> octets = Split(entry, L".");
  constexpr size_t kOctets = 4;
  if (octets.size() < 2 || octets.size() > kOctets) return std::wstring();
  size_t fixed = 0;
  while (fixed < octets.size() && IsDecimal(octets[fixed]) && ParseDecimal(octets[fixed]) <= kMaxOctet) ++fixed;
  if (fixed == 0 || fixed == octets.size()) return std::wstring();
  for (size_t i = fixed; i < octets.size(); ++i) {
    if (octets[i] != L"*") return std::wstring();
  }
  std::wstring range;
  for (size_t i = 0; i < kOctets; ++i) {
    if (i != 0) range += L'.';
    range += i < fixed ? ToDecimal(ParseDecimal(octets[i])) : std::wstring(L"0");
  }
  return range + L"/" + ToDecimal(fixed * kBitsPerOctet);
}

// One bypass entry in libcurl's syntax; "" when libcurl cannot express it.
std::wstring CurlNoProxyEntry(const std::wstring& entry) {
  if (entry == L"*") return entry;
  if (entry[0] == L'<') return std::wstring();  // "<local>", "<-loopback>"
  const std::wstring host = SplitHostAndPort(WithoutScheme(entry)).host;
  if (host.empty()) return std::wstring();
  if (host.find(L'*') == std::wstring::npos) return host;
  // libcurl matches a name and every name below it, so "*.example.com"
  // becomes ".example.com" (which lets example.com itself go direct too).
  if (host.size() > 2 && host[0] == L'*' && host[1] == L'.' && host.find(L'*', 1) == std::wstring::npos)
    return host.substr(1);
  return AddressPrefixAsRange(host);
}

// The proxy's address as a libcurl proxy URL, its port filled in.
std::wstring ProxyUrl(const std::wstring& address, const wchar_t* scheme) {
  if (address.find(kSchemeMark) != std::wstring::npos) return address;
  const HostAndPort parts = SplitHostAndPort(address);
  if (parts.host.empty()) return std::wstring();
  const std::wstring host = address[0] == L'[' ? L"[" + parts.host + L"]" : parts.host;
  const std::wstring port = parts.port.empty() ? std::wstring(CurlProxySettings::kDefaultProxyPort) : parts.port;
  return std::wstring(scheme) + kSchemeMark + host + L":" + port;
}

struct UrlTarget {
  std::wstring scheme;
  std::wstring host;
  std::wstring port;
};

UrlTarget TargetOf(const std::wstring& url) {
  UrlTarget target;
  target.scheme = L"http";
  std::wstring rest = WithoutScheme(url, &target.scheme);
  ToLower(target.scheme);
  rest = rest.substr(0, rest.find_first_of(L"/?#"));
  const size_t at = rest.rfind(L'@');
  if (at != std::wstring::npos) rest = rest.substr(at + 1);
  const HostAndPort parts = SplitHostAndPort(rest);
  target.host = parts.host;
  target.port = parts.port.empty() ? std::wstring(target.scheme == L"https" ? L"443" : L"80") : parts.port;
  return target;
}

}  // namespace

std::wstring CurlProxySettings::ProxyForScheme(const std::wstring& proxyList, const std::wstring& scheme) {
  std::wstring own;
  std::wstring general;
  std::wstring socks;
  for (const std::wstring& entry : Entries(proxyList)) {
    const size_t equals = entry.find(L'=');
    if (equals == std::wstring::npos) {
      if (general.empty()) general = entry;
      continue;
    }
    const std::wstring name = entry.substr(0, equals);
    const std::wstring address = entry.substr(equals + 1);
    if (EqualsNoCase(name, scheme) && own.empty()) own = address;
    if (EqualsNoCase(name, L"socks") && socks.empty()) socks = address;
  }
  if (!own.empty()) return ProxyUrl(own, L"http");
  if (!general.empty()) return ProxyUrl(general, L"http");
  // WinINet speaks SOCKS version 4 to a "socks=" proxy.
  if (!socks.empty()) return ProxyUrl(socks, L"socks4");
  return std::wstring();
}

bool CurlProxySettings::Bypasses(const std::wstring& bypassList, const std::wstring& scheme,
                                 const std::wstring& host, const std::wstring& port) {
  for (const std::wstring& entry : Entries(bypassList)) {
    if (EqualsNoCase(entry, kLocalHosts)) {
      if (host.find(L'.') == std::wstring::npos) return true;
      continue;
    }
    if (EqualsNoCase(entry, kNoLoopbackBypass)) continue;
    std::wstring entryScheme;
    const HostAndPort parts = SplitHostAndPort(WithoutScheme(entry, &entryScheme));
    if (!entryScheme.empty() && !EqualsNoCase(entryScheme, scheme)) continue;
    if (!parts.port.empty() && parts.port != port) continue;
    if (WildcardMatches(parts.host, host)) return true;
  }
  return false;
}

std::wstring CurlProxySettings::ToCurlNoProxy(const std::wstring& bypassList) {
  std::wstring list;
  for (const std::wstring& entry : Entries(bypassList)) {
    const std::wstring converted = CurlNoProxyEntry(entry);
    if (converted.empty()) continue;
    if (converted == L"*") return converted;  // everything goes direct
    if (!list.empty()) list += L',';
    list += converted;
  }
  return list;
}

CurlProxySettings CurlProxySettings::For(const UserProxyConfig& config, const std::wstring& url) {
  CurlProxySettings settings;
  if (Entries(config.proxy).empty()) return settings;
  settings.applies_ = true;
  const UrlTarget target = TargetOf(url);
  // No proxy for this scheme, or a bypassed host: direct, also for the
  // hosts it redirects to.
  const std::wstring proxy = ProxyForScheme(config.proxy, target.scheme);
  if (proxy.empty() || Bypasses(config.bypass, target.scheme, target.host, target.port)) return settings;
  settings.proxy_ = proxy;
  settings.noProxy_ = ToCurlNoProxy(config.bypass);
  return settings;
}

}  // namespace Kx
