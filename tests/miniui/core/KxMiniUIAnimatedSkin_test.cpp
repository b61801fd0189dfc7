#include "miniui/core/KxMiniUIAnimatedSkin.h"

#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUIApngDecoder.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIGifDecoder.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

const Rgba kRed{255, 0, 0, 255};
const Rgba kGreen{0, 255, 0, 255};
const Rgba kBlue{0, 0, 255, 255};

class AnimatedSkinTest : public CoreResourcesTest {
 protected:
  std::shared_ptr<KxMiniUIAnimatedSkin> Skin(const char* name) {
    auto skin = std::dynamic_pointer_cast<KxMiniUIAnimatedSkin>(Manner().GetSkinPool()->Get(name));
    EXPECT_NE(skin, nullptr) << name;
    return skin;
  }

  // The colour at two points of frame `frame`: the centre and a corner.
  std::pair<Rgba, Rgba> Sample(KxMiniUIAnimatedSkin& skin, int frame) {
    PixelCanvas canvas(16, 16, true);
    skin.Draw(canvas.Canvas(), RECT{0, 0, 16, 16}, frame);
    return {canvas.Pixel(8, 8), canvas.Pixel(1, 1)};
  }

  // Frame 1 of the animated PNG covers only an 8 x 8 square of the red
  // first frame; the GIF's frame 1 is green all over.
  void ExpectThreeFrames(const char* name) {
    const bool squareOverRed = std::string(name).compare(0, 4, "anim") == 0;
    std::shared_ptr<KxMiniUIAnimatedSkin> skin = Skin(name);
    ASSERT_NE(skin, nullptr);
    ASSERT_EQ(skin->FrameCount(), 3u) << name;
    EXPECT_EQ(skin->FrameDelay(0), 100) << name;
    EXPECT_EQ(skin->FrameDelay(1), 200) << name;
    EXPECT_EQ(skin->FrameDelay(2), 300) << name;
    EXPECT_EQ(skin->GetFrameSize().cx, 16);
    EXPECT_FALSE(skin->IsSingleFrame());
    // Backwards on purpose: on-demand decoding has to start over.
    EXPECT_EQ(Sample(*skin, 2).first, kBlue) << name;
    EXPECT_EQ(Sample(*skin, 1).second, squareOverRed ? kRed : kGreen) << name;
    EXPECT_EQ(Sample(*skin, 0).first, kRed) << name;
    EXPECT_EQ(Sample(*skin, 1).first, kGreen) << name;
    EXPECT_EQ(Sample(*skin, 2).second, kBlue) << name;
    PixelCanvas none(16, 16, true);
    skin->Draw(none.Canvas(), RECT{0, 0, 16, 16}, 3);
    EXPECT_EQ(none.InkBounds(Rgba{255, 255, 255, 255}).right, 0) << name;
  }
};

TEST_F(AnimatedSkinTest, AnAnimatedPngDecodesToThreeFramesWithTheirDelays) { ExpectThreeFrames("anim"); }

TEST_F(AnimatedSkinTest, AGifDecodesToThreeFramesWithTheirDelays) { ExpectThreeFrames("gif"); }

TEST_F(AnimatedSkinTest, OnDemandVariantsDecodeTheSameFrames) {
  ExpectThreeFrames("anim_dynamic");
  ExpectThreeFrames("gif_dynamic");
}

TEST_F(AnimatedSkinTest, DiskCachedFramesLiveInATemporaryFileUntilTheSkinGoes) {
  for (const char* name : {"anim_disk", "gif_disk"}) {
    ExpectThreeFrames(name);
    std::shared_ptr<KxMiniUIAnimatedSkin> skin = Skin(name);
    const std::wstring path = skin->CacheFilePath();
    ASSERT_FALSE(path.empty()) << name;
    const size_t slash = path.find_last_of(L'\\');
    EXPECT_EQ(path.substr(slash + 1, 3), L"TFR") << name;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << name;
    EXPECT_GE(data.nFileSizeLow, 3u * 16 * 16 * 4) << name;
    skin.reset();
    Manner().GetSkinPool()->Clear();  // the last holder
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES) << name;
    ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
  }
}

TEST_F(AnimatedSkinTest, FramesInMemoryUseNoFile) {
  EXPECT_EQ(Skin("anim")->CacheFilePath(), L"");
  EXPECT_EQ(Skin("gif")->CacheFilePath(), L"");
}

