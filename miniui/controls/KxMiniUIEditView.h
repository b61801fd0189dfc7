// "edit": single-line text input. Typing, selection, caret and the input
// method arrive with the edit behaviour; this class draws the box and its
// text and takes the composition calls.
#pragma once

#include "miniui/controls/KxMiniUIEditViewDelegate.h"
#include "miniui/controls/KxMiniUITextInputClient.h"
#include "miniui/controls/KxMiniUITextView.h"

class KxMiniUIEditView : public KxMiniUITextView, public KxMiniUITextInputClient {
 public:
  KXMINIUI_DECLARE_TAG("edit")

  // An edit box takes the keyboard focus and never drags the window.
  KxMiniUIEditView();

  void OnCompositionStart() override;
  void OnCompositionUpdate(const std::wstring& text) override;
  void OnCompositionEnd(const std::wstring& result) override;
  POINT GetCompositionPoint() override;

  bool IsComposing() const { return composing_; }

  // The owner's listener; not owned, none by default.
  void SetDelegate(KxMiniUIEditViewDelegate* delegate) { delegate_ = delegate; }
  KxMiniUIEditViewDelegate* GetDelegate() const { return delegate_; }

 private:
  KxMiniUIEditViewDelegate* delegate_ = nullptr;
  bool composing_ = false;
};
