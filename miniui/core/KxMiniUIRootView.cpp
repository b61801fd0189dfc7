#include "miniui/core/KxMiniUIRootView.h"

namespace {

bool IsInSubtree(const KxMiniUIView* view, const KxMiniUIView* subtree) {
  for (; view != nullptr; view = view->GetParent()) {
    if (view == subtree) return true;
  }
  return false;
}

}  // namespace

KxMiniUIRootView::KxMiniUIRootView() : KxMiniUIView(true) {}

KxMiniUIRootView::~KxMiniUIRootView() {
  // Children go first, while the record they may reach is still whole.
  while (GetChildCount() > 0) RemoveChild(GetChildAt(GetChildCount() - 1), true);
}

void KxMiniUIRootView::InvalidateRect(const RECT& rect, UINT flags) {
  if (host_ == nullptr || !host_->IsPaintAllowed()) return;
  RECT area{};
  const RECT bounds{0, 0, Width(), Height()};
  if (!::IntersectRect(&area, &rect, &bounds)) return;
  host_->InvalidateHostRect(area, (flags & kInvalidateImmediate) != 0);
}

KxMiniUIView* KxMiniUIRootView::AddChild(std::unique_ptr<KxMiniUIView> child) {
  return KxMiniUIView::AddChild(std::move(child));
}

void KxMiniUIRootView::OnWindowActivated() {
  KxMiniUIView* remembered = remembered_;
  remembered_ = nullptr;
  if (remembered != nullptr && focusManager_.GetFocusedView() == nullptr) {
    focusManager_.SetFocus(remembered, kFocusByActivation);
  }
}

void KxMiniUIRootView::OnWindowDeactivated() {
  if (KxMiniUIView* focused = focusManager_.GetFocusedView()) {
    remembered_ = focused;
    focusManager_.SetFocus(nullptr, kFocusByActivation);
  }
}

void KxMiniUIRootView::LayoutAt(int width, int height) {
  SetRect(RECT{0, 0, width, height}, false);
  Layout();
}

void KxMiniUIRootView::ClearMouseReferences() {
  pressed_ = nullptr;
  hovered_ = nullptr;
  accepted_ = nullptr;
}

void KxMiniUIRootView::ForgetSubtree(KxMiniUIView* subtree) {
  KxMiniUIView** references[] = {&pressed_, &hovered_, &accepted_, &remembered_};
  for (KxMiniUIView** reference : references) {
    if (IsInSubtree(*reference, subtree)) *reference = nullptr;
  }
}

uint32_t KxMiniUIRootView::AllocateTimerSerial(KxMiniUIView* view) {
  // 24-bit serials, never 0, skipping any still in use after a wrap.
  do {
    timerCounter_ = (timerCounter_ + 1) & 0xFFFFFFu;
  } while (timerCounter_ == 0 || timerViews_.count(timerCounter_) != 0);
  timerViews_[timerCounter_] = view;
  return timerCounter_;
}

void KxMiniUIRootView::ReleaseTimerSerial(uint32_t serial) { timerViews_.erase(serial); }

bool KxMiniUIRootView::DispatchViewTimer(UINT_PTR id) {
  const uint32_t value = static_cast<uint32_t>(id);
  if ((value & 0x80000000u) == 0) return false;
  auto found = timerViews_.find(value & 0xFFFFFFu);
  if (found == timerViews_.end()) return false;
  found->second->OnTimer(static_cast<int>((value >> 24) & 0x7Fu));
  return true;
}
