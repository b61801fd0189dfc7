// What the install-flow tests share: the signed demo product builds, a
// window on its own thread that receives the installer's messages, the
// product's registry value and folders put back after each case, the demo
// log, and installer copies re-pointed at the test server.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/base/ScopedRegistryValue.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {

// bin\silent_fixtures\<name>: product_<version>.exe signed by a listed
// publisher, product_unlisted.exe by an unlisted one, product_unsigned.exe
// not signed.
std::wstring SilentFixture(const std::wstring& name);

// One message the window received, with the notification record's fields
// copied out before the receiver freed it.
struct ReceivedMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  int state = -1;
  unsigned long long total = 0;
  unsigned long long done = 0;
  bool success = false;
  std::wstring path;
};

// A real top-level window (hidden) with its own thread and message loop,
// standing for the installer window: it takes and frees every download
// notification it is posted.
class MessageWindow {
 public:
  MessageWindow();
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;

  HWND Handle() const { return window_; }
  // Waits until every message posted before this call has been handled,
  // then returns them all (and forgets them).
  std::vector<ReceivedMessage> Drain();

 private:
  static DWORD WINAPI ThreadProc(void* self);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Record(UINT message, WPARAM wParam, LPARAM lParam);

  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  HANDLE drained_ = nullptr;
  HWND window_ = nullptr;
  CRITICAL_SECTION lock_;
  std::vector<ReceivedMessage> received_;
};

// Puts the product's registry value, its default folder, the package folder
// and the demo log back as they were; sets ZELK_DEMO_LOG to a fresh log file
// for the case.
class ProductSandbox {
 public:
  ProductSandbox();
  ~ProductSandbox();
  ProductSandbox(const ProductSandbox&) = delete;
  ProductSandbox& operator=(const ProductSandbox&) = delete;

  // Installs `product` as the editor in a folder of its own and records it.
  std::wstring InstallEditor(const std::wstring& product);
  // Sets the product's "Path" value to `folder` as it is.
  void RecordFolder(const std::wstring& folder);
  std::string Log() const;
  const ScopedTempDir& Temp() const { return temp_; }

 private:
  ScopedTempDir temp_;
  ScopedRegistryValue path_;
  std::wstring log_;
};

// The folder the demo package installs into when given no path, and the one
// page 502 offers: the 32-bit program files folder, which is "Program Files
// (x86)" for a 32-bit program on 64-bit Windows.
#ifdef _WIN64
constexpr wchar_t kExpectedDefaultInstallDir[] = L"C:\\Program Files\\ZelkSoft\\ZelkPic";
#else
constexpr wchar_t kExpectedDefaultInstallDir[] = L"C:\\Program Files (x86)\\ZelkSoft\\ZelkPic";
#endif

// How the installer copy that a test runs carries its signature.
enum class InstallerSigning {
  // Signed after its address was set, by the listed test publisher (as users
  // get it): the real trust rules apply.
  kListedPublisher,
  // As the build makes it: an unsigned installer lets any package run.
  kUnsigned,
  // Signed by the listed publisher and then given its address, which the
  // signature covers: the signature no longer verifies.
  kAlteredAfterSigning,
};

// The listed test publisher whose key make-certs.sh keeps for signing later.
constexpr wchar_t kInstallerSigner[] = L"Shanghai Zelk Mobile Technology Co., Ltd.";

// For its lifetime the signer check takes the listed publisher's
// product_10.10.0.0.exe for the installer: then only trusted signers pass.
class SignedInstallerScope {
 public:
  SignedInstallerScope();
  ~SignedInstallerScope();
  SignedInstallerScope(const SignedInstallerScope&) = delete;
  SignedInstallerScope& operator=(const SignedInstallerScope&) = delete;
  bool Loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

// Copies the test build's installer to `folder`\`name` with its package
// address (the version resource's fixed 129-character slot) replaced and
// signed as `signing` says.
bool RepointedInstaller(const std::wstring& folder, const std::wstring& name, const std::wstring& url,
                        std::wstring& path, InstallerSigning signing = InstallerSigning::kListedPublisher);

// Whether the demo log names `file` as the package that ran from one of the
// installer's run folders under the Windows folder's Temp.
bool RanFromRunFolder(const std::string& log, const std::wstring& file);

// Places `file` where the test server gives it out as /files/<name>.
bool ServeFile(const std::wstring& file, const std::wstring& name);

}  // namespace zelk::test
