#include "miniui/core/KxMiniUIFocusManager.h"

#include <iterator>

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

// The first view that can take the focus after `from` in the order [begin,
// end), going round to the start; from the start when `from` is not in it.
template <typename Iterator>
KxMiniUIView* FirstFocusableAfter(Iterator begin, Iterator end, const KxMiniUIView* from) {
  if (begin == end) return nullptr;
  Iterator start = begin;
  for (Iterator it = begin; from != nullptr && it != end; ++it) {
    if (it->second == from) {
      start = std::next(it) == end ? begin : std::next(it);
      break;
    }
  }
  Iterator it = start;
  do {
    if (CanTakeFocus(it->second)) return it->second;
    if (++it == end) it = begin;
  } while (it != start);
  return nullptr;
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
  return FirstFocusableAfter(tabOrder_.begin(), tabOrder_.end(), focused_ ? focused_ : previous_);
}

KxMiniUIView* KxMiniUIFocusManager::PreviousInTabOrder() const {
  return FirstFocusableAfter(tabOrder_.rbegin(), tabOrder_.rend(), focused_ ? focused_ : previous_);
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
