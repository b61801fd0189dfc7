#include "miniui/core/KxMiniUIPngSkin.h"

#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUIPngStretchSkin.h"
#include "miniui/core/KxMiniUIPngGroupSkin.h"
#include "miniui/core/KxMiniUIPngTileSkin.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIScaling.h"
#include "miniui/core/KxMiniUISCrollBarSkin.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

const Rgba kWhite{255, 255, 255, 255};

class PictureSkinTest : public CoreResourcesTest {
 protected:
  std::shared_ptr<KxMiniUISkin> Skin(const char* name) {
    std::shared_ptr<KxMiniUISkin> skin = Manner().GetSkinPool()->Get(name);
    EXPECT_NE(skin, nullptr) << name;
    return skin;
  }
};

TEST_F(PictureSkinTest, FrameThreeOfAFourFrameStripComesFromX96To128) {
  PixelCanvas canvas(40, 8, true);
  Skin("strip")->Draw(canvas.Canvas(), RECT{0, 0, 32, 8}, 3);
  for (int x = 0; x < 32; ++x) {
    for (int y = 0; y < 8; ++y) ASSERT_EQ(canvas.Pixel(x, y), StripPixel(96 + x)) << x << "," << y;
  }
  EXPECT_EQ(canvas.Pixel(32, 0), kWhite);
}

TEST_F(PictureSkinTest, EachFrameIndexSelectsItsStrip) {
  for (int frame = 0; frame < 4; ++frame) {
    PixelCanvas canvas(32, 8, true);
    Skin("strip")->Draw(canvas.Canvas(), RECT{0, 0, 32, 8}, frame);
    EXPECT_EQ(canvas.Pixel(0, 4), StripPixel(frame * 32)) << frame;
    EXPECT_EQ(canvas.Pixel(31, 4), StripPixel(frame * 32 + 31)) << frame;
  }
}

TEST_F(PictureSkinTest, CachedFramesDrawTheSameAndFramesPastTheCacheDrawNothing) {
  PixelCanvas cached(32, 8, true);
  Skin("strip_cached")->Draw(cached.Canvas(), RECT{0, 0, 32, 8}, 2);
  for (int x = 0; x < 32; ++x) ASSERT_EQ(cached.Pixel(x, 3), StripPixel(64 + x)) << x;
  PixelCanvas beyond(32, 8, true);
  Skin("strip_cached")->Draw(beyond.Canvas(), RECT{0, 0, 32, 8}, 4);
  Skin("strip_cached")->Draw(beyond.Canvas(), RECT{0, 0, 32, 8}, -1);
  EXPECT_EQ(beyond.InkBounds(kWhite).right, 0);
}

TEST_F(PictureSkinTest, ANonStretchablePictureKeepsItsSizeInALargerBox) {
  PixelCanvas canvas(60, 40, true);
  Skin("small")->Draw(canvas.Canvas(), RECT{5, 5, 60, 40}, 0);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_EQ(ink.left, 5);
  EXPECT_EQ(ink.top, 5);
  EXPECT_EQ(ink.right, 25);
  EXPECT_EQ(ink.bottom, 15);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.Pixel(5 + x, 5 + y), SmallPixel(x, y));
  }
}

TEST_F(PictureSkinTest, ANonStretchablePictureIsCutToASmallerBox) {
  PixelCanvas canvas(60, 40, true);
  Skin("small")->Draw(canvas.Canvas(), RECT{0, 0, 8, 4}, 0);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_EQ(ink.right, 8);
  EXPECT_EQ(ink.bottom, 4);
}

TEST_F(PictureSkinTest, AStretchablePictureFillsTheBox) {
  PixelCanvas canvas(60, 40, true);
  Skin("small_stretch")->Draw(canvas.Canvas(), RECT{0, 0, 40, 20}, 0);
  const RECT ink = canvas.InkBounds(kWhite);
  EXPECT_EQ(ink.left, 0);
  EXPECT_EQ(ink.right, 40);
  EXPECT_EQ(ink.bottom, 20);
  EXPECT_EQ(canvas.Pixel(0, 0), SmallPixel(0, 0));
}

void ExpectNineGridEnds(PixelCanvas& canvas) {
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(canvas.Pixel(x, y), NinePixel(x, y)) << "left end " << x << "," << y;
      ASSERT_EQ(canvas.Pixel(380 + x, y), NinePixel(30 + x, y)) << "right end " << x << "," << y;
    }
    for (int x = 20; x < 380; ++x) ASSERT_EQ(canvas.Pixel(x, y), (Rgba{0, 200, 40, 255})) << x << "," << y;
  }
}

