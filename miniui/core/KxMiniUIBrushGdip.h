// KxMiniUIBrush on a GDI+ brush.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>

#include "miniui/core/KxMiniUIBrush.h"

class KxMiniUIBrushGdip : public KxMiniUIBrush {
 public:
  explicit KxMiniUIBrushGdip(std::unique_ptr<Gdiplus::Brush> brush);
  ~KxMiniUIBrushGdip() override;
  Gdiplus::Brush* GetNative() const override;

 private:
  std::unique_ptr<Gdiplus::Brush> brush_;
};
