#include "miniui/core/KxMiniUICanvasGdiplus.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "miniui/core/KxMiniUIBrushGdip.h"
#include "miniui/core/KxMiniUIFaceMetrics.h"
#include "miniui/core/KxMiniUIPathGdip.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIValue.h"

namespace {

Gdiplus::Rect ToRect(const RECT& rect) {
  return Gdiplus::Rect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

Gdiplus::RectF ToRectF(const RECT& rect) {
  return Gdiplus::RectF(static_cast<float>(rect.left), static_cast<float>(rect.top),
                        static_cast<float>(rect.right - rect.left), static_cast<float>(rect.bottom - rect.top));
}

bool IsEmptyRect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

Gdiplus::Color ToColor(COLORREF color, BYTE alpha) {
  return Gdiplus::Color(static_cast<Gdiplus::ARGB>(KxMiniUIValue::ToArgb(color, alpha)));
}

Gdiplus::DashStyle ToDashStyle(int dash) {
  return (dash >= Gdiplus::DashStyleSolid && dash <= Gdiplus::DashStyleDashDotDot)
             ? static_cast<Gdiplus::DashStyle>(dash)
             : Gdiplus::DashStyleSolid;
}

Gdiplus::StringAlignment ToAlignment(unsigned alignment) {
  switch (alignment) {
    case KxMiniUIValue::kAlignCenter:
      return Gdiplus::StringAlignmentCenter;
    case KxMiniUIValue::kAlignFar:
      return Gdiplus::StringAlignmentFar;
    default:
      return Gdiplus::StringAlignmentNear;
  }
}

// Antialiased drawing for one call; the previous mode comes back after it.
class SmoothingScope {
 public:
  explicit SmoothingScope(Gdiplus::Graphics& graphics)
      : graphics_(graphics), previous_(graphics.GetSmoothingMode()) {
    graphics_.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  }
  ~SmoothingScope() { graphics_.SetSmoothingMode(previous_); }
  SmoothingScope(const SmoothingScope&) = delete;
  SmoothingScope& operator=(const SmoothingScope&) = delete;

 private:
  Gdiplus::Graphics& graphics_;
  Gdiplus::SmoothingMode previous_;
};

// Opacity as a colour matrix that scales alpha.
void ApplyOpacity(Gdiplus::ImageAttributes& attributes, BYTE alpha) {
  if (alpha >= 255) return;
  Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                  {0, 1, 0, 0, 0},
                                  {0, 0, 1, 0, 0},
                                  {0, 0, 0, alpha / 255.0f, 0},
                                  {0, 0, 0, 0, 1}}};
  attributes.SetColorMatrix(&matrix);
}

// Draws the `from` area of `image` into `to`. Wine's GDI+ leaves out the
// first column (or row) of a picture it shrinks by a ratio that is not whole
// anywhere but at the device origin; a shrunk picture is therefore made in a
// bitmap of its own first and then drawn at its size, which Wine does exactly.
Gdiplus::Status DrawImageArea(Gdiplus::Graphics& graphics, Gdiplus::Bitmap* image, const Gdiplus::Rect& to,
                              const Gdiplus::Rect& from, Gdiplus::ImageAttributes* attributes) {
  if (to.Width >= from.Width && to.Height >= from.Height) {
    return graphics.DrawImage(image, to, from.X, from.Y, from.Width, from.Height, Gdiplus::UnitPixel,
                              attributes);
  }
  Gdiplus::Bitmap shrunk(to.Width, to.Height, PixelFormat32bppPARGB);
  Gdiplus::Graphics shrinking(&shrunk);
  shrinking.SetInterpolationMode(graphics.GetInterpolationMode());
  shrinking.SetPixelOffsetMode(graphics.GetPixelOffsetMode());
  shrinking.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
  const Gdiplus::Status status =
      shrinking.DrawImage(image, Gdiplus::Rect(0, 0, to.Width, to.Height), from.X, from.Y, from.Width, from.Height,
                          Gdiplus::UnitPixel, attributes);
  if (status != Gdiplus::Ok) return status;
  return graphics.DrawImage(&shrunk, to, 0, 0, to.Width, to.Height, Gdiplus::UnitPixel, nullptr);
}

void DefaultFont(std::wstring& face, int& height) {
  face = L"Microsoft YaHei";
  height = 12;
  if (KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance()) {
    resources->GetFontPool()->GetDefaultFont(face, height);
  }
}

}  // namespace

struct KxMiniUICanvasGdiplus::Layer {
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  std::unique_ptr<Gdiplus::Graphics> graphics;
  Gdiplus::Rect bounds;  // in the device pixels of the surface beneath
  BYTE alpha = 255;
};

