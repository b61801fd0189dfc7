#include "miniui/core/KxMiniUICanvasGdiplus.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "miniui/core/KxMiniUIBitmapGdip.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

const Rgba kWhite{255, 255, 255, 255};
const Rgba kClear{0, 0, 0, 0};

std::shared_ptr<KxMiniUIBitmap> Picture(UINT id) {
  return KxMiniUIResourceManager::Instance()->GetPngPool()->Get(id);
}

int MaxAlpha(PixelCanvas& canvas) {
  int alpha = 0;
  for (int y = 0; y < canvas.Canvas().GetHeight(); ++y) {
    for (const Rgba& pixel : canvas.Row(y)) alpha = std::max(alpha, pixel.a);
  }
  return alpha;
}

class CanvasTest : public CoreResourcesTest {};

TEST_F(CanvasTest, FillsLandInTheDibAsBgraWithPremultipliedAlpha) {
  PixelCanvas canvas(8, 8, false, RGB(0, 0, 0), 0);
  canvas.Canvas().FillRect(RECT{0, 0, 4, 8}, RGB(0x11, 0x22, 0x33), 255);
  canvas.Canvas().FillRect(RECT{4, 0, 8, 8}, RGB(200, 100, 0), 128);
  EXPECT_EQ(canvas.Pixel(1, 1), (Rgba{0x11, 0x22, 0x33, 255}));
  const Rgba half = canvas.Pixel(6, 6);
  EXPECT_EQ(half.a, 128);
  EXPECT_NEAR(half.r, 100, 1);
  EXPECT_NEAR(half.g, 50, 1);
}

TEST_F(CanvasTest, ClipsAndTranslationsStackAndUnwind) {
  PixelCanvas canvas(20, 20, true);
  KxMiniUIRendTarget& target = canvas.Canvas();
  target.PushClip(RECT{5, 5, 15, 15});
  target.Translate(5, 5);
  target.FillRect(RECT{-5, -5, 20, 20}, RGB(255, 0, 0), 255);  // clipped to 5..15
  RECT bounds{};
  ASSERT_TRUE(target.GetClipBounds(bounds));
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 10);
  target.PopClip();
  target.FillRect(RECT{0, 0, 2, 2}, RGB(0, 0, 255), 255);  // back at the origin, unclipped
  EXPECT_EQ(canvas.Pixel(4, 4), kWhite);
  EXPECT_EQ(canvas.Pixel(5, 5), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(canvas.Pixel(14, 14), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(canvas.Pixel(15, 15), kWhite);
  EXPECT_EQ(canvas.Pixel(1, 1), (Rgba{0, 0, 255, 255}));
}

TEST_F(CanvasTest, AnAlphaLayerIsCompositedWithItsOpacity) {
  PixelCanvas canvas(20, 20, true);
  KxMiniUIRendTarget& target = canvas.Canvas();
  target.PushClip(RECT{0, 0, 10, 20});
  ASSERT_TRUE(target.BeginAlphaLayer(128));
  target.FillRect(RECT{0, 0, 20, 20}, RGB(0, 0, 0), 255);
  target.EndLayer();
  target.PopClip();
  ASSERT_TRUE(target.BeginLayer(RECT{10, 0, 20, 20}));
  target.FillRect(RECT{10, 0, 20, 20}, RGB(0, 0, 255), 255);
  target.EndLayer();
  const Rgba grey = canvas.Pixel(5, 5);
  EXPECT_NEAR(grey.r, 127, 2);
  EXPECT_NEAR(grey.g, 127, 2);
  EXPECT_EQ(canvas.Pixel(15, 5), (Rgba{0, 0, 255, 255}));
}

TEST_F(CanvasTest, TargetsAreAtLeastOnePixel) {
  KxMiniUIRenderFactoryGdip factory;
  EXPECT_TRUE(factory.Initialize());
  std::unique_ptr<KxMiniUIRenderTargetHolder> holder = factory.CreateRenderTarget(0, 50, true);
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->Canvas()->GetWidth(), 1);
  EXPECT_EQ(holder->Canvas()->GetHeight(), 1);
  EXPECT_TRUE(holder->Canvas()->Resize(SIZE{30, 20}));
  EXPECT_EQ(holder->Canvas()->GetWidth(), 30);
  EXPECT_TRUE(holder->Canvas()->Resize(SIZE{-3, 20}));
  EXPECT_EQ(holder->Canvas()->GetHeight(), 1);
  holder->SetScaleFactors(1.5, 1.25);
  EXPECT_DOUBLE_EQ(holder->ScaleX(), 1.5);
  EXPECT_DOUBLE_EQ(holder->ScaleY(), 1.25);
}

