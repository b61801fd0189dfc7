// Opening web pages, preferring the maker's own browsers: an installed one
// is used even when another browser is the user's default, and among them
// the default comes first.
#pragma once

#include <string>
#include <vector>

namespace Kx {

// The maker's browsers; the numbers are part of OpenUrl's result.
enum BrowserKind : int {
  kBrowserZelkExplorer = 2,
  kBrowserZelkchrome = 3,
  kBrowserBrenvikChrome = 4,
};

struct BrowserCandidate {
  std::wstring path;  // full executable path, at most 259 characters
  bool isDefault = false;
  int kind = 0;
};

// The installed browsers of the maker in the order they are to be tried
// (at most 3).
void DetectBrowsers(std::vector<BrowserCandidate>& candidates);

// OpenUrl results besides a browser's kind.
constexpr int kOpenUrlFailed = 0;
constexpr int kOpenedBySystem = 16;     // the system's handler or Internet Explorer
constexpr int kOpenedNotDefault = 16;   // added to the kind of a browser that is not the default
constexpr size_t kMaxUrlLength = 4089;  // longer addresses are refused

// Opens `url` in the first candidate that starts, else with the system's
// handler, else in Internet Explorer. Only "http://" and "https://"
// addresses (any case) are opened; anything else is refused with 0. Returns 0 when nothing opened it,
// 16 for the system or Internet Explorer, the kind (2 to 4) for the default
// browser of the maker and kind + 16 for one that is not the default.
int OpenUrl(const std::wstring& url);

}  // namespace Kx
