// Conversions between UTF-16 strings and byte encodings.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace Kx {

// UTF-8 bytes to UTF-16; "" when the system cannot convert them. Invalid
// sequences become U+FFFD.
std::wstring Utf8ToWide(const char* bytes, size_t length);
inline std::wstring Utf8ToWide(const std::string& bytes) { return Utf8ToWide(bytes.data(), bytes.size()); }

// UTF-16 to the bytes of `codePage` (CP_UTF8, 936, ...); "" on failure.
std::string WideToCodePage(const wchar_t* text, size_t length, UINT codePage);
inline std::string WideToCodePage(const std::wstring& text, UINT codePage) {
  return WideToCodePage(text.data(), text.size(), codePage);
}

// UTF-8 text from a resource to UTF-16, through a converter opened for
// UTF-16 little-endian. The text ends at its first zero character. True when
// the conversion ran; `out` is cleared first and stays empty when there was
// nothing to convert.
bool DecodeUtf8Text(const char* bytes, size_t length, std::wstring& out);

}  // namespace Kx
