// GIF skins ("gifskin", and "gifskin-d" that decodes frames on demand),
// read from "gif" resources and decoded by GDI+.
#pragma once

#include "miniui/core/KxMiniUIAnimatedSkin.h"

class KxMiniUIGifSkin : public KxMiniUIAnimatedSkin {
 public:
  KXMINIUI_DECLARE_TAG("gifskin")
  KxMiniUIGifSkin();

 protected:
  explicit KxMiniUIGifSkin(bool onDemand);
  std::unique_ptr<KxMiniUIFrameDecoder> NewDecoder() const override;
  const wchar_t* ResourceType() const override;
};

class KxMiniUIGifSkinDynamic : public KxMiniUIGifSkin {
 public:
  KXMINIUI_DECLARE_TAG("gifskin-d")
  KxMiniUIGifSkinDynamic();
};
