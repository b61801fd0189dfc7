// The button family on real framework windows: the state machine under real
// mouse input, the click notification the owner window receives, keys,
// sticky selection, the round hit region, and what each state draws.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "miniui/controls/KxMiniUIButton.h"
#include "miniui/controls/KxMiniUIIconBtn.h"
#include "miniui/controls/KxMiniUIImageBtn.h"
#include "miniui/controls/KxMiniUIImageView.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "tests/miniui/controls/support/ControlWindow.h"

namespace zelk::test {
namespace {

// The frame of the "strip" skin drawn at a pixel: its green is 60 per frame.
// The skin is not stretchable: one 32 x 8 frame at the view's top-left.
int StripFrameAt(ControlWindow& window, int x, int y) { return GetGValue(window.PixelAt(x, y)) / 60; }

class ButtonTest : public FrameworkWindowTest {};

// imgbtn 10 at (20, 20) size 64 x 24 drawn from the four-frame "strip".
const std::string kImageButton = ControlLayout(
    "<imgbtn id=\"10\" pos=\"20,20,84,44\" skin=\"strip\" />"
    "<imgbtn id=\"11\" pos=\"120,20,184,44\" skin=\"strip\" enable=\"false\" />");

TEST_F(ButtonTest, APressAndReleaseInsideSendsOneClickWithWordParameter1000) {
  ControlWindow window(kImageButton);
  auto* button = window.View<KxMiniUIImageBtn>(10);
  ASSERT_NE(button, nullptr);
  window.MoveTo(40, 30);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kHover);
  EXPECT_EQ(StripFrameAt(window, 25, 22), 1);
  window.Press();
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kPressed);
  EXPECT_EQ(StripFrameAt(window, 25, 22), 2);
  EXPECT_TRUE(window.Clicks().empty());  // the click is the release
  window.Release();

  const auto clicks = window.Clicks();
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].wParam, KxMiniUIButton::kClickWordParam);
  EXPECT_EQ(clicks[0].controlId, kMiniUINotifyControlId);
  EXPECT_EQ(clicks[0].viewId, 10);
  EXPECT_EQ(clicks[0].className, "imgbtn");
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kHover);
  window.MoveTo(200, 120);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kNormal);
  EXPECT_EQ(StripFrameAt(window, 25, 22), 0);
}

TEST_F(ButtonTest, PressInsideMoveOutReleaseOutsideSendsNoClickAndReturnsToNormal) {
  ControlWindow window(kImageButton);
  auto* button = window.View<KxMiniUIImageBtn>(10);
  ASSERT_NE(button, nullptr);
  window.MoveTo(40, 30);
  window.Press();
  ASSERT_EQ(button->GetState(), KxMiniUIButton::kPressed);
  window.MoveTo(200, 120);
  window.Release();
  EXPECT_TRUE(window.Clicks().empty());
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kNormal);
  EXPECT_EQ(StripFrameAt(window, 25, 22), 0);
}

TEST_F(ButtonTest, ADisabledImageButtonDrawsFrame3AndIgnoresTheMouse) {
  ControlWindow window(kImageButton);
  auto* button = window.View<KxMiniUIImageBtn>(11);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kDisabled);
  EXPECT_EQ(StripFrameAt(window, 125, 22), 3);
  window.ClickAt(140, 30);
  EXPECT_TRUE(window.Clicks().empty());
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kDisabled);
  EXPECT_EQ(StripFrameAt(window, 125, 22), 3);

  button->SetEnabled(true);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kNormal);
  window.MoveTo(200, 120);
  window.ClickAt(140, 30);
  EXPECT_EQ(window.Clicks().size(), 1u);
}

TEST_F(ButtonTest, ReturnOnAFocusedButtonSendsExactlyOneClickOtherKeysNone) {
  ControlWindow window(ControlLayout("<textbtn id=\"20\" pos=\"20,20,120,50\">OK</textbtn>"));
  auto* button = window.View<KxMiniUIButton>(20);
  ASSERT_NE(button, nullptr);
  window.MoveTo(250, 130);
  button->SetFocus();
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kHover);  // focus looks like the mouse entering
  window.Key(VK_SPACE);
  window.Key('A');
  EXPECT_TRUE(window.Clicks().empty());
  window.Key(VK_RETURN);
  ASSERT_EQ(window.Clicks().size(), 1u);
  EXPECT_EQ(window.Clicks()[0].viewId, 20);
  EXPECT_EQ(window.Clicks()[0].wParam, KxMiniUIButton::kClickWordParam);
}

