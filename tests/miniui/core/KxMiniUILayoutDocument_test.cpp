#include "miniui/core/KxMiniUILayoutDocument.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIDlgFile.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

constexpr UINT kLayoutXml = 130;

class LayoutDocumentTest : public CoreResourcesTest {};

RECT RectOf(KxMiniUIView* view) { return view ? view->GetRect() : RECT{-1, -1, -1, -1}; }

TEST_F(LayoutDocumentTest, AWindowLayoutResourceBuildsItsTreeWithTheIncludedDocument) {
  KxMiniUILayoutDocument layout;
  ASSERT_TRUE(layout.Load(kLayoutXml));
  const KxMiniUIWindowDescription& window = layout.Description();
  EXPECT_EQ(window.title, L"ZelkPDF\x5B89\x88C5\x7A0B\x5E8F");
  EXPECT_EQ(window.width, 600);
  EXPECT_EQ(window.height, 480);
  EXPECT_EQ(window.style, 0x82080000u | WS_MINIMIZEBOX);
  EXPECT_EQ(window.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  EXPECT_TRUE(window.defaultDrag);
  EXPECT_FALSE(window.resizable);
  EXPECT_TRUE(window.shadow.present);
  EXPECT_EQ(window.shadow.picture, 5004u);
  EXPECT_EQ(window.shadow.bottom, 10);

  KxMiniUIRootView root;
  layout.ApplyTo(root);
  EXPECT_EQ(layout.ViewCount(), 0u);
  EXPECT_TRUE(root.GetDefaultDrag());
  EXPECT_TRUE(root.IsNotResizable());
  root.LayoutAt(window.width, window.height);
  ASSERT_EQ(root.GetChildCount(), 1u);  // the body
  EXPECT_EQ(RectOf(root.GetChildAt(0)).bottom, 480);
  // Views of the included fragment (resource 120) are in the tree.
  EXPECT_EQ(RectOf(root.FindViewById(71)).right, 600);
  EXPECT_EQ(RectOf(root.FindViewById(72)).right, 3);
  EXPECT_EQ(RectOf(root.FindViewById(41)).left, 75);
  EXPECT_EQ(RectOf(root.FindViewById(41)).right, 495);
  EXPECT_EQ(RectOf(root.FindViewById(42)).left, 500);
  EXPECT_EQ(RectOf(root.FindViewById(42)).right, 575);
  EXPECT_FALSE(root.FindViewById(43)->IsVisible());
  EXPECT_EQ(root.FindViewById(41)->GetStyle().background[0].rgb, 0xFAFAFAu);
}

TEST_F(LayoutDocumentTest, HeaderBodyAndFooterAreStackedByTheirHeights) {
  KxMiniUILayoutDocument layout;
  ASSERT_TRUE(layout.Parse("<layer width=\"300\" height=\"200\">"
                           "<footer height=\"20\" id=\"3\" /><body id=\"2\" /><header height=\"30\" id=\"1\" />"
                           "</layer>"));
  KxMiniUIRootView root;
  layout.ApplyTo(root);
  root.LayoutAt(300, 200);
  ASSERT_EQ(root.GetChildCount(), 3u);
  EXPECT_EQ(root.GetChildAt(0)->GetId(), 1) << "header, body and footer, in that order";
  EXPECT_EQ(root.GetChildAt(2)->GetId(), 3);
  const RECT header = RectOf(root.FindViewById(1));
  const RECT body = RectOf(root.FindViewById(2));
  const RECT footer = RectOf(root.FindViewById(3));
  EXPECT_EQ(header.bottom, 30);
  EXPECT_EQ(header.right, 300);
  EXPECT_EQ(body.top, 30);
  EXPECT_EQ(body.bottom, 180);
  EXPECT_EQ(footer.top, 180);
  EXPECT_EQ(footer.bottom, 200);
}

TEST_F(LayoutDocumentTest, ABodyAloneFillsTheWindowWhateverItsOwnPos) {
  KxMiniUILayoutDocument layout;
  ASSERT_TRUE(layout.Parse("<layer><body pos=\"5,5,10,10\" id=\"2\" /></layer>"));
  KxMiniUIRootView root;
  layout.ApplyTo(root);
  root.LayoutAt(120, 90);
  const RECT body = RectOf(root.FindViewById(2));
  EXPECT_EQ(body.left, 0);
  EXPECT_EQ(body.right, 120);
  EXPECT_EQ(body.bottom, 90);
}

TEST_F(LayoutDocumentTest, ApplyingALayoutReplacesTheOldTree) {
  KxMiniUIRootView root;
  KxMiniUILayoutDocument first;
  ASSERT_TRUE(first.Parse("<layer><body><dlg id=\"7\" /></body></layer>"));
  first.ApplyTo(root);
  ASSERT_NE(root.FindViewById(7), nullptr);
  KxMiniUILayoutDocument second;
  ASSERT_TRUE(second.Parse("<layer resize=\"1\"><body><dlg id=\"8\" /></body></layer>"));
  second.ApplyTo(root);
  EXPECT_EQ(root.FindViewById(7), nullptr);
  EXPECT_NE(root.FindViewById(8), nullptr);
  EXPECT_FALSE(root.IsNotResizable());
}

TEST_F(LayoutDocumentTest, TheRootMustBeExactlyLayer) {
  KxMiniUILayoutDocument layout;
  EXPECT_FALSE(layout.Parse("<Layer><body /></Layer>"));
  EXPECT_FALSE(layout.Parse("<dlg><body /></dlg>"));
  EXPECT_FALSE(layout.Parse("<layer><body>"));
  EXPECT_FALSE(layout.Parse(""));
  EXPECT_FALSE(layout.Load(kStyleXml));
  EXPECT_FALSE(layout.Load(4242));
  EXPECT_EQ(layout.ViewCount(), 0u);
  EXPECT_TRUE(layout.Description().title.empty());
}

struct WindowFlagCase {
  const char* attributes;
  DWORD style;
  DWORD exStyle;
};

class WindowFlags : public LayoutDocumentTest, public ::testing::WithParamInterface<WindowFlagCase> {};

TEST_P(WindowFlags, RootAttributesSetTheWindowStyles) {
  KxMiniUILayoutDocument layout;
  ASSERT_TRUE(layout.Parse(std::string("<layer ") + GetParam().attributes + "><body /></layer>"));
  EXPECT_EQ(layout.Description().style, GetParam().style) << GetParam().attributes;
  EXPECT_EQ(layout.Description().exStyle, GetParam().exStyle) << GetParam().attributes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowFlags,
    ::testing::Values(WindowFlagCase{"", 0x82080000, 0},
                      WindowFlagCase{"visible=\"1\" animaterestore=\"1\"", 0x92C80000, 0},
                      WindowFlagCase{"appwin=\"true\" minbox=\"01\"", 0x82080000, 0},
                      WindowFlagCase{"appwin=\"1\" minbox=\"1\"", 0x820A0000, 0x00040000},
                      WindowFlagCase{"resize=\"1\"", 0x820B0000, 0},
                      WindowFlagCase{"resize=\"1\" nomaxsize=\"1\" resizeregion=\"4\"", 0x820E0000, 0},
                      WindowFlagCase{"resizeregion=\"4\"", 0x82080000, 0},
                      WindowFlagCase{"nosystemmenu=\"1\"", 0x82000000, 0},
                      WindowFlagCase{"noborder=\"x\" layer=\"1\" acceptfiles=\"1\"", 0x82080000, 0x00080098},
                      WindowFlagCase{"noborder=\"\" layer=\"0\"", 0x82080000, 0},
                      WindowFlagCase{"child=\"1\" visible=\"1\"", 0x52000000, 0}));

TEST_F(LayoutDocumentTest, TheRestOfTheWindowAndShadowSettingsAreKept) {
  KxMiniUILayoutDocument layout;
  ASSERT_TRUE(layout.Parse("<layer minwidth=\"200\" minheight=\"0x64\" redrawnc=\"1\" layer=\"1\" defaultfocus=\"1\" "
                           "resize=\"1\" resizeregion=\"6\">"
                           "<shadow src=\"5050\" margin=\" 11, 12 ,13,14 \" radiustop=\"3\" radiusbottom=\"4\" "
                           "sizingborder=\"5\" prunedmsgfollow=\"1\" /><body /></layer>"));
  const KxMiniUIWindowDescription& window = layout.Description();
  EXPECT_EQ(window.minWidth, 200);
  EXPECT_EQ(window.minHeight, 100);
  EXPECT_TRUE(window.redrawNonClient);
  EXPECT_TRUE(window.layered);
  EXPECT_TRUE(window.defaultFocus);
  EXPECT_EQ(window.sizingBorder, 6);
  const KxMiniUIShadowSettings& shadow = window.shadow;
  EXPECT_EQ(shadow.picture, 5050u);
  EXPECT_EQ(shadow.left, 11);
  EXPECT_EQ(shadow.top, 12);
  EXPECT_EQ(shadow.right, 13);
  EXPECT_EQ(shadow.bottom, 14);
  EXPECT_EQ(shadow.radiusTop, 3);
  EXPECT_EQ(shadow.radiusBottom, 4);
  EXPECT_EQ(shadow.sizingBorder, 5);
  EXPECT_TRUE(shadow.prunedMessageFollow);
  KxMiniUILayoutDocument partial;
  ASSERT_TRUE(partial.Parse("<layer><shadow margin=\"5,6\" /></layer>"));
  EXPECT_EQ(partial.Description().shadow.top, 6);
  EXPECT_EQ(partial.Description().shadow.right, 0);
  KxMiniUILayoutDocument none;
  ASSERT_TRUE(none.Parse("<layer />"));
  EXPECT_FALSE(none.Description().shadow.present);
}

}  // namespace
}  // namespace zelk::test
