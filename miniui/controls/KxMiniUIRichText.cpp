#include "miniui/controls/KxMiniUIRichText.h"

#include <algorithm>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIRichText);

namespace {

using KxMiniUIText::NamesEqual;

KxMiniUIRichText::Run RunFromElement(const KxMiniUIXmlNode* element) {
  KxMiniUIRichText::Run run;
  run.text = KxMiniUIText::FromUtf8(element->value(), element->value_size());
  for (auto* attribute = element->first_attribute(); attribute != nullptr;
       attribute = attribute->next_attribute()) {
    const char* name = attribute->name();
    const char* value = attribute->value();
    if (NamesEqual(name, "voffset")) {
      run.verticalOffset = static_cast<int>(KxMiniUIValue::Number(value));
    } else if (NamesEqual(name, "limitwidth")) {
      run.limitWidth = static_cast<int>(KxMiniUIValue::Number(value));
    } else if (NamesEqual(name, "color")) {
      run.color = KxMiniUIValue::ParseColor(value, false).rgb;
    } else if (NamesEqual(name, "font")) {
      run.face = KxMiniUIText::FromUtf8(value);
    } else if (NamesEqual(name, "fontsize")) {
      run.fontSize = static_cast<int>(KxMiniUIValue::Number(value));
    }
  }
  return run;
}

}  // namespace

HRESULT KxMiniUIRichText::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "spacing")) {
    spacing_ = static_cast<int>(KxMiniUIValue::Number(value));
    return kAttrChanged;
  }
  return KxMiniUIView::SetAttribute(name, value, notify);
}

bool KxMiniUIRichText::LoadChildrenFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  for (auto* element = node->first_node(); element != nullptr; element = element->next_sibling()) {
    if (element->type() == rapidxml::node_element) runs_.push_back(RunFromElement(element));
  }
  return true;
}

void KxMiniUIRichText::Paint(KxMiniUIRendTarget& canvas) {
  KxMiniUIView::Paint(canvas);
  int x = 0;
  for (const Run& run : runs_) {
    if (run.text.empty()) continue;
    KxMiniUITextFormat format = GetStyle().text;
    if (!run.face.empty()) format.face = run.face;
    if (run.fontSize != 0) format.size = run.fontSize;
    SIZE measured{0, 0};
    canvas.MeasureTextSimple(run.text, format, measured);
    const int width = run.limitWidth > 0 ? std::min<int>(run.limitWidth, measured.cx) : measured.cx;
    const COLORREF color = run.color != KxMiniUIStyle::kColorNone ? run.color : GetStyle().crText;
    const RECT box{x, run.verticalOffset, x + width, Height() + run.verticalOffset};
    canvas.DrawText(run.text, box, format, color, 3, true);
    x += width + spacing_;
  }
}
