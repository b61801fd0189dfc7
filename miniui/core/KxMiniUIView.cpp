#include "miniui/core/KxMiniUIView.h"

#include <algorithm>
#include <cstring>

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

namespace {

using KxMiniUIText::NamesEqual;

// "drag" and "focusable" take only "0" or "1".
bool ParseZeroOrOne(const char* value, int& out) {
  if (value != nullptr && std::strcmp(value, "0") == 0) {
    out = 0;
    return true;
  }
  if (value != nullptr && std::strcmp(value, "1") == 0) {
    out = 1;
    return true;
  }
  return false;
}

template <typename Fn>
void ForEachInSubtree(KxMiniUIView* subtree, Fn&& fn) {
  fn(subtree);
  for (size_t i = 0; i < subtree->GetChildCount(); ++i) ForEachInSubtree(subtree->GetChildAt(i), fn);
}

bool IsEmptyRect(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

KxMiniUIStylePool* StylePool() {
  KxMiniUIManner* manner = KxMiniUIManner::Instance();
  return manner ? manner->GetStylePool() : nullptr;
}

}  // namespace

KxMiniUIView::KxMiniUIView() : KxMiniUIView(false) {}

KxMiniUIView::KxMiniUIView(bool isRoot) : isRoot_(isRoot) {}

KxMiniUIView::~KxMiniUIView() = default;

// --- Loading.

bool KxMiniUIView::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  LoadAttributesFromXml(node);
  LoadChildrenFromXml(node);
  return true;
}

bool KxMiniUIView::LoadAttributesFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  if (const char* width = KxMiniUIXml::Attribute(node, "width")) layout_.SetWidth(width);
  if (const char* height = KxMiniUIXml::Attribute(node, "height")) layout_.SetHeight(height);
  if (const char* floating = KxMiniUIXml::Attribute(node, "float")) {
    layout_.SetFloat(KxMiniUIValue::Number(floating) != 0 ? 1 : 0);
  }
  if (const char* xalign = KxMiniUIXml::Attribute(node, "xalign")) layout_.SetHorizontalAlignment(xalign);
  if (const char* yalign = KxMiniUIXml::Attribute(node, "yalign")) layout_.SetVerticalAlignment(yalign);
  KxMiniUIObject::LoadFromXml(node);
  // Read last, so "show" wins over "visible".
  if (const char* show = KxMiniUIXml::Attribute(node, "show")) SetVisible(KxMiniUIValue::Number(show) == 1);
  PrefetchStyleSkin();
  return true;
}

std::shared_ptr<KxMiniUISkin> KxMiniUIView::StyleSkin() const {
  if (style_.skin.empty()) return nullptr;
  KxMiniUIManner* manner = KxMiniUIManner::Instance();
  return manner ? manner->GetSkinPool()->Get(style_.skin) : nullptr;
}

void KxMiniUIView::PrefetchStyleSkin() {
  if (std::shared_ptr<KxMiniUISkin> skin = StyleSkin()) skin->Prefetch();
}

bool KxMiniUIView::LoadChildrenFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  for (auto* element = node->first_node(); element != nullptr; element = element->next_sibling()) {
    if (element->type() != rapidxml::node_element || element->name_size() == 0) continue;
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(element->name());
    auto* view = dynamic_cast<KxMiniUIView*>(object.get());
    if (view == nullptr || !view->LoadFromXml(element)) continue;
    object.release();
    AddChild(std::unique_ptr<KxMiniUIView>(view));
  }
  return true;
}

