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
  installer_ = InstallerSignature();
}

void SignerVerifier::HoldInstallerFile() {
  CriticalSectionLock lock(lock_);
  HoldInstallerFileLocked();
}

void SignerVerifier::HoldInstallerFileLocked() {
  if (installer_.held) return;
  installer_.held = true;
  installer_.path = InstallerPath();
  // Read sharing only: the file cannot be written, replaced or renamed
  // while it is held, so one answer about it stays true of it.
  installer_.file = OpenFileHandle(installer_.path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, 0);
}

const SignerVerifier::InstallerSignature& SignerVerifier::DecideInstallerSignature() {
  HoldInstallerFileLocked();
  if (installer_.checked) return installer_;
  installer_.checked = true;
  if (!installer_.file) return installer_;  // not checked, which is never "unsigned"
  if (!winTrust_) winTrust_ = std::make_unique<WinTrustApi>();
  installer_.result = winTrust_->Verify(installer_.path, installer_.signer, installer_.file.Get());
  return installer_;
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
  const InstallerSignature& own = DecideInstallerSignature();
  if (own.signer.empty()) {
    // Only an installer file that WinTrust found unsigned lets every file
    // run; an unusable WinTrust or a broken signature proves nothing.
    return own.result == kSignatureNone;
  }
  // The match needs a signature that verified: a self-signed or altered
  // file can carry any name, the installer's included.
  if (own.signer == signer && IsSignatureAccepted(result)) return true;

  if (!cache_.CacheFile().empty()) {
    // A remembered answer may be stale: ask WinTrust again. (Without a
    // cache file the answer came from WinTrust just now.)
    cache_.Forget(path);
    result = GetSigner(path, signer);
  }
  return own.signer == signer && IsSignatureAccepted(result);
}

std::wstring SignerVerifier::InstallerPath() const {
  wchar_t path[520] = {};
  const DWORD length = ::GetModuleFileNameW(installerModule_, path, 520);
  if (length == 0 || length >= 520) return {};
  return std::wstring(path, length);
}

}  // namespace Kx
