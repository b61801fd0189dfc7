#include "miniui/core/KxMiniUIBmpPool.h"

#include "miniui/core/KxMiniUIResourceLoader.h"

KxMiniUIBmpPool::KxMiniUIBmpPool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUIBmpPool::~KxMiniUIBmpPool() = default;

void KxMiniUIBmpPool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  bitmaps_.clear();
}

HBITMAP KxMiniUIBmpPool::Get(UINT id) {
  KxMiniUIAutoLock guard(lock_);
  auto found = bitmaps_.find(id);
  if (found != bitmaps_.end()) return found->second.Get();
  HBITMAP bitmap = loader_.LoadBitmap(id);
  if (bitmap != nullptr) bitmaps_[id].Reset(bitmap);
  return bitmap;
}

size_t KxMiniUIBmpPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return bitmaps_.size();
}
