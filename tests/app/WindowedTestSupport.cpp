#include "tests/app/WindowedTestSupport.h"

#include <gdiplus.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>

#include "tests/miniui/core/support/SyntheticInput.h"
#include "tests/support/ScreenCapture.h"

namespace zelk::test {

namespace {

void SendMouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof(input));
}

void MakeForeground(HWND window) {
  if (GetForegroundWindow() == window) return;
  SetForegroundWindow(window);
  PumpUntil([&] { return GetForegroundWindow() == window; }, 2000);
}

// GDI+ for one screenshot; the framework's own start-up, when there is
// one, is counted separately by GDI+.
class GdiplusScope {
 public:
  GdiplusScope() {
    Gdiplus::GdiplusStartupInput input;
    started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusScope() {
    if (started_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusScope(const GdiplusScope&) = delete;
  GdiplusScope& operator=(const GdiplusScope&) = delete;
  bool Started() const { return started_; }

 private:
  ULONG_PTR token_ = 0;
  bool started_ = false;
};

}  // namespace

HWND FindInstallerWindow(DWORD pid, LayoutSize size) {
  return FindTopLevelWindow(pid, [size](HWND window) {
    if (!IsWindowVisible(window)) return false;
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (std::wcscmp(caption, kInstallerCaption) != 0) return false;
    RECT client{};
    GetClientRect(window, &client);
    return client.right == size.width && client.bottom == size.height;
  });
}

HWND WaitForInstallerWindow(DWORD pid, LayoutSize size, DWORD timeoutMs) {
  HWND found = nullptr;
  PumpUntil([&] { return (found = FindInstallerWindow(pid, size)) != nullptr; }, timeoutMs);
  return found;
}

bool WaitForNoInstallerWindow(DWORD pid, LayoutSize size, DWORD timeoutMs) {
  return PumpUntil([&] { return FindInstallerWindow(pid, size) == nullptr; }, timeoutMs);
}

void ClickAt(HWND window, int x, int y) {
  POINT screen{x, y};
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  PumpFor(100);
  // Held a moment, as a hand does: a press on a window's free area starts
  // the system's move loop, and under Wine that loop only ends on a
  // button-up that comes after it has started.
  SendMouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(250);
  SendMouseButton(MOUSEEVENTF_LEFTUP);
  PumpFor(150);
}

void PressKey(HWND window, WORD key) {
  MakeForeground(window);
  SendKeyStroke(key);
  PumpFor(150);
}

void TypeText(HWND window, const std::wstring& text) {
  MakeForeground(window);
  for (const wchar_t c : text) {
    const SHORT key = VkKeyScanW(c);
    SendKeyStroke(LOBYTE(key), (HIBYTE(key) & 1) ? kShift : kNoModifier);
    PumpFor(15);
  }
  PumpFor(100);
}

bool SaveScreenshotAs(HWND window, const std::wstring& path) {
  RECT rect{};
  if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top) return false;
  const GdiplusScope gdiplus;
  return gdiplus.Started() && ScreenCapture(rect).SavePng(path);
}

std::wstring SaveScreenshot(HWND window, const std::wstring& name) {
  const std::wstring path = BinDir() + L"\\" + name + L".png";
  return SaveScreenshotAs(window, path) ? path : L"";
}

FakeBrowser::FakeBrowser() : installed_(HKEY_LOCAL_MACHINE, L"SOFTWARE\\BrenvikChrome", L"Path") {
  const std::wstring folder = dir_.Join(L"Browser");
  CreateDirectoryW(folder.c_str(), nullptr);
  exe_ = folder + L"\\BrenvikChrome.exe";
  record_ = exe_ + L".args";
  EXPECT_TRUE(CopyFileW((BinDir() + L"\\base_recorder.exe").c_str(), exe_.c_str(), FALSE));
  EXPECT_TRUE(installed_.SetText(folder));
}

std::wstring FakeBrowser::Next(DWORD timeoutMs) {
  std::string bytes;
  if (!PumpUntil([&] { return ReadFileBytes(record_, bytes); }, timeoutMs)) return L"";
  DeleteFileW(record_.c_str());
  return Utf8ToWide(bytes);
}

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
  std::vector<DWORD> found;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, exeName.c_str()) == 0) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

bool ProcessHasModule(DWORD pid, const std::wstring& moduleName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry)) {
    found = lstrcmpiW(entry.szModule, moduleName.c_str()) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

void KillProcess(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  if (process == nullptr) return;
  TerminateProcess(process, 9);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
}

}  // namespace zelk::test
