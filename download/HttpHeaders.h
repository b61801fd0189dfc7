// Reading HTTP response header text: name/value pairs, the resource's total
// length and the file name a server offers.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Kx {

using HttpHeaderList = std::vector<std::pair<std::wstring, std::wstring>>;

// One (name, value) pair per "Name: value" line, in order; both trimmed.
// Lines without ":" and pairs without a name are skipped.
HttpHeaderList ParseHeaders(const std::wstring& text);

// The first value of the header `name` (compared ignoring case); "" when absent.
std::wstring HeaderValue(const HttpHeaderList& headers, const std::wstring& name);

// Length of the whole resource: the total of a "Content-Range: bytes A-B/T"
// header wins; otherwise the last "Content-Length" (or "Content_Length",
// which some servers send) before it; -1 when neither is there.
long long TotalLengthFromHeaders(const std::wstring& text);

// The name in the first "Content-Disposition" header ("attachment;
// filename=\"a%20b.exe\";" gives "a b.exe"): quotes and trailing ";" are
// removed and percent escapes decoded. "" when there is none.
std::wstring FileNameFromHeaders(const std::wstring& text);

}  // namespace Kx
