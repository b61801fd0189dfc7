// Outcome of an Authenticode check of one file.
#pragma once

namespace Kx {

enum SignatureResult : int {
  kSignatureNotChecked = 0,  // no path, or WinTrust/Crypt32 unusable
  kSignatureNone = 1,        // no embedded signature and no catalog lists the file
  kSignatureValid = 2,
  kSignatureExpired = 3,     // the signing certificate has expired
  kSignatureRevoked = 4,
  kSignatureDistrusted = 5,  // explicitly distrusted
  kSignatureInvalid = 6,     // any other failure: altered file, unknown root, ...
};

}  // namespace Kx
