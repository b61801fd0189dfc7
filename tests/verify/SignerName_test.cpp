#include "verify/SignerName.h"

#include <string>

#include <gtest/gtest.h>

namespace {

struct NameCase {
  const char* label;
  std::wstring subject;
  std::wstring signer;
};

class SignerNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(SignerNameTest, TakesCommonNameElseUnit) {
  EXPECT_EQ(GetParam().signer, Kx::SignerNameFromSubject(GetParam().subject));
}

const std::wstring k126(126, L'n');
const std::wstring k127(127, L'n');
const std::wstring k128(128, L'n');

INSTANTIATE_TEST_SUITE_P(
    Subjects, SignerNameTest,
    testing::Values(
        NameCase{"QuotedCommonName",
                 L"C=CN, O=\"Shanghai Zelk Mobile Technology Co., Ltd.\", CN=\"Shanghai Zelk Mobile Technology Co., Ltd.\"",
                 L"Shanghai Zelk Mobile Technology Co., Ltd."},
        NameCase{"PlainCommonName", L"C=CN, CN=zelkpdf.com", L"zelkpdf.com"},
        NameCase{"UnitWhenNoCommonName", L"C=CN, O=Zelk Test, OU=\"Shanghai Zelk Network Technology Co.,Ltd\"",
                 L"Shanghai Zelk Network Technology Co.,Ltd"},
        NameCase{"CommonNameBeatsEarlierUnit", L"OU=Unit, CN=Name", L"Name"},
        NameCase{"NeitherAttribute", L"C=CN, O=Only An Organisation", L""},
        // "CN=" inside another attribute's quoted value is not the common name.
        NameCase{"CommonNameTextInsideOrganisation", L"C=CN, O=\"Relay CN=zelkpdf.com, Inc.\", CN=Zelk Test Relay",
                 L"Zelk Test Relay"},
        NameCase{"AttributeNameIsWholeWord", L"XCN=Wrong, CN=Right", L"Right"},
        NameCase{"DoubledQuoteInsideValue", L"CN=\"Say \"\"Hi\"\", Ltd\"", L"Say \"Hi\", Ltd"},
        NameCase{"MultiValuedName", L"CN=First + OU=Second", L"First"},
        NameCase{"UnclosedQuote", L"CN=\"Open ended", L""},
        NameCase{"ChineseName", L"C=CN, CN=上海泽珂网络科技股份有限公司", L"上海泽珂网络科技股份有限公司"},
        NameCase{"Length126Kept", L"CN=" + k126, k126},
        NameCase{"Length127CutTo126", L"CN=" + k127, k126},
        NameCase{"Length128IsAbsent", L"CN=" + k128, L""},
        NameCase{"TooLongCommonNameFallsToUnit", L"OU=Unit, CN=" + k128, L"Unit"}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

}  // namespace