TEST_F(PictureSkinTest, ANineGridKeepsBothTwentyPixelEndsAndStretchesTheMiddle) {
  PixelCanvas canvas(400, 3, true);
  Skin("nine")->Draw(canvas.Canvas(), RECT{0, 0, 400, 3}, 0);
  ExpectNineGridEnds(canvas);
}

TEST_F(PictureSkinTest, FourMarginsWorkLikeWidthAndHeightMargins) {
  PixelCanvas canvas(400, 3, true);
  Skin("nine_margin")->Draw(canvas.Canvas(), RECT{0, 0, 400, 3}, 0);
  ExpectNineGridEnds(canvas);
}

TEST_F(PictureSkinTest, ANineGridDrawsNothingWithNegativeOrTooWideMargins) {
  auto document = ParseXml("<imgstretch name=\"x\" src=\"203\" marginwidth=\"26\" marginheight=\"1\" />");
  KxMiniUIPngStretchSkin tooWide;
  ASSERT_TRUE(tooWide.LoadFromXml(document->Root()));
  auto negativeDocument = ParseXml("<imgstretch name=\"x\" src=\"203\" margin=\"-1,0,2,0\" />");
  KxMiniUIPngStretchSkin negative;
  ASSERT_TRUE(negative.LoadFromXml(negativeDocument->Root()));
  PixelCanvas canvas(400, 3, true);
  tooWide.Draw(canvas.Canvas(), RECT{0, 0, 400, 3}, 0);
  negative.Draw(canvas.Canvas(), RECT{0, 0, 400, 3}, 0);
  EXPECT_EQ(canvas.InkBounds(kWhite).right, 0);
  EXPECT_LT(negative.SetAttribute("margin", "1,2,3", false), 0);
}

// Absurd numbers in a picture skin's settings or frame index overflow
// nothing: a frame outside the picture draws nothing, and whatever draws
// stays inside its box.
TEST_F(PictureSkinTest, AbsurdFramesAndMarginsStayInsideTheBoxAndThePicture) {
  const struct {
    const char* xml;
    int frame;
    bool drawsNothing;
  } cases[] = {
      {"<png src=\"201\" subwidth=\"32\" />", 3, false},
      {"<png src=\"201\" subwidth=\"32\" />", 2147483647, true},
      {"<png src=\"201\" subwidth=\"32\" />", -2147483647 - 1, true},
      {"<png src=\"201\" subwidth=\"2147483647\" />", 3, true},
      {"<png src=\"201\" subwidth=\"0x7fffffff\" />", 2147483647, true},
      {"<imgstretch src=\"203\" marginwidth=\"2147483647\" marginheight=\"1\" />", 0, true},
      {"<imgstretch src=\"203\" margin=\"2147483647,-2147483648,2147483647,1\" />", 0, true},
      {"<imgtile src=\"204\" marginwidth=\"2147483647\" />", 0, false},
  };
  const RECT box{4, 2, 36, 8};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.xml) + " frame " + std::to_string(c.frame));
    auto document = ParseXml(c.xml);
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(document->Root()->name());
    auto* skin = dynamic_cast<KxMiniUISkin*>(object.get());
    ASSERT_NE(skin, nullptr);
    ASSERT_TRUE(skin->LoadFromXml(document->Root()));
    PixelCanvas canvas(40, 10, true);
    skin->Draw(canvas.Canvas(), box, c.frame);
    const RECT ink = canvas.InkBounds(kWhite);
    if (c.drawsNothing) {
      EXPECT_EQ(ink.right, 0);
    } else {
      EXPECT_GT(ink.right, 0);
      EXPECT_GE(ink.left, box.left);
      EXPECT_GE(ink.top, box.top);
      EXPECT_LE(ink.right, box.right);
      EXPECT_LE(ink.bottom, box.bottom);
    }
  }
}

