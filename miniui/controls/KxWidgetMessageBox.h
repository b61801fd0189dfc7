// The skinned modal message box: a framework dialog whose look and text
// come from one layout. Fixed ids: 102 answers 1; 101, 103 and every other
// way out answer 2; the links 4 and 8 open the help page and keep the box
// open; 64, 66, 68, 70, 96 and 98 are shown once the tree exists.
#pragma once

#include <windows.h>

#include "miniui/core/KxMiniUIDialog.h"

class KxWidgetMessageBox : public KxMiniUIDialog {
 public:
  static constexpr INT_PTR kResultOk = 1;
  static constexpr INT_PTR kResultCancel = 2;
  // The program's icon, shown as the box's big icon.
  static constexpr UINT kIconId = 1001;
  static constexpr const wchar_t* kHelpUrl = L"https://www.zelkpdf.com/help.htm#newboy_4";

  explicit KxWidgetMessageBox(UINT layoutId) : KxMiniUIDialog(layoutId) {}

 protected:
  // Shows the hidden logo, title and message views.
  void OnInitDialog() override;
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  // After the framework's initialisation has set the window's styles: keeps
  // the box off the taskbar and gives it the program's icon.
  bool DialogProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void BecomeToolWindow();
  // True when the click of view `id` was one of the box's own.
  bool OnClicked(int id);
};