struct KxMiniUICanvasGdiplus::TextSetup {
  std::wstring face;
  float size = 0.0f;
  int style = 0;
  std::unique_ptr<Gdiplus::FontFamily> family;
  std::unique_ptr<Gdiplus::Font> font;
};

KxMiniUICanvasGdiplus::KxMiniUICanvasGdiplus(int width, int height, bool opaque)
    : width_(width < 1 || height < 1 ? 1 : width),
      height_(width < 1 || height < 1 ? 1 : height),
      opaque_(opaque) {}

KxMiniUICanvasGdiplus::~KxMiniUICanvasGdiplus() {
  if (systemPaint_) ::EndPaint(window_, &paint_);
  ReleaseBackBuffer();
}

bool KxMiniUICanvasGdiplus::EnsureBackBuffer(HDC reference) {
  if (surface_) return true;
  dc_.Reset(::CreateCompatibleDC(reference));
  if (!dc_) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dib_.Reset(::CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dib_ || bits == nullptr) {
    ReleaseBackBuffer();
    return false;
  }
  previousBitmap_ = ::SelectObject(dc_.Get(), dib_.Get());
  pixels_ = static_cast<BYTE*>(bits);
  surface_ = std::make_unique<Gdiplus::Bitmap>(width_, height_, width_ * 4, PixelFormat32bppPARGB, pixels_);
  if (Track(surface_->GetLastStatus()) != Gdiplus::Ok) {
    ReleaseBackBuffer();
    return false;
  }
  return true;
}

void KxMiniUICanvasGdiplus::ReleaseBackBuffer() {
  layers_.clear();
  states_.clear();
  graphics_.reset();
  surface_.reset();
  if (dc_ && previousBitmap_ != nullptr) ::SelectObject(dc_.Get(), previousBitmap_);
  previousBitmap_ = nullptr;
  dib_.Reset();
  dc_.Reset();
  pixels_ = nullptr;
}

Gdiplus::Graphics* KxMiniUICanvasGdiplus::Current() {
  if (!layers_.empty()) return layers_.back()->graphics.get();
  if (!graphics_ && EnsureBackBuffer(nullptr)) StartSurfaceGraphics(RECT{0, 0, width_, height_});
  return graphics_.get();
}

void KxMiniUICanvasGdiplus::StartSurfaceGraphics(const RECT& deviceArea) {
  graphics_ = std::make_unique<Gdiplus::Graphics>(surface_.get());
  if (Track(graphics_->GetLastStatus()) != Gdiplus::Ok) return;
  // The clip is set while no transform applies, so it stays in device pixels.
  Track(graphics_->SetClip(ToRect(deviceArea)));
  // Views paint in 96-DPI layout units; the back buffer has device pixels.
  // Picture skins undo this scale for pictures that carry their own pixels.
  if (!ScaleIsOne()) {
    Track(graphics_->ScaleTransform(static_cast<Gdiplus::REAL>(scaleX_), static_cast<Gdiplus::REAL>(scaleY_)));
  }
}

Gdiplus::Status KxMiniUICanvasGdiplus::Track(Gdiplus::Status status) {
  lastStatus_ = status;
  return status;
}

HDC KxMiniUICanvasGdiplus::GetMemoryDC() { return EnsureBackBuffer(nullptr) ? dc_.Get() : nullptr; }

const BYTE* KxMiniUICanvasGdiplus::GetPixels() {
  if (!EnsureBackBuffer(nullptr)) return nullptr;
  if (graphics_) graphics_->Flush(Gdiplus::FlushIntentionSync);
  ::GdiFlush();
  return pixels_;
}

void KxMiniUICanvasGdiplus::Save() {
  if (Gdiplus::Graphics* graphics = Current()) states_.emplace_back(graphics, graphics->Save());
}

void KxMiniUICanvasGdiplus::Restore() {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || states_.empty() || states_.back().first != graphics) return;
  Track(graphics->Restore(states_.back().second));
  states_.pop_back();
}

