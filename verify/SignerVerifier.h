// Decides whether a downloaded package may run: its Authenticode signer
// must be one of the maker's publishers, or the publisher that signed the
// installer itself.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"
#include "verify/SignatureResult.h"
#include "verify/SignerCache.h"

namespace Kx {

class WinTrustApi;

class SignerVerifier {
 public:
  // The process-wide verifier, created on first use and destroyed at exit.
  static SignerVerifier& Instance();

  // Whether the file may be run:
  //  - it carries a valid or expired signature of a listed publisher
  //    (names compared exactly, case included); or
  //  - it carries a valid or expired signature whose signer name equals
  //    the installer's own signer name; or
  //  - the installer itself carries no signature at all (a development
  //    build), as WinTrust says.
  // A check that could not run, an installer file that could not be
  // opened, or a broken signature on the installer never counts as "the
  // installer is unsigned".
  bool IsTrustedFile(const std::wstring& path);

  // Opens the installer's file and holds it without write or delete sharing
  // until the installer module changes or the process ends. WinTrust is
  // asked about it once, through that handle, when a check first needs the
  // installer's signer (a package of a listed publisher never does): that
  // answer stands for the rest of the run, whatever is done to the path
  // meanwhile. Called at start, so that the file is held before anyone can
  // change it; the first check does it otherwise. The start does not wait
  // for WinTrust, which takes longer than the whole window does to appear.
  void HoldInstallerFile();

  // A SignatureResult and the signer name: from the cache when it holds a
  // current answer, else from WinTrust (and then remembered).
  int GetSigner(const std::wstring& path, std::wstring& signer);

  // The module whose file stands for the installer; null (the default)
  // means the process executable. Lets go of the file held for the former.
  void SetInstallerModule(HMODULE module);

  // The cache, e.g. to give it a file.
  SignerCache& Cache() { return cache_; }

  // The trusted publishers, in order.
  static const std::vector<std::wstring>& TrustedPublishers();
  static bool IsTrustedPublisher(const std::wstring& signer);

  ~SignerVerifier();
  SignerVerifier(const SignerVerifier&) = delete;
  SignerVerifier& operator=(const SignerVerifier&) = delete;

 private:
  SignerVerifier();
  // The installer's file as opened once, and WinTrust's answer about it.
  struct InstallerSignature {
    bool held = false;
    bool checked = false;
    std::wstring path;
    ScopedHandle file;
    int result = kSignatureNotChecked;
    std::wstring signer;
  };

  std::wstring InstallerPath() const;
  // Under lock_.
  void HoldInstallerFileLocked();
  const InstallerSignature& DecideInstallerSignature();
  bool IsTrustedThroughInstaller(const std::wstring& path, int result, std::wstring signer);

  CriticalSection lock_;
  HMODULE installerModule_ = nullptr;
  InstallerSignature installer_;
  std::unique_ptr<WinTrustApi> winTrust_;
  SignerCache cache_;
};

}  // namespace Kx
