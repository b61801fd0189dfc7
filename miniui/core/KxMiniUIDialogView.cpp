#include "miniui/core/KxMiniUIDialogView.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUILayoutDocument.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUITimerService.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

namespace {

// Window timer ids with this bit set belong to views.
constexpr UINT_PTR kViewTimerBit = 0x80000000u;
// RedrawWindow flags of an immediate repaint.
constexpr UINT kRedrawImmediate = RDW_INVALIDATE | RDW_NOCHILDREN | RDW_UPDATENOW | RDW_NOFRAME;
static_assert(kRedrawImmediate == 0x0941, "immediate repaint flags");

KxMiniUIAppModule& Module() { return KxMiniUIAppModule::Instance(); }

RECT WorkAreaOf(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

// A rectangle of `size` centred on `anchor`, pushed back inside `area` when
// it sticks out on the right or bottom, never above or left of it.
POINT CentredPosition(SIZE size, const RECT& anchor, const RECT& area) {
  LONG x = anchor.left + (anchor.right - anchor.left - size.cx) / 2;
  LONG y = anchor.top + (anchor.bottom - anchor.top - size.cy) / 2;
  if (x + size.cx > area.right) x = area.right - size.cx;
  if (y + size.cy > area.bottom) y = area.bottom - size.cy;
  return POINT{std::max(x, area.left), std::max(y, area.top)};
}

BOOL CALLBACK DestroyChildWindow(HWND child, LPARAM parent) {
  if (::GetParent(child) == reinterpret_cast<HWND>(parent)) ::DestroyWindow(child);
  return TRUE;
}

}  // namespace

KxMiniUIDialogView::KxMiniUIDialogView(UINT layoutId)
    : root_(std::make_shared<KxMiniUIRootView>()), sizingFrame_(*root_), layoutId_(layoutId) {
  root_->SetHost(this);
}

KxMiniUIDialogView::~KxMiniUIDialogView() {
  // The tree may still reach its host while its views go.
  root_->ClearTree();
  root_->SetHost(nullptr);
}

bool KxMiniUIDialogView::OnKeyDown(UINT, UINT, UINT) { return false; }
void KxMiniUIDialogView::OnDropFiles(const std::vector<std::wstring>&) {}
bool KxMiniUIDialogView::OnTimer(UINT_PTR) { return false; }

// --- Layout.

bool KxMiniUIDialogView::LoadLayout(UINT id) {
  KxMiniUILayoutDocument document;
  if (!document.Load(id) || !ApplyLayout(document)) return false;
  layoutId_ = id;
  layoutText_.clear();
  return true;
}

bool KxMiniUIDialogView::SetLayout(const std::string& text) {
  KxMiniUILayoutDocument document;
  if (text.empty() || !document.Parse(text) || !ApplyLayout(document)) return false;
  layoutText_ = text;
  layoutId_ = 0;
  return true;
}

bool KxMiniUIDialogView::LoadOwnLayout() {
  KxMiniUILayoutDocument document;
  if (layoutId_ == 0) {
    if (layoutText_.empty() || !document.Parse(layoutText_)) return false;
  } else if (!document.Load(layoutId_)) {
    return false;
  }
  return ApplyLayout(document);
}

void KxMiniUIDialogView::SetCreationStyles(DWORD style, DWORD exStyle) {
  creationStyle_ = style;
  creationExStyle_ = exStyle;
}

bool KxMiniUIDialogView::ApplyLayout(KxMiniUILayoutDocument& document) {
  description_ = document.Description();
  layered_ = description_.layered;
  document.ApplyTo(*root_);
  const HWND window = GetHwnd();
  if (window == nullptr) {
    // Geometry before the window exists, for owners that look at it early.
    root_->LayoutAt(description_.width, description_.height);
    OnLayoutApplied();
    return true;
  }
  ::EnumChildWindows(window, &DestroyChildWindow, reinterpret_cast<LPARAM>(window));
  const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  const LONG_PTR layeredBit = layered_ ? WS_EX_LAYERED : 0;
  if ((exStyle & WS_EX_LAYERED) != layeredBit) {
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, (exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED)) | layeredBit);
  }
  RecreateShadow();
  ResizeToLayout();
  root_->Invalidate();
  ::InvalidateRect(window, nullptr, FALSE);
  if (inSizeMove_) {
    // End the user's drag: the window under it has just changed.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(window, &cursor);
    ::PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));
  }
  OnLayoutApplied();
  return true;
}

