#include "miniui/core/KxMiniUIApngSkin.h"

#include "miniui/core/KxMiniUIApngDecoder.h"
#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIApngSkin);
KXMINIUI_REGISTER_CLASS(KxMiniUIApngSkinDynamic);

KxMiniUIApngSkin::KxMiniUIApngSkin() : KxMiniUIApngSkin(false) {}

KxMiniUIApngSkin::KxMiniUIApngSkin(bool onDemand) : KxMiniUIAnimatedSkin(onDemand) {}

std::unique_ptr<KxMiniUIFrameDecoder> KxMiniUIApngSkin::NewDecoder() const {
  return std::make_unique<KxMiniUIApngDecoder>();
}

const wchar_t* KxMiniUIApngSkin::ResourceType() const { return L"png"; }

KxMiniUIApngSkinDynamic::KxMiniUIApngSkinDynamic() : KxMiniUIApngSkin(true) {}
