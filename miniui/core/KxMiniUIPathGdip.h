// KxMiniUIPath on a GDI+ path.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include "miniui/core/KxMiniUIPath.h"

class KxMiniUIPathGdip : public KxMiniUIPath {
 public:
  KxMiniUIPathGdip();
  ~KxMiniUIPathGdip() override;

  void AddLine(float x1, float y1, float x2, float y2) override;
  void AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) override;
  void AddRect(const RECT& rect) override;
  void AddRoundRect(const RECT& rect, int radius) override;
  void CloseFigure() override;
  Gdiplus::GraphicsPath* GetNative() const override;

  // A closed rounded rectangle; corners of `radius` (at most half the
  // shorter side), square corners for a radius below 1.
  static void AddRoundRectTo(Gdiplus::GraphicsPath& path, const Gdiplus::RectF& rect, float radius);

 private:
  mutable Gdiplus::GraphicsPath path_;
};
