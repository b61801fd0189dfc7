// Progress bars on a real framework window: how far the bar is filled for a
// range and value (and what it stores after drawing), and the stripe
// progress moving on its timer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "miniui/controls/KxMiniUIProgress.h"
#include "miniui/controls/KxMiniUIStripeProgress.h"
#include "tests/miniui/controls/support/ControlWindow.h"

namespace zelk::test {
namespace {

class ProgressTest : public FrameworkWindowTest {};

// Bar 8 at (50, 20), 200 x 10: blue background, red position.
std::string BarLayout(const std::string& range) {
  return ControlLayout("<progress id=\"8\" pos=\"50,20,250,30\" bgcolor=\"0000FF\" poscolor=\"FF0000\" " + range +
                       " />");
}

TEST_F(ProgressTest, TheBarFillsTheValuesShareOfTheRangeAndStoresWhatItDrew) {
  const struct {
    const char* range;
    int filled;  // red pixels from the left
    int min, max, value;
  } cases[] = {
      {"min=\"0\" max=\"100\" value=\"150\"", 200, 0, 100, 100},   // clamped to the maximum
      {"min=\"0\" max=\"100\" value=\"-5\"", 0, 0, 100, 0},        // clamped to the minimum
      {"min=\"0\" max=\"100\" value=\"25\"", 50, 0, 100, 25},
      {"min=\"40\" max=\"40\" value=\"40\"", 0, 40, 40, 40},       // equal bounds: background only
      {"min=\"100\" max=\"0\" value=\"50\"", 100, 0, 100, 50},     // reversed bounds are swapped
      {"min=\"0\" max=\"3\" value=\"1\"", 66, 0, 3, 1},            // truncated to whole pixels
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    ControlWindow window(BarLayout(c.range));
    auto* bar = window.View<KxMiniUIProgress>(8);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetDrag(), 0);  // a press on the bar never moves the window
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    if (c.filled > 0) {
      EXPECT_EQ(window.PixelAt(50 + c.filled - 1, 25), red);
    }
    if (c.filled < 200) {
      EXPECT_EQ(window.PixelAt(50 + c.filled, 25), blue);
    }
    EXPECT_EQ(window.PixelAt(50, 25), c.filled > 0 ? red : blue);
    EXPECT_EQ(window.PixelAt(249, 25), c.filled == 200 ? red : blue);
    EXPECT_EQ(bar->GetMinimum(), c.min);
    EXPECT_EQ(bar->GetMaximum(), c.max);
    EXPECT_EQ(bar->GetValue(), c.value);
  }
}

// Code moves the bar with the value attribute and a repaint.
TEST_F(ProgressTest, ANewValueShowsAfterTheRepaint) {
  ControlWindow window(BarLayout("min=\"0\" max=\"100\" value=\"0\""));
  auto* bar = window.View<KxMiniUIProgress>(8);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(window.PixelAt(50 + 100, 25), RGB(0, 0, 255));
  EXPECT_GE(bar->SetAttribute("value", "75", false), 0);
  bar->Invalidate();
  EXPECT_EQ(window.PixelAt(50 + 149, 25), RGB(255, 0, 0));
  EXPECT_EQ(window.PixelAt(50 + 150, 25), RGB(0, 0, 255));
}

// The stripe skin ("strip", frames 32 wide) is tiled and moved by the step: the
// animation's timer moves what a pixel shows.
TEST_F(ProgressTest, TheStripeProgressMovesItsStripesOnItsTimer) {
  ControlWindow window(ControlLayout(
      "<stripeprogress id=\"9\" pos=\"10,10,290,18\" stripeskin=\"strip\" distancestep=\"3\" "
      "animalinterval=\"20\" />"));
  auto* stripes = window.View<KxMiniUIStripeProgress>(9);
  ASSERT_NE(stripes, nullptr);
  EXPECT_EQ(stripes->GetProgressType(), KxMiniUIStripeProgress::kTypeStripe);
  EXPECT_EQ(stripes->GetDistanceStep(), 3);
  EXPECT_TRUE(PumpUntil([&] { return stripes->GetStep() >= 3; }, 5000));

  // Each pixel shows the first frame's column (x - distance) modulo 32; red
  // is twice that column. A step may come between painting and reading:
  // such probes are not counted.
  int checked = 0;
  for (int probe = 0; probe < 10 && checked < 3; ++probe) {
    const int distance = stripes->Distance();
    const COLORREF pixel = window.PixelAt(10 + 100, 12);
    if (stripes->Distance() != distance) continue;
    const int column = ((100 - distance) % 32 + 32) % 32;
    EXPECT_EQ(GetRValue(pixel), column * 2) << distance;
    ++checked;
  }
  EXPECT_GT(checked, 0);
  const int before = stripes->GetStep();
  EXPECT_TRUE(PumpUntil([&] { return stripes->GetStep() > before; }, 5000));
}

TEST_F(ProgressTest, StripeAttributesTakeTheirWordsAndRejectOthers) {
  ControlWindow window(ControlLayout("<stripeprogress id=\"9\" pos=\"10,10,290,18\" />"));
  auto* stripes = window.View<KxMiniUIStripeProgress>(9);
  ASSERT_NE(stripes, nullptr);
  EXPECT_EQ(stripes->GetDistanceStep(), 1);
  EXPECT_EQ(stripes->GetStepInterval(), 30);
  EXPECT_FALSE(stripes->IsBidirectional());
  EXPECT_GE(stripes->SetAttribute("progress-type", "lightbar", false), 0);
  EXPECT_EQ(stripes->GetProgressType(), KxMiniUIStripeProgress::kTypeLightBar);
  EXPECT_LT(stripes->SetAttribute("progress-type", "wave", false), 0);
  EXPECT_EQ(stripes->GetProgressType(), KxMiniUIStripeProgress::kTypeLightBar);
}

}  // namespace
}  // namespace zelk::test
