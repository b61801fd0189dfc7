// The installer's strings, style classes and window layouts, read out of the
// executable through the framework's loader, pools and layout document: the
// texts come out as the windows must show them, every window is described
// as the controller expects, and every skin, class and included document a
// layout names exists.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUILayoutDocument.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"
#include "tests/resources/support/InstallerModule.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

class InstallerDocumentsTest : public InstallerResourcesTest {
 protected:
  // The layout resource parsed as plain XML; fails the test when it does not parse.
  std::shared_ptr<KxMiniUIXmlDocument> Xml(UINT id) {
    std::string text;
    EXPECT_TRUE(Resources().GetResourceLoader()->LoadXmlText(id, text)) << id;
    auto document = KxMiniUIXmlDocument::FromText(text);
    EXPECT_NE(document, nullptr) << id;
    return document;
  }
};

// --- Strings (102) ---------------------------------------------------------

struct StringRow {
  int id;
  const wchar_t* text;
};

const StringRow kStrings[] = {
    {0, L"宋体"},
    {28, L"(可用空间: %s)"},
    {29, L"%d%%"},
    {30, L"%d%%"},
    {31, L"%d%%"},
    {33, L"所需空间: %s"},
    {34, L"安装路径长度超过系统限制，请更换安装目录"},
    {35, L"安装目录磁盘空间不足，请更换安装目录"},
    {1104, L"%d%%"},
};

TEST_F(InstallerDocumentsTest, StringsLoadWithTheirExactTexts) {
  KxMiniUIStringPool& strings = *Resources().GetStringPool();
  ASSERT_TRUE(strings.Load(kStringsXml));
  EXPECT_EQ(strings.Count(), std::size(kStrings));
  for (const StringRow& row : kStrings) {
    EXPECT_EQ(strings.Get(row.id), row.text) << row.id;
  }
}

TEST_F(InstallerDocumentsTest, PercentageTemplateFormatsAsThePercentText) {
  ASSERT_TRUE(Resources().GetStringPool()->Load(kStringsXml));
  const std::wstring format = Resources().GetStringPool()->Get(1104);
  wchar_t shown[16] = {};
  std::swprintf(shown, 16, format.c_str(), 42);
  EXPECT_STREQ(shown, L"42%");
}

// --- Style classes (101) ---------------------------------------------------

struct StyleRow {
  const char* name;
  COLORREF text;  // kNoText when the class sets no text colour
  int fontSize;
  bool hand;
  unsigned align;  // horizontal alignment, KxMiniUITextFormat::kAlignUnset when not set
};

constexpr COLORREF kNoText = 0;  // the default text colour is black
constexpr unsigned kUnset = KxMiniUITextFormat::kAlignUnset;

const StyleRow kStyles[] = {
    {"linkimage", kNoText, 0, true, kUnset},
    {"text_color_static", RGB(0xE5, 0xF7, 0xFF), 0, false, kUnset},
    {"text_color_static_white", RGB(0xFF, 0xFF, 0xFF), -12, true, kUnset},
    {"text_color_static_white_14", RGB(0xFF, 0xFF, 0xFF), -14, true, kUnset},
    {"text_color_red", RGB(0xFF, 0x00, 0x00), 0, false, kUnset},
    {"text_color_blue_12", RGB(0x14, 0x8C, 0xF5), -12, false, kUnset},
    {"text_color_blue_14", RGB(0x14, 0x8C, 0xF5), -14, false, kUnset},
    {"text_color_333333_14", RGB(0x33, 0x33, 0x33), -14, false, kUnset},
    {"text_color_lisence", RGB(0x14, 0x8C, 0xF5), -12, true, kUnset},
    {"text_color_lisence_14", RGB(0x14, 0x8C, 0xF5), -14, true, kUnset},
    {"button_setup_color", RGB(0xFF, 0xFF, 0xFF), -18, true, kUnset},
    {"linktext", RGB(0x06, 0x75, 0xD0), 0, true, kUnset},
    {"inputbg", kNoText, 0, false, kUnset},
    {"text_color_uninstall", RGB(0x66, 0x66, 0x66), -18, false, KxMiniUIValue::kAlignCenter},
    {"text_bat_button", RGB(0x29, 0x2E, 0x33), -14, true, kUnset},
    {"text_color_title", RGB(0x33, 0x33, 0x33), -12, false, kUnset},
    {"msgbox_bk_color", kNoText, 0, false, kUnset},
    {"text_color_333333_24", RGB(0x33, 0x33, 0x33), -24, false, KxMiniUIValue::kAlignCenter},
    {"text_color_333333_24_bold", RGB(0x33, 0x33, 0x33), -24, false, KxMiniUIValue::kAlignCenter},
    {"text_color_000000_12", RGB(0x00, 0x00, 0x00), -12, false, kUnset},
    {"text_color_333333_hand", RGB(0x33, 0x33, 0x33), -12, true, kUnset},
    {"text_color_666666_14", RGB(0x66, 0x66, 0x66), -14, false, kUnset},
    {"text_color_static_28", RGB(0x00, 0x00, 0x00), -28, false, KxMiniUIValue::kAlignCenter},
};

