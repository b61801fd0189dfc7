#include "tests/support/TestSupport.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace zelk::test {

std::wstring BinDir() {
  wchar_t path[MAX_PATH * 2] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L"\\/"));
}

std::wstring TestsSourceDir() { return Utf8ToWide(ZELK_TESTS_SOURCE_DIR); }

std::wstring Utf8ToWide(const std::string& text) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

std::string WideToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

ScopedTempDir::ScopedTempDir() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  static LONG counter = 0;
  for (;;) {
    wchar_t name[64];
    wsprintfW(name, L"zelktest_%lu_%ld", GetCurrentProcessId(), InterlockedIncrement(&counter));
    path_ = std::wstring(temp) + name;
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

namespace {

// Removes `folder` and everything below it in the "\\?\" form, which also
// reaches items past MAX_PATH and names that end in a dot or blank.
void RemoveTree(const std::wstring& folder) {
  const std::wstring extended = L"\\\\?\\" + folder;
  WIN32_FIND_DATAW entry;
  const HANDLE search = FindFirstFileW((extended + L"\\*").c_str(), &entry);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = folder + L"\\" + name;
      SetFileAttributesW((L"\\\\?\\" + child).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(child);
      } else {
        DeleteFileW((L"\\\\?\\" + child).c_str());
      }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
  }
  RemoveDirectoryW(extended.c_str());
}

}  // namespace

ScopedTempDir::~ScopedTempDir() {
  if (!path_.empty()) RemoveTree(path_);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

ChildProcess::~ChildProcess() {
  Kill();
}

bool ChildProcess::Start(const std::wstring& commandLine, const std::wstring& workDir) {
  Kill();
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  std::wstring mutableLine = commandLine;
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workDir.empty() ? nullptr : workDir.c_str(), &startup, &info)) {
    return false;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  return true;
}

bool ChildProcess::Wait(DWORD timeoutMs, DWORD& exitCode) {
  if (!process_ || WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(process_, &exitCode) != FALSE;
}

void ChildProcess::Kill() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 255);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
}

std::wstring Quote(const std::wstring& text) { return L"\"" + text + L"\""; }

namespace {

struct WindowQuery {
  DWORD pid;
  const std::function<bool(HWND)>* matches;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* query = reinterpret_cast<WindowQuery*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (query->pid != 0 && owner != query->pid) return TRUE;
  if (!(*query->matches)(window)) return TRUE;
  query->found = window;
  return FALSE;
}

}  // namespace

HWND FindTopLevelWindow(DWORD pid, const std::function<bool(HWND)>& matches) {
  WindowQuery query{pid, &matches, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&query));
  return query.found;
}

HWND WaitForWindow(const std::wstring& caption, DWORD pid, DWORD timeoutMs) {
  const auto captioned = [&caption](HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return caption == text;
  };
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND found = FindTopLevelWindow(pid, captioned)) return found;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(50);
  }
}

}  // namespace zelk::test
