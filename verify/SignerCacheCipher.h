// The enciphering layer of the signature cache file: triple DES (an 8-byte
// block cipher) in CBC mode from the system's enhanced cryptographic
// provider, under a key derived at run time, with zero padding. It keeps
// the records from being read or edited casually; it is no secret from
// anyone holding the program.
#pragma once

#include <string>

namespace Kx {

class SignerCacheCipher {
 public:
  // In place; the text is zero padded to whole blocks first.
  static bool Encipher(std::string& bytes);
  // In place; false when the length is not a whole number of blocks.
  static bool Decipher(std::string& bytes);

  static constexpr size_t kBlockSize = 8;
};

}  // namespace Kx
