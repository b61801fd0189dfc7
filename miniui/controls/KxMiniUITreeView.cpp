#include "miniui/controls/KxMiniUITreeView.h"

#include "miniui/core/KxMiniUIClassRegistry.h"

KXMINIUI_REGISTER_CLASS(KxMiniUITreeView);
KXMINIUI_REGISTER_CLASS(KxMiniUITreeNode);
KXMINIUI_REGISTER_CLASS(KxMiniUITreeViewBackGround);

using KxMiniUIText::NamesEqual;

HRESULT KxMiniUITreeView::SetAttribute(const char* name, const char* value, bool notify) {
  const std::string text = value != nullptr ? value : "";
  const int number = static_cast<int>(KxMiniUIValue::Number(value));
  if (NamesEqual(name, "indentation")) {
    indentation_ = number;
  } else if (NamesEqual(name, "nodeheight")) {
    nodeHeight_ = number;
  } else if (NamesEqual(name, "elementpos")) {
    elementPos_ = text;
  } else if (NamesEqual(name, "expandskin")) {
    expandSkin_.SetName(text);
  } else if (NamesEqual(name, "foldskin")) {
    foldSkin_.SetName(text);
  } else if (NamesEqual(name, "skinchecked")) {
    checkedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinunchecked")) {
    uncheckedSkin_.SetName(text);
  } else if (NamesEqual(name, "skinhalfchecked")) {
    halfCheckedSkin_.SetName(text);
  } else if (NamesEqual(name, "dashcolor")) {
    dashColor_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "dashwidth")) {
    dashWidth_ = number;
  } else if (NamesEqual(name, "linkagetype")) {
    linkageType_ = number;
  } else {
    return KxMiniUIScrollView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

HRESULT KxMiniUITreeNode::SetAttribute(const char* name, const char* value, bool notify) {
  if (NamesEqual(name, "text")) {
    text_ = KxMiniUIText::FromUtf8(value != nullptr ? value : "");
  } else if (NamesEqual(name, "expand")) {
    expanded_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "haschild")) {
    hasChildren_ = KxMiniUIValue::Boolean(value);
  } else {
    return KxMiniUIView::SetAttribute(name, value, notify);
  }
  return kAttrChanged;
}
