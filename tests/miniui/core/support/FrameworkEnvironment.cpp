// GDI+ and the process's framework singletons (resource manager with its
// picture pool, UI manner) for the whole test program. Every test program
// that draws through the framework links this file once.
#include <windows.h>

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <memory>

#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUIResourceManager.h"

namespace zelk::test {
namespace {

class FrameworkEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    factory_ = std::make_unique<KxMiniUIRenderFactoryGdip>();
    KxMiniUIResourceManager::Create()->GetPngPool()->SetRenderFactory(factory_.get());
    KxMiniUIManner::Create();
  }

  void TearDown() override {
    // Everything holding GDI+ objects goes before GDI+ itself.
    KxMiniUIManner::Destroy();
    KxMiniUIResourceManager::Destroy();
    factory_.reset();
    Gdiplus::GdiplusShutdown(token_);
  }

 private:
  ULONG_PTR token_ = 0;
  std::unique_ptr<KxMiniUIRenderFactoryGdip> factory_;
};

::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace
}  // namespace zelk::test
