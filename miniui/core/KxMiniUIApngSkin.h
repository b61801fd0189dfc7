// Animated PNG skins ("apng", and "apng-d" that decodes frames on demand),
// read from "png" resources.
#pragma once

#include "miniui/core/KxMiniUIAnimatedSkin.h"

class KxMiniUIApngSkin : public KxMiniUIAnimatedSkin {
 public:
  KXMINIUI_DECLARE_TAG("apng")
  KxMiniUIApngSkin();

 protected:
  explicit KxMiniUIApngSkin(bool onDemand);
  std::unique_ptr<KxMiniUIFrameDecoder> NewDecoder() const override;
  const wchar_t* ResourceType() const override;
};

class KxMiniUIApngSkinDynamic : public KxMiniUIApngSkin {
 public:
  KXMINIUI_DECLARE_TAG("apng-d")
  KxMiniUIApngSkinDynamic();
};
