#include "miniui/core/KxMiniUIValue.h"

#include <cstdlib>
#include <cstring>

#include "miniui/core/KxMiniUIText.h"

namespace KxMiniUIValue {

long Number(const char* text) {
  return text == nullptr ? 0 : std::strtol(text, nullptr, 0);
}

bool Boolean(const char* text) { return Number(text) != 0; }

float Decimal(const char* text) {
  return text == nullptr ? 0.0f : std::strtof(text, nullptr);
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

BYTE HexPair(const char* text) {
  return static_cast<BYTE>(HexDigit(text[0]) * 16 + HexDigit(text[1]));
}

}  // namespace

Color ParseColor(const char* text, bool allowAlpha) {
  Color black;
  if (text == nullptr) return black;
  const size_t length = std::strlen(text);
  if (length < 6) return black;
  for (size_t i = 0; i < length; ++i) {
    if (HexDigit(text[i]) < 0) return black;
  }
  Color color;
  color.rgb = RGB(HexPair(text), HexPair(text + 2), HexPair(text + 4));
  if (allowAlpha && length >= 8) color.alpha = HexPair(text + 6);
  return color;
}

bool ParseAlignment(const char* text, int& alignment) {
  static const struct {
    const char* name;
    int value;
  } kNames[] = {{"near", kAlignNear}, {"center", kAlignCenter}, {"far", kAlignFar}};
  for (const auto& entry : kNames) {
    if (KxMiniUIText::NamesEqual(text, entry.name)) {
      alignment = entry.value;
      return true;
    }
  }
  return false;
}

unsigned ParseFontStyle(const char* text) {
  if (text == nullptr) return 0;
  static const struct {
    char letter;
    unsigned bit;
  } kLetters[] = {{'b', kFontBold}, {'i', kFontItalic}, {'u', kFontUnderline},
                  {'s', kFontStrikeout}, {'l', 0x10}, {'d', 0x20}};
  unsigned style = 0;
  for (const auto& entry : kLetters) {
    if (std::strchr(text, entry.letter) != nullptr) style |= entry.bit;
  }
  return style;
}

bool ParseCursor(const char* text, LPCWSTR& cursor) {
  if (KxMiniUIText::NamesEqual(text, "hand")) {
    cursor = IDC_HAND;
    return true;
  }
  if (KxMiniUIText::NamesEqual(text, "arrow")) {
    cursor = IDC_ARROW;
    return true;
  }
  return false;
}

}  // namespace KxMiniUIValue
