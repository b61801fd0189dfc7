// The installer window inside the test program, on the installer's own
// resources and the real framework: page 502's folder and its lock, the
// licence links, the folder edit's limit under real typing, the progress
// while the size is unknown, and page 504.
#include "app/InstallerDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/FileDownloader.h"
#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "app/InstallerFramework.h"
#include "base/FileUtil.h"
#include "miniui/controls/KxMiniUIEditView.h"
#include "miniui/controls/KxMiniUIProgress.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "tests/app/SilentTestSupport.h"
#include "tests/app/WindowedTestSupport.h"
#include "tests/miniui/core/support/ViewPoint.h"
#include "tests/support/FreedBlockWatch.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/TestServer.h"

namespace zelk::test {
namespace {

// Views of the pages.
constexpr int kLicenceLink = 4;
constexpr int kPrivacyLink = 8;
constexpr int kPathEdit = 10;
constexpr int kPathLockedText = 11;
constexpr int kCloseButton = 101;
constexpr int kInstallButton = 102;
constexpr int kTryItNowButton = 104;  // page 504
constexpr int kBrowseButton = 1002;
constexpr int kPercentText = 1102;   // page 503
constexpr int kProgressBar = 1103;   // page 503

// The framework as the windowed installer starts it, once for the program.
class InstallerFrameworkEnvironment : public testing::Environment {
 public:
  void SetUp() override { framework_ = std::make_unique<InstallerFramework>(GetModuleHandleW(nullptr)); }
  void TearDown() override { framework_.reset(); }
  static bool Loaded() { return framework_ && framework_->DocumentsLoaded(); }

 private:
  static std::unique_ptr<InstallerFramework> framework_;
};
std::unique_ptr<InstallerFramework> InstallerFrameworkEnvironment::framework_;
testing::Environment* const g_framework = testing::AddGlobalTestEnvironment(new InstallerFrameworkEnvironment);

// A visible window of this thread with the system's dialog class: a box
// or the folder browser.
BOOL CALLBACK NoteVisibleDialog(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND FindDialogOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &NoteVisibleDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Answers any dialog the window opens on this thread with `command` (by
// default cancels it) and counts them: a timer of the thread fires inside
// modal loops too.
class DialogWatch {
 public:
  explicit DialogWatch(WPARAM command = IDCANCEL) : command_(command) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 100, &DialogWatch::Tick);
  }
  ~DialogWatch() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  DialogWatch(const DialogWatch&) = delete;
  DialogWatch& operator=(const DialogWatch&) = delete;
  int Seen() const { return seen_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ == nullptr) return;
    const HWND dialog = FindDialogOfThisThread();
    if (dialog == nullptr || dialog == current_->answered_) return;
    // Let it settle first (the folder browser fills its tree and selects).
    if (dialog != current_->waiting_) {
      current_->waiting_ = dialog;
      current_->waitedTicks_ = 0;
    }
    if (++current_->waitedTicks_ < 8) return;
    ++current_->seen_;
    current_->answered_ = dialog;
    PostMessageW(dialog, WM_COMMAND, current_->command_, 0);
    if (current_->command_ == IDCANCEL) PostMessageW(dialog, WM_CLOSE, 0, 0);
  }
  static DialogWatch* current_;
  WPARAM command_;
  UINT_PTR timer_ = 0;
  int seen_ = 0;
  HWND answered_ = nullptr;
  HWND waiting_ = nullptr;
  int waitedTicks_ = 0;
};
DialogWatch* DialogWatch::current_ = nullptr;

std::string Listed(const std::vector<unsigned>& values) {
  std::string text;
  for (const unsigned value : values) text += std::to_string(value) + " ";
  return text;
}

class InstallerDialogTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InstallerFrameworkEnvironment::Loaded()); }

  void TearDown() override {
    if (dialog_ && dialog_->GetHwnd() != nullptr) DestroyWindow(dialog_->GetHwnd());
    PumpFor(100);
    dialog_.reset();
    associatePdf = true;
  }

  HWND Open() {
    dialog_ = std::make_unique<InstallerDialog>(LaunchConfig());
    const HWND window = dialog_->Create(nullptr, InstallerDialog::kWindowStyle);
    EXPECT_NE(nullptr, window);
    if (window == nullptr) return nullptr;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    PumpFor(300);
    return window;
  }

  // Page 502, downloading the signed demo package served as /files/`name`
  // with `query` once the install starts.
  HWND OpenServing(const std::wstring& name, const std::wstring& query) {
    EXPECT_TRUE(TestServer::Available()) << "run with ZELK_TEST_SERVER=1";
    EXPECT_TRUE(ServeFile(SilentFixture(L"product_10.10.0.0.exe"), name));
    const HWND window = Open();
    if (window != nullptr) dialog_->SetPackageAddress(TestServer::Url(L"/files/" + name + query));
    return window;
  }

  // The running download, cancelled, fails: box 507, answered, and 7.
  void CancelTheDownload(HWND window) {
    const DialogWatch watch;
    const std::shared_ptr<DownloadHandlerSlot> slot = installer::FileDownloader::Instance().HandlerSlot();
    ASSERT_TRUE(slot);
    slot->Cancel();
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 30000));
    EXPECT_EQ(1, watch.Seen());
    EXPECT_EQ(7, dialog_->ExitCode());
  }

  template <typename T>
  T* View(int id) {
    return dynamic_cast<T*>(dialog_->GetRootView()->FindViewById(id));
  }
  KxMiniUIEditView* Edit() { return View<KxMiniUIEditView>(kPathEdit); }

  // A real click at the middle of view `id` of the page shown.
  void Click(HWND window, int id) {
    KxMiniUIView* view = View<KxMiniUIView>(id);
    ASSERT_NE(nullptr, view) << "no view " << id << " on page " << dialog_->GetLayoutId();
    ClickAt(window, ViewCentre(*view));
  }

  ProductSandbox sandbox_;
  std::unique_ptr<InstallerDialog> dialog_;
};

