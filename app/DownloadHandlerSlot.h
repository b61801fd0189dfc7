// The download handler of the download in progress, so that another thread
// (the installer window closing) can cancel it. The lock only guards the
// pointer; no call into the handler is made under it.
#pragma once

#include "download/ISimpleDownloadHandler.h"

#include "base/CriticalSection.h"

class DownloadHandlerSlot {
 public:
  DownloadHandlerSlot() = default;
  ~DownloadHandlerSlot();
  DownloadHandlerSlot(const DownloadHandlerSlot&) = delete;
  DownloadHandlerSlot& operator=(const DownloadHandlerSlot&) = delete;

  // Runs one download with a new handler that is current while it runs.
  bool Run(DL::DownloadRequest request, Kx::ISimpleDownloadEvent* listener);

  // Any thread: cancels the download in progress, if any. Always true.
  bool Cancel();

  bool HasCurrentHandler();

 private:
  // Takes a reference for the slot and drops the one on the handler it
  // replaces.
  void SetCurrent(DL::ISimpleDownloadHandler* handler);
  // Drops the slot's reference, but only when `handler` is still current.
  void ClearIfCurrent(DL::ISimpleDownloadHandler* handler);

  Kx::CriticalSection lock_;
  DL::ISimpleDownloadHandler* current_ = nullptr;
};
