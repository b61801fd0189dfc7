// How a text is drawn: face, size, style bits and alignments, as a style
// carries them and as the canvas takes them.
#pragma once

#include <string>

struct KxMiniUITextFormat {
  static constexpr unsigned kAlignUnset = 0xFFFF;
  static constexpr unsigned kFontStyleUnset = 0xA0000000;
  static constexpr unsigned kFlagTransparent = 0x1;  // draw antialiased with grid fit

  std::wstring face;  // empty: the font pool's default face
  int size = 0;       // pixels; the sign is ignored; 0: the font pool's default height
  unsigned fontStyle = 0;  // KxMiniUIValue::kFontBold, ...
  unsigned fontStyleHover = kFontStyleUnset;
  unsigned fontStylePressed = kFontStyleUnset;
  unsigned align = kAlignUnset;      // horizontal: near 0, center 1, far 2
  unsigned lineAlign = kAlignUnset;  // vertical, the same values
  unsigned flags = 0;
};