TEST_F(InstallerDialogTest, FreshMachineOffersTheDefaultFolderForChange) {
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  ASSERT_NE(nullptr, Edit());
  EXPECT_TRUE(Edit()->IsEnabled());
  EXPECT_TRUE(View<KxMiniUIView>(kBrowseButton)->IsEnabled());
  EXPECT_FALSE(View<KxMiniUIView>(kPathLockedText)->IsVisible());
  EXPECT_EQ(DefaultInstallDir(32), Edit()->GetText());
  EXPECT_EQ(DefaultInstallDir(32), dialog_->PathDelegate().InstallPath());
  EXPECT_EQ(reinterpret_cast<LRESULT>(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1001))),
            SendMessageW(window, WM_GETICON, ICON_BIG, 0));
}

TEST_F(InstallerDialogTest, InstalledProductLocksItsFolder) {
  const std::wstring installed = sandbox_.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  ASSERT_NE(nullptr, Edit());
  EXPECT_EQ(installed, Edit()->GetText());
  EXPECT_EQ(installed, dialog_->PathDelegate().InstallPath());
  EXPECT_FALSE(Edit()->IsEnabled());
  EXPECT_FALSE(View<KxMiniUIView>(kBrowseButton)->IsEnabled());
  auto* notice = View<KxMiniUITextView>(kPathLockedText);
  ASSERT_NE(nullptr, notice);
  EXPECT_TRUE(notice->IsVisible());
  EXPECT_EQ(L"覆盖安装时无法更换目录", notice->GetText());
  EXPECT_NE(L"", SaveScreenshot(window, L"installer_page_502_locked"));
}

