// A framework window's tooltip control on a real window: its class and
// style, the tool covering the client area after a resize, and the text and
// width the view under the mouse hands it.
#include "miniui/core/KxMiniUITooltip.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUISimpleWindow.h"
#include "tests/miniui/core/support/WindowTestSupport.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

TOOLINFOW ToolOf(HWND owner) {
  TOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = owner;
  info.uId = 1;
  return info;
}

std::wstring ToolText(HWND tooltip, HWND owner) {
  wchar_t text[128] = {};
  TOOLINFOW info = ToolOf(owner);
  info.lpszText = text;
  ::SendMessageW(tooltip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&info));
  return text;
}

class TooltipTest : public FrameworkWindowTest {};

TEST_F(TooltipTest, OneToolCoversTheClientAreaAndShowsTheTextItIsGiven) {
  KxMiniUISimpleWindow window(kBasicLayout);
  const HWND owner = window.Create(nullptr, WS_POPUP | WS_SYSMENU);
  ASSERT_NE(owner, nullptr);
  const HWND tooltip = window.GetTooltip();
  ASSERT_NE(tooltip, nullptr);
  wchar_t className[64] = {};
  ::GetClassNameW(tooltip, className, 64);
  EXPECT_STREQ(className, L"tooltips_class32");
  // The control gives itself a border; the system adds clip-siblings.
  EXPECT_EQ(::GetWindowLongPtrW(tooltip, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER),
            static_cast<LONG_PTR>(0x80000003));
  EXPECT_EQ(::GetWindow(tooltip, GW_OWNER), owner);
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);

  // A resized window's tool follows its client area.
  ::SetWindowPos(owner, nullptr, 0, 0, 340, 220, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PumpFor(50);
  TOOLINFOW info = ToolOf(owner);
  ASSERT_TRUE(::SendMessageW(tooltip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_EQ(info.rect.right, 340);
  EXPECT_EQ(info.rect.bottom, 220);

  window.UpdateTooltip(L"a view's tip", 120);
  EXPECT_EQ(ToolText(tooltip, owner), L"a view's tip");
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 120);
  // Empty text switches the tooltip off and leaves the last text in place.
  window.UpdateTooltip(L"", -1);
  EXPECT_EQ(ToolText(tooltip, owner), L"a view's tip");
  window.UpdateTooltip(L"another", -1);
  EXPECT_EQ(ToolText(tooltip, owner), L"another");
  EXPECT_EQ(::SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), -1);
}

}  // namespace
}  // namespace zelk::test
