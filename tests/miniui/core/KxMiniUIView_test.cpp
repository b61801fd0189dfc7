#include "miniui/core/KxMiniUIView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "miniui/core/KxMiniUIDlgFile.h"
#include "miniui/core/KxMiniUIPanel.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

const Rgba kWhite{255, 255, 255, 255};

class ViewTest : public CoreResourcesTest {};

KxMiniUIView* Child(KxMiniUIView& parent, size_t index) { return parent.GetChildAt(index); }

// --- Attributes.

TEST_F(ViewTest, VisibleIsANumberAndShowIsReadLast) {
  const struct {
    const char* attributes;
    bool visible;
  } cases[] = {{"visible=\"true\"", false}, {"visible=\"1\"", true}, {"visible=\"0x2\"", true},
               {"visible=\"0\"", false},    {"", true},               {"visible=\"1\" show=\"0\"", false},
               {"show=\"1\" visible=\"0\"", true}, {"show=\"2\"", false}, {"show=\"true\"", false}};
  for (const auto& c : cases) {
    std::unique_ptr<KxMiniUIRootView> root = LoadTree(std::string("<b><dlg ") + c.attributes + " /></b>", 10, 10);
    ASSERT_EQ(root->GetChildCount(), 1u) << c.attributes;
    EXPECT_EQ(Child(*root, 0)->IsVisible(), c.visible) << c.attributes;
  }
}

TEST_F(ViewTest, ClassReplacesTheWholeStyleAndLaterAttributesOverrideIt) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg textalign=\"far\" crtext=\"FF0000\" class=\"title\" />"
      "<dlg class=\"title\" textalign=\"far\" crtext=\"FF0000\" />"
      "<dlg class=\"nosuchclass\" /><dlg crbg=\"FAFAFA\" class=\"nosuchclass\" /></b>",
      10, 10);
  const KxMiniUIStyle& before = Child(*root, 0)->GetStyle();
  EXPECT_EQ(before.text.align, 1u) << "the class's value replaces the earlier textalign";
  EXPECT_EQ(before.crText, 0x333333u);
  EXPECT_EQ(before.name, "title");
  const KxMiniUIStyle& after = Child(*root, 1)->GetStyle();
  EXPECT_EQ(after.text.align, 2u);
  EXPECT_EQ(after.crText, 0x0000FFu);
  EXPECT_EQ(after.text.size, -12);
  EXPECT_EQ(Child(*root, 2)->GetStyle().crText, 0u);
  EXPECT_FALSE(Child(*root, 3)->GetStyle().background[0].IsSet()) << "an unknown class is the default style";
}

TEST_F(ViewTest, AttributesAreTakenOrRejectedByTheirRules) {
  KxMiniUIPanel view;
  const struct {
    const char* name;
    const char* value;
    bool taken;
  } cases[] = {{"drag", "1", true},      {"drag", "2", false},     {"drag", "true", false},
               {"focusable", "0", true}, {"focusable", "", false}, {"ID", "0x20", true},
               {"tabstop", "3", true},   {"pos", "1,2", true},     {"transmouse", "1", true},
               {"enterexit-msg", "1", true}, {"notifyrbclick", "1", true}, {"childenterexit-nty", "1", true},
               {"inheritstyle", "0", true}, {"crtext", "00FF00", true}, {"width", "10", false},
               {"show", "1", false},     {"nosuch", "1", false},   {"textalign", "middle", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(view.SetAttribute(c.name, c.value, true) >= 0, c.taken) << c.name << "=" << c.value;
  }
  EXPECT_EQ(view.GetDrag(), 1);
  EXPECT_EQ(view.GetFocusable(), 0);
  EXPECT_EQ(view.GetId(), 32);
  EXPECT_EQ(view.GetTabStop(), 3);
  EXPECT_TRUE(view.IsTransparentToMouse());
  EXPECT_TRUE(view.SendsEnterExit());
  EXPECT_TRUE(view.NotifiesRightClick());
  EXPECT_TRUE(view.WantsChildEnterExit());
  EXPECT_EQ(view.GetStyle().crText, RGB(0, 255, 0));
}

TEST_F(ViewTest, AnElementClosedByAnotherElementsEndTagLoads) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<body><dlg id=\"1\">text</imgcheck><dlg id=\"2\" pos=\"0,0,5,5\"></text></body>", 10, 10);
  ASSERT_EQ(root->GetChildCount(), 2u);
  EXPECT_EQ(Child(*root, 0)->GetId(), 1);
  EXPECT_EQ(Child(*root, 1)->GetId(), 2);
  EXPECT_EQ(Child(*root, 1)->GetRect().right, 5);
}

