#include "miniui/core/KxMiniUIWindowImpl.h"

#include "miniui/core/KxMiniUICreationList.h"

namespace {

// The window's extra bytes hold the object pointer at this offset.
constexpr int kObjectSlot = 0;
// Slot value of a window whose object went away before the window did.
constexpr LONG_PTR kDetached = 1;

}  // namespace

KxMiniUIWindowImpl::KxMiniUIWindowImpl() = default;

KxMiniUIWindowImpl::~KxMiniUIWindowImpl() {
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, kObjectSlot, kDetached);
    ::DestroyWindow(hwnd_);
  }
}

KxMiniUIWindowImpl* KxMiniUIWindowImpl::FromHandle(HWND window) {
  if (window == nullptr) return nullptr;
  if (::GetClassLongPtrW(window, GCLP_WNDPROC) !=
      reinterpret_cast<ULONG_PTR>(&KxMiniUIWindowImpl::StaticWindowProc)) {
    return nullptr;
  }
  const LONG_PTR slot = ::GetWindowLongPtrW(window, kObjectSlot);
  return slot == kDetached ? nullptr : reinterpret_cast<KxMiniUIWindowImpl*>(slot);
}

bool KxMiniUIWindowImpl::RegisterWindowClass(const wchar_t* className, UINT classStyle) {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(instance, className, &existing)) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = classStyle;
  windowClass.lpfnWndProc = &KxMiniUIWindowImpl::StaticWindowProc;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = instance;
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = className;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND KxMiniUIWindowImpl::CreateNative(const wchar_t* className, HWND parent, const wchar_t* title, DWORD style,
                                      DWORD exStyle, const RECT& rect) {
  if (hwnd_ != nullptr) return hwnd_;
  KxMiniUICreationList::Push(this);
  const HWND window = ::CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                                        rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
  KxMiniUICreationList::Cancel(this);
  return window;
}

LRESULT CALLBACK KxMiniUIWindowImpl::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LONG_PTR slot = ::GetWindowLongPtrW(window, kObjectSlot);
  if (slot == kDetached) return ::DefWindowProcW(window, message, wParam, lParam);
  auto* self = reinterpret_cast<KxMiniUIWindowImpl*>(slot);
  if (self == nullptr) {
    // The first message of a window CreateNative is making.
    self = static_cast<KxMiniUIWindowImpl*>(KxMiniUICreationList::Take());
    if (self == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, kObjectSlot, reinterpret_cast<LONG_PTR>(self));
  }
  const LRESULT result = self->WindowProc(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, kObjectSlot, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();
  }
  return result;
}
