// Keyboard focus of one window's view tree: the focused view, the one
// focused before it, and the tab order (views with a non-zero "tabstop",
// ascending).
#pragma once

#include <cstddef>
#include <map>

class KxMiniUIView;

class KxMiniUIFocusManager {
 public:
  KxMiniUIFocusManager();
  KxMiniUIFocusManager(const KxMiniUIFocusManager&) = delete;
  KxMiniUIFocusManager& operator=(const KxMiniUIFocusManager&) = delete;
  ~KxMiniUIFocusManager();

  KxMiniUIView* GetFocusedView() const { return focused_; }
  KxMiniUIView* GetPreviousFocusedView() const { return previous_; }

  // The old view hears OnKillFocus and becomes the previous one; the new
  // view hears OnSetFocus(reason). None clears the focus.
  void SetFocus(KxMiniUIView* view, int reason);
  // The nearest ancestor-or-self of `view` that is enabled and focusable
  // ("focusable" -1 follows the window's default) gets the focus; none
  // qualifying clears it.
  void FocusFromMouse(KxMiniUIView* view);
  // The next (or previous) view in the tab order after the focused one that,
  // with all its ancestors, is enabled and visible; none when there is none.
  KxMiniUIView* NextInTabOrder() const;
  KxMiniUIView* PreviousInTabOrder() const;

  // Enters `subtree` (every view in it with a non-zero tab stop).
  void AddToTabOrder(KxMiniUIView* subtree);
  // Removes `subtree` from the tab order and from every focus reference.
  void Forget(KxMiniUIView* subtree);
  size_t TabOrderSize() const { return tabOrder_.size(); }

 private:
  KxMiniUIView* focused_ = nullptr;
  KxMiniUIView* previous_ = nullptr;
  KxMiniUIView* focusing_ = nullptr;
  std::map<int, KxMiniUIView*> tabOrder_;
};