bool KxMiniUICanvasGdiplus::BeginLayer(const RECT& rect) {
  Gdiplus::Graphics* outer = Current();
  if (outer == nullptr) return false;
  Gdiplus::Matrix transform;
  outer->GetTransform(&transform);
  Gdiplus::PointF corners[4] = {
      {static_cast<float>(rect.left), static_cast<float>(rect.top)},
      {static_cast<float>(rect.right), static_cast<float>(rect.top)},
      {static_cast<float>(rect.left), static_cast<float>(rect.bottom)},
      {static_cast<float>(rect.right), static_cast<float>(rect.bottom)}};
  transform.TransformPoints(corners, 4);
  float left = corners[0].X, top = corners[0].Y, right = left, bottom = top;
  for (const auto& corner : corners) {
    left = std::min(left, corner.X);
    top = std::min(top, corner.Y);
    right = std::max(right, corner.X);
    bottom = std::max(bottom, corner.Y);
  }
  auto layer = std::make_unique<Layer>();
  layer->bounds = Gdiplus::Rect(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)), 0, 0);
  layer->bounds.Width = std::max(1, static_cast<int>(std::ceil(right)) - layer->bounds.X);
  layer->bounds.Height = std::max(1, static_cast<int>(std::ceil(bottom)) - layer->bounds.Y);
  layer->bitmap = std::make_unique<Gdiplus::Bitmap>(layer->bounds.Width, layer->bounds.Height,
                                                    PixelFormat32bppPARGB);
  if (Track(layer->bitmap->GetLastStatus()) != Gdiplus::Ok) return false;
  layer->graphics = std::make_unique<Gdiplus::Graphics>(layer->bitmap.get());
  Gdiplus::Graphics& inner = *layer->graphics;
  inner.SetTransform(&transform);
  inner.TranslateTransform(static_cast<float>(-layer->bounds.X), static_cast<float>(-layer->bounds.Y),
                           Gdiplus::MatrixOrderAppend);
  Gdiplus::Region clip;
  if (outer->GetClip(&clip) == Gdiplus::Ok) inner.SetClip(&clip, Gdiplus::CombineModeReplace);
  inner.IntersectClip(ToRect(rect));
  inner.SetSmoothingMode(outer->GetSmoothingMode());
  inner.SetTextRenderingHint(outer->GetTextRenderingHint());
  inner.SetInterpolationMode(outer->GetInterpolationMode());
  inner.SetPixelOffsetMode(outer->GetPixelOffsetMode());
  layers_.push_back(std::move(layer));
  return true;
}

bool KxMiniUICanvasGdiplus::BeginAlphaLayer(BYTE alpha) {
  RECT bounds{};
  if (!GetClipBounds(bounds) || !BeginLayer(bounds)) return false;
  layers_.back()->alpha = alpha;
  return true;
}

void KxMiniUICanvasGdiplus::EndLayer() {
  if (layers_.empty()) return;
  std::unique_ptr<Layer> layer = std::move(layers_.back());
  layers_.pop_back();
  layer->graphics.reset();  // done drawing into the layer's picture
  Gdiplus::Graphics* outer = Current();
  if (outer == nullptr) return;
  const Gdiplus::GraphicsState state = outer->Save();
  outer->ResetTransform();
  Gdiplus::ImageAttributes attributes;
  ApplyOpacity(attributes, layer->alpha);
  Track(outer->DrawImage(layer->bitmap.get(), layer->bounds, 0, 0, layer->bounds.Width,
                         layer->bounds.Height, Gdiplus::UnitPixel, &attributes));
  outer->Restore(state);
}

int KxMiniUICanvasGdiplus::GetWidth() const { return width_; }

int KxMiniUICanvasGdiplus::GetHeight() const { return height_; }

bool KxMiniUICanvasGdiplus::Resize(SIZE size) {
  const int width = size.cx < 1 || size.cy < 1 ? 1 : size.cx;
  const int height = size.cx < 1 || size.cy < 1 ? 1 : size.cy;
  if (width == width_ && height == height_) return true;
  ReleaseBackBuffer();
  width_ = width;
  height_ = height;
  return true;
}

void KxMiniUICanvasGdiplus::PushClip(const RECT& rect) {
  Save();
  if (Gdiplus::Graphics* graphics = Current()) Track(graphics->IntersectClip(ToRect(rect)));
}

void KxMiniUICanvasGdiplus::PopClip() { Restore(); }

void KxMiniUICanvasGdiplus::PushClipRegion(HRGN region) {
  Save();
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || region == nullptr) return;
  Gdiplus::Region clip(region);
  Track(graphics->SetClip(&clip, Gdiplus::CombineModeIntersect));
}

void KxMiniUICanvasGdiplus::PopClipRegion() { Restore(); }

bool KxMiniUICanvasGdiplus::GetClipBounds(RECT& bounds) {
  Gdiplus::Graphics* graphics = Current();
  Gdiplus::Rect clip;
  if (graphics == nullptr || Track(graphics->GetClipBounds(&clip)) != Gdiplus::Ok) return false;
  bounds = RECT{clip.X, clip.Y, clip.X + clip.Width, clip.Y + clip.Height};
  return true;
}