// The listener hears pressed at the press and clicked before the window's
// notification.
TEST_F(ButtonTest, TheListenerHearsPressedThenClickedBeforeTheWindow) {
  struct Recorder : KxMiniUIButtonListener {
    std::vector<std::string>* log;
    void OnButtonPressed(KxMiniUIButton*) override { log->push_back("pressed"); }
    void OnButtonClicked(KxMiniUIButton*) override { log->push_back("clicked"); }
    void OnButtonDoublePressed(KxMiniUIButton*) override { log->push_back("double"); }
  };
  std::vector<std::string> log;
  Recorder recorder;
  recorder.log = &log;
  ControlWindow window(kImageButton);
  window.onNotice = [&](const KxMiniUINotification&) { log.push_back("window"); };
  window.View<KxMiniUIImageBtn>(10)->SetListener(&recorder);
  window.ClickAt(40, 30);
  EXPECT_EQ(log, (std::vector<std::string>{"pressed", "clicked", "window"}));
}

TEST_F(ButtonTest, AStickyButtonStaysPressedAfterAClickUntilPressedAndReleasedAgain) {
  ControlWindow window(ControlLayout(
      "<textbtn id=\"30\" pos=\"20,20,120,50\" SelectState=\"1\" crbg=\"FFFFFF\" crbghover=\"00FF00\" "
      "crbgpress=\"FF0000\" />"));
  auto* button = window.View<KxMiniUIButton>(30);
  ASSERT_NE(button, nullptr);
  window.ClickAt(60, 35);
  EXPECT_EQ(window.Clicks().size(), 1u);
  window.MoveTo(250, 130);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kPressed);
  EXPECT_EQ(window.PixelAt(60, 35), RGB(255, 0, 0));

  window.ClickAt(60, 35);
  EXPECT_EQ(window.Clicks().size(), 2u);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kHover);
  EXPECT_EQ(window.PixelAt(60, 35), RGB(0, 255, 0));
  window.MoveTo(250, 130);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kNormal);
  EXPECT_EQ(window.PixelAt(60, 35), RGB(255, 255, 255));
}

// With "roundhit" the corners outside the rounded rectangle are not the
// button: a click there reaches nobody.
TEST_F(ButtonTest, ARoundHitButtonIgnoresClicksInItsCutCorners) {
  ControlWindow window(ControlLayout(
      "<textbtn id=\"40\" pos=\"20,20,100,100\" radius=\"40\" roundhit=\"1\" crbg=\"0000FF\" />"
      "<textbtn id=\"41\" pos=\"120,20,200,100\" radius=\"40\" crbg=\"0000FF\" />"));
  auto* round = window.View<KxMiniUIButton>(40);
  auto* square = window.View<KxMiniUIButton>(41);
  ASSERT_TRUE(round && square);
  EXPECT_TRUE(round->HasHitRegion());
  EXPECT_FALSE(square->HasHitRegion());
  const struct {
    POINT inner;
    bool roundHit;
  } cases[] = {{{2, 2}, false}, {{77, 77}, false}, {{40, 40}, true}, {{40, 1}, true}, {{1, 40}, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.inner.x) + "," + std::to_string(c.inner.y));
    EXPECT_EQ(round->HitTest(c.inner), c.roundHit);
    EXPECT_TRUE(square->HitTest(c.inner));
  }
  window.ClickAt(22, 22);
  EXPECT_TRUE(window.Clicks().empty());
  window.ClickAt(60, 60);
  ASSERT_EQ(window.Clicks().size(), 1u);
  EXPECT_EQ(window.Clicks()[0].viewId, 40);
}

