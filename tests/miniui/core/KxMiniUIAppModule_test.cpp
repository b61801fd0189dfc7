// The application module: framework start-up and the DPI scaling helpers.
#include <windows.h>

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUISimpleWindow.h"
#include "miniui/core/KxMiniUITimerService.h"
#include "tests/miniui/core/support/WindowTestSupport.h"

namespace zelk::test {
namespace {

class AppModuleTest : public FrameworkWindowTest {
 protected:
  void TearDown() override {
    KxMiniUIAppModule::Instance().SetDpi(96, 96);
    FrameworkWindowTest::TearDown();
  }
};

TEST_F(AppModuleTest, ScalingRoundsTheDpiToWholePercentAndLeaves96Alone) {
  KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  const struct {
    int dpi;
    int layout;
    int device;
  } cases[] = {
      {96, 37, 37},
      {120, 100, 125},
      {144, 100, 150},
      {110, 200, 230},  // 114.58 % rounds to 115 % first
      {192, -20, -40},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    module.SetDpi(c.dpi, c.dpi);
    EXPECT_EQ(module.ScaleToDevice(c.layout), c.device);
    EXPECT_EQ(module.ScaleFromDevice(c.device), c.layout);
  }
}

TEST_F(AppModuleTest, AWindowAtAnotherDpiIsSizedInDevicePixels) {
  KxMiniUIAppModule::Instance().SetDpi(120, 120);
  KxMiniUISimpleWindow window(kBasicLayout);
  ASSERT_NE(window.Create(nullptr, WS_POPUP | WS_SYSMENU), nullptr);
  RECT client{};
  ::GetClientRect(window.GetHwnd(), &client);
  EXPECT_EQ(client.right, 375);
  EXPECT_EQ(client.bottom, 250);
  // The tree keeps its 96-DPI layout numbers.
  EXPECT_EQ(window.GetRootView()->Width(), 300);
  EXPECT_EQ(window.GetRootView()->Height(), 200);
}

TEST_F(AppModuleTest, StartupLeavesEverythingAWindowNeedsInPlace) {
  KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  KxMiniUITimerService::Stop();
  ASSERT_TRUE(module.Startup(::GetModuleHandleW(nullptr), std::make_unique<KxMiniUIRenderFactoryGdip>()));
  EXPECT_EQ(module.GetResourceInstance(), ::GetModuleHandleW(nullptr));
  EXPECT_NE(module.GetRenderFactory(), nullptr);
  EXPECT_NE(module.GetGifDecoder(), nullptr);
  EXPECT_TRUE(KxMiniUITimerService::IsRunning());
  ASSERT_NE(KxMiniUIResourceManager::Instance(), nullptr);
  ASSERT_NE(KxMiniUIManner::Instance(), nullptr);
  // The picture pool decodes through the module's factory.
  Resources().ClearCaches();
  EXPECT_NE(Resources().GetPngPool()->Get(kShadowPng), nullptr);

  module.ChooseDefaultFont();
  std::wstring face;
  int height = 0;
  Resources().GetFontPool()->GetDefaultFont(face, height);
  EXPECT_EQ(face, L"Microsoft Yahei");  // this system reports a version from 6 on
  EXPECT_EQ(height, -12);

  EXPECT_TRUE(module.LoadStandardDocuments(kStringsXml, kStyleXml, kSkinsXml));
  EXPECT_GT(Resources().GetStringPool()->Count(), 0u);
  EXPECT_FALSE(module.LoadStandardDocuments(kStringsXml, kStyleXml, kBrokenXml));
}

}  // namespace
}  // namespace zelk::test
