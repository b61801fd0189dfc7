#include "miniui/core/KxMiniUIViewLayout.h"

#include <gtest/gtest.h>

#include <ostream>

#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

struct PosCase {
  const char* body;  // children of a 600 x 400 window; the last one is checked
  RECT expected;
};

std::ostream& operator<<(std::ostream& out, const PosCase& c) { return out << c.body; }

class PosLayout : public ::testing::TestWithParam<PosCase> {};

TEST_P(PosLayout, GivesTheExpectedRectangle) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(GetParam().body, 600, 400);
  ASSERT_GT(root->GetChildCount(), 0u);
  const RECT rect = root->GetChildAt(root->GetChildCount() - 1)->GetRect();
  const RECT& expected = GetParam().expected;
  EXPECT_EQ(rect.left, expected.left);
  EXPECT_EQ(rect.top, expected.top);
  EXPECT_EQ(rect.right, expected.right);
  EXPECT_EQ(rect.bottom, expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PosLayout,
    ::testing::Values(
        // Fills the parent.
        PosCase{"<b><testbox pos=\"0,0,-0,-0\" /></b>", {0, 0, 600, 400}},
        // 38 pixels left of the right edge, at the top, natural size.
        PosCase{"<b><testbox pos=\"-38,0\" natural=\"38,30\" /></b>", {562, 0, 600, 30}},
        // A 3-pixel band 48 pixels above the bottom, inset by 1 on both sides.
        PosCase{"<b><testbox pos=\"1,-51,-1,-48\" /></b>", {1, 349, 599, 352}},
        PosCase{"<b><testbox pos=\"75,20,-105,45\" /></b>", {75, 20, 495, 45}},
        // An empty rectangle at the bottom-right corner.
        PosCase{"<b><testbox pos=\"-0,-0,-0,-0\" /></b>", {600, 400, 600, 400}},
        // Three numbers are no position: natural size at 0,0.
        PosCase{"<b><testbox pos=\"10,10,20\" natural=\"5,6\" /></b>", {0, 0, 5, 6}},
        PosCase{"<b><testbox pos=\"0,0,%50,-0\" /></b>", {0, 0, 300, 400}},
        PosCase{"<b><testbox pos=\"0,0,%-25,-0\" /></b>", {0, 0, 450, 400}},
        PosCase{"<b><testbox pos=\"%10,%-10,%33,%100\" /></b>", {60, 360, 198, 400}},
        // Natural size 0: an empty rectangle at the corner.
        PosCase{"<b><testbox pos=\"0,0\" /></b>", {0, 0, 0, 0}},
        // "#" counts from the previous sibling (here at 10,20 sized 100 x 50).
        PosCase{"<b><testbox pos=\"10,20,110,70\" /><testbox pos=\"#5,#0\" natural=\"20,10\" /></b>",
                {115, 70, 135, 80}},
        PosCase{"<b><testbox pos=\"10,20,110,70\" /><testbox pos=\"#-5,#-0,#-0,#-0\" /></b>", {105, 70, 110, 70}},
        PosCase{"<b><testbox pos=\"10,20,110,70\" /><testbox pos=\"#|0,#%50\" natural=\"4,4\" /></b>",
                {60, 45, 64, 49}},
        // "#" without a previous sibling measures from the parent.
        PosCase{"<b><testbox pos=\"#5,#6\" natural=\"10,10\" /></b>", {5, 6, 15, 16}},
        // "|" counts from the centre.
        PosCase{"<b><testbox pos=\"|-50,|-20,|50,|20\" /></b>", {250, 180, 350, 220}},
        PosCase{"<b><testbox pos=\"|0,|-0\" natural=\"10,10\" /></b>", {300, 200, 310, 210}},
        // Alignments move the natural-size rectangle.
        PosCase{"<b><testbox pos=\"30,40\" xalign=\"center\" yalign=\"far\" natural=\"40,20\" /></b>",
                {280, 380, 320, 400}},
        PosCase{"<b><testbox pos=\"30,40\" xalign=\"near\" natural=\"40,20\" /></b>", {0, 40, 40, 60}},
        PosCase{"<b><testbox xalign=\"far\" yalign=\"center\" natural=\"41,21\" /></b>", {559, 189, 600, 210}},
        PosCase{"<b><testbox pos=\"0,0\" xalign=\"center\" natural=\"41,1\" /></b>", {279, 0, 320, 1}},
        // Fixed and full sizes.
        PosCase{"<b><testbox pos=\"5,5\" width=\"50\" height=\"10\" natural=\"1,1\" /></b>", {5, 5, 55, 15}},
        PosCase{"<b><testbox width=\"full\" height=\"full\" natural=\"1,1\" /></b>", {0, 0, 600, 400}},
        PosCase{"<b><testbox width=\"0\" height=\"-3\" natural=\"7,8\" /></b>", {0, 0, 7, 8}},
        // A position turns a full size into the natural one.
        PosCase{"<b><testbox pos=\"5,5\" width=\"full\" natural=\"7,8\" /></b>", {5, 5, 12, 13}},
        // Spaces, other bases, trailing text and a fifth number.
        PosCase{"<b><testbox pos=\" 1 , 2 , -3 , -4 \" /></b>", {1, 2, 597, 396}},
        PosCase{"<b><testbox pos=\"0x10,010\" natural=\"1,1\" /></b>", {16, 8, 17, 9}},
        PosCase{"<b><testbox pos=\"1,2,x,4\" natural=\"3,3\" /></b>", {1, 2, 4, 5}},
        PosCase{"<b><testbox pos=\"1,2,3,4,5\" /></b>", {1, 2, 3, 4}},
        PosCase{"<b><testbox pos=\"garbage\" natural=\"2,2\" /></b>", {0, 0, 2, 2}},
        // Absurd numbers stay within the coordinate limit instead of
        // overflowing (limit 16777216).
        PosCase{"<b><testbox pos=\"2147483647,0\" natural=\"10,10\" /></b>", {16777216, 0, 16777216, 10}},
        PosCase{"<b><testbox pos=\"10,20,110,70\" /><testbox pos=\"#2147483647,#-2147483648\" natural=\"5,5\" /></b>",
                {16777216, -16777146, 16777216, -16777141}},
        PosCase{"<b><testbox pos=\"-2147483647,0,99999999999,10\" /></b>", {-16776616, 0, 16777216, 10}},
        PosCase{"<b><testbox pos=\"%2147483647,|2147483647\" natural=\"1,1\" /></b>",
                {16777216, 16777216, 16777216, 16777216}},
        PosCase{"<b><testbox pos=\"5,5\" width=\"2147483647\" height=\"0x7fffffff\" /></b>",
                {5, 5, 16777216, 16777216}},
        PosCase{"<b><testbox pos=\"0,0\" width=\"99999999999\" xalign=\"center\" natural=\"1,1\" /></b>",
                {-8388308, 0, 8388908, 1}}));

