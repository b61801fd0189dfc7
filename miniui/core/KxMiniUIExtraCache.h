// A keyed cache of bitmaps that views may share by name (a picture built at
// run time, for instance), kept by the resource manager beside its pools.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUIExtraCache {
 public:
  KxMiniUIExtraCache();
  KxMiniUIExtraCache(const KxMiniUIExtraCache&) = delete;
  KxMiniUIExtraCache& operator=(const KxMiniUIExtraCache&) = delete;

  virtual std::shared_ptr<KxMiniUIBitmap> Get(const std::wstring& key);
  // Stores `bitmap` under `key`, replacing what was there; none removes it.
  virtual void Put(const std::wstring& key, std::shared_ptr<KxMiniUIBitmap> bitmap);
  virtual void Clear();
  virtual size_t Count();
  virtual ~KxMiniUIExtraCache();

 private:
  KxMiniUICriticalSection lock_;
  std::map<std::wstring, std::shared_ptr<KxMiniUIBitmap>> entries_;
};
