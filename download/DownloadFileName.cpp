#include "download/DownloadFileName.h"

namespace Kx {

std::wstring FileNameFromUrl(const std::wstring& url) {
  const std::wstring withoutQuery = url.substr(0, url.find_first_of(L"?#"));
  const size_t slash = withoutQuery.find_last_of(L'/');
  const std::wstring name = slash == std::wstring::npos ? std::wstring() : withoutQuery.substr(slash + 1);
  // "http://host" has no path: its last "/" belongs to the scheme.
  return (slash != std::wstring::npos && slash > 0 && withoutQuery[slash - 1] == L'/') ? std::wstring() : name;
}

}  // namespace Kx