TEST_F(InstallerDialogTest, ChosenFolderGetsTheProductFolderAddedAndTheBrowserOpensOnTheEditsFolder) {
  // A folder at the drive's top, where the browser's tree reaches at once.
  const std::wstring apps = L"C:\\ZelkApps" + std::to_wstring(GetCurrentProcessId());
  Kx::DeleteTree(apps);
  ASSERT_TRUE(CreateDirectoryW(apps.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((apps + L"\\ZelkPic").c_str(), nullptr));
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  ASSERT_NE(nullptr, Edit());
  Edit()->SetText(apps, true);

  // "确定" takes the folder the browser was opened on: the edit's.
  const std::wstring expected[] = {apps + L"\\ZelkPic", apps + L"\\ZelkPic\\ZelkPic"};
  for (const std::wstring& folder : expected) {
    const DialogWatch watch(IDOK);
    Click(window, kBrowseButton);
    ASSERT_TRUE(PumpUntil([&] { return watch.Seen() > 0 && FindDialogOfThisThread() == nullptr; }, 15000))
        << "no folder browser";
    PumpFor(200);
    EXPECT_EQ(folder, Edit()->GetText());
    EXPECT_EQ(folder, dialog_->PathDelegate().InstallPath());
  }
  Kx::DeleteTree(apps);
}

// Every way the window and the object go, whatever page they are on: no
// view freed with the window is written to afterwards (the folder edit's
// delegate is let go of before its view is).
TEST_F(InstallerDialogTest, NoWayOutTouchesAFreedView) {
  const struct {
    const char* name;
    void (*leave)(InstallerDialog& dialog);
  } ways[] = {
      {"finish on page 502", [](InstallerDialog& dialog) { dialog.Finish(5); }},
      {"finish on page 504 reached from 502",
       [](InstallerDialog& dialog) {
         dialog.LoadLayout(InstallerDialog::kPageFinished);
         dialog.Finish(5);
       }},
      {"window destroyed from outside", [](InstallerDialog& dialog) { DestroyWindow(dialog.GetHwnd()); }},
      {"object deleted with its window alive", [](InstallerDialog&) {}},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    const FreedBlockWatch watch;
    const HWND window = Open();
    ASSERT_NE(nullptr, window);
    ASSERT_NE(nullptr, dialog_->PathDelegate().EditView());
    way.leave(*dialog_);
    PumpFor(100);
    dialog_.reset();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_GT(watch.Kept(), 0u) << "the tree was not freed while watched";
    EXPECT_EQ(0u, watch.Damaged());
  }
}

// Also run in a Wine prefix without fonts (ctest: app_tests_plain_desktop),
// where neither the layouts' faces nor a generic one exist: the window
// still opens and its pictures are painted; only the texts are missing.
TEST_F(InstallerDialogTest, OpensAndPaintsItsPicturesWhateverFontsTheDesktopHas) {
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(IsWindowVisible(window));
  std::shared_ptr<KxMiniUIBitmap> background = KxMiniUIResourceManager::Instance()->GetPngPool()->Get(5024);
  ASSERT_NE(nullptr, background);
  Gdiplus::Bitmap* picture = background->GetNative();
  ASSERT_NE(nullptr, picture);
  RECT screen{};
  GetClientRect(window, &screen);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
  const ScreenCapture shown(screen);
  // Points where page 502 shows nothing but its background picture.
  for (const POINT at : {POINT{30, 150}, POINT{580, 250}, POINT{100, 330}}) {
    Gdiplus::Color expected;
    ASSERT_EQ(Gdiplus::Ok, picture->GetPixel(at.x, at.y, &expected));
    const COLORREF seen = shown.At(at.x, at.y);
    EXPECT_NEAR(expected.GetR(), GetRValue(seen), 2) << at.x << "," << at.y;
    EXPECT_NEAR(expected.GetG(), GetGValue(seen), 2) << at.x << "," << at.y;
    EXPECT_NEAR(expected.GetB(), GetBValue(seen), 2) << at.x << "," << at.y;
  }
}

TEST_F(InstallerDialogTest, FolderLongerThan250IsNotTakenFromTheRegistry) {
  std::wstring deep = sandbox_.Temp().Path();
  deep += L"\\" + std::wstring(251 - deep.size() - 1, L'd');
  ASSERT_EQ(251u, deep.size());
  ScopedRegistryValue path(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelkPic", L"Path");
  ASSERT_TRUE(path.SetText(deep));
  ASSERT_NE(nullptr, Open());
  ASSERT_NE(nullptr, Edit());
  EXPECT_EQ(L"", Edit()->GetText());
  EXPECT_EQ(L"", dialog_->PathDelegate().InstallPath());
  EXPECT_FALSE(Edit()->IsEnabled()) << "installed is installed, whatever its folder's length";
}

TEST_F(InstallerDialogTest, BothLicenceLinksOpenTheHelpPage) {
  FakeBrowser browser;
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  for (const int link : {kLicenceLink, kPrivacyLink}) {
    Click(window, link);
    const std::wstring opened = browser.Next(15000);
    EXPECT_NE(std::wstring::npos, opened.find(L"https://www.zelkpdf.com/help.htm#newboy_4")) << WideToUtf8(opened);
  }
  EXPECT_EQ(static_cast<UINT>(InstallerDialog::kPageReady), dialog_->GetLayoutId());
}

TEST_F(InstallerDialogTest, TypingThe251stCharacterPutsTheTextBack) {
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  ASSERT_NE(nullptr, Edit());
  Click(window, kPathEdit);
  PressKey(window, VK_END);
  const std::wstring start = Edit()->GetText();
  ASSERT_LT(start.size(), 250u);
  const std::wstring filler(250 - start.size(), L'x');
  TypeText(window, filler);
  ASSERT_EQ(start + filler, Edit()->GetText()) << "typing did not reach the edit";
  EXPECT_EQ(start + filler, dialog_->PathDelegate().InstallPath());

  TypeText(window, L"y");
  EXPECT_EQ(start + filler, Edit()->GetText());
  EXPECT_EQ(start + filler, dialog_->PathDelegate().InstallPath());

  // Shorter again is taken.
  PressKey(window, VK_BACK);
  EXPECT_EQ(start + filler.substr(1), dialog_->PathDelegate().InstallPath());
}

struct ToggleStep {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool visible;  // afterwards; a hidden window has no taskbar button
};

TEST_F(InstallerDialogTest, ToggleHidesAndShowsTheWindowWithItsTaskbarButton) {
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  const ToggleStep steps[] = {
      {WM_INSTALLER_TOGGLE, 0, WM_LBUTTONDOWN, false},
      {WM_INSTALLER_TOGGLE, 0, WM_RBUTTONDOWN, false},  // other mouse messages are ignored
      {WM_INSTALLER_TOGGLE, 0, WM_LBUTTONDBLCLK, true},
      {WM_INSTALLER_TOGGLE, 0, WM_MOUSEMOVE, true},
      {WM_INSTALLER_TOGGLE, 0, WM_LBUTTONDOWN, false},
      {WM_COMMAND, 2307, 0, true},  // the tray menu's items bring it back
      {WM_INSTALLER_TOGGLE, 0, WM_LBUTTONDOWN, false},
      {WM_COMMAND, 2306, 0, true},
  };
  int step = 0;
  for (const ToggleStep& s : steps) {
    SCOPED_TRACE(step++);
    PostMessageW(window, s.message, s.wParam, s.lParam);
    PumpFor(200);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(s.visible, IsWindowVisible(window) != FALSE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_EQ(s.visible, (exStyle & WS_EX_APPWINDOW) != 0);
    EXPECT_EQ(!s.visible, (exStyle & WS_EX_TOOLWINDOW) != 0);
  }
  EXPECT_EQ(1, dialog_->ExitCode()) << "nothing ended the window";
}

TEST_F(InstallerDialogTest, EscapeOnTheFinishedPageClosesWithFiveWithoutAsking) {
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  // The page the progress tick shows at 100 % when the window still exists.
  ASSERT_TRUE(dialog_->LoadLayout(InstallerDialog::kPageFinished));
  PumpFor(300);
  EXPECT_NE(L"", SaveScreenshot(window, L"installer_page_504"));

  const DialogWatch watch;
  PressKey(window, VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 10000)) << "page 504 stayed";
  EXPECT_EQ(0, watch.Seen()) << "Escape on page 504 asked first";
  EXPECT_EQ(5, dialog_->ExitCode());
}

TEST_F(InstallerDialogTest, TryItNowOnTheFinishedPageStartsTheEditorAndClosesWithFive) {
  sandbox_.InstallEditor(SilentFixture(L"product_10.10.0.0.exe"));
  const HWND window = Open();
  ASSERT_NE(nullptr, window);
  ASSERT_TRUE(dialog_->LoadLayout(InstallerDialog::kPageFinished));
  PumpFor(300);
  Click(window, kTryItNowButton);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }, 10000)) << "page 504 stayed";
  EXPECT_EQ(5, dialog_->ExitCode());
  EXPECT_TRUE(PumpUntil([&] { return sandbox_.Log().find("editor: started") != std::string::npos; }, 15000))
      << sandbox_.Log();
}

