// Set-up shared by the framework window tests: the application module with
// a render factory, the timer service, the common controls, the test
// program's window resources, message pumping, and reading the screen.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUITimerService.h"
#include "miniui/core/KxMiniUIView.h"
#include "tests/miniui/core/support/CoreTestSupport.h"
#include "tests/support/ScreenCapture.h"

namespace zelk::test {

// Layouts and pictures of data/window/window_tests.rc.
constexpr UINT kBasicLayout = 140;      // 300 x 200: red 11, blue tally 12, green tally 13
constexpr UINT kLayeredLayout = 141;    // 200 x 120, "layer" 1: half-transparent tally 21, tally 22
constexpr UINT kShadowLayout = 142;     // 160 x 100, shadow margins 8 from picture 209
constexpr UINT kSecondLayout = 143;     // 400 x 150: header 30, testbox 31
constexpr UINT kDragLayout = 144;       // 200 x 100, "defaultdrag": plain view 51, presstally 52
constexpr UINT kDialogLayout = 145;     // 240 x 130, title "KxDialogTest"
constexpr UINT kStyleUpdateDocument = 146;
constexpr UINT kOrdinaryLayout = 147;   // as 141 with "layer" 0 and opaque colours
constexpr UINT kResizableLayout = 148;  // 260 x 180, sizing band 6, minimum 200 x 120, shadow sizing border 5; hand-cursor panel 81
constexpr UINT kTabsLayout = 149;       // views 91, 92, 93 with "tabstop" 3, 1, 2; 94 with 0
constexpr UINT kDpiLayout = 150;        // 200 x 100: red 61, picture "small" 62, presstally 63
constexpr UINT kShadowPng = 209;        // 24 x 24, margins 8

// "painttally": a plain view that counts its paints.
class PaintTallyView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("painttally")

  void Paint(KxMiniUIRendTarget& canvas) override {
    ++paints;
    KxMiniUIView::Paint(canvas);
  }

  int paints = 0;
};

// "presstally": a view that takes every press and counts downs and ups.
class PressTallyView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("presstally")

  bool OnMouseDown(UINT, POINT, bool) override {
    ++downs;
    return true;
  }
  bool OnMouseUp(UINT flags, POINT point, UINT) override {
    ++ups;
    lastUpFlags = flags;
    lastUpPoint = point;
    return true;
  }

  int downs = 0;
  int ups = 0;
  UINT lastUpFlags = 0;
  POINT lastUpPoint{0, 0};
};

inline RECT WindowRectOf(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  return rect;
}

inline RECT DesktopWorkArea() {
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// The framework as an application starts it, minus what CoreResourcesTest
// already did: the module's render factory, the timer service and the
// common controls (the tooltip control).
class FrameworkWindowTest : public CoreResourcesTest {
 protected:
  void SetUp() override {
    CoreResourcesTest::SetUp();
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
    if (module.GetRenderFactory() == nullptr) module.SetRenderFactory(std::make_unique<KxMiniUIRenderFactoryGdip>());
    ASSERT_TRUE(KxMiniUITimerService::Start());
  }

  void TearDown() override {
    KxMiniUITimerService::Stop();
    PumpMessages();
  }
};

}  // namespace zelk::test
