#include "app/InstallerDialog.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/DownloadNotification.h"
#include "app/FileDownloader.h"
#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "app/PackageLaunch.h"
#include "base/Browser.h"
#include "base/PathUtil.h"
#include "base/ScopedHandle.h"
#include "miniui/controls/KxMiniUIEditView.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/controls/KxMiniUiImgChkBox.h"
#include "miniui/controls/KxWidgetMessageBox.h"
#include "miniui/core/KxMiniUIAppModule.h"
#include "miniui/core/KxMiniUINotification.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIStringPool.h"

namespace {

// Views of the pages.
constexpr int kMinimiseButton = 100;
constexpr int kCloseButton = 101;
constexpr int kInstallButton = 102;
constexpr int kLaunchButton = 104;
constexpr int kLicenceLink = 4;
constexpr int kPrivacyLink = 8;
constexpr int kPathEdit = 10;
constexpr int kPathLockedText = 11;
constexpr int kBrowseButton = 1002;
constexpr int kAgreeCheck = 2001;
constexpr int kAssociateCheck = 2005;
constexpr int kProgressBar = 1103;
constexpr int kPercentText = 1102;
constexpr int kPercentFormat = 1104;

// Minimise as the system menu's command does.
constexpr WPARAM kMinimiseCommand = SC_MINIMIZE | HTCAPTION;
static_assert(kMinimiseCommand == 0xF022, "the minimise command the window's caption button sends");
// Tray menu commands that bring the window back.
constexpr UINT kShowCommand = 2306;
constexpr UINT kExitCommand = 2307;
constexpr DWORD kWorkerGraceMs = 1000;
constexpr UINT kWindowIcon = 1001;

// The bar: the download fills its first half, the package's run the second.
constexpr unsigned kFullBar = 100;
constexpr unsigned kStageShare = kFullBar / 2;
// Without a total the download is shown as nearly done, never done.
constexpr unsigned kUnknownTotalPercent = kFullBar - 1;
constexpr unsigned kStrideGrowth = 3;

// Grows while the bar is behind its stage's base, so that the bar catches
// up in growing strides; shared by every window of the process.
unsigned g_progressStep = 1;

bool IsStage(int current, WPARAM stage) { return static_cast<WPARAM>(current) == stage; }

// Opens the folder browser on the folder it is given.
int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

}  // namespace

InstallerDialog::InstallerDialog(const LaunchConfig& config) : KxMiniUIFrameWindow(kPageReady), config_(config) {}

InstallerDialog::~InstallerDialog() {
  // A worker that outlives the window must not report to it.
  if (worker_) worker_->SetExitListener(nullptr);
  // Destroyed here rather than by a base, so that WM_DESTROY lets go of the
  // folder edit while the delegate it reports to still exists.
  if (GetHwnd() != nullptr) DestroyWindow(GetHwnd());
}

