// The process's UI manner: the style classes and the skins.
#pragma once

#include <windows.h>

#include <memory>

#include "miniui/core/KxMiniUISkinPool.h"
#include "miniui/core/KxMiniUIStylePool.h"

class KxMiniUIResourceLoader;

class KxMiniUIManner {
 public:
  explicit KxMiniUIManner(KxMiniUIResourceLoader& loader);
  KxMiniUIManner(const KxMiniUIManner&) = delete;
  KxMiniUIManner& operator=(const KxMiniUIManner&) = delete;

  virtual KxMiniUIStylePool* GetStylePool();
  virtual KxMiniUISkinPool* GetSkinPool();
  // Refreshes the skins from `skinsId` and reloads the styles from
  // `styleId`; a zero id leaves that pool alone.
  virtual void ReloadSkinsAndStyles(UINT skinsId, UINT styleId);
  virtual ~KxMiniUIManner();

  // The process's manner, reading through the resource manager's loader
  // (none before the resource manager exists). Creating it again first
  // destroys the existing one. Destroy it before GDI+ is shut down.
  static KxMiniUIManner* Create();
  static KxMiniUIManner* Instance();
  static void Destroy();

 private:
  std::unique_ptr<KxMiniUIStylePool> stylePool_;
  std::unique_ptr<KxMiniUISkinPool> skinPool_;
};
