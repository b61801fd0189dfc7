// "menu": the framework's pop-up menu. It is a view (so a layout can name
// it) and a small top-most framework window whose content is one list box
// of "menuitem" entries. The caller shows it at an anchor point, runs a
// message loop until the window is gone and then reads the chosen id; the
// menu closes itself after a choice, on Escape or when it loses the focus.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "miniui/core/KxMiniUISimpleWindow.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIListBox;
class KxMiniUIMenuItem;

class KxMiniUIMenu : public KxMiniUISimpleWindow, public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("menu")

  static constexpr int kItemListId = 1000000;
  // The window every menu is built on: a hidden, resizable layer holding
  // one white list box, with the drop shadow `shadow` describes ("shadow"
  // element of a menu layout; none when null).
  static std::string WindowDescription(const KxMiniUIXmlNode* shadow);
  static constexpr DWORD kWindowExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;

  KxMiniUIMenu() = default;
  ~KxMiniUIMenu() override;

  // A menu from layout text whose root element is "menu"; none when the
  // text does not parse or names something else.
  static std::unique_ptr<KxMiniUIMenu> CreateFromText(const std::string& text);

  // Builds the window when it does not exist yet, then takes the element's
  // "menuitem" children as items (other children are ignored).
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  // Keeps "crbg" for the list's parent as well.
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // Appends the item the text describes; nothing when the text is empty,
  // is not one "menuitem" or the menu has no window yet.
  KxMiniUIMenuItem* AddItemFromText(const std::string& text);

  void SetAnchorPoint(POINT point) { anchor_ = point; }
  POINT GetAnchorPoint() const { return anchor_; }
  void SetOwnerWindow(HWND owner) { owner_ = owner; }
  // Left, top, right, bottom at 96 dpi, added around the list.
  void SetInnerMargins(const RECT& margins) { margins_ = margins; }

  // Places the window at the anchor point inside the work area and shows it
  // without activating it. Nothing happens for a menu without items.
  bool ShowAtAnchor();
  // ShowAtAnchor, then takes the foreground and the focus and runs the
  // messages until the menu's window is gone. Answers the chosen id.
  int Popup();

  int GetChosenId() const { return chosenId_; }
  int GetHighlightedIndex() const { return highlighted_; }
  size_t GetItemCount() const;
  KxMiniUIMenuItem* GetItemAt(size_t index) const;
  KxMiniUIListBox* GetItemList() const { return list_; }

  // An item took the highlight (from the mouse or the arrow keys).
  void OnItemHighlighted(KxMiniUIMenuItem* item);

 protected:
  void OnInitDialog() override;
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  bool EnsureWindow(const KxMiniUIXmlNode* shadow);
  void AppendItem(std::unique_ptr<KxMiniUIMenuItem> item);
  // The item at `index`; none for -1 or past the end.
  KxMiniUIMenuItem* ItemAt(int index) const;
  // The work area of the owner's monitor, else the primary one.
  RECT WorkArea() const;
  RECT PlacementFor(SIZE size) const;
  // Key-down of one of the menu's keys; false for other keys.
  bool OnMenuKey(UINT key);
  void MoveHighlight(int from, int to);
  void CloseSoon() const;

  KxMiniUIListBox* list_ = nullptr;
  POINT anchor_{0, 0};
  int chosenId_ = 0;
  int highlighted_ = -1;
  RECT margins_{0, 0, 0, 0};
  HWND owner_ = nullptr;
  std::string background_;
};