bool KxMiniUICanvasGdiplus::GetClipBounds(Gdiplus::RectF& bounds) {
  Gdiplus::Graphics* graphics = Current();
  return graphics != nullptr && Track(graphics->GetClipBounds(&bounds)) == Gdiplus::Ok;
}

void KxMiniUICanvasGdiplus::Translate(float dx, float dy) {
  if (Gdiplus::Graphics* graphics = Current()) Track(graphics->TranslateTransform(dx, dy));
}

void KxMiniUICanvasGdiplus::Scale(float sx, float sy) {
  if (Gdiplus::Graphics* graphics = Current()) Track(graphics->ScaleTransform(sx, sy));
}

void KxMiniUICanvasGdiplus::RotateAt(float angle, const Gdiplus::PointF& center) {
  Translate(center.X, center.Y);
  if (Gdiplus::Graphics* graphics = Current()) Track(graphics->RotateTransform(angle));
  Translate(-center.X, -center.Y);
}

void KxMiniUICanvasGdiplus::ScaleAt(const Gdiplus::PointF& center, float sx, float sy) {
  Translate(center.X, center.Y);
  Scale(sx, sy);
  Translate(-center.X, -center.Y);
}

void KxMiniUICanvasGdiplus::MultiplyTransform(const XFORM& form) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr) return;
  Gdiplus::Matrix matrix(form.eM11, form.eM12, form.eM21, form.eM22, form.eDx, form.eDy);
  Track(graphics->MultiplyTransform(&matrix));
}

void KxMiniUICanvasGdiplus::SetScaleFactors(double sx, double sy) {
  scaleX_ = sx;
  scaleY_ = sy;
}

bool KxMiniUICanvasGdiplus::GetClipBox(RECT& box) { return GetClipBounds(box); }

bool KxMiniUICanvasGdiplus::BeginPaint(HWND window) {
  window_ = window;
  layeredWindow_ = false;
  systemPaint_ = false;
  RECT area{0, 0, width_, height_};
  HDC reference = nullptr;
  if (window != nullptr) {
    layeredWindow_ = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    if (layeredWindow_) {
      // The system keeps no copy of a layered window: always the whole surface.
      ::GetClientRect(window, &area);
    } else {
      reference = ::BeginPaint(window, &paint_);
      if (reference == nullptr) {
        window_ = nullptr;
        return false;
      }
      systemPaint_ = true;
      area = paint_.rcPaint;
    }
  }
  layers_.clear();
  states_.clear();
  graphics_.reset();
  if (!EnsureBackBuffer(reference)) {
    EndPaint();
    return false;
  }
  StartSurfaceGraphics(area);
  return true;
}

void KxMiniUICanvasGdiplus::OnBeforePresent() {}

void KxMiniUICanvasGdiplus::EndPaint() {
  layers_.clear();
  states_.clear();
  graphics_.reset();
  if (window_ != nullptr && !skipPresent_ && dc_) {
    OnBeforePresent();
    if (layeredWindow_) {
      RECT frame{};
      ::GetWindowRect(window_, &frame);
      POINT position{frame.left, frame.top};
      SIZE size{width_, height_};
      POINT source{0, 0};
      BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
      ::UpdateLayeredWindow(window_, nullptr, &position, &size, dc_.Get(), &source, 0, &blend, ULW_ALPHA);
    } else if (systemPaint_) {
      ::BitBlt(paint_.hdc, 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
    }
  }
  if (systemPaint_) ::EndPaint(window_, &paint_);
  systemPaint_ = false;
  window_ = nullptr;
}

std::unique_ptr<KxMiniUIPath> KxMiniUICanvasGdiplus::CreatePath() {
  return std::make_unique<KxMiniUIPathGdip>();
}

std::unique_ptr<KxMiniUIBrush> KxMiniUICanvasGdiplus::CreateLinearGradientBrush(
    const RECT& rect, COLORREF from, BYTE fromAlpha, COLORREF to, BYTE toAlpha, bool vertical) {
  auto brush = std::make_unique<Gdiplus::LinearGradientBrush>(
      ToRect(rect), ToColor(from, fromAlpha), ToColor(to, toAlpha),
      vertical ? Gdiplus::LinearGradientModeVertical : Gdiplus::LinearGradientModeHorizontal);
  brush->SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  return std::make_unique<KxMiniUIBrushGdip>(std::move(brush));
}

std::unique_ptr<KxMiniUIBrush> KxMiniUICanvasGdiplus::CreateTextureBrush(const KxMiniUIBitmap& bitmap,
                                                                         const RECT* source) {
  Gdiplus::Bitmap* image = bitmap.GetNative();
  if (image == nullptr) return nullptr;
  const RECT whole{0, 0, bitmap.Width(), bitmap.Height()};
  auto brush = std::make_unique<Gdiplus::TextureBrush>(image, Gdiplus::WrapModeTile,
                                                       ToRect(source ? *source : whole));
  return std::make_unique<KxMiniUIBrushGdip>(std::move(brush));
}

int KxMiniUICanvasGdiplus::ReservedHook1() { return 0; }

int KxMiniUICanvasGdiplus::ReservedHook2() { return 0; }

void KxMiniUICanvasGdiplus::ForceAntialiasedText() { forceAntialiasedText_ = true; }

void KxMiniUICanvasGdiplus::DrawLine(const POINT& from, const POINT& to, COLORREF color, float width,
                                     int dash) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr) return;
  Gdiplus::Pen pen(ToColor(color, 255), width);
  pen.SetDashStyle(ToDashStyle(dash));
  SmoothingScope smooth(*graphics);
  Track(graphics->DrawLine(&pen, static_cast<INT>(from.x), static_cast<INT>(from.y),
                                  static_cast<INT>(to.x), static_cast<INT>(to.y)));
}

