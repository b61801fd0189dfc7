#include "miniui/core/KxMiniUIValue.h"

#include <gtest/gtest.h>

namespace {

struct ColorCase {
  const char* text;
  bool allowAlpha;
  COLORREF rgb;
  int alpha;
};

class ColorSyntax : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorSyntax, PacksRedIntoTheLowByte) {
  const ColorCase& c = GetParam();
  const KxMiniUIValue::Color color = KxMiniUIValue::ParseColor(c.text, c.allowAlpha);
  EXPECT_EQ(color.rgb, c.rgb) << c.text;
  EXPECT_EQ(color.alpha, c.alpha) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, ColorSyntax,
    ::testing::Values(ColorCase{"FFFFFF", false, 0x00FFFFFF, 255},
                      ColorCase{"0675d0", false, 0x00D07506, 255},
                      ColorCase{"148cf5", false, 0x00F58C14, 255},
                      ColorCase{"12G456", false, 0, 255},
                      ColorCase{"12G456", true, 0, 255},
                      // Eight digits: the last pair is the alpha byte where alpha is allowed.
                      ColorCase{"0000FF80", true, 0x00FF0000, 0x80},
                      ColorCase{"FAFAFA00", true, 0x00FAFAFA, 0},
                      ColorCase{"FAFAFA", true, 0x00FAFAFA, 255},
                      ColorCase{"0000FF80", false, 0x00FF0000, 255},
                      ColorCase{"FFF", false, 0, 255},
                      ColorCase{"", false, 0, 255},
                      ColorCase{"#FFFFFF", false, 0, 255},
                      ColorCase{"FFFFFF ", false, 0, 255}));

TEST(ColorSyntax, NullIsBlack) {
  EXPECT_EQ(KxMiniUIValue::ParseColor(nullptr, true).rgb, 0u);
}

TEST(ColorSyntax, ArgbPutsAlphaOnTopAndRedBelowIt) {
  EXPECT_EQ(KxMiniUIValue::ToArgb(RGB(0x11, 0x22, 0x33), 0x44), 0x44112233u);
  EXPECT_EQ(KxMiniUIValue::ToArgb(0x00D07506, 254), 0xFE0675D0u);
}

struct NumberCase {
  const char* text;
  long value;
  bool boolean;
};

class NumberSyntax : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberSyntax, ReadsLikeStrtolWithAutomaticBase) {
  EXPECT_EQ(KxMiniUIValue::Number(GetParam().text), GetParam().value) << GetParam().text;
  EXPECT_EQ(KxMiniUIValue::Boolean(GetParam().text), GetParam().boolean) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Values, NumberSyntax,
                         ::testing::Values(NumberCase{"1", 1, true}, NumberCase{"0", 0, false},
                                           NumberCase{"true", 0, false}, NumberCase{"false", 0, false},
                                           NumberCase{"0x10", 16, true}, NumberCase{"010", 8, true},
                                           NumberCase{"-12", -12, true}, NumberCase{"12px", 12, true},
                                           NumberCase{"  7", 7, true}, NumberCase{"", 0, false},
                                           NumberCase{nullptr, 0, false}));

TEST(DecimalSyntax, ReadsFloatsAndStopsAtWhatItCannotUse) {
  EXPECT_FLOAT_EQ(KxMiniUIValue::Decimal("1.5"), 1.5f);
  EXPECT_FLOAT_EQ(KxMiniUIValue::Decimal("-0.25px"), -0.25f);
  EXPECT_FLOAT_EQ(KxMiniUIValue::Decimal("abc"), 0.0f);
}

TEST(AlignmentSyntax, TakesThreeWordsAndRejectsTheRest) {
  const struct {
    const char* text;
    bool taken;
    int value;
  } cases[] = {{"near", true, 0}, {"center", true, 1}, {"far", true, 2}, {"Center", true, 1},
               {"middle", false, 7}, {"", false, 7}, {"1", false, 7}};
  for (const auto& c : cases) {
    int value = 7;
    EXPECT_EQ(KxMiniUIValue::ParseAlignment(c.text, value), c.taken) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(FontStyleSyntax, SearchesTheTextForStyleLetters) {
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("b"), 0x1u);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("bi"), 0x3u);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("ib"), 0x3u);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("us"), 0xCu);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("ld"), 0x30u);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle("x"), 0u);
  EXPECT_EQ(KxMiniUIValue::ParseFontStyle(""), 0u);
}

TEST(CursorSyntax, HandAndArrowAreSystemCursors) {
  LPCWSTR cursor = nullptr;
  EXPECT_TRUE(KxMiniUIValue::ParseCursor("hand", cursor));
  EXPECT_EQ(cursor, MAKEINTRESOURCEW(32649));
  EXPECT_TRUE(KxMiniUIValue::ParseCursor("arrow", cursor));
  EXPECT_EQ(cursor, MAKEINTRESOURCEW(32512));
  cursor = MAKEINTRESOURCEW(5);
  EXPECT_FALSE(KxMiniUIValue::ParseCursor("ibeam", cursor));
  EXPECT_EQ(cursor, MAKEINTRESOURCEW(5));
}

}  // namespace
