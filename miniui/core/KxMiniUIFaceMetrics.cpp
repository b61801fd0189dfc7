#include "miniui/core/KxMiniUIFaceMetrics.h"

#include <cmath>
#include <memory>

#include "miniui/core/KxMiniUIResourceManager.h"

namespace {

float MeasureTopGapFactor(const Gdiplus::FontFamily& family) {
  static const wchar_t kSample[] = L"\x946B\x68EE\x6DFC\x7131" L"bgjk";  // 鑫森淼焱bgjk
  const Gdiplus::StringFormat* typographic = Gdiplus::StringFormat::GenericTypographic();
  if (typographic == nullptr) return 0.0f;
  std::unique_ptr<Gdiplus::StringFormat> format(typographic->Clone());
  if (!format) return 0.0f;
  format->SetAlignment(Gdiplus::StringAlignmentNear);
  format->SetLineAlignment(Gdiplus::StringAlignmentNear);
  Gdiplus::GraphicsPath path;
  if (path.AddString(kSample, -1, &family, Gdiplus::FontStyleRegular, 100.0f, Gdiplus::PointF(0, 0),
                     format.get()) != Gdiplus::Ok) {
    return 0.0f;
  }
  Gdiplus::RectF bounds;
  if (path.GetBounds(&bounds) != Gdiplus::Ok) return 0.0f;
  const float factor = bounds.Y / 100.0f - 0.03f;
  return factor < 0.0f ? 0.0f : factor;
}

}  // namespace

KxMiniUIFaceMetrics KxMiniUIFaceMetrics::Of(const Gdiplus::FontFamily& family, int style, float size,
                                            float topGapFactor) {
  KxMiniUIFaceMetrics metrics;
  const float em = family.GetEmHeight(style);
  if (em <= 0.0f) return metrics;
  const float ascent = family.GetCellAscent(style);
  const float descent = family.GetCellDescent(style);
  const float spacing = family.GetLineSpacing(style);
  metrics.topGap = topGapFactor * size;
  metrics.bottomGap = spacing > ascent + descent ? size * (spacing - ascent - descent) / em : 0.0f;
  metrics.glyphHeight = size * (ascent + descent) / em - metrics.topGap;
  metrics.lineHeight = std::ceil(size * spacing / em);
  metrics.overhang = (style & Gdiplus::FontStyleItalic) ? size / 6.0f : 0.0f;
  return metrics;
}

float KxMiniUIFaceMetrics::TopGapFactor(const Gdiplus::FontFamily& family, const std::wstring& face) {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  KxMiniUIFontPool* pool = resources ? resources->GetFontPool() : nullptr;
  float factor = 0.0f;
  if (pool != nullptr && pool->GetFaceTopGap(face, factor)) return factor;
  factor = MeasureTopGapFactor(family);
  if (pool != nullptr) pool->SetFaceTopGap(face, factor);
  return factor;
}
