#include "miniui/core/KxMiniUIStyle.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIXmlDocument.h"

namespace {

TEST(Style, DefaultsAreUnsetWhereNothingIsWritten) {
  const KxMiniUIStyle style;
  EXPECT_EQ(style.crText, 0u);
  EXPECT_EQ(style.crHover, KxMiniUIStyle::kColorNone);
  EXPECT_EQ(style.crPressed, KxMiniUIStyle::kColorNone);
  EXPECT_EQ(style.crDisabled, 0xCCCCCCu);
  EXPECT_EQ(style.crTextShadow, KxMiniUIStyle::kColorNone);
  for (int state = 0; state < 4; ++state) {
    EXPECT_FALSE(style.background[state].IsSet());
    EXPECT_FALSE(style.border[state].IsSet());
  }
  EXPECT_EQ(style.text.align, 0xFFFFu);
  EXPECT_EQ(style.text.lineAlign, 0xFFFFu);
  EXPECT_EQ(style.text.fontStyleHover, 0xA0000000u);
  EXPECT_EQ(style.cursor, MAKEINTRESOURCEW(32512));
  EXPECT_STREQ(style.GetClassName(), "style");
}

TEST(Style, EveryAttributeLandsInItsField) {
  KxMiniUIStyle style;
  const char* const accepted[][2] = {
      {"name", "n"}, {"skin", "s"}, {"font", "\xE5\xAE\x8B\xE4\xBD\x93"}, {"fontsize", "-14"},
      {"fontstyle", "b"}, {"fontstylehover", "u"}, {"fontstylepressed", "bi"}, {"textalign", "far"},
      {"textlinealign", "center"}, {"crtext", "112233"}, {"crhover", "445566"}, {"crpressed", "778899"},
      {"crdisabled", "999999"}, {"crbg", "FAFAFA"}, {"crbghover", "01020304"}, {"crbgpress", "050607"},
      {"crbgdisabled", "080808"}, {"crborder", "0A0B0C"}, {"crborderhover", "0D0E0F10"},
      {"crborderpress", "111111"}, {"crborderdisabled", "121212"}, {"crtextshadow", "131313"},
      {"textshadow-offsetX", "1.5"}, {"textshadow-offsetY", "-2"}, {"textshadow-width", "0.25"},
      {"transparent", "1"}, {"cursor", "hand"}, {"CRTEXT", "112233"}};
  for (const auto& attribute : accepted) {
    EXPECT_EQ(style.SetAttribute(attribute[0], attribute[1], false), 0) << attribute[0];
  }
  EXPECT_EQ(style.name, "n");
  EXPECT_EQ(style.skin, "s");
  EXPECT_EQ(style.text.face, L"\x5B8B\x4F53");
  EXPECT_EQ(style.text.size, -14);
  EXPECT_EQ(style.text.fontStyle, 1u);
  EXPECT_EQ(style.text.fontStyleHover, 4u);
  EXPECT_EQ(style.text.fontStylePressed, 3u);
  EXPECT_EQ(style.text.align, 2u);
  EXPECT_EQ(style.text.lineAlign, 1u);
  EXPECT_EQ(style.crText, 0x332211u);
  EXPECT_EQ(style.crHover, 0x665544u);
  EXPECT_EQ(style.crPressed, 0x998877u);
  EXPECT_EQ(style.crDisabled, 0x999999u);
  EXPECT_EQ(style.background[0].rgb, 0xFAFAFAu);
  EXPECT_EQ(style.background[0].alpha, 255);
  EXPECT_EQ(style.background[1].rgb, 0x030201u);
  EXPECT_EQ(style.background[1].alpha, 4);
  EXPECT_EQ(style.background[2].rgb, 0x070605u);
  EXPECT_EQ(style.background[3].rgb, 0x080808u);
  EXPECT_EQ(style.border[0].rgb, 0x0C0B0Au);
  EXPECT_EQ(style.border[1].rgb, 0x0F0E0Du);
  EXPECT_EQ(style.border[1].alpha, 0x10);
  EXPECT_EQ(style.border[2].rgb, 0x111111u);
  EXPECT_EQ(style.border[3].rgb, 0x121212u);
  EXPECT_EQ(style.crTextShadow, 0x131313u);
  EXPECT_FLOAT_EQ(style.textShadowOffsetX, 1.5f);
  EXPECT_FLOAT_EQ(style.textShadowOffsetY, -2.0f);
  EXPECT_FLOAT_EQ(style.textShadowWidth, 0.25f);
  EXPECT_EQ(style.text.flags & KxMiniUITextFormat::kFlagTransparent, KxMiniUITextFormat::kFlagTransparent);
  EXPECT_EQ(style.cursor, MAKEINTRESOURCEW(32649));
  EXPECT_EQ(style.SetAttribute("transparent", "0", false), 0);
  EXPECT_EQ(style.text.flags, 0u);
}

TEST(Style, BadValuesAndUnknownNamesAreRejected) {
  KxMiniUIStyle style;
  EXPECT_LT(style.SetAttribute("textalign", "middle", false), 0);
  EXPECT_LT(style.SetAttribute("textlinealign", "", false), 0);
  EXPECT_LT(style.SetAttribute("cursor", "ibeam", false), 0);
  EXPECT_LT(style.SetAttribute("pos", "0,0", false), 0);
  EXPECT_LT(style.SetAttribute("float", "1", false), 0);
  EXPECT_EQ(style.text.align, 0xFFFFu);
  EXPECT_EQ(style.cursor, MAKEINTRESOURCEW(32512));
  // A malformed colour is still taken, as black.
  EXPECT_EQ(style.SetAttribute("crtext", "12G456", false), 0);
  EXPECT_EQ(style.crText, 0u);
}

TEST(Style, ACopyIsWhole) {
  auto document = KxMiniUIXmlDocument::FromText(
      "<class name=\"a\" skin=\"b\" crtext=\"FF0000\" crbg=\"00FF0080\" fontsize=\"-18\" textalign=\"center\" />");
  ASSERT_NE(document, nullptr);
  KxMiniUIStyle source;
  ASSERT_TRUE(source.LoadFromXml(document->Root()));
  KxMiniUIStyle copy;
  copy.SetAttribute("crhover", "123456", false);
  copy = source;
  EXPECT_EQ(copy.name, "a");
  EXPECT_EQ(copy.skin, "b");
  EXPECT_EQ(copy.crText, 0x0000FFu);
  EXPECT_EQ(copy.crHover, KxMiniUIStyle::kColorNone);
  EXPECT_EQ(copy.background[0].alpha, 0x80);
  EXPECT_EQ(copy.text.size, -18);
  EXPECT_EQ(copy.text.align, 1u);
}

}  // namespace