HRESULT KxMiniUIView::SetAttribute(const char* name, const char* value, bool notify) {
  if (name == nullptr) return kAttrRejected;
  if (value == nullptr) value = "";
  if (NamesEqual(name, "class")) {
    // The whole style is replaced: style attributes before "class" are lost.
    KxMiniUIStylePool* pool = StylePool();
    style_ = pool ? pool->Get(value) : KxMiniUIStyle();
    return kAttrTaken;
  }
  if (style_.SetAttribute(name, value, notify) >= 0) return kAttrTaken;
  const long number = KxMiniUIValue::Number(value);
  if (NamesEqual(name, "inheritstyle")) {
    inheritStyle_ = number != 0;
  } else if (NamesEqual(name, "visible")) {
    SetVisible(number != 0);
  } else if (NamesEqual(name, "enable")) {
    SetEnabled(number != 0);
  } else if (NamesEqual(name, "drag")) {
    if (!ParseZeroOrOne(value, drag_)) return kAttrRejected;
  } else if (NamesEqual(name, "focusable")) {
    if (!ParseZeroOrOne(value, focusable_)) return kAttrRejected;
  } else if (NamesEqual(name, "id")) {
    const int oldId = id_;
    id_ = static_cast<int>(number);
    if (oldId != id_ && parent_ != nullptr && !registrationPending_) parent_->OnChildRegistered(this, oldId);
  } else if (NamesEqual(name, "tabstop")) {
    tabStop_ = static_cast<int>(number);
  } else if (NamesEqual(name, "pos")) {
    layout_.ParsePos(value);
    return kAttrChanged;
  } else if (NamesEqual(name, "childenterexit-nty")) {
    childEnterExit_ = number != 0;
  } else if (NamesEqual(name, "enterexit-msg")) {
    enterExitMessage_ = number != 0;
  } else if (NamesEqual(name, "notifyrbclick")) {
    notifyRightClick_ = number != 0;
  } else if (NamesEqual(name, "transmouse")) {
    transparentToMouse_ = number != 0;
  } else {
    return kAttrRejected;
  }
  return kAttrTaken;
}

// --- The tree.

size_t KxMiniUIView::GetChildCount() const { return children_.size(); }

KxMiniUIView* KxMiniUIView::GetChildAt(size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

size_t KxMiniUIView::IndexOf(const KxMiniUIView* child) const {
  for (size_t i = 0; i < children_.size(); ++i) {
    if (children_[i].get() == child) return i;
  }
  return static_cast<size_t>(-1);
}

KxMiniUIRootView* KxMiniUIView::GetRootView() const {
  const KxMiniUIView* view = this;
  while (view->parent_ != nullptr) view = view->parent_;
  return view->isRoot_ ? static_cast<KxMiniUIRootView*>(const_cast<KxMiniUIView*>(view)) : nullptr;
}

KxMiniUIView* KxMiniUIView::AddChild(std::unique_ptr<KxMiniUIView> child) {
  return InsertChild(children_.size(), std::move(child));
}

KxMiniUIView* KxMiniUIView::InsertChild(size_t index, std::unique_ptr<KxMiniUIView> child) {
  if (!child || child->isRoot_) return nullptr;
  KxMiniUIView* view = child.get();
  children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(std::min(index, children_.size())),
                   std::move(child));
  view->parent_ = this;
  if (view->inheritStyle_) view->InheritStyleFrom(style_);
  if (KxMiniUIRootView* root = GetRootView()) {
    root->GetFocusManager()->AddToTabOrder(view);
    RegisterSubtreeIds(view);
  }
  view->OnAttached();
  return view;
}

bool KxMiniUIView::AdoptChild(KxMiniUIView* view, size_t index) {
  if (view == nullptr || view == this || view->isRoot_) return false;
  for (const KxMiniUIView* ancestor = this; ancestor != nullptr; ancestor = ancestor->parent_) {
    if (ancestor == view) return false;  // a view cannot go inside itself
  }
  KxMiniUIView* oldParent = view->parent_;
  if (oldParent == nullptr) return false;  // a parentless view is owned by someone else
  std::unique_ptr<KxMiniUIView> detached = oldParent->RemoveChild(view, false);
  return detached && InsertChild(index, std::move(detached)) != nullptr;
}