TEST_F(CanvasTest, BitmapsDrawPixelForPixelAtTheirSize) {
  std::shared_ptr<KxMiniUIBitmap> small = Picture(kSmallPng);
  ASSERT_NE(small, nullptr);
  PixelCanvas canvas(40, 30, true);
  canvas.Canvas().DrawBitmap(RECT{5, 5, 25, 15}, small.get(), RECT{0, 0, 20, 10}, 255, 1);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.Pixel(5 + x, 5 + y), SmallPixel(x, y)) << x << "," << y;
  }
  EXPECT_EQ(canvas.Pixel(4, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(25, 14), kWhite);
}

TEST_F(CanvasTest, APartOfABitmapDrawsOnlyThatPartAndAlphaScalesIt) {
  std::shared_ptr<KxMiniUIBitmap> small = Picture(kSmallPng);
  ASSERT_NE(small, nullptr);
  PixelCanvas canvas(20, 20, false, RGB(0, 0, 0), 0);
  canvas.Canvas().DrawBitmap(RECT{0, 0, 5, 5}, small.get(), RECT{10, 2, 15, 7}, 255, 1);
  canvas.Canvas().DrawBitmap(RECT{10, 10, 15, 15}, small.get(), RECT{10, 2, 15, 7}, 128, 3);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) ASSERT_EQ(canvas.Pixel(x, y), SmallPixel(10 + x, 2 + y));
  }
  const Rgba faded = canvas.Pixel(12, 12);
  const Rgba full = SmallPixel(12, 4);
  EXPECT_NEAR(faded.a, 128, 1);
  EXPECT_NEAR(faded.r, full.r * 128 / 255, 2);
  EXPECT_EQ(canvas.Pixel(7, 7), kClear);
}

TEST_F(CanvasTest, AShrunkBitmapCoversExactlyItsDestination) {
  std::shared_ptr<KxMiniUIBitmap> small = Picture(kSmallPng);
  ASSERT_NE(small, nullptr);
  PixelCanvas canvas(40, 30, true);
  canvas.Canvas().Translate(3, 2);
  canvas.Canvas().DrawBitmap(RECT{4, 5, 17, 12}, small.get(), RECT{0, 0, 20, 10}, 255, 1);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_EQ(ink.left, 7);
  EXPECT_EQ(ink.top, 7);
  EXPECT_EQ(ink.right, 20);
  EXPECT_EQ(ink.bottom, 14);
}

TEST_F(CanvasTest, EmptyBitmapsAndRectanglesDrawNothing) {
  PixelCanvas canvas(10, 10, true);
  KxMiniUIBitmapGdip empty;
  canvas.Canvas().DrawBitmap(RECT{0, 0, 10, 10}, &empty, RECT{0, 0, 10, 10}, 255, 1);
  canvas.Canvas().DrawBitmap(RECT{0, 0, 10, 10}, nullptr, RECT{0, 0, 10, 10}, 255, 1);
  canvas.Canvas().FillRect(RECT{5, 5, 5, 9}, RGB(0, 0, 0), 255);
  canvas.Canvas().DrawText(L"", RECT{0, 0, 10, 10}, KxMiniUITextFormat(), RGB(0, 0, 0), 0, true);
  EXPECT_EQ(canvas.InkBounds(kWhite).right, 0);
}

TEST_F(CanvasTest, BitmapsDecodeCloneAndLock) {
  std::shared_ptr<KxMiniUIBitmap> strip = Picture(kStripPng);
  ASSERT_NE(strip, nullptr);
  std::shared_ptr<KxMiniUIBitmap> frame = strip->CloneArea(RECT{96, 0, 128, 8});
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->Width(), 32);
  KxMiniUIBitmapBits bits;
  ASSERT_TRUE(frame->LockBits(nullptr, false, bits));
  const BYTE* first = bits.pixels;
  EXPECT_EQ((Rgba{first[2], first[1], first[0], first[3]}), StripPixel(96));
  frame->UnlockBits(bits);
  EXPECT_EQ(strip->CloneArea(RECT{120, 0, 140, 8}), nullptr);
  EXPECT_EQ(strip->CloneArea(RECT{5, 0, 5, 8}), nullptr);
  KxMiniUIBitmapGdip made;
  EXPECT_TRUE(made.Create(3, 2));
  EXPECT_EQ(made.Size().cx, 3);
  EXPECT_FALSE(made.Create(0, 2));
  EXPECT_TRUE(made.IsEmpty());
  EXPECT_FALSE(made.LoadFromMemory("nope", 4));
}