TEST(PosLayout, CoordinatesAreRelativeToTheParentsSize) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><testbox pos=\"10,10,110,60\"><testbox pos=\"0,0,-0,-0\" /><testbox pos=\"-10,-10\" natural=\"10,10\" />"
      "</testbox></b>",
      600, 400);
  KxMiniUIView* parent = root->GetChildAt(0);
  EXPECT_EQ(parent->GetChildAt(0)->GetRect().right, 100);
  EXPECT_EQ(parent->GetChildAt(0)->GetRect().bottom, 50);
  EXPECT_EQ(parent->GetChildAt(1)->GetRect().left, 90);
  EXPECT_EQ(parent->GetChildAt(1)->GetRect().top, 40);
  const POINT window = parent->GetChildAt(1)->ToWindowPoint(POINT{1, 2});
  EXPECT_EQ(window.x, 101);
  EXPECT_EQ(window.y, 52);
  const POINT back = parent->GetChildAt(1)->ToViewPoint(window);
  EXPECT_EQ(back.x, 1);
  EXPECT_EQ(back.y, 2);
}

TEST(PosLayout, ParsingKeepsTheFlagsOfEachCoordinate) {
  KxMiniUIViewLayout layout;
  ASSERT_TRUE(layout.ParsePos("#|-3,%7,-0,12"));
  EXPECT_EQ(layout.Count(), 4);
  EXPECT_TRUE(layout.Entry(0).afterSibling);
  EXPECT_TRUE(layout.Entry(0).fromCentre);
  EXPECT_TRUE(layout.Entry(0).fromFar);
  EXPECT_EQ(layout.Entry(0).value, 3);
  EXPECT_TRUE(layout.Entry(1).percent);
  EXPECT_FALSE(layout.Entry(1).fromFar);
  EXPECT_TRUE(layout.Entry(2).fromFar);
  EXPECT_EQ(layout.Entry(2).value, 0);
  EXPECT_FALSE(layout.ParsePos("1,2,3"));
  EXPECT_EQ(layout.Count(), 0);
  EXPECT_FALSE(layout.ParsePos(""));
  EXPECT_FALSE(layout.ParsePos(nullptr));
}