std::unique_ptr<KxMiniUIView> KxMiniUIView::RemoveChild(KxMiniUIView* child, bool destroy) {
  const size_t index = IndexOf(child);
  if (index == static_cast<size_t>(-1)) return nullptr;
  if (KxMiniUIRootView* root = GetRootView()) {
    UnregisterSubtreeIds(child);
    root->GetFocusManager()->Forget(child);
    root->ForgetSubtree(child);
    child->ReleaseSubtreeTimers(*root);
  }
  std::unique_ptr<KxMiniUIView> removed = std::move(children_[index]);
  children_.erase(children_.begin() + static_cast<std::ptrdiff_t>(index));
  removed->parent_ = nullptr;
  if (destroy) removed.reset();
  return removed;
}

void KxMiniUIView::RegisterSubtreeIds(KxMiniUIView* subtree) {
  ForEachInSubtree(subtree, [](KxMiniUIView* view) {
    if (view->id_ != 0) {
      for (KxMiniUIView* ancestor = view->parent_; ancestor != nullptr; ancestor = ancestor->parent_) {
        ancestor->idMap_[view->id_] = view;
      }
    }
    view->registrationPending_ = false;
  });
}

void KxMiniUIView::UnregisterSubtreeIds(KxMiniUIView* subtree) {
  ForEachInSubtree(subtree, [subtree](KxMiniUIView* view) {
    if (view->id_ != 0) {
      // Maps inside the subtree travel with it; those above it forget the view.
      for (KxMiniUIView* ancestor = subtree->parent_; ancestor != nullptr; ancestor = ancestor->parent_) {
        auto found = ancestor->idMap_.find(view->id_);
        if (found != ancestor->idMap_.end() && found->second == view) ancestor->idMap_.erase(found);
      }
    }
    view->registrationPending_ = true;
  });
}

void KxMiniUIView::OnChildRegistered(KxMiniUIView* child, int oldId) {
  for (KxMiniUIView* ancestor = this; ancestor != nullptr; ancestor = ancestor->parent_) {
    auto found = ancestor->idMap_.find(oldId);
    if (found != ancestor->idMap_.end() && found->second == child) ancestor->idMap_.erase(found);
    if (child->id_ != 0) ancestor->idMap_[child->id_] = child;
  }
}

KxMiniUIView* KxMiniUIView::FindViewById(int id) {
  if (id_ == id) return this;
  auto found = idMap_.find(id);
  if (found != idMap_.end()) return found->second;
  for (const auto& child : children_) {
    if (KxMiniUIView* view = child->FindViewById(id)) return view;
  }
  return nullptr;
}

void KxMiniUIView::InheritStyleFrom(const KxMiniUIStyle& parent) {
  const KxMiniUIStyle defaults;
  for (int state = 0; state < 4; ++state) {
    if (!style_.background[state].IsSet()) style_.background[state] = parent.background[state];
    if (!style_.border[state].IsSet()) style_.border[state] = parent.border[state];
  }
  if (style_.crText == defaults.crText) style_.crText = parent.crText;
  if (style_.crHover == defaults.crHover) style_.crHover = parent.crHover;
  if (style_.crPressed == defaults.crPressed) style_.crPressed = parent.crPressed;
  if (style_.crDisabled == defaults.crDisabled) style_.crDisabled = parent.crDisabled;
  if (style_.cursor == defaults.cursor) style_.cursor = parent.cursor;
  if (style_.skin.empty()) style_.skin = parent.skin;
  KxMiniUITextFormat& text = style_.text;
  if (text.face.empty()) text.face = parent.text.face;
  if (text.size == 0) text.size = parent.text.size;
  if (text.fontStyle == 0) text.fontStyle = parent.text.fontStyle;
  if (text.align == KxMiniUITextFormat::kAlignUnset) text.align = parent.text.align;
  if (text.lineAlign == KxMiniUITextFormat::kAlignUnset) text.lineAlign = parent.text.lineAlign;
}

void KxMiniUIView::OnAttached() {}

// --- Layout.

