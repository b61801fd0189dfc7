// Conversion between byte encodings named in a small table of Windows code
// pages, opened like an iconv descriptor with a target encoding (the source
// is always UTF-8). Failures answer -1 with the C run-time errno set:
// EBADF (9) for an invalid pair, EINVAL (22) for an unknown or unusable
// encoding, EILSEQ (42) for UTF-16 input of odd length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "download/KxDynamicBuffer.h"

namespace Kx {

class EncodingConverter {
 public:
  // Source code page in the high 16 bits, target in the low 16 bits.
  static constexpr uint32_t kInvalidPair = 0xFFFFFFFF;
  static constexpr int kSourceUtf8 = 6;

  static constexpr uint32_t MakePair(unsigned sourceCodePage, unsigned targetCodePage) {
    return ((sourceCodePage & 0xFFFF) << 16) | (targetCodePage & 0xFFFF);
  }

  // Opens for UTF-8 to the encoding with the number `targetType` (for
  // example 9, UTF-16 little-endian). False, with errno EINVAL, when either
  // encoding is unknown or the system cannot convert it.
  bool Open(int targetType);

  bool IsOpen() const { return open_; }
  uint32_t Pair() const { return pair_; }

  // Converts `length` bytes of `input` as `pair` says into `out`, replacing
  // its content. The output is followed by zero termination beyond its
  // size. 0 on success (also when there is nothing to convert; a conversion
  // the system refuses leaves `out` empty), -1 with errno set otherwise.
  static int Convert(uint32_t pair, const char* input, size_t length, KxDynamicBuffer<char>& out);

  // The encoding name a type number stands for ("" for the system ANSI code page).
  static const wchar_t* EncodingName(int type);

 private:
  uint32_t pair_ = kInvalidPair;
  bool open_ = false;
};

}  // namespace Kx