TEST_F(InstallerDialogTest, OnTheProgressPageCloseIsDisabledButEscapeStillAsks) {
  // A little, then nothing: the download stays in progress.
  const HWND window = OpenServing(L"zelkpic_KUID_100090_held.exe", L"?stall=4000");
  ASSERT_NE(nullptr, window);
  Click(window, kInstallButton);
  ASSERT_TRUE(PumpUntil([&] { return dialog_->GetLayoutId() == InstallerDialog::kPageInstalling; }, 10000));
  KxMiniUIView* close = View<KxMiniUIView>(kCloseButton);
  ASSERT_NE(nullptr, close);
  EXPECT_FALSE(close->IsEnabled());
  EXPECT_EQ(nullptr, dialog_->PathDelegate().EditView()) << "the delegate still points into page 502";

  {
    const DialogWatch watch;  // answers the exit prompt with "取消"
    PressKey(window, VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return watch.Seen() > 0; }, 10000)) << "Escape on page 503 did not ask";
    PumpFor(300);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(static_cast<UINT>(InstallerDialog::kPageInstalling), dialog_->GetLayoutId());
  }
  CancelTheDownload(window);
}

TEST_F(InstallerDialogTest, ReturnOnTheReadyPageStartsTheInstall) {
  const HWND window = OpenServing(L"zelkpic_KUID_100090_return.exe", L"?stall=4000");
  ASSERT_NE(nullptr, window);
  PressKey(window, VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return dialog_->GetLayoutId() == InstallerDialog::kPageInstalling; }, 10000))
      << "Return on page 502 did not start the install";
  EXPECT_TRUE(PumpUntil([] { return !TestServer::Requests("/files/zelkpic_KUID_100090_return.exe").empty(); },
                        10000))
      << "no download";
  CancelTheDownload(window);
}