TEST_F(PictureSkinTest, ATileSkinRepeatsItsMiddleBetweenTheCaps) {
  PixelCanvas canvas(200, 3, true);
  Skin("tile")->Draw(canvas.Canvas(), RECT{0, 0, 200, 3}, 0);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(canvas.Pixel(0, y), TilePixel(0));
    EXPECT_EQ(canvas.Pixel(1, y), TilePixel(1));
    EXPECT_EQ(canvas.Pixel(198, y), TilePixel(48));
    EXPECT_EQ(canvas.Pixel(199, y), TilePixel(49));
    // Copies of the 46-pixel middle start at 2, 48, 94 and 140.
    for (int copy = 0; copy < 4; ++copy) {
      for (int x = 0; x < 46; ++x) {
        ASSERT_EQ(canvas.Pixel(2 + copy * 46 + x, y), TilePixel(2 + x)) << "copy " << copy << " x " << x;
      }
    }
    // The last copy is squeezed into the 12 pixels left before the right cap.
    for (int x = 186; x < 198; ++x) {
      const Rgba pixel = canvas.Pixel(x, y);
      EXPECT_EQ(pixel.r, 0) << x;
      EXPECT_EQ(pixel.b, 100) << x;
    }
  }
}

TEST_F(PictureSkinTest, WithScalingOnPicturesHaveTheirSizeOverTheScaleAndDrawAtTheirPixels) {
  KxMiniUIScaling::Set(2.0, true);
  std::shared_ptr<KxMiniUISkin> small = Skin("small");
  const SIZE size = small->GetSize();
  const SIZE strip = Skin("strip")->GetFrameSize();
  PixelCanvas canvas(40, 20, true);
  canvas.Canvas().Scale(2.0f, 2.0f);  // the window's layout scale
  small->Draw(canvas.Canvas(), RECT{0, 0, 10, 5}, 0);
  KxMiniUIScaling::Set(1.0, false);
  EXPECT_EQ(size.cx, 10);
  EXPECT_EQ(size.cy, 5);
  EXPECT_EQ(strip.cx, 32);
  EXPECT_EQ(strip.cy, 4);
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 20; ++x) ASSERT_EQ(canvas.Pixel(x, y), SmallPixel(x, y)) << x << "," << y;
  }
  EXPECT_EQ(canvas.Pixel(20, 5), kWhite);
}

TEST_F(PictureSkinTest, SizesAndFramesFollowTheSettings) {
  std::shared_ptr<KxMiniUISkin> small = Skin("small");
  EXPECT_TRUE(small->IsSingleFrame());
  EXPECT_EQ(small->GetSize().cx, 20);
  EXPECT_EQ(small->GetFrameSize().cy, 10);
  std::shared_ptr<KxMiniUISkin> strip = Skin("strip");
  EXPECT_EQ(strip->GetSize().cx, 128);
  EXPECT_EQ(strip->GetFrameSize().cx, 32);
}

TEST_F(PictureSkinTest, PicturesGivenByCodeForgetTheFramesAndSurviveReset) {
  KxMiniUIPngSkin skin;
  auto document = ParseXml("<png src=\"201\" subwidth=\"32\" stretchable=\"1\" />");
  ASSERT_TRUE(skin.LoadFromXml(document->Root()));
  EXPECT_FALSE(skin.IsSingleFrame());
  skin.Reset();
  EXPECT_EQ(skin.Bitmap(), nullptr);
  ASSERT_TRUE(skin.SetBitmap(Resources().GetPngPool()->Get(kSmallPng)));
  EXPECT_TRUE(skin.IsSingleFrame());
  skin.Reset();
  ASSERT_NE(skin.Bitmap(), nullptr);
  EXPECT_EQ(skin.GetSize().cx, 20);
  PixelCanvas canvas(40, 40, true);
  skin.Draw(canvas.Canvas(), RECT{0, 0, 40, 40}, 0);
  EXPECT_EQ(canvas.InkBounds(kWhite).right, 20) << "no longer stretchable";
}

TEST_F(PictureSkinTest, PicturesComeFromPngIdsBytesAndGdiBitmaps) {
  KxMiniUIPngSkin skin;
  EXPECT_TRUE(skin.SetFromPngId(kTilePng));
  EXPECT_EQ(skin.GetSize().cx, 50);
  EXPECT_FALSE(skin.SetFromPngId(4242));
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\small.png", bytes));
  EXPECT_TRUE(skin.SetFromMemory(bytes.data(), bytes.size()));
  EXPECT_EQ(skin.GetSize().cx, 20);
  EXPECT_FALSE(skin.SetFromMemory("junk", 4));
  HBITMAP bitmap = Resources().GetResourceLoader()->LoadBitmap(301);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(skin.SetFromGdiBitmap(bitmap));
  ::DeleteObject(bitmap);
  EXPECT_EQ(skin.GetSize().cx, 8);
  EXPECT_EQ(skin.GetSize().cy, 4);
}