void InstallerDialog::OnInitDialog() {
  PreparePathPage();
  const HICON icon = LoadIconW(KxMiniUIAppModule::Instance().GetResourceInstance(), MAKEINTRESOURCEW(kWindowIcon));
  if (icon != nullptr) SendMessageW(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
}

void InstallerDialog::PreparePathPage() {
  KxMiniUIRootView* root = GetRootView();
  auto* edit = dynamic_cast<KxMiniUIEditView*>(root->FindViewById(kPathEdit));
  pathDelegate_.Attach(edit, GetHwnd());

  const InstallFolderChoice choice = ChooseInstallFolder();
  KxMiniUIView* browse = root->FindViewById(kBrowseButton);
  KxMiniUIView* lockedText = root->FindViewById(kPathLockedText);
  // An installed product is installed over where it is: the package cannot
  // move it, so the folder is shown but not offered for change.
  if (edit != nullptr) edit->SetEnabled(!choice.locked);
  if (browse != nullptr) browse->SetEnabled(!choice.locked);
  if (lockedText != nullptr) lockedText->SetVisible(choice.locked);
  if (!choice.folder.empty()) pathDelegate_.TakePath(choice.folder);
  root->Invalidate();
}

void InstallerDialog::OnLayoutApplied() {
  // The tree just replaced took the folder edit with it.
  pathDelegate_.SetEditView(nullptr);
}

bool InstallerDialog::ProcessWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_DESTROY:
      // The framework frees the view tree next, the folder edit with it.
      pathDelegate_.Detach();
      return false;
    case WM_CLOSE:
      ConfirmExit();
      result = 0;
      return true;
    case WM_NOTIFY: {
      const auto* record = reinterpret_cast<const KxMiniUINotification*>(lParam);
      if (record == nullptr || record->header.code != kMiniUINotifyClick || !OnClick(record->id)) return false;
      result = 1;
      return true;
    }
    case kRunAction:
      if (wParam == kActionInstall) OnInstallClicked();
      if (wParam == kActionConfirmExit) ConfirmExit();
      if (wParam == kActionLaunchEditor) {
        LaunchEditor();
        Finish(kExitClosedByUser);
      }
      result = 0;
      return true;
    case WM_INSTALLER_DOWNLOAD:
      OnDownloadMessage(wParam);
      result = 0;
      return true;
    case WM_INSTALLER_STAGE:
      OnStageMessage(wParam, lParam);
      result = 0;
      return true;
    case WM_INSTALLER_FINISH:
      OnFinishMessage(lParam);
      result = 0;
      return true;
    case WM_INSTALLER_TOGGLE:
      OnToggleMessage(lParam);
      result = 0;
      return true;
    case WM_COMMAND:
      if (LOWORD(wParam) != kShowCommand && LOWORD(wParam) != kExitCommand) return false;
      BringBack();
      result = 0;
      return true;
    default:
      return false;
  }
}

bool InstallerDialog::OnClick(int id) {
  const UINT page = GetLayoutId();
  switch (id) {
    case kMinimiseButton:
      PostMessageW(GetHwnd(), WM_SYSCOMMAND, kMinimiseCommand, 0);
      return true;
    case kCloseButton:
      PostMessageW(GetHwnd(), kRunAction, kActionConfirmExit, 0);
      return true;
    case kInstallButton:
      if (page != kPageReady) return false;
      PostMessageW(GetHwnd(), kRunAction, kActionInstall, 0);
      return true;
    case kLaunchButton:
      if (page != kPageFinished) return false;
      PostMessageW(GetHwnd(), kRunAction, kActionLaunchEditor, 0);
      return true;
    case kBrowseButton:
      if (page != kPageReady) return false;
      ChooseFolder();
      return true;
    case kAgreeCheck:
      agreed_ = ReadCheck(kAgreeCheck, agreed_);
      return true;
    case kAssociateCheck:
      associatePdf = ReadCheck(kAssociateCheck, associatePdf);
      return true;
    case kLicenceLink:
    case kPrivacyLink:
      Kx::OpenUrl(KxWidgetMessageBox::kHelpUrl);
      return true;
    default:
      return false;
  }
}

bool InstallerDialog::OnKeyDown(UINT key, UINT, UINT) {
  if (key == VK_ESCAPE) PostMessageW(GetHwnd(), kRunAction, kActionConfirmExit, 0);
  if (key == VK_RETURN) PostMessageW(GetHwnd(), kRunAction, kActionInstall, 0);
  return false;
}

bool InstallerDialog::ReadCheck(int id, bool fallback) {
  auto* box = dynamic_cast<KxMiniUiImgChkBox*>(GetRootView()->FindViewById(id));
  return box != nullptr ? box->GetCheck() == KxMiniUiImgChkBox::kChecked : fallback;
}

INT_PTR InstallerDialog::ShowBox(UINT layoutId) {
  HWND owner = GetActiveWindow();
  if (owner == nullptr) owner = GetHwnd();
  KxWidgetMessageBox box(layoutId);
  return box.DoModal(owner);
}