TEST_F(ViewTest, UnknownTagsAndNonViewsAreSkipped) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><nosuch id=\"1\" /><png name=\"x\" src=\"202\" /><style name=\"s\" />"
               "<!-- a comment --><DLG id=\"4\" /></b>",
               10, 10);
  ASSERT_EQ(root->GetChildCount(), 1u);
  EXPECT_EQ(Child(*root, 0)->GetId(), 4);
}

// --- The tree.

TEST_F(ViewTest, IdsAreFoundThroughTheMapsOnceInAWindow) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg id=\"10\"><dlg id=\"11\"><dlg id=\"12\" /></dlg></dlg><dlg id=\"20\" /></b>", 50, 50);
  KxMiniUIView* deep = root->FindViewById(12);
  ASSERT_NE(deep, nullptr);
  EXPECT_FALSE(deep->IsRegistrationPending());
  EXPECT_EQ(root->FindViewById(10)->FindViewById(12), deep);
  EXPECT_EQ(root->FindViewById(20)->FindViewById(12), nullptr);
  EXPECT_EQ(root->FindViewById(99), nullptr);
  // A new id is registered again, the old one forgotten.
  deep->SetAttribute("id", "13", true);
  EXPECT_EQ(root->FindViewById(13), deep);
  EXPECT_EQ(root->FindViewById(12), nullptr);
}

TEST_F(ViewTest, RemovingAViewTakesItOutOfMapsReferencesAndFocus) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg id=\"10\"><dlg id=\"11\" tabstop=\"2\" focusable=\"1\" /></dlg><dlg id=\"20\" tabstop=\"1\" /></b>",
               50, 50);
  KxMiniUIView* panel = root->FindViewById(10);
  KxMiniUIView* inner = root->FindViewById(11);
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(root->GetFocusManager()->TabOrderSize(), 2u);
  inner->SetFocus();
  EXPECT_EQ(root->GetFocusManager()->GetFocusedView(), inner);
  root->SetHoveredView(inner);
  root->SetPressedView(panel);
  std::unique_ptr<KxMiniUIView> removed = root->RemoveChild(panel, false);
  ASSERT_EQ(removed.get(), panel);
  EXPECT_EQ(panel->GetParent(), nullptr);
  EXPECT_EQ(root->FindViewById(11), nullptr);
  EXPECT_EQ(root->FindViewById(10), nullptr);
  EXPECT_TRUE(inner->IsRegistrationPending());
  EXPECT_EQ(panel->FindViewById(11), inner) << "the subtree keeps its own views";
  EXPECT_EQ(root->GetHoveredView(), nullptr);
  EXPECT_EQ(root->GetPressedView(), nullptr);
  EXPECT_EQ(root->GetFocusManager()->GetFocusedView(), nullptr);
  EXPECT_EQ(root->GetFocusManager()->TabOrderSize(), 1u);
  // Inserting it again registers it again.
  root->InsertChild(0, std::move(removed));
  EXPECT_EQ(root->FindViewById(11), inner);
  EXPECT_EQ(root->GetChildAt(0), panel);
  EXPECT_EQ(root->RemoveChild(panel, true), nullptr);
  EXPECT_EQ(root->GetChildCount(), 1u);
}

