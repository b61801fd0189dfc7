// The control catalogue: every tag a layout or the skin list may use makes
// its class, names itself, loads its attributes and paints at least its
// style's skin or background; the controls choose colours, backgrounds,
// font styles and cursors by their state.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <typeinfo>

#include "miniui/controls/KxMiniUIAnimationView.h"
#include "miniui/controls/KxMiniUIBoxPanel.h"
#include "miniui/controls/KxMiniUIButton.h"
#include "miniui/controls/KxMiniUIComboBox.h"
#include "miniui/controls/KxMiniUIEditView.h"
#include "miniui/controls/KxMiniUIGifView.h"
#include "miniui/controls/KxMiniUIIconBtn.h"
#include "miniui/controls/KxMiniUIImageBtn.h"
#include "miniui/controls/KxMiniUIImageStatic.h"
#include "miniui/controls/KxMiniUIImageView.h"
#include "miniui/controls/KxMiniUILimitStatic.h"
#include "miniui/controls/KxMiniUILine.h"
#include "miniui/controls/KxMiniUIListBox.h"
#include "miniui/controls/KxMiniUIListCtrl.h"
#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "miniui/controls/KxMiniUIMultiStatic.h"
#include "miniui/controls/KxMiniUIMultiTextImageBtn.h"
#include "miniui/controls/KxMiniUIProgress.h"
#include "miniui/controls/KxMiniUIRadioBtn.h"
#include "miniui/controls/KxMiniUIRealWnd.h"
#include "miniui/controls/KxMiniUIRichEdit.h"
#include "miniui/controls/KxMiniUIRichText.h"
#include "miniui/controls/KxMiniUIScrollView.h"
#include "miniui/controls/KxMiniUIStripeProgress.h"
#include "miniui/controls/KxMiniUITabCtrl.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/controls/KxMiniUITransformView.h"
#include "miniui/controls/KxMiniUITreeView.h"
#include "miniui/controls/KxMiniUIWebBrowser.h"
#include "miniui/controls/KxMiniUiImgChkBox.h"
#include "miniui/core/KxMiniUIApngSkin.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIDlgFile.h"
#include "miniui/core/KxMiniUIGifSkin.h"
#include "miniui/core/KxMiniUIPanel.h"
#include "miniui/core/KxMiniUIPngGroupSkin.h"
#include "miniui/core/KxMiniUIPngStretchSkin.h"
#include "miniui/core/KxMiniUIPngTileSkin.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISCrollBarSkin.h"
#include "miniui/core/KxMiniUIStyle.h"
#include "support/CoreTestSupport.h"

