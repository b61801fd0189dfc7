// A modal system dialog bound to a C++ object: DialogProc sees every message
// of the dialog from the first one on, and answers through `result` (the
// procedure puts it where the dialog manager expects it).
#pragma once

#include <windows.h>

class KxMiniUIDialogImpl {
 public:
  KxMiniUIDialogImpl(const KxMiniUIDialogImpl&) = delete;
  KxMiniUIDialogImpl& operator=(const KxMiniUIDialogImpl&) = delete;

  HWND Hwnd() const { return hwnd_; }
  // Ends the modal loop; RunModal then answers `result`.
  bool EndDialog(INT_PTR result);

 protected:
  KxMiniUIDialogImpl();
  virtual ~KxMiniUIDialogImpl();

  // Runs the system's modal dialog loop on dialog template `templateId` of
  // `instance`; -1 when the dialog cannot be made.
  INT_PTR RunModal(HINSTANCE instance, UINT templateId, HWND parent, LPARAM param);

  // True when the message was handled; `result` is then its answer.
  virtual bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
  // After WM_NCDESTROY; the handle is already cleared.
  virtual void OnFinalMessage() {}

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};