TEST_F(ViewTest, AdoptingAViewMovesItFromItsOldParent) {
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg id=\"1\"><dlg id=\"3\" /></dlg><dlg id=\"2\"><dlg id=\"4\" /></dlg></b>", 50, 50);
  KxMiniUIView* first = root->FindViewById(1);
  KxMiniUIView* second = root->FindViewById(2);
  KxMiniUIView* moving = root->FindViewById(3);
  ASSERT_TRUE(second->AdoptChild(moving, 0));
  EXPECT_EQ(moving->GetParent(), second);
  EXPECT_EQ(second->GetChildAt(0), moving);
  EXPECT_EQ(first->GetChildCount(), 0u);
  EXPECT_EQ(second->FindViewById(3), moving);
  EXPECT_EQ(first->FindViewById(3), nullptr);
  EXPECT_FALSE(moving->AdoptChild(second)) << "a view cannot take its own ancestor";
  EXPECT_FALSE(second->AdoptChild(second));
}

TEST_F(ViewTest, InheritedStylesFillOnlyWhatIsStillDefault) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg class=\"link\" crbg=\"FAFAFA\"><dlg inheritstyle=\"1\" crtext=\"010203\" /><dlg /></dlg></b>", 50,
      50);
  const KxMiniUIStyle& inherited = root->GetChildAt(0)->GetChildAt(0)->GetStyle();
  EXPECT_EQ(inherited.crText, RGB(1, 2, 3));
  EXPECT_EQ(inherited.cursor, MAKEINTRESOURCEW(32649));
  EXPECT_EQ(inherited.text.fontStyle, 5u);
  EXPECT_EQ(inherited.background[0].rgb, 0xFAFAFAu);
  const KxMiniUIStyle& plain = root->GetChildAt(0)->GetChildAt(1)->GetStyle();
  EXPECT_EQ(plain.cursor, MAKEINTRESOURCEW(32512));
  EXPECT_FALSE(plain.background[0].IsSet());
}

// --- Hit testing.

TEST_F(ViewTest, HitTestingSkipsDisabledAndHiddenViewsAndLetsTransparentOnesThrough) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg id=\"1\" pos=\"0,0,100,100\">"
      "  <dlg id=\"2\" pos=\"10,10,40,40\" enable=\"0\" />"
      "  <dlg id=\"3\" pos=\"50,10,80,40\" visible=\"0\" />"
      "  <dlg id=\"4\" pos=\"10,50,40,80\" />"
      "  <dlg id=\"5\" pos=\"0,45,50,90\" transmouse=\"1\" />"
      "</dlg></b>",
      200, 200);
  EXPECT_EQ(root->FindViewAt(POINT{20, 20})->GetId(), 1) << "a disabled button passes the click to its panel";
  EXPECT_EQ(root->FindViewAt(POINT{60, 20})->GetId(), 1);
  EXPECT_EQ(root->FindViewAt(POINT{20, 60})->GetId(), 4) << "through the transparent view on top";
  EXPECT_EQ(root->FindViewAt(POINT{45, 85})->GetId(), 1);
  EXPECT_EQ(root->FindViewAt(POINT{150, 150}), root.get());
}

// --- Invalidation.

TEST_F(ViewTest, InvalidationClimbsToTheWindowInWindowCoordinates) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg pos=\"5,5,105,105\"><dlg id=\"1\" pos=\"10,20,40,60\" /><dlg id=\"2\" pos=\"90,90,130,130\" /></dlg></b>",
      200, 200, &host);
  host.invalidations.clear();
  root->FindViewById(1)->Invalidate();
  ASSERT_EQ(host.invalidations.size(), 1u);
  EXPECT_EQ(host.invalidations[0].rect.left, 15);
  EXPECT_EQ(host.invalidations[0].rect.top, 25);
  EXPECT_EQ(host.invalidations[0].rect.right, 45);
  EXPECT_EQ(host.invalidations[0].rect.bottom, 65);
  EXPECT_FALSE(host.invalidations[0].immediate);
  root->FindViewById(2)->InvalidateRect(RECT{0, 0, 40, 40}, KxMiniUIView::kInvalidateImmediate);
  ASSERT_EQ(host.invalidations.size(), 2u);
  EXPECT_EQ(host.invalidations[1].rect.right, 105) << "clipped to the parent";
  EXPECT_EQ(host.invalidations[1].rect.bottom, 105);
  EXPECT_TRUE(host.invalidations[1].immediate);
}

