#include "download/HttpHeaders.h"

#include <cwchar>

#include "base/StringUtil.h"
#include "download/InternetUrl.h"

namespace Kx {
namespace {

const wchar_t kBlanks[] = L" \r\t\n";

std::wstring Trim(const std::wstring& text) { return TrimRight(TrimLeft(text, kBlanks), kBlanks); }

// Any host does: only the path of the cracked URL is taken back.
const wchar_t kNameDecodingBase[] = L"http://files.invalid/";

// What follows "filename=" in a Content-Disposition value, unquoted.
std::wstring RawFileName(std::wstring value) {
  size_t at = value.find(L"filename=");
  if (at == std::wstring::npos) {
    ToLower(value);
    at = value.find(L"filename=");
    if (at == std::wstring::npos) at = value.find(L"filename");
    if (at == std::wstring::npos) return {};
  }
  std::wstring name = value.substr(at);
  const size_t equals = name.find(L'=');
  if (equals != std::wstring::npos && equals + 1 < name.size()) name = name.substr(equals + 1);
  const size_t quote = name.find(L'"');
  if (quote != std::wstring::npos) {
    if (quote + 1 < name.size()) name = name.substr(quote + 1);
    const size_t closing = name.find(L'"');
    if (closing != std::wstring::npos) name.resize(closing);
  }
  return name;
}

// Percent escapes decoded the way the rest of the download code reads
// URLs: through the path of a cracked URL.
std::wstring DecodeEscapes(const std::wstring& name) {
  UrlParts parts;
  if (!CrackUrl(kNameDecodingBase + name, parts, true)) return {};
  std::wstring path = parts.path;
  if (!path.empty() && path.front() == L'/') path.erase(0, 1);
  return path;
}

// A length header's number; a negative count of bytes is no length at all.
long long LengthValue(const wchar_t* text) {
  const long long value = std::wcstoll(text, nullptr, 10);
  return value < 0 ? -1 : value;
}

}  // namespace

HttpHeaderList ParseHeaders(const std::wstring& text) {
  HttpHeaderList headers;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = Trim(text.substr(start, end - start));
    start = end + 1;
    const size_t colon = line.find(L':');
    if (colon == std::wstring::npos) continue;
    std::wstring name = Trim(line.substr(0, colon));
    if (name.empty()) continue;
    headers.emplace_back(std::move(name), Trim(line.substr(colon + 1)));
  }
  return headers;
}

std::wstring HeaderValue(const HttpHeaderList& headers, const std::wstring& name) {
  for (const auto& header : headers) {
    if (EqualsNoCase(header.first, name)) return header.second;
  }
  return {};
}

long long TotalLengthFromHeaders(const std::wstring& text) {
  long long total = -1;
  for (const auto& [name, value] : ParseHeaders(text)) {
    if (EqualsNoCase(name, L"Content-Length") || EqualsNoCase(name, L"Content_Length")) {
      total = LengthValue(value.c_str());
    } else if (EqualsNoCase(name, L"Content-Range")) {
      std::wstring lower = value;
      ToLower(lower);
      const size_t slash = lower.find(L'/');
      if (lower.find(L"bytes") != std::wstring::npos && slash != std::wstring::npos && slash + 1 < lower.size()) {
        return LengthValue(lower.c_str() + slash + 1);
      }
    }
  }
  return total;
}

std::wstring FileNameFromHeaders(const std::wstring& text) {
  for (const auto& [name, value] : ParseHeaders(text)) {
    if (!EqualsNoCase(name, L"Content-Disposition")) continue;
    std::wstring fileName = RawFileName(value);
    if (!fileName.empty()) fileName = DecodeEscapes(fileName);
    while (!fileName.empty() && fileName.back() == L';') fileName.pop_back();
    return fileName;
  }
  return {};
}

}  // namespace Kx
