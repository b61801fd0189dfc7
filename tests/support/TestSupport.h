// Small helpers shared by the test executables: temporary folders, child
// processes that are always cleaned up, window lookups, and the paths of the
// build's outputs and the source tree.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zelk::test {

// Folder holding the running test executable, which is also where the build
// puts the installer and every fixture program (no trailing backslash).
std::wstring BinDir();

// The repository's tests/ folder as Wine sees it.
std::wstring TestsSourceDir();

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// A unique folder under %TEMP%, removed with everything in it at destruction.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring Join(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Writes bytes to a file, replacing it; false on any failure.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string& bytes);

// A child process started with CreateProcessW. The destructor kills it if it
// is still running, so no test leaves a process behind, even on failure.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // `commandLine` is the whole command line, program path quoted by the caller.
  bool Start(const std::wstring& commandLine, const std::wstring& workDir = L"");
  // Exit code, or nothing (false) when it did not end within `timeoutMs`.
  bool Wait(DWORD timeoutMs, DWORD& exitCode);
  void Kill();
  DWORD Pid() const { return pid_; }
  HANDLE Handle() const { return process_; }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// Quotes a program path for a command line.
std::wstring Quote(const std::wstring& text);

// The first top-level window of `pid` (any process when 0) for which
// `matches` holds, or null.
HWND FindTopLevelWindow(DWORD pid, const std::function<bool(HWND)>& matches);

// Polls for a top-level window of `pid` (any process when 0) with this exact
// caption until `timeoutMs` passes.
HWND WaitForWindow(const std::wstring& caption, DWORD pid, DWORD timeoutMs);

}  // namespace zelk::test
