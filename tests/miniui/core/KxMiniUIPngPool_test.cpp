#include "miniui/core/KxMiniUIPngPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>

#include "miniui/core/KxMiniUIBmpPool.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUIResourceLoader.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "base/ScopedHandle.h"
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

TEST_F(PngPoolTest, TheHeaderGivesTheSizeWithoutDecoding) {
  struct Case {
    UINT id;
    bool read;
    LONG width, height;
  };
  const Case cases[] = {
      {kSmallPng, true, 20, 10},
      {kStripPng, true, 128, 8},
      {kNinePng, true, 50, 3},
      {kBrokenPng, false, 0, 0},  // a PNG signature and no header chunk
      {4242, false, 0, 0},        // no such resource
      {0, false, 0, 0},
  };
  for (const Case& c : cases) {
    SIZE size{-1, -1};
    EXPECT_EQ(pool_.HeaderSize(c.id, size), c.read) << c.id;
    if (c.read) {
      EXPECT_EQ(size.cx, c.width) << c.id;
      EXPECT_EQ(size.cy, c.height) << c.id;
    }
  }
  EXPECT_EQ(pool_.Count(), 0u);
}

// The real loader, made to hold its first read until the test lets it go,
// and noting which thread read.
class GatedLoader : public KxMiniUIResourceLoader {
 public:
  GatedLoader() : entered_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
                  open_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  bool LoadResource(UINT id, std::string& buffer, const wchar_t* type) override {
    lastReader = ::GetCurrentThreadId();
    if (++reads == 1) {
      ::SetEvent(entered_.Get());
      ::WaitForSingleObject(open_.Get(), kGateLimitMs);
    }
    return KxMiniUIResourceLoader::LoadResource(id, buffer, type);
  }

  bool WaitUntilEntered() { return ::WaitForSingleObject(entered_.Get(), kGateLimitMs) == WAIT_OBJECT_0; }
  void Open() { ::SetEvent(open_.Get()); }

  std::atomic<int> reads{0};
  std::atomic<DWORD> lastReader{0};

 private:
  static constexpr DWORD kGateLimitMs = 10000;
  Kx::ScopedHandle entered_;
  Kx::ScopedHandle open_;
};

// Runs `work` on a thread of its own and tells whether it has returned.
class Bystander {
 public:
  template <typename Work>
  explicit Bystander(Work work) : work_(std::move(work)) {
    thread_.Reset(::CreateThread(nullptr, 0, &Bystander::Run, this, 0, nullptr));
  }
  bool Finished() const { return finished_; }
  bool Join() { return thread_ && ::WaitForSingleObject(thread_.Get(), 10000) == WAIT_OBJECT_0; }

 private:
  static DWORD WINAPI Run(void* self) {
    auto* bystander = static_cast<Bystander*>(self);
    bystander->work_();
    bystander->finished_ = true;
    return 0;
  }

  std::function<void()> work_;
  std::atomic<bool> finished_{false};
  Kx::ScopedHandle thread_;
};

constexpr DWORD kStillBlockedMs = 200;

class PngPoolPrefetchTest : public ::testing::Test {
 protected:
  PngPoolPrefetchTest() : pool_(std::make_unique<KxMiniUIPngPool>(loader_)) { pool_->SetRenderFactory(&factory_); }

  KxMiniUIRenderFactoryGdip factory_;
  GatedLoader loader_;
  std::unique_ptr<KxMiniUIPngPool> pool_;
};

TEST_F(PngPoolPrefetchTest, APrefetchedPictureIsDecodedOnThePoolsThreadAndOnlyOnce) {
  loader_.Open();
  pool_->Prefetch(kSmallPng);
  pool_->Prefetch(kSmallPng);  // already queued
  ASSERT_TRUE(loader_.WaitUntilEntered());
  for (int waited = 0; pool_->Count() == 0 && waited < 10000; waited += 10) ::Sleep(10);
  ASSERT_EQ(pool_->Count(), 1u);
  EXPECT_NE(loader_.lastReader, ::GetCurrentThreadId());
  const std::shared_ptr<KxMiniUIBitmap> bitmap = pool_->Get(kSmallPng);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(bitmap->Width(), 20);
  pool_->Prefetch(kSmallPng);  // cached
  EXPECT_EQ(pool_->Get(kSmallPng), bitmap);
  EXPECT_EQ(loader_.reads, 1);
}

TEST_F(PngPoolPrefetchTest, AGetWaitsForTheDecodeUnderWayInsteadOfDecodingAgain) {
  pool_->Prefetch(kStripPng);
  ASSERT_TRUE(loader_.WaitUntilEntered());
  std::shared_ptr<KxMiniUIBitmap> got;
  Bystander getter([&] { got = pool_->Get(kStripPng); });
  ::Sleep(kStillBlockedMs);
  EXPECT_FALSE(getter.Finished()) << "the Get did not wait for the decode";
  // Another picture does not wait for that one.
  EXPECT_NE(pool_->Get(kSmallPng), nullptr);
  loader_.Open();
  ASSERT_TRUE(getter.Join());
  ASSERT_NE(got, nullptr);
  EXPECT_EQ(got->Width(), 128);
  EXPECT_EQ(pool_->Get(kStripPng), got);
  EXPECT_EQ(loader_.reads, 2);  // the strip once, the small picture once
}

TEST_F(PngPoolPrefetchTest, DestroyingThePoolWaitsForItsThreadAndDropsWhatIsQueued) {
  pool_->Prefetch(kStripPng);
  pool_->Prefetch(kSmallPng);
  pool_->Prefetch(kNinePng);
  ASSERT_TRUE(loader_.WaitUntilEntered());
  Bystander destroyer([&] { pool_.reset(); });
  ::Sleep(kStillBlockedMs);
  EXPECT_FALSE(destroyer.Finished()) << "the pool went while its thread still decoded";
  loader_.Open();
  ASSERT_TRUE(destroyer.Join());
  EXPECT_EQ(loader_.reads, 1);
}

TEST_F(PngPoolPrefetchTest, ClearWaitsForTheDecodeUnderWaySoNothingOutlivesIt) {
  pool_->Prefetch(kStripPng);
  pool_->Prefetch(kSmallPng);
  ASSERT_TRUE(loader_.WaitUntilEntered());
  Bystander clearer([&] { pool_->Clear(); });
  ::Sleep(kStillBlockedMs);
  EXPECT_FALSE(clearer.Finished());
  loader_.Open();
  ASSERT_TRUE(clearer.Join());
  EXPECT_EQ(pool_->Count(), 0u);
  EXPECT_EQ(loader_.reads, 1);
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
