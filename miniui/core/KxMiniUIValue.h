// The value syntaxes shared by every XML attribute of the framework.
#pragma once

#include <windows.h>

namespace KxMiniUIValue {

// Integer with automatic base, like strtol(text, nullptr, 0): "0x10" is 16,
// "010" is 8, and reading stops at the first character that cannot continue
// the number, so "12px" is 12 and "true" is 0. Null reads as 0.
long Number(const char* text);

// Booleans are numbers: true when non-zero, so "1" is true and "true" false.
bool Boolean(const char* text);

// Decimal floating point ("1.5"); what cannot be read is 0.
float Decimal(const char* text);

// Colours are hexadecimal RRGGBB packed with red in the low byte (the COLORREF
// order). With `allowAlpha` two more digits give the alpha byte, which is
// 255 when absent. A non-hexadecimal character anywhere, or fewer than six
// digits, makes the whole colour black (0).
struct Color {
  COLORREF rgb = 0;
  BYTE alpha = 255;
};
Color ParseColor(const char* text, bool allowAlpha);

// ARGB for GDI+ from a COLORREF and an alpha byte.
inline DWORD ToArgb(COLORREF color, BYTE alpha) {
  return (static_cast<DWORD>(alpha) << 24) | (static_cast<DWORD>(GetRValue(color)) << 16) |
         (static_cast<DWORD>(GetGValue(color)) << 8) | GetBValue(color);
}

// "near" 0, "center" 1, "far" 2; false for anything else.
constexpr int kAlignNear = 0;
constexpr int kAlignCenter = 1;
constexpr int kAlignFar = 2;
bool ParseAlignment(const char* text, int& alignment);

// Font style letters found anywhere in the text: b bold, i italic,
// u underline, s strikeout, l 0x10, d 0x20.
constexpr unsigned kFontBold = 0x1;
constexpr unsigned kFontItalic = 0x2;
constexpr unsigned kFontUnderline = 0x4;
constexpr unsigned kFontStrikeout = 0x8;
unsigned ParseFontStyle(const char* text);

// "hand" or "arrow" as the system cursor (IDC_HAND, IDC_ARROW); false for
// anything else.
bool ParseCursor(const char* text, LPCWSTR& cursor);

}  // namespace KxMiniUIValue
