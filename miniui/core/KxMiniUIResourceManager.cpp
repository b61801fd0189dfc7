#include "miniui/core/KxMiniUIResourceManager.h"

namespace {

std::unique_ptr<KxMiniUIResourceManager>& TheInstance() {
  static std::unique_ptr<KxMiniUIResourceManager> instance;
  return instance;
}

}  // namespace

KxMiniUIResourceManager::KxMiniUIResourceManager()
    : loader_(std::make_unique<KxMiniUIResourceLoader>()),
      bmpPool_(std::make_unique<KxMiniUIBmpPool>(*loader_)),
      pngPool_(std::make_unique<KxMiniUIPngPool>(*loader_)),
      fontPool_(std::make_unique<KxMiniUIFontPool>()),
      stringPool_(std::make_unique<KxMiniUIStringPool>(*loader_)),
      extraCache_(std::make_unique<KxMiniUIExtraCache>()) {}

KxMiniUIResourceManager::~KxMiniUIResourceManager() {
  // The pools go first, in the order they are listed, then the loader they read through.
  bmpPool_.reset();
  pngPool_.reset();
  fontPool_.reset();
  stringPool_.reset();
  loader_.reset();
  extraCache_.reset();
}

void KxMiniUIResourceManager::ClearCaches() {
  bmpPool_->Clear();
  pngPool_->Clear();
  stringPool_->Clear();
}

KxMiniUIBmpPool* KxMiniUIResourceManager::GetBmpPool() { return bmpPool_.get(); }
KxMiniUIPngPool* KxMiniUIResourceManager::GetPngPool() { return pngPool_.get(); }
KxMiniUIFontPool* KxMiniUIResourceManager::GetFontPool() { return fontPool_.get(); }
KxMiniUIStringPool* KxMiniUIResourceManager::GetStringPool() { return stringPool_.get(); }
KxMiniUIResourceLoader* KxMiniUIResourceManager::GetResourceLoader() { return loader_.get(); }
KxMiniUIExtraCache* KxMiniUIResourceManager::GetExtraCache() { return extraCache_.get(); }

KxMiniUIResourceManager* KxMiniUIResourceManager::Create() {
  auto& instance = TheInstance();
  if (!instance) instance = std::make_unique<KxMiniUIResourceManager>();
  return instance.get();
}

KxMiniUIResourceManager* KxMiniUIResourceManager::Instance() { return TheInstance().get(); }

void KxMiniUIResourceManager::Destroy() { TheInstance().reset(); }
