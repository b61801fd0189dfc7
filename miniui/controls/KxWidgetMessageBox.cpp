#include "miniui/controls/KxWidgetMessageBox.h"

#include "base/Browser.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUINotification.h"
#include "miniui/core/KxMiniUIRootView.h"

void KxWidgetMessageBox::OnInitDialog() {
  KxMiniUIDialog::OnInitDialog();
  static const int kShownIds[] = {64, 66, 68, 96, 98, 70};
  for (const int id : kShownIds) {
    KxMiniUIView* view = GetRootView()->FindViewById(id);
    if (view == nullptr) continue;
    view->SetVisible(true);
    view->Invalidate();
  }
}

bool KxWidgetMessageBox::DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const bool handled = KxMiniUIDialog::DialogProc(message, wParam, lParam, result);
  if (message == WM_INITDIALOG) BecomeToolWindow();
  return handled;
}

void KxWidgetMessageBox::BecomeToolWindow() {
  const HWND window = Hwnd();
  const LONG_PTR exStyle = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
  if ((exStyle & WS_EX_TOOLWINDOW) == 0) ::SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_TOOLWINDOW);
  // Shared icons from LoadIcon are never destroyed by their user.
  if (HICON icon = ::LoadIconW(KxMiniUIAppModule::Instance().GetResourceInstance(), MAKEINTRESOURCEW(kIconId))) {
    ::SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  }
}

bool KxWidgetMessageBox::ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                              LRESULT& result) {
  switch (message) {
    case WM_NOTIFY: {
      const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
      if (record == nullptr || record->header.idFrom != kMiniUINotifyControlId ||
          record->header.code != kMiniUINotifyClick || !OnClicked(record->id)) {
        return KxMiniUIDialog::ProcessWindowMessage(window, message, wParam, lParam, result);
      }
      result = 0;
      return true;
    }
    case WM_CLOSE:
      EndDialog(kResultCancel);
      result = 0;
      return true;
    default:
      return KxMiniUIDialog::ProcessWindowMessage(window, message, wParam, lParam, result);
  }
}

bool KxWidgetMessageBox::OnClicked(int id) {
  switch (id) {
    case 4:
    case 8:
      Kx::OpenUrl(kHelpUrl);
      return true;
    case 101:
    case 103:
      EndDialog(kResultCancel);
      return true;
    case 102:
      EndDialog(kResultOk);
      return true;
    default:
      return false;
  }
}
