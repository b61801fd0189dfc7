// One report of the package download, posted to the installer window as
// message 2025 with the record's address in wParam. The sender allocates a
// record per message; the receiving window takes it back with
// TakeDownloadNotification, which frees it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// The total the HTTP layer reports for an answer without a length.
constexpr unsigned long long kUnknownTotal = ~0ull;

struct DownloadNotification {
  enum State : int { kNone = -1, kStarted = 0, kProgress = 1, kFinished = 2 };

  DownloadNotification();
  ~DownloadNotification();
  DownloadNotification(const DownloadNotification&) = delete;
  DownloadNotification& operator=(const DownloadNotification&) = delete;

  // Records made and not yet freed, in this process.
  static long LiveCount();

  unsigned long long total = 0;  // 0 or kUnknownTotal: not known
  unsigned long long done = 0;
  bool success = false;  // meaningful when finished
  int state = kNone;
  std::wstring path;  // the verified package, in a successful finish only
};

// Posts `notification` to `window` as message 2025. The record belongs to
// the window once posted; when the post fails it is freed here.
bool PostDownloadNotification(HWND window, std::unique_ptr<DownloadNotification> notification);

// The receiver's side: the record carried by a message 2025, now owned by
// the caller.
std::unique_ptr<DownloadNotification> TakeDownloadNotification(WPARAM wParam);
