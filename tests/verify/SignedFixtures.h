// The signed files made at build time by tests/verify/make-certs.sh, and
// the test root they chain to, which is put into the machine's Root store
// for the run and taken out again at its end (when it was not there before).
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace zelk::test {

inline std::wstring SignedFixture(const std::wstring& name) { return BinDir() + L"\\verify_fixtures\\" + name; }

class TestRootEnvironment : public testing::Environment {
 public:
  // `folder`: the folder beside the test program whose test_root.cer (made
  // by another run of make-certs.sh) is to be trusted.
  explicit TestRootEnvironment(std::wstring folder = L"verify_fixtures") : folder_(std::move(folder)) {}

  void SetUp() override {
    std::string der;
    ASSERT_TRUE(ReadFileBytes(BinDir() + L"\\" + folder_ + L"\\test_root.cer", der)) << "fixtures missing";
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_NE(nullptr, store);
    PCCERT_CONTEXT added = nullptr;
    const auto* bytes = reinterpret_cast<const BYTE*>(der.data());
    // CERT_STORE_ADD_NEW fails with CRYPT_E_EXISTS when a run left it behind.
    if (CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, bytes, static_cast<DWORD>(der.size()),
                                         CERT_STORE_ADD_NEW, &added)) {
      addedByUs_ = true;
    } else {
      ASSERT_EQ(static_cast<DWORD>(CRYPT_E_EXISTS), GetLastError());
    }
    BYTE thumbprint[20] = {};
    DWORD size = sizeof(thumbprint);
    PCCERT_CONTEXT context = added ? added : CertCreateCertificateContext(X509_ASN_ENCODING, bytes,
                                                                         static_cast<DWORD>(der.size()));
    if (context && CertGetCertificateContextProperty(context, CERT_SHA1_HASH_PROP_ID, thumbprint, &size)) {
      static const wchar_t kDigits[] = L"0123456789ABCDEF";
      for (DWORD i = 0; i < size; ++i) {
        thumbprint_ += kDigits[thumbprint[i] >> 4];
        thumbprint_ += kDigits[thumbprint[i] & 15];
      }
    }
    if (context) CertFreeCertificateContext(context);
    CertCloseStore(store, 0);
  }

  // The system store provider offers no removal of machine roots under
  // Wine; the store lives in the registry, one key per thumbprint.
  void TearDown() override {
    if (!addedByUs_ || thumbprint_.empty()) return;
    const std::wstring key = L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\" + thumbprint_;
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
  }

 private:
  std::wstring folder_;
  bool addedByUs_ = false;
  std::wstring thumbprint_;
};

// One environment for the whole test program, whichever files include this.
inline testing::Environment* const g_testRoot = testing::AddGlobalTestEnvironment(new TestRootEnvironment);

}  // namespace zelk::test