namespace {

using zelk::test::CoreResourcesTest;
using zelk::test::LoadTree;
using zelk::test::PixelCanvas;
using zelk::test::Rgba;
using zelk::test::StripPixel;

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

template <typename T>
bool Is(const KxMiniUIObject* object) {
  return dynamic_cast<const T*>(object) != nullptr;
}

// One catalogue row: the tag, the class it makes, the name the class gives
// itself and the nearest base the class tree names.
struct CatalogueRow {
  const char* tag;
  const std::type_info& type;
  const char* className;
  bool (*hasBase)(const KxMiniUIObject*);
};

const CatalogueRow kCatalogue[] = {
    {"dlg", typeid(KxMiniUIPanel), "dlg", Is<KxMiniUIView>},
    {"dlgfile", typeid(KxMiniUIDlgFile), "dlgfile", Is<KxMiniUIPanel>},
    {"text", typeid(KxMiniUITextView), "text", Is<KxMiniUIView>},
    {"img", typeid(KxMiniUIImageView), "img", Is<KxMiniUITextView>},
    {"imgtext", typeid(KxMiniUIImageStatic), "imgtext", Is<KxMiniUIButton>},
    {"multitext", typeid(KxMiniUIMultiStatic), "multitext", Is<KxMiniUITextView>},
    {"limittext", typeid(KxMiniUILimitStatic), "limittext", Is<KxMiniUITextView>},
    {"richtext", typeid(KxMiniUIRichText), "richtext", Is<KxMiniUIView>},
    {"textbtn", typeid(KxMiniUIButton), "textbtn", Is<KxMiniUITextView>},
    {"imgbtn", typeid(KxMiniUIImageBtn), "imgbtn", Is<KxMiniUIButton>},
    {"iconbtn", typeid(KxMiniUIIconBtn), "iconbtn", Is<KxMiniUIImageBtn>},
    {"multitextimgbtn", typeid(KxMiniUIMultiTextImageBtn), "multitextimgbtn", Is<KxMiniUIImageBtn>},
    {"imgcheck", typeid(KxMiniUiImgChkBox), "imgcheck", Is<KxMiniUIIconBtn>},
    {"radiobtn", typeid(KxMiniUIRadioBtn), "radiobtn", Is<KxMiniUiImgChkBox>},
    {"progress", typeid(KxMiniUIProgress), "progress", Is<KxMiniUIView>},
    {"stripeprogress", typeid(KxMiniUIStripeProgress), "stripeprogress", Is<KxMiniUIAnimationDelegate>},
    {"edit", typeid(KxMiniUIEditView), "edit", Is<KxMiniUITextInputClient>},
    {"richedit", typeid(KxMiniUIRichEdit), "richedit", Is<KxMiniUIScrollView>},
    {"hr", typeid(KxMiniUILine), "hr", Is<KxMiniUIView>},
    {"menu", typeid(KxMiniUIMenu), "menu", Is<KxMiniUIView>},
    {"menuitem", typeid(KxMiniUIMenuItem), "menuitem", Is<KxMiniUIBoxPanel>},
    {"realwnd", typeid(KxMiniUIRealWnd), "realwnd", Is<KxMiniUIView>},
    {"webbrowser", typeid(KxMiniUIWebBrowser), "webbrowser", Is<KxMiniUIRealWnd>},
    {"scrollview", typeid(KxMiniUIScrollView), "scrollview", Is<KxMiniUIView>},
    {"listbox", typeid(KxMiniUIListBox), "listbox", Is<KxMiniUIScrollView>},
    {"boxpanel", typeid(KxMiniUIBoxPanel), "boxpanel", Is<KxMiniUIButton>},
    {"treeview", typeid(KxMiniUITreeView), "treeview", Is<KxMiniUIScrollView>},
    {"treenode", typeid(KxMiniUITreeNode), "treenode", Is<KxMiniUIView>},
    {"treebkg", typeid(KxMiniUITreeViewBackGround), "treebkg", Is<KxMiniUIView>},
    {"tabctrl", typeid(KxMiniUITabCtrl), "tabctrl", Is<KxMiniUIView>},
    {"tab", typeid(KxMiniUITab), "tab", Is<KxMiniUIView>},
    {"tabicon", typeid(KxMiniUITabIcon), "tabicon", Is<KxMiniUIView>},
    {"listctrl", typeid(KxMiniUIListCtrl), "listctrl", Is<KxMiniUIScrollView>},
    {"listctrlhead", typeid(KxMiniUIListHeadCtrl), "listctrlhead", Is<KxMiniUITextView>},
    {"listctrlitem", typeid(KxMiniUITableItemPanel), "listctrlitem", Is<KxMiniUIButton>},
    {"listcell", typeid(KxMiniUITableCellPanel), "listcell", Is<KxMiniUIView>},
    {"combobox", typeid(KxMiniUIComboBox), "combobox", Is<KxMiniUIView>},
    {"ComboBoxItem", typeid(KxMiniUIComboBoxItem), "ComboBoxItem", Is<KxMiniUIBoxPanel>},
    {"gif", typeid(KxMiniUIGifView), "gif", Is<KxMiniUIImageView>},
    {"animation", typeid(KxMiniUIAnimationView), "animationview", Is<KxMiniUIView>},
    {"animate_panel", typeid(KxMiniUIAnimationPanel), "animate_panel", Is<KxMiniUIBoxPanel>},
    {"MouseInOutAnimate", typeid(KxMiniUIMouseInOutAnimate), "MouseInOutAnimate",
     Is<KxMiniUITransformViewListener>},
    {"rotateview", typeid(KxMiniUIRotateView), "rotateview", Is<KxMiniUITransformView>},
    {"transformview", typeid(KxMiniUITransformView), "transformview", Is<KxMiniUIView>},
    {"turn3d", typeid(KxMiniUITurn3DView), "turn3d", Is<KxMiniUIView>},
    {"style", typeid(KxMiniUIStyle), "style", Is<KxMiniUIObject>},
    {"png", typeid(KxMiniUIPngSkin), "png", Is<KxMiniUISkin>},
    {"imgstretch", typeid(KxMiniUIPngStretchSkin), "imgstretch", Is<KxMiniUIPngSkin>},
    {"imgtile", typeid(KxMiniUIPngTileSkin), "imgtile", Is<KxMiniUIPngSkin>},
    {"scrollbar", typeid(KxMiniUISCrollBarSkin), "scrollbar", Is<KxMiniUISkin>},
    {"pnggroup", typeid(KxMiniUIPngGroupSkin), "pnggroup", Is<KxMiniUISkin>},
    {"apng", typeid(KxMiniUIApngSkin), "apng", Is<KxMiniUISkin>},
    {"apng-d", typeid(KxMiniUIApngSkinDynamic), "apng-d", Is<KxMiniUISkin>},
    {"gifskin", typeid(KxMiniUIGifSkin), "gifskin", Is<KxMiniUISkin>},
    {"gifskin-d", typeid(KxMiniUIGifSkinDynamic), "gifskin-d", Is<KxMiniUISkin>},
};

TEST(ControlCatalogue, EveryTagMakesItsClassWhateverItsCase) {
  for (const CatalogueRow& row : kCatalogue) {
    SCOPED_TRACE(row.tag);
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(row.tag);
    ASSERT_NE(object, nullptr);
    EXPECT_TRUE(typeid(*object) == row.type) << typeid(*object).name();
    EXPECT_STREQ(object->GetClassName(), row.className);
    EXPECT_TRUE(row.hasBase(object.get())) << "the class tree's nearest base";
    EXPECT_TRUE(object->IsKindOf(Upper(row.className).c_str()));
    EXPECT_FALSE(object->IsKindOf(std::string(row.className).append("x").c_str()));
    std::unique_ptr<KxMiniUIObject> upper = CreateObjectByTag(Upper(row.tag).c_str());
    ASSERT_NE(upper, nullptr);
    EXPECT_TRUE(typeid(*upper) == row.type) << typeid(*upper).name();
  }
}

TEST(ControlCatalogue, AClassIsOnlyTheKindOfItsOwnTag) {
  std::unique_ptr<KxMiniUIObject> check = CreateObjectByTag("imgcheck");
  EXPECT_FALSE(check->IsKindOf("iconbtn"));
  EXPECT_FALSE(check->IsKindOf("textbtn"));
  EXPECT_FALSE(CreateObjectByTag("animation")->IsKindOf("dlg"));
  EXPECT_FALSE(CreateObjectByTag("nosuchcontrol"));
}

TEST(ControlCatalogue, ButtonsEditsAndProgressBarsStartFocusableOrWithoutDrag) {
  struct Row {
    const char* tag;
    int focusable;
    int drag;
  };
  const Row rows[] = {{"text", 0, -1},    {"textbtn", 1, -1}, {"imgbtn", 1, 0},   {"iconbtn", 1, 0},
                      {"imgcheck", 1, 0}, {"edit", 1, 0},     {"progress", 0, 0}, {"dlg", 0, -1}};
  for (const Row& row : rows) {
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(row.tag);
    auto* view = dynamic_cast<KxMiniUIView*>(object.get());
    ASSERT_NE(view, nullptr) << row.tag;
    EXPECT_EQ(view->GetFocusable(), row.focusable) << row.tag;
    EXPECT_EQ(view->GetDrag(), row.drag) << row.tag;
  }
}

class ControlCatalogueTest : public CoreResourcesTest {};

// A layout naming every view of the catalogue, each in its own 40 x 10 cell
// (room for one 32 x 8 frame of the "strip" skin) with a red background,
// loads whole; each one paints its style's background (or, for the picture
// views, its skin).
TEST_F(ControlCatalogueTest, ALayoutUsingEveryViewTagLoadsAndEachPaintsItsBackgroundOrSkin) {
  struct Row {
    const char* tag;
    const char* extra;  // further attributes
    bool paintsSkin;    // draws the "strip" skin instead of the background
  };
  const Row rows[] = {
      {"dlg", "", false},           {"text", "", false},         {"imgtext", "", false},
      {"multitext", "", false},     {"limittext", "", false},    {"richtext", "", false},
      {"textbtn", "", false},       {"imgbtn", "skin=\"strip\"", true},
      {"multitextimgbtn", "skin=\"strip\"", true},               {"img", "skin=\"strip\"", true},
      {"gif", "skin=\"strip\"", true},                           {"stripeprogress", "", false},
      {"edit", "", false},          {"richedit", "", false},     {"hr", "size=\"1\"", false},
      {"menu", "", false},          {"menuitem", "", false},     {"realwnd", "", false},
      {"webbrowser", "", false},    {"scrollview", "", false},   {"listbox", "", false},
      {"boxpanel", "", false},      {"treeview", "", false},     {"treenode", "", false},
      {"treebkg", "", false},       {"tabctrl", "", false},      {"tab", "", false},
      {"tabicon", "", false},       {"listctrl", "", false},     {"listctrlhead", "", false},
      {"listctrlitem", "", false},  {"listcell", "", false},     {"combobox", "", false},
      {"ComboBoxItem", "", false},  {"animation", "", false},    {"animate_panel", "", false},
      {"MouseInOutAnimate", "", false},                          {"rotateview", "", false},
      {"transformview", "", false}, {"turn3d", "", false},
  };
  const int count = static_cast<int>(sizeof rows / sizeof rows[0]);
  constexpr int kCell = 40;
  std::string body = "<body>";
  for (int i = 0; i < count; ++i) {
    body += "<" + std::string(rows[i].tag) + " id=\"" + std::to_string(i + 1) + "\" pos=\"" +
            std::to_string(i * kCell) + ",0," + std::to_string(i * kCell + kCell) + ",10\" crbg=\"FF0000\" " +
            rows[i].extra + " />";
  }
  body += "</body>";
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(body, count * kCell, 10);
  ASSERT_EQ(root->GetChildCount(), static_cast<size_t>(count));
  PixelCanvas pixels(count * kCell, 10, true);
  root->PaintTree(pixels.Canvas());
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(rows[i].tag);
    KxMiniUIView* view = root->FindViewById(i + 1);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->IsKindOf(rows[i].tag) || std::string(rows[i].tag) == "animation");
    // (2, 2) of the cell: off the line an "hr" draws through its middle.
    const Rgba expected = rows[i].paintsSkin ? StripPixel(2) : Rgba{255, 0, 0, 255};
    EXPECT_EQ(pixels.Pixel(i * kCell + 2, 2), expected);
  }
}

