#include "verify/WinTrustApi.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>
#include <mscat.h>

#include "base/FaultGuard.h"
#include "base/FileUtil.h"
#include "base/StringUtil.h"
#include "base/SystemInfo.h"
#include "base/SystemLibrary.h"
#include "verify/SignerName.h"

namespace Kx {

#if defined(__i386__)
static_assert(sizeof(WINTRUST_DATA) == 48, "WINTRUST_DATA layout");
static_assert(sizeof(WINTRUST_FILE_INFO) == 16, "WINTRUST_FILE_INFO layout");
static_assert(sizeof(WINTRUST_CATALOG_INFO) == 36, "WINTRUST_CATALOG_INFO layout");
#else
static_assert(sizeof(WINTRUST_DATA) == 80, "WINTRUST_DATA layout");
static_assert(sizeof(WINTRUST_FILE_INFO) == 32, "WINTRUST_FILE_INFO layout");
static_assert(sizeof(WINTRUST_CATALOG_INFO) == 64, "WINTRUST_CATALOG_INFO layout");
#endif

struct WinTrustApi::Functions {
  decltype(&::CryptCATAdminCalcHashFromFileHandle) calcHashFromFileHandle;
  decltype(&::CryptCATAdminAcquireContext) adminAcquireContext;
  decltype(&::CryptCATAdminEnumCatalogFromHash) adminEnumCatalogFromHash;
  decltype(&::CryptCATCatalogInfoFromContext) catalogInfoFromContext;
  decltype(&::CryptCATAdminReleaseCatalogContext) adminReleaseCatalogContext;
  decltype(&::CryptCATAdminReleaseContext) adminReleaseContext;
  decltype(&::WTHelperProvDataFromStateData) provDataFromStateData;
  decltype(&::WTHelperGetProvSignerFromChain) provSignerFromChain;
  decltype(&::WinVerifyTrust) winVerifyTrust;
  decltype(&::CertNameToStrW) certNameToStr;
};

namespace {

constexpr DWORD kSubjectCharacters = 512;
// What a fault inside WinTrust reads as: the check failed.
constexpr LONG kFaultStatus = TRUST_E_SYSTEM_ERROR;

int ResultOfStatus(LONG status) {
  switch (status) {
    case ERROR_SUCCESS: return kSignatureValid;
    case TRUST_E_NOSIGNATURE: return kSignatureNone;
    case CERT_E_EXPIRED: return kSignatureExpired;
    case CERT_E_REVOKED: return kSignatureRevoked;
    case TRUST_E_EXPLICIT_DISTRUST: return kSignatureDistrusted;
    default: return kSignatureInvalid;
  }
}

// Catalog members are named by their hash in upper-case hexadecimal.
std::wstring MemberTag(const std::vector<BYTE>& hash) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring tag;
  for (BYTE b : hash) {
    tag += kDigits[b >> 4];
    tag += kDigits[b & 0x0F];
  }
  return tag;
}

bool IsVista() {
  OSVERSIONINFOW version = {};
  return GetOsVersion(version) && version.dwMajorVersion > 5;
}

}  // namespace

WinTrustApi::WinTrustApi() : isVista_(IsVista()) {}

WinTrustApi::~WinTrustApi() = default;

