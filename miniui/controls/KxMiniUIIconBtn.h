// "iconbtn": a button with an icon (its skin) beside its text, on a
// background skin.
#pragma once

#include "miniui/controls/KxMiniUIImageBtn.h"

class KxMiniUIIconBtn : public KxMiniUIImageBtn {
 public:
  KXMINIUI_DECLARE_TAG("iconbtn")

  enum IconPosition { kIconLeft = 0, kIconTop = 1, kIconRight = 2, kIconBottom = 3 };

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  SIZE GetContentSize() override;
  void Paint(KxMiniUIRendTarget& canvas) override;

  int GetIconPosition() const { return iconPosition_; }
  int GetSpace() const { return space_; }
  int GetIconMargin() const { return iconMargin_; }
  const KxMiniUISkinRef& BackgroundSkin() const { return backgroundSkin_; }
  // The text as last fitted to the text rectangle; empty before the first
  // paint.
  const std::wstring& GetFittedText() const { return fittedText_; }
  void SetText(const std::wstring& text, bool repaint) override;
  void SetTextNoRepaint(const std::wstring& text) override;

 protected:
  // Text size, offset and margin, grown by an icon of `icon` beside it.
  SIZE ContentSizeWithIcon(SIZE icon);
  // The skin drawn as the icon (the check box picks one by its check state).
  virtual const KxMiniUISkinRef& IconSkin() const;

 private:
  int iconPosition_ = kIconLeft;
  int space_ = 0;
  KxMiniUISkinRef backgroundSkin_;
  int iconMargin_ = 0;
  RECT iconTextMargin_{0, 0, 0, 0};
  std::wstring fittedText_;
};
