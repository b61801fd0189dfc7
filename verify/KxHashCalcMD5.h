// MD5 over libcrypto's MD5_Init / MD5_Update / MD5_Final.
#pragma once

#include <openssl/md5.h>

#include "verify/KxHashCalc.h"

namespace Kx {

class KxHashCalcMD5 final : public KxHashCalc {
 public:
  static constexpr size_t kDigestSize = MD5_DIGEST_LENGTH;

  KxHashCalcMD5() = default;
  KxHashCalcMD5(const KxHashCalcMD5&) = delete;
  KxHashCalcMD5& operator=(const KxHashCalcMD5&) = delete;

  void Init() override;
  void Update(const void* data, size_t size) override;
  void Final() override;
  std::wstring GetHexString() const override;
  bool GetDigest(unsigned char* buffer, size_t size) const override;

 private:
  MD5_CTX context_{};
  unsigned char digest_[kDigestSize]{};
  // No digest exists between Init and Final (an empty or unreadable file
  // stops before Final), so none is handed out.
  bool finished_ = false;
};

static_assert(KxHashCalcMD5::kDigestSize == 16, "MD5 digests are 16 bytes");

}  // namespace Kx