void KxMiniUICanvasGdiplus::DrawRect(const RECT& rect, COLORREF color, float width, int dash) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect)) return;
  Gdiplus::Pen pen(ToColor(color, 255), width);
  pen.SetDashStyle(ToDashStyle(dash));
  Track(graphics->DrawRectangle(&pen, ToRect(rect)));
}

void KxMiniUICanvasGdiplus::FillRectBrush(const RECT& rect, const KxMiniUIBrush& brush) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect) || brush.GetNative() == nullptr) return;
  Track(graphics->FillRectangle(brush.GetNative(), ToRect(rect)));
}

void KxMiniUICanvasGdiplus::FillRect(const RECT& rect, COLORREF color, BYTE alpha) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect)) return;
  Gdiplus::SolidBrush brush(ToColor(color, alpha));
  Track(graphics->FillRectangle(&brush, ToRect(rect)));
}

void KxMiniUICanvasGdiplus::FillEllipseBrush(const RECT& rect, const KxMiniUIBrush& brush) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect) || brush.GetNative() == nullptr) return;
  SmoothingScope smooth(*graphics);
  Track(graphics->FillEllipse(brush.GetNative(), ToRectF(rect)));
}

void KxMiniUICanvasGdiplus::FillEllipse(const RECT& rect, COLORREF color, BYTE alpha) {
  Gdiplus::SolidBrush brush(ToColor(color, alpha));
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect)) return;
  SmoothingScope smooth(*graphics);
  Track(graphics->FillEllipse(&brush, ToRectF(rect)));
}

void KxMiniUICanvasGdiplus::FillPath(const Gdiplus::GraphicsPath& path, const Gdiplus::Brush& brush) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr) return;
  SmoothingScope smooth(*graphics);
  Track(graphics->FillPath(&brush, &path));
}

void KxMiniUICanvasGdiplus::FillRoundRectBrush(const RECT& rect, const KxMiniUIBrush& brush, int radius) {
  if (IsEmptyRect(rect) || brush.GetNative() == nullptr) return;
  Gdiplus::GraphicsPath path;
  KxMiniUIPathGdip::AddRoundRectTo(path, ToRectF(rect), static_cast<float>(radius));
  FillPath(path, *brush.GetNative());
}

void KxMiniUICanvasGdiplus::FillRoundRect(const RECT& rect, COLORREF color, BYTE alpha, int radius) {
  if (IsEmptyRect(rect)) return;
  Gdiplus::GraphicsPath path;
  KxMiniUIPathGdip::AddRoundRectTo(path, ToRectF(rect), static_cast<float>(radius));
  Gdiplus::SolidBrush brush(ToColor(color, alpha));
  FillPath(path, brush);
}

void KxMiniUICanvasGdiplus::DrawRoundRect(const RECT& rect, COLORREF color, BYTE alpha, float width,
                                          int radius) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect)) return;
  Gdiplus::GraphicsPath path;
  KxMiniUIPathGdip::AddRoundRectTo(path, ToRectF(rect), static_cast<float>(radius));
  Gdiplus::Pen pen(ToColor(color, alpha), width);
  SmoothingScope smooth(*graphics);
  Track(graphics->DrawPath(&pen, &path));
}

