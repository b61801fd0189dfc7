#include "miniui/core/KxMiniUIStyle.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIStyle);

namespace {

using KxMiniUIText::NamesEqual;

struct TextColorAttribute {
  const char* name;
  COLORREF KxMiniUIStyle::*member;
};

const TextColorAttribute kTextColors[] = {
    {"crtext", &KxMiniUIStyle::crText},
    {"crhover", &KxMiniUIStyle::crHover},
    {"crpressed", &KxMiniUIStyle::crPressed},
    {"crdisabled", &KxMiniUIStyle::crDisabled},
    {"crtextshadow", &KxMiniUIStyle::crTextShadow},
};

struct StateColorAttribute {
  const char* name;
  bool isBorder;
  int state;
};

const StateColorAttribute kStateColors[] = {
    {"crbg", false, KxMiniUIStyle::kNormal},
    {"crbghover", false, KxMiniUIStyle::kHover},
    {"crbgpress", false, KxMiniUIStyle::kPressed},
    {"crbgdisabled", false, KxMiniUIStyle::kDisabled},
    {"crborder", true, KxMiniUIStyle::kNormal},
    {"crborderhover", true, KxMiniUIStyle::kHover},
    {"crborderpress", true, KxMiniUIStyle::kPressed},
    {"crborderdisabled", true, KxMiniUIStyle::kDisabled},
};

struct FloatAttribute {
  const char* name;
  float KxMiniUIStyle::*member;
};

const FloatAttribute kFloats[] = {
    {"textshadow-offsetX", &KxMiniUIStyle::textShadowOffsetX},
    {"textshadow-offsetY", &KxMiniUIStyle::textShadowOffsetY},
    {"textshadow-width", &KxMiniUIStyle::textShadowWidth},
};

}  // namespace

bool KxMiniUIStyle::SetColorAttribute(const char* attribute, const char* value) {
  for (const auto& entry : kTextColors) {
    if (NamesEqual(attribute, entry.name)) {
      this->*entry.member = KxMiniUIValue::ParseColor(value, false).rgb;
      return true;
    }
  }
  for (const auto& entry : kStateColors) {
    if (NamesEqual(attribute, entry.name)) {
      const KxMiniUIValue::Color color = KxMiniUIValue::ParseColor(value, true);
      KxMiniUIStyleColor& target = entry.isBorder ? border[entry.state] : background[entry.state];
      target.rgb = color.rgb;
      target.alpha = color.alpha;
      return true;
    }
  }
  for (const auto& entry : kFloats) {
    if (NamesEqual(attribute, entry.name)) {
      this->*entry.member = KxMiniUIValue::Decimal(value);
      return true;
    }
  }
  return false;
}

bool KxMiniUIStyle::SetTextAttribute(const char* attribute, const char* value, HRESULT& result) {
  result = kAttrTaken;
  if (NamesEqual(attribute, "font")) {
    text.face = KxMiniUIText::FromUtf8(value);
  } else if (NamesEqual(attribute, "fontsize")) {
    text.size = static_cast<int>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(attribute, "fontstyle")) {
    text.fontStyle = KxMiniUIValue::ParseFontStyle(value);
  } else if (NamesEqual(attribute, "fontstylehover")) {
    text.fontStyleHover = KxMiniUIValue::ParseFontStyle(value);
  } else if (NamesEqual(attribute, "fontstylepressed")) {
    text.fontStylePressed = KxMiniUIValue::ParseFontStyle(value);
  } else if (NamesEqual(attribute, "textalign") || NamesEqual(attribute, "textlinealign")) {
    int alignment = 0;
    if (!KxMiniUIValue::ParseAlignment(value, alignment)) {
      result = kAttrRejected;
    } else if (NamesEqual(attribute, "textalign")) {
      text.align = static_cast<unsigned>(alignment);
    } else {
      text.lineAlign = static_cast<unsigned>(alignment);
    }
  } else if (NamesEqual(attribute, "transparent")) {
    if (KxMiniUIValue::Number(value) != 0) {
      text.flags |= KxMiniUITextFormat::kFlagTransparent;
    } else {
      text.flags &= ~KxMiniUITextFormat::kFlagTransparent;
    }
  } else {
    return false;
  }
  return true;
}

HRESULT KxMiniUIStyle::SetAttribute(const char* attribute, const char* value, bool) {
  if (attribute == nullptr) return kAttrRejected;
  if (value == nullptr) value = "";
  if (NamesEqual(attribute, "name")) {
    name = value;
    return kAttrTaken;
  }
  if (NamesEqual(attribute, "skin")) {
    skin = value;
    return kAttrTaken;
  }
  if (NamesEqual(attribute, "cursor")) {
    return KxMiniUIValue::ParseCursor(value, cursor) ? kAttrTaken : kAttrRejected;
  }
  if (SetColorAttribute(attribute, value)) return kAttrTaken;
  HRESULT result = kAttrRejected;
  if (SetTextAttribute(attribute, value, result)) return result;
  return kAttrRejected;
}
