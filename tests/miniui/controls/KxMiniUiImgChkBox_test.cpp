// The check box on real framework windows: what a click, Space and Return
// do to its state and what the owner window reads while handling the
// notification, parent and child boxes, its skins by state, and its natural
// width with a text offset.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "miniui/controls/KxMiniUIRadioBtn.h"
#include "miniui/controls/KxMiniUiImgChkBox.h"
#include "tests/miniui/controls/support/ControlWindow.h"

namespace zelk::test {
namespace {

class CheckBoxTest : public FrameworkWindowTest {};

// A box at (20, 20) whose unchecked icon is "small" (blue 128) and whose
// checked icon is the four-frame "strip" (blue 200).
std::string BoxLayout(const std::string& attributes, const std::string& text = "") {
  return ControlLayout("<imgcheck id=\"5\" pos=\"20,20,140,40\" skinchecked=\"strip\" skinunchecked=\"small\" " +
                       attributes + ">" + text + "</imgcheck>");
}

// The icon sits at the left edge, vertically centred: probe its middle.
int IconBlueAt(ControlWindow& window) { return GetBValue(window.PixelAt(20 + 5, 30)); }

TEST_F(CheckBoxTest, ACheckedBoxReportsTheNewStateInEachClickNotification) {
  ControlWindow window(BoxLayout("checked=\"checked\""));
  auto* box = window.View<KxMiniUiImgChkBox>(5);
  ASSERT_NE(box, nullptr);
  std::vector<int> seen;
  window.onNotice = [&](const KxMiniUINotification& record) {
    if (record.header.code == kMiniUINotifyClick) seen.push_back(box->GetCheck());
  };
  EXPECT_EQ(IconBlueAt(window), 200);
  window.ClickAt(60, 30);
  EXPECT_EQ(seen, std::vector<int>{0});
  EXPECT_EQ(IconBlueAt(window), 128);
  window.ClickAt(60, 30);
  EXPECT_EQ(seen, (std::vector<int>{0, 1}));
  EXPECT_EQ(IconBlueAt(window), 200);
  ASSERT_EQ(window.Clicks().size(), 2u);
  EXPECT_EQ(window.Clicks()[0].viewId, 5);
  EXPECT_EQ(window.Clicks()[0].className, "imgcheck");
}

TEST_F(CheckBoxTest, AHalfCheckedBoxBecomesCheckedOnAClick) {
  ControlWindow window(BoxLayout("checked=\"halfchecked\""));
  auto* box = window.View<KxMiniUiImgChkBox>(5);
  ASSERT_NE(box, nullptr);
  ASSERT_EQ(box->GetCheck(), KxMiniUiImgChkBox::kHalfChecked);
  EXPECT_EQ(IconBlueAt(window), 128);  // no half-checked skin: the unchecked one
  window.ClickAt(60, 30);
  EXPECT_EQ(box->GetCheck(), KxMiniUiImgChkBox::kChecked);
}

TEST_F(CheckBoxTest, SpaceTogglesAndNotifiesOnceReturnNotifiesWithoutToggling) {
  ControlWindow window(BoxLayout(""));
  auto* box = window.View<KxMiniUiImgChkBox>(5);
  ASSERT_NE(box, nullptr);
  window.MoveTo(250, 130);
  box->SetFocus();
  std::vector<int> seen;
  window.onNotice = [&](const KxMiniUINotification& record) {
    if (record.header.code == kMiniUINotifyClick) seen.push_back(box->GetCheck());
  };
  window.Key(VK_SPACE);
  EXPECT_EQ(seen, std::vector<int>{1});
  window.Key(VK_RETURN);
  EXPECT_EQ(seen, (std::vector<int>{1, 1}));
  window.Key(VK_SPACE);
  EXPECT_EQ(seen, (std::vector<int>{1, 1, 0}));
  window.Key('X');
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(CheckBoxTest, ADisabledBoxIgnoresClicksAndDrawsFrame3) {
  ControlWindow window(BoxLayout("checked=\"checked\" enable=\"false\""));
  auto* box = window.View<KxMiniUiImgChkBox>(5);
  ASSERT_NE(box, nullptr);
  window.ClickAt(60, 30);
  EXPECT_TRUE(window.Clicks().empty());
  EXPECT_EQ(box->GetCheck(), KxMiniUiImgChkBox::kChecked);
  EXPECT_EQ(GetGValue(window.PixelAt(25, 30)) / 60, 3);
}

TEST_F(CheckBoxTest, BadCheckWordsFailAndLeaveTheState) {
  ControlWindow window(BoxLayout("checked=\"checked\""));
  auto* box = window.View<KxMiniUiImgChkBox>(5);
  ASSERT_NE(box, nullptr);
  for (const char* word : {"yes", "1", "", "check"}) {
    SCOPED_TRACE(word);
    EXPECT_LT(box->SetAttribute("checked", word, false), 0);
    EXPECT_EQ(box->GetCheck(), KxMiniUiImgChkBox::kChecked);
  }
  EXPECT_GE(box->SetAttribute("checked", "HalfChecked", false), 0);
  EXPECT_EQ(box->GetCheck(), KxMiniUiImgChkBox::kHalfChecked);
}

// A parent box (as a tree view links them) follows its children: a half
// child makes it half at once, all checked checked, all unchecked
// unchecked, a mix half. A definite state of the parent goes down.
TEST_F(CheckBoxTest, AParentRecomputesFromItsChildrenAndPassesDefiniteStatesDown) {
  ControlWindow window(ControlLayout(
      "<imgcheck id=\"1\" pos=\"10,10,40,30\" /><imgcheck id=\"2\" pos=\"10,40,40,60\" />"
      "<imgcheck id=\"3\" pos=\"10,70,40,90\" /><imgcheck id=\"4\" pos=\"10,100,40,120\" />"));
  KxMiniUiImgChkBox* parent = window.View<KxMiniUiImgChkBox>(1);
  KxMiniUiImgChkBox* children[] = {window.View<KxMiniUiImgChkBox>(2), window.View<KxMiniUiImgChkBox>(3),
                                   window.View<KxMiniUiImgChkBox>(4)};
  ASSERT_TRUE(parent && children[0] && children[1] && children[2]);
  for (auto* child : children) parent->AddCheckChild(child);

  const struct {
    int a, b, c;
    int parent;
  } cases[] = {{1, 1, 1, 1}, {0, 0, 0, 0}, {1, 0, 1, 2}, {0, 2, 0, 2}, {1, 1, 2, 2}, {0, 0, 1, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.a) + std::to_string(c.b) + std::to_string(c.c));
    // Set without telling the parent, then let the last child tell it.
    children[0]->SetCheck(c.a, false, false);
    children[1]->SetCheck(c.b, false, false);
    children[2]->SetCheck(c.c == 0 ? 1 : 0, false, false);
    children[2]->SetCheck(c.c, false, true);
    EXPECT_EQ(parent->GetCheck(), c.parent);
  }

  parent->SetCheck(KxMiniUiImgChkBox::kChecked);
  for (auto* child : children) EXPECT_EQ(child->GetCheck(), KxMiniUiImgChkBox::kChecked);
  children[1]->SetCheck(KxMiniUiImgChkBox::kUnchecked);
  EXPECT_EQ(parent->GetCheck(), KxMiniUiImgChkBox::kHalfChecked);
  EXPECT_EQ(children[0]->GetCheck(), KxMiniUiImgChkBox::kChecked);  // the half state is not passed down
  // A click on the half parent checks it and every child.
  window.ClickAt(20, 20);
  EXPECT_EQ(parent->GetCheck(), KxMiniUiImgChkBox::kChecked);
  for (auto* child : children) EXPECT_EQ(child->GetCheck(), KxMiniUiImgChkBox::kChecked);
}

// At its natural size a box with "textoffset" shows its whole label: the
// offset moves the text's start, and the text is not cut or centred onto
// pixels past the view's edge.
TEST_F(CheckBoxTest, ALabelWithATextOffsetIsShownWholeAtTheNaturalWidth) {
  for (const char* label : {"\xE5\xB7\xB2\xE9\x98\x85\xE8\xAF\xBB\xE5\xB9\xB6\xE5\x90\x8C\xE6\x84\x8F",  // 已阅读并同意
                            "Read and agree"}) {
    SCOPED_TRACE(label);
    ControlWindow window(ControlLayout(
        std::string("<imgcheck id=\"5\" pos=\"20,20\" skinunchecked=\"small\" crtext=\"000000\" "
                    "textoffset=\"8,2\">") +
        label + "</imgcheck>"
                "<imgcheck id=\"6\" pos=\"20,80,290,120\" skinunchecked=\"small\" crtext=\"000000\" "
                "textoffset=\"8,2\">" +
        label + "</imgcheck>"));
    auto* natural = window.View<KxMiniUiImgChkBox>(5);
    auto* wide = window.View<KxMiniUiImgChkBox>(6);
    ASSERT_TRUE(natural && wide);
    const std::wstring text = natural->GetText();
    EXPECT_EQ(natural->Width(), 20 + 8 + natural->GetMeasuredTextSize().cx);

    // The label's ink, right of the icon. At the natural width it starts
    // where the text starts (icon 20 + offset 8); the wide box centres it
    // with room to spare: the natural one must show as much of it.
    const COLORREF white = RGB(255, 255, 255);
    const int textStart = 20 + 20 + 8;
    const RECT naturalInk = window.InkBounds(RECT{40, 20, 300, 20 + natural->Height()}, white);
    const RECT wideInk = window.InkBounds(RECT{40, 80, 300, 120}, white);
    EXPECT_EQ(natural->GetFittedText(), text);
    EXPECT_EQ(wide->GetFittedText(), text);
    ASSERT_GT(wideInk.right, wideInk.left);
    EXPECT_LE(naturalInk.right, natural->GetRect().right);
    EXPECT_NEAR(naturalInk.left, textStart, 2);
    EXPECT_NEAR(naturalInk.right - naturalInk.left, wideInk.right - wideInk.left, 1);
  }
}

TEST_F(CheckBoxTest, ARadioButtonIsACheckBoxWithAGroup) {
  ControlWindow window(ControlLayout("<radiobtn id=\"7\" pos=\"10,10,60,30\" group=\"g1\" />"));
  auto* radio = window.View<KxMiniUIRadioBtn>(7);
  ASSERT_NE(radio, nullptr);
  EXPECT_EQ(radio->GetGroup(), "g1");
  window.ClickAt(20, 20);
  EXPECT_EQ(radio->GetCheck(), KxMiniUiImgChkBox::kChecked);
  ASSERT_EQ(window.Clicks().size(), 1u);
  EXPECT_EQ(window.Clicks()[0].className, "radiobtn");
}

}  // namespace
}  // namespace zelk::test
