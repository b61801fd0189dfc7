#include "miniui/controls/KxMiniUIMenu.h"

#include <utility>

#include "miniui/controls/KxMiniUIListBox.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUINotification.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIMenu);

namespace {

// The object the element's tag makes, when it is a `T`.
template <typename T>
std::unique_ptr<T> CreateAs(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return nullptr;
  std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(node->name());
  if (dynamic_cast<T*>(object.get()) == nullptr) return nullptr;
  return std::unique_ptr<T>(static_cast<T*>(object.release()));
}

// `value` inside a double-quoted XML attribute.
std::string EscapedAttribute(const char* value) {
  std::string escaped;
  for (const char* p = value; *p != '\0'; ++p) {
    switch (*p) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += *p; break;
    }
  }
  return escaped;
}

}  // namespace

std::string KxMiniUIMenu::WindowDescription(const KxMiniUIXmlNode* shadow) {
  std::string text =
      "<layer resize=\"1\" nomaxsize=\"1\" defaultdrag=\"0\" defaultfocus=\"0\" visible=\"0\">";
  if (shadow != nullptr) {
    static const char* const kShadowAttributes[] = {"src",          "margin",       "radiustop",
                                                    "radiusbottom", "sizingborder", "prunedmsgfollow"};
    text += "<shadow";
    for (const char* name : kShadowAttributes) {
      const char* value = KxMiniUIXml::Attribute(shadow, name);
      if (value != nullptr) text += std::string(" ") + name + "=\"" + EscapedAttribute(value) + "\"";
    }
    text += " />";
  }
  text += "<body crbg=\"FFFFFF\"><listbox id=\"1000000\" pos=\"0,0,-0,-0\" crbg=\"FFFFFF\" float=\"0\" /></body></layer>";
  return text;
}

KxMiniUIMenu::~KxMiniUIMenu() = default;

std::unique_ptr<KxMiniUIMenu> KxMiniUIMenu::CreateFromText(const std::string& text) {
  const auto document = KxMiniUIXmlDocument::FromText(text);
  if (!document) return nullptr;
  std::unique_ptr<KxMiniUIMenu> menu = CreateAs<KxMiniUIMenu>(document->Root());
  if (menu && !menu->LoadFromXml(document->Root())) return nullptr;
  return menu;
}

bool KxMiniUIMenu::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (node == nullptr) return false;
  LoadAttributesFromXml(node);
  if (!EnsureWindow(KxMiniUIXml::Child(node, "shadow"))) return false;
  for (const KxMiniUIXmlNode* child = node->first_node(); child != nullptr; child = child->next_sibling()) {
    if (!KxMiniUIText::NamesEqual(child->name(), KxMiniUIMenuItem::kTag)) continue;
    std::unique_ptr<KxMiniUIMenuItem> item = CreateAs<KxMiniUIMenuItem>(child);
    if (item && item->LoadFromXml(child)) AppendItem(std::move(item));
  }
  return true;
}

HRESULT KxMiniUIMenu::SetAttribute(const char* name, const char* value, bool notify) {
  if (KxMiniUIText::NamesEqual(name, "crbg") && value != nullptr) background_ = value;
  return KxMiniUIView::SetAttribute(name, value, notify);
}

bool KxMiniUIMenu::EnsureWindow(const KxMiniUIXmlNode* shadow) {
  if (GetHwnd() != nullptr) return true;
  if (!SetLayout(WindowDescription(shadow))) return false;
  return Create(nullptr, WS_POPUP, kWindowExStyle) != nullptr;
}

void KxMiniUIMenu::OnInitDialog() {
  KxMiniUISimpleWindow::OnInitDialog();
  list_ = dynamic_cast<KxMiniUIListBox*>(KxMiniUISimpleWindow::GetRootView()->FindViewById(kItemListId));
  if (list_ == nullptr) return;
  list_->SetFocus();
  if (!background_.empty() && list_->GetParent() != nullptr) {
    list_->GetParent()->SetAttribute("crbg", background_.c_str(), false);
  }
}

KxMiniUIMenuItem* KxMiniUIMenu::AddItemFromText(const std::string& text) {
  if (list_ == nullptr || text.empty()) return nullptr;
  const auto document = KxMiniUIXmlDocument::FromText(text);
  if (!document) return nullptr;
  std::unique_ptr<KxMiniUIMenuItem> item = CreateAs<KxMiniUIMenuItem>(document->Root());
  if (!item || !item->LoadFromXml(document->Root())) return nullptr;
  KxMiniUIMenuItem* added = item.get();
  AppendItem(std::move(item));
  return added;
}

void KxMiniUIMenu::AppendItem(std::unique_ptr<KxMiniUIMenuItem> item) {
  if (list_ == nullptr) return;
  item->SetMenu(this);
  list_->AddChild(std::move(item));
}

size_t KxMiniUIMenu::GetItemCount() const { return list_ != nullptr ? list_->GetChildCount() : 0; }

KxMiniUIMenuItem* KxMiniUIMenu::GetItemAt(size_t index) const {
  if (index >= GetItemCount()) return nullptr;
  return dynamic_cast<KxMiniUIMenuItem*>(list_->GetChildAt(index));
}

KxMiniUIMenuItem* KxMiniUIMenu::ItemAt(int index) const {
  return index < 0 ? nullptr : GetItemAt(static_cast<size_t>(index));
}

// --- Placement.