// --- Attributes of the catalogue-only classes.

TEST_F(ControlCatalogueTest, CatalogueAttributesAreTakenAndBadWordsRejected) {
  struct Row {
    const char* tag;
    const char* name;
    const char* value;
    bool taken;
  };
  const Row rows[] = {
      {"limittext", "limittype", "path", true},      {"limittext", "limittype", "common", true},
      {"limittext", "limittype", "short", false},    {"limittext", "EnableLineAlign", "1", true},
      {"richtext", "spacing", "4", true},            {"multitextimgbtn", "texthover", "x", true},
      {"multitextimgbtn", "textdisabled", "y", true}, {"radiobtn", "group", "g1", true},
      {"stripeprogress", "progress-type", "lightbar", true},
      {"stripeprogress", "progress-type", "bar", false},
      {"stripeprogress", "distancestep", "3", true}, {"stripeprogress", "stripeskin", "strip", true},
      {"richedit", "placeholder", "…", true},        {"richedit", "placeholderoffset", "3", false},
      {"richedit", "caret-height", "12", true},      {"hr", "style", "dashdot", true},
      {"hr", "style", "wavy", false},                {"hr", "linetype", "1", true},
      {"listbox", "panelfit-visual", "1", true},     {"boxpanel", "v-center", "1", true},
      {"boxpanel", "content", "x", true},            {"treeview", "expandskin", "strip", true},
      {"treeview", "dashcolor", "00FF00", true},     {"treenode", "haschild", "1", true},
      {"tabctrl", "tabpos", "top", true},            {"tabctrl", "tabspacing", "2", true},
      {"tab", "title", "t", true},                   {"listctrl", "critemhoverbg", "EEEEEE", true},
      {"listctrl", "headheight", "24", true},        {"combobox", "type", "droplist", true},
      {"combobox", "type", "list", false},           {"combobox", "menuitem-height", "20", true},
      {"gif", "interval", "40", true},               {"animate_panel", "OriginalHeight", "30", true},
      {"MouseInOutAnimate", "animateType", "ellipseClip", true},
      {"MouseInOutAnimate", "animateType", "spin", false},
      {"rotateview", "center", "5,5", true},         {"rotateview", "center", "5", false},
      {"transformview", "repeat", "2", true},        {"turn3d", "capture_step", "4", true},
      {"iconbtn", "iconpos", "center", false},       {"imgcheck", "checked", "yes", false},
      {"text", "trimming", "elipsisword", true},     {"text", "trimming", "cut", false},
      {"treebkg", "indentation", "4", false},        {"dlg", "spacing", "4", false},
  };
  for (const Row& row : rows) {
    std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(row.tag);
    ASSERT_NE(object, nullptr) << row.tag;
    const HRESULT result = object->SetAttribute(row.name, row.value, false);
    EXPECT_EQ(result >= 0, row.taken) << row.tag << " " << row.name << "=" << row.value;
  }
}

