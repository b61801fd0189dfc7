#include "verify/SignerVerifier.h"

#include "base/FileUtil.h"
#include "verify/WinTrustApi.h"

namespace Kx {
namespace {

bool IsSignatureAccepted(int result) { return result == kSignatureValid || result == kSignatureExpired; }

}  // namespace

SignerVerifier& SignerVerifier::Instance() {
  static SignerVerifier verifier;  // created once, under the compiler's own guard
  return verifier;
}

SignerVerifier::SignerVerifier() = default;
SignerVerifier::~SignerVerifier() = default;

const std::vector<std::wstring>& SignerVerifier::TrustedPublishers() {
  static const std::vector<std::wstring> publishers = {
      L"上海岚岫信息科技服务工作室",
      L"Shanghai Zelk Mobile Technology Co., Ltd.",
      L"Shanghai Zelk Network Technology Co.,Ltd",
      L"zelkpdf.com",
      L"上海泽珂网络科技股份有限公司",
      L"Ningbo Talvor Intelligent Technology Co., Ltd.",
  };
  return publishers;
}

bool SignerVerifier::IsTrustedPublisher(const std::wstring& signer) {
  for (const auto& publisher : TrustedPublishers()) {
    if (signer == publisher) return true;
  }
  return false;
}

void SignerVerifier::SetInstallerModule(HMODULE module) {
  CriticalSectionLock lock(lock_);
  installerModule_ = module;
}

int SignerVerifier::GetSigner(const std::wstring& path, std::wstring& signer) {
  CriticalSectionLock lock(lock_);
  signer.clear();
  const int cached = cache_.Lookup(path, signer);
  if (cached == kSignatureNone || cached == kSignatureValid || cached == kSignatureExpired) return cached;

  if (!winTrust_) winTrust_ = std::make_unique<WinTrustApi>();
  const int result = winTrust_->Verify(path, signer);
  if (result != kSignatureNotChecked) cache_.Store(result, path, signer);
  return result;
}

bool SignerVerifier::IsTrustedFile(const std::wstring& path) {
  if (path.empty() || !FileExists(path)) return false;
  CriticalSectionLock lock(lock_);
  std::wstring signer;
  const int result = GetSigner(path, signer);
  if (IsSignatureAccepted(result) && IsTrustedPublisher(signer)) return true;
  return IsTrustedThroughInstaller(path, result, signer);
}

bool SignerVerifier::IsTrustedThroughInstaller(const std::wstring& path, int result, std::wstring signer) {
  const std::wstring installer = InstallerPath();
  std::wstring ownSigner;
  int ownResult = GetSigner(installer, ownSigner);
  // The match needs a signature that verified: a self-signed or altered
  // file can carry any name, the installer's included.
  if (!ownSigner.empty() && ownSigner == signer && IsSignatureAccepted(result)) return true;

  if (!ownSigner.empty() && !cache_.CacheFile().empty()) {
    // A remembered answer may be stale: ask WinTrust again about both.
    // (Without a cache file both answers came from WinTrust just now.)
    cache_.Forget(path);
    cache_.Forget(installer);
    result = GetSigner(path, signer);
    ownResult = GetSigner(installer, ownSigner);
  }
  if (ownSigner.empty()) {
    // Only an installer that WinTrust found unsigned lets every file run;
    // an unusable WinTrust or a broken signature proves nothing.
    return ownResult == kSignatureNone;
  }
  return ownSigner == signer && IsSignatureAccepted(result);
}

std::wstring SignerVerifier::InstallerPath() const {
  wchar_t path[520] = {};
  const DWORD length = ::GetModuleFileNameW(installerModule_, path, 520);
  if (length == 0 || length >= 520) return {};
  return std::wstring(path, length);
}

}  // namespace Kx
