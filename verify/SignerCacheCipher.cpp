#include "verify/SignerCacheCipher.h"

#include <windows.h>
#include <wincrypt.h>

#include "base/ScopedHandle.h"

namespace Kx {
namespace {

// The CryptoAPI's handles are numbers, none when 0.
struct CryptHandleTraits {
  using Handle = ULONG_PTR;
  static Handle Empty() noexcept { return 0; }
  static bool IsValid(Handle handle) noexcept { return handle != 0; }
};
struct CryptProviderTraits : CryptHandleTraits {
  static void Close(HCRYPTPROV provider) noexcept { ::CryptReleaseContext(provider, 0); }
};
struct CryptHashTraits : CryptHandleTraits {
  static void Close(HCRYPTHASH hash) noexcept { ::CryptDestroyHash(hash); }
};
struct CryptKeyTraits : CryptHandleTraits {
  static void Close(HCRYPTKEY key) noexcept { ::CryptDestroyKey(key); }
};

class CryptoContext {
 public:
  CryptoContext() {
    if (!::CryptAcquireContextW(provider_.Receive(), nullptr, MS_ENHANCED_PROV_W, PROV_RSA_FULL,
                                CRYPT_VERIFYCONTEXT)) {
      provider_.Release();  // whatever a failed call left there is no provider
    }
  }
  CryptoContext(const CryptoContext&) = delete;
  CryptoContext& operator=(const CryptoContext&) = delete;

  // The key is never stored as such: it is the SHA-1 of a text assembled
  // here, turned into a triple-DES key by the provider.
  HCRYPTKEY Key() {
    if (key_ || !provider_) return key_.Get();
    const std::string material = std::string("Kx.Signer.File.") + "{A1A1B7F7-8155-4330-A7DD-765779FE2D4A}" + ".records";
    if (!::CryptCreateHash(provider_.Get(), CALG_SHA1, 0, 0, hash_.Receive())) return 0;
    if (!::CryptHashData(hash_.Get(), reinterpret_cast<const BYTE*>(material.data()),
                         static_cast<DWORD>(material.size()), 0) ||
        !::CryptDeriveKey(provider_.Get(), CALG_3DES, hash_.Get(), 0, key_.Receive())) {
      key_.Release();  // as above: not a key
    }
    return key_.Get();
  }

 private:
  // Destroyed in reverse: the hash, the key, then the provider they came from.
  TScopedHandle<CryptProviderTraits> provider_;
  TScopedHandle<CryptKeyTraits> key_;
  TScopedHandle<CryptHashTraits> hash_;
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