TEST(PosLayout, APositionOrAlignmentTurnsUnfixedSizesNatural) {
  KxMiniUIViewLayout layout;
  layout.SetWidth("full");
  layout.SetHeight("30");
  ASSERT_TRUE(layout.ParsePos("1,1"));
  EXPECT_EQ(layout.Mode() & KxMiniUIViewLayout::kWidthMask, KxMiniUIViewLayout::kWidthNatural);
  EXPECT_EQ(layout.Mode() & KxMiniUIViewLayout::kHeightMask, KxMiniUIViewLayout::kHeightFixed);
  EXPECT_EQ(layout.FixedHeight(), 30);
  KxMiniUIViewLayout aligned;
  aligned.SetHeight("full");
  EXPECT_TRUE(aligned.SetVerticalAlignment("far"));
  EXPECT_EQ(aligned.Mode() & KxMiniUIViewLayout::kHeightMask, KxMiniUIViewLayout::kHeightNatural);
  EXPECT_EQ(aligned.Mode() & KxMiniUIViewLayout::kYAlignMask, KxMiniUIViewLayout::kYAlignFar);
  EXPECT_FALSE(aligned.SetHorizontalAlignment("left"));
  EXPECT_EQ(aligned.Mode() & KxMiniUIViewLayout::kXAlignMask, 0u);
}

TEST(PosLayout, InAWindowThatCannotBeResizedEachViewIsPlacedOnce) {
  auto root = std::make_unique<KxMiniUIRootView>();
  root->SetNotResizable(true);
  auto document = ParseXml("<b><testbox pos=\"0,0,-0,-0\"><testbox pos=\"0,0,-0,-0\" /></testbox>"
                           "<testbox pos=\"0,0,-0,-0\" float=\"0\" /></b>");
  root->LoadChildrenFromXml(document->Root());
  root->LayoutAt(300, 200);
  root->LayoutAt(500, 100);
  EXPECT_EQ(root->GetChildAt(0)->GetRect().right, 300);
  EXPECT_FALSE(root->GetChildAt(0)->FollowsParent());
  EXPECT_EQ(root->GetChildAt(0)->GetChildAt(0)->GetRect().right, 300);
  EXPECT_EQ(root->GetChildAt(1)->GetRect().right, 500) << "float 0 follows its parent";
}

TEST(PosLayout, InAResizableWindowViewsFollowTheirParent) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><testbox pos=\"0,0,-0,-0\"><testbox pos=\"0,0,-10,-0\" /></testbox>"
               "<testbox pos=\"0,0,-0,-0\" float=\"1\" /></b>",
               300, 200);
  root->LayoutAt(500, 100);
  EXPECT_EQ(root->GetChildAt(0)->GetRect().right, 500);
  EXPECT_EQ(root->GetChildAt(0)->GetChildAt(0)->GetRect().right, 490);
  EXPECT_EQ(root->GetChildAt(1)->GetRect().right, 300) << "a floating view was placed once";
  EXPECT_TRUE(root->GetChildAt(1)->IsLaidOut());
}

}  // namespace
}  // namespace zelk::test
