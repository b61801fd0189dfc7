#include "miniui/core/KxMiniUISCrollBarSkin.h"

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIValue.h"

KXMINIUI_REGISTER_CLASS(KxMiniUISCrollBarSkin);

HRESULT KxMiniUISCrollBarSkin::SetAttribute(const char* name, const char* value, bool notify) {
  KxMiniUIAutoLock guard(Lock());
  const struct {
    const char* name;
    int KxMiniUISCrollBarSkin::*field;
  } kFields[] = {{"sbwidth", &KxMiniUISCrollBarSkin::barWidth_},
                 {"thumb-len", &KxMiniUISCrollBarSkin::thumbLength_},
                 {"thumb-marginx", &KxMiniUISCrollBarSkin::thumbMarginX_},
                 {"thumb-marginy", &KxMiniUISCrollBarSkin::thumbMarginY_}};
  for (const auto& field : kFields) {
    if (KxMiniUIText::NamesEqual(name, field.name)) {
      this->*field.field = static_cast<int>(KxMiniUIValue::Number(value));
      return kAttrTaken;
    }
  }
  return KxMiniUIPngSkin::SetAttribute(name, value, notify);
}

int KxMiniUISCrollBarSkin::BarWidth() {
  KxMiniUIAutoLock guard(Lock());
  return barWidth_;
}

int KxMiniUISCrollBarSkin::ThumbLength() {
  KxMiniUIAutoLock guard(Lock());
  return thumbLength_;
}

int KxMiniUISCrollBarSkin::ThumbMarginX() {
  KxMiniUIAutoLock guard(Lock());
  return thumbMarginX_;
}

int KxMiniUISCrollBarSkin::ThumbMarginY() {
  KxMiniUIAutoLock guard(Lock());
  return thumbMarginY_;
}
