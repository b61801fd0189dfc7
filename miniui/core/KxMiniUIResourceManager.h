// The process's resource manager: the resource loader and the pools of
// pictures, GDI bitmaps, fonts and strings read through it.
#pragma once

#include <memory>

#include "miniui/core/KxMiniUIBmpPool.h"
#include "miniui/core/KxMiniUIExtraCache.h"
#include "miniui/core/KxMiniUIFontPool.h"
#include "miniui/core/KxMiniUIPngPool.h"
#include "miniui/core/KxMiniUIResourceLoader.h"
#include "miniui/core/KxMiniUIStringPool.h"

class KxMiniUIResourceManager {
 public:
  KxMiniUIResourceManager();
  KxMiniUIResourceManager(const KxMiniUIResourceManager&) = delete;
  KxMiniUIResourceManager& operator=(const KxMiniUIResourceManager&) = delete;

  // Empties the bitmap, PNG and string pools.
  virtual void ClearCaches();
  virtual KxMiniUIBmpPool* GetBmpPool();
  virtual KxMiniUIPngPool* GetPngPool();
  virtual KxMiniUIFontPool* GetFontPool();
  virtual KxMiniUIStringPool* GetStringPool();
  virtual KxMiniUIResourceLoader* GetResourceLoader();
  virtual KxMiniUIExtraCache* GetExtraCache();
  virtual ~KxMiniUIResourceManager();

  // The process's instance: Create makes it once (a second call answers the
  // existing one). Destroy releases it and every picture it holds; call it
  // before GDI+ is shut down, since the pools hold GDI+ bitmaps.
  static KxMiniUIResourceManager* Create();
  static KxMiniUIResourceManager* Instance();
  static void Destroy();

 private:
  std::unique_ptr<KxMiniUIResourceLoader> loader_;
  std::unique_ptr<KxMiniUIBmpPool> bmpPool_;
  std::unique_ptr<KxMiniUIPngPool> pngPool_;
  std::unique_ptr<KxMiniUIFontPool> fontPool_;
  std::unique_ptr<KxMiniUIStringPool> stringPool_;
  std::unique_ptr<KxMiniUIExtraCache> extraCache_;
};