// A download of known size fills the bar's first half in step with the
// bytes: the bar and the text show the same percentage, never less than
// before, passing through values between the start and the end.
TEST_F(InstallerDialogTest, KnownSizeFillsTheFirstHalfAsTheBytesArrive) {
  const HWND window = OpenServing(L"zelkpic_KUID_100090_sized.exe", L"?trickle=40&chunk=1024");
  ASSERT_NE(nullptr, window);
  Click(window, kInstallButton);

  std::vector<unsigned> shown;
  const bool ended = PumpUntil(
      [&] {
        if (!IsWindow(window)) return true;
        auto* bar = View<KxMiniUIProgress>(kProgressBar);
        auto* text = View<KxMiniUITextView>(kPercentText);
        // Nothing is shown before the first tick.
        if (dialog_->Stage() != 0 || bar == nullptr || text == nullptr || text->GetText().empty()) return false;
        const unsigned value = static_cast<unsigned>(bar->GetValue());
        if (!shown.empty() && shown.back() == value) return false;
        shown.push_back(value);
        EXPECT_EQ(std::to_wstring(value) + L"%", text->GetText()) << "text beside bar value " << value;
        return false;
      },
      120000);
  ASSERT_TRUE(ended);
  EXPECT_EQ(0, dialog_->ExitCode());
  SCOPED_TRACE("shown while downloading: " + Listed(shown));
  ASSERT_FALSE(shown.empty());
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_LE(shown.back(), 50u);
  EXPECT_GE(std::count_if(shown.begin(), shown.end(), [](unsigned v) { return v > 0 && v < 49; }), 1)
      << "no share of a known size shown";
}

TEST_F(InstallerDialogTest, UnknownSizeHoldsTheBarAt49UntilThePackageRuns) {
  // No length header and a slow body: several ticks see the download.
  SetEnvironmentVariableW(L"ZELK_DEMO_PACKAGE_WAIT", L"4000");
  const HWND window = OpenServing(L"zelkpic_KUID_100090_nosize.exe", L"?length=none&trickle=40&chunk=2048");
  ASSERT_NE(nullptr, window);
  Click(window, kInstallButton);

  std::vector<unsigned> whileDownloading, whilePackageRuns;
  std::vector<std::wstring> texts;
  const bool ended = PumpUntil(
      [&] {
        if (!IsWindow(window)) return true;
        if (dialog_->GetLayoutId() != InstallerDialog::kPageInstalling) return false;
        auto* bar = View<KxMiniUIProgress>(kProgressBar);
        auto* text = View<KxMiniUITextView>(kPercentText);
        if (bar == nullptr || text == nullptr) return false;
        const unsigned shown = static_cast<unsigned>(bar->GetValue());
        const bool downloading = dialog_->Stage() == 0;
        (downloading ? whileDownloading : whilePackageRuns).push_back(shown);
        if (downloading && shown == 49) texts.push_back(text->GetText());
        return false;
      },
      120000);
  SetEnvironmentVariableW(L"ZELK_DEMO_PACKAGE_WAIT", nullptr);
  ASSERT_TRUE(ended);
  EXPECT_EQ(0, dialog_->ExitCode());

  SCOPED_TRACE("shown while downloading: " + Listed(whileDownloading));
  ASSERT_FALSE(whileDownloading.empty());
  // Only the finished download counts as all of it (50 on the bar), in the
  // moment before the flow reports the package running.
  for (const unsigned shown : whileDownloading) EXPECT_TRUE(shown == 0 || shown == 49 || shown == 50) << shown;
  EXPECT_GE(std::count(whileDownloading.begin(), whileDownloading.end(), 49u), 2) << "49 % not held";
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(L"49%", texts.back());
  unsigned highest = 0;
  for (const unsigned shown : whilePackageRuns) highest = std::max(highest, shown);
  EXPECT_GT(highest, 49u) << "the bar did not move on while the package ran";
  EXPECT_LE(highest, 99u);
  EXPECT_NE(std::string::npos, sandbox_.Log().find("package: file")) << sandbox_.Log();
}

}  // namespace
}  // namespace zelk::test
