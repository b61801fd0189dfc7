// The framework's application module: one per process. It knows where the
// resources come from, owns the render factory and the GIF decoder, keeps
// the live framework windows and each UI thread's message loop, and holds
// the DPI and layout scale every window is sized with.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "miniui/core/KxMiniUIGifDecoder.h"
#include "miniui/core/KxMiniUILock.h"
#include "miniui/core/KxMiniUIMessageLoop.h"
#include "miniui/core/KxMiniUIRenderFactory.h"

class KxMiniUIWindow;

class KxMiniUIAppModule {
 public:
  static constexpr int kDefaultDpi = 96;

  // Created on first use, destroyed at process exit.
  static KxMiniUIAppModule& Instance();

  // Framework start-up on the UI thread, in its fixed order: the render
  // factory and the resource instance, then the resource manager, the UI
  // manner, the timer service, the GIF decoder, and the factory handed to
  // the picture pool. A null factory keeps the one already given.
  bool Startup(HMODULE resourceInstance, std::unique_ptr<KxMiniUIRenderFactory> factory);
  // "宋体" before Windows 6, "Microsoft Yahei" from then on; height -12.
  void ChooseDefaultFont();
  // Strings, style classes, then skins; false when any of them fails.
  bool LoadStandardDocuments(UINT stringsId, UINT stylesId, UINT skinsId);
  // Stops the timer service and releases the UI manner, the resource
  // manager with its pools, the decoder and the factory; call it after the
  // last window is gone and before GDI+ is shut down.
  void Shutdown();

  HMODULE GetResourceInstance() const;
  void SetResourceInstance(HMODULE instance);
  KxMiniUIRenderFactory* GetRenderFactory() const { return renderFactory_.get(); }
  void SetRenderFactory(std::unique_ptr<KxMiniUIRenderFactory> factory);
  KxMiniUIGifDecoder* GetGifDecoder() const { return gifDecoder_.get(); }

  // --- Live framework windows.
  void AddWindow(KxMiniUIWindow* window);
  void RemoveWindow(KxMiniUIWindow* window);
  bool HasWindow(const KxMiniUIWindow* window);
  size_t WindowCount();

  // --- One message loop per UI thread (not owned).
  bool AddMessageLoop(KxMiniUIMessageLoop* loop);
  void RemoveMessageLoop();
  KxMiniUIMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

  // --- DPI and layout scale. Layout numbers are 96-DPI pixels.
  int GetDpi() const { return dpi_; }
  void SetDpi(int dpi, int secondDpi);
  int GetSecondDpi() const { return secondDpi_; }
  double GetScaleFactor() const { return scaleFactor_; }
  bool IsScalingEnabled() const { return scalingEnabled_; }
  void SetScaleFactor(double factor, bool enabled);
  // n at 96 DPI; otherwise n scaled by the DPI rounded to whole percent.
  int ScaleToDevice(int n) const;
  int ScaleFromDevice(int n) const;
  // The DPI as whole percent of 96 (100 at 96 DPI).
  int ScalePercent() const;

 private:
  KxMiniUIAppModule();
  ~KxMiniUIAppModule();
  KxMiniUIAppModule(const KxMiniUIAppModule&) = delete;
  KxMiniUIAppModule& operator=(const KxMiniUIAppModule&) = delete;

  KxMiniUICriticalSection lock_;
  std::map<DWORD, KxMiniUIMessageLoop*> loops_;
  std::vector<KxMiniUIWindow*> windows_;
  HMODULE resourceInstance_;
  std::unique_ptr<KxMiniUIRenderFactory> renderFactory_;
  std::unique_ptr<KxMiniUIGifDecoder> gifDecoder_;
  int dpi_ = kDefaultDpi;
  int secondDpi_ = kDefaultDpi;
  double scaleFactor_ = 1.0;
  bool scalingEnabled_ = false;
};
