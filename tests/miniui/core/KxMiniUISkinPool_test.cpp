#include "miniui/core/KxMiniUISkinPool.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIAnimatedSkin.h"
#include "miniui/core/KxMiniUIPngPool.h"
#include "miniui/core/KxMiniUIPngSkin.h"
#include "miniui/core/KxMiniUIPngStretchSkin.h"
#include "miniui/core/KxMiniUIPngTileSkin.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

class SkinPoolTest : public CoreResourcesTest {
 protected:
  KxMiniUISkinPool& Pool() { return *Manner().GetSkinPool(); }

  template <typename T>
  T* SkinAs(const char* name) {
    skin_ = Pool().Get(name);
    return dynamic_cast<T*>(skin_.get());
  }

  std::shared_ptr<KxMiniUISkin> skin_;
};

TEST_F(SkinPoolTest, EachNamedElementBecomesTheSkinItsTagNames) {
  auto* strip = SkinAs<KxMiniUIPngSkin>("strip");
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->SourceId(), kStripPng);
  EXPECT_FALSE(strip->IsSingleFrame());
  EXPECT_EQ(strip->GetFrameSize().cx, 32);
  EXPECT_EQ(strip->GetFrameSize().cy, 8);
  EXPECT_EQ(SkinAs<KxMiniUIPngSkin>("strip_cached")->SourceId(), kStripPng);  // "0xC9"
  ASSERT_NE(SkinAs<KxMiniUIPngStretchSkin>("nine"), nullptr);
  EXPECT_EQ(SkinAs<KxMiniUIPngStretchSkin>("nine")->Margins().left, 20);
  EXPECT_EQ(SkinAs<KxMiniUIPngStretchSkin>("nine")->Margins().bottom, 1);
  ASSERT_NE(SkinAs<KxMiniUIPngStretchSkin>("nine_margin"), nullptr);
  EXPECT_EQ(SkinAs<KxMiniUIPngStretchSkin>("nine_margin")->Margins().right, 20);
  EXPECT_NE(SkinAs<KxMiniUIPngTileSkin>("tile"), nullptr);
  EXPECT_NE(SkinAs<KxMiniUIPngSkin>("upper"), nullptr);  // written "PNG"
  EXPECT_NE(SkinAs<KxMiniUIAnimatedSkin>("anim"), nullptr);
  EXPECT_NE(SkinAs<KxMiniUIAnimatedSkin>("gif"), nullptr);
}

// A skins document names the pictures of every window: loading it decodes
// none of a picture skin's. Measuring one reads the size from the PNG header
// and leaves the decode to the pool's own thread; the skin's first drawing
// or bitmap takes that one decode, never a second.
TEST_F(SkinPoolTest, APictureIsMeasuredFromItsHeaderAndDecodedOnce) {
  KxMiniUIPngPool& pictures = *Resources().GetPngPool();
  pictures.Clear();
  ASSERT_TRUE(Pool().Load(kSkinsXml));
  const size_t loaded = pictures.Count();  // the picture group takes its two at once
  auto* nine = SkinAs<KxMiniUIPngStretchSkin>("nine");
  ASSERT_NE(nine, nullptr);
  EXPECT_EQ(pictures.Count(), loaded);
  EXPECT_EQ(nine->GetFrameSize().cx, 50);
  EXPECT_EQ(nine->GetFrameSize().cy, 3);
  const std::shared_ptr<KxMiniUIBitmap> decoded = nine->Bitmap();
  ASSERT_NE(decoded, nullptr);
  EXPECT_EQ(decoded->Width(), 50);
  EXPECT_EQ(pictures.Count(), loaded + 1);
  EXPECT_EQ(pictures.Get(kNinePng), decoded) << "decoded once";
  EXPECT_EQ(nine->GetFrameSize().cx, 50);

  auto* tile = SkinAs<KxMiniUIPngTileSkin>("tile");
  ASSERT_NE(tile, nullptr);
  PixelCanvas canvas(40, 10, true);
  tile->Draw(canvas.Canvas(), RECT{0, 0, 40, 3}, 0);
  EXPECT_EQ(pictures.Count(), loaded + 2);
  EXPECT_GT(canvas.InkBounds(Rgba{255, 255, 255, 255}).right, 0) << "the tile drew its picture";
}

