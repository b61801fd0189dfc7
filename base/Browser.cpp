#include "base/Browser.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "base/FaultGuard.h"
#include "base/FileUtil.h"
#include "base/PathUtil.h"
#include "base/Registry.h"
#include "base/StringUtil.h"
#include "base/SystemInfo.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

struct MakerBrowser {
  int kind;
  const wchar_t* key;    // under HKEY_LOCAL_MACHINE, value "Path": the install folder
  const wchar_t* exe;
  const wchar_t* progId;  // its name as the default handler of http
};

constexpr MakerBrowser kZelkExplorer = {kBrowserZelkExplorer, L"SOFTWARE\\ZelkExplorer", L"ZelkExplorer.exe",
                                        L"ZelkExplorerHTML"};
constexpr MakerBrowser kZelkchrome = {kBrowserZelkchrome, L"SOFTWARE\\Zelkchrome", L"Zelkchrome.exe",
                                      L"HTMLZelkCHM"};
constexpr MakerBrowser kBrenvikChrome = {kBrowserBrenvikChrome, L"SOFTWARE\\BrenvikChrome", L"BrenvikChrome.exe",
                                         L"BrenvikChromeHTML"};

using StrStrIWFn = decltype(&::StrStrIW);
using ShellExecuteWFn = decltype(&::ShellExecuteW);

// The browser's executable, or "" when it is not installed.
std::wstring InstalledPath(const MakerBrowser& browser) {
  std::wstring folder;
  if (!ReadRegistryText(HKEY_LOCAL_MACHINE, browser.key, L"Path", folder)) return {};
  const std::wstring path = NormalisePath(folder, kPathNoTrailingSeparator) + L"\\" + browser.exe;
  if (path.size() >= MAX_PATH) return {};  // a candidate holds at most 259 characters
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
  return path;
}

// What the system opens http addresses with: a ProgID or a command line.
std::wstring DefaultHttpHandler() {
  std::wstring handler;
  OSVERSIONINFOW version = {};
  if (GetOsVersion(version) && version.dwMajorVersion > 5 &&
      ReadRegistryText(HKEY_CURRENT_USER,
                       L"Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\http\\UserChoice",
                       L"Progid", handler) &&
      !handler.empty()) {
    return handler;
  }
  if (ReadRegistryText(HKEY_CLASSES_ROOT, L"http\\shell\\open\\command", L"", handler) && !handler.empty()) {
    return handler;
  }
  if (ReadRegistryText(HKEY_CURRENT_USER, L"Software\\Classes\\.html", L"", handler) && !handler.empty()) {
    return handler;
  }
  return {};
}

class CandidateList {
 public:
  explicit CandidateList(std::vector<BrowserCandidate>& out) : out_(out) { out_.clear(); }

  void AddIfInstalled(const MakerBrowser& browser, const std::wstring& path, bool isDefault) {
    if (path.empty() || out_.size() >= 3) return;
    out_.push_back(BrowserCandidate{path, isDefault, browser.kind});
  }

 private:
  std::vector<BrowserCandidate>& out_;
};

bool IsHandler(const std::wstring& handler, const MakerBrowser& browser, StrStrIWFn strStrI) {
  if (EqualsNoCase(handler, browser.progId)) return true;
  return GuardedResult(false, [&] { return strStrI(handler.c_str(), browser.exe) != nullptr; });
}

// Only web addresses are opened: the installer runs elevated, and the
// system's handler would run a program or a "file:" address just as well.
bool IsWebAddress(const std::wstring& url) {
  for (const wchar_t* scheme : {L"http://", L"https://"}) {
    const size_t length = wcslen(scheme);
    if (url.size() > length && CompareNoCase(url.c_str(), scheme, length) == 0) return true;
  }
  return false;
}

