// Each of the installer's windows loads into a whole view tree of the
// framework's controls and lays out where the window controller and the
// message box look for its parts: the right control under every id, at its
// place in the window, sized by its picture, with its text, check state,
// visibility and enabled state. Page 502 takes its upper part from 505.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "miniui/controls/KxMiniUIImageBtn.h"
#include "miniui/controls/KxMiniUIImageView.h"
#include "miniui/controls/KxMiniUIProgress.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/controls/KxMiniUiImgChkBox.h"
#include "miniui/core/KxMiniUILayoutDocument.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "tests/resources/support/InstallerModule.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {
namespace {

constexpr int kNatural = -1;  // size from the control's content; not checked

struct ViewRow {
  UINT layout;
  int id;
  const char* tag;
  RECT rect;  // in window coordinates; right and bottom kNatural for text sized views
  bool visible;
  bool enabled;
  const wchar_t* text;  // null for views without text
};

const ViewRow kViews[] = {
    {502, 76, "img", {0, 0, 600, 480}, true, true, nullptr},
    {502, 10, "edit", {80, 423, 490, 440}, true, true, L""},
    {502, 1002, "imgbtn", {500, 420, 575, 444}, true, true, L"更换目录..."},
    {502, 11, "text", {80, 454, kNatural, kNatural}, false, true, L"覆盖安装时无法更换目录"},
    {502, 22, "textbtn", {10, 10, kNatural, kNatural}, true, true, L"ZelkPDF"},
    {502, 100, "imgbtn", {529, 1, 561, 31}, true, true, L""},
    {502, 101, "imgbtn", {561, 1, 599, 31}, true, true, L""},
    {502, 74, "img", {160, 50, 441, 237}, true, true, nullptr},
    {502, 102, "imgbtn", {210, 276, 390, 318}, true, true, L"一键安装"},
    {502, 2001, "imgcheck", {14, 367, kNatural, kNatural}, true, true, L"已阅读并同意"},
    {502, 4, "textbtn", {116, 367, kNatural, kNatural}, true, true, L"用户许可协议"},
    {502, 8, "textbtn", {208, 367, kNatural, kNatural}, true, true, L"隐私政策"},
    {502, 2005, "imgcheck", {288, 367, kNatural, kNatural}, true, true, L"开启PDF文件关联保护"},

    {503, 80, "img", {0, 0, 600, 400}, true, true, nullptr},
    {503, 92, "img", {160, 50, 441, 237}, true, true, nullptr},
    {503, 22, "textbtn", {10, 10, kNatural, kNatural}, true, true, L"ZelkPDF安装"},
    {503, 100, "imgbtn", {529, 0, 561, 30}, true, true, L""},
    {503, 101, "imgbtn", {562, 0, 600, 30}, true, false, L""},
    {503, 1103, "progress", {1, 349, 599, 352}, true, true, nullptr},
    {503, 1102, "text", {560, 370, 595, 390}, true, true, L""},

    {504, 78, "img", {0, 0, 600, 400}, true, true, nullptr},
    {504, 22, "textbtn", {10, 10, kNatural, kNatural}, true, true, L"ZelkPDF安装"},
    {504, 100, "imgbtn", {529, 0, 561, 30}, true, true, L""},
    {504, 101, "imgbtn", {561, 0, 599, 30}, true, true, L""},
    {504, 88, "img", {160, 50, 441, 237}, true, true, nullptr},
    {504, 104, "imgbtn", {210, 320, 390, 362}, true, true, L"立即体验"},

    {501, 64, "img", {12, 6, 28, 22}, false, true, nullptr},
    {501, 66, "text", {32, 9, 132, 29}, false, true, L"ZelkPDF"},
    {501, 101, "imgbtn", {362, 0, 400, 30}, true, true, L""},
    {501, 68, "text", {104, 82, 390, 100}, false, true, L"您确定要退出ZelkPDF安装程序？"},
    {501, 102, "imgbtn", {165, 130, 261, 160}, true, true, L"确定"},
    {501, 103, "imgbtn", {281, 130, 377, 160}, true, true, L"取消"},

    {506, 64, "img", {12, 6, 28, 22}, false, true, nullptr},
    {506, 66, "text", {32, 9, 132, 29}, false, true, L"ZelkPDF"},
    {506, 101, "imgbtn", {346, 0, 384, 30}, true, true, L""},
    {506, 4, "textbtn", {160, 50, kNatural, kNatural}, true, true, L"《用户协议》"},
    {506, 8, "textbtn", {255, 50, kNatural, kNatural}, true, true, L"《隐私协议》"},
    {506, 103, "imgbtn", {140, 130, 236, 160}, true, true, L"不同意"},
    {506, 102, "imgbtn", {254, 130, 350, 160}, true, true, L"同意并安装"},

    {507, 64, "img", {12, 6, 28, 22}, false, true, nullptr},
    {507, 66, "text", {32, 9, 132, 29}, false, true, L"ZelkPDF"},
    {507, 101, "imgbtn", {362, 0, 400, 30}, true, true, L""},
    {507, 68, "text", {104, 82, 390, 100}, false, true, L"安装失败，请检查网络。"},
    {507, 102, "imgbtn", {281, 130, 377, 160}, true, true, L"确定"},
};

struct WindowSize {
  UINT layout;
  int width;
  int height;
};

const WindowSize kWindows[] = {{501, 400, 180}, {502, 600, 480}, {503, 600, 400},
                               {504, 600, 400}, {506, 384, 182}, {507, 400, 180}};

class InstallerViewTreesTest : public InstallerResourcesTest {
 protected:
  void SetUp() override {
    InstallerResourcesTest::SetUp();
    ASSERT_TRUE(Resources().GetStringPool()->Load(kStringsXml));
    ASSERT_TRUE(Manner().GetStylePool()->Load(kStyleXml));
    ASSERT_TRUE(Manner().GetSkinPool()->Load(kSkinsXml));
  }

