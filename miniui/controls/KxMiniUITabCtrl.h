// "tabctrl", "tab", "tabicon": a tab strip with its pages and tab heads.
#pragma once

#include <string>

#include "miniui/controls/KxMiniUISkinRef.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUITabCtrl : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("tabctrl")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  const std::string& GetTabClass() const { return tabClass_; }
  int GetCurrentSelection() const { return currentSelection_; }
  int GetTabWidth() const { return tabWidth_; }
  int GetTabHeight() const { return tabHeight_; }
  const std::string& GetTabPosition() const { return tabPosition_; }
  int GetTabSpacing() const { return tabSpacing_; }
  const KxMiniUISkinRef& TabSkin() const { return tabSkin_; }
  const KxMiniUISkinRef& IconSkin() const { return iconSkin_; }

 private:
  std::string tabClass_;
  int currentSelection_ = 0;
  int tabWidth_ = 0;
  int tabHeight_ = 0;
  std::string tabPosition_;
  int tabSpacing_ = 0;
  KxMiniUISkinRef tabSkin_;
  KxMiniUISkinRef iconSkin_;
};

class KxMiniUITab : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("tab")

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;

  const std::wstring& GetTitle() const { return title_; }
  bool IsHeadHidden() const { return hidden_; }

 private:
  std::wstring title_;
  bool hidden_ = false;
};

class KxMiniUITabIcon : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("tabicon")
};