TEST_F(InstallerDocumentsTest, StyleClassesLoadWithTheirColoursSizesCursorsAndAlignment) {
  KxMiniUIStylePool& styles = *Manner().GetStylePool();
  ASSERT_TRUE(styles.Load(kStyleXml));
  EXPECT_EQ(styles.Count(), std::size(kStyles));
  for (const StyleRow& row : kStyles) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(styles.Contains(row.name));
    const KxMiniUIStyle style = styles.Get(row.name);
    EXPECT_EQ(style.crText, row.text);
    EXPECT_EQ(style.text.size, row.fontSize);
    EXPECT_EQ(style.cursor, row.hand ? IDC_HAND : IDC_ARROW);
    EXPECT_EQ(style.text.align, row.align);
  }
}

TEST_F(InstallerDocumentsTest, StyleClassesCarryTheirSpecialAttributes) {
  KxMiniUIStylePool& styles = *Manner().GetStylePool();
  ASSERT_TRUE(styles.Load(kStyleXml));
  EXPECT_EQ(styles.Get("inputbg").skin, "edit_bg");
  const KxMiniUIStyle box = styles.Get("msgbox_bk_color");
  EXPECT_EQ(box.background[KxMiniUIStyle::kNormal].rgb, RGB(0xFA, 0xFA, 0xFA));
  EXPECT_EQ(box.background[KxMiniUIStyle::kNormal].alpha, 255);
  EXPECT_EQ(styles.Get("button_setup_color").crDisabled, RGB(0x99, 0x99, 0x99));
  EXPECT_EQ(styles.Get("text_color_333333_24_bold").text.fontStyle, KxMiniUIValue::kFontBold);
  EXPECT_EQ(styles.Get("text_color_333333_24").text.fontStyle, 0u);
  EXPECT_EQ(styles.Get("text_color_lisence").text.lineAlign, static_cast<unsigned>(KxMiniUIValue::kAlignCenter));
  EXPECT_EQ(styles.Get("text_color_lisence_14").text.lineAlign, static_cast<unsigned>(KxMiniUIValue::kAlignCenter));
}

// --- Window layouts (501 to 507) -------------------------------------------

struct WindowRow {
  UINT id;
  int width;
  int height;
  bool appWindow;  // pages of the main window: task bar button and minimise box
  UINT shadow;
  int shadowMargin;
};

const WindowRow kWindows[] = {
    {501, 400, 180, false, 5050, 11},
    {502, 600, 480, true, 5004, 10},
    {503, 600, 400, true, 5004, 10},
    {504, 600, 400, true, 5004, 10},
    {506, 384, 182, false, 5050, 11},
    {507, 400, 180, false, 5050, 11},
};

