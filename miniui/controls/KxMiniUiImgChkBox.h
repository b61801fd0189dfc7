// "imgcheck": a tri-state check box, an icon button whose icon is one of
// three skins chosen by the check state.
#pragma once

#include "miniui/controls/KxMiniUIIconBtn.h"

class KxMiniUiImgChkBox : public KxMiniUIIconBtn {
 public:
  KXMINIUI_DECLARE_TAG("imgcheck")

  enum Check { kUnchecked = 0, kChecked = 1, kHalfChecked = 2 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetCheck() const { return check_; }
  // Stores the state and repaints; nothing when it is unchanged.
  virtual void SetCheck(int check);

 protected:
  // Checked: the checked skin; half checked: its skin, else the unchecked
  // one; unchecked: the unchecked skin.
  const KxMiniUISkinRef& IconSkin() const override;

 private:
  int check_ = kUnchecked;
  KxMiniUISkinRef checkedSkin_;
  KxMiniUISkinRef uncheckedSkin_;
  KxMiniUISkinRef halfCheckedSkin_;
};
