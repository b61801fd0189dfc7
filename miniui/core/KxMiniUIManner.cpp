#include "miniui/core/KxMiniUIManner.h"

#include "miniui/core/KxMiniUIResourceManager.h"

namespace {

std::unique_ptr<KxMiniUIManner>& TheInstance() {
  static std::unique_ptr<KxMiniUIManner> instance;
  return instance;
}

}  // namespace

KxMiniUIManner::KxMiniUIManner(KxMiniUIResourceLoader& loader)
    : stylePool_(std::make_unique<KxMiniUIStylePool>(loader)),
      skinPool_(std::make_unique<KxMiniUISkinPool>(loader)) {}

KxMiniUIManner::~KxMiniUIManner() {
  stylePool_.reset();
  skinPool_.reset();
}

KxMiniUIStylePool* KxMiniUIManner::GetStylePool() { return stylePool_.get(); }

KxMiniUISkinPool* KxMiniUIManner::GetSkinPool() { return skinPool_.get(); }

void KxMiniUIManner::ReloadSkinsAndStyles(UINT skinsId, UINT styleId) {
  if (skinsId != 0) skinPool_->Refresh(skinsId);
  if (styleId != 0) stylePool_->Load(styleId);
}

KxMiniUIManner* KxMiniUIManner::Create() {
  auto& instance = TheInstance();
  instance.reset();
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  if (resources == nullptr) return nullptr;
  instance = std::make_unique<KxMiniUIManner>(*resources->GetResourceLoader());
  return instance.get();
}

KxMiniUIManner* KxMiniUIManner::Instance() { return TheInstance().get(); }

void KxMiniUIManner::Destroy() { TheInstance().reset(); }
