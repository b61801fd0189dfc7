#include "app/DownloadNotification.h"

#include "app/InstallFlow.h"

namespace {

volatile LONG g_liveNotifications = 0;

}  // namespace

DownloadNotification::DownloadNotification() { InterlockedIncrement(&g_liveNotifications); }

DownloadNotification::~DownloadNotification() { InterlockedDecrement(&g_liveNotifications); }

long DownloadNotification::LiveCount() { return InterlockedCompareExchange(&g_liveNotifications, 0, 0); }

bool PostDownloadNotification(HWND window, std::unique_ptr<DownloadNotification> notification) {
  if (window == nullptr || !notification) return false;
  if (!PostMessageW(window, WM_INSTALLER_DOWNLOAD, reinterpret_cast<WPARAM>(notification.get()), 0)) return false;
  notification.release();  // the window frees it
  return true;
}

std::unique_ptr<DownloadNotification> TakeDownloadNotification(WPARAM wParam) {
  return std::unique_ptr<DownloadNotification>(reinterpret_cast<DownloadNotification*>(wParam));
}
