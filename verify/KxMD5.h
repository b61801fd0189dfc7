// MD5 of a whole file as 32 upper-case hexadecimal digits:
//   Kx::KxMD5 md5;
//   if (md5.HashFile(path) && EqualsNoCase(md5.GetHexString(), expected)) ...
#pragma once

#include <string>

#include "verify/KxFileHashCalc.h"

namespace Kx {

class KxMD5 final : public KxFileHashCalc {
 public:
  KxMD5();
  // Digest of the first calculator; empty when there is none or no file
  // has been hashed to the end.
  std::wstring GetHexString() const;
};

}  // namespace Kx
