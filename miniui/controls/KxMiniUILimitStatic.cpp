#include "miniui/controls/KxMiniUILimitStatic.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUILimitStatic);

HRESULT KxMiniUILimitStatic::SetAttribute(const char* name, const char* value, bool notify) {
  using KxMiniUIText::NamesEqual;
  if (NamesEqual(name, "limittype")) {
    if (NamesEqual(value, "path")) {
      limitType_ = kLimitPath;
      SetTrimming(kTrimPath);
    } else if (NamesEqual(value, "common")) {
      limitType_ = kLimitCommon;
      SetTrimming(kTrimEllipsisChar);
    } else {
      return kAttrRejected;
    }
    return kAttrChanged;
  }
  if (NamesEqual(name, "EnableLineAlign")) {
    lineAlign_ = KxMiniUIValue::Boolean(value);
    return kAttrTaken;
  }
  return KxMiniUITextView::SetAttribute(name, value, notify);
}