bool WinTrustApi::Bind() {
  if (functions_) return true;
  HMODULE wintrust = LoadSystemLibrary(L"wintrust.dll");
  HMODULE crypt32 = LoadSystemLibrary(L"crypt32.dll");
  if (!wintrust || !crypt32) return false;
  Functions f = {};
  const bool all = BindExport(wintrust, "CryptCATAdminCalcHashFromFileHandle", f.calcHashFromFileHandle) &&
                   BindExport(wintrust, "CryptCATAdminAcquireContext", f.adminAcquireContext) &&
                   BindExport(wintrust, "CryptCATAdminEnumCatalogFromHash", f.adminEnumCatalogFromHash) &&
                   BindExport(wintrust, "CryptCATCatalogInfoFromContext", f.catalogInfoFromContext) &&
                   BindExport(wintrust, "CryptCATAdminReleaseCatalogContext", f.adminReleaseCatalogContext) &&
                   BindExport(wintrust, "CryptCATAdminReleaseContext", f.adminReleaseContext) &&
                   BindExport(wintrust, "WTHelperProvDataFromStateData", f.provDataFromStateData) &&
                   BindExport(wintrust, "WTHelperGetProvSignerFromChain", f.provSignerFromChain) &&
                   BindExport(wintrust, "WinVerifyTrust", f.winVerifyTrust) &&
                   BindExport(crypt32, "CertNameToStrW", f.certNameToStr);
  if (!all) return false;
  functions_ = std::make_unique<Functions>(f);
  return true;
}

int WinTrustApi::Verify(const std::wstring& path, std::wstring& signer, HANDLE heldFile) {
  signer.clear();
  if (path.empty() || !Bind()) return kSignatureNotChecked;
  const int result = VerifyEmbedded(path, heldFile, signer);
  if (result != kSignatureNone) return result;
  return VerifyByCatalog(path, heldFile, signer);
}

int WinTrustApi::VerifyEmbedded(const std::wstring& path, HANDLE heldFile, std::wstring& signer) {
  WINTRUST_FILE_INFO file = {};
  file.cbStruct = sizeof(file);
  file.pcwszFilePath = path.c_str();
  file.hFile = heldFile;

  WINTRUST_DATA data = {};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &file;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = isVista_ ? (WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_HASH_ONLY_FLAG | WTD_SAFER_FLAG)
                              : (WTD_SAFER_FLAG | WTD_REVOCATION_CHECK_NONE);
  return ResultOfStatus(VerifyAndReadSigner(WINTRUST_ACTION_GENERIC_VERIFY_V2, &data, signer));
}

LONG WinTrustApi::VerifyAndReadSigner(GUID action, void* data, std::wstring& signer) {
  auto* trust = static_cast<WINTRUST_DATA*>(data);
  const auto winVerifyTrust = functions_->winVerifyTrust;
  HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
  const LONG status = GuardedResult(kFaultStatus, [&] { return winVerifyTrust(noWindow, &action, trust); });
  if (status != TRUST_E_NOSIGNATURE) signer = SignerOfState(trust->hWVTStateData);
  trust->dwStateAction = WTD_STATEACTION_CLOSE;
  RunGuarded([&] { winVerifyTrust(noWindow, &action, trust); });
  return status;
}

std::wstring WinTrustApi::SignerOfState(HANDLE state) {
  const Functions& f = *functions_;
  wchar_t subject[kSubjectCharacters] = {};
  bool named = false;
  RunGuarded([&] {
    CRYPT_PROVIDER_DATA* provider = f.provDataFromStateData(state);
    CRYPT_PROVIDER_SGNR* signerInfo = provider ? f.provSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    if (!signerInfo || signerInfo->csCertChain == 0 || !signerInfo->pasCertChain) return;
    PCCERT_CONTEXT certificate = signerInfo->pasCertChain[0].pCert;
    if (!certificate || !certificate->pCertInfo) return;
    CERT_NAME_BLOB* name = &certificate->pCertInfo->Subject;
    // A subject that does not fit gives no name rather than a cut one.
    const DWORD needed = f.certNameToStr(X509_ASN_ENCODING, name, CERT_X500_NAME_STR, nullptr, 0);
    if (needed <= 1 || needed > kSubjectCharacters) return;
    named = f.certNameToStr(X509_ASN_ENCODING, name, CERT_X500_NAME_STR, subject, kSubjectCharacters) > 1;
  });
  subject[kSubjectCharacters - 1] = L'\0';
  return named ? SignerNameFromSubject(subject) : std::wstring();
}

