// The file name a download takes when the server offers none.
#pragma once

#include <string>

namespace Kx {

// The part of `url` after its last "/", cut before the first "?" or "#"
// (so "http://h/d/setup.exe?x=1" gives "setup.exe"); "" when there is none.
std::wstring FileNameFromUrl(const std::wstring& url);

}  // namespace Kx
