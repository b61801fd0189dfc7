#include "miniui/core/KxMiniUIClassRegistry.h"

#include <gtest/gtest.h>

#include <string>

#include "miniui/core/KxMiniUIDlgFile.h"
#include "miniui/core/KxMiniUIPanel.h"
#include "miniui/core/KxMiniUIPngStretchSkin.h"
#include "miniui/core/KxMiniUIPngTileSkin.h"
#include "miniui/core/KxMiniUIStyle.h"

namespace {

// A class registered from this program, the way a control library
// registers its controls.
class TestImageButton : public KxMiniUIObject {
 public:
  KXMINIUI_DECLARE_TAG("imgbtn")
};
KXMINIUI_REGISTER_CLASS(TestImageButton);

struct TagCase {
  const char* tag;
  const char* className;
};

class TagLookup : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagLookup, IgnoresCaseAndCreatesTheRegisteredClass) {
  std::unique_ptr<KxMiniUIObject> object = CreateObjectByTag(GetParam().tag);
  ASSERT_NE(object, nullptr) << GetParam().tag;
  EXPECT_STREQ(object->GetClassName(), GetParam().className);
  EXPECT_TRUE(object->IsKindOf(GetParam().tag));
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TagLookup,
    ::testing::Values(TagCase{"imgbtn", "imgbtn"}, TagCase{"IMGBTN", "imgbtn"}, TagCase{"dlg", "dlg"},
                      TagCase{"DLG", "dlg"}, TagCase{"dlgFile", "dlgfile"}, TagCase{"Png", "png"},
                      TagCase{"IMGSTRETCH", "imgstretch"}, TagCase{"imgtile", "imgtile"},
                      TagCase{"Style", "style"}, TagCase{"apng", "apng"}, TagCase{"APNG-D", "apng-d"},
                      TagCase{"gifskin", "gifskin"}, TagCase{"GifSkin-D", "gifskin-d"},
                      TagCase{"ScrollBar", "scrollbar"}, TagCase{"PNGGROUP", "pnggroup"}));

TEST(TagLookup, UpperAndLowerCaseGiveTheSameClass) {
  std::unique_ptr<KxMiniUIObject> upper = CreateObjectByTag("IMGBTN");
  std::unique_ptr<KxMiniUIObject> lower = CreateObjectByTag("imgbtn");
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_NE(dynamic_cast<TestImageButton*>(upper.get()), nullptr);
  EXPECT_NE(dynamic_cast<TestImageButton*>(lower.get()), nullptr);
}

TEST(TagLookup, UnknownAndEmptyTagsMakeNothing) {
  EXPECT_EQ(CreateObjectByTag("nosuchtag"), nullptr);
  EXPECT_EQ(CreateObjectByTag(""), nullptr);
  EXPECT_EQ(CreateObjectByTag(nullptr), nullptr);
  EXPECT_EQ(CreateObjectByTag("dlg "), nullptr);
}

TEST(TagLookup, EachCallMakesANewObject) {
  std::unique_ptr<KxMiniUIObject> first = CreateObjectByTag("dlg");
  std::unique_ptr<KxMiniUIObject> second = CreateObjectByTag("dlg");
  EXPECT_NE(first.get(), second.get());
}

TEST(ClassIdentity, AClassIsKindOfItsOwnTagOnly) {
  KxMiniUIPngStretchSkin stretch;
  EXPECT_TRUE(stretch.IsKindOf("ImgStretch"));
  EXPECT_FALSE(stretch.IsKindOf("png"));
  KxMiniUIDlgFile file;
  EXPECT_TRUE(file.IsKindOf("dlgfile"));
  EXPECT_FALSE(file.IsKindOf("dlg"));
  // The bare base object answers yes to everything and names no class.
  KxMiniUIObject base;
  EXPECT_TRUE(base.IsKindOf("anything"));
  EXPECT_STREQ(base.GetClassName(), "");
  EXPECT_LT(base.SetAttribute("id", "1", true), 0);
}

TEST(Registry, EveryFrameworkTagIsRegisteredOnceBeforeMain) {
  const char* const expected[] = {"dlg", "dlgfile", "style", "png", "imgstretch", "imgtile",
                                  "apng", "apng-d", "gifskin", "gifskin-d", "scrollbar", "pnggroup"};
  for (const char* tag : expected) {
    int found = 0;
    for (auto* record = KxMiniUIClassRegistration::Head(); record != nullptr; record = record->Next()) {
      if (std::string(record->Tag()) == tag) ++found;
    }
    EXPECT_EQ(found, 1) << tag;
  }
}

}  // namespace
