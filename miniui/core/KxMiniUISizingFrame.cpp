#include "miniui/core/KxMiniUISizingFrame.h"

#include <windowsx.h>

#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISizingBand.h"

LPCWSTR KxMiniUISizingFrame::CursorFor(UINT code) {
  switch (code) {
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTSIZE:
      return IDC_SIZENWSE;
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
    default:
      return IDC_ARROW;
  }
}

LRESULT KxMiniUISizingFrame::HitTest(HWND window, LPARAM screenPoint, int band) const {
  const LRESULT standard = ::DefWindowProcW(window, WM_NCHITTEST, 0, screenPoint);
  const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
  if ((style & WS_THICKFRAME) == 0 || ::IsZoomed(window) || band <= 0) return standard;
  RECT frame{};
  ::GetWindowRect(window, &frame);
  const POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
  KxMiniUISizingEdges edges;
  edges.left = at.x < frame.left + band;
  edges.right = at.x >= frame.right - band;
  edges.top = at.y < frame.top + band;
  edges.bottom = at.y >= frame.bottom - band;
  return SizingHitCode(edges, standard);
}

bool KxMiniUISizingFrame::SetCursor(HWND window, WPARAM cursorWindow, LPARAM hitCode) const {
  if (reinterpret_cast<HWND>(cursorWindow) != window) return false;
  const UINT code = LOWORD(hitCode);
  HCURSOR cursor = nullptr;
  if (code == HTCLIENT) {
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(window, &at);
    const KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
    cursor = root_.CursorAt(POINT{module.ScaleFromDevice(at.x), module.ScaleFromDevice(at.y)});
  }
  ::SetCursor(cursor != nullptr ? cursor : ::LoadCursorW(nullptr, CursorFor(code)));
  return true;
}