TEST_F(InstallerDocumentsTest, EveryLayoutLoadsAsTheWindowItDescribes) {
  ASSERT_TRUE(Manner().GetStylePool()->Load(kStyleXml));
  ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
  for (const WindowRow& row : kWindows) {
    SCOPED_TRACE(row.id);
    KxMiniUILayoutDocument layout;
    ASSERT_TRUE(layout.Load(row.id));
    EXPECT_EQ(layout.ViewCount(), 1u);  // the body
    const KxMiniUIWindowDescription& window = layout.Description();
    EXPECT_EQ(window.title, L"ZelkPDF安装程序");
    EXPECT_EQ(window.width, row.width);
    EXPECT_EQ(window.height, row.height);
    EXPECT_EQ((window.exStyle & WS_EX_APPWINDOW) != 0, row.appWindow);
    EXPECT_EQ((window.style & WS_MINIMIZEBOX) != 0, row.appWindow);
    EXPECT_FALSE(window.resizable);
    EXPECT_FALSE(window.layered);
    EXPECT_TRUE(window.defaultDrag);
    EXPECT_FALSE(window.redrawNonClient);
    EXPECT_TRUE(window.shadow.present);
    EXPECT_EQ(window.shadow.picture, row.shadow);
    EXPECT_EQ(window.shadow.left, row.shadowMargin);
    EXPECT_EQ(window.shadow.top, row.shadowMargin);
    EXPECT_EQ(window.shadow.right, row.shadowMargin);
    EXPECT_EQ(window.shadow.bottom, row.shadowMargin);
    EXPECT_EQ(window.shadow.radiusTop, 0);
    EXPECT_EQ(window.shadow.radiusBottom, 0);
    std::shared_ptr<KxMiniUIBitmap> shadow = Resources().GetPngPool()->Get(row.shadow);
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->Width(), 50);
    EXPECT_EQ(shadow->Height(), 50);
  }
}

// Calls `visit` for every element below `node`, in document order.
void ForEachElement(const KxMiniUIXmlNode* node, const std::function<void(const KxMiniUIXmlNode*)>& visit) {
  for (auto* child = node->first_node(); child != nullptr; child = child->next_sibling()) {
    if (child->type() != rapidxml::node_element) continue;
    visit(child);
    ForEachElement(child, visit);
  }
}

std::string AttributeOr(const KxMiniUIXmlNode* node, const char* name, const char* fallback = "") {
  const char* value = KxMiniUIXml::Attribute(node, name);
  return value ? value : fallback;
}

const UINT kAllLayouts[] = {501, 502, 503, 504, 505, 506, 507};

TEST_F(InstallerDocumentsTest, EverySkinClassAndIncludedDocumentALayoutNamesExists) {
  ASSERT_TRUE(Manner().GetStylePool()->Load(kStyleXml));
  ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
  for (UINT id : kAllLayouts) {
    auto document = Xml(id);
    ASSERT_NE(document, nullptr);
    ForEachElement(document->Root(), [&](const KxMiniUIXmlNode* element) {
      const std::string where = std::to_string(id) + " <" + element->name() + " pos=" + AttributeOr(element, "pos") + ">";
      for (const char* attribute : {"skin", "skinchecked", "skinunchecked", "bgskin", "posskin"}) {
        if (const char* skin = KxMiniUIXml::Attribute(element, attribute)) {
          EXPECT_NE(Manner().GetSkinPool()->Get(skin), nullptr) << where << " " << attribute << "=" << skin;
        }
      }
      if (const char* name = KxMiniUIXml::Attribute(element, "class")) {
        EXPECT_TRUE(Manner().GetStylePool()->Contains(name)) << where << " class=" << name;
      }
      if (std::strcmp(element->name(), "dlgfile") == 0) {
        std::string included;
        EXPECT_TRUE(Resources().GetResourceLoader()->LoadXmlText(
            static_cast<UINT>(KxMiniUIValue::Number(KxMiniUIXml::Attribute(element, "src"))), included))
            << where;
      }
    });
  }
}

// One element of a layout: its tag, id (0 = none), position and text (null
// when the element carries none).
struct ElementRow {
  UINT layout;
  const char* tag;
  int id;
  const char* pos;
  const wchar_t* text;
};

