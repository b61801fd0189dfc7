// Every skin of the installer's skins document resolves to a picture of the
// installer that decodes, with the size and frame layout the controls rely
// on: four distinct state frames side by side for buttons and check boxes,
// nine-grid margins that fit, opaque page backgrounds, and drop shadows
// whose alpha fades out and stays even along the stretched edges.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIPngSkin.h"
#include "miniui/core/KxMiniUIPngStretchSkin.h"
#include "miniui/core/KxMiniUIPngTileSkin.h"
#include "tests/resources/support/InstallerModule.h"

namespace zelk::test {
namespace {

struct SkinRow {
  const char* name;
  const char* tag;
  UINT picture;
  int width;
  int height;
  int frames;
  KxMiniUIMargins margins;  // nine-grid skins only
};

const SkinRow kSkins[] = {
    {"btn_min", "png", 5002, 128, 30, 4, {}},
    {"btn_close", "png", 5003, 152, 30, 4, {}},
    {"btn_ok", "png", 5009, 384, 30, 4, {}},
    {"btn_cancel", "png", 5010, 384, 30, 4, {}},
    {"checkbox_checked", "png", 5011, 56, 14, 4, {}},
    {"checkbox_unchecked", "png", 5012, 56, 14, 4, {}},
    {"processbg", "imgstretch", 5013, 50, 3, 1, {20, 1, 20, 1}},
    {"process", "imgtile", 5014, 50, 3, 1, {}},
    {"main_bg_pdf", "png", 5020, 600, 400, 1, {}},
    {"portrait_logo_name_pdf", "png", 5022, 281, 187, 1, {}},
    {"main_bg_custom_pdf", "png", 5024, 600, 480, 1, {}},
    {"logo_pdf", "png", 5025, 16, 16, 1, {}},
    {"btn_setup", "png", 5030, 720, 42, 4, {}},
    {"btn_browser", "png", 5031, 300, 24, 4, {}},
    {"edit_bg", "imgstretch", 5032, 12, 24, 1, {4, 4, 4, 4}},
    {"uninstall_ico_ok", "png", 5040, 16, 16, 1, {}},
    {"msg_ico_warning", "png", 5051, 36, 36, 1, {}},
};

// A decoded picture's pixels (premultiplied BGRA), copied out of the bitmap.
class Pixels {
 public:
  explicit Pixels(KxMiniUIBitmap& bitmap) {
    KxMiniUIBitmapBits bits;
    if (!bitmap.LockBits(nullptr, false, bits)) return;
    width_ = bits.width;
    height_ = bits.height;
    data_.resize(static_cast<size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
      std::memcpy(&data_[static_cast<size_t>(y) * width_], bits.pixels + static_cast<ptrdiff_t>(y) * bits.stride,
                  static_cast<size_t>(width_) * 4);
    }
    bitmap.UnlockBits(bits);
  }

  bool Valid() const { return !data_.empty(); }
  DWORD At(int x, int y) const { return data_[static_cast<size_t>(y) * width_ + x]; }
  int Alpha(int x, int y) const { return static_cast<int>(At(x, y) >> 24); }
  // Whether the frames starting at x0 and x1 (`frameWidth` wide) hold the same pixels.
  bool SameFrames(int x0, int x1, int frameWidth) const {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < frameWidth; ++x) {
        if (At(x0 + x, y) != At(x1 + x, y)) return false;
      }
    }
    return true;
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<DWORD> data_;
};

class InstallerPicturesTest : public InstallerResourcesTest {
 protected:
  void SetUp() override {
    InstallerResourcesTest::SetUp();
    ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
  }

  KxMiniUIPngSkin* PictureSkin(const char* name) {
    held_ = Manner().GetSkinPool()->Get(name);
    return dynamic_cast<KxMiniUIPngSkin*>(held_.get());
  }

  std::shared_ptr<KxMiniUISkin> held_;
};

TEST_F(InstallerPicturesTest, SkinsDocumentHoldsExactlyTheInstallersSkins) {
  EXPECT_EQ(Manner().GetSkinPool()->Count(), std::size(kSkins));
}

TEST_F(InstallerPicturesTest, EverySkinHasItsPictureAtTheSizeAndFrameLayoutOfTheTable) {
  for (const SkinRow& row : kSkins) {
    SCOPED_TRACE(row.name);
    KxMiniUIPngSkin* skin = PictureSkin(row.name);
    ASSERT_NE(skin, nullptr);
    EXPECT_STREQ(skin->GetClassName(), row.tag);
    EXPECT_EQ(skin->SourceId(), row.picture);
    std::shared_ptr<KxMiniUIBitmap> bitmap = skin->Bitmap();
    ASSERT_NE(bitmap, nullptr) << "picture " << row.picture << " missing or not decoded";
    EXPECT_EQ(bitmap->Width(), row.width);
    EXPECT_EQ(bitmap->Height(), row.height);
    EXPECT_EQ(skin->IsSingleFrame(), row.frames == 1);
    const SIZE frame = skin->GetFrameSize();
    EXPECT_EQ(frame.cx * row.frames, row.width);
    EXPECT_EQ(frame.cy, row.height);
  }
}

TEST_F(InstallerPicturesTest, StateFramesOfButtonsAndCheckBoxesAllLookDifferent) {
  for (const SkinRow& row : kSkins) {
    if (row.frames == 1) continue;
    SCOPED_TRACE(row.name);
    KxMiniUIPngSkin* skin = PictureSkin(row.name);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->Bitmap(), nullptr);
    const Pixels pixels(*skin->Bitmap());
    ASSERT_TRUE(pixels.Valid());
    const int frameWidth = row.width / row.frames;
    for (int a = 0; a < row.frames; ++a) {
      for (int b = a + 1; b < row.frames; ++b) {
        EXPECT_FALSE(pixels.SameFrames(a * frameWidth, b * frameWidth, frameWidth))
            << "frames " << a << " and " << b << " are identical";
      }
    }
  }
}