void KxMiniUIDialogView::RecreateShadow() {
  shadow_.reset();
  if (!description_.shadow.present) return;
  shadow_ = std::make_unique<KxWndShadow>(description_.shadow);
  if (!shadow_->Create(GetHwnd())) shadow_.reset();
}

void KxMiniUIDialogView::ResizeToLayout() {
  const HWND window = GetHwnd();
  const int width = Module().ScaleToDevice(description_.width);
  const int height = Module().ScaleToDevice(description_.height);
  RECT client{};
  ::GetClientRect(window, &client);
  const bool sameSize = client.right == width && client.bottom == height;
  ::SetWindowPos(window, nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // No WM_SIZE comes when the size did not change.
  if (sameSize) LayoutRootAtClientSize();
}

void KxMiniUIDialogView::LayoutRootAtClientSize() {
  const SIZE size = RenderSize();
  root_->LayoutAt(Module().ScaleFromDevice(size.cx), Module().ScaleFromDevice(size.cy));
}

// --- Creation and destruction.

void KxMiniUIDialogView::OnNativeCreated() {
  Module().AddWindow(this);
  inputMethod_.Attach(GetHwnd());
  paintAllowed_ = true;
  OnInitDialog();
  FinishWindow();
}

void KxMiniUIDialogView::FinishWindow() {
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  const LONG_PTR current = ::GetWindowLongPtrW(window, GWL_STYLE);
  const DWORD style = description_.style | creationStyle_ | WS_CLIPCHILDREN |
                      static_cast<DWORD>(current & (WS_VISIBLE | WS_DISABLED));
  ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(style));
  ::SetWindowLongPtrW(window, GWL_EXSTYLE, static_cast<LONG_PTR>(description_.exStyle | creationExStyle_));
  ::SetWindowPos(window, nullptr, 0, 0, Module().ScaleToDevice(description_.width),
                 Module().ScaleToDevice(description_.height),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_FRAMECHANGED);
  Centre();
  LayoutRootAtClientSize();
  // An owner's OnInitDialog that applied a layout has made the shadow.
  if (!shadow_) RecreateShadow();
  tooltip_.Create(window);
  ::InvalidateRect(window, nullptr, FALSE);
  if (layered_ && ::IsWindowVisible(window)) ScheduleRender();
}

void KxMiniUIDialogView::Centre() {
  const HWND window = GetHwnd();
  RECT frame{};
  ::GetWindowRect(window, &frame);
  const SIZE size{frame.right - frame.left, frame.bottom - frame.top};
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  if ((style & WS_CHILD) != 0) {
    RECT parentArea{};
    ::GetClientRect(::GetParent(window), &parentArea);
    const POINT at = CentredPosition(size, parentArea, parentArea);
    ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const HWND owner = ::GetWindow(window, GW_OWNER);
  RECT anchor{};
  RECT area{};
  if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &anchor);
    area = WorkAreaOf(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST));
  } else {
    area = WorkAreaOf(nullptr);
    anchor = area;
  }
  const POINT at = CentredPosition(size, anchor, area);
  ::SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void KxMiniUIDialogView::OnNativeDestroyed() {
  const HWND window = GetHwnd();
  KxMiniUITimerService::UnregisterWindow(window);
  for (UINT_PTR id : timers_) ::KillTimer(window, id);
  timers_.clear();
  root_->ClearTree();
  root_->ClearMouseReferences();
  inputMethod_.Detach();
  target_.reset();
  shadow_.reset();
  tooltip_.Forget();
  paintAllowed_ = false;
  trackingLeave_ = false;
  renderPending_ = false;
}

