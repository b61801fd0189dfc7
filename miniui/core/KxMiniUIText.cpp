#include "miniui/core/KxMiniUIText.h"

#include <windows.h>

#include <climits>

namespace KxMiniUIText {

std::wstring FromUtf8(const char* bytes, size_t length) {
  if (bytes == nullptr || length == 0 || length > INT_MAX) return std::wstring();
  const int count = static_cast<int>(length);
  const int needed = ::MultiByteToWideChar(CP_UTF8, 0, bytes, count, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, bytes, count, &text[0], needed);
  return text;
}

std::wstring FromUtf8(const char* text) {
  return text == nullptr ? std::wstring() : FromUtf8(text, std::char_traits<char>::length(text));
}

std::string ToUtf8(const std::wstring& text) {
  if (text.empty() || text.size() > INT_MAX) return std::string();
  const int count = static_cast<int>(text.size());
  const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string bytes(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), count, &bytes[0], needed, nullptr, nullptr);
  return bytes;
}

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
