// A brush made by the canvas (solid, gradient or texture); owned by the caller.
#pragma once

namespace Gdiplus {
class Brush;
}

class KxMiniUIBrush {
 public:
  virtual ~KxMiniUIBrush();
  virtual Gdiplus::Brush* GetNative() const = 0;
};
