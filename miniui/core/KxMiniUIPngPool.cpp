#include "miniui/core/KxMiniUIPngPool.h"

#include "miniui/core/KxMiniUIRenderFactory.h"
#include "miniui/core/KxMiniUIResourceLoader.h"

KxMiniUIPngPool::KxMiniUIPngPool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUIPngPool::~KxMiniUIPngPool() = default;

void KxMiniUIPngPool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  bitmaps_.clear();
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Decode(UINT id) {
  std::string bytes;
  if (!LoadBytes(id, bytes)) return nullptr;
  std::shared_ptr<KxMiniUIBitmap> bitmap = CreateBitmap();
  if (!bitmap || !bitmap->LoadFromMemory(bytes.data(), bytes.size())) return nullptr;
  return bitmap;
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Get(UINT id) {
  if (id == 0) return nullptr;
  KxMiniUIAutoLock guard(lock_);
  auto found = bitmaps_.find(id);
  if (found != bitmaps_.end()) return found->second;
  std::shared_ptr<KxMiniUIBitmap> bitmap = Decode(id);
  if (bitmap) bitmaps_.emplace(id, bitmap);
  return bitmap;
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Reload(UINT id) {
  if (id == 0) return nullptr;
  KxMiniUIAutoLock guard(lock_);
  std::shared_ptr<KxMiniUIBitmap> bitmap = Decode(id);
  if (bitmap) bitmaps_[id] = bitmap;
  return bitmap;
}

bool KxMiniUIPngPool::LoadBytes(UINT id, std::string& buffer) {
  return loader_.LoadResource(id, buffer, L"png");
}

size_t KxMiniUIPngPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return bitmaps_.size();
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::CreateBitmap() {
  KxMiniUIAutoLock guard(lock_);
  return factory_ ? factory_->CreateBitmap() : nullptr;
}

void KxMiniUIPngPool::SetRenderFactory(KxMiniUIRenderFactory* factory) {
  KxMiniUIAutoLock guard(lock_);
  factory_ = factory;
}
