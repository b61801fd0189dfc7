// "richedit": a multi-line editor on the system's text services. Only its
// layout attributes and its box are handled here.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUIScrollView.h"
#include "miniui/core/KxMiniUIStyle.h"

class KxMiniUIRichEdit : public KxMiniUIScrollView {
 public:
  KXMINIUI_DECLARE_TAG("richedit")

  KxMiniUIRichEdit();

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  bool NotifiesChanges() const { return notifyChanged_; }
  bool IsReadOnly() const { return readOnly_; }
  bool WantsReturn() const { return wantReturn_; }
  int GetLineHeight() const { return lineHeight_; }
  int GetLimit() const { return limit_; }
  const std::wstring& GetPlaceholder() const { return placeholder_; }
  COLORREF GetPlaceholderColor() const { return placeholderColor_; }
  POINT GetPlaceholderOffset() const { return placeholderOffset_; }
  COLORREF GetCaretColor() const { return caretColor_; }
  int GetCaretHeight() const { return caretHeight_; }

 private:
  bool notifyChanged_ = false;
  bool readOnly_ = false;
  bool wantReturn_ = false;
  int lineHeight_ = 0;
  int limit_ = 0;
  std::wstring placeholder_;
  COLORREF placeholderColor_ = KxMiniUIStyle::kColorNone;
  POINT placeholderOffset_{0, 0};
  COLORREF caretColor_ = 0;
  int caretHeight_ = 0;
};
