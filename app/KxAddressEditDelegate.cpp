#include "app/KxAddressEditDelegate.h"

#include "miniui/controls/KxMiniUIEditView.h"

void KxAddressEditDelegate::Attach(KxMiniUIEditView* edit, HWND window) {
  edit_ = edit;
  window_ = window;
  if (edit_ != nullptr) edit_->SetDelegate(this);
}

void KxAddressEditDelegate::Detach() {
  if (edit_ != nullptr && edit_->GetDelegate() == this) edit_->SetDelegate(nullptr);
  edit_ = nullptr;
}

bool KxAddressEditDelegate::TakePath(const std::wstring& path) {
  if (path.size() > kMaxPathLength) return false;
  installPath_ = path;
  if (edit_ != nullptr) edit_->SetText(path, true);
  return true;
}

std::wstring KxAddressEditDelegate::CurrentText() const {
  return edit_ != nullptr ? edit_->GetText() : installPath_;
}

bool KxAddressEditDelegate::OnTextChanged() {
  if (edit_ == nullptr) return false;
  const std::wstring text = edit_->GetText();
  if (text.size() > kMaxPathLength) {
    edit_->SetText(installPath_, true);
    return false;
  }
  installPath_ = text;
  return true;
}
