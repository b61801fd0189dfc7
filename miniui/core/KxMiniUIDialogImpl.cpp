#include "miniui/core/KxMiniUIDialogImpl.h"

#include "miniui/core/KxMiniUICreationList.h"

namespace {

// Messages whose dialog procedure answer is the message's result itself;
// every other handled message answers through DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}

// DWLP_USER value of a dialog whose object went away before the dialog did.
constexpr LONG_PTR kDetached = 1;

}  // namespace

KxMiniUIDialogImpl::KxMiniUIDialogImpl() = default;

KxMiniUIDialogImpl::~KxMiniUIDialogImpl() {
  // Only reached with a live dialog when its owner is torn down mid-loop.
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, DWLP_USER, kDetached);
    ::DestroyWindow(hwnd_);
  }
}

bool KxMiniUIDialogImpl::EndDialog(INT_PTR result) {
  return hwnd_ != nullptr && ::EndDialog(hwnd_, result) != FALSE;
}

INT_PTR KxMiniUIDialogImpl::RunModal(HINSTANCE instance, UINT templateId, HWND parent, LPARAM param) {
  if (hwnd_ != nullptr) return -1;  // already running
  KxMiniUICreationList::Push(this);
  const INT_PTR result =
      ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), parent, &KxMiniUIDialogImpl::StaticDialogProc, param);
  KxMiniUICreationList::Cancel(this);
  return result;
}

INT_PTR CALLBACK KxMiniUIDialogImpl::StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  const LONG_PTR slot = ::GetWindowLongPtrW(dialog, DWLP_USER);
  if (slot == kDetached) return FALSE;
  auto* self = reinterpret_cast<KxMiniUIDialogImpl*>(slot);
  if (self == nullptr) {
    if (message == WM_NCDESTROY) return FALSE;
    self = static_cast<KxMiniUIDialogImpl*>(KxMiniUICreationList::Take());
    if (self == nullptr) return FALSE;
    self->hwnd_ = dialog;
    ::SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  }
  LRESULT result = 0;
  const bool handled = self->DialogProc(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    self->OnFinalMessage();
    return FALSE;
  }
  if (!handled) return FALSE;
  if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}