TEST_F(AnimatedSkinTest, ASkinWithoutAPictureFailsToLoad) {
  for (const char* text : {"<apng src=\"207\" />", "<apng />", "<gifskin src=\"205\" />", "<apng src=\"4242\" />"}) {
    auto document = ParseXml(text);
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(document->Root()->name());
    auto* skin = dynamic_cast<KxMiniUIAnimatedSkin*>(object.get());
    ASSERT_NE(skin, nullptr) << text;
    EXPECT_FALSE(skin->LoadFromXml(document->Root())) << text;
    EXPECT_EQ(skin->FrameCount(), 0u) << text;
  }
}

TEST(ApngDecoder, APlainPngIsOneFrameAndBrokenBytesAreRefused) {
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\small.png", bytes));
  KxMiniUIApngDecoder decoder;
  ASSERT_TRUE(decoder.Open(bytes));
  EXPECT_EQ(decoder.FrameCount(), 1u);
  EXPECT_EQ(decoder.FrameDelay(0), 0);
  std::vector<BYTE> pixels(20 * 10 * 4);
  ASSERT_TRUE(decoder.DecodeFrame(0, pixels.data()));
  const BYTE* p = &pixels[(3 * 20 + 7) * 4];
  EXPECT_EQ((Rgba{p[2], p[1], p[0], p[3]}), SmallPixel(7, 3));
  EXPECT_FALSE(decoder.DecodeFrame(1, pixels.data()));
  KxMiniUIApngDecoder broken;
  EXPECT_FALSE(broken.Open("\x89PNG\r\n\x1a\nthis is not a picture"));
  EXPECT_FALSE(broken.Open(bytes.substr(0, 40)));
}

TEST(ApngDecoder, FrameDelaysAreReadFromTheFrameControlChunks) {
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\anim.png", bytes));
  EXPECT_EQ(KxMiniUIApngDecoder::ScanFrameDelays(bytes), (std::vector<int>{100, 200, 300}));
  EXPECT_TRUE(KxMiniUIApngDecoder::ScanFrameDelays("GIF89a").empty());
}

class FrameOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string bytes;
    ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\dispose.png", bytes));
    ASSERT_TRUE(decoder_.Open(bytes));
    ASSERT_EQ(decoder_.FrameCount(), 4u);
  }

  Rgba At(size_t frame, int x, int y) {
    std::vector<BYTE> pixels(16 * 16 * 4);
    EXPECT_TRUE(decoder_.DecodeFrame(frame, pixels.data()));
    const BYTE* p = &pixels[(static_cast<size_t>(y) * 16 + x) * 4];
    return Rgba{p[2], p[1], p[0], p[3]};
  }

  KxMiniUIApngDecoder decoder_;
};

TEST_F(FrameOperations, BlendingAndDisposalComposeTheFramesInOrder) {
  const Rgba red{255, 0, 0, 255};
  const Rgba clear{0, 0, 0, 0};
  EXPECT_EQ(At(0, 4, 4), red);
  EXPECT_EQ(At(1, 4, 4), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(At(1, 12, 12), red);
  // Frame 1's square is cleared after it was shown; frame 2 lays half
  // transparent blue over the red.
  EXPECT_EQ(At(2, 4, 4), clear);
  const Rgba blended = At(2, 12, 12);
  EXPECT_EQ(blended.a, 255);
  EXPECT_NEAR(blended.r, 127, 1);
  EXPECT_NEAR(blended.b, 128, 1);
  // Frame 2 is taken back after it was shown.
  EXPECT_EQ(At(3, 12, 12), red);
  EXPECT_EQ(At(3, 4, 4), clear);
  EXPECT_EQ(At(3, 15, 15), (Rgba{255, 255, 0, 255}));
  EXPECT_EQ(decoder_.FrameDelay(3), 0) << "a zero numerator over a zero denominator";
  EXPECT_EQ(At(1, 4, 4), (Rgba{0, 255, 0, 255})) << "going back starts over";
}

TEST(ApngDecoder, ATruncatedAnimationFailsAtTheMissingFrame) {
  std::string bytes;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\anim.png", bytes));
  KxMiniUIApngDecoder decoder;
  ASSERT_TRUE(decoder.Open(bytes.substr(0, bytes.size() - 60)));
  std::vector<BYTE> pixels(16 * 16 * 4);
  EXPECT_TRUE(decoder.DecodeFrame(0, pixels.data()));
  EXPECT_FALSE(decoder.DecodeFrame(2, pixels.data()));
}

}  // namespace
}  // namespace zelk::test
