// "imgbtn": a button drawn from a multi-frame skin, one frame per state.
// It never starts a window drag.
#pragma once

#include "miniui/controls/KxMiniUIButton.h"
#include "miniui/controls/KxMiniUISkinRef.h"

class KxMiniUIImageBtn : public KxMiniUIButton {
 public:
  KXMINIUI_DECLARE_TAG("imgbtn")

  KxMiniUIImageBtn();

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void SetSkinName(const std::string& name) override;
  // The skin's size, one frame wide for a framed skin.
  SIZE GetContentSize() override;
  // The skin in the state's frame, then the text centred where the style
  // leaves the alignment unset; no background colour.
  void Paint(KxMiniUIRendTarget& canvas) override;

  const KxMiniUISkinRef& Skin() const { return skin_; }

 private:
  KxMiniUISkinRef skin_;
};
