#include "miniui/core/KxMiniUIRootView.h"

#include <algorithm>
#include <utility>

namespace {

bool IsInSubtree(const KxMiniUIView* view, const KxMiniUIView* subtree) {
  for (; view != nullptr; view = view->GetParent()) {
    if (view == subtree) return true;
  }
  return false;
}

bool Contains(const std::vector<KxMiniUIView*>& views, const KxMiniUIView* view) {
  return std::find(views.begin(), views.end(), view) != views.end();
}

constexpr UINT kMouseButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_XBUTTON1 | MK_XBUTTON2;

}  // namespace

KxMiniUIRootView::CallList::CallList(KxMiniUIRootView& root, std::vector<KxMiniUIView*> views)
    : root_(root), views_(std::move(views)) {
  root_.callLists_.push_back(this);
}

KxMiniUIRootView::CallList::~CallList() {
  root_.callLists_.erase(std::find(root_.callLists_.begin(), root_.callLists_.end(), this));
}

KxMiniUIRootView::KxMiniUIRootView() : KxMiniUIView(true) {}

KxMiniUIRootView::~KxMiniUIRootView() {
  // Children go first, while the record they may reach is still whole.
  ClearTree();
}

void KxMiniUIRootView::ClearTree() {
  while (GetChildCount() > 0) RemoveChild(GetChildAt(GetChildCount() - 1), true);
}

// --- Input entry points.

UINT KxMiniUIRootView::MouseFlagsFor(UINT message, WPARAM wParam) {
  const UINT keys = GET_KEYSTATE_WPARAM(wParam);
  UINT button = 0;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
      button = MK_LBUTTON;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      button = MK_RBUTTON;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      button = MK_MBUTTON;
      break;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
      button = GET_XBUTTON_WPARAM(wParam) == XBUTTON1 ? MK_XBUTTON1 : MK_XBUTTON2;
      break;
    default:
      return keys;  // moves and the wheel keep every button held
  }
  // An up message no longer lists its own button, and a press made while
  // another button is held lists both; the views need the one that changed.
  return (keys & ~kMouseButtons) | button;
}

UINT KxMiniUIRootView::CurrentKeyModifiers() {
  UINT modifiers = 0;
  if (::GetKeyState(VK_SHIFT) < 0) modifiers |= kModifierShift;
  if (::GetKeyState(VK_CONTROL) < 0) modifiers |= kModifierControl;
  if (::GetKeyState(VK_MENU) < 0) modifiers |= kModifierAlt;
  return modifiers;
}

bool KxMiniUIRootView::OnMouseDown(UINT flags, POINT point, bool doubleClick) {
  lastFlags_ = flags;
  lastPoint_ = point;
  ApplyCursorAt(point);
  if (pressed_ != nullptr) {
    // Another button while one is held: the holder hears it too.
    pressed_->OnMouseDown(flags, pressed_->ToViewPoint(point), doubleClick && pressed_ == accepted_);
    return true;
  }
  // [0] the view under the point, [1] the view the press is offered to.
  CallList press(*this, {FindViewAt(point), nullptr});
  std::vector<KxMiniUIView*>& views = press.Views();
  views[1] = views[0];
  while (views[1] != nullptr && views[1] != this) {
    KxMiniUIView* holder = views[1];
    if (!holder->IsEnabled()) {
      pressed_ = nullptr;
      return true;
    }
    pressed_ = holder;
    if (hovered_ != holder) ChangeHover(holder, point);
    if (views[1] == nullptr) break;  // the hover change took it out of the tree
    const bool doubleOnThis = doubleClick && holder == accepted_;
    if (holder->OnMouseDown(flags, holder->ToViewPoint(point), doubleOnThis)) {
      if (views[1] == nullptr) return true;
      accepted_ = holder;
      if (views[0] != nullptr) focusManager_.FocusFromMouse(views[0]);
      return true;
    }
    if (views[1] == nullptr) break;
    views[1] = holder->GetParent();
  }
  pressed_ = nullptr;
  if (views[0] != nullptr && views[0] != this) focusManager_.FocusFromMouse(views[0]);
  return false;
}

bool KxMiniUIRootView::OnMouseDrag(UINT flags, POINT point) {
  lastFlags_ = flags;
  lastPoint_ = point;
  ApplyCursorAt(point);
  KxMiniUIView* holder = pressed_;
  if (holder == nullptr) return false;
  holder->OnMouseDrag(flags, holder->ToViewPoint(point));
  return true;
}

bool KxMiniUIRootView::OnMouseUp(UINT flags, POINT point, UINT extra) {
  lastFlags_ = flags;
  lastPoint_ = point;
  ApplyCursorAt(point);
  KxMiniUIView* holder = pressed_;
  if (holder == nullptr) return false;
  pressed_ = nullptr;
  // The holder hears the release wherever it happens and decides itself
  // whether it was a click.
  holder->OnMouseUp(flags, holder->ToViewPoint(point), extra);
  return true;
}

bool KxMiniUIRootView::OnMouseMove(UINT flags, POINT point) {
  if (pressed_ != nullptr) return OnMouseDrag(flags, point);
  lastFlags_ = flags;
  lastPoint_ = point;
  ApplyCursorAt(point);
  KxMiniUIView* view = FindViewAt(point);
  while (view != nullptr && !view->IsEnabled() && view != hovered_) view = view->GetParent();
  if (view != hovered_) ChangeHover(view, point);
  KxMiniUIView* hovered = hovered_;
  if (hovered == nullptr) return false;
  const POINT inner = hovered->ToViewPoint(point);
  return hovered == this ? KxMiniUIView::OnMouseMove(flags, inner) : hovered->OnMouseMove(flags, inner);
}