TEST_F(SkinPoolTest, APictureSkinWithoutSrcIsNotKept) {
  EXPECT_EQ(Pool().Get("nosrc"), nullptr);
}

TEST_F(SkinPoolTest, UnnamedUnknownAndNonSkinElementsAreSkipped) {
  EXPECT_EQ(Pool().Get(""), nullptr);
  EXPECT_EQ(Pool().Get("unknown"), nullptr);
  EXPECT_EQ(Pool().Get("notaskin"), nullptr);
}

TEST_F(SkinPoolTest, ASkinWhosePictureIsMissingIsKeptAndDrawsNothing) {
  auto* skin = SkinAs<KxMiniUIPngSkin>("missing_picture");
  ASSERT_NE(skin, nullptr);
  EXPECT_EQ(skin->Bitmap(), nullptr);
  EXPECT_EQ(skin->GetSize().cx, 0);
  PixelCanvas canvas(10, 10, true);
  skin->Draw(canvas.Canvas(), RECT{0, 0, 10, 10}, 0);
  EXPECT_EQ(canvas.InkBounds(Rgba{255, 255, 255, 255}).right, 0);
}

TEST_F(SkinPoolTest, ALaterSkinOfTheSameNameReplacesTheEarlier) {
  auto* twice = SkinAs<KxMiniUIPngSkin>("twice");
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->SourceId(), kSmallPng);
}

TEST_F(SkinPoolTest, TheRootNameIgnoresCase) {
  ASSERT_TRUE(Pool().Load(kSkinsUpperRootXml));  // "Skins"
  EXPECT_EQ(Pool().Count(), 1u);
  EXPECT_NE(Pool().Get("small"), nullptr);
  EXPECT_EQ(Pool().Get("strip"), nullptr);  // Load starts from an empty pool
}

TEST_F(SkinPoolTest, AFailedLoadKeepsTheSkinsThereAre) {
  const size_t before = Pool().Count();
  EXPECT_FALSE(Pool().Load(kStyleXml));
  EXPECT_FALSE(Pool().Load(kBrokenXml));
  EXPECT_FALSE(Pool().Load(4242));
  EXPECT_EQ(Pool().Count(), before);
  EXPECT_NE(Pool().Get("strip"), nullptr);
}

TEST_F(SkinPoolTest, RefreshReappliesExistingSkinsOnly) {
  std::shared_ptr<KxMiniUISkin> small = Pool().Get("small");
  ASSERT_NE(small, nullptr);
  EXPECT_TRUE(small->IsSingleFrame());
  const size_t before = Pool().Count();
  ASSERT_TRUE(Pool().Refresh(kSkinsRefreshXml));
  EXPECT_EQ(Pool().Get("small"), small);  // the same object, now a framed strip
  EXPECT_FALSE(small->IsSingleFrame());
  EXPECT_EQ(static_cast<KxMiniUIPngSkin*>(small.get())->SourceId(), kStripPng);
  EXPECT_EQ(Pool().Get("added_by_refresh"), nullptr);
  EXPECT_EQ(Pool().Count(), before);
}

TEST_F(SkinPoolTest, TheMannerRefreshesSkinsAndReloadsStyles) {
  std::shared_ptr<KxMiniUISkin> small = Pool().Get("small");
  Manner().GetStylePool()->Clear();
  Manner().ReloadSkinsAndStyles(kSkinsRefreshXml, 0);
  EXPECT_FALSE(small->IsSingleFrame());
  EXPECT_EQ(Manner().GetStylePool()->Count(), 0u);
  Manner().ReloadSkinsAndStyles(0, kStyleXml);
  EXPECT_TRUE(Manner().GetStylePool()->Contains("title"));
}

}  // namespace
}  // namespace zelk::test