void KxMiniUIDialogView::OnNativeFinal() { Module().RemoveWindow(this); }

// --- Timers.

bool KxMiniUIDialogView::SetTimer(UINT_PTR id, UINT intervalMs) {
  const HWND window = GetHwnd();
  if (window == nullptr) return false;
  const bool set = KxMiniUITimerService::IsRunning() ? KxMiniUITimerService::Register(window, id, intervalMs)
                                                     : ::SetTimer(window, id, intervalMs, nullptr) != 0;
  if (set) timers_.insert(id);
  return set;
}

void KxMiniUIDialogView::KillTimer(UINT_PTR id) {
  timers_.erase(id);
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  KxMiniUITimerService::Unregister(window, id);
  ::KillTimer(window, id);
}

void KxMiniUIDialogView::DispatchTimer(UINT_PTR id) {
  if ((id & kViewTimerBit) == 0) {
    if (timers_.count(id) != 0) {
      OnTimer(id);
    } else {
      KillTimer(id);
    }
    return;
  }
  // A view timer whose view is gone is killed at its first firing after.
  if (!root_->DispatchViewTimer(id)) KillTimer(id);
}

bool KxMiniUIDialogView::SetHostTimer(UINT_PTR id, UINT interval) { return SetTimer(id, interval); }
void KxMiniUIDialogView::KillHostTimer(UINT_PTR id) { KillTimer(id); }

// --- Painting.

bool KxMiniUIDialogView::IsPaintAllowed() { return paintAllowed_ && GetHwnd() != nullptr; }

void KxMiniUIDialogView::InvalidateHostRect(const RECT& rect, bool immediate) {
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  if (layered_) {
    // Nothing invalidates a layered window's surface: render it whole.
    if (immediate) {
      Render();
    } else {
      ScheduleRender();
    }
    return;
  }
  if (immediate) {
    ::RedrawWindow(window, nullptr, nullptr, kRedrawImmediate);
    return;
  }
  const int percent = Module().ScalePercent();
  RECT device{static_cast<LONG>(std::floor(rect.left * percent / 100.0)),
              static_cast<LONG>(std::floor(rect.top * percent / 100.0)),
              static_cast<LONG>(std::ceil(rect.right * percent / 100.0)),
              static_cast<LONG>(std::ceil(rect.bottom * percent / 100.0))};
  ::InvalidateRect(window, &device, TRUE);
}

void KxMiniUIDialogView::ScheduleRender() {
  if (renderPending_ || GetHwnd() == nullptr) return;
  renderPending_ = ::PostMessageW(GetHwnd(), kRenderMessage, 0, 0) != FALSE;
}

void KxMiniUIDialogView::RenderNow() {
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  if (layered_) {
    Render();
  } else {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  }
}

void KxMiniUIDialogView::SetOpacity(BYTE opacity) {
  opacity_ = opacity;
  if (GetHwnd() != nullptr) RenderNow();
}

