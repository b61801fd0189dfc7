#include "app/FileDownloader.h"

#include "download/TemporaryFileCommit.h"

#include "base/FileUtil.h"
#include "verify/SignerVerifier.h"

namespace installer {

FileDownloader& FileDownloader::Instance() {
  static FileDownloader instance;
  return instance;
}

void FileDownloader::SetNotifyWindow(HWND window) {
  Kx::CriticalSectionLock lock(lock_);
  window_ = window;
}

void FileDownloader::ResetHandlerSlot() {
  auto fresh = std::make_shared<DownloadHandlerSlot>();
  Kx::CriticalSectionLock lock(lock_);
  slot_ = std::move(fresh);
}

std::shared_ptr<DownloadHandlerSlot> FileDownloader::HandlerSlot() {
  Kx::CriticalSectionLock lock(lock_);
  return slot_;
}

bool FileDownloader::Download(const std::wstring& url, const std::wstring& targetPath) {
  if (url.empty() || targetPath.empty()) return false;
  // An older package under this name must not pass for the new download.
  if (Kx::FileExists(targetPath)) Kx::RemoveFileForced(targetPath);

  DL::DownloadRequest request;
  request.url = url;
  request.targetPath = targetPath;

  const std::shared_ptr<DownloadHandlerSlot> slot = HandlerSlot();
  if (slot && slot->Run(request, this) && Kx::SignerVerifier::Instance().IsTrustedFile(targetPath)) {
    return Finish(true, targetPath);
  }
  // A file whose signer is not trusted stays where it is; the caller does
  // not run it. Only the unfinished part goes.
  Kx::RemoveFileForced(Kx::TemporaryPathFor(targetPath));
  return Finish(false, std::wstring());
}

bool FileDownloader::OnPrepare() {
  Post(DownloadNotification::kStarted, 0, 0, false, std::wstring());
  return true;
}

bool FileDownloader::OnBegin(const std::wstring&, const std::wstring&, const SYSTEMTIME*,
                             unsigned long long totalLength, unsigned long long startOffset) {
  // Without a length libcurl reports no progress at all, so the window
  // hears here, once, that the total is not known (0).
  if (totalLength == 0 || totalLength == kUnknownTotal) {
    Post(DownloadNotification::kProgress, 0, startOffset, false, std::wstring());
  }
  return true;
}

bool FileDownloader::OnProgress(unsigned long long total, unsigned long long done) {
  Post(DownloadNotification::kProgress, total, done, false, std::wstring());
  return true;  // the installer never aborts a download from here
}

void FileDownloader::OnComplete(bool, DWORD, DWORD) {}

bool FileDownloader::Finish(bool success, const std::wstring& path) {
  Post(DownloadNotification::kFinished, 0, 0, success, path);
  return success;
}

void FileDownloader::Post(int state, unsigned long long total, unsigned long long done, bool success,
                          const std::wstring& path) {
  HWND window = nullptr;
  {
    Kx::CriticalSectionLock lock(lock_);
    window = window_;
  }
  if (window == nullptr) return;
  auto notification = std::make_unique<DownloadNotification>();
  notification->state = state;
  notification->total = total;
  notification->done = done;
  notification->success = success;
  notification->path = path;
  PostDownloadNotification(window, std::move(notification));
}

}  // namespace installer
