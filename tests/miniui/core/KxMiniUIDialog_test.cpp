// Modal framework dialogs on the empty dialog template 1001.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUIDialog.h"
#include "miniui/core/KxMiniUISimpleWindow.h"
#include "tests/miniui/core/support/WindowTestSupport.h"

namespace zelk::test {
namespace {

constexpr UINT kEndMessage = WM_APP + 9;

// Ends itself once running: with its own code through EndDialog, or by
// WM_CLOSE; records what it looked like while it ran.
class EndingDialog : public KxMiniUIDialog {
 public:
  enum class Ending { kOwnCode, kCloseMessage };

  EndingDialog(UINT layout, Ending ending, INT_PTR code) : KxMiniUIDialog(layout), ending_(ending), code_(code) {}

  void OnInitDialog() override {
    ++initCalls;
    registeredDuringLoop = KxMiniUIAppModule::Instance().HasWindow(this);
    hadTree = GetRootView()->FindViewById(61) != nullptr;
    ::PostMessageW(GetHwnd(), kEndMessage, 0, 0);
  }

  int initCalls = 0;
  bool registeredDuringLoop = false;
  bool hadTree = false;
  RECT client{};
  RECT frame{};
  std::wstring title;
  bool ownerEnabledDuringLoop = true;

 protected:
  bool ProcessWindowMessage(HWND window, UINT message, WPARAM, LPARAM, LRESULT& result) override {
    if (message != kEndMessage) return false;
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &frame);
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    title = text;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    ownerEnabledDuringLoop = owner != nullptr && ::IsWindowEnabled(owner);
    if (ending_ == Ending::kOwnCode) {
      EndDialog(code_);
    } else {
      ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    result = 0;
    return true;
  }

 private:
  Ending ending_;
  INT_PTR code_;
};

class DialogTest : public FrameworkWindowTest {};

TEST_F(DialogTest, DoModalAnswersTheCodeTheDialogWasEndedWith) {
  const struct {
    const char* name;
    EndingDialog::Ending ending;
    INT_PTR code;
    INT_PTR expected;
  } cases[] = {
      {"owner's code 1", EndingDialog::Ending::kOwnCode, 1, 1},
      {"owner's code 7", EndingDialog::Ending::kOwnCode, 7, 7},
      {"WM_CLOSE", EndingDialog::Ending::kCloseMessage, 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EndingDialog dialog(kDialogLayout, c.ending, c.code);
    EXPECT_EQ(dialog.DoModal(nullptr), c.expected);
    EXPECT_EQ(dialog.initCalls, 1);
    EXPECT_TRUE(dialog.registeredDuringLoop);
    EXPECT_FALSE(KxMiniUIAppModule::Instance().HasWindow(&dialog));
    EXPECT_TRUE(dialog.hadTree);
    // The empty template became a window of the layout's size and title,
    // centred in the work area (no owner).
    EXPECT_EQ(dialog.client.right, 240);
    EXPECT_EQ(dialog.client.bottom, 130);
    EXPECT_EQ(dialog.title, L"KxDialogTest");
    const RECT area = DesktopWorkArea();
    EXPECT_EQ(dialog.frame.left, area.left + (area.right - area.left - 240) / 2);
    EXPECT_EQ(dialog.GetHwnd(), nullptr);
  }
}

TEST_F(DialogTest, ALayoutThatDoesNotLoadAnswersTwoWithoutADialog) {
  const struct {
    const char* name;
    UINT layout;
  } cases[] = {{"syntax error", kBrokenXml}, {"missing", 9999}, {"none", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EndingDialog dialog(c.layout, EndingDialog::Ending::kOwnCode, 1);
    EXPECT_EQ(dialog.DoModal(nullptr), 2);
    EXPECT_EQ(dialog.initCalls, 0);
  }
}

TEST_F(DialogTest, ADialogOverAVisibleOwnerIsCentredOnItAndDisablesItMeanwhile) {
  KxMiniUISimpleWindow owner(kBasicLayout);
  const HWND ownerHandle = owner.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(ownerHandle, nullptr);
  ::ShowWindow(ownerHandle, SW_SHOWNOACTIVATE);
  ::SetWindowPos(ownerHandle, nullptr, 100, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(50);

  EndingDialog dialog(kDialogLayout, EndingDialog::Ending::kOwnCode, 1);
  EXPECT_EQ(dialog.DoModal(ownerHandle), 1);
  const RECT o = WindowRectOf(ownerHandle);
  EXPECT_EQ(dialog.frame.left, o.left + (300 - 240) / 2);
  EXPECT_EQ(dialog.frame.top, o.top + (200 - 130) / 2);
  EXPECT_FALSE(dialog.ownerEnabledDuringLoop);
  EXPECT_TRUE(::IsWindowEnabled(ownerHandle));  // given back after the loop
}

}  // namespace
}  // namespace zelk::test