// A "textbtn" with "crtext" 333333 and no state colours: that colour in
// every state but disabled, which takes the default 0xCCCCCC.
TEST_F(ButtonTest, TextColourFollowsTheStateWithDisabledGrey) {
  ControlWindow window(ControlLayout(
      "<textbtn id=\"50\" pos=\"10,10,290,150\" crtext=\"333333\" fontsize=\"-72\" fontstyle=\"b\">HH</textbtn>"));
  auto* button = window.View<KxMiniUIButton>(50);
  ASSERT_NE(button, nullptr);
  window.MoveTo(295, 155);
  const struct {
    int state;
    COLORREF color;
  } cases[] = {{KxMiniUIButton::kNormal, RGB(0x33, 0x33, 0x33)},
               {KxMiniUIButton::kHover, RGB(0x33, 0x33, 0x33)},
               {KxMiniUIButton::kPressed, RGB(0x33, 0x33, 0x33)},
               {KxMiniUIButton::kDisabled, RGB(0xCC, 0xCC, 0xCC)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    button->SetState(c.state);
    EXPECT_EQ(button->GetTextColor(), c.color);
    // The stems of large bold letters are solid: the text colour itself.
    const std::vector<COLORREF> ink = window.InkIn(RECT{10, 10, 290, 150}, RGB(255, 255, 255));
    ASSERT_FALSE(ink.empty());
    size_t solid = 0;
    for (COLORREF color : ink) solid += color == c.color ? 1 : 0;
    EXPECT_GT(solid, ink.size() / 4);
  }
}

// Bad words fail and leave the value as it was.
TEST_F(ButtonTest, UnknownWordsFailAndLeaveTheOldValue) {
  ControlWindow window(ControlLayout(
      "<iconbtn id=\"60\" pos=\"10,10,100,40\" iconpos=\"right\" trimming=\"word\">x</iconbtn>"));
  auto* button = window.View<KxMiniUIIconBtn>(60);
  ASSERT_NE(button, nullptr);
  ASSERT_EQ(button->GetIconPosition(), KxMiniUIIconBtn::kIconRight);
  // The first paint fitted the text and switched to ellipsis trimming.
  const int trimming = button->GetTrimming();
  ASSERT_EQ(trimming, KxMiniUITextView::kTrimEllipsisChar);
  EXPECT_GE(button->SetAttribute("trimming", "word", false), 0);
  ASSERT_EQ(button->GetTrimming(), KxMiniUITextView::kTrimWord);
  const struct {
    const char* name;
    const char* value;
  } cases[] = {{"iconpos", "center"}, {"iconpos", ""}, {"trimming", "ellipsis"}, {"trimming", "2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name) + "=" + c.value);
    EXPECT_LT(button->SetAttribute(c.name, c.value, false), 0);
    EXPECT_EQ(button->GetIconPosition(), KxMiniUIIconBtn::kIconRight);
    EXPECT_EQ(button->GetTrimming(), KxMiniUITextView::kTrimWord);
  }
  EXPECT_GE(button->SetAttribute("iconpos", "TOP", false), 0);
  EXPECT_EQ(button->GetIconPosition(), KxMiniUIIconBtn::kIconTop);
}

// An "img" without a skin paints nothing and has no natural size; with
// "sub" it draws that frame of its skin at one frame's size.
TEST_F(ButtonTest, AnImageWithoutASkinPaintsNothingAndHasNaturalSizeZero) {
  ControlWindow window(ControlLayout(
      "<img id=\"70\" pos=\"10,10\" />"
      "<img id=\"71\" pos=\"40,10,100,40\" crbg=\"FF0000\">text</img>"
      "<img id=\"72\" pos=\"150,10\" skin=\"strip\" sub=\"2\" />"));
  auto* bare = window.View<KxMiniUIImageView>(70);
  auto* coloured = window.View<KxMiniUIImageView>(71);
  auto* framed = window.View<KxMiniUIImageView>(72);
  ASSERT_TRUE(bare && coloured && framed);
  EXPECT_EQ(bare->GetContentSize().cx, 0);
  EXPECT_EQ(bare->GetContentSize().cy, 0);
  EXPECT_EQ(bare->Width(), 0);
  EXPECT_TRUE(window.InkIn(RECT{40, 10, 100, 40}, RGB(255, 255, 255)).empty());

  EXPECT_EQ(framed->Width(), 32);
  EXPECT_EQ(framed->Height(), 8);
  EXPECT_EQ(StripFrameAt(window, 160, 12), 2);
}

}  // namespace
}  // namespace zelk::test