void InstallerDialog::OnInstallClicked() {
  if (GetHwnd() == nullptr || GetLayoutId() != kPageReady) return;
  agreed_ = ReadCheck(kAgreeCheck, agreed_);
  associatePdf = ReadCheck(kAssociateCheck, associatePdf);
  if (!agreed_ && ShowBox(kAgreementBox) != KxWidgetMessageBox::kResultOk) return;
  // The box ran its own loop: a second request may have started the
  // install meanwhile.
  if (GetHwnd() == nullptr || GetLayoutId() != kPageReady) return;

  pathDelegate_.Detach();
  pathDelegate_.SetWindow(GetHwnd());
  LoadLayout(kPageInstalling);
  StartWorker();
  shownPercent_ = 0;
  SetTimer(kProgressTimer, kProgressPeriodMs);
}

void InstallerDialog::StartWorker() {
  Kx::KxRefPtr<Kx::KxThread> worker(new Kx::KxThread(&InstallerDialog::InstallWorkerProc, this));
  worker_ = worker;
  worker_->SetExitListener(this);
  worker_->Start();
}

void InstallerDialog::InstallWorkerProc(void* data) {
  const auto* dialog = static_cast<const InstallerDialog*>(data);
  const HWND window = dialog->GetHwnd();
  const LaunchConfig config = dialog->config_;
  const std::wstring address = dialog->packageAddress_;
  std::wstring path = dialog->pathDelegate_.CurrentText();
  // An unusable folder is not passed on: the package then picks its own.
  if (path.size() < 3 || !Kx::IsValidTargetFolder(path)) path.clear();
  if (address.empty()) {
    RunInstall(config, window, path);
  } else {
    RunInstallFrom(address, config, window, path);
  }
}

void InstallerDialog::OnDownloadMessage(WPARAM wParam) {
  const std::unique_ptr<DownloadNotification> notification = TakeDownloadNotification(wParam);
  if (!notification) return;
  switch (notification->state) {
    case DownloadNotification::kStarted:
      downloadPercent_ = 0;
      break;
    case DownloadNotification::kProgress:
      downloadPercent_ = notification->total == 0 || notification->total == kUnknownTotal
                             ? kUnknownTotalPercent
                             : static_cast<unsigned>(notification->done * kFullBar / notification->total);
      break;
    case DownloadNotification::kFinished:
      downloadPercent_ = kFullBar;
      break;
    default:
      break;
  }
}

void InstallerDialog::OnStageMessage(WPARAM stage, LPARAM failed) {
  stage_ = std::max(stage_, static_cast<int>(stage));
  if (stage != kStageFinished) return;
  failed_ = failed != 0 ? 1 : 0;
  PostMessageW(GetHwnd(), WM_INSTALLER_FINISH, 0, failed);
}

void InstallerDialog::OnFinishMessage(LPARAM failed) {
  if (failed != 0) {
    ShowBox(kFailureBox);
    Finish(kExitFailed);
    return;
  }
  LaunchEditor();
  Finish(kExitEditorStarted);
}

bool InstallerDialog::OnTimer(UINT_PTR id) {
  if (id != kProgressTimer) return false;
  ShowProgress();
  return true;
}

