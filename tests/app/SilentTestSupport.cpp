#include "tests/app/SilentTestSupport.h"

#include "app/DownloadNotification.h"
#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "download/KxHttpFile.h"
#include "download/KxInternetSession.h"
#include "base/PathUtil.h"
#include "base/ProtectedFolder.h"
#include "base/StringUtil.h"
#include "tests/support/TestServer.h"
#include "verify/SignatureResult.h"
#include "verify/WinTrustApi.h"
#include "verify/SignerVerifier.h"

namespace zelk::test {

namespace {

constexpr UINT kDrainMessage = WM_APP + 7;
const wchar_t kWindowClass[] = L"ZelkSilentTestWindow";
// The test leaf that signs installer copies (make-certs.sh's keep:mobile).
const wchar_t kInstallerSigningLeaf[] = L"mobile";
constexpr size_t kAddressSlot = 129;

std::string AddressSlotBytes(std::wstring url) {
  url.resize(kAddressSlot, L' ');
  return std::string(reinterpret_cast<const char*>(url.data()), url.size() * sizeof(wchar_t));
}

bool SetAddress(std::string& installer, const std::wstring& url) {
  const std::string built = AddressSlotBytes(ZELK_TEST_PACKAGE_URL);
  const size_t at = installer.find(built);
  if (url.size() > kAddressSlot || at == std::string::npos) return false;
  installer.replace(at, built.size(), AddressSlotBytes(url));
  return true;
}

// The first block of an answer's body: the server's complaint.
std::string AnswerText(Kx::KxHttpFile& answer) {
  std::string text(Kx::KxHttpFile::kBlockSize, '\0');
  DWORD read = 0;
  if (!answer.IsOpen() || !answer.ReadBlock(&text[0], read)) return "no answer";
  text.resize(read);
  return text;
}

// Has the test server sign `bytes` with the kept installer leaf (the
// signing tool only runs outside Wine): the file goes to the server's
// folder, is signed there in place and is read back.
bool SignBytes(std::string& bytes) {
  static unsigned sequence = 0;
  const std::wstring name = L"signing_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                            std::to_wstring(++sequence) + L".exe";
  const std::wstring served = TestServer::FilesDir() + L"\\" + name;
  CreateDirectoryW(TestServer::FilesDir().c_str(), nullptr);
  if (!WriteFileBytes(served, bytes)) return false;

  Kx::KxInternetSession session;
  Kx::KxHttpFile request;
  const bool answered =
      session.Open() && request.Post(session, TestServer::Url(L"/sign/" + name + L"?leaf=" + kInstallerSigningLeaf),
                                     WideToUtf8(BinDir() + L"\\silent_fixtures\\signing"), L"", L"");
  const bool signedThere = answered && request.QueryStatusCode() == HTTP_STATUS_OK;
  const bool read = signedThere && ReadFileBytes(served, bytes);
  DeleteFileW(served.c_str());
  EXPECT_TRUE(read) << "the test server did not sign " << WideToUtf8(name) << ": " << AnswerText(request);
  return read;
}

// What WinTrust says of the copy must be what `signing` promised, or the
// case would not test what it claims.
void ExpectSignature(const std::wstring& path, InstallerSigning signing) {
  Kx::WinTrustApi winTrust;
  std::wstring signer;
  const int result = winTrust.Verify(path, signer);
  switch (signing) {
    case InstallerSigning::kListedPublisher:
      EXPECT_EQ(Kx::kSignatureValid, result);
      EXPECT_EQ(kInstallerSigner, signer);
      break;
    case InstallerSigning::kUnsigned:
      EXPECT_EQ(Kx::kSignatureNone, result);
      break;
    case InstallerSigning::kAlteredAfterSigning:
      EXPECT_EQ(Kx::kSignatureInvalid, result);
      break;
  }
}

}  // namespace

std::wstring SilentFixture(const std::wstring& name) { return BinDir() + L"\\silent_fixtures\\" + name; }

MessageWindow::MessageWindow() {
  InitializeCriticalSection(&lock_);
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  drained_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, &MessageWindow::ThreadProc, this, 0, nullptr);
  if (thread_ != nullptr) WaitForSingleObject(ready_, 30000);
}

MessageWindow::~MessageWindow() {
  if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (thread_ != nullptr) {
    WaitForSingleObject(thread_, 30000);
    CloseHandle(thread_);
  }
  CloseHandle(ready_);
  CloseHandle(drained_);
  DeleteCriticalSection(&lock_);
}

