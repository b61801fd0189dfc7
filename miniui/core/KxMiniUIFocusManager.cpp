#include "miniui/core/KxMiniUIFocusManager.h"

#include "miniui/core/KxMiniUIRootView.h"

namespace {

bool IsInSubtree(const KxMiniUIView* view, const KxMiniUIView* subtree) {
  for (; view != nullptr; view = view->GetParent()) {
    if (view == subtree) return true;
  }
  return false;
}

// The view and all its ancestors are enabled and visible.
bool CanTakeFocus(const KxMiniUIView* view) {
  for (; view != nullptr; view = view->GetParent()) {
    if (!view->IsEnabled() || !view->IsVisible()) return false;
  }
  return true;
}

template <typename Fn>
void ForEachInSubtree(KxMiniUIView* subtree, Fn&& fn) {
  fn(subtree);
  for (size_t i = 0; i < subtree->GetChildCount(); ++i) ForEachInSubtree(subtree->GetChildAt(i), fn);
}

}  // namespace

KxMiniUIFocusManager::KxMiniUIFocusManager() = default;
KxMiniUIFocusManager::~KxMiniUIFocusManager() = default;

void KxMiniUIFocusManager::SetFocus(KxMiniUIView* view, int reason) {
  if (view == focused_) return;
  KxMiniUIView* old = focused_;
  // A view whose OnSetFocus has not been sent yet (the focus moved on from
  // inside the old view's OnKillFocus) never had the focus to lose.
  const bool oldHadFocus = old != nullptr && old != focusing_;
  focusing_ = view;
  focused_ = view;
  if (oldHadFocus) {
    previous_ = old;
    old->OnKillFocus();
  }
  if (view != nullptr && focusing_ == view) view->OnSetFocus(reason);
  if (focusing_ == view) focusing_ = nullptr;
}

void KxMiniUIFocusManager::FocusFromMouse(KxMiniUIView* view) {
  for (; view != nullptr; view = view->GetParent()) {
    int focusable = view->GetFocusable();
    if (focusable == -1) {
      const KxMiniUIRootView* root = view->GetRootView();
      focusable = root != nullptr && root->GetDefaultFocus() ? 1 : 0;
    }
    if (view->IsEnabled() && focusable == 1) {
      SetFocus(view, KxMiniUIView::kFocusByMouse);
      return;
    }
  }
  SetFocus(nullptr, KxMiniUIView::kFocusByMouse);
}

KxMiniUIView* KxMiniUIFocusManager::NextInTabOrder() const {
  if (tabOrder_.empty()) return nullptr;
  const KxMiniUIView* from = focused_ ? focused_ : previous_;
  auto start = tabOrder_.begin();
  if (from != nullptr) {
    for (auto it = tabOrder_.begin(); it != tabOrder_.end(); ++it) {
      if (it->second == from) {
        start = std::next(it) == tabOrder_.end() ? tabOrder_.begin() : std::next(it);
        break;
      }
    }
  }
  auto it = start;
  do {
    if (CanTakeFocus(it->second)) return it->second;
    if (++it == tabOrder_.end()) it = tabOrder_.begin();
  } while (it != start);
  return nullptr;
}

KxMiniUIView* KxMiniUIFocusManager::PreviousInTabOrder() const {
  if (tabOrder_.empty()) return nullptr;
  const KxMiniUIView* from = focused_ ? focused_ : previous_;
  auto start = tabOrder_.rbegin();
  if (from != nullptr) {
    for (auto it = tabOrder_.rbegin(); it != tabOrder_.rend(); ++it) {
      if (it->second == from) {
        start = std::next(it) == tabOrder_.rend() ? tabOrder_.rbegin() : std::next(it);
        break;
      }
    }
  }
  auto it = start;
  do {
    if (CanTakeFocus(it->second)) return it->second;
    if (++it == tabOrder_.rend()) it = tabOrder_.rbegin();
  } while (it != start);
  return nullptr;
}

void KxMiniUIFocusManager::AddToTabOrder(KxMiniUIView* subtree) {
  ForEachInSubtree(subtree, [this](KxMiniUIView* view) {
    if (view->GetTabStop() != 0) tabOrder_[view->GetTabStop()] = view;
  });
}

void KxMiniUIFocusManager::Forget(KxMiniUIView* subtree) {
  for (auto it = tabOrder_.begin(); it != tabOrder_.end();) {
    it = IsInSubtree(it->second, subtree) ? tabOrder_.erase(it) : std::next(it);
  }
  if (IsInSubtree(focused_, subtree)) focused_ = nullptr;
  if (IsInSubtree(previous_, subtree)) previous_ = nullptr;
  if (IsInSubtree(focusing_, subtree)) focusing_ = nullptr;
}
