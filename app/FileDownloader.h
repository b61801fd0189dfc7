// The installer's download of its package: one download handler run, the
// signer check of the result, and start, progress and finish reports posted
// to the installer window (message 2025).
#pragma once

#include "download/SimpleDownloadEvents.h"

#include <memory>
#include <string>

#include "app/DownloadHandlerSlot.h"
#include "app/DownloadNotification.h"
#include "base/CriticalSection.h"

namespace installer {

class FileDownloader : public Kx::ISimpleDownloadEvent {
 public:
  // The process-wide downloader, created on first use.
  static FileDownloader& Instance();

  // Where notifications go; null posts nothing (the download still runs).
  void SetNotifyWindow(HWND window);
  // A new, empty handler slot for the next download.
  void ResetHandlerSlot();
  // The slot of the current download, for cancelling from another thread;
  // shared so that a reset on the worker cannot free it under the caller.
  std::shared_ptr<DownloadHandlerSlot> HandlerSlot();

  // Downloads `url` to `targetPath` on the calling thread and checks the
  // signer of the result. True only for a complete file whose signer is
  // trusted; every call that starts posts exactly one finish notification.
  bool Download(const std::wstring& url, const std::wstring& targetPath);

  bool OnPrepare() override;
  bool OnBegin(const std::wstring& fileName, const std::wstring& targetPath, const SYSTEMTIME* lastModified,
               unsigned long long totalLength, unsigned long long startOffset) override;
  bool OnProgress(unsigned long long total, unsigned long long done) override;
  void OnComplete(bool success, DWORD errorCode, DWORD httpStatus) override;

  FileDownloader(const FileDownloader&) = delete;
  FileDownloader& operator=(const FileDownloader&) = delete;

 private:
  FileDownloader() = default;
  ~FileDownloader() override = default;

  bool Finish(bool success, const std::wstring& path);
  void Post(int state, unsigned long long total, unsigned long long done, bool success, const std::wstring& path);

  Kx::CriticalSection lock_;
  HWND window_ = nullptr;
  std::shared_ptr<DownloadHandlerSlot> slot_;
};

}  // namespace installer