bool WinTrustApi::CatalogHash(const std::wstring& path, HANDLE heldFile, std::vector<BYTE>& hash) {
  ScopedHandle opened;
  if (!heldFile) opened = OpenFileHandle(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
  HANDLE handle = heldFile ? heldFile : opened.Get();
  LARGE_INTEGER size = {};
  if (!ScopedHandle::IsValidHandle(handle) || !::GetFileSizeEx(handle, &size)) return false;
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxCatalogFileSize) return false;

  const auto calcHash = functions_->calcHashFromFileHandle;
  hash.assign(256, 0);
  DWORD hashSize = 256;
  BYTE* buffer = hash.data();
  if (!GuardedResult(FALSE, [&] { return calcHash(handle, &hashSize, buffer, 0); })) {
    if (hashSize == 0 || hashSize <= 256) return false;
    hash.assign(hashSize, 0);
    buffer = hash.data();
    if (!GuardedResult(FALSE, [&] { return calcHash(handle, &hashSize, buffer, 0); })) return false;
  }
  hash.resize(hashSize < hash.size() ? hashSize : hash.size());
  return !hash.empty();
}

int WinTrustApi::VerifyByCatalog(const std::wstring& path, HANDLE heldFile, std::wstring& signer) {
  std::vector<BYTE> hash;
  if (!CatalogHash(path, heldFile, hash)) return kSignatureNone;

  const Functions& f = *functions_;
  HCATADMIN admin = nullptr;
  GUID driverAction = DRIVER_ACTION_VERIFY;
  if (!GuardedResult(FALSE, [&] { return f.adminAcquireContext(&admin, &driverAction, 0); }) || !admin) {
    return kSignatureNone;
  }
  LONG status = TRUST_E_NOSIGNATURE;
  BYTE* hashBytes = hash.data();
  const DWORD hashSize = static_cast<DWORD>(hash.size());
  HCATINFO catalog = GuardedResult(HCATINFO{nullptr}, [&] {
    return f.adminEnumCatalogFromHash(admin, hashBytes, hashSize, 0, nullptr);
  });
  if (catalog) {
    status = VerifyCatalogMember(catalog, path, heldFile, hash, signer);
    RunGuarded([&] { f.adminReleaseCatalogContext(admin, catalog, 0); });
  }
  RunGuarded([&] { f.adminReleaseContext(admin, 0); });
  return ResultOfStatus(status);
}

LONG WinTrustApi::VerifyCatalogMember(HANDLE catalog, const std::wstring& path, HANDLE heldFile,
                                      const std::vector<BYTE>& hash, std::wstring& signer) {
  const Functions& f = *functions_;
  CATALOG_INFO info = {};
  info.cbStruct = sizeof(info);
  if (!GuardedResult(FALSE, [&] { return f.catalogInfoFromContext(catalog, &info, 0); })) {
    return TRUST_E_NOSIGNATURE;
  }
  info.wszCatalogFile[MAX_PATH - 1] = L'\0';
  const std::wstring tag = MemberTag(hash);

  WINTRUST_CATALOG_INFO member = {};
  member.cbStruct = sizeof(member);
  member.dwCatalogVersion = 0;
  member.pcwszCatalogFilePath = info.wszCatalogFile;
  member.pcwszMemberTag = tag.c_str();
  member.pcwszMemberFilePath = path.c_str();
  member.hMemberFile = heldFile;

  WINTRUST_DATA data = {};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
  data.dwUnionChoice = WTD_CHOICE_CATALOG;
  data.pCatalog = &member;
  data.dwStateAction = WTD_STATEACTION_VERIFY;
  data.dwProvFlags = isVista_ ? (WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_HASH_ONLY_FLAG) : WTD_REVOCATION_CHECK_NONE;
  return VerifyAndReadSigner(DRIVER_ACTION_VERIFY, &data, signer);
}

}  // namespace Kx