TEST_F(ViewTest, NothingIsInvalidatedUnderAHiddenParentOrWhilePaintingIsOff) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg pos=\"0,0,50,50\" visible=\"0\"><dlg id=\"1\" pos=\"0,0,10,10\" /></dlg>"
               "<dlg id=\"2\" pos=\"0,0,10,10\" /></b>",
               100, 100, &host);
  host.invalidations.clear();
  root->FindViewById(1)->Invalidate();
  root->FindViewById(2)->InvalidateRect(RECT{3, 3, 3, 9}, 0);
  host.SetPaintAllowed(false);
  root->FindViewById(2)->Invalidate();
  EXPECT_TRUE(host.invalidations.empty());
}

TEST_F(ViewTest, HidingMovingAndShowingRepaintTheAffectedArea) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root = LoadTree("<b><dlg id=\"1\" pos=\"10,10,20,20\" /></b>", 100, 100, &host);
  KxMiniUIView* view = root->FindViewById(1);
  host.invalidations.clear();
  view->SetVisible(false);
  view->SetVisible(false);  // unchanged: nothing
  ASSERT_EQ(host.invalidations.size(), 1u);
  EXPECT_EQ(host.invalidations[0].rect.left, 10);
  view->SetVisible(true);
  ASSERT_EQ(host.invalidations.size(), 2u);
  view->SetRect(RECT{30, 30, 50, 40}, true);
  ASSERT_EQ(host.invalidations.size(), 3u);
  EXPECT_EQ(host.invalidations[2].rect.left, 10);
  EXPECT_EQ(host.invalidations[2].rect.right, 50);
  view->MoveBy(5, 0, 10, 0);
  EXPECT_EQ(view->GetRect().left, 35);
  EXPECT_EQ(view->GetRect().right, 65);
}

// --- Notifications and timers.

TEST_F(ViewTest, NotifySendsTheRecordToTheHostWindow) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg id=\"42\" enterexit-msg=\"1\" notifyrbclick=\"1\" /></b>", 100, 100, &host);
  KxMiniUIView* view = root->FindViewById(42);
  EXPECT_EQ(view->Notify(7), 77);
  view->OnMouseEnter(POINT{1, 1});
  view->OnMouseLeave(POINT{1, 1});
  view->OnMouseUp(MK_RBUTTON, POINT{1, 1}, 0);
  view->OnMouseUp(MK_LBUTTON, POINT{1, 1}, 0);
  ASSERT_EQ(host.notices.size(), 4u);
  EXPECT_EQ(host.notices[0].code, 7u);
  EXPECT_EQ(host.notices[0].controlId, 1000u);
  EXPECT_EQ(host.notices[0].viewId, 42);
  EXPECT_EQ(host.notices[0].className, "dlg");
  EXPECT_EQ(host.notices[1].code, 3u);
  EXPECT_EQ(host.notices[2].code, 4u);
  EXPECT_EQ(host.notices[3].code, 9u);
}

TEST_F(ViewTest, AViewOutsideAWindowNotifiesNobody) {
  KxMiniUIPanel loose;
  EXPECT_EQ(loose.Notify(1), 0);
  std::unique_ptr<KxMiniUIRootView> root = LoadTree("<b><dlg id=\"1\" /></b>", 10, 10);  // no host
  EXPECT_EQ(root->FindViewById(1)->Notify(1), 0);
}

TEST_F(ViewTest, ALeftPressOnADraggableViewMovesTheWindowByItsCaption) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root =
      LoadTree("<b><dlg id=\"1\" /><dlg id=\"2\" drag=\"0\" /></b>", 100, 100, &host);
  root->SetDefaultDrag(true);
  auto postedMoves = [&host] {
    int count = 0;
    MSG message;
    while (::PeekMessageW(&message, host.GetHostWindow(), WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE)) {
      if (message.wParam == 0xF012) ++count;
    }
    return count;
  };
  EXPECT_FALSE(root->FindViewById(1)->OnMouseDown(MK_LBUTTON, POINT{1, 1}, false));
  EXPECT_EQ(postedMoves(), 1);
  EXPECT_EQ(root->FindViewById(1)->GetDrag(), 1) << "resolved from the window's default";
  root->FindViewById(1)->OnMouseDown(MK_LBUTTON, POINT{1, 1}, true);
  root->FindViewById(1)->OnMouseDown(MK_RBUTTON, POINT{1, 1}, false);
  root->FindViewById(2)->OnMouseDown(MK_LBUTTON, POINT{1, 1}, false);
  EXPECT_EQ(postedMoves(), 0);
}

