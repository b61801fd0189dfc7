// The canvas every view and skin draws on. Rectangles are integer left, top,
// right, bottom in the current coordinates unless a floating-point type is
// named; colours are COLORREF values with red in the low byte.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <string>

#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUIBrush.h"
#include "miniui/core/KxMiniUIPath.h"
#include "miniui/core/KxMiniUITextFormat.h"

// Nine-grid margins: the border widths kept at their natural size.
struct KxMiniUIMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class KxMiniUIRendTarget {
 public:
  // DrawBitmap quality: 2 favours speed, 3 quality, anything else the default.
  static constexpr int kQualityDefault = 1;
  static constexpr int kQualitySpeed = 2;
  static constexpr int kQualityHigh = 3;

  virtual ~KxMiniUIRendTarget();
  virtual void Save() = 0;
  virtual void Restore() = 0;
  // Drawing goes into an off-screen picture of `rect` until EndLayer; the
  // coordinates stay what they were.
  virtual bool BeginLayer(const RECT& rect) = 0;
  // A layer over the current clip bounds, composited with `alpha` opacity.
  virtual bool BeginAlphaLayer(BYTE alpha) = 0;
  virtual void EndLayer() = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual bool Resize(SIZE size) = 0;
  // Saves the state, then narrows the clip to `rect`; PopClip restores.
  virtual void PushClip(const RECT& rect) = 0;
  virtual void PopClip() = 0;
  virtual void PushClipRegion(HRGN region) = 0;
  virtual void PopClipRegion() = 0;
  virtual bool GetClipBounds(RECT& bounds) = 0;
  virtual bool GetClipBounds(Gdiplus::RectF& bounds) = 0;
  virtual void Translate(float dx, float dy) = 0;
  virtual void Scale(float sx, float sy) = 0;
  virtual void RotateAt(float angle, const Gdiplus::PointF& center) = 0;
  virtual void ScaleAt(const Gdiplus::PointF& center, float sx, float sy) = 0;
  virtual void MultiplyTransform(const XFORM& matrix) = 0;
  // Layout units to device pixels; painting (from the next BeginPaint on)
  // draws through this scale.
  virtual void SetScaleFactors(double sx, double sy) = 0;
  virtual bool GetClipBox(RECT& box) = 0;
  // Starts a paint of `window` into the back buffer; a null window paints
  // off-screen over the whole target and presents nothing.
  virtual bool BeginPaint(HWND window) = 0;
  virtual void OnBeforePresent() = 0;
  virtual void EndPaint() = 0;
  virtual std::unique_ptr<KxMiniUIPath> CreatePath() = 0;
  virtual std::unique_ptr<KxMiniUIBrush> CreateLinearGradientBrush(const RECT& rect, COLORREF from,
                                                                   BYTE fromAlpha, COLORREF to,
                                                                   BYTE toAlpha, bool vertical) = 0;
  virtual std::unique_ptr<KxMiniUIBrush> CreateTextureBrush(const KxMiniUIBitmap& bitmap,
                                                            const RECT* source) = 0;
  virtual int ReservedHook1() = 0;
  virtual int ReservedHook2() = 0;
  virtual void ForceAntialiasedText() = 0;
  // Dash values are those of GDI+ (0 solid, 1 dash, 2 dot, ...).
  virtual void DrawLine(const POINT& from, const POINT& to, COLORREF color, float width, int dash) = 0;
  virtual void DrawRect(const RECT& rect, COLORREF color, float width, int dash) = 0;
  virtual void FillRectBrush(const RECT& rect, const KxMiniUIBrush& brush) = 0;
  virtual void FillRect(const RECT& rect, COLORREF color, BYTE alpha) = 0;
  virtual void FillEllipseBrush(const RECT& rect, const KxMiniUIBrush& brush) = 0;
  virtual void FillEllipse(const RECT& rect, COLORREF color, BYTE alpha) = 0;
  virtual void FillRoundRectBrush(const RECT& rect, const KxMiniUIBrush& brush, int radius) = 0;
  virtual void FillRoundRect(const RECT& rect, COLORREF color, BYTE alpha, int radius) = 0;
  virtual void DrawRoundRect(const RECT& rect, COLORREF color, BYTE alpha, float width, int radius) = 0;
  virtual void DrawBitmap(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source,
                          BYTE alpha, int quality) = 0;
  // Left cap (the picture's first `capWidth` columns), the middle picture
  // repeated, right cap (the picture's last `capWidth` columns).
  virtual void DrawTiled(const RECT& dest, const KxMiniUIBitmap* caps, const KxMiniUIBitmap* middle,
                         int capWidth) = 0;
  virtual void DrawNineGrid(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source,
                            const KxMiniUIMargins& margins) = 0;
  // The box the text takes laid out in `box` (an empty box does not limit it).
  virtual bool MeasureText(const std::wstring& text, const Gdiplus::RectF& box,
                           const KxMiniUITextFormat& format, int trimming, bool singleLine,
                           Gdiplus::RectF& measured) = 0;
  virtual bool MeasureTextSimple(const std::wstring& text, const KxMiniUITextFormat& format,
                                 SIZE& size) = 0;
  virtual void DrawTextBrush(const std::wstring& text, const RECT& rect, const KxMiniUITextFormat& format,
                             const KxMiniUIBrush& brush, int trimming, bool singleLine) = 0;
  virtual void DrawText(const std::wstring& text, const RECT& rect, const KxMiniUITextFormat& format,
                        COLORREF color, int trimming, bool singleLine) = 0;
  virtual void DrawArc(const RECT& rect, COLORREF color, BYTE alpha, float width, float startAngle,
                       float sweepAngle) = 0;
  virtual Gdiplus::Graphics* GetGraphics() = 0;
};
