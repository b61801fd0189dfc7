// Text helpers of the framework: UTF-8 from the XML documents into the wide
// strings the views keep, and the ASCII case folding used for tag and
// attribute names.
#pragma once

#include <cstddef>
#include <string>

namespace KxMiniUIText {

// UTF-8 text from the documents as UTF-16 (up to its first zero character);
// invalid sequences become U+FFFD, nothing throws.
std::wstring FromUtf8(const char* bytes, size_t length);
std::wstring FromUtf8(const char* text);
std::string ToUtf8(const std::wstring& text);

// Tag and attribute names compare with both sides upper-cased in ASCII only,
// so the result never depends on the user's locale. Null reads as "".
bool NamesEqual(const char* a, const char* b);

}  // namespace KxMiniUIText
