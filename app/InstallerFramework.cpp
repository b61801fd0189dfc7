#include "app/InstallerFramework.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <memory>

#include "base/OleInit.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"

InstallerFramework::InstallerFramework(HMODULE resources) {
  SetErrorMode(SEM_FAILCRITICALERRORS);
  Kx::OleInit();
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = 0xFFFF;
  InitCommonControlsEx(&controls);

  Gdiplus::GdiplusStartupInput input;
  gdiplusStarted_ = Gdiplus::GdiplusStartup(&gdiplusToken_, &input, nullptr) == Gdiplus::Ok;

  KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  module.Startup(resources, std::make_unique<KxMiniUIRenderFactoryGdip>());
  module.ChooseDefaultFont();
  documentsLoaded_ = module.LoadStandardDocuments(kStrings, kStyles, kSkins);
}

InstallerFramework::~InstallerFramework() {
  KxMiniUIAppModule::Instance().Shutdown();
  if (gdiplusStarted_) Gdiplus::GdiplusShutdown(gdiplusToken_);
  Kx::OleUninit();
}