void KxMiniUICanvasGdiplus::DrawBitmap(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source,
                                       BYTE alpha, int quality) {
  Gdiplus::Graphics* graphics = Current();
  Gdiplus::Bitmap* image = bitmap ? bitmap->GetNative() : nullptr;
  if (graphics == nullptr || image == nullptr || IsEmptyRect(dest) || IsEmptyRect(source)) return;
  const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
  graphics->SetCompositingQuality(quality == kQualitySpeed  ? Gdiplus::CompositingQualityHighSpeed
                                  : quality == kQualityHigh ? Gdiplus::CompositingQualityHighQuality
                                                            : Gdiplus::CompositingQualityDefault);
  graphics->SetPageUnit(Gdiplus::UnitPixel);
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  ApplyOpacity(attributes, alpha);
  Gdiplus::Rect from = ToRect(source);
  std::unique_ptr<Gdiplus::Bitmap> area;
  if (ScaleIsOne()) {
    // Drawing a copy of just the area keeps the pixels around it out of the result.
    area.reset(image->Clone(from, PixelFormat32bppPARGB));
    if (area && area->GetLastStatus() == Gdiplus::Ok) {
      image = area.get();
      from = Gdiplus::Rect(0, 0, from.Width, from.Height);
    }
  }
  Track(DrawImageArea(*graphics, image, ToRect(dest), from, &attributes));
  graphics->EndContainer(container);
}

void KxMiniUICanvasGdiplus::DrawTiled(const RECT& dest, const KxMiniUIBitmap* caps,
                                      const KxMiniUIBitmap* middle, int capWidth) {
  Gdiplus::Graphics* graphics = Current();
  Gdiplus::Bitmap* capsImage = caps ? caps->GetNative() : nullptr;
  if (graphics == nullptr || capsImage == nullptr || IsEmptyRect(dest) || capWidth < 0) return;
  const int width = dest.right - dest.left;
  const int height = dest.bottom - dest.top;
  // A destination narrower than both caps shares its width between them.
  const int cap = std::min({capWidth, width / 2, caps->Width() / 2});
  const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
  graphics->SetPageUnit(Gdiplus::UnitPixel);
  Gdiplus::ImageAttributes attributes;
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  if (cap > 0) {
    Track(DrawImageArea(*graphics, capsImage, Gdiplus::Rect(dest.left, dest.top, cap, height),
                        Gdiplus::Rect(0, 0, cap, caps->Height()), &attributes));
    Track(DrawImageArea(*graphics, capsImage, Gdiplus::Rect(dest.right - cap, dest.top, cap, height),
                        Gdiplus::Rect(caps->Width() - cap, 0, cap, caps->Height()), &attributes));
  }
  Gdiplus::Bitmap* middleImage = middle ? middle->GetNative() : nullptr;
  const int piece = middle ? middle->Width() : 0;
  if (middleImage != nullptr && piece > 0) {
    const int end = dest.right - cap;
    for (int x = dest.left + cap; x < end; x += piece) {
      // Every copy at its own width; the last one squeezed into what is left.
      const int drawn = std::min(piece, end - x);
      Track(DrawImageArea(*graphics, middleImage, Gdiplus::Rect(x, dest.top, drawn, height),
                          Gdiplus::Rect(0, 0, piece, middle->Height()), &attributes));
    }
  }
  graphics->EndContainer(container);
}