TEST_F(InstallerPicturesTest, NineGridMarginsAreTheDocumentsAndLeaveAMiddle) {
  for (const SkinRow& row : kSkins) {
    if (std::strcmp(row.tag, "imgstretch") != 0) continue;
    SCOPED_TRACE(row.name);
    auto* skin = dynamic_cast<KxMiniUIPngStretchSkin*>(PictureSkin(row.name));
    ASSERT_NE(skin, nullptr);
    const KxMiniUIMargins margins = skin->Margins();
    EXPECT_EQ(margins.left, row.margins.left);
    EXPECT_EQ(margins.top, row.margins.top);
    EXPECT_EQ(margins.right, row.margins.right);
    EXPECT_EQ(margins.bottom, row.margins.bottom);
    EXPECT_GT(row.width, margins.left + margins.right);
    EXPECT_GT(row.height, margins.top + margins.bottom);
  }
}

TEST_F(InstallerPicturesTest, PageBackgroundsAreOpaque) {
  for (const char* name : {"main_bg_pdf", "main_bg_custom_pdf"}) {
    SCOPED_TRACE(name);
    KxMiniUIPngSkin* skin = PictureSkin(name);
    ASSERT_NE(skin, nullptr);
    ASSERT_NE(skin->Bitmap(), nullptr);
    const Pixels pixels(*skin->Bitmap());
    ASSERT_TRUE(pixels.Valid());
    const SIZE size = skin->Bitmap()->Size();
    for (int y = 0; y < size.cy; y += 7) {
      for (int x = 0; x < size.cx; x += 7) ASSERT_EQ(pixels.Alpha(x, y), 255) << x << "," << y;
    }
  }
}

struct ShadowRow {
  UINT picture;
  int margin;  // the layouts' shadow margin: the window covers the rest
};

TEST_F(InstallerPicturesTest, ShadowsFadeOutWithRealAlphaAndStayEvenAlongTheirEdges) {
  for (const ShadowRow& row : {ShadowRow{5004, 10}, ShadowRow{5050, 11}}) {
    SCOPED_TRACE(row.picture);
    std::shared_ptr<KxMiniUIBitmap> bitmap = Resources().GetPngPool()->Get(row.picture);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), 50);
    ASSERT_EQ(bitmap->Height(), 50);
    const Pixels pixels(*bitmap);
    ASSERT_TRUE(pixels.Valid());
    const int m = row.margin;
    const int inner = 50 - m;  // first pixel right of / below the window

    // Transparent at the picture's corners, partly covering next to the window.
    for (int corner : {0, 49}) {
      EXPECT_EQ(pixels.Alpha(corner, 0), 0);
      EXPECT_EQ(pixels.Alpha(corner, 49), 0);
    }
    for (int alpha : {pixels.Alpha(25, m - 1), pixels.Alpha(25, inner), pixels.Alpha(m - 1, 25),
                      pixels.Alpha(inner, 25)}) {
      EXPECT_GT(alpha, 0);
      EXPECT_LT(alpha, 255);
    }
    // Darker towards the window on every side.
    EXPECT_LT(pixels.Alpha(25, 0), pixels.Alpha(25, m - 1));
    EXPECT_LT(pixels.Alpha(25, 49), pixels.Alpha(25, inner));
    EXPECT_LT(pixels.Alpha(0, 25), pixels.Alpha(m - 1, 25));
    EXPECT_LT(pixels.Alpha(49, 25), pixels.Alpha(inner, 25));
    // A shadow, not a colour: premultiplied black.
    EXPECT_EQ(pixels.At(25, inner) & 0x00FFFFFF, 0u);

    // The edges are stretched along the window, so along each edge every
    // column (or row) of the band between the corners is the same.
    for (int band = 0; band < m; ++band) {
      for (int along = m; along < inner; ++along) {
        EXPECT_EQ(pixels.At(along, band), pixels.At(m, band)) << "top " << along << "," << band;
        EXPECT_EQ(pixels.At(along, 49 - band), pixels.At(m, 49 - band)) << "bottom " << along;
        EXPECT_EQ(pixels.At(band, along), pixels.At(band, m)) << "left " << band << "," << along;
        EXPECT_EQ(pixels.At(49 - band, along), pixels.At(49 - band, m)) << "right " << along;
      }
    }
  }
}

}  // namespace
}  // namespace zelk::test