const ElementRow kElements[] = {
    {502, "dlg", 0, "0,0,-0,-0", nullptr},
    {502, "img", 76, "0,0,-0,-0", nullptr},
    {502, "dlgfile", 0, "0,0,600,400", nullptr},
    {502, "dlg", 0, "0,400,-0,-0", nullptr},
    {502, "text", 0, "15,26", L"安装位置："},
    {502, "dlg", 0, "75,20,-105,45", nullptr},
    {502, "edit", 10, "5,3,-5,-5", L""},
    {502, "imgbtn", 1002, "-100,20", L"更换目录..."},
    {502, "text", 11, "80,54", L"覆盖安装时无法更换目录"},

    {505, "textbtn", 22, "10,10", L"ZelkPDF"},
    {505, "imgbtn", 100, "-71,1", nullptr},
    {505, "imgbtn", 101, "-39,1", nullptr},
    {505, "img", 74, "160,50", nullptr},
    {505, "imgbtn", 102, "210,276", L"一键安装"},
    {505, "imgcheck", 2001, "14,367", L"已阅读并同意"},
    {505, "textbtn", 4, "116,367", L"用户许可协议"},
    {505, "text", 0, "192,371", L"及"},
    {505, "textbtn", 8, "208,367", L"隐私政策"},
    {505, "imgcheck", 2005, "288,367", L"开启PDF文件关联保护"},

    {503, "dlg", 0, "0,0,600,400", nullptr},
    {503, "img", 80, "0,0", nullptr},
    {503, "img", 92, "160,50", nullptr},
    {503, "textbtn", 22, "10,10", L"ZelkPDF安装"},
    {503, "imgbtn", 100, "-71,0", nullptr},
    {503, "imgbtn", 101, "-38,0", nullptr},
    {503, "progress", 1103, "1,-51,-1,-48", nullptr},
    {503, "text", 0, "15,369,200,389", L"正在安装中，请稍后..."},
    {503, "text", 1102, "560,370,595,390", L""},

    {504, "dlg", 0, "0,0,-0,-0", nullptr},
    {504, "img", 78, "0,0", nullptr},
    {504, "textbtn", 22, "10,10", L"ZelkPDF安装"},
    {504, "imgbtn", 100, "-71,0", nullptr},
    {504, "imgbtn", 101, "-39,0", nullptr},
    {504, "img", 88, "160,50", nullptr},
    {504, "text", 0, "244,265", L"安装完成"},
    {504, "imgbtn", 104, "210,320", L"立即体验"},

    {501, "dlg", 0, "0,0,-0,-0", nullptr},
    {501, "dlg", 0, "0,0,-0,-0", nullptr},
    {501, "img", 64, "12,6", nullptr},
    {501, "text", 66, "32,9,132,29", L"ZelkPDF"},
    {501, "imgbtn", 101, "-38,0", nullptr},
    {501, "img", 0, "58,70", nullptr},
    {501, "text", 68, "104,82,390,100", L"您确定要退出ZelkPDF安装程序？"},
    {501, "imgbtn", 102, "165,130", L"确定"},
    {501, "imgbtn", 103, "281,130", L"取消"},

    {506, "dlg", 0, "0,0,-0,-0", nullptr},
    {506, "dlg", 0, "0,0,-0,-0", nullptr},
    {506, "img", 64, "12,6", nullptr},
    {506, "text", 66, "32,9,132,29", L"ZelkPDF"},
    {506, "imgbtn", 101, "-38,0", nullptr},
    {506, "text", 0, "32,50", L"您需要先阅读并同意"},
    {506, "textbtn", 4, "160,50", L"《用户协议》"},
    {506, "text", 0, "240,50", L"和"},
    {506, "textbtn", 8, "255,50", L"《隐私协议》"},
    {506, "text", 0, "32,70", L"才能进行安装"},
    {506, "imgbtn", 103, "140,130", L"不同意"},
    {506, "imgbtn", 102, "254,130", L"同意并安装"},

    {507, "dlg", 0, "0,0,-0,-0", nullptr},
    {507, "dlg", 0, "0,0,-0,-0", nullptr},
    {507, "img", 64, "12,6", nullptr},
    {507, "text", 66, "32,9,132,29", L"ZelkPDF"},
    {507, "imgbtn", 101, "-38,0", nullptr},
    {507, "img", 0, "58,70", nullptr},
    {507, "text", 68, "104,82,390,100", L"安装失败，请检查网络。"},
    {507, "imgbtn", 102, "281,130", L"确定"},
};

