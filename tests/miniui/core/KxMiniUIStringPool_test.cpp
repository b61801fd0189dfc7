#include "miniui/core/KxMiniUIStringPool.h"

#include <gtest/gtest.h>

#include "miniui/core/KxMiniUIResourceLoader.h"
#include "tests/miniui/core/support/CoreTestSupport.h"

namespace zelk::test {
namespace {

class StringPoolTest : public ::testing::Test {
 protected:
  StringPoolTest() : pool_(loader_) {}
  KxMiniUIResourceLoader loader_;
  KxMiniUIStringPool pool_;
};

TEST_F(StringPoolTest, MapsDecimalIdsToTheirUtf16Text) {
  ASSERT_TRUE(pool_.Load(kStringsXml));
  EXPECT_EQ(pool_.Get(1104), L"%d%%");
  EXPECT_EQ(pool_.Get(33), L"\x6240\x9700\x7A7A\x95F4: %s");  // 所需空间: %s
  EXPECT_EQ(pool_.Get(8), L"a & b <c>");                      // entities translated
  EXPECT_EQ(pool_.Get(7), L"second");                         // a later id wins
  EXPECT_EQ(pool_.Get(0), L"hexadecimal is not decimal");     // "0x10" reads 0 in decimal
  EXPECT_EQ(pool_.Get(16), L"");
  EXPECT_EQ(pool_.Get(12345), L"");
  EXPECT_EQ(pool_.Count(), 5u);  // the elements without an id are skipped
}

TEST_F(StringPoolTest, AFailedLoadLeavesThePoolEmpty) {
  const UINT failures[] = {kStringsWrongRootXml, kBrokenXml, 4242, 0};
  for (UINT id : failures) {
    ASSERT_TRUE(pool_.Load(kStringsXml));
    EXPECT_FALSE(pool_.Load(id)) << id;
    EXPECT_EQ(pool_.Count(), 0u) << id;
    EXPECT_EQ(pool_.Get(1104), L"") << id;
  }
}

}  // namespace
}  // namespace zelk::test
