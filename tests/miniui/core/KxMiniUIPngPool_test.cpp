#include "miniui/core/KxMiniUIPngPool.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIBmpPool.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUIResourceLoader.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

// The real loader, counting how often the pool asks it for bytes.
class CountingLoader : public KxMiniUIResourceLoader {
 public:
  bool LoadResource(UINT id, std::string& buffer, const wchar_t* type) override {
    ++reads;
    return KxMiniUIResourceLoader::LoadResource(id, buffer, type);
  }
  int reads = 0;
};

class PngPoolTest : public ::testing::Test {
 protected:
  PngPoolTest() : pool_(loader_) { pool_.SetRenderFactory(&factory_); }

  KxMiniUIRenderFactoryGdip factory_;
  CountingLoader loader_;
  KxMiniUIPngPool pool_;
};

TEST_F(PngPoolTest, IdZeroAnswersNoneWithoutReadingAnything) {
  EXPECT_EQ(pool_.Get(0), nullptr);
  EXPECT_EQ(pool_.Reload(0), nullptr);
  EXPECT_EQ(loader_.reads, 0);
}

TEST_F(PngPoolTest, AnIdListedAsZeroInAFolderIsStillNone) {
  ScopedTempDir folder;
  std::string png;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\small.png", png));
  ASSERT_TRUE(WriteFileBytes(folder.Join(L"zero.png"), png));
  ASSERT_TRUE(WriteFileBytes(folder.Join(L"resdef.xml"), "<r><png><item id=\"0\" path=\"zero.png\"/></png></r>"));
  ASSERT_TRUE(loader_.UseDirectory(folder.Path()));
  EXPECT_EQ(pool_.Get(0), nullptr);
  EXPECT_EQ(loader_.reads, 0);
}

TEST_F(PngPoolTest, TheFirstGetDecodesAndLaterOnesShareTheBitmap) {
  std::shared_ptr<KxMiniUIBitmap> first = pool_.Get(kSmallPng);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->Width(), 20);
  EXPECT_EQ(first->Height(), 10);
  EXPECT_EQ(pool_.Get(kSmallPng), first);
  EXPECT_EQ(loader_.reads, 1);
  EXPECT_EQ(pool_.Count(), 1u);
}

TEST_F(PngPoolTest, MissingOrUndecodablePicturesAreNotCached) {
  EXPECT_EQ(pool_.Get(kBrokenPng), nullptr);
  EXPECT_EQ(pool_.Get(4242), nullptr);
  EXPECT_EQ(pool_.Count(), 0u);
  EXPECT_EQ(pool_.Get(kBrokenPng), nullptr);
  EXPECT_EQ(loader_.reads, 3);  // each miss is read again
}

TEST_F(PngPoolTest, ReloadReplacesTheEntryAndKeepsItWhenReloadingFails) {
  std::shared_ptr<KxMiniUIBitmap> first = pool_.Get(kStripPng);
  std::shared_ptr<KxMiniUIBitmap> second = pool_.Reload(kStripPng);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(pool_.Get(kStripPng), second);
  EXPECT_EQ(pool_.Reload(kBrokenPng), nullptr);
  EXPECT_EQ(pool_.Count(), 1u);
  pool_.Clear();
  EXPECT_EQ(pool_.Count(), 0u);
}

TEST_F(PngPoolTest, RawBytesComeFromThePngResource) {
  std::string bytes;
  ASSERT_TRUE(pool_.LoadBytes(kTilePng, bytes));
  std::string file;
  ASSERT_TRUE(ReadFileBytes(TestsSourceDir() + L"\\miniui\\core\\data\\tile.png", file));
  EXPECT_EQ(bytes, file);
}

TEST_F(PngPoolTest, WithoutARenderFactoryNothingDecodes) {
  pool_.SetRenderFactory(nullptr);
  EXPECT_EQ(pool_.CreateBitmap(), nullptr);
  EXPECT_EQ(pool_.Get(kSmallPng), nullptr);
  EXPECT_EQ(pool_.Count(), 0u);
}

TEST(BmpPool, BitmapsAreLoadedOnceAndKept) {
  KxMiniUIResourceLoader loader;
  KxMiniUIBmpPool pool(loader);
  HBITMAP bitmap = pool.Get(301);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(pool.Get(301), bitmap);
  EXPECT_EQ(pool.Get(302), nullptr);
  EXPECT_EQ(pool.Count(), 1u);
  pool.Clear();
  EXPECT_EQ(pool.Count(), 0u);
  BITMAP info{};
  EXPECT_EQ(::GetObjectW(bitmap, sizeof(info), &info), 0) << "the pool deleted its bitmap";
}

}  // namespace
}  // namespace zelk::test
