#include "miniui/core/KxMiniUIExtraCache.h"

KxMiniUIExtraCache::KxMiniUIExtraCache() = default;
KxMiniUIExtraCache::~KxMiniUIExtraCache() = default;

std::shared_ptr<KxMiniUIBitmap> KxMiniUIExtraCache::Get(const std::wstring& key) {
  KxMiniUIAutoLock guard(lock_);
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : found->second;
}

void KxMiniUIExtraCache::Put(const std::wstring& key, std::shared_ptr<KxMiniUIBitmap> bitmap) {
  KxMiniUIAutoLock guard(lock_);
  if (bitmap) {
    entries_[key] = std::move(bitmap);
  } else {
    entries_.erase(key);
  }
}

void KxMiniUIExtraCache::Clear() {
  KxMiniUIAutoLock guard(lock_);
  entries_.clear();
}

size_t KxMiniUIExtraCache::Count() {
  KxMiniUIAutoLock guard(lock_);
  return entries_.size();
}