namespace zelk::test {
namespace {

class ButtonLookTest : public FrameworkWindowTest {};

// Natural sizes: a text button adds its offset and margin to the measured
// text; an icon button puts its icon beside or above the text.
TEST_F(ButtonLookTest, NaturalSizesAddOffsetsMarginsAndTheIcon) {
  ControlWindow window(ControlLayout(
      "<textbtn id=\"1\" pos=\"0,0\" textoffset=\"3,4\" textbtnmargin=\"1,2,5,7\">Abc</textbtn>"
      "<iconbtn id=\"2\" pos=\"0,40\" skin=\"small\" iconpos=\"left\" space=\"4\" icon-margin=\"2\">Abc</iconbtn>"
      "<iconbtn id=\"3\" pos=\"100,40\" skin=\"small\" iconpos=\"top\" space=\"4\" icon-margin=\"2\">Abc</iconbtn>"
      "<imgbtn id=\"4\" pos=\"200,40\" skin=\"strip\" />"));
  auto* text = window.View<KxMiniUIButton>(1);
  auto* left = window.View<KxMiniUIIconBtn>(2);
  auto* top = window.View<KxMiniUIIconBtn>(3);
  auto* image = window.View<KxMiniUIImageBtn>(4);
  ASSERT_TRUE(text && left && top && image);
  const SIZE measured = text->GetMeasuredTextSize();
  ASSERT_GT(measured.cx, 0);
  EXPECT_EQ(text->Width(), measured.cx + 3 + 1 + 5);
  EXPECT_EQ(text->Height(), measured.cy + 4 + 2 + 7);
  // The icon "small" is 20 x 10.
  EXPECT_EQ(left->Width(), measured.cx + 20 + 2 + 4);
  EXPECT_EQ(left->Height(), std::max<LONG>(measured.cy, 10));
  EXPECT_EQ(top->Width(), std::max<LONG>(measured.cx, 20));
  EXPECT_EQ(top->Height(), measured.cy + 10 + 2 + 4);
  EXPECT_EQ(image->Width(), 32);  // one frame of the four
  EXPECT_EQ(image->Height(), 8);
}

// "crborderFocus" outlines the button while it holds the focus, and the
// outline goes with the focus.
TEST_F(ButtonLookTest, TheFocusOutlineFollowsTheFocus) {
  ControlWindow window(ControlLayout(
      "<textbtn id=\"1\" pos=\"20,20,120,60\" crbg=\"FFFFFF\" crborderFocus=\"FF0000\" />"
      "<textbtn id=\"2\" pos=\"150,20,250,60\" crbg=\"FFFFFF\" />"));
  auto* first = window.View<KxMiniUIButton>(1);
  auto* second = window.View<KxMiniUIButton>(2);
  ASSERT_TRUE(first && second);
  window.MoveTo(290, 150);
  auto outlined = [&] {
    const std::vector<COLORREF> ink = window.InkIn(RECT{20, 20, 120, 21}, RGB(255, 255, 255));
    return !ink.empty() && ink.front() == RGB(255, 0, 0);
  };
  EXPECT_FALSE(outlined());
  first->SetFocus();
  EXPECT_TRUE(outlined());
  second->SetFocus();
  EXPECT_FALSE(outlined());
}

// With "autocalctooltip" the tip is offered only while the text is cut.
TEST_F(ButtonLookTest, AnAutomaticTooltipIsOfferedOnlyForACutText) {
  ControlWindow window(ControlLayout(
      "<text id=\"1\" pos=\"10,10,30,30\" tip=\"whole text\" autocalctooltip=\"1\">A long text here</text>"
      "<text id=\"2\" pos=\"10,40,290,60\" tip=\"whole text\" autocalctooltip=\"1\">A long text here</text>"
      "<textbtn id=\"3\" pos=\"10,70,290,90\" tip=\"always\">A long text here</textbtn>"));
  auto* narrow = window.View<KxMiniUITextView>(1);
  auto* wide = window.View<KxMiniUITextView>(2);
  auto* plain = window.View<KxMiniUITextView>(3);
  ASSERT_TRUE(narrow && wide && plain);
  EXPECT_EQ(narrow->GetTooltipText(), L"whole text");
  EXPECT_EQ(wide->GetTooltipText(), L"");
  EXPECT_EQ(plain->GetTooltipText(), L"always");
}

}  // namespace
}  // namespace zelk::test
