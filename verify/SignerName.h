// The signer name of a certificate subject written as X.500 text
// ("C=CN, O=\"Example, Inc.\", CN=Example"), as CertNameToStrW gives it.
#pragma once

#include <string>

namespace Kx {

// The longest signer name kept: a value of 128 characters or more counts
// as absent, and one of 127 characters is cut to 126.
constexpr size_t kMaxSignerName = 127;

// The value of the subject's first "CN" attribute, else of its first "OU";
// "" when it has neither. Attributes are read one by one: a quoted value
// ("" inside it stands for one quote) is taken whole, so text such as
// "CN=" inside another attribute's value is never mistaken for the name.
std::wstring SignerNameFromSubject(const std::wstring& subject);

}  // namespace Kx
