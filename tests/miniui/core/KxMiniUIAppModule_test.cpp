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
    KxMiniUIAppModule::Instance().SetScaleFactor(1.0, false);
    FrameworkWindowTest::TearDown();
  }
};

// What the screen shows of `window` at a client point.
COLORREF ShownAt(HWND window, POINT at) {
  ::ClientToScreen(window, &at);
  return ScreenCapture(RECT{at.x, at.y, at.x + 1, at.y + 1}).At(0, 0);
}

void ClickAtClient(HWND window, POINT at) {
  ::ClientToScreen(window, &at);
  ::SetCursorPos(at.x, at.y);
  PumpFor(100);
  for (const DWORD button : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = button;
    ::SendInput(1, &input, sizeof(input));
    PumpFor(150);
  }
}

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

// At 144 DPI with the layout scale 1.5 the tree is painted 1.5 times as
// large, a picture that carries its own pixels (scaling enabled) pixel for
// pixel, and a click lands on the view painted under it.
TEST_F(AppModuleTest, At144DpiTheTreeIsPaintedAndHitWhereTheLayoutPutsIt) {
  KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  module.SetDpi(144, 144);
  module.SetScaleFactor(1.5, true);
  KxMiniUISimpleWindow window(kDpiLayout);
  const HWND handle = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(handle, nullptr);
  ::ShowWindow(handle, SW_SHOW);
  ::SetForegroundWindow(handle);
  ::UpdateWindow(handle);
  PumpFor(300);

  const struct {
    POINT device;
    COLORREF color;
  } probes[] = {
      {{16, 16}, RGB(255, 0, 0)},      // red 61: layout 10,10 to 50,40, device 15,15 to 75,60
      {{73, 58}, RGB(255, 0, 0)},
      {{77, 62}, RGB(255, 255, 255)},
      {{152, 77}, RGB(0, 0, 255)},     // presstally 63: layout 100,50 to 180,90, device 150,75 to 270,135
      {{268, 133}, RGB(0, 0, 255)},
      {{285, 140}, RGB(255, 255, 255)},
  };
  for (const auto& probe : probes) {
    EXPECT_EQ(ShownAt(handle, probe.device), probe.color) << probe.device.x << "," << probe.device.y;
  }
  // Picture 62 at layout 60,10: its 20 x 10 pixels from device 90,15 on.
  for (const POINT at : {POINT{0, 0}, POINT{7, 3}, POINT{19, 9}, POINT{12, 6}}) {
    const COLORREF shown = ShownAt(handle, POINT{90 + at.x, 15 + at.y});
    const Rgba expected = SmallPixel(at.x, at.y);
    EXPECT_NEAR(GetRValue(shown), expected.r, 2) << at.x << "," << at.y;
    EXPECT_NEAR(GetGValue(shown), expected.g, 2) << at.x << "," << at.y;
    EXPECT_NEAR(GetBValue(shown), expected.b, 2) << at.x << "," << at.y;
  }

  auto* press = dynamic_cast<PressTallyView*>(window.GetRootView()->FindViewById(63));
  ASSERT_NE(press, nullptr);
  ClickAtClient(handle, POINT{262, 128});  // inside what is painted blue, beyond its layout numbers
  EXPECT_EQ(press->ups, 1);
  EXPECT_EQ(press->lastUpPoint.x, ::MulDiv(262, 100, 150) - 100);
  EXPECT_EQ(press->lastUpPoint.y, ::MulDiv(128, 100, 150) - 50);
  ClickAtClient(handle, POINT{140, 70});   // white beside it
  EXPECT_EQ(press->ups, 1);
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
