// Vertical metrics of a face at a pixel size, used to place glyphs (not the
// font's line box) where a text alignment asks.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <string>

struct KxMiniUIFaceMetrics {
  float topGap = 0.0f;       // empty space above the tallest glyphs
  float bottomGap = 0.0f;    // extra line spacing below the cell
  float glyphHeight = 0.0f;  // cell height without the top gap
  float lineHeight = 0.0f;   // whole pixels
  float overhang = 0.0f;     // italic slant

  // `topGapFactor` is the face's measured gap per pixel of size.
  static KxMiniUIFaceMetrics Of(const Gdiplus::FontFamily& family, int style, float size,
                                float topGapFactor);

  // The face's top gap per pixel of size: the top of the path of a sample
  // text of tall CJK and Latin glyphs laid out at em size 100, over 100,
  // less 0.03; never negative. Cached per face name in the font pool.
  static float TopGapFactor(const Gdiplus::FontFamily& family, const std::wstring& face);
};
