// "textbtn": the base of every button. It keeps the state (normal, hover,
// pressed, disabled) that chooses the text colour, the background colour,
// the font style and the skin frame, and paints background, border, text
// and focus outline for that state.
#pragma once

#include "base/ScopedHandle.h"
#include "miniui/controls/KxMiniUIButtonListener.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/core/KxMiniUIStyle.h"

class KxMiniUIButton : public KxMiniUITextView {
 public:
  KXMINIUI_DECLARE_TAG("textbtn")

  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };

  // A button takes the keyboard focus from creation.
  KxMiniUIButton();

  // The word parameter of the click notification (the framework's other
  // notifications carry 0).
  static constexpr WPARAM kClickWordParam = 1000;

  // A button disabled by its element starts in the disabled state.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Disabling moves any state to disabled; enabling moves disabled to normal.
  void SetEnabled(bool enabled) override;
  SIZE GetContentSize() override;
  void Paint(KxMiniUIRendTarget& canvas) override;
  // Rebuilds the round hit region for the new size.
  void Layout() override;
  // Inside the round region when there is one, else inside the rectangle.
  bool HitTest(POINT point) override;

  // The state machine.
  void OnMouseEnter(POINT point) override;
  void OnMouseLeave(POINT point) override;
  bool OnMouseDown(UINT flags, POINT point, bool doubleClick) override;
  bool OnMouseUp(UINT flags, POINT point, UINT extra) override;
  // Return clicks.
  bool OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) override;
  void OnSetFocus(int reason) override;
  void OnKillFocus() override;

  // Disabled: the disabled colour; hover and pressed: their colours; each
  // falling back to the text colour when unset.
  COLORREF GetTextColor() override;
  // The style's text format with the font style of the state, when set.
  virtual KxMiniUITextFormat GetTextFormat() const;
  // The background colour of the state, else the normal one.
  virtual KxMiniUIStyleColor GetBgColor() const;
  // The border colour of the state, else the normal one.
  KxMiniUIStyleColor GetBorderColor() const;

  int GetState() const { return state_; }
  void SetState(int state);
  int GetRadius() const { return radius_; }
  COLORREF GetFocusBorderColor() const { return focusBorder_; }
  int GetBorderWidth() const { return borderWidth_; }
  bool IsSticky() const { return sticky_; }
  RECT GetTextMargin() const { return textMargin_; }
  bool HasHitRegion() const { return static_cast<bool>(hitRegion_); }
  void SetListener(KxMiniUIButtonListener* listener) { listener_ = listener; }
  KxMiniUIButtonListener* GetListener() const { return listener_; }

 protected:
  // The listener's clicked, then the click notification to the owner window.
  void Click();

  // Called after the state changed (the view has repainted).
  virtual void OnStateChanged(int oldState);
  // Draws the text in `box` with the state's format and colour.
  void PaintText(KxMiniUIRendTarget& canvas, const RECT& box, const KxMiniUITextFormat& format);
  // The dotted outline while this button holds the focus of its window.
  void PaintFocusOutline(KxMiniUIRendTarget& canvas);

 private:
  int radius_ = 0;
  bool roundHit_ = false;
  Kx::ScopedGdiObject<HRGN> hitRegion_;
  int state_ = kNormal;
  KxMiniUIButtonListener* listener_ = nullptr;
  int borderWidth_ = 0;
  bool sticky_ = false;
  // A second press of a sticky pressed button: its release lets it go.
  bool stickyReleaseDue_ = false;
  COLORREF focusBorder_ = KxMiniUIStyle::kColorNone;
  RECT textMargin_{0, 0, 0, 0};
};