TEST_F(ControlCatalogueTest, CatalogueAttributesKeepTheirValuesAndDefaults) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><stripeprogress id=\"1\" /><stripeprogress id=\"2\" progress-type=\"default\" distancestep=\"4\""
      " animalinterval=\"16\" bidirectional=\"1\" />"
      "<hr id=\"3\" style=\"dashdotdot\" size=\"2\" color=\"0000FF\" linetype=\"1\" />"
      "<limittext id=\"4\" limittype=\"path\" />"
      "<combobox id=\"5\" type=\"droplist\" />"
      "<richtext id=\"6\" spacing=\"3\"><r color=\"FF0000\" voffset=\"2\">a</r><r fontsize=\"-20\">b</r></richtext>"
      "<MouseInOutAnimate id=\"7\" animateType=\"clip\" duration=\"300\" />"
      "<treenode id=\"8\" text=\"节点\" expand=\"1\" />"
      "<animation id=\"9\" /></b>",
      100, 100);
  auto* stripe = static_cast<KxMiniUIStripeProgress*>(root->FindViewById(1));
  EXPECT_EQ(stripe->GetProgressType(), KxMiniUIStripeProgress::kTypeStripe);
  EXPECT_EQ(stripe->GetDistanceStep(), 1);
  EXPECT_EQ(stripe->GetStepInterval(), 30);
  EXPECT_FALSE(stripe->IsBidirectional());
  auto* stripe2 = static_cast<KxMiniUIStripeProgress*>(root->FindViewById(2));
  EXPECT_EQ(stripe2->GetProgressType(), KxMiniUIStripeProgress::kTypeDefault);
  EXPECT_EQ(stripe2->GetDistanceStep(), 4);
  EXPECT_EQ(stripe2->GetStepInterval(), 16);
  EXPECT_TRUE(stripe2->IsBidirectional());
  auto* line = static_cast<KxMiniUILine*>(root->FindViewById(3));
  EXPECT_EQ(line->GetDash(), KxMiniUILine::kDashDotDot);
  EXPECT_EQ(line->GetSize(), 2);
  EXPECT_EQ(line->GetColor(), 0xFF0000u);
  EXPECT_EQ(line->GetLineType(), KxMiniUILine::kVertical);
  auto* limit = static_cast<KxMiniUILimitStatic*>(root->FindViewById(4));
  EXPECT_EQ(limit->GetLimitType(), KxMiniUILimitStatic::kLimitPath);
  EXPECT_EQ(limit->GetTrimming(), KxMiniUITextView::kTrimPath);
  EXPECT_EQ(static_cast<KxMiniUIComboBox*>(root->FindViewById(5))->GetType(), KxMiniUIComboBox::kDropList);
  auto* rich = static_cast<KxMiniUIRichText*>(root->FindViewById(6));
  EXPECT_EQ(rich->GetSpacing(), 3);
  ASSERT_EQ(rich->Runs().size(), 2u);
  EXPECT_EQ(rich->GetChildCount(), 0u) << "runs are not views";
  EXPECT_EQ(rich->Runs()[0].text, L"a");
  EXPECT_EQ(rich->Runs()[0].color, 0x0000FFu);
  EXPECT_EQ(rich->Runs()[0].verticalOffset, 2);
  EXPECT_EQ(rich->Runs()[1].fontSize, -20);
  auto* animate = static_cast<KxMiniUIMouseInOutAnimate*>(root->FindViewById(7));
  EXPECT_EQ(animate->GetAnimateType(), KxMiniUIMouseInOutAnimate::kClip);
  EXPECT_EQ(animate->GetDuration(), 300);
  auto* node = static_cast<KxMiniUITreeNode*>(root->FindViewById(8));
  EXPECT_EQ(node->GetText(), L"节点");
  EXPECT_TRUE(node->IsExpanded());
  EXPECT_STREQ(root->FindViewById(9)->GetClassName(), "animationview");
}

