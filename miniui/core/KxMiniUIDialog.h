// A framework dialog shown modally: the system's modal dialog loop runs on
// the empty dialog template 1001, and the layout's view tree fills it.
#pragma once

#include <windows.h>

#include "miniui/core/KxMiniUIDialogImpl.h"
#include "miniui/core/KxMiniUIDialogView.h"

class KxMiniUIDialog : public KxMiniUIDialogImpl, public KxMiniUIDialogView {
 public:
  // The executable's empty dialog template every modal box is built on.
  static constexpr UINT kDialogTemplateId = 1001;
  // The answer of a box closed by WM_CLOSE or a layout that cannot load.
  static constexpr INT_PTR kResultClosed = 2;

  explicit KxMiniUIDialog(UINT layoutId = 0);
  ~KxMiniUIDialog() override;

  HWND GetHwnd() const override { return Hwnd(); }

  // Runs the dialog modally over `parent` and answers the code it was ended
  // with; 2 when the layout does not load or parse.
  INT_PTR DoModal(HWND parent, LPARAM param = 0);

  // The framework's close request ends the dialog like WM_CLOSE.
  void OnCloseRequest() override;

 protected:
  // The owner's message map, seen before the framework's handling.
  virtual bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void OnInitDialogMessage();
};
