// GDI bitmap resources by id, loaded on first request and deleted when the
// pool is cleared.
#pragma once

#include <windows.h>

#include <map>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUIResourceLoader;

class KxMiniUIBmpPool {
 public:
  explicit KxMiniUIBmpPool(KxMiniUIResourceLoader& loader);
  KxMiniUIBmpPool(const KxMiniUIBmpPool&) = delete;
  KxMiniUIBmpPool& operator=(const KxMiniUIBmpPool&) = delete;

  virtual void Clear();
  // The pool keeps the bitmap; none when the resource is missing.
  virtual HBITMAP Get(UINT id);
  virtual size_t Count();
  virtual ~KxMiniUIBmpPool();

 private:
  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  std::map<UINT, Kx::ScopedGdiObject<HBITMAP>> bitmaps_;
};
