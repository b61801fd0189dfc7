#include "miniui/core/KxMiniUISimpleWindow.h"

#include "miniui/core/KxMiniUIAppModule.h"

KxMiniUISimpleWindow::KxMiniUISimpleWindow(UINT layoutId) : KxMiniUIDialogView(layoutId) {}

KxMiniUISimpleWindow::~KxMiniUISimpleWindow() {
  // Destroyed here, while the view side still handles its messages.
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
}

HWND KxMiniUISimpleWindow::Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect) {
  if (Hwnd() != nullptr) return Hwnd();
  if (!LoadOwnLayout()) return nullptr;
  const KxMiniUIWindowDescription& description = GetDescription();
  SetCreationStyles(style, exStyle);
  DWORD windowStyle = description.style | style;
  if (windowStyle == 0) windowStyle = kFallbackStyle;
  const bool useRect = rect.right > rect.left && rect.bottom > rect.top;
  const RECT layoutRect{description.x, description.y, description.x + description.width,
                        description.y + description.height};
  const RECT& chosen = useRect ? rect : layoutRect;
  const KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  const RECT device{module.ScaleToDevice(chosen.left), module.ScaleToDevice(chosen.top),
                    module.ScaleToDevice(chosen.right), module.ScaleToDevice(chosen.bottom)};
  if (!RegisterWindowClass(kClassName, CS_DBLCLKS)) return nullptr;
  return CreateNative(kClassName, parent, description.title.c_str(), windowStyle, description.exStyle | exStyle,
                      device);
}

bool KxMiniUISimpleWindow::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT KxMiniUISimpleWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ProcessWindowMessage(Hwnd(), message, wParam, lParam, result)) return result;
  if (HandleFrameworkMessage(message, wParam, lParam, result)) return result;
  return ::DefWindowProcW(Hwnd(), message, wParam, lParam);
}
