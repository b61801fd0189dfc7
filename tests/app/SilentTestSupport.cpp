#include "tests/app/SilentTestSupport.h"

#include "app/DownloadNotification.h"
#include "app/InstallFlow.h"
#include "app/InstalledProduct.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/ProtectedFolder.h"
#include "base/StringUtil.h"
#include "tests/support/TestServer.h"

namespace zelk::test {

namespace {

constexpr UINT kDrainMessage = WM_APP + 7;
const wchar_t kWindowClass[] = L"ZelkSilentTestWindow";

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

std::wstring ProductSandbox::InstallEditor(const std::wstring& product) {
  const std::wstring folder = temp_.Join(L"installed");
  CreateDirectoryW(folder.c_str(), nullptr);
  CopyFileW(product.c_str(), (folder + L"\\ZelkPdfEditor.exe").c_str(), FALSE);
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\ZelkPic", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  return folder;
}

std::string ProductSandbox::Log() const {
  std::string text;
  ReadFileBytes(log_, text);
  return text;
}

bool RepointedInstaller(const std::wstring& folder, const std::wstring& name, const std::wstring& url,
                        std::wstring& path) {
  constexpr size_t kSlot = 129;
  if (url.size() > kSlot) return false;
  std::string bytes;
  if (!ReadFileBytes(BinDir() + L"\\" + ZELK_INSTALLER_EXE, bytes)) return false;
  const auto utf16 = [](std::wstring text) {
    text.resize(kSlot, L' ');
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  };
  const std::string built = utf16(ZELK_TEST_PACKAGE_URL);
  const size_t at = bytes.find(built);
  if (at == std::string::npos) return false;
  bytes.replace(at, built.size(), utf16(url));
  path = folder + L"\\" + name;
  return WriteFileBytes(path, bytes);
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
