#include "verify/KxHashCalcMD5.h"

#include <cstring>

namespace Kx {

void KxHashCalcMD5::Init() {
  std::memset(digest_, 0, sizeof(digest_));
  finished_ = false;
  MD5_Init(&context_);
}

void KxHashCalcMD5::Update(const void* data, size_t size) {
  if (data == nullptr || size == 0) return;
  MD5_Update(&context_, data, size);
}

void KxHashCalcMD5::Final() {
  MD5_Final(digest_, &context_);
  finished_ = true;
}

std::wstring KxHashCalcMD5::GetHexString() const {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  if (!finished_) return text;
  text.reserve(kDigestSize * 2);
  for (const unsigned char byte : digest_) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

bool KxHashCalcMD5::GetDigest(unsigned char* buffer, size_t size) const {
  if (buffer == nullptr || size < kDigestSize || !finished_) return false;
  std::memcpy(buffer, digest_, kDigestSize);
  return true;
}

}  // namespace Kx
