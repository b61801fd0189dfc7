// What the windowed installer tests share: finding the installer's page
// window and its boxes among a process's windows by their layout sizes,
// real mouse clicks and keys through the system's input queue at layout
// positions, screenshots of a window's own rectangle saved as PNG, the
// stand-in browser, and the processes running a given program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/base/ScopedRegistryValue.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TestSupport.h"

namespace zelk::test {

// Every window's caption: the pages' and the boxes' layouts share it.
constexpr wchar_t kInstallerCaption[] = L"ZelkPDF安装程序";

// The window sizes of the layouts (96 DPI pixels).
struct LayoutSize {
  int width;
  int height;
};
constexpr LayoutSize kReadySize{600, 480};      // page 502
constexpr LayoutSize kProgressSize{600, 400};   // pages 503 and 504
constexpr LayoutSize kExitBoxSize{400, 180};    // box 501 (and 507)
constexpr LayoutSize kAgreementSize{384, 182};  // box 506

// A visible top-level window of `pid` (any process when 0) with the
// installer's caption and this client size, or none.
HWND FindInstallerWindow(DWORD pid, LayoutSize size);
// Polls for it until `timeoutMs` passes.
HWND WaitForInstallerWindow(DWORD pid, LayoutSize size, DWORD timeoutMs);
// Polls until no such window is left.
bool WaitForNoInstallerWindow(DWORD pid, LayoutSize size, DWORD timeoutMs);


// Real input: the cursor moves to `x`,`y` of `window`'s client area and
// the left button goes down and up; keys go to the foreground window,
// which `window` is made first.
void ClickAt(HWND window, int x, int y);
inline void ClickAt(HWND window, POINT at) { ClickAt(window, at.x, at.y); }
void PressKey(HWND window, WORD key);
// Types `text` (characters of the keyboard layout) as key strokes into the
// focused view of `window`.
void TypeText(HWND window, const std::wstring& text);

// The window's own rectangle as the screen shows it, saved as the PNG file
// `path`; false on failure.
bool SaveScreenshotAs(HWND window, const std::wstring& path);
// The same as `name`.png in the build's bin folder: its path, or empty.
std::wstring SaveScreenshot(HWND window, const std::wstring& name);

// base_recorder.exe installed as the maker's browser: OpenUrl starts it
// and it writes its command line beside itself.
class FakeBrowser {
 public:
  FakeBrowser();
  // The command line of the next start, taken away so that a later start
  // is seen again; empty when none came within `timeoutMs`.
  std::wstring Next(DWORD timeoutMs);

 private:
  ScopedTempDir dir_;
  std::wstring exe_;
  std::wstring record_;
  ScopedRegistryValue installed_;
};

// Ids of running processes whose executable is named `exeName` (any case).
std::vector<DWORD> ProcessesNamed(const std::wstring& exeName);
// Whether process `pid` (of this program's architecture) has a module of
// this file name loaded (any case); false also when its modules cannot be
// listed.
bool ProcessHasModule(DWORD pid, const std::wstring& moduleName);
void KillProcess(DWORD pid);

}  // namespace zelk::test