// --- State-dependent look.

TEST_F(ControlCatalogueTest, AButtonsTextColourFollowsItsStateFallingBackToTheTextColour) {
  struct Row {
    const char* attributes;
    COLORREF expected[4];  // normal, hover, pressed, disabled
  };
  const Row rows[] = {
      {"crtext=\"333333\"", {0x333333, 0x333333, 0x333333, 0xCCCCCC}},
      {"crtext=\"333333\" crhover=\"FF0000\" crpressed=\"00FF00\" crdisabled=\"0000FF\"",
       {0x333333, 0x0000FF, 0x00FF00, 0xFF0000}},
      {"crtext=\"333333\" crpressed=\"00FF00\"", {0x333333, 0x333333, 0x00FF00, 0xCCCCCC}},
  };
  for (const Row& row : rows) {
    std::unique_ptr<KxMiniUIRootView> root =
        LoadTree(std::string("<b><textbtn id=\"1\" ") + row.attributes + " /></b>", 50, 20);
    auto* button = static_cast<KxMiniUIButton*>(root->FindViewById(1));
    for (int state = 0; state < 4; ++state) {
      button->SetState(state);
      EXPECT_EQ(button->GetTextColor(), row.expected[state]) << row.attributes << " state " << state;
    }
  }
}

TEST_F(ControlCatalogueTest, AViewOutsideTheButtonFamilyUsesTheDisabledColourOnlyWhenDisabled) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><text id=\"1\" crtext=\"333333\" crhover=\"FF0000\" /></b>", 50, 20);
  auto* text = static_cast<KxMiniUITextView*>(root->FindViewById(1));
  EXPECT_EQ(text->GetTextColor(), 0x333333u) << "no hover colour outside the button family";
  text->SetEnabled(false);
  EXPECT_EQ(text->GetTextColor(), 0xCCCCCCu);
}