void KxMiniUICanvasGdiplus::DrawNineGrid(const RECT& dest, const KxMiniUIBitmap* bitmap, const RECT& source,
                                         const KxMiniUIMargins& margins) {
  Gdiplus::Graphics* graphics = Current();
  Gdiplus::Bitmap* image = bitmap ? bitmap->GetNative() : nullptr;
  if (graphics == nullptr || image == nullptr || IsEmptyRect(dest) || IsEmptyRect(source)) return;
  const int sourceX[4] = {source.left, source.left + margins.left, source.right - margins.right, source.right};
  const int sourceY[4] = {source.top, source.top + margins.top, source.bottom - margins.bottom, source.bottom};
  const int destX[4] = {dest.left, dest.left + margins.left, dest.right - margins.right, dest.right};
  const int destY[4] = {dest.top, dest.top + margins.top, dest.bottom - margins.bottom, dest.bottom};
  const Gdiplus::InterpolationMode previous = graphics->GetInterpolationMode();
  const Gdiplus::GraphicsContainer container = graphics->BeginContainer();
  graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  graphics->SetPageUnit(Gdiplus::UnitPixel);
  Gdiplus::ImageAttributes centreAttributes;
  centreAttributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      const int fromWidth = sourceX[column + 1] - sourceX[column];
      const int fromHeight = sourceY[row + 1] - sourceY[row];
      const int toWidth = destX[column + 1] - destX[column];
      const int toHeight = destY[row + 1] - destY[row];
      if (fromWidth <= 0 || fromHeight <= 0 || toWidth <= 0 || toHeight <= 0) continue;
      const bool centre = row == 1 && column == 1;
      // At scale 1 the borders keep hard pixel edges; the centre keeps the
      // caller's interpolation and mirrors at its edges so nothing bleeds in.
      graphics->SetInterpolationMode(centre || !ScaleIsOne() ? previous
                                                             : Gdiplus::InterpolationModeNearestNeighbor);
      Gdiplus::Bitmap* piece = image;
      Gdiplus::Rect from(sourceX[column], sourceY[row], fromWidth, fromHeight);
      std::unique_ptr<Gdiplus::Bitmap> copy;
      if (centre) {
        // Wine's GDI+ samples past the source rectangle whatever the wrap
        // mode, so the centre is drawn from a copy holding nothing else.
        copy.reset(image->Clone(from, PixelFormat32bppPARGB));
        if (copy && copy->GetLastStatus() == Gdiplus::Ok) {
          piece = copy.get();
          from = Gdiplus::Rect(0, 0, fromWidth, fromHeight);
        }
      }
      Track(DrawImageArea(*graphics, piece, Gdiplus::Rect(destX[column], destY[row], toWidth, toHeight), from,
                          centre ? &centreAttributes : nullptr));
    }
  }
  graphics->EndContainer(container);
}

bool KxMiniUICanvasGdiplus::PrepareText(const KxMiniUITextFormat& format, int trimming, bool singleLine,
                                        TextSetup& setup) {
  int defaultHeight = 12;
  DefaultFont(setup.face, defaultHeight);
  if (!format.face.empty()) setup.face = format.face;
  setup.size = static_cast<float>(std::abs(format.size != 0 ? format.size : defaultHeight));
  setup.style = static_cast<int>(format.fontStyle & 0xF);
  setup.family = std::make_unique<Gdiplus::FontFamily>(setup.face.c_str());
  if (setup.family->GetLastStatus() != Gdiplus::Ok) {
    // A system without the face may have no generic one either (a Wine
    // prefix without fonts answers none): such text is left undrawn.
    const Gdiplus::FontFamily* generic = Gdiplus::FontFamily::GenericSansSerif();
    if (generic == nullptr) return false;
    setup.family.reset(generic->Clone());
    if (!setup.family || setup.family->GetLastStatus() != Gdiplus::Ok) return false;
  }
  setup.font = std::make_unique<Gdiplus::Font>(setup.family.get(), setup.size, setup.style, Gdiplus::UnitPixel);
  if (Track(setup.font->GetLastStatus()) != Gdiplus::Ok) return false;
  if (!stringFormat_) {
    const Gdiplus::StringFormat* typographic = Gdiplus::StringFormat::GenericTypographic();
    if (typographic == nullptr) return false;
    stringFormat_.reset(typographic->Clone());
    if (!stringFormat_) return false;
  }
  stringFormat_->SetAlignment(ToAlignment(format.align));
  stringFormat_->SetLineAlignment(ToAlignment(format.lineAlign));
  stringFormat_->SetTrimming(trimming >= 0 && trimming <= 5 ? static_cast<Gdiplus::StringTrimming>(trimming)
                                                            : Gdiplus::StringTrimmingNone);
  stringFormat_->SetFormatFlags(Gdiplus::StringFormatFlagsNoFitBlackBox |
                                (singleLine ? Gdiplus::StringFormatFlagsNoWrap : 0));
  return true;
}

