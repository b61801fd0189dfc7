// Operations on wide (UTF-16) strings. Case-insensitive work maps each
// character on its own with towupper/towlower; locale collation is never used.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

namespace Kx {

// Cuts `text` at every character found in `separators`. Empty pieces are
// dropped except the last, which is always kept: "a__b" -> {a, b},
// "a_" -> {a, ""}, "" -> {""}.
std::vector<std::wstring> Split(const std::wstring& text, const std::wstring& separators);

// Remove leading / trailing characters that belong to `set`.
std::wstring TrimLeft(const std::wstring& text, const std::wstring& set);
std::wstring TrimRight(const std::wstring& text, const std::wstring& set);

void ToLower(std::wstring& text);
void ToUpper(std::wstring& text);

bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// Compares at most `n` characters after upper-casing, stopping after the
// terminator of `a`. 0 when equal, else the difference of the first
// upper-cased characters that differ. A null pointer reads as "".
int CompareNoCase(const wchar_t* a, const wchar_t* b, size_t n);

// Every non-overlapping `what` replaced by `with`, scanning left to right;
// the inserted text is not scanned again. An empty `what` changes nothing.
std::wstring ReplaceAll(const std::wstring& text, const std::wstring& what, const std::wstring& with);

// Position of `what` at or after `start`, or std::wstring::npos.
size_t Find(const std::wstring& text, const std::wstring& what, size_t start = 0);

// Position of the last character of `text` that belongs to `set`, or npos.
size_t FindLastOf(const std::wstring& text, const std::wstring& set);

// Up to `count` characters from `start`; a start past the end gives "".
std::wstring Substring(const std::wstring& text, size_t start, size_t count = std::wstring::npos);

// printf-style formatting of any length with the Windows CRT conventions:
// %s and %ls take wide strings, %hs narrow ones, %llu / %I64u 64-bit values.
// An invalid format gives "".
std::wstring Format(const wchar_t* format, ...);
std::wstring FormatV(const wchar_t* format, va_list args);

// Value of the leading decimal digits of `text` (0 when there are none);
// a value too large for 64 bits reads as the largest 64-bit value.
unsigned long long ParseDecimal(const std::wstring& text);

std::wstring ToDecimal(unsigned long long value);

}  // namespace Kx