RECT KxMiniUIView::ComputeRect() {
  const size_t index = parent_->IndexOf(this);
  const KxMiniUIView* previous = index > 0 && index != static_cast<size_t>(-1) ? parent_->GetChildAt(index - 1)
                                                                               : nullptr;
  const SIZE natural = layout_.Count() == 4 ? SIZE{0, 0} : GetContentSize();
  return layout_.Place(SIZE{parent_->Width(), parent_->Height()}, previous ? &previous->rect_ : nullptr, natural);
}

void KxMiniUIView::Layout() {
  if (isRoot_) laidOut_ = true;
  if (parent_ != nullptr) {
    rect_ = ComputeRect();
    if (parent_->laidOut_) {
      laidOut_ = true;
      int floating = layout_.Float();
      if (floating < 0) {
        const KxMiniUIRootView* root = GetRootView();
        floating = root != nullptr && root->IsNotResizable() ? 1 : 0;
      }
      // A floating view is placed once; later layouts of its parent leave it.
      if (floating == 1) followsParent_ = false;
    }
  }
  LayoutChildren();
}

void KxMiniUIView::LayoutChildren() {
  const KxMiniUIRootView* root = GetRootView();
  const bool resizable = root == nullptr || !root->IsNotResizable();
  for (const auto& child : children_) {
    if (child->followsParent_) {
      child->Layout();
    } else if (resizable) {
      child->LayoutChildren();
    }
  }
}

void KxMiniUIView::SetRect(const RECT& rect, bool invalidate) {
  const RECT old = rect_;
  rect_ = rect;
  if (old.right - old.left != rect.right - rect.left || old.bottom - old.top != rect.bottom - rect.top) {
    LayoutChildren();
  }
  if (invalidate && parent_ != nullptr) {
    RECT both{};
    ::UnionRect(&both, &old, &rect);
    parent_->InvalidateRect(both, 0);
  }
}

void KxMiniUIView::MoveBy(int dx, int dy, int dWidth, int dHeight) {
  SetRect(RECT{rect_.left + dx, rect_.top + dy, rect_.right + dx + dWidth, rect_.bottom + dy + dHeight}, true);
}

POINT KxMiniUIView::ToWindowPoint(POINT point) const {
  for (const KxMiniUIView* view = this; view != nullptr; view = view->parent_) {
    point.x += view->rect_.left;
    point.y += view->rect_.top;
  }
  return point;
}

POINT KxMiniUIView::ToViewPoint(POINT windowPoint) const {
  for (const KxMiniUIView* view = this; view != nullptr; view = view->parent_) {
    windowPoint.x -= view->rect_.left;
    windowPoint.y -= view->rect_.top;
  }
  return windowPoint;
}

bool KxMiniUIView::HitTest(POINT point) {
  return point.x >= 0 && point.y >= 0 && point.x < Width() && point.y < Height();
}

KxMiniUIView* KxMiniUIView::FindViewAt(POINT point) {
  for (auto child = children_.rbegin(); child != children_.rend(); ++child) {
    KxMiniUIView* view = child->get();
    if (!view->visible_ || !view->enabled_) continue;
    const POINT inner{point.x - view->rect_.left, point.y - view->rect_.top};
    if (!view->HitTest(inner)) continue;
    // A view transparent to the mouse lets the point reach what lies under it.
    if (KxMiniUIView* found = view->FindViewAt(inner)) return found;
  }
  return transparentToMouse_ && !isRoot_ ? nullptr : this;
}

// --- State.

void KxMiniUIView::RefreshTree() {
  for (const auto& child : children_) child->RefreshTree();
  Invalidate();
}

void KxMiniUIView::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (visible) {
    visible_ = true;
    Invalidate();
  } else {
    if (parent_ != nullptr) parent_->InvalidateRect(rect_, 0);
    visible_ = false;
  }
}

bool KxMiniUIView::IsVisible() const { return visible_; }

void KxMiniUIView::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Invalidate();
}

bool KxMiniUIView::IsEnabled() const { return enabled_; }

