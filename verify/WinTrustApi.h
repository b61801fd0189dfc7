// Authenticode verification of a file through WinTrust, which, like
// Crypt32, is bound at run time: the embedded signature first, then a
// system catalog that lists the file's hash.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "verify/SignatureResult.h"

namespace Kx {

class WinTrustApi {
 public:
  WinTrustApi();
  ~WinTrustApi();
  WinTrustApi(const WinTrustApi&) = delete;
  WinTrustApi& operator=(const WinTrustApi&) = delete;

  // A SignatureResult; `signer` gets the signing certificate's name (see
  // SignerNameFromSubject) whenever WinTrust found a signer, also for a
  // signature that did not verify. With `heldFile` (the file at `path`,
  // opened for reading) WinTrust reads through that handle, so the answer
  // is about the file held whatever the path names by then.
  int Verify(const std::wstring& path, std::wstring& signer, HANDLE heldFile = nullptr);

  // Files above this size are never hashed for a catalog lookup.
  static constexpr unsigned long long kMaxCatalogFileSize = 32ull * 1024 * 1024;

 private:
  struct Functions;

  bool Bind();
  int VerifyEmbedded(const std::wstring& path, HANDLE heldFile, std::wstring& signer);
  int VerifyByCatalog(const std::wstring& path, HANDLE heldFile, std::wstring& signer);
  bool CatalogHash(const std::wstring& path, HANDLE heldFile, std::vector<BYTE>& hash);
  LONG VerifyCatalogMember(HANDLE catalog, const std::wstring& path, HANDLE heldFile, const std::vector<BYTE>& hash,
                           std::wstring& signer);
  // WinVerifyTrust's status for `data` (a WINTRUST_DATA set up to verify),
  // with the signer read from the state data unless there was no
  // signature, and the state closed again.
  LONG VerifyAndReadSigner(GUID action, void* data, std::wstring& signer);
  std::wstring SignerOfState(HANDLE state);

  const bool isVista_;
  // Looked up on the first verification; null when either library or any
  // function is missing.
  std::unique_ptr<Functions> functions_;
};

}  // namespace Kx
