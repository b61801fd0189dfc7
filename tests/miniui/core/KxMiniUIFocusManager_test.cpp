// The focus manager of a window's tree: where the tab order starts, which
// views it offers, and that no focus reference outlives its view.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "miniui/core/KxMiniUIRootView.h"
#include "support/CoreTestSupport.h"

namespace {

using zelk::test::CoreResourcesTest;
using zelk::test::LoadTree;

class FocusManagerTest : public CoreResourcesTest {
 protected:
  // Four panels with tab stops 40, 10, 30, 20 (ids 4, 1, 3, 2), the last
  // holding a child with tab stop 25 (id 5).
  std::unique_ptr<KxMiniUIRootView> Tree() {
    return LoadTree(
        "<b><dlg id=\"4\" tabstop=\"40\" /><dlg id=\"1\" tabstop=\"10\" /><dlg id=\"3\" tabstop=\"30\" />"
        "<dlg id=\"2\" tabstop=\"20\"><dlg id=\"5\" tabstop=\"25\" /></dlg></b>",
        100, 100);
  }
  static int IdOf(const KxMiniUIView* view) { return view != nullptr ? view->GetId() : 0; }
};

TEST_F(FocusManagerTest, TheTabOrderStartsAfterTheFocusedOrPreviouslyFocusedView) {
  std::unique_ptr<KxMiniUIRootView> root = Tree();
  KxMiniUIFocusManager& focus = *root->GetFocusManager();
  ASSERT_EQ(focus.TabOrderSize(), 5u);
  struct Step {
    int focusId;  // focused before the step, 0 for none
    int next;
    int previous;
  };
  const Step steps[] = {
      {0, 1, 4},  // nothing focused yet: from the beginning, or from the end backwards
      {1, 2, 4},  {2, 5, 1}, {5, 3, 2}, {3, 4, 5}, {4, 1, 3},
  };
  for (const Step& step : steps) {
    focus.SetFocus(step.focusId != 0 ? root->FindViewById(step.focusId) : nullptr, KxMiniUIView::kFocusByCode);
    EXPECT_EQ(IdOf(focus.NextInTabOrder()), step.next) << "after " << step.focusId;
    EXPECT_EQ(IdOf(focus.PreviousInTabOrder()), step.previous) << "before " << step.focusId;
  }
  // With the focus taken away, the order goes on from the view that had it.
  focus.SetFocus(nullptr, KxMiniUIView::kFocusByActivation);
  EXPECT_EQ(IdOf(focus.GetPreviousFocusedView()), 4);
  EXPECT_EQ(IdOf(focus.NextInTabOrder()), 1);
  EXPECT_EQ(IdOf(focus.PreviousInTabOrder()), 3);
}

TEST_F(FocusManagerTest, AHiddenOrDisabledAncestorKeepsAViewOutOfTheTabOrder) {
  std::unique_ptr<KxMiniUIRootView> root = Tree();
  KxMiniUIFocusManager& focus = *root->GetFocusManager();
  focus.SetFocus(root->FindViewById(1), KxMiniUIView::kFocusByCode);
  root->FindViewById(2)->SetEnabled(false);
  EXPECT_EQ(IdOf(focus.NextInTabOrder()), 3) << "2 is disabled and 5 lies inside it";
  root->FindViewById(2)->SetEnabled(true);
  root->FindViewById(2)->SetVisible(false);
  EXPECT_EQ(IdOf(focus.NextInTabOrder()), 3);
  root->FindViewById(2)->SetVisible(true);
  EXPECT_EQ(IdOf(focus.NextInTabOrder()), 2);
}

TEST_F(FocusManagerTest, RemovedViewsLeaveTheTabOrderAndEveryFocusReference) {
  std::unique_ptr<KxMiniUIRootView> root = Tree();
  KxMiniUIFocusManager& focus = *root->GetFocusManager();
  focus.SetFocus(root->FindViewById(2), KxMiniUIView::kFocusByCode);
  focus.SetFocus(root->FindViewById(5), KxMiniUIView::kFocusByCode);
  std::unique_ptr<KxMiniUIView> detached = root->RemoveChild(root->FindViewById(2), false);
  ASSERT_NE(detached, nullptr);
  EXPECT_EQ(focus.GetFocusedView(), nullptr);
  EXPECT_EQ(focus.GetPreviousFocusedView(), nullptr);
  EXPECT_EQ(focus.TabOrderSize(), 3u);
  // Put back, the subtree enters the order again under its numbers.
  root->AddChild(std::move(detached));
  EXPECT_EQ(focus.TabOrderSize(), 5u);
  focus.SetFocus(root->FindViewById(1), KxMiniUIView::kFocusByCode);
  EXPECT_EQ(IdOf(focus.NextInTabOrder()), 2);
}

TEST_F(FocusManagerTest, TheMouseFocusesTheNearestEnabledFocusableAncestor) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg id=\"1\" focusable=\"1\"><dlg id=\"2\" focusable=\"1\" enable=\"0\"><dlg id=\"3\" /></dlg></dlg>"
      "<dlg id=\"4\" /></b>",
      100, 100);
  KxMiniUIFocusManager& focus = *root->GetFocusManager();
  focus.FocusFromMouse(root->FindViewById(3));
  EXPECT_EQ(IdOf(focus.GetFocusedView()), 1) << "the disabled focusable parent is passed over";
  focus.FocusFromMouse(root->FindViewById(4));
  EXPECT_EQ(focus.GetFocusedView(), nullptr);
  EXPECT_EQ(IdOf(focus.GetPreviousFocusedView()), 1);
}

}  // namespace