void InstallerDialog::ShowProgress() {
  if (shownPercent_ >= kFullBar) {
    KillTimer(kProgressTimer);
    if (failed_ == 0) LoadLayout(kPageFinished);
    return;
  }
  const unsigned base = static_cast<unsigned>(stage_) * kStageShare;
  g_progressStep = shownPercent_ < base ? g_progressStep + kStrideGrowth : kStrideGrowth;
  unsigned shown = 0;
  if (IsStage(stage_, kStagePackageRunning)) {
    // The package gives no progress: creep towards the end of its half.
    shown = std::min(base + kStageShare - 1, shownPercent_ + g_progressStep);
  } else {
    shown = base + downloadPercent_ * kStageShare / kFullBar;
  }
  if (shown > kFullBar || IsStage(stage_, kStageFinished)) shown = kFullBar;
  shownPercent_ = shown;

  KxMiniUIRootView* root = GetRootView();
  if (KxMiniUIView* bar = root->FindViewById(kProgressBar)) {
    bar->SetAttribute("value", std::to_string(shownPercent_).c_str(), false);
    bar->Invalidate();
  }
  if (auto* text = dynamic_cast<KxMiniUITextView*>(root->FindViewById(kPercentText))) {
    std::wstring format = L"%d%%";
    if (KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance()) {
      const std::wstring loaded = resources->GetStringPool()->Get(kPercentFormat);
      if (!loaded.empty()) format = loaded;
    }
    wchar_t percent[32] = {};
    swprintf(percent, 32, format.c_str(), static_cast<int>(shownPercent_));
    text->SetText(percent, true);
  }
}

void InstallerDialog::ConfirmExit() {
  if (GetHwnd() == nullptr) return;
  if (GetLayoutId() == kPageFinished) {
    Finish(kExitClosedByUser);
    return;
  }
  if (ShowBox(kExitBox) == KxWidgetMessageBox::kResultOk && GetHwnd() != nullptr) Finish(kExitClosedByUser);
}

void InstallerDialog::Finish(int exitCode) {
  const HWND window = GetHwnd();
  if (window == nullptr) return;
  ShowWindow(window, SW_HIDE);
  SetTaskbarButton(false);
  if (IsStage(stage_, kStageDownloading)) {
    if (const std::shared_ptr<DownloadHandlerSlot> slot = installer::FileDownloader::Instance().HandlerSlot()) {
      slot->Cancel();
    }
  }
  exitCode_ = exitCode;
  // The worker is given a moment to unwind; a package it is waiting for is
  // left running, and so is nothing else of this process.
  if (worker_ && worker_->IsRunning() && !worker_->Wait(kWorkerGraceMs)) {
    TerminateProcess(GetCurrentProcess(), kExitForcedEnd);
  }
  DestroyWindow(window);
}

void InstallerDialog::OnToggleMessage(LPARAM mouseMessage) {
  if (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_LBUTTONDBLCLK) return;
  if (IsWindowVisible(GetHwnd())) {
    ShowWindow(GetHwnd(), SW_HIDE);
    SetTaskbarButton(false);
  } else {
    BringBack();
  }
}

void InstallerDialog::BringBack() {
  SetTaskbarButton(true);
  ShowWindow(GetHwnd(), SW_SHOW);
  BringWindowToTop(GetHwnd());
  SetForegroundWindow(GetHwnd());
}

void InstallerDialog::SetTaskbarButton(bool shown) {
  const LONG_PTR exStyle = GetWindowLongPtrW(GetHwnd(), GWL_EXSTYLE);
  const LONG_PTR app = WS_EX_APPWINDOW, tool = WS_EX_TOOLWINDOW;
  SetWindowLongPtrW(GetHwnd(), GWL_EXSTYLE, shown ? (exStyle | app) & ~tool : (exStyle | tool) & ~app);
}

void InstallerDialog::ChooseFolder() {
  const std::wstring current = pathDelegate_.CurrentText();
  BROWSEINFOW info{};
  info.hwndOwner = GetHwnd();
  info.lpszTitle = L"请选择文件夹";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(current.c_str());
  const Kx::ScopedCoTaskMemory<PIDLIST_ABSOLUTE> chosen(SHBrowseForFolderW(&info));
  if (!chosen) return;
  wchar_t folder[MAX_PATH] = {};
  if (!SHGetPathFromIDListW(chosen.Get(), folder)) return;
  pathDelegate_.TakePath(Kx::JoinPath(folder, kProductFolderName));
}
