#include "miniui/core/KxMiniUIStylePool.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIResourceLoader.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

class StylePoolTest : public ::testing::Test {
 protected:
  StylePoolTest() : pool_(loader_) {}
  KxMiniUIResourceLoader loader_;
  KxMiniUIStylePool pool_;
};

TEST_F(StylePoolTest, EachNamedElementBecomesAClassAndTheLaterNameWins) {
  ASSERT_TRUE(pool_.Load(kStyleXml));
  EXPECT_EQ(pool_.Count(), 7u);
  const KxMiniUIStyle title = pool_.Get("title");
  EXPECT_EQ(title.name, "title");
  EXPECT_EQ(title.crText, 0x333333u);
  EXPECT_EQ(title.text.size, -12);
  EXPECT_EQ(title.text.align, 1u);
  EXPECT_EQ(pool_.Get("twice").crText, RGB(0, 0xFF, 0));
  const KxMiniUIStyle link = pool_.Get("link");
  EXPECT_EQ(link.crText, 0x00D07506u);
  EXPECT_EQ(link.cursor, MAKEINTRESOURCEW(32649));
  EXPECT_EQ(link.text.fontStyle, 0x5u);
  EXPECT_EQ(pool_.Get("faced").text.face, L"\x5B8B\x4F53");
}

TEST_F(StylePoolTest, AnUnknownNameGivesTheDefaultStyle) {
  ASSERT_TRUE(pool_.Load(kStyleXml));
  EXPECT_FALSE(pool_.Contains("nosuchclass"));
  const KxMiniUIStyle style = pool_.Get("nosuchclass");
  EXPECT_EQ(style.name, "");
  EXPECT_EQ(style.crText, 0u);
  EXPECT_EQ(style.crDisabled, 0xCCCCCCu);
  EXPECT_FALSE(style.background[0].IsSet());
  EXPECT_EQ(style.text.align, KxMiniUITextFormat::kAlignUnset);
}

TEST_F(StylePoolTest, NamesAreExact) {
  ASSERT_TRUE(pool_.Load(kStyleXml));
  EXPECT_TRUE(pool_.Contains("title"));
  EXPECT_FALSE(pool_.Contains("Title"));
}

TEST_F(StylePoolTest, TheRootMustBeExactlyStyleAndAFailureKeepsTheOldClasses) {
  ASSERT_TRUE(pool_.Load(kStyleXml));
  EXPECT_FALSE(pool_.Load(kStyleUpperRootXml));  // "Style"
  EXPECT_FALSE(pool_.Load(kBrokenXml));
  EXPECT_FALSE(pool_.Load(kSkinsXml));
  EXPECT_EQ(pool_.Count(), 7u);
  EXPECT_TRUE(pool_.Contains("title"));
}

}  // namespace
}  // namespace zelk::test