void KxMiniUIView::SetSkinName(const std::string& name) { style_.skin = name; }

void KxMiniUIView::SetSpareFlag1(bool value) { spareFlag1_ = value; }
bool KxMiniUIView::GetSpareFlag1() const { return spareFlag1_; }
void KxMiniUIView::SetSpareFlag2(bool value) { spareFlag2_ = value; }
bool KxMiniUIView::GetSpareFlag2() const { return spareFlag2_; }

bool KxMiniUIView::WantsChildEnterExit() const { return childEnterExit_; }

SIZE KxMiniUIView::GetContentSize() { return SIZE{0, 0}; }

void KxMiniUIView::SetFocus() {
  if (KxMiniUIRootView* root = GetRootView()) root->GetFocusManager()->SetFocus(this, kFocusByCode);
}

// --- Input.

bool KxMiniUIView::OnMouseDown(UINT flags, POINT, bool doubleClick) {
  // A right press never moves the window. A view that reports right clicks
  // takes the press, since only the view holding it hears the release.
  if ((flags & MK_RBUTTON) != 0) return notifyRightClick_;
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root ? root->GetHost() : nullptr;
  HWND window = host ? host->GetHostWindow() : nullptr;
  if (window == nullptr) return false;
  if (drag_ == -1) drag_ = root->GetDefaultDrag() ? 1 : 0;
  if (drag_ != 1 || doubleClick) return false;
  const bool oldSystem = LOBYTE(LOWORD(::GetVersion())) < 6;
  const bool thickFrame = (::GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) != 0;
  if (oldSystem && thickFrame && ::IsZoomed(window)) return false;
  // Moving by the caption: the system runs the drag loop from here.
  ::PostMessageW(window, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
  return false;
}

bool KxMiniUIView::OnMouseDrag(UINT, POINT) { return false; }

bool KxMiniUIView::OnMouseUp(UINT flags, POINT, UINT) {
  if ((flags & MK_RBUTTON) != 0 && notifyRightClick_) Notify(kMiniUINotifyRightClick);
  return false;
}

bool KxMiniUIView::OnMouseMove(UINT, POINT) { return false; }

bool KxMiniUIView::OnMouseWheel(UINT, POINT, int) { return false; }

void KxMiniUIView::OnMouseEnter(POINT) {
  KxMiniUIRootView* root = GetRootView();
  if (IMiniUIViewHost* host = root ? root->GetHost() : nullptr) {
    const int width = GetTooltipWidth();
    host->UpdateTooltip(GetTooltipText(), width < 1 ? -1 : width);
  }
  if (enterExitMessage_) Notify(kMiniUINotifyMouseEnter);
}

void KxMiniUIView::OnMouseLeave(POINT) {
  if (enterExitMessage_) Notify(kMiniUINotifyMouseLeave);
}

bool KxMiniUIView::OnKeyDown(UINT, LPARAM, UINT) { return false; }
bool KxMiniUIView::OnKeyUp(UINT, LPARAM, UINT) { return false; }
bool KxMiniUIView::OnChar(UINT) { return false; }
void KxMiniUIView::OnSetFocus(int) {}
void KxMiniUIView::OnKillFocus() {}

HCURSOR KxMiniUIView::GetCursor(POINT) {
  return ::LoadCursorW(nullptr, enabled_ ? style_.cursor : IDC_ARROW);
}

void KxMiniUIView::OnTimer(int) {}

// --- Invalidation and painting.

void KxMiniUIView::Invalidate() {
  if (visible_) InvalidateRect(RECT{0, 0, Width(), Height()}, 0);
}

void KxMiniUIView::InvalidateRect(const RECT& rect, UINT flags) {
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root ? root->GetHost() : nullptr;
  if (host == nullptr || !host->IsPaintAllowed() || IsEmptyRect(rect)) return;
  RECT area = rect;
  const KxMiniUIView* view = this;
  while (view->parent_ != nullptr) {
    ::OffsetRect(&area, view->rect_.left, view->rect_.top);
    const KxMiniUIView* parent = view->parent_;
    if (!parent->visible_) return;
    const RECT bounds{0, 0, parent->Width(), parent->Height()};
    if (!::IntersectRect(&area, &area, &bounds)) return;
    view = parent;
  }
  root->InvalidateRect(area, flags);
}

void KxMiniUIView::Paint(KxMiniUIRendTarget& canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  if (!style_.skin.empty()) {
    if (std::shared_ptr<KxMiniUISkin> skin = StyleSkin()) skin->Draw(canvas, bounds, 0);
    return;
  }
  if (style_.background[KxMiniUIStyle::kNormal].IsSet()) {
    canvas.FillRect(bounds, style_.background[KxMiniUIStyle::kNormal].rgb, 255);
  }
}

void KxMiniUIView::PaintTree(KxMiniUIRendTarget& canvas) {
  if (!visible_) return;
  RECT clip{};
  RECT visible{};
  if (canvas.GetClipBounds(clip) && !::IntersectRect(&visible, &clip, &rect_)) return;
  canvas.PushClip(rect_);
  canvas.Translate(static_cast<float>(rect_.left), static_cast<float>(rect_.top));
  Paint(canvas);
  for (const auto& child : children_) child->PaintTree(canvas);
  canvas.PopClip();
}

void KxMiniUIView::SetTooltipText(const std::wstring&) {}
std::wstring KxMiniUIView::GetTooltipText() { return std::wstring(); }
void KxMiniUIView::SetTooltipWidth(int) {}
int KxMiniUIView::GetTooltipWidth() { return 0; }
bool KxMiniUIView::IsOpaque() { return false; }
bool KxMiniUIView::IsOpaqueForChildren() { return false; }

LRESULT KxMiniUIView::Notify(UINT code) {
  KxMiniUINotification record{};
  record.id = id_;
  record.className = GetClassName();
  record.view = this;
  return Notify(code, record);
}

LRESULT KxMiniUIView::Notify(UINT code, KxMiniUINotification& record) {
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root ? root->GetHost() : nullptr;
  HWND window = host ? host->GetHostWindow() : nullptr;
  if (window == nullptr || !::IsWindow(window)) return 0;
  record.header.hwndFrom = window;
  record.header.idFrom = kMiniUINotifyControlId;
  record.header.code = code;
  return ::SendMessageW(window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&record));
}

