// "treeview", "treenode", "treebkg": a tree of nodes in a scroll view, its
// nodes and its background.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUIScrollView.h"
#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIStyle.h"

class KxMiniUITreeView : public KxMiniUIScrollView {
 public:
  KXMINIUI_DECLARE_TAG("treeview")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  int GetIndentation() const { return indentation_; }
  int GetNodeHeight() const { return nodeHeight_; }
  const std::string& GetElementPos() const { return elementPos_; }
  const KxMiniUISkinRef& ExpandSkin() const { return expandSkin_; }
  const KxMiniUISkinRef& FoldSkin() const { return foldSkin_; }
  const KxMiniUISkinRef& CheckedSkin() const { return checkedSkin_; }
  const KxMiniUISkinRef& UncheckedSkin() const { return uncheckedSkin_; }
  const KxMiniUISkinRef& HalfCheckedSkin() const { return halfCheckedSkin_; }
  COLORREF GetDashColor() const { return dashColor_; }
  int GetDashWidth() const { return dashWidth_; }
  int GetLinkageType() const { return linkageType_; }

 private:
  int indentation_ = 0;
  int nodeHeight_ = 0;
  std::string elementPos_;
  KxMiniUISkinRef expandSkin_;
  KxMiniUISkinRef foldSkin_;
  KxMiniUISkinRef checkedSkin_;
  KxMiniUISkinRef uncheckedSkin_;
  KxMiniUISkinRef halfCheckedSkin_;
  COLORREF dashColor_ = KxMiniUIStyle::kColorNone;
  int dashWidth_ = 0;
  int linkageType_ = 0;
};

class KxMiniUITreeNode : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("treenode")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  const std::wstring& GetText() const { return text_; }
  bool IsExpanded() const { return expanded_; }
  bool HasChildren() const { return hasChildren_; }

 private:
  std::wstring text_;
  bool expanded_ = false;
  bool hasChildren_ = false;
};

class KxMiniUITreeViewBackGround : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("treebkg")
};
