// "img": a static picture drawn from a skin in one chosen frame.
#pragma once

#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/controls/KxMiniUITextView.h"

class KxMiniUIImageView : public KxMiniUITextView {
 public:
  KXMINIUI_DECLARE_TAG("img")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  void SetSkinName(const std::string& name) override;
  // The skin's size, one frame wide for a framed skin; 0 x 0 without one.
  SIZE GetContentSize() override;
  // Only the skin in the "sub" frame: no background and no text.
  void Paint(KxMiniUIRendTarget& canvas) override;

  const KxMiniUISkinRef& Skin() const { return skin_; }
  int GetFrame() const { return frame_; }

 private:
  KxMiniUISkinRef skin_;
  int frame_ = 0;
};
