#include "verify/SignerCacheCipher.h"

#include <windows.h>
#include <wincrypt.h>

namespace Kx {
namespace {

class CryptoContext {
 public:
  CryptoContext() {
    if (!::CryptAcquireContextW(&provider_, nullptr, MS_ENHANCED_PROV_W, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
      provider_ = 0;
    }
  }
  ~CryptoContext() {
    if (hash_) ::CryptDestroyHash(hash_);
    if (key_) ::CryptDestroyKey(key_);
    if (provider_) ::CryptReleaseContext(provider_, 0);
  }
  CryptoContext(const CryptoContext&) = delete;
  CryptoContext& operator=(const CryptoContext&) = delete;

  // The key is never stored as such: it is the SHA-1 of a text assembled
  // here, turned into a triple-DES key by the provider.
  HCRYPTKEY Key() {
    if (key_ || !provider_) return key_;
    const std::string material = std::string("Kx.Signer.File.") + "{A1A1B7F7-8155-4330-A7DD-765779FE2D4A}" + ".records";
    if (!::CryptCreateHash(provider_, CALG_SHA1, 0, 0, &hash_)) return 0;
    if (!::CryptHashData(hash_, reinterpret_cast<const BYTE*>(material.data()), static_cast<DWORD>(material.size()), 0) ||
        !::CryptDeriveKey(provider_, CALG_3DES, hash_, 0, &key_)) {
      key_ = 0;
    }
    return key_;
  }

 private:
  HCRYPTPROV provider_ = 0;
  HCRYPTHASH hash_ = 0;
  HCRYPTKEY key_ = 0;
};

}  // namespace

bool SignerCacheCipher::Encipher(std::string& bytes) {
  bytes.resize((bytes.size() + kBlockSize - 1) / kBlockSize * kBlockSize, '\0');
  if (bytes.empty()) return true;
  CryptoContext context;
  HCRYPTKEY key = context.Key();
  DWORD length = static_cast<DWORD>(bytes.size());
  // Not final: every block is whole, so the provider adds no padding of its own.
  return key && ::CryptEncrypt(key, 0, FALSE, 0, reinterpret_cast<BYTE*>(&bytes[0]), &length, length) &&
         length == bytes.size();
}

bool SignerCacheCipher::Decipher(std::string& bytes) {
  if (bytes.size() % kBlockSize != 0) return false;
  if (bytes.empty()) return true;
  CryptoContext context;
  HCRYPTKEY key = context.Key();
  DWORD length = static_cast<DWORD>(bytes.size());
  return key && ::CryptDecrypt(key, 0, FALSE, 0, reinterpret_cast<BYTE*>(&bytes[0]), &length) &&
         length == bytes.size();
}

}  // namespace Kx
