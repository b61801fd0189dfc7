// The cursor a framework window and its shadow show over each hit-test code.
#include "miniui/core/KxMiniUISizingFrame.h"

#include <gtest/gtest.h>

namespace zelk::test {
namespace {

TEST(SizingFrameCursor, SizingEdgesAndCornersGetTheirResizeArrowsEverythingElseTheArrow) {
  const struct {
    UINT code;
    WORD cursor;  // system cursor id
  } cases[] = {
      {HTTOPLEFT, 32642}, {HTBOTTOMRIGHT, 32642}, {HTSIZE, 32642},    // diagonal down
      {HTTOPRIGHT, 32643}, {HTBOTTOMLEFT, 32643},                      // diagonal up
      {HTLEFT, 32644},     {HTRIGHT, 32644},                           // across
      {HTTOP, 32645},      {HTBOTTOM, 32645},                          // up and down
      {HTCLIENT, 32512},   {HTCAPTION, 32512}, {HTNOWHERE, 32512}, {HTBORDER, 32512},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KxMiniUISizingFrame::CursorFor(c.code), MAKEINTRESOURCEW(c.cursor)) << "hit code " << c.code;
  }
}

}  // namespace
}  // namespace zelk::test
