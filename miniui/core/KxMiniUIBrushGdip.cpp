#include "miniui/core/KxMiniUIBrushGdip.h"

KxMiniUIBrush::~KxMiniUIBrush() = default;

KxMiniUIBrushGdip::KxMiniUIBrushGdip(std::unique_ptr<Gdiplus::Brush> brush) : brush_(std::move(brush)) {}

KxMiniUIBrushGdip::~KxMiniUIBrushGdip() = default;

Gdiplus::Brush* KxMiniUIBrushGdip::GetNative() const { return brush_.get(); }