TEST_F(ControlCatalogueTest, BackgroundAndFontStyleFollowTheStateWhenSet) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><textbtn id=\"1\" crbg=\"112233\" crbghover=\"445566\" crbgdisabled=\"778899\""
      " fontstyle=\"b\" fontstylehover=\"i\" /></b>",
      50, 20);
  auto* button = static_cast<KxMiniUIButton*>(root->FindViewById(1));
  struct Row {
    int state;
    COLORREF background;
    unsigned fontStyle;
  };
  const Row rows[] = {{0, 0x332211, 1}, {1, 0x665544, 2}, {2, 0x332211, 1}, {3, 0x998877, 1}};
  for (const Row& row : rows) {
    button->SetState(row.state);
    EXPECT_EQ(button->GetBgColor().rgb, row.background) << row.state;
    EXPECT_EQ(button->GetTextFormat().fontStyle, row.fontStyle) << row.state;
  }
}

TEST_F(ControlCatalogueTest, DisablingAButtonMakesItDisabledAndEnablingMakesItNormal) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><textbtn id=\"1\" /><imgbtn id=\"2\" enable=\"false\" skin=\"strip\" /></b>", 50, 20);
  auto* button = static_cast<KxMiniUIButton*>(root->FindViewById(1));
  button->SetState(KxMiniUIButton::kHover);
  button->SetEnabled(false);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kDisabled);
  button->SetEnabled(true);
  EXPECT_EQ(button->GetState(), KxMiniUIButton::kNormal);
  EXPECT_EQ(static_cast<KxMiniUIButton*>(root->FindViewById(2))->GetState(), KxMiniUIButton::kDisabled)
      << "\"enable\"=\"false\" loads disabled";
}

TEST_F(ControlCatalogueTest, TheCursorIsTheStylesWhileEnabledAndTheArrowWhenDisabled) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><textbtn id=\"1\" cursor=\"hand\" /><text id=\"2\" class=\"link\" /></b>", 50, 20);
  const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
  const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
  for (int id : {1, 2}) {
    KxMiniUIView* view = root->FindViewById(id);
    EXPECT_EQ(view->GetCursor(POINT{1, 1}), hand) << id;
    view->SetEnabled(false);
    EXPECT_EQ(view->GetCursor(POINT{1, 1}), arrow) << id;
  }
}