KxMiniUITextFormat Format(int size) {
  KxMiniUITextFormat format;
  format.face = L"Tahoma";
  format.size = size;
  format.fontStyle = 1;
  return format;
}

TEST_F(CanvasTest, TextOfSizeMinus14And14DrawsTheSamePixels) {
  PixelCanvas negative(120, 30, true);
  PixelCanvas positive(120, 30, true);
  negative.Canvas().DrawText(L"Zelk 14", RECT{2, 2, 118, 28}, Format(-14), RGB(0, 0, 0), 0, true);
  positive.Canvas().DrawText(L"Zelk 14", RECT{2, 2, 118, 28}, Format(14), RGB(0, 0, 0), 0, true);
  ASSERT_GT(negative.InkBounds(kWhite).right, 0) << "no text was drawn";
  for (int y = 0; y < 30; ++y) ASSERT_EQ(negative.Row(y), positive.Row(y)) << "row " << y;
  PixelCanvas larger(120, 30, true);
  larger.Canvas().DrawText(L"Zelk 14", RECT{2, 2, 118, 28}, Format(18), RGB(0, 0, 0), 0, true);
  EXPECT_GT(larger.InkBounds(kWhite).right, negative.InkBounds(kWhite).right);
}

TEST_F(CanvasTest, TextOnATransparentTargetStopsAtAlpha254) {
  PixelCanvas layered(80, 40, false, RGB(0, 0, 0), 0);
  PixelCanvas opaque(80, 40, true, RGB(0, 0, 0), 0);
  KxMiniUITextFormat format = Format(-28);
  layered.Canvas().DrawText(L"HIM", RECT{0, 0, 80, 40}, format, RGB(0, 0, 0), 0, true);
  opaque.Canvas().DrawText(L"HIM", RECT{0, 0, 80, 40}, format, RGB(0, 0, 0), 0, true);
  EXPECT_EQ(MaxAlpha(layered), 254);
  EXPECT_EQ(MaxAlpha(opaque), 255);
}

TEST_F(CanvasTest, NearAlignedGlyphsStartAtTheTopOfTheBox) {
  PixelCanvas canvas(120, 120, true);
  KxMiniUITextFormat format = Format(-40);
  format.lineAlign = 0;
  canvas.Canvas().DrawText(L"H", RECT{10, 30, 110, 110}, format, RGB(0, 0, 0), 0, true);
  const RECT ink = canvas.InkBounds(kWhite);
  ASSERT_GT(ink.bottom, 0);
  // The face's empty space above the glyphs is taken out of the box, so the
  // capital's top is within a few pixels of the box's top.
  EXPECT_GE(ink.top, 27);
  EXPECT_LE(ink.top, 38);
  float gap = -1;
  EXPECT_TRUE(KxMiniUIResourceManager::Instance()->GetFontPool()->GetFaceTopGap(L"Tahoma", gap));
  EXPECT_GE(gap, 0.0f);
}

TEST_F(CanvasTest, FarAlignedTextEndsAtTheRightAndCentredTextSitsInTheMiddle) {
  PixelCanvas canvas(200, 60, true);
  KxMiniUITextFormat format = Format(-16);
  format.align = 2;
  format.lineAlign = 1;
  canvas.Canvas().DrawText(L"far", RECT{0, 0, 200, 60}, format, RGB(0, 0, 0), 0, true);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_GT(ink.left, 150);
  EXPECT_GE(ink.right, 190);
  const int middle = (ink.top + ink.bottom) / 2;
  EXPECT_NEAR(middle, 30, 5);
}

TEST_F(CanvasTest, MeasuredTextGrowsWithItsLength) {
  KxMiniUICanvasGdiplus canvas(1, 1, true);
  SIZE one{}, three{};
  ASSERT_TRUE(canvas.MeasureTextSimple(L"W", Format(-14), one));
  ASSERT_TRUE(canvas.MeasureTextSimple(L"WWW", Format(-14), three));
  EXPECT_GT(one.cx, 0);
  EXPECT_GT(one.cy, 10);
  EXPECT_GT(three.cx, 2 * one.cx);
  EXPECT_EQ(three.cy, one.cy);
}

