#include "verify/KxMD5.h"

#include <memory>

#include "verify/KxHashCalcMD5.h"

namespace Kx {

KxMD5::KxMD5() { Add(std::make_shared<KxHashCalcMD5>()); }

std::wstring KxMD5::GetHexString() const {
  return Calculators().empty() ? std::wstring() : Calculators().front()->GetHexString();
}

}  // namespace Kx