RECT KxMiniUIMenu::WorkArea() const {
  if (owner_ != nullptr && ::IsWindow(owner_)) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &info)) return info.rcWork;
  }
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

RECT KxMiniUIMenu::PlacementFor(SIZE size) const {
  const RECT work = WorkArea();
  RECT rect{anchor_.x, anchor_.y, anchor_.x + size.cx, anchor_.y + size.cy};
  if (rect.top < work.top) ::OffsetRect(&rect, 0, size.cy);
  // Near the bottom the menu opens upwards from the point.
  if (rect.bottom > work.bottom) ::OffsetRect(&rect, 0, -size.cy);
  if (rect.left < work.left) ::OffsetRect(&rect, work.left - rect.left, 0);
  if (rect.right > work.right) ::OffsetRect(&rect, work.right - rect.right, 0);
  return rect;
}

bool KxMiniUIMenu::ShowAtAnchor() {
  if (list_ == nullptr || list_->GetChildCount() == 0) return false;
  const KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  const SIZE content = list_->GetContentSize();
  const SIZE size{module.ScaleToDevice(content.cx + margins_.left + margins_.right),
                  module.ScaleToDevice(content.cy + margins_.top + margins_.bottom)};
  const RECT rect = PlacementFor(size);
  ::SetWindowPos(GetHwnd(), HWND_TOPMOST, rect.left, rect.top, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  const int width = module.ScaleFromDevice(size.cx);
  const int height = module.ScaleFromDevice(size.cy);
  list_->SetRect(RECT{margins_.left, margins_.top, width - margins_.right, height - margins_.bottom}, true);
  return true;
}

int KxMiniUIMenu::Popup() {
  const HWND window = GetHwnd();
  if (!ShowAtAnchor()) return chosenId_;
  ::SetForegroundWindow(window);
  ::ShowWindow(window, SW_SHOW);
  ::SetFocus(window);
  MSG message{};
  while (::IsWindow(window) && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  // A WM_QUIT taken here belongs to the caller's own loop.
  if (message.message == WM_QUIT) ::PostQuitMessage(static_cast<int>(message.wParam));
  return chosenId_;
}

// --- Highlight and keys.

void KxMiniUIMenu::OnItemHighlighted(KxMiniUIMenuItem* item) {
  if (list_ == nullptr) return;
  const int index = list_->ItemIndexOf(item);
  if (index < 0) return;
  const int previous = highlighted_;
  highlighted_ = index;
  if (previous != index) {
    if (KxMiniUIMenuItem* old = ItemAt(previous)) old->OnMouseLeave(POINT{-1, -1});
  }
}

void KxMiniUIMenu::MoveHighlight(int from, int to) {
  KxMiniUIMenuItem* next = ItemAt(to);
  if (next == nullptr) return;
  if (KxMiniUIMenuItem* current = ItemAt(from)) current->OnMouseLeave(POINT{-1, -1});
  next->OnMouseEnter(POINT{next->Width() / 2, next->Height() / 2});
  // A disabled item does not light up, yet the keys step onto it so they
  // can pass it (Return will not choose it).
  highlighted_ = to;
}

bool KxMiniUIMenu::OnMenuKey(UINT key) {
  const int count = static_cast<int>(GetItemCount());
  const bool inside = highlighted_ >= 0 && highlighted_ < count;
  switch (key) {
    case VK_RETURN:
      if (inside) {
        KxMiniUIMenuItem* item = ItemAt(highlighted_);
        if (item != nullptr && item->IsEnabled()) {
          chosenId_ = item->GetId();
          CloseSoon();
        }
      }
      return true;
    case VK_ESCAPE:
      CloseSoon();
      return true;
    case VK_UP:
      if (inside && highlighted_ > 0) {
        MoveHighlight(highlighted_, highlighted_ - 1);
      } else {
        MoveHighlight(-1, 0);
      }
      return true;
    case VK_DOWN:
      if (!inside) {
        MoveHighlight(-1, 0);
      } else if (highlighted_ + 1 < count) {
        MoveHighlight(highlighted_, highlighted_ + 1);
      }
      return true;
    default:
      return false;
  }
}

void KxMiniUIMenu::CloseSoon() const {
  if (GetHwnd() != nullptr) ::PostMessageW(GetHwnd(), WM_CLOSE, 0, 0);
}

bool KxMiniUIMenu::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
  switch (message) {
    case WM_KEYDOWN:
      if (!OnMenuKey(static_cast<UINT>(wParam))) break;
      result = 0;
      return true;
    case WM_KEYUP:
      if (wParam != VK_RETURN && wParam != VK_ESCAPE && wParam != VK_UP && wParam != VK_DOWN) break;
      result = 0;
      return true;
    case WM_NOTIFY: {
      const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
      if (record == nullptr || record->header.idFrom != kMiniUINotifyControlId ||
          record->header.code != kMiniUINotifyClick) {
        break;
      }
      chosenId_ = record->id;
      CloseSoon();
      result = 0;
      return true;
    }
    case WM_KILLFOCUS:
      // Losing the focus (a click outside, another window activated) closes
      // the menu with nothing chosen.
      CloseSoon();
      break;
    case WM_DESTROY:
      list_ = nullptr;
      anchor_ = POINT{0, 0};
      highlighted_ = -1;
      break;
    default:
      break;
  }
  return KxMiniUISimpleWindow::ProcessWindowMessage(window, message, wParam, lParam, result);
}
