// The installer's window: page 502 (folder and terms), 503 (progress) and
// 504 (finished), the install worker, and the end of the windowed run with
// its exit code.
#pragma once

// First: the reference counting brings winsock2.h, which must precede windows.h.
#include "base/KxRefCounted.h"
#include "base/KxThread.h"

#include <windows.h>

#include <string>

#include "app/KxAddressEditDelegate.h"
#include "app/LaunchConfig.h"
#include "app/WindowedInstaller.h"
#include "miniui/core/KxMiniUIFrameWindow.h"

class InstallerDialog : public KxMiniUIFrameWindow, public Kx::KxThreadExitEvent {
 public:
  static constexpr UINT kPageReady = 502;
  static constexpr UINT kPageInstalling = 503;
  static constexpr UINT kPageFinished = 504;
  static constexpr UINT kExitBox = 501;
  static constexpr UINT kAgreementBox = 506;
  static constexpr UINT kFailureBox = 507;
  static constexpr UINT_PTR kProgressTimer = 1001;
  static constexpr UINT kProgressPeriodMs = 800;
  // WS_POPUP | WS_SYSMENU.
  static constexpr DWORD kWindowStyle = WS_POPUP | WS_SYSMENU;
  static_assert(kWindowStyle == 0x80080000, "the installer window's style");

  explicit InstallerDialog(const LaunchConfig& config);
  ~InstallerDialog() override;

  // Downloads from `url` instead of the address in this program's version
  // resource (the test programs carry none).
  void SetPackageAddress(const std::wstring& url) { packageAddress_ = url; }

  void OnInstallClicked();
  void ConfirmExit();
  void Finish(int exitCode);

  int ExitCode() const { return exitCode_; }
  int Stage() const { return stage_; }
  unsigned ShownPercent() const { return shownPercent_; }
  bool Agreed() const { return agreed_; }
  const KxAddressEditDelegate& PathDelegate() const { return pathDelegate_; }

  void OnThreadExit(Kx::KxThread*) override {}

 protected:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  void OnInitDialog() override;
  void OnLayoutApplied() override;
  bool OnKeyDown(UINT key, UINT flags, UINT repeat) override;
  bool OnTimer(UINT_PTR id) override;

 private:
  // A click's or key's action runs from this posted message, once the view
  // that reported it has returned: the action may replace the page or end
  // the window, and with them that view.
  static constexpr UINT kRunAction = WM_APP + 0x120;
  enum Action : WPARAM { kActionInstall = 1, kActionConfirmExit = 2, kActionLaunchEditor = 3 };

  static void InstallWorkerProc(void* dialog);

  bool OnClick(int id);
  void OnDownloadMessage(WPARAM wParam);
  void OnStageMessage(WPARAM stage, LPARAM failed);
  void OnFinishMessage(LPARAM failed);
  void OnToggleMessage(LPARAM mouseMessage);
  void BringBack();
  void SetTaskbarButton(bool shown);

  void PreparePathPage();
  void ChooseFolder();
  void ShowProgress();
  bool ReadCheck(int id, bool fallback);
  INT_PTR ShowBox(UINT layoutId);
  void StartWorker();

  int exitCode_ = kExitLoopEnded;
  int stage_ = 0;
  int failed_ = 0;
  bool agreed_ = true;
  unsigned shownPercent_ = 0;
  unsigned downloadPercent_ = 0;
  const LaunchConfig config_;
  Kx::KxRefPtr<Kx::KxThread> worker_;
  KxAddressEditDelegate pathDelegate_;
  std::wstring packageAddress_;
};
