// The canvas on GDI+: a 32-bit top-down DIB section in a memory device
// context is the back buffer, and a GDI+ graphics object draws into its
// pixels as premultiplied ARGB, so a layered window gets real per-pixel alpha.
#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <vector>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUIRendTarget.h"

class KxMiniUICanvasGdiplus : public KxMiniUIRendTarget {
 public:
  // A target of at least 1 x 1 pixels.
  KxMiniUICanvasGdiplus(int width, int height, bool opaque);
  ~KxMiniUICanvasGdiplus() override;
  KxMiniUICanvasGdiplus(const KxMiniUICanvasGdiplus&) = delete;
  KxMiniUICanvasGdiplus& operator=(const KxMiniUICanvasGdiplus&) = delete;

  void Save() override;
  void Restore() override;
  bool BeginLayer(const RECT& rect) override;
  bool BeginAlphaLayer(BYTE alpha) override;
  void EndLayer() override;
  int GetWidth() const override;
  int GetHeight() const override;
  bool Resize(SIZE size) override;
  void PushClip(const RECT& rect) override;
  void PopClip() override;
  void PushClipRegion(HRGN region) override;
  void PopClipRegion() override;
  bool GetClipBounds(RECT& bounds) override;
  bool GetClipBounds(Gdiplus::RectF& bounds) override;
  void Translate(float dx, float dy) override;
  void Scale(float sx, float sy) override;
  void RotateAt(float angle, const Gdiplus::PointF& center) override;
  void ScaleAt(const Gdiplus::PointF& center, float sx, float sy) override;
  void MultiplyTransform(const XFORM& matrix) override;
  void SetScaleFactors(double sx, double sy) override;
  bool GetClipBox(RECT& box) override;
  bool BeginPaint(HWND window) override;
  void OnBeforePresent() override;
  void EndPaint() override;
  std::unique_ptr<KxMiniUIPath> CreatePath() override;
  std::unique_ptr<KxMiniUIBrush> CreateLinearGradientBrush(const RECT& rect, COLORREF from, BYTE fromAlpha,
                                                           COLORREF to, BYTE toAlpha, bool vertical) override;
  std::unique_ptr<KxMiniUIBrush> CreateTextureBrush(const KxMiniUIBitmap& bitmap, const RECT* source) override;
  int ReservedHook1() override;
  int ReservedHook2() override;
  void ForceAntialiasedText() override;
  void DrawLine(const POINT& from, const POINT& to, COLORREF color, float width, int dash) override;
  void DrawRect(const RECT& rect, COLORREF color, float width, int dash) override;
  void FillRectBrush(const RECT& rect, const KxMiniUIBrush& brush) override;
  void FillRect(const RECT& rect, COLORREF color, BYTE alpha) override;
  void FillEllipseBrush(const RECT& rect, const KxMiniUIBrush& brush) override;
  void FillEllipse(const RECT& rect, COLORREF color, BYTE alpha) override;
  void FillRoundRectBrush(const RECT& rect, const KxMiniUIBrush& brush, int radius) override;
  void FillRoundRect(const RECT& rect, COLORREF color, BYTE alpha, int radius) override;
  void DrawRoundRect(const RECT& rect, COLORREF color, BYTE alpha, float width, int radius) override;
  void DrawBitmap(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source, BYTE alpha,
                  int quality) override;
  void DrawTiled(const RECT& dest, const KxMiniUIBitmap* caps, const KxMiniUIBitmap* middle,
                 int capWidth) override;
  void DrawNineGrid(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source,
                    const KxMiniUIMargins& margins) override;
  bool MeasureText(const std::wstring& text, const Gdiplus::RectF& box, const KxMiniUITextFormat& format,
                   int trimming, bool singleLine, Gdiplus::RectF& measured) override;
  bool MeasureTextSimple(const std::wstring& text, const KxMiniUITextFormat& format, SIZE& size) override;
  void DrawTextBrush(const std::wstring& text, const RECT& rect, const KxMiniUITextFormat& format,
                     const KxMiniUIBrush& brush, int trimming, bool singleLine) override;
  void DrawText(const std::wstring& text, const RECT& rect, const KxMiniUITextFormat& format,
                COLORREF color, int trimming, bool singleLine) override;
  void DrawArc(const RECT& rect, COLORREF color, BYTE alpha, float width, float startAngle,
               float sweepAngle) override;
  Gdiplus::Graphics* GetGraphics() override;

  bool IsOpaque() const { return opaque_; }
  // Drawing presents nothing at EndPaint while set (a caller copies the buffer itself).
  void SetSkipPresent(bool skip) { skipPresent_ = skip; }
  Gdiplus::Status LastStatus() const { return lastStatus_; }
  // The back buffer, made on first use: its device context and its pixels
  // (premultiplied BGRA, top row first, 4 × width bytes a row). Pending GDI
  // work is flushed before the pixels are answered.
  HDC GetMemoryDC();
  const BYTE* GetPixels();

 private:
  struct Layer;
  struct TextSetup;

  bool EnsureBackBuffer(HDC reference);
  void ReleaseBackBuffer();
  // The graphics object drawing now: the innermost layer's, else the back
  // buffer's, made on demand.
  Gdiplus::Graphics* Current();
  // The back buffer's graphics object, clipped to `deviceArea` and drawing
  // in layout units: scaled by the factors set before it was made.
  void StartSurfaceGraphics(const RECT& deviceArea);
  Gdiplus::Status Track(Gdiplus::Status status);
  DWORD TextArgb(COLORREF color) const;
  bool PrepareText(const KxMiniUITextFormat& format, int trimming, bool singleLine, TextSetup& setup);
  void DrawPreparedText(const std::wstring& text, const RECT& rect, const KxMiniUITextFormat& format,
                        const Gdiplus::Brush& brush, int trimming, bool singleLine);
  void FillPath(const Gdiplus::GraphicsPath& path, const Gdiplus::Brush& brush);
  bool ScaleIsOne() const { return scaleX_ == 1.0 && scaleY_ == 1.0; }

  int width_;
  int height_;
  bool opaque_;
  Kx::ScopedMemoryDC dc_;
  Kx::ScopedGdiObject<HBITMAP> dib_;
  HGDIOBJ previousBitmap_ = nullptr;
  BYTE* pixels_ = nullptr;
  std::unique_ptr<Gdiplus::Bitmap> surface_;
  std::unique_ptr<Gdiplus::Graphics> graphics_;
  std::vector<std::unique_ptr<Layer>> layers_;
  std::vector<std::pair<Gdiplus::Graphics*, Gdiplus::GraphicsState>> states_;
  HWND window_ = nullptr;
  bool layeredWindow_ = false;
  bool systemPaint_ = false;
  PAINTSTRUCT paint_{};
  bool skipPresent_ = false;
  std::unique_ptr<Gdiplus::StringFormat> stringFormat_;
  bool forceAntialiasedText_ = false;
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
  Gdiplus::Status lastStatus_ = Gdiplus::Ok;
};
