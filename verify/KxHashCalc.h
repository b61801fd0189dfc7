// A message digest fed in pieces: Init, any number of Updates, Final, then
// read the digest as bytes or as upper-case hexadecimal text.
#pragma once

#include <cstddef>
#include <string>

namespace Kx {

class KxHashCalc {
 public:
  virtual void Init() = 0;
  // A null pointer or a zero count is ignored.
  virtual void Update(const void* data, size_t size) = 0;
  virtual void Final() = 0;
  // The digest as upper-case hexadecimal, first byte first; empty until
  // Final has made one.
  virtual std::wstring GetHexString() const = 0;
  // Copies the digest; false when `buffer` is null or too small for it, or
  // when there is no digest yet.
  virtual bool GetDigest(unsigned char* buffer, size_t size) const = 0;
  virtual ~KxHashCalc() = default;
};

}  // namespace Kx
