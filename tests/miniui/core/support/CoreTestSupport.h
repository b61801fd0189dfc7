// Shared set-up of the framework tests: GDI+ started once for the whole
// program, the process's resource manager and UI manner reading this test
// program's own resources, an off-screen canvas whose pixels can be read
// back, and a view host backed by a real window.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

namespace zelk::test {

// Resource numbers of the test program (data/core_tests.rc).
constexpr UINT kSkinsXml = 100;
constexpr UINT kStyleXml = 101;
constexpr UINT kStringsXml = 102;
constexpr UINT kSkinsUpperRootXml = 110;
constexpr UINT kStyleUpperRootXml = 111;
constexpr UINT kStringsWrongRootXml = 112;
constexpr UINT kBrokenXml = 113;
constexpr UINT kSkinsRefreshXml = 114;
constexpr UINT kFragmentXml = 120;
constexpr UINT kBrokenFragmentXml = 121;
constexpr UINT kStripPng = 201;    // 128 x 8, four frames
constexpr UINT kSmallPng = 202;    // 20 x 10
constexpr UINT kNinePng = 203;     // 50 x 3
constexpr UINT kTilePng = 204;     // 50 x 3
constexpr UINT kAnimatedPng = 205; // 16 x 16, three frames
constexpr UINT kAnimatedGif = 206; // 16 x 16, three frames
constexpr UINT kBrokenPng = 207;

// The pixel values the picture generator (data/make_pictures.py) wrote.
struct Rgba {
  int r, g, b, a;
  bool operator==(const Rgba& other) const {
    return r == other.r && g == other.g && b == other.b && a == other.a;
  }
};
std::ostream& operator<<(std::ostream& out, const Rgba& pixel);

Rgba StripPixel(int x);          // strip4.png, any row
Rgba SmallPixel(int x, int y);   // small.png
Rgba NinePixel(int x, int y);    // nine.png
Rgba TilePixel(int x);           // tile.png, any row

// Base fixture: the process's pools hold this program's strings, style
// classes and skins, and the loader reads the program's own resources.
class CoreResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override;

  KxMiniUIResourceManager& Resources() { return *KxMiniUIResourceManager::Instance(); }
  KxMiniUIManner& Manner() { return *KxMiniUIManner::Instance(); }
};

// An off-screen canvas drawing over a known background; Pixel reads the DIB.
class PixelCanvas {
 public:
  PixelCanvas(int width, int height, bool opaque, COLORREF background = RGB(255, 255, 255),
              BYTE backgroundAlpha = 255);
  ~PixelCanvas();

  KxMiniUICanvasGdiplus& Canvas() { return canvas_; }
  // The pixel as drawn (premultiplied values, as the DIB holds them).
  Rgba Pixel(int x, int y);
  // Every pixel of a row, for comparisons.
  std::vector<Rgba> Row(int y);
  // The bounding box of pixels that differ from `background`, or an empty rectangle.
  RECT InkBounds(Rgba background);

 private:
  KxMiniUICanvasGdiplus canvas_;
  bool ended_ = false;
};

void PumpMessages();

// Parses layout text; the document lives as long as the answer.
std::shared_ptr<KxMiniUIXmlDocument> ParseXml(const std::string& text);

}  // namespace zelk::test

