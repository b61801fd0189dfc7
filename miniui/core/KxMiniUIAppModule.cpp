#include "miniui/core/KxMiniUIAppModule.h"

#include <algorithm>

#include "base/SystemInfo.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIScaling.h"
#include "miniui/core/KxMiniUIRenderFactoryGdip.h"
#include "miniui/core/KxMiniUITimerService.h"

KxMiniUIAppModule& KxMiniUIAppModule::Instance() {
  static KxMiniUIAppModule module;
  return module;
}

KxMiniUIAppModule::KxMiniUIAppModule() : resourceInstance_(::GetModuleHandleW(nullptr)) {}

KxMiniUIAppModule::~KxMiniUIAppModule() = default;

bool KxMiniUIAppModule::Startup(HMODULE resourceInstance, std::unique_ptr<KxMiniUIRenderFactory> factory) {
  if (factory && factory->Initialize()) SetRenderFactory(std::move(factory));
  SetResourceInstance(resourceInstance);
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Create();
  resources->GetResourceLoader()->SetApplicationInstance(GetResourceInstance());
  if (KxMiniUIManner::Instance() == nullptr) KxMiniUIManner::Create();
  KxMiniUITimerService::Start();
  if (!renderFactory_) SetRenderFactory(std::make_unique<KxMiniUIRenderFactoryGdip>());
  if (!gifDecoder_) gifDecoder_ = std::make_unique<KxMiniUIGifDecoder>();
  resources->GetPngPool()->SetRenderFactory(renderFactory_.get());
  return true;
}

void KxMiniUIAppModule::ChooseDefaultFont() {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  if (resources == nullptr) return;
  OSVERSIONINFOW version{};
  const bool old = Kx::GetOsVersion(version) && version.dwMajorVersion < 6;
  resources->GetFontPool()->SetDefaultFont(old ? L"宋体" : L"Microsoft Yahei", -12);
}

bool KxMiniUIAppModule::LoadStandardDocuments(UINT stringsId, UINT stylesId, UINT skinsId) {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  KxMiniUIManner* manner = KxMiniUIManner::Instance();
  if (resources == nullptr || manner == nullptr) return false;
  const bool strings = resources->GetStringPool()->Load(stringsId);
  const bool styles = manner->GetStylePool()->Load(stylesId);
  const bool skins = manner->GetSkinPool()->Load(skinsId);
  return strings && styles && skins;
}

void KxMiniUIAppModule::Shutdown() {
  KxMiniUITimerService::Stop();
  // The pools hold GDI+ pictures, fonts and brushes: they go with the
  // framework, before its owner shuts GDI+ down.
  KxMiniUIManner::Destroy();
  KxMiniUIResourceManager::Destroy();
  gifDecoder_.reset();
  renderFactory_.reset();
}

HMODULE KxMiniUIAppModule::GetResourceInstance() const { return resourceInstance_; }

void KxMiniUIAppModule::SetResourceInstance(HMODULE instance) {
  resourceInstance_ = instance != nullptr ? instance : ::GetModuleHandleW(nullptr);
}

void KxMiniUIAppModule::SetRenderFactory(std::unique_ptr<KxMiniUIRenderFactory> factory) {
  renderFactory_ = std::move(factory);
  if (KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance()) {
    resources->GetPngPool()->SetRenderFactory(renderFactory_.get());
  }
}

void KxMiniUIAppModule::AddWindow(KxMiniUIWindow* window) {
  KxMiniUIAutoLock lock(lock_);
  if (window != nullptr && std::find(windows_.begin(), windows_.end(), window) == windows_.end()) {
    windows_.push_back(window);
  }
}

void KxMiniUIAppModule::RemoveWindow(KxMiniUIWindow* window) {
  KxMiniUIAutoLock lock(lock_);
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

bool KxMiniUIAppModule::HasWindow(const KxMiniUIWindow* window) {
  KxMiniUIAutoLock lock(lock_);
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

size_t KxMiniUIAppModule::WindowCount() {
  KxMiniUIAutoLock lock(lock_);
  return windows_.size();
}

bool KxMiniUIAppModule::AddMessageLoop(KxMiniUIMessageLoop* loop) {
  KxMiniUIAutoLock lock(lock_);
  return loop != nullptr && loops_.emplace(::GetCurrentThreadId(), loop).second;
}

void KxMiniUIAppModule::RemoveMessageLoop() {
  KxMiniUIAutoLock lock(lock_);
  loops_.erase(::GetCurrentThreadId());
}

KxMiniUIMessageLoop* KxMiniUIAppModule::GetMessageLoop(DWORD threadId) {
  KxMiniUIAutoLock lock(lock_);
  auto found = loops_.find(threadId);
  return found != loops_.end() ? found->second : nullptr;
}

void KxMiniUIAppModule::SetDpi(int dpi, int secondDpi) {
  dpi_ = dpi > 0 ? dpi : kDefaultDpi;
  secondDpi_ = secondDpi > 0 ? secondDpi : kDefaultDpi;
}

void KxMiniUIAppModule::SetScaleFactor(double factor, bool enabled) {
  scaleFactor_ = factor > 0.0 ? factor : 1.0;
  scalingEnabled_ = enabled;
  KxMiniUIScaling::Set(scaleFactor_, scalingEnabled_);
}

int KxMiniUIAppModule::ScalePercent() const { return ::MulDiv(dpi_, 100, kDefaultDpi); }

int KxMiniUIAppModule::ScaleToDevice(int n) const {
  return dpi_ == kDefaultDpi ? n : ::MulDiv(n, ScalePercent(), 100);
}

int KxMiniUIAppModule::ScaleFromDevice(int n) const {
  return dpi_ == kDefaultDpi ? n : ::MulDiv(n, 100, ScalePercent());
}
