#include "miniui/core/KxMiniUIDialog.h"

#include "miniui/core/KxMiniUIAppModule.h"

KxMiniUIDialog::KxMiniUIDialog(UINT layoutId) : KxMiniUIDialogView(layoutId) {}

KxMiniUIDialog::~KxMiniUIDialog() = default;

INT_PTR KxMiniUIDialog::DoModal(HWND parent, LPARAM param) {
  if (!LoadOwnLayout()) return kResultClosed;
  return RunModal(KxMiniUIAppModule::Instance().GetResourceInstance(), kDialogTemplateId, parent, param);
}

void KxMiniUIDialog::OnCloseRequest() { EndDialog(kResultClosed); }

bool KxMiniUIDialog::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void KxMiniUIDialog::OnInitDialogMessage() {
  const HWND window = Hwnd();
  ::SetWindowTextW(window, GetDescription().title.c_str());
  if (IsLayered()) {
    ::SetWindowLongPtrW(window, GWL_EXSTYLE, ::GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_LAYERED);
  }
  OnNativeCreated();
}

bool KxMiniUIDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (ProcessWindowMessage(Hwnd(), message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialogMessage();
      result = TRUE;  // the system sets the focus
      return true;
    case WM_CLOSE:
      EndDialog(kResultClosed);
      result = 0;
      return true;
    case WM_CREATE:
      return false;  // a dialog starts at WM_INITDIALOG
    default:
      return HandleFrameworkMessage(message, wParam, lParam, result);
  }
}