SIZE KxMiniUIDialogView::RenderSize() const {
  const HWND window = GetHwnd();
  RECT area{};
  if (layered_ && ::IsZoomed(window)) {
    area = WorkAreaOf(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  } else {
    ::GetClientRect(window, &area);
  }
  return SIZE{area.right - area.left, area.bottom - area.top};
}

bool KxMiniUIDialogView::EnsureBackBuffer(int width, int height) {
  const bool opaque = !layered_;
  KxMiniUIRendTarget* canvas = target_ ? target_->Canvas() : nullptr;
  if (canvas != nullptr && targetOpaque_ == opaque) {
    if (canvas->GetWidth() != std::max(width, 1) || canvas->GetHeight() != std::max(height, 1)) {
      canvas->Resize(SIZE{width, height});
    }
    return true;
  }
  KxMiniUIRenderFactory* factory = Module().GetRenderFactory();
  if (factory == nullptr) return false;
  target_ = factory->CreateRenderTarget(width, height, opaque);
  targetOpaque_ = opaque;
  return target_ != nullptr && target_->Canvas() != nullptr;
}

void KxMiniUIDialogView::Render() {
  renderPending_ = false;
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  const SIZE size = RenderSize();
  if (!EnsureBackBuffer(size.cx, size.cy)) {
    // Nothing to paint with: still end the paint cycle.
    PAINTSTRUCT paint{};
    if (!layered_ && ::BeginPaint(window, &paint)) ::EndPaint(window, &paint);
    return;
  }
  const double scale = Module().GetScaleFactor();
  target_->SetScaleFactors(scale, scale);
  KxMiniUIRendTarget& canvas = *target_->Canvas();
  if (!canvas.BeginPaint(window)) return;
  // Whatever no view paints stays transparent (layered) or black, never a
  // leftover of an earlier paint.
  if (Gdiplus::Graphics* graphics = canvas.GetGraphics()) graphics->Clear(Gdiplus::Color(0, 0, 0, 0));
  const bool faded = opacity_ < 255 && canvas.BeginAlphaLayer(opacity_);
  root_->PaintTree(canvas);
  if (faded) canvas.EndLayer();
  canvas.EndPaint();
}

void KxMiniUIDialogView::PaintInto(HDC dc) {
  const HWND window = GetHwnd();
  if (window == nullptr || dc == nullptr) return;
  const SIZE size = RenderSize();
  KxMiniUICanvasGdiplus canvas(size.cx, size.cy, !layered_);
  const double scale = Module().GetScaleFactor();
  canvas.SetScaleFactors(scale, scale);
  if (!canvas.BeginPaint(nullptr)) return;
  root_->PaintTree(canvas);
  canvas.EndPaint();
  ::BitBlt(dc, 0, 0, canvas.GetWidth(), canvas.GetHeight(), canvas.GetMemoryDC(), 0, 0, SRCCOPY);
}

void KxMiniUIDialogView::UpdateTooltip(const std::wstring& text, int maxWidth) { tooltip_.Update(text, maxWidth); }

// --- Style update documents.

void KxMiniUIDialogView::ApplyStyleUpdate(UINT documentId) {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  std::string text;
  if (resources == nullptr || !resources->GetResourceLoader()->LoadXmlText(documentId, text)) return;
  KxMiniUIXmlDocument document;
  if (!document.Parse(text)) return;
  const KxMiniUIXmlNode* style = document.Root();
  if (style == nullptr || std::strcmp(style->name(), "style") != 0) return;
  for (auto* update = style->first_node("updatewnd"); update != nullptr; update = update->next_sibling("updatewnd")) {
    if (static_cast<UINT>(KxMiniUIValue::Number(KxMiniUIXml::Attribute(update, "wndres"))) != layoutId_) continue;
    for (auto* item = update->first_node("view"); item != nullptr; item = item->next_sibling("view")) {
      const char* id = KxMiniUIXml::Attribute(item, "id");
      const char* className = KxMiniUIXml::Attribute(item, "class");
      if (id == nullptr || className == nullptr) continue;
      if (KxMiniUIView* view = root_->FindViewById(static_cast<int>(KxMiniUIValue::Number(id)))) {
        view->SetAttribute("class", className, true);
      }
    }
  }
  root_->RefreshTree();
  RenderNow();
}

// --- Messages.

bool KxMiniUIDialogView::HandleFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  return HandleFrameMessage(message, wParam, lParam, result) ||
         HandleInputMessage(message, wParam, lParam, result) ||
         HandleWindowMessage(message, wParam, lParam, result);
}

