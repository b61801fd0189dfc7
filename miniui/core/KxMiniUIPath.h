// A figure made by the canvas from lines, arcs and rectangles; owned by the
// caller and filled or outlined by the canvas.
#pragma once

#include <windows.h>

namespace Gdiplus {
class GraphicsPath;
}

class KxMiniUIPath {
 public:
  virtual ~KxMiniUIPath();
  virtual void AddLine(float x1, float y1, float x2, float y2) = 0;
  virtual void AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle) = 0;
  virtual void AddRect(const RECT& rect) = 0;
  virtual void AddRoundRect(const RECT& rect, int radius) = 0;
  virtual void CloseFigure() = 0;
  virtual Gdiplus::GraphicsPath* GetNative() const = 0;
};
