#include "miniui/controls/KxMiniUiImgChkBox.h"

#include <algorithm>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIRootView.h"

KXMINIUI_REGISTER_CLASS(KxMiniUiImgChkBox);

namespace {

using KxMiniUIText::NamesEqual;

bool ParseCheck(const char* value, int& check) {
  static const char* const kNames[] = {"unchecked", "checked", "halfchecked"};
  for (int i = 0; i < 3; ++i) {
    if (NamesEqual(value, kNames[i])) {
      check = i;
      return true;
    }
  }
  return false;
}

}  // namespace

KxMiniUiImgChkBox::~KxMiniUiImgChkBox() {
  if (checkParent_ != nullptr) checkParent_->RemoveCheckChild(this);
  for (KxMiniUiImgChkBox* child : checkChildren_) child->checkParent_ = nullptr;
}

HRESULT KxMiniUiImgChkBox::SetAttribute(const char* name, const char* value, bool notify) {
  const std::string text = value != nullptr ? value : "";
  if (NamesEqual(name, "checked")) {
    int check = check_;
    if (!ParseCheck(value, check)) return kAttrRejected;
    SetCheck(check);
  } else if (NamesEqual(name, "skinchecked")) {
    checkedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinunchecked")) {
    uncheckedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinhalfchecked")) {
    halfCheckedSkin_.SetName(text);
  } else {
    return KxMiniUIIconBtn::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}

SIZE KxMiniUiImgChkBox::GetContentSize() {
  const KxMiniUISkinRef& icon = uncheckedSkin_ ? uncheckedSkin_ : checkedSkin_ ? checkedSkin_ : halfCheckedSkin_;
  return ContentSizeWithIcon(icon.FrameSize());
}

bool KxMiniUiImgChkBox::OnMouseUp(UINT flags, POINT point, UINT extra) {
  if ((flags & MK_LBUTTON) != 0 && GetState() != kDisabled && HitTest(point)) {
    SetCheck(check_ == kChecked ? kUnchecked : kChecked, true, true);
  }
  return KxMiniUIIconBtn::OnMouseUp(flags, point, extra);
}

bool KxMiniUiImgChkBox::OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) {
  if (key == VK_SPACE) {
    if ((modifiers & (KxMiniUIRootView::kModifierShift | KxMiniUIRootView::kModifierControl)) != 0) return false;
    OnMouseUp(MK_LBUTTON, POINT{0, 0}, 0);
    return true;
  }
  return KxMiniUIIconBtn::OnKeyDown(key, keyData, modifiers);
}

void KxMiniUiImgChkBox::SetCheck(int check, bool toChildren, bool toParent) {
  if (check == check_) return;
  check_ = check;
  if (toParent && checkParent_ != nullptr) checkParent_->RecomputeFromChildren();
  if (toChildren && check != kHalfChecked) {
    for (KxMiniUiImgChkBox* child : checkChildren_) child->SetCheck(check, true, false);
  }
  Invalidate();
}

void KxMiniUiImgChkBox::RecomputeFromChildren() {
  if (checkChildren_.empty()) return;
  bool anyChecked = false;
  bool anyUnchecked = false;
  for (const KxMiniUiImgChkBox* child : checkChildren_) {
    if (child->check_ == kHalfChecked) {
      anyChecked = anyUnchecked = true;
      break;
    }
    (child->check_ == kChecked ? anyChecked : anyUnchecked) = true;
  }
  const int check = anyChecked && anyUnchecked ? kHalfChecked : anyChecked ? kChecked : kUnchecked;
  if (check == check_) return;
  check_ = check;
  Invalidate();
}

void KxMiniUiImgChkBox::AddCheckChild(KxMiniUiImgChkBox* child) {
  if (child == nullptr || child == this || child->checkParent_ == this) return;
  if (child->checkParent_ != nullptr) child->checkParent_->RemoveCheckChild(child);
  child->checkParent_ = this;
  checkChildren_.push_back(child);
}

void KxMiniUiImgChkBox::RemoveCheckChild(KxMiniUiImgChkBox* child) {
  const auto found = std::find(checkChildren_.begin(), checkChildren_.end(), child);
  if (found == checkChildren_.end()) return;
  checkChildren_.erase(found);
  child->checkParent_ = nullptr;
}

const KxMiniUISkinRef& KxMiniUiImgChkBox::IconSkin() const {
  if (check_ == kChecked) return checkedSkin_;
  if (check_ == kHalfChecked && halfCheckedSkin_) return halfCheckedSkin_;
  return uncheckedSkin_;
}