TEST_F(InstallerDocumentsTest, LayoutsHoldTheirElementsInOrderWithExactTexts) {
  for (UINT id : kAllLayouts) {
    SCOPED_TRACE(id);
    auto document = Xml(id);
    ASSERT_NE(document, nullptr);
    std::vector<const KxMiniUIXmlNode*> elements;
    ForEachElement(document->Root()->name() == std::string("layer") ? KxMiniUIXml::Child(document->Root(), "body")
                                                                     : document->Root(),
                   [&](const KxMiniUIXmlNode* element) { elements.push_back(element); });
    size_t next = 0;
    for (const ElementRow& row : kElements) {
      if (row.layout != id) continue;
      ASSERT_LT(next, elements.size()) << "missing <" << row.tag << " pos=" << row.pos << ">";
      const KxMiniUIXmlNode* element = elements[next++];
      SCOPED_TRACE(std::string(row.tag) + " pos=" + row.pos);
      EXPECT_STREQ(element->name(), row.tag);
      EXPECT_EQ(KxMiniUIValue::Number(KxMiniUIXml::Attribute(element, "id")), row.id);
      EXPECT_EQ(AttributeOr(element, "pos"), row.pos);
      if (row.text != nullptr) {
        EXPECT_EQ(KxMiniUIXml::Text(element), row.text);
      } else {
        const KxMiniUIXmlNode* first = element->first_node();
        EXPECT_TRUE(first == nullptr || first->type() == rapidxml::node_element) << "unexpected text";
      }
    }
    EXPECT_EQ(next, elements.size()) << "more elements than the window has";
  }
}

TEST_F(InstallerDocumentsTest, ElementsTheWindowsRevealOrLockStartHiddenOrDisabled) {
  struct Row {
    UINT layout;
    int id;
    const char* attribute;
  };
  const Row rows[] = {
      {502, 11, "visible"}, {501, 64, "visible"}, {501, 66, "visible"}, {501, 68, "visible"},
      {506, 64, "visible"}, {506, 66, "visible"}, {507, 64, "visible"}, {507, 66, "visible"},
      {507, 68, "visible"}, {503, 101, "enable"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.layout) + " id " + std::to_string(row.id));
    auto document = Xml(row.layout);
    ASSERT_NE(document, nullptr);
    int found = 0;
    ForEachElement(document->Root(), [&](const KxMiniUIXmlNode* element) {
      if (KxMiniUIValue::Number(KxMiniUIXml::Attribute(element, "id")) != row.id) return;
      ++found;
      const char* value = KxMiniUIXml::Attribute(element, row.attribute);
      ASSERT_NE(value, nullptr);
      EXPECT_FALSE(KxMiniUIValue::Boolean(value)) << row.attribute << "=" << value;
    });
    EXPECT_EQ(found, 1);
  }
}

TEST_F(InstallerDocumentsTest, AgreementBoxLoadsDespiteItsMismatchedEndTag) {
  // Box 506 closes its "和" text with an "imgcheck" end tag: it still closes
  // that text, and the elements after it stay its siblings.
  std::string text;
  ASSERT_TRUE(Resources().GetResourceLoader()->LoadXmlText(506, text));
  EXPECT_NE(text.find(">和</imgcheck>"), std::string::npos);
  KxMiniUILayoutDocument layout;
  EXPECT_TRUE(layout.Load(506));
  auto document = Xml(506);
  ASSERT_NE(document, nullptr);
  const KxMiniUIXmlNode* frame = KxMiniUIXml::Child(KxMiniUIXml::Child(document->Root(), "body"), "dlg");
  ASSERT_NE(frame, nullptr);
  std::vector<std::string> tags;
  for (auto* child = frame->first_node(); child != nullptr; child = child->next_sibling()) {
    if (child->type() == rapidxml::node_element) tags.push_back(child->name());
  }
  const std::vector<std::string> expected = {"dlg",  "text", "textbtn", "text",
                                             "textbtn", "text", "imgbtn", "imgbtn"};
  EXPECT_EQ(tags, expected);
}

TEST_F(InstallerDocumentsTest, MainPageFragmentIsADlgWhoseChildrenArePageContent) {
  auto document = Xml(kFragmentXml);
  ASSERT_NE(document, nullptr);
  EXPECT_STREQ(document->Root()->name(), "dlg");
  KxMiniUILayoutDocument notAWindow;
  EXPECT_FALSE(notAWindow.Load(kFragmentXml));  // included by 502, never a window of its own
}

}  // namespace
}  // namespace zelk::test
