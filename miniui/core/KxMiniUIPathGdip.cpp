#include "miniui/core/KxMiniUIPathGdip.h"

#include <algorithm>

KxMiniUIPath::~KxMiniUIPath() = default;

KxMiniUIPathGdip::KxMiniUIPathGdip() = default;
KxMiniUIPathGdip::~KxMiniUIPathGdip() = default;

void KxMiniUIPathGdip::AddLine(float x1, float y1, float x2, float y2) { path_.AddLine(x1, y1, x2, y2); }

void KxMiniUIPathGdip::AddArc(float x, float y, float width, float height, float startAngle,
                              float sweepAngle) {
  path_.AddArc(x, y, width, height, startAngle, sweepAngle);
}

void KxMiniUIPathGdip::AddRect(const RECT& rect) {
  path_.AddRectangle(Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
}

void KxMiniUIPathGdip::AddRoundRect(const RECT& rect, int radius) {
  AddRoundRectTo(path_,
                 Gdiplus::RectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                                static_cast<float>(rect.right - rect.left),
                                static_cast<float>(rect.bottom - rect.top)),
                 static_cast<float>(radius));
}

void KxMiniUIPathGdip::CloseFigure() { path_.CloseFigure(); }

Gdiplus::GraphicsPath* KxMiniUIPathGdip::GetNative() const { return &path_; }

void KxMiniUIPathGdip::AddRoundRectTo(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect,
                                      float radius) {
  radius = std::min(radius, std::min(rect.Width, rect.Height) / 2.0f);
  if (radius < 1.0f) {
    path.AddRectangle(rect);
    return;
  }
  const float d = radius * 2.0f;
  const float right = rect.X + rect.Width;
  const float bottom = rect.Y + rect.Height;
  path.StartFigure();
  path.AddArc(rect.X, rect.Y, d, d, 180.0f, 90.0f);
  path.AddArc(right - d, rect.Y, d, d, 270.0f, 90.0f);
  path.AddArc(right - d, bottom - d, d, d, 0.0f, 90.0f);
  path.AddArc(rect.X, bottom - d, d, d, 90.0f, 90.0f);
  path.CloseFigure();
}