bool KxMiniUIDialogView::HandleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const HWND window = GetHwnd();
  switch (message) {
    case WM_CLOSE:
      ::DestroyWindow(window);
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    case WM_GETMINMAXINFO: {
      if (!description_.resizable || description_.minWidth == 0 || description_.minHeight == 0) return false;
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = Module().ScaleToDevice(description_.minWidth);
      info->ptMinTrackSize.y = Module().ScaleToDevice(description_.minHeight);
      const RECT work = WorkAreaOf(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
      info->ptMaxPosition = POINT{0, 0};
      info->ptMaxSize = POINT{work.right - work.left, work.bottom - work.top};
      result = 0;
      return true;
    }
    case WM_NCCALCSIZE: {
      // The whole window is client area: there is no system frame.
      const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
      if (wParam != 0 && ::IsZoomed(window) && (style & WS_CHILD) == 0 && !layered_) {
        auto* sizes = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        sizes->rgrc[0] = WorkAreaOf(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
      }
      result = 0;
      return true;
    }
    case WM_NCHITTEST:
      result = sizingFrame_.HitTest(window, lParam, description_.sizingBorder);
      return true;
    case WM_NCACTIVATE:
      if ((::GetWindowLongPtrW(window, GWL_STYLE) & WS_THICKFRAME) == 0) return false;
      result = 1;
      return true;
    case WM_GETDLGCODE:
      result = ::DefWindowProcW(window, message, wParam, lParam) | DLGC_WANTALLKEYS;
      return true;
    case WM_DROPFILES: {
      const HDROP drop = reinterpret_cast<HDROP>(wParam);
      std::vector<std::wstring> paths;
      const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, &path[0], static_cast<UINT>(path.size())));
        paths.push_back(path);
      }
      ::DragFinish(drop);
      OnDropFiles(paths);
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

bool KxMiniUIDialogView::HandleInputMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE ||
      message == WM_CAPTURECHANGED) {
    if (!HandleMouse(message, wParam, lParam)) return false;
    result = 0;
    return true;
  }
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
      if (!HandleKey(message, wParam, lParam)) return false;
      result = 0;
      return true;
    case WM_UNICHAR:
      // TRUE tells the sender that Unicode characters are welcome.
      if (wParam == UNICODE_NOCHAR) {
        result = TRUE;
        return true;
      }
      root_->OnChar(static_cast<UINT>(wParam));
      result = FALSE;
      return true;
    case WM_IME_STARTCOMPOSITION:
    case WM_IME_ENDCOMPOSITION:
    case WM_IME_COMPOSITION:
      if (!HandleInputMethod(message, lParam)) return false;
      result = 0;
      return true;
    default:
      return false;
  }
}

bool KxMiniUIDialogView::HandleInputMethod(UINT message, LPARAM lParam) {
  if (message == WM_IME_ENDCOMPOSITION) return inputMethod_.OnEndComposition();
  if (root_->GetFocusManager()->GetFocusedView() == nullptr) return false;
  if (message == WM_IME_STARTCOMPOSITION) return inputMethod_.OnStartComposition();
  return inputMethod_.OnComposition(lParam);
}

bool KxMiniUIDialogView::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = GetHwnd();
  KxMiniUIAppModule& module = Module();
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL) ::ScreenToClient(window, &at);
  const POINT point{module.ScaleFromDevice(at.x), module.ScaleFromDevice(at.y)};
  // Button messages carry the bit of their own button, releases included.
  const UINT flags = KxMiniUIRootView::MouseFlagsFor(message, wParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK: {
      ::SetCapture(window);
      const bool doubleClick =
          message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK;
      root_->OnMouseDown(flags, point, doubleClick);
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      root_->OnMouseUp(flags, point, 0);
      // Released after the view heard the release: losing the capture
      // clears the press.
      if (::GetCapture() == window) ::ReleaseCapture();
      return true;
    case WM_MOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
        trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
      }
      root_->OnMouseMove(flags, point);
      return true;
    case WM_MOUSEWHEEL:
      root_->OnMouseWheel(flags, point, GET_WHEEL_DELTA_WPARAM(wParam));
      return true;
    case WM_MOUSELEAVE: {
      trackingLeave_ = false;
      POINT cursor{};
      ::GetCursorPos(&cursor);
      ::ScreenToClient(window, &cursor);
      root_->OnMouseLeave(POINT{module.ScaleFromDevice(cursor.x), module.ScaleFromDevice(cursor.y)});
      return true;
    }
    case WM_CAPTURECHANGED:
      root_->OnCaptureLost();
      return true;
    default:
      return false;
  }
}

