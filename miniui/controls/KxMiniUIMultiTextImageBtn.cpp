#include "miniui/controls/KxMiniUIMultiTextImageBtn.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMultiTextImageBtn);

HRESULT KxMiniUIMultiTextImageBtn::SetAttribute(const char* name, const char* value, bool notify) {
  static const char* const kNames[] = {"textnormal", "texthover", "textpressed", "textdisabled"};
  for (int state = 0; state < 4; ++state) {
    if (KxMiniUIText::NamesEqual(name, kNames[state])) {
      texts_[state] = KxMiniUIText::FromUtf8(value != nullptr ? value : "");
      if (state == GetState()) SetText(texts_[state], true);
      return kAttrChanged;
    }
  }
  return KxMiniUIImageBtn::SetAttribute(name, value, notify);
}

std::wstring KxMiniUIMultiTextImageBtn::GetStateText(int state) const {
  if (state >= 0 && state < 4 && !texts_[state].empty()) return texts_[state];
  return GetText();
}

void KxMiniUIMultiTextImageBtn::OnStateChanged(int) {
  const int state = GetState();
  if (!texts_[state].empty()) SetText(texts_[state], true);
}
