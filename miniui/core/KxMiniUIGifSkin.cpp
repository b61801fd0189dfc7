#include "miniui/core/KxMiniUIGifSkin.h"

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIGifDecoder.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIGifSkin);
KXMINIUI_REGISTER_CLASS(KxMiniUIGifSkinDynamic);

KxMiniUIGifSkin::KxMiniUIGifSkin() : KxMiniUIGifSkin(false) {}

KxMiniUIGifSkin::KxMiniUIGifSkin(bool onDemand) : KxMiniUIAnimatedSkin(onDemand) {}

std::unique_ptr<KxMiniUIFrameDecoder> KxMiniUIGifSkin::NewDecoder() const {
  return std::make_unique<KxMiniUIGifDecoder>();
}

const wchar_t* KxMiniUIGifSkin::ResourceType() const { return L"gif"; }

KxMiniUIGifSkinDynamic::KxMiniUIGifSkinDynamic() : KxMiniUIGifSkin(true) {}