  // Loads the layout into `root` and lays it out at the window's size.
  static void Build(const WindowSize& window, KxMiniUIRootView& root) {
    KxMiniUILayoutDocument layout;
    ASSERT_TRUE(layout.Load(window.layout));
    layout.ApplyTo(root);
    root.LayoutAt(window.width, window.height);
  }

  static RECT WindowRect(const KxMiniUIView& view) {
    const RECT local = view.GetRect();
    const POINT origin = view.GetParent() ? view.GetParent()->ToWindowPoint(POINT{local.left, local.top})
                                          : POINT{local.left, local.top};
    return RECT{origin.x, origin.y, origin.x + (local.right - local.left), origin.y + (local.bottom - local.top)};
  }
};

TEST_F(InstallerViewTreesTest, EveryIdTheWindowsUseIsTheRightControlInItsPlace) {
  for (const WindowSize& window : kWindows) {
    SCOPED_TRACE(window.layout);
    KxMiniUIRootView root;
    ASSERT_NO_FATAL_FAILURE(Build(window, root));
    for (const ViewRow& row : kViews) {
      if (row.layout != window.layout) continue;
      SCOPED_TRACE("id " + std::to_string(row.id));
      KxMiniUIView* view = root.FindViewById(row.id);
      ASSERT_NE(view, nullptr);
      EXPECT_STREQ(view->GetClassName(), row.tag);
      const RECT rect = WindowRect(*view);
      EXPECT_EQ(rect.left, row.rect.left);
      EXPECT_EQ(rect.top, row.rect.top);
      if (row.rect.right != kNatural) {
        EXPECT_EQ(rect.right, row.rect.right);
        EXPECT_EQ(rect.bottom, row.rect.bottom);
      } else {
        EXPECT_GT(rect.right, rect.left) << "text measured to nothing";
        EXPECT_GT(rect.bottom, rect.top);
      }
      EXPECT_EQ(view->IsVisible(), row.visible);
      EXPECT_EQ(view->IsEnabled(), row.enabled);
      if (auto* text = dynamic_cast<KxMiniUITextView*>(view); text != nullptr && row.text != nullptr) {
        EXPECT_EQ(text->GetText(), row.text);
      }
    }
  }
}

TEST_F(InstallerViewTreesTest, PicturesOfButtonsAndImagesAreResolvedWhenTheTreeLoads) {
  for (const WindowSize& window : kWindows) {
    SCOPED_TRACE(window.layout);
    KxMiniUIRootView root;
    ASSERT_NO_FATAL_FAILURE(Build(window, root));
    for (const ViewRow& row : kViews) {
      if (row.layout != window.layout) continue;
      KxMiniUIView* view = root.FindViewById(row.id);
      ASSERT_NE(view, nullptr) << row.id;
      if (auto* button = dynamic_cast<KxMiniUIImageBtn*>(view); button != nullptr && row.id < 2000) {
        EXPECT_TRUE(static_cast<bool>(button->Skin())) << "button " << row.id << " skin " << button->Skin().Name();
      }
      if (auto* image = dynamic_cast<KxMiniUIImageView*>(view)) {
        EXPECT_TRUE(static_cast<bool>(image->Skin())) << "image " << row.id << " skin " << image->Skin().Name();
      }
    }
  }
}

TEST_F(InstallerViewTreesTest, MainPageStartsWithBothBoxesTickedAndTheBarRunsFromZeroToAHundred) {
  KxMiniUIRootView page;
  ASSERT_NO_FATAL_FAILURE(Build(WindowSize{502, 600, 480}, page));
  for (int id : {2001, 2005}) {
    auto* box = dynamic_cast<KxMiniUiImgChkBox*>(page.FindViewById(id));
    ASSERT_NE(box, nullptr) << id;
    EXPECT_EQ(box->GetCheck(), 1) << id;
  }
  KxMiniUIRootView progressPage;
  ASSERT_NO_FATAL_FAILURE(Build(WindowSize{503, 600, 400}, progressPage));
  auto* bar = dynamic_cast<KxMiniUIProgress*>(progressPage.FindViewById(1103));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetMinimum(), 0);
  EXPECT_EQ(bar->GetMaximum(), 100);
  EXPECT_EQ(bar->GetValue(), 0);
}

}  // namespace
}  // namespace zelk::test