TEST_F(CanvasTest, ShapesAndBrushesPaint) {
  PixelCanvas canvas(60, 60, true);
  KxMiniUIRendTarget& target = canvas.Canvas();
  target.FillRoundRect(RECT{0, 0, 20, 20}, RGB(255, 0, 0), 255, 6);
  target.FillEllipse(RECT{20, 0, 40, 20}, RGB(0, 255, 0), 255);
  std::unique_ptr<KxMiniUIBrush> gradient =
      target.CreateLinearGradientBrush(RECT{0, 20, 60, 40}, RGB(0, 0, 0), 255, RGB(0, 0, 255), 255, false);
  ASSERT_NE(gradient, nullptr);
  target.FillRectBrush(RECT{0, 20, 60, 40}, *gradient);
  target.DrawLine(POINT{0, 50}, POINT{59, 50}, RGB(0, 0, 0), 1.0f, 0);
  EXPECT_EQ(canvas.Pixel(10, 10), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(canvas.Pixel(0, 0), kWhite) << "rounded corner";
  EXPECT_EQ(canvas.Pixel(30, 10), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(canvas.Pixel(21, 1), kWhite) << "outside the ellipse";
  EXPECT_LT(canvas.Pixel(2, 30).b, canvas.Pixel(57, 30).b);
  EXPECT_LT(canvas.Pixel(30, 50).r, 128);
}

// A real window painted through WM_PAINT: the back buffer is copied to it.
class PaintedWindow {
 public:
  PaintedWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &PaintedWindow::Proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"ZelkMiniUIPaintedWindow";
    ::RegisterClassExW(&windowClass);
    window_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"painted", WS_POPUP | WS_VISIBLE, 10, 10, 64, 48,
                                nullptr, nullptr, windowClass.hInstance, this);
  }
  ~PaintedWindow() { ::DestroyWindow(window_); }
  HWND Window() const { return window_; }
  int paints = 0;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      ::SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<PaintedWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_PAINT && self != nullptr) {
      KxMiniUICanvasGdiplus canvas(64, 48, true);
      if (canvas.BeginPaint(window)) {
        canvas.FillRect(RECT{0, 0, 64, 48}, RGB(0, 128, 255), 255);
        canvas.FillRect(RECT{0, 0, 10, 10}, RGB(255, 0, 0), 255);
        canvas.EndPaint();
        ++self->paints;
      }
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  HWND window_ = nullptr;
};

TEST_F(CanvasTest, AnOrdinaryWindowGetsTheBackBufferThroughItsPaintMessage) {
  PaintedWindow painted;
  ASSERT_NE(painted.Window(), nullptr);
  ::UpdateWindow(painted.Window());
  PumpMessages();
  ASSERT_GE(painted.paints, 1);
  RECT update{};
  EXPECT_FALSE(::GetUpdateRect(painted.Window(), &update, FALSE)) << "the paint validated the window";
  HDC dc = ::GetDC(painted.Window());
  const COLORREF corner = ::GetPixel(dc, 3, 3);
  const COLORREF body = ::GetPixel(dc, 40, 30);
  ::ReleaseDC(painted.Window(), dc);
  EXPECT_EQ(corner, RGB(255, 0, 0));
  EXPECT_EQ(body, RGB(0, 128, 255));
}

TEST_F(CanvasTest, ALayeredWindowGetsTheWholeSurfaceWithItsAlpha) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"ZelkMiniUILayeredWindow";
  ::RegisterClassExW(&windowClass);
  HWND window = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"layered",
                                  WS_POPUP | WS_VISIBLE, 700, 600, 64, 48, nullptr, nullptr, windowClass.hInstance,
                                  nullptr);
  ASSERT_NE(window, nullptr);
  KxMiniUICanvasGdiplus canvas(64, 48, false);
  ASSERT_TRUE(canvas.BeginPaint(window));
  RECT clip{};
  ASSERT_TRUE(canvas.GetClipBounds(clip));
  EXPECT_EQ(clip.right, 64) << "a layered window always paints its whole surface";
  EXPECT_EQ(clip.bottom, 48);
  canvas.FillRect(RECT{0, 0, 64, 48}, RGB(255, 0, 0), 255);
  canvas.FillRect(RECT{0, 0, 10, 10}, RGB(0, 0, 255), 128);
  canvas.EndPaint();
  PumpMessages();
  // This Wine shows layered windows without partial alpha, so the screen is
  // checked where the surface is opaque and the alpha in the back buffer.
  HDC screen = ::GetDC(nullptr);
  const COLORREF shown = ::GetPixel(screen, 700 + 40, 600 + 30);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(shown, RGB(255, 0, 0));
  const BYTE* pixels = canvas.GetPixels();
  EXPECT_EQ((Rgba{pixels[2], pixels[1], pixels[0], pixels[3]}), (Rgba{127, 0, 128, 255}));
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace zelk::test