TEST_F(ViewTest, ViewTimersComeBackToTheirViewUntilKilled) {
  WindowHost host;
  std::unique_ptr<KxMiniUIRootView> root = LoadTree("<b><testbox id=\"1\" /><testbox id=\"2\" /></b>", 10, 10, &host);
  host.onTimer = [&root](UINT_PTR id) { return root->DispatchViewTimer(id); };
  auto* first = static_cast<TestBoxView*>(root->FindViewById(1));
  auto* second = static_cast<TestBoxView*>(root->FindViewById(2));
  ASSERT_TRUE(first->SetTimer(5, 10));
  ASSERT_TRUE(second->SetTimer(0, 10));
  const UINT_PTR id = first->TimerIdOf(5);
  EXPECT_EQ(id >> 24, 133u);
  EXPECT_EQ(second->TimerIdOf(0) >> 24, 129u);
  EXPECT_NE(id & 0xFFFFFF, second->TimerIdOf(0) & 0xFFFFFF);
  ASSERT_TRUE(host.PumpUntil([&] { return first->timerSlots.size() >= 2 && !second->timerSlots.empty(); }, 5000));
  EXPECT_EQ(first->timerSlots[0], 5);
  EXPECT_EQ(second->timerSlots[0], 1);
  first->KillTimer(5);
  EXPECT_EQ(host.liveTimers.size(), 1u);
  // A removed view's timers stop, and its id no longer reaches anything.
  const UINT_PTR secondId = second->TimerIdOf(1);
  root->RemoveChild(second, true);
  EXPECT_TRUE(host.liveTimers.empty());
  EXPECT_FALSE(root->DispatchViewTimer(secondId));
  EXPECT_FALSE(root->DispatchViewTimer(5));
}

// --- Painting.

TEST_F(ViewTest, TheTreePaintsBackgroundsSkinsAndChildrenClippedToTheirParents) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg pos=\"10,10,50,40\" crbg=\"FF0000\">"
      "  <dlg pos=\"20,10,60,30\" crbg=\"00FF00\" />"
      "</dlg>"
      "<dlg pos=\"60,0,80,20\" crbg=\"0000FF80\" />"
      "<testbox pos=\"60,20,80,40\" crbg=\"0000FF80\" />"
      "<dlg pos=\"0,45,30,60\" class=\"skinned\" />"
      "<dlg pos=\"85,0,95,10\" crbg=\"000000\" visible=\"0\" />"
      "<dlg pos=\"85,20,95,30\" crbg=\"00000000\" /></b>",
      100, 60);
  PixelCanvas canvas(100, 60, true);
  root->PaintTree(canvas.Canvas());
  EXPECT_EQ(canvas.Pixel(12, 12), (Rgba{255, 0, 0, 255}));
  EXPECT_EQ(canvas.Pixel(35, 25), (Rgba{0, 255, 0, 255}));
  EXPECT_EQ(canvas.Pixel(52, 25), kWhite) << "the child is clipped to its parent";
  const Rgba half = canvas.Pixel(70, 10);
  EXPECT_NEAR(half.r, 127, 2) << "a panel uses the colour's own alpha";
  EXPECT_EQ(half.b, 255);
  EXPECT_EQ(canvas.Pixel(70, 30), (Rgba{0, 0, 255, 255})) << "a plain view fills at full alpha";
  EXPECT_EQ(canvas.Pixel(2, 47), SmallPixel(2, 2)) << "the skin, not the background colour";
  EXPECT_EQ(canvas.Pixel(25, 50), kWhite) << "the picture keeps its size";
  EXPECT_EQ(canvas.Pixel(90, 5), kWhite) << "hidden";
  EXPECT_EQ(canvas.Pixel(90, 25), kWhite) << "alpha 0";
}

