// A style class: colours, text format, skin name and cursor. One is
// embedded in every view; the style pool keeps the named classes of the
// style document. A style is always copied whole.
#pragma once

#include <windows.h>

#include <string>

#include "miniui/core/KxMiniUIObject.h"
#include "miniui/core/KxMiniUITextFormat.h"
#include "miniui/core/KxMiniUIValue.h"

// A colour that may be unset (-1), with its alpha byte.
struct KxMiniUIStyleColor {
  static constexpr COLORREF kNone = 0xFFFFFFFF;
  COLORREF rgb = kNone;
  BYTE alpha = 255;
  bool IsSet() const { return rgb != kNone; }
};

class KxMiniUIStyle : public KxMiniUIObject {
 public:
  KXMINIUI_DECLARE_TAG("style")

  // Indexes of the four state colours of backgrounds and borders.
  enum State { kNormal = 0, kHover = 1, kPressed = 2, kDisabled = 3 };
  static constexpr COLORREF kColorNone = KxMiniUIStyleColor::kNone;
  static constexpr COLORREF kDefaultDisabledText = 0xCCCCCC;

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  std::string name;
  std::string skin;
  KxMiniUITextFormat text;
  COLORREF crText = 0;
  COLORREF crHover = kColorNone;
  COLORREF crPressed = kColorNone;
  COLORREF crDisabled = kDefaultDisabledText;
  KxMiniUIStyleColor background[4];
  KxMiniUIStyleColor border[4];
  COLORREF crTextShadow = kColorNone;
  float textShadowOffsetX = 0.0f;
  float textShadowOffsetY = 0.0f;
  float textShadowWidth = 0.0f;
  LPCWSTR cursor = IDC_ARROW;  // a system cursor

 private:
  bool SetColorAttribute(const char* name, const char* value);
  bool SetTextAttribute(const char* name, const char* value, HRESULT& result);
};
