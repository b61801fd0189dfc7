// Splitting and tidying the URLs given to the WinINet client.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

namespace Kx {

struct UrlParts {
  std::wstring scheme;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring user;
  std::wstring password;
  std::wstring path;  // percent escapes decoded; filled only when asked for
};

// InternetCrackUrlW with ICU_ESCAPE. A URL it refuses is normalised
// (NormaliseUrl) and tried once more.
bool CrackUrl(const std::wstring& url, UrlParts& parts, bool withPath = true);

// Trims blanks and line breaks, and puts "http://" before an address that
// has no scheme: no ":" at all, or a "." before the first ":" (as in
// "host.example:8080/file"). UNC paths and existing drive-letter paths are
// left alone.
std::wstring NormaliseUrl(const std::wstring& url);

}  // namespace Kx