void KxMiniUICanvasGdiplus::DrawPreparedText(const std::wstring& text, const RECT& rect,
                                             const KxMiniUITextFormat& format, const Gdiplus::Brush& brush,
                                             int trimming, bool singleLine) {
  Gdiplus::Graphics* graphics = Current();
  TextSetup setup;
  if (graphics == nullptr || text.empty() || !PrepareText(format, trimming, singleLine, setup)) return;
  const KxMiniUIFaceMetrics metrics = KxMiniUIFaceMetrics::Of(
      *setup.family, setup.style, setup.size, KxMiniUIFaceMetrics::TopGapFactor(*setup.family, setup.face));
  // Move the layout box so that the glyphs, not the font's line box, sit
  // where the vertical alignment asks.
  Gdiplus::RectF box = ToRectF(rect);
  const float g = metrics.topGap;
  if (metrics.lineHeight > box.Height) {
    float glyphTop = 0.0f;
    if (format.lineAlign == KxMiniUIValue::kAlignCenter) glyphTop = (box.Height - metrics.glyphHeight) / 2.0f;
    if (format.lineAlign == KxMiniUIValue::kAlignFar) glyphTop = box.Height - metrics.glyphHeight;
    box.Y += glyphTop - g;
    box.Height = metrics.lineHeight;
    stringFormat_->SetLineAlignment(Gdiplus::StringAlignmentNear);
  } else if (format.lineAlign == KxMiniUIValue::kAlignCenter) {
    box.Y += -g / 2.0f + metrics.bottomGap / 2.0f;
  } else if (format.lineAlign == KxMiniUIValue::kAlignFar) {
    box.Y += metrics.bottomGap;
  } else {
    box.Y -= g;
  }
  const bool antialias = (format.flags & KxMiniUITextFormat::kFlagTransparent) != 0 || forceAntialiasedText_;
  const Gdiplus::TextRenderingHint previousHint = graphics->GetTextRenderingHint();
  if (antialias) graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  Track(graphics->DrawString(text.c_str(), static_cast<INT>(text.size()), setup.font.get(), box,
                             stringFormat_.get(), &brush));
  if (antialias) graphics->SetTextRenderingHint(previousHint);
}

DWORD KxMiniUICanvasGdiplus::TextArgb(COLORREF color) const {
  // Text on a transparent (layered) surface stays just below opaque alpha.
  return KxMiniUIValue::ToArgb(color, opaque_ ? 255 : 254);
}

bool KxMiniUICanvasGdiplus::MeasureText(const std::wstring& text, const Gdiplus::RectF& box,
                                        const KxMiniUITextFormat& format, int trimming, bool singleLine,
                                        Gdiplus::RectF& measured) {
  measured = Gdiplus::RectF();
  Gdiplus::Graphics* graphics = Current();
  TextSetup setup;
  if (graphics == nullptr || !PrepareText(format, trimming, singleLine, setup)) return false;
  if (text.empty()) return true;
  return Track(graphics->MeasureString(text.c_str(), static_cast<INT>(text.size()), setup.font.get(), box,
                                       stringFormat_.get(), &measured)) == Gdiplus::Ok;
}

bool KxMiniUICanvasGdiplus::MeasureTextSimple(const std::wstring& text, const KxMiniUITextFormat& format,
                                              SIZE& size) {
  KxMiniUITextFormat nearFormat = format;
  nearFormat.align = KxMiniUIValue::kAlignNear;
  nearFormat.lineAlign = KxMiniUIValue::kAlignNear;
  Gdiplus::RectF measured;
  const bool done = MeasureText(text, Gdiplus::RectF(0, 0, 32767.0f, 32767.0f), nearFormat, 0, true, measured);
  size.cx = static_cast<LONG>(std::ceil(measured.Width));
  size.cy = static_cast<LONG>(std::ceil(measured.Height));
  return done;
}

void KxMiniUICanvasGdiplus::DrawTextBrush(const std::wstring& text, const RECT& rect,
                                          const KxMiniUITextFormat& format, const KxMiniUIBrush& brush,
                                          int trimming, bool singleLine) {
  if (brush.GetNative() == nullptr) return;
  DrawPreparedText(text, rect, format, *brush.GetNative(), trimming, singleLine);
}

void KxMiniUICanvasGdiplus::DrawText(const std::wstring& text, const RECT& rect,
                                     const KxMiniUITextFormat& format, COLORREF color, int trimming,
                                     bool singleLine) {
  if (text.empty()) return;
  Gdiplus::SolidBrush brush(Gdiplus::Color(static_cast<Gdiplus::ARGB>(TextArgb(color))));
  DrawPreparedText(text, rect, format, brush, trimming, singleLine);
}

void KxMiniUICanvasGdiplus::DrawArc(const RECT& rect, COLORREF color, BYTE alpha, float width,
                                    float startAngle, float sweepAngle) {
  Gdiplus::Graphics* graphics = Current();
  if (graphics == nullptr || IsEmptyRect(rect)) return;
  Gdiplus::Pen pen(ToColor(color, alpha), width);
  SmoothingScope smooth(*graphics);
  Track(graphics->DrawArc(&pen, ToRectF(rect), startAngle, sweepAngle));
}

Gdiplus::Graphics* KxMiniUICanvasGdiplus::GetGraphics() { return Current(); }
