// The owner's side of the install folder edit on page 502: it keeps the
// accepted folder text and refuses a change that makes it longer than a
// folder the package can take.
#pragma once

#include <windows.h>

#include <string>

#include "miniui/controls/KxMiniUIEditViewDelegate.h"

class KxMiniUIEditView;

class KxAddressEditDelegate : public KxMiniUIEditViewDelegate {
 public:
  // Longest folder text taken as install folder, typed, chosen or found.
  static constexpr size_t kMaxPathLength = 250;

  // The edit view is not owned; none once page 502 has been replaced.
  void Attach(KxMiniUIEditView* edit, HWND window);
  // The edit, still alive, stops reporting here and is forgotten.
  void Detach();
  // Forgets the edit without touching it (it may be gone already).
  void SetEditView(KxMiniUIEditView* edit) { edit_ = edit; }
  KxMiniUIEditView* EditView() const { return edit_; }
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }

  const std::wstring& InstallPath() const { return installPath_; }
  // Takes `path` as install folder and shows it in the edit, repainted;
  // false (nothing changes) when it is too long. A program's change does
  // not pass through OnTextChanged, so the path is set here directly.
  bool TakePath(const std::wstring& path);
  // The edit's text when there is an edit, else the accepted path.
  std::wstring CurrentText() const;

  // A change typed by the user: too long puts the accepted path back.
  bool OnTextChanged() override;

 private:
  KxMiniUIEditView* edit_ = nullptr;
  HWND window_ = nullptr;
  std::wstring installPath_;
};