// --- Timers.

UINT_PTR KxMiniUIView::TimerIdOf(int slot) const {
  const uint32_t bits = static_cast<uint32_t>(((slot <= 0 ? 1 : slot) & 0x7F) + 128);
  return static_cast<UINT_PTR>((bits << 24) | (timerSerial_ & 0xFFFFFFu));
}

bool KxMiniUIView::SetTimer(int slot, UINT interval) {
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root ? root->GetHost() : nullptr;
  if (host == nullptr) return false;
  if (timerSerial_ == 0) timerSerial_ = root->AllocateTimerSerial(this);
  const UINT_PTR id = TimerIdOf(slot);
  if (!host->SetHostTimer(id, interval)) return false;
  timers_.insert(id);
  return true;
}

void KxMiniUIView::KillTimer(int slot) {
  const UINT_PTR id = TimerIdOf(slot);
  timers_.erase(id);
  KxMiniUIRootView* root = GetRootView();
  if (IMiniUIViewHost* host = root ? root->GetHost() : nullptr) host->KillHostTimer(id);
}

void KxMiniUIView::ReleaseSubtreeTimers(KxMiniUIRootView& root) {
  IMiniUIViewHost* host = root.GetHost();
  ForEachInSubtree(this, [&root, host](KxMiniUIView* view) {
    for (UINT_PTR id : view->timers_) {
      if (host != nullptr) host->KillHostTimer(id);
    }
    view->timers_.clear();
    if (view->timerSerial_ != 0) root.ReleaseTimerSerial(view->timerSerial_);
    view->timerSerial_ = 0;
  });
}
