// "imgcheck": a tri-state check box, an icon button whose icon is one of
// three skins chosen by the check state. A tree view may link boxes into a
// parent with children; a parent's state follows its children.
#pragma once

#include <vector>

#include "miniui/controls/KxMiniUIIconBtn.h"

class KxMiniUiImgChkBox : public KxMiniUIIconBtn {
 public:
  KXMINIUI_DECLARE_TAG("imgcheck")

  enum Check { kUnchecked = 0, kChecked = 1, kHalfChecked = 2 };

  ~KxMiniUiImgChkBox() override;

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Like the icon button, with the unchecked skin (else the checked, else
  // the half-checked one) as the icon.
  SIZE GetContentSize() override;
  // A left release inside toggles (half checked becomes checked) before the
  // button's click.
  bool OnMouseUp(UINT flags, POINT point, UINT extra) override;
  // Space toggles and clicks; Return clicks without toggling.
  bool OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) override;

  int GetCheck() const { return check_; }
  // Stores a changed state; with `toParent` the parent recomputes from its
  // children, with `toChildren` a definite state goes down to every child.
  virtual void SetCheck(int check, bool toChildren = true, bool toParent = true);

  // The links the owning tree view makes. A child is not owned; either side
  // leaving unlinks it.
  void AddCheckChild(KxMiniUiImgChkBox* child);
  void RemoveCheckChild(KxMiniUiImgChkBox* child);
  KxMiniUiImgChkBox* GetCheckParent() const { return checkParent_; }
  const std::vector<KxMiniUiImgChkBox*>& GetCheckChildren() const { return checkChildren_; }

 protected:
  // Checked: the checked skin; half checked: its skin, else the unchecked
  // one; unchecked: the unchecked skin.
  const KxMiniUISkinRef& IconSkin() const override;

 private:
  // The parent's own state from its children, stored without passing on.
  void RecomputeFromChildren();

  int check_ = kUnchecked;
  KxMiniUISkinRef checkedSkin_;
  KxMiniUISkinRef uncheckedSkin_;
  KxMiniUISkinRef halfCheckedSkin_;
  KxMiniUiImgChkBox* checkParent_ = nullptr;
  std::vector<KxMiniUiImgChkBox*> checkChildren_;
};
