// A link to a folder, made the way the host can: under Wine 8 neither
// CreateSymbolicLinkW (it answers success and makes nothing) nor a junction
// set with FSCTL_SET_REPARSE_POINT (ERROR_INVALID_PARAMETER) works, but a
// Linux symlink inside the prefix's drive does; Wine shows it as a folder
// with FILE_ATTRIBUTE_REPARSE_POINT when asked by path, follows it when it
// is opened (also with FILE_FLAG_OPEN_REPARSE_POINT), and cannot remove it
// (RemoveDirectoryW fails with ERROR_DIR_NOT_EMPTY while the target holds
// files). The Linux link is made and removed by Linux's own ln and rm,
// which Wine starts like any program.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/TestSupport.h"

namespace zelk::test {

inline bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class FolderLink {
 public:
  FolderLink(const std::wstring& link, const std::wstring& target) : link_(link) {
    if (RunningUnderWine()) {
      RunLinux(L"ln -s " + Quote(UnixPath(target)) + L" " + Quote(UnixPath(link)));
    } else {
      CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    }
    made_ = WaitUntil([&link] { return ShowsLink(link); });
  }
  ~FolderLink() {
    if (!made_) return;
    if (RunningUnderWine()) {
      RunLinux(L"rm -f " + Quote(UnixPath(link_)));
      WaitUntil([this] { return GetFileAttributesW(link_.c_str()) == INVALID_FILE_ATTRIBUTES; });
    } else {
      RemoveDirectoryW(link_.c_str());
    }
  }
  FolderLink(const FolderLink&) = delete;
  FolderLink& operator=(const FolderLink&) = delete;

  bool Made() const { return made_; }

 private:
  // The Linux name of a Windows path; Wine's own export, freed from the process heap.
  static std::wstring UnixPath(const std::wstring& path) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (toUnix == nullptr) return std::wstring();
    char* name = toUnix(path.c_str());
    if (name == nullptr) return std::wstring();
    const std::wstring unix = Utf8ToWide(name);
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
  }

  static bool ShowsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  }

  // Wine lets the Linux program run on after its Windows process has
  // ended, so its effect is waited for (at most 30 s).
  template <typename Done>
  static bool WaitUntil(Done done) {
    constexpr int kPolls = 1500;
    for (int i = 0; i < kPolls; ++i) {
      if (done()) return true;
      Sleep(20);
    }
    return done();
  }

  // Linux programs are found through Wine's Z: drive, which maps "/".
  static void RunLinux(const std::wstring& command) {
    ChildProcess process;
    DWORD exitCode = 0;
    if (process.Start(L"Z:\\bin\\" + command)) process.Wait(30000, exitCode);
  }

  std::wstring link_;
  bool made_ = false;
};

}  // namespace zelk::test