TEST_F(ViewTest, APanelIsOpaqueOnlyWithAnOpaqueColourAndNoSkin) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg class=\"panel\" /><dlg class=\"half\" /><dlg class=\"skinned\" /><dlg /><testbox crbg=\"FAFAFA\" /></b>",
      10, 10);
  EXPECT_TRUE(Child(*root, 0)->IsOpaque());
  EXPECT_FALSE(Child(*root, 1)->IsOpaque());
  EXPECT_FALSE(Child(*root, 2)->IsOpaque());
  EXPECT_FALSE(Child(*root, 3)->IsOpaque());
  EXPECT_FALSE(Child(*root, 4)->IsOpaque());
}

// --- Included layouts.

TEST_F(ViewTest, ADlgFileIncludesTheChildrenOfAnotherXmlResource) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlgfile id=\"5\" pos=\"10,10,60,60\" src=\"120\"><dlg id=\"70\" /></dlgfile></b>", 100, 100);
  ASSERT_EQ(root->GetChildCount(), 1u);
  auto* file = dynamic_cast<KxMiniUIDlgFile*>(Child(*root, 0));
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetSource(), 120u);
  ASSERT_EQ(file->GetChildCount(), 3u);
  EXPECT_EQ(file->GetChildAt(0)->GetId(), 70);
  EXPECT_EQ(file->GetChildAt(1)->GetId(), 71);
  EXPECT_EQ(file->GetChildAt(2)->GetId(), 72);
  EXPECT_EQ(root->FindViewById(999), nullptr) << "the included root element is not a view";
  // The dlgfile's own position places the content; the included root's is ignored.
  EXPECT_EQ(file->GetRect().left, 10);
  EXPECT_EQ(file->GetChildAt(1)->GetRect().right, 50);
  EXPECT_EQ(root->FindViewById(72)->GetRect().bottom, 4);
  PixelCanvas canvas(100, 100, true);
  root->PaintTree(canvas.Canvas());
  EXPECT_EQ(canvas.Pixel(20, 20), (Rgba{255, 0, 0, 255}));
}

TEST_F(ViewTest, ADlgFileThatCannotLoadItsDocumentIsDroppedByItsParent) {
  std::unique_ptr<KxMiniUIRootView> root = LoadTree(
      "<b><dlg id=\"1\">"
      "  <dlgfile id=\"2\" />"
      "  <dlgfile id=\"3\" src=\"\" />"
      "  <dlgfile id=\"4\" src=\"4242\" />"
      "  <dlgfile id=\"5\" src=\"121\" />"
      "  <dlgfile id=\"6\" src=\"0x78\" />"
      "</dlg></b>",
      100, 100);
  KxMiniUIView* parent = root->FindViewById(1);
  ASSERT_EQ(parent->GetChildCount(), 1u);
  EXPECT_EQ(parent->GetChildAt(0)->GetId(), 6);
}

// A document that includes itself, directly (122) or through another one
// (123 includes 124, which includes 123): the include that would repeat a
// document already being included is dropped, the rest loads.
TEST_F(ViewTest, AnIncludeCycleIsCutWhereADocumentWouldComeAgain) {
  const struct {
    const char* src;
    std::vector<int> present;
    std::vector<int> dropped;
  } cases[] = {
      {"122", {81}, {82}},
      {"123", {83, 84, 85}, {86}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.src);
    const std::string body = std::string("<b><dlgfile id=\"5\" pos=\"0,0,-0,-0\" src=\"") + c.src + "\" /></b>";
    std::unique_ptr<KxMiniUIRootView> root = LoadTree(body.c_str(), 100, 100);
    ASSERT_NE(root->FindViewById(5), nullptr);
    for (const int id : c.present) EXPECT_NE(root->FindViewById(id), nullptr) << id;
    for (const int id : c.dropped) EXPECT_EQ(root->FindViewById(id), nullptr) << id;
  }
}

}  // namespace
}  // namespace zelk::test