bool Succeeded(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

bool ShellOpen(ShellExecuteWFn shellExecute, const std::wstring& file, const wchar_t* parameters) {
  const HINSTANCE result = GuardedResult(HINSTANCE{nullptr}, [&] {
    return shellExecute(nullptr, L"open", file.c_str(), parameters, nullptr, SW_SHOWNORMAL);
  });
  return Succeeded(result);
}

int OpenInMakerBrowser(ShellExecuteWFn shellExecute, const std::wstring& argument) {
  std::vector<BrowserCandidate> candidates;
  DetectBrowsers(candidates);
  for (const auto& candidate : candidates) {
    if (candidate.path.empty()) continue;
    if (ShellOpen(shellExecute, candidate.path, argument.c_str())) {
      return candidate.isDefault ? candidate.kind : candidate.kind + kOpenedNotDefault;
    }
  }
  return kOpenUrlFailed;
}

bool OpenInInternetExplorer(ShellExecuteWFn shellExecute, const std::wstring& argument) {
  for (const wchar_t* location : {L"%programfiles(x86)%\\Internet Explorer\\iexplore.exe",
                                  L"%programfiles%\\Internet Explorer\\iexplore.exe"}) {
    wchar_t expanded[259] = {};
    const DWORD length = ::ExpandEnvironmentStringsW(location, expanded, 259);
    if (length == 0 || length > 259) continue;
    if (FileExists(expanded) && ShellOpen(shellExecute, expanded, argument.c_str())) return true;
  }
  return false;
}

}  // namespace

void DetectBrowsers(std::vector<BrowserCandidate>& candidates) {
  const std::wstring explorer = InstalledPath(kZelkExplorer);
  const std::wstring zelkchrome = InstalledPath(kZelkchrome);
  const std::wstring brenvik = InstalledPath(kBrenvikChrome);
  CandidateList list(candidates);

  const std::wstring handler = DefaultHttpHandler();
  if (handler.empty()) {
    list.AddIfInstalled(kBrenvikChrome, brenvik, false);
    list.AddIfInstalled(kZelkExplorer, explorer, false);
    list.AddIfInstalled(kZelkchrome, zelkchrome, false);
    return;
  }

  const auto strStrI = SystemExport<StrStrIWFn>(L"Shlwapi.dll", "StrStrIW");
  if (!strStrI) return;
  if (IsHandler(handler, kZelkExplorer, strStrI)) {
    list.AddIfInstalled(kZelkExplorer, explorer, true);
    list.AddIfInstalled(kBrenvikChrome, brenvik, false);
    list.AddIfInstalled(kZelkchrome, zelkchrome, false);
  } else if (IsHandler(handler, kZelkchrome, strStrI)) {
    list.AddIfInstalled(kZelkchrome, zelkchrome, true);
    list.AddIfInstalled(kBrenvikChrome, brenvik, false);
    list.AddIfInstalled(kZelkExplorer, explorer, false);
  } else {
    list.AddIfInstalled(kBrenvikChrome, brenvik, IsHandler(handler, kBrenvikChrome, strStrI));
    list.AddIfInstalled(kZelkExplorer, explorer, false);
    list.AddIfInstalled(kZelkchrome, zelkchrome, false);
  }
}

int OpenUrl(const std::wstring& url) {
  if (url.size() > kMaxUrlLength || !IsWebAddress(url)) return kOpenUrlFailed;
  // The address goes to the browser inside double quotes; one of its own
  // would end them and let the rest pass as browser switches. A real
  // address carries a quote only percent-encoded.
  if (url.find(L'"') != std::wstring::npos) return kOpenUrlFailed;
  const std::wstring argument = L"\"" + url + L"\"";

  const auto shellExecute = SystemExport<ShellExecuteWFn>(L"Shell32.dll", "ShellExecuteW");
  if (!shellExecute) return kOpenUrlFailed;

  const int opened = OpenInMakerBrowser(shellExecute, argument);
  if (opened != kOpenUrlFailed) return opened;
  if (ShellOpen(shellExecute, argument, nullptr)) return kOpenedBySystem;
  if (OpenInInternetExplorer(shellExecute, argument)) return kOpenedBySystem;
  return kOpenUrlFailed;
}

}  // namespace Kx