bool KxMiniUIDialogView::HandleKey(UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT key = static_cast<UINT>(wParam);
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (root_->OnKeyDown(key, lParam, KxMiniUIRootView::CurrentKeyModifiers())) return true;
      if (OnKeyDown(key, HIWORD(lParam), LOWORD(lParam))) return true;
      // An unhandled system key keeps its system meaning (Alt+F4).
      return message == WM_KEYDOWN;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return root_->OnKeyUp(key, lParam, KxMiniUIRootView::CurrentKeyModifiers()) || message == WM_KEYUP;
    case WM_CHAR:
      root_->OnChar(key);
      return true;
    default:
      return false;
  }
}

void KxMiniUIDialogView::OnSized(WPARAM kind) {
  const HWND window = GetHwnd();
  RECT client{};
  ::GetClientRect(window, &client);
  if (kind == SIZE_MINIMIZED || client.right <= 0 || client.bottom <= 0) {
    // The close button may have been left in its pressed or hover look.
    if (KxMiniUIView* close = root_->FindViewById(kCloseButtonId)) {
      close->RefreshTree();
      close->Invalidate();
    }
    return;
  }
  LayoutRootAtClientSize();
  root_->ClearMouseReferences();
  tooltip_.FitToOwner();
  ::InvalidateRect(window, nullptr, TRUE);
  if (layered_) ScheduleRender();
}

bool KxMiniUIDialogView::HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const HWND window = GetHwnd();
  result = 0;
  switch (message) {
    case WM_CREATE:
      OnNativeCreated();
      return true;
    case WM_DESTROY:
      OnNativeDestroyed();
      return true;
    case WM_NCDESTROY:
      OnNativeFinal();
      return false;  // the default handling frees the system's own data
    case WM_SIZE:
      OnSized(wParam);
      return true;
    case WM_MOVE:
      if (layered_) LayoutRootAtClientSize();
      return true;
    case WM_SETFOCUS:
      root_->OnWindowActivated();
      return true;
    case WM_KILLFOCUS:
      root_->OnWindowDeactivated();
      return true;
    case WM_PAINT:
      Render();
      // A layered window began no system paint: validate it.
      if (layered_) result = ::DefWindowProcW(window, message, wParam, lParam);
      return true;
    case WM_PRINTCLIENT:
      PaintInto(reinterpret_cast<HDC>(wParam));
      return true;
    case WM_SHOWWINDOW:
      if (layered_ && wParam != FALSE) ScheduleRender();
      return false;
    case WM_NCPAINT: {
      const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
      const LONG_PTR maximisable = WS_MAXIMIZEBOX | WS_CAPTION | WS_THICKFRAME;
      if (::IsZoomed(window) && (style & maximisable) == maximisable) return true;
      result = ::DefWindowProcW(window, message, wParam, lParam);
      if (description_.redrawNonClient && !layered_ && (style & WS_CHILD) == 0) {
        if (const Kx::ScopedWindowDC dc = Kx::WindowDCOf(window)) PaintInto(dc.Get());
      }
      return true;
    }
    case WM_TIMER:
    case kTimerMessage:
      DispatchTimer(wParam);
      return true;
    case WM_SETCURSOR:
      if (!sizingFrame_.SetCursor(window, wParam, lParam)) return false;
      result = TRUE;
      return true;
    case WM_ENTERSIZEMOVE:
      inSizeMove_ = true;
      return true;
    case WM_EXITSIZEMOVE:
      inSizeMove_ = false;
      return true;
    case kHighlightMessage:
      // Keyboard highlighting is not offered by this framework's views.
      return true;
    case kRenderMessage:
      renderPending_ = false;
      RenderNow();
      return true;
    case kStyleUpdateMessage:
      ApplyStyleUpdate(static_cast<UINT>(lParam));
      return true;
    default:
      return false;
  }
}
