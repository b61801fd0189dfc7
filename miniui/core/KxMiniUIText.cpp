#include "miniui/core/KxMiniUIText.h"

#include "download/TextEncoding.h"

namespace KxMiniUIText {

std::wstring FromUtf8(const char* bytes, size_t length) {
  std::wstring text;
  Kx::DecodeUtf8Text(bytes, length, text);
  return text;
}

std::wstring FromUtf8(const char* text) {
  return text == nullptr ? std::wstring() : FromUtf8(text, std::char_traits<char>::length(text));
}

std::string ToUtf8(const std::wstring& text) { return Kx::WideToCodePage(text, CP_UTF8); }

namespace {
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool NamesEqual(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (AsciiUpper(*a) != AsciiUpper(*b)) return false;
  }
  return *a == *b;
}

}  // namespace KxMiniUIText
