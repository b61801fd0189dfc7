#include "base/StringUtil.h"

#include <climits>
#include <cstdio>
#include <cwctype>

namespace Kx {

namespace {

bool InSet(wchar_t c, const std::wstring& set) { return set.find(c) != std::wstring::npos; }

wchar_t Upper(wchar_t c) { return static_cast<wchar_t>(::towupper(c)); }
wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(::towlower(c)); }

}  // namespace

std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separators) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (!InSet(text[i], separators)) continue;
    if (i > start) pieces.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  pieces.push_back(text.substr(start));
  return pieces;
}

std::wstring TrimLeft(const std::wstring& text, const std::wstring& set) {
  const size_t first = text.find_first_not_of(set);
  return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

std::wstring TrimRight(const std::wstring& text, const std::wstring& set) {
  const size_t last = text.find_last_not_of(set);
  return last == std::wstring::npos ? std::wstring() : text.substr(0, last + 1);
}

void ToLower(std::wstring& text) {
  for (wchar_t& c : text) c = Lower(c);
}

void ToUpper(std::wstring& text) {
  for (wchar_t& c : text) c = Upper(c);
}

bool EqualsNoCase(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

int CompareNoCase(const wchar_t* a, const wchar_t* b, size_t n) {
  if (a == nullptr) a = L"";
  if (b == nullptr) b = L"";
  for (size_t i = 0; i < n; ++i) {
    const wchar_t ca = Upper(a[i]);
    const wchar_t cb = Upper(b[i]);
    // A shorter b shows up as a difference against its terminator, so only
    // the terminator of a needs its own stop.
    if (ca != cb) return static_cast<int>(ca) - static_cast<int>(cb);
    if (ca == L'\0') break;
  }
  return 0;
}

std::wstring ReplaceAll(const std::wstring& text, const std::wstring& what, const std::wstring& with) {
  if (what.empty()) return text;
  std::wstring result;
  size_t from = 0;
  for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, from)) {
    result.append(text, from, at - from).append(with);
    from = at + what.size();
  }
  result.append(text, from, std::wstring::npos);
  return result;
}

size_t Find(const std::wstring& text, const std::wstring& what, size_t start) {
  return text.find(what, start);
}

size_t FindLastOf(const std::wstring& text, const std::wstring& set) {
  return text.find_last_of(set);
}

std::wstring Substring(const std::wstring& text, size_t start, size_t count) {
  if (start >= text.size()) return std::wstring();
  return text.substr(start, count);
}

std::wstring FormatV(const wchar_t* format, va_list args) {
  if (format == nullptr) return std::wstring();
  va_list measureArgs;
  va_copy(measureArgs, args);
  const int length = ::_vscwprintf(format, measureArgs);
  va_end(measureArgs);
  if (length <= 0) return std::wstring();

  // One extra slot for the terminator the CRT writes.
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  va_list writeArgs;
  va_copy(writeArgs, args);
  const int written = ::_vsnwprintf(&text[0], text.size(), format, writeArgs);
  va_end(writeArgs);
  if (written < 0) return std::wstring();
  text.resize(static_cast<size_t>(written));
  return text;
}

std::wstring Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatV(format, args);
  va_end(args);
  return text;
}

unsigned long long ParseDecimal(const std::wstring& text) {
  unsigned long long value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') break;
    const unsigned digit = static_cast<unsigned>(c - L'0');
    if (value > (ULLONG_MAX - digit) / 10) return ULLONG_MAX;
    value = value * 10 + digit;
  }
  return value;
}

std::wstring ToDecimal(unsigned long long value) {
  wchar_t digits[24];
  size_t at = sizeof(digits) / sizeof(digits[0]);
  do {
    digits[--at] = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::wstring(digits + at, digits + sizeof(digits) / sizeof(digits[0]));
}

}  // namespace Kx