DWORD WINAPI MessageWindow::ThreadProc(void* self) {
  auto* const owner = static_cast<MessageWindow*>(self);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = &MessageWindow::WindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kWindowClass;
  RegisterClassW(&windowClass);  // fails harmlessly when a former window registered it
  owner->window_ = CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  if (owner->window_ != nullptr) SetWindowLongPtrW(owner->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  SetEvent(owner->ready_);
  if (owner->window_ == nullptr) return 1;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  return 0;
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* const owner = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_INSTALLER_DOWNLOAD:
    case WM_INSTALLER_STAGE:
      if (owner != nullptr) owner->Record(message, wParam, lParam);
      return 0;
    case kDrainMessage:
      if (owner != nullptr) SetEvent(owner->drained_);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

void MessageWindow::Record(UINT message, WPARAM wParam, LPARAM lParam) {
  ReceivedMessage received;
  received.message = message;
  received.wParam = wParam;
  received.lParam = lParam;
  if (message == WM_INSTALLER_DOWNLOAD) {
    const std::unique_ptr<DownloadNotification> notification = TakeDownloadNotification(wParam);
    received.state = notification->state;
    received.total = notification->total;
    received.done = notification->done;
    received.success = notification->success;
    received.path = notification->path;
  }
  EnterCriticalSection(&lock_);
  received_.push_back(received);
  LeaveCriticalSection(&lock_);
}

std::vector<ReceivedMessage> MessageWindow::Drain() {
  // Posted messages are handled in order: once this one is, all before it are.
  if (window_ != nullptr && PostMessageW(window_, kDrainMessage, 0, 0)) WaitForSingleObject(drained_, 30000);
  EnterCriticalSection(&lock_);
  std::vector<ReceivedMessage> all;
  all.swap(received_);
  LeaveCriticalSection(&lock_);
  return all;
}

ProductSandbox::ProductSandbox() : path_(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelkPic", L"Path") {
  RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelkPic", L"Path");
  Kx::DeleteTree(DefaultInstallDir(32));
  Kx::DeleteTree(PackageFolder());
  log_ = temp_.Join(L"demo.log");
  SetEnvironmentVariableW(L"ZELK_DEMO_LOG", log_.c_str());
}

ProductSandbox::~ProductSandbox() {
  SetEnvironmentVariableW(L"ZELK_DEMO_LOG", nullptr);
  Kx::DeleteTree(DefaultInstallDir(32));
  Kx::DeleteTree(PackageFolder());
}

SignedInstallerScope::SignedInstallerScope()
    : module_(LoadLibraryExW(SilentFixture(L"product_10.10.0.0.exe").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {
  Kx::SignerVerifier::Instance().SetInstallerModule(module_);
}

SignedInstallerScope::~SignedInstallerScope() {
  Kx::SignerVerifier::Instance().SetInstallerModule(nullptr);
  if (module_ != nullptr) FreeLibrary(module_);
}

std::wstring ProductSandbox::InstallEditor(const std::wstring& product) {
  const std::wstring folder = temp_.Join(L"installed");
  CreateDirectoryW(folder.c_str(), nullptr);
  CopyFileW(product.c_str(), (folder + L"\\ZelkPdfEditor.exe").c_str(), FALSE);
  RecordFolder(folder);
  return folder;
}

void ProductSandbox::RecordFolder(const std::wstring& folder) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelkPic", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
}

std::string ProductSandbox::Log() const {
  std::string text;
  ReadFileBytes(log_, text);
  return text;
}

bool RepointedInstaller(const std::wstring& folder, const std::wstring& name, const std::wstring& url,
                        std::wstring& path, InstallerSigning signing) {
  std::string bytes;
  if (!ReadFileBytes(BinDir() + L"\\" + ZELK_INSTALLER_EXE, bytes)) return false;
  // The signature covers the version resource, so the address goes in first.
  if (signing == InstallerSigning::kAlteredAfterSigning && !SignBytes(bytes)) return false;
  if (!SetAddress(bytes, url)) return false;
  if (signing == InstallerSigning::kListedPublisher && !SignBytes(bytes)) return false;
  path = folder + L"\\" + name;
  if (!WriteFileBytes(path, bytes)) return false;
  ExpectSignature(path, signing);
  return true;
}

// Windows names a program's file as the disk spells its folders: case is ignored.
bool RanFromRunFolder(const std::string& log, const std::wstring& file) {
  const std::string key = "package: file ";
  const size_t at = log.find(key);
  std::wstring systemTemp;
  if (at == std::string::npos || !Kx::ProtectedFolder::SystemTempFolder(systemTemp)) return false;
  const size_t start = at + key.size();
  const std::wstring logged = zelk::test::Utf8ToWide(log.substr(start, log.find("\r\n", start) - start));
  const std::wstring prefix = systemTemp + L"\\ZelkPic.";
  const std::wstring folder = logged.substr(0, logged.size() - Kx::FileNameOf(logged).size());
  return Kx::EqualsNoCase(logged.substr(0, prefix.size()), prefix) && Kx::FileNameOf(logged) == file &&
         folder.find(L'\\', prefix.size()) == folder.size() - 1;
}

bool ServeFile(const std::wstring& file, const std::wstring& name) {
  const std::wstring served = TestServer::FilesDir() + L"\\" + name;
  CreateDirectoryW(TestServer::FilesDir().c_str(), nullptr);
  return CopyFileW(file.c_str(), served.c_str(), FALSE) != FALSE;
}

}  // namespace zelk::test