TEST_F(ControlCatalogueTest, ButtonsPaintTheBackgroundOrSkinFrameOfTheirState) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><textbtn id=\"1\" pos=\"0,0,32,8\" crbg=\"FF0000\" crbghover=\"00FF00\" crbgpress=\"0000FF\" />"
      "<imgbtn id=\"2\" pos=\"32,0,64,8\" skin=\"strip\" crbg=\"FF0000\" /></b>",
      64, 8);
  auto* text = static_cast<KxMiniUIButton*>(root->FindViewById(1));
  auto* image = static_cast<KxMiniUIButton*>(root->FindViewById(2));
  const Rgba backgrounds[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}};
  for (int state = 0; state < 4; ++state) {
    text->SetState(state);
    image->SetState(state);
    PixelCanvas pixels(64, 8, true);
    root->PaintTree(pixels.Canvas());
    EXPECT_EQ(pixels.Pixel(5, 4), backgrounds[state]) << "state " << state;
    // The image button draws frame `state` of the four-frame strip, never its background.
    EXPECT_EQ(pixels.Pixel(32 + 5, 4), StripPixel(state * 32 + 5)) << "state " << state;
  }
}

TEST_F(ControlCatalogueTest, AClassThenATextColourDrawsThatColourAtTheClassesSize) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><text id=\"1\" class=\"title\" crtext=\"FF0000\" pos=\"0,0,80,20\">WWWW</text></b>", 80, 20);
  auto* text = static_cast<KxMiniUITextView*>(root->FindViewById(1));
  EXPECT_EQ(text->GetText(), L"WWWW");
  EXPECT_EQ(text->GetStyle().text.size, -12);
  EXPECT_EQ(text->GetTextColor(), 0x0000FFu);
  PixelCanvas pixels(80, 20, true);
  root->PaintTree(pixels.Canvas());
  const RECT ink = pixels.InkBounds(Rgba{255, 255, 255, 255});
  ASSERT_LT(ink.left, ink.right) << "the text is drawn";
  int red = 0;
  for (int y = ink.top; y < ink.bottom; ++y) {
    for (int x = ink.left; x < ink.right; ++x) {
      const Rgba pixel = pixels.Pixel(x, y);
      if (pixel.r > 200 && pixel.g < 60 && pixel.b < 60) ++red;
      EXPECT_GE(pixel.r, pixel.g) << x << "," << y << ": no other hue than red on white";
    }
  }
  EXPECT_GT(red, 0);
}

// --- Progress.

TEST_F(ControlCatalogueTest, AProgressDrawsTheValuesShareOfItsOrderedRange) {
  struct Row {
    const char* range;
    int filledWidth;  // of 100 pixels
    int storedValue;
  };
  const Row rows[] = {
      {"min=\"0\" max=\"100\" value=\"150\"", 100, 100},
      {"min=\"0\" max=\"100\" value=\"25\"", 25, 25},
      {"min=\"100\" max=\"0\" value=\"40\"", 40, 40},
      {"min=\"5\" max=\"5\" value=\"5\"", 0, 5},
  };
  for (const Row& row : rows) {
    std::unique_ptr<KxMiniUIRootView> root = LoadTree(std::string("<b><progress id=\"1\" pos=\"0,0,100,4\" ") +
                                                          row.range + " bgcolor=\"0000FF\" poscolor=\"00FF00\" /></b>",
                                                      100, 4);
    PixelCanvas pixels(100, 4, true);
    root->PaintTree(pixels.Canvas());
    const Rgba filled{0, 255, 0, 255};
    const Rgba empty{0, 0, 255, 255};
    for (int x : {0, row.filledWidth - 1, row.filledWidth, 99}) {
      if (x < 0 || x > 99) continue;
      EXPECT_EQ(pixels.Pixel(x, 2), x < row.filledWidth ? filled : empty) << row.range << " at " << x;
    }
    EXPECT_EQ(static_cast<KxMiniUIProgress*>(root->FindViewById(1))->GetValue(), row.storedValue) << row.range;
  }
}

}  // namespace
