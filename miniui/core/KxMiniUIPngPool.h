// Decoded PNG resources by id, loaded on first use and kept until cleared.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUIRenderFactory;
class KxMiniUIResourceLoader;

class KxMiniUIPngPool {
 public:
  explicit KxMiniUIPngPool(KxMiniUIResourceLoader& loader);
  KxMiniUIPngPool(const KxMiniUIPngPool&) = delete;
  KxMiniUIPngPool& operator=(const KxMiniUIPngPool&) = delete;

  virtual void Clear();
  // The cached picture, else loaded, decoded and cached; none when the
  // resource is missing or does not decode (nothing is cached then).
  virtual std::shared_ptr<KxMiniUIBitmap> Get(UINT id);
  // Loads the picture again and replaces the cached one; on failure the old
  // entry stays and the answer is none.
  virtual std::shared_ptr<KxMiniUIBitmap> Reload(UINT id);
  // The raw bytes of "png" resource `id`.
  virtual bool LoadBytes(UINT id, std::string& buffer);
  virtual size_t Count();
  // An empty bitmap from the render factory; none without a factory.
  virtual std::shared_ptr<KxMiniUIBitmap> CreateBitmap();
  virtual void SetRenderFactory(KxMiniUIRenderFactory* factory);
  virtual ~KxMiniUIPngPool();

 private:
  std::shared_ptr<KxMiniUIBitmap> Decode(UINT id);

  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  KxMiniUIRenderFactory* factory_ = nullptr;
  std::map<UINT, std::shared_ptr<KxMiniUIBitmap>> bitmaps_;
};