bool KxMiniUIRootView::OnMouseWheel(UINT flags, POINT point, int delta) {
  CallList chain(*this, BubbleChainOf(FindViewAt(point)));
  for (KxMiniUIView*& view : chain.Views()) {
    if (view != nullptr && view->OnMouseWheel(flags, view->ToViewPoint(point), delta)) return true;
  }
  return false;
}

void KxMiniUIRootView::OnMouseLeave(POINT point) {
  ChangeHover(nullptr, point);
  RestoreCursor();
}

bool KxMiniUIRootView::OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) {
  CallList chain(*this, BubbleChainOf(focusManager_.GetFocusedView()));
  for (KxMiniUIView*& view : chain.Views()) {
    if (view != nullptr && view->OnKeyDown(key, keyData, modifiers)) return true;
  }
  return key == VK_TAB && MoveFocusByTab(modifiers);
}

bool KxMiniUIRootView::OnKeyUp(UINT key, LPARAM keyData, UINT modifiers) {
  CallList chain(*this, BubbleChainOf(focusManager_.GetFocusedView()));
  for (KxMiniUIView*& view : chain.Views()) {
    if (view != nullptr && view->OnKeyUp(key, keyData, modifiers)) return true;
  }
  return false;
}

bool KxMiniUIRootView::OnChar(UINT code) {
  CallList chain(*this, BubbleChainOf(focusManager_.GetFocusedView()));
  for (KxMiniUIView*& view : chain.Views()) {
    if (view != nullptr && view->OnChar(code)) return true;
  }
  return false;
}

HCURSOR KxMiniUIRootView::CursorAt(POINT point) {
  KxMiniUIView* view = FindViewAt(point);
  if (view == nullptr) return ::LoadCursorW(nullptr, IDC_ARROW);
  return view->GetCursor(view->ToViewPoint(point));
}

// --- Input helpers.

void KxMiniUIRootView::ApplyCursorAt(POINT point) {
  HCURSOR cursor = CursorAt(point);
  if (cursor == nullptr) return;
  HCURSOR previous = ::SetCursor(cursor);
  if (!cursorSaved_) {
    savedCursor_ = previous;
    cursorSaved_ = true;
  }
}

void KxMiniUIRootView::RestoreCursor() {
  if (cursorSaved_) ::SetCursor(savedCursor_);
  savedCursor_ = nullptr;
  cursorSaved_ = false;
}

std::vector<KxMiniUIView*> KxMiniUIRootView::HoverChainOf(KxMiniUIView* view) {
  std::vector<KxMiniUIView*> chain;
  if (view == nullptr) return chain;
  for (KxMiniUIView* parent = view->GetParent(); parent != nullptr && parent->WantsChildEnterExit();
       parent = parent->GetParent()) {
    chain.push_back(parent);
  }
  chain.push_back(view);
  return chain;
}

std::vector<KxMiniUIView*> KxMiniUIRootView::BubbleChainOf(KxMiniUIView* view) const {
  std::vector<KxMiniUIView*> chain;
  for (; view != nullptr && view != this; view = view->GetParent()) chain.push_back(view);
  return chain;
}

void KxMiniUIRootView::ChangeHover(KxMiniUIView* view, POINT point) {
  // The views that stay hovered: the new view's chain, and any view that
  // wants child enter/exit and still holds the mouse in a descendant.
  std::vector<KxMiniUIView*> next = HoverChainOf(view);
  for (KxMiniUIView* old : entered_) {
    if (old->WantsChildEnterExit() && IsInSubtree(view, old) && !Contains(next, old)) {
      next.insert(next.begin(), old);
    }
  }
  std::vector<KxMiniUIView*> leaving;
  for (KxMiniUIView* old : entered_) {
    if (!Contains(next, old)) leaving.push_back(old);
  }
  std::vector<KxMiniUIView*> entering;
  for (KxMiniUIView* added : next) {
    if (!Contains(entered_, added)) entering.push_back(added);
  }
  entered_ = next;
  hovered_ = view;

  // Both lists are watched before any view is told: a leave handler may
  // take out a view that was about to hear it entered.
  CallList leave(*this, std::move(leaving));
  CallList enter(*this, std::move(entering));
  for (KxMiniUIView*& old : leave.Views()) {
    if (old == nullptr) continue;
    const POINT inner = old->ToViewPoint(point);
    if (old == this) {
      KxMiniUIView::OnMouseLeave(inner);
    } else {
      old->OnMouseLeave(inner);
    }
  }
  for (KxMiniUIView*& added : enter.Views()) {
    if (added != nullptr) added->OnMouseEnter(added->ToViewPoint(point));
  }
}

bool KxMiniUIRootView::MoveFocusByTab(UINT modifiers) {
  KxMiniUIView* next = nullptr;
  if (modifiers == 0) {
    next = focusManager_.NextInTabOrder();
  } else if (modifiers == kModifierShift) {
    next = focusManager_.PreviousInTabOrder();
  }
  if (next == nullptr) return false;
  focusManager_.SetFocus(next, kFocusByTab);
  return true;
}

// --- Invalidation, layout and the record.

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

void KxMiniUIRootView::OnCaptureLost() {
  if (pressed_ == nullptr) return;
  ClearMouseReferences();
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
  auto inSubtree = [subtree](const KxMiniUIView* view) { return IsInSubtree(view, subtree); };
  entered_.erase(std::remove_if(entered_.begin(), entered_.end(), inSubtree), entered_.end());
  for (CallList* list : callLists_) {
    for (KxMiniUIView*& view : list->Views()) {
      if (view != nullptr && IsInSubtree(view, subtree)) view = nullptr;
    }
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
