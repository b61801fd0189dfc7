// The installer's own window documents, read from the source tree: every
// element of every page and box becomes a view of the class its tag names,
// so no tag the installer writes is missing from the catalogue.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <string>

#include "miniui/core/KxMiniUIPanel.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIXmlDocument.h"
#include "support/CoreTestSupport.h"
#include "tests/support/TestSupport.h"

namespace {

using zelk::test::CoreResourcesTest;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Tag counts of the elements below `node`. An included document ("dlgfile")
// is counted by its own test, since this program does not carry it.
void CountElements(const KxMiniUIXmlNode* node, std::map<std::string, int>& counts) {
  for (auto* element = node->first_node(); element != nullptr; element = element->next_sibling()) {
    if (element->type() != rapidxml::node_element) continue;
    const std::string tag = Lower(element->name());
    if (tag == "dlgfile") continue;
    ++counts[tag];
    CountElements(element, counts);
  }
}

void CountViews(const KxMiniUIView& view, std::map<std::string, int>& counts) {
  for (size_t i = 0; i < view.GetChildCount(); ++i) {
    const KxMiniUIView* child = view.GetChildAt(i);
    ++counts[Lower(child->GetClassName())];
    CountViews(*child, counts);
  }
}

class InstallerLayoutsTest : public CoreResourcesTest,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(InstallerLayoutsTest, EveryElementBecomesAViewOfItsTag) {
  std::string text;
  const std::wstring path =
      zelk::test::TestsSourceDir() + L"\\..\\resources\\xml\\" + zelk::test::Utf8ToWide(GetParam());
  ASSERT_TRUE(zelk::test::ReadFileBytes(path, text)) << GetParam();
  std::shared_ptr<KxMiniUIXmlDocument> document = KxMiniUIXmlDocument::FromText(text);
  ASSERT_NE(document, nullptr) << GetParam();
  // A page's views live in its "body"; the included part (505) is a "dlg".
  const KxMiniUIXmlNode* content = document->Root()->first_node("body");
  if (content == nullptr) content = document->Root();
  KxMiniUIRootView root;
  auto holder = std::make_unique<KxMiniUIPanel>();
  ASSERT_TRUE(holder->LoadFromXml(content));
  KxMiniUIView* body = root.AddChild(std::move(holder));
  root.LayoutAt(600, 480);

  std::map<std::string, int> elements;
  std::map<std::string, int> views;
  CountElements(content, elements);
  CountViews(*body, views);
  EXPECT_FALSE(elements.empty());
  EXPECT_EQ(views, elements) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Pages, InstallerLayoutsTest,
                         ::testing::Values("layout_501.xml", "layout_502.xml", "layout_503.xml", "layout_504.xml",
                                           "layout_505.xml", "layout_506.xml", "layout_507.xml"));

}  // namespace