// A PNG signature and an IHDR chunk of the given size, then bytes that no
// decoder takes.
std::string UndecodablePng(unsigned width, unsigned height) {
  std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
  for (unsigned value : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>((value >> shift) & 0xFF);
  }
  return bytes + std::string("\x08\x06\0\0\0", 5) + "not a picture's data";
}

// Until a picture is drawn its size comes from its header; a header past
// the pixel limit is not believed, and the picture is decoded to measure it.
TEST_F(PictureSkinTest, APictureIsMeasuredFromItsHeaderUnlessTheHeaderIsPastTheLimit) {
  struct Case {
    const char* name;
    unsigned width, height;
    LONG measuredWidth, measuredHeight;
  };
  const Case cases[] = {
      {"within the limit", 7, 5, 7, 5},
      {"wider than the limit", (1u << 24) + 1, 1, 0, 0},
      {"taller than the limit", 1, (1u << 24) + 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScopedTempDir folder;
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"header.png"), UndecodablePng(c.width, c.height)));
    ASSERT_TRUE(WriteFileBytes(folder.Join(L"resdef.xml"), "<r><png><item id=\"300\" path=\"header.png\"/></png></r>"));
    ASSERT_TRUE(Resources().GetResourceLoader()->UseDirectory(folder.Path()));
    Resources().GetPngPool()->Clear();
    KxMiniUIPngSkin skin;
    auto document = ParseXml("<png src=\"300\" />");
    ASSERT_TRUE(skin.LoadFromXml(document->Root()));
    const SIZE size = skin.GetSize();
    EXPECT_EQ(size.cx, c.measuredWidth);
    EXPECT_EQ(size.cy, c.measuredHeight);
    EXPECT_EQ(skin.Bitmap(), nullptr) << "the data does not decode";
  }
}

TEST_F(PictureSkinTest, ASkinWithoutSrcFailsToLoad) {
  KxMiniUIPngSkin skin;
  auto document = ParseXml("<png subwidth=\"4\" />");
  EXPECT_FALSE(skin.LoadFromXml(document->Root()));
  auto zero = ParseXml("<png src=\"0\" />");
  EXPECT_FALSE(skin.LoadFromXml(zero->Root()));
  EXPECT_LT(skin.SetAttribute("marginwidth", "3", false), 0);
}

}  // namespace
}  // namespace zelk::test

namespace zelk::test {
namespace {

class GroupedSkinTest : public CoreResourcesTest {};

TEST_F(GroupedSkinTest, AScrollBarSkinIsAFramedPictureWithItsGeometry) {
  auto bar = std::dynamic_pointer_cast<KxMiniUISCrollBarSkin>(Manner().GetSkinPool()->Get("bar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->BarWidth(), 8);
  EXPECT_EQ(bar->ThumbLength(), 20);
  EXPECT_EQ(bar->ThumbMarginX(), 1);
  EXPECT_EQ(bar->ThumbMarginY(), 2);
  EXPECT_EQ(bar->GetFrameSize().cx, 32);
}

TEST_F(GroupedSkinTest, APictureGroupDrawsTheFrameOfTheStateOverItsBackground) {
  auto group = std::dynamic_pointer_cast<KxMiniUIPngGroupSkin>(Manner().GetSkinPool()->Get("group"));
  ASSERT_NE(group, nullptr);
  EXPECT_FALSE(group->IsSingleFrame());
  EXPECT_EQ(group->GetSize().cx, 20);
  // Items: state 0 at x 0 (32 wide), state 1 at 32 (64 wide), state 3 at 96.
  EXPECT_EQ(group->FrameOf(1).left, 32);
  EXPECT_EQ(group->FrameOf(1).right, 96);
  EXPECT_EQ(group->FrameOf(3).left, 96);
  EXPECT_EQ(group->FrameOf(2).right, 0);
  PixelCanvas canvas(40, 10, true);
  group->Draw(canvas.Canvas(), RECT{0, 0, 20, 10}, 3);
  EXPECT_EQ(canvas.Pixel(5, 5), StripPixel(101));
  EXPECT_EQ(canvas.Pixel(35, 5), (Rgba{255, 255, 255, 255}));
  PixelCanvas background(20, 10, true);
  group->Draw(background.Canvas(), RECT{0, 0, 20, 10}, 2);  // no frame for state 2
  EXPECT_EQ(background.Pixel(5, 9), SmallPixel(5, 9));
  EXPECT_EQ(Manner().GetSkinPool()->Get("group_without_pictures"), nullptr);
}

}  // namespace
}  // namespace zelk::test
