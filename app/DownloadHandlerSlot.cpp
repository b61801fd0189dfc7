#include "app/DownloadHandlerSlot.h"

#include "download/KxSimpleDownloadHandler.h"

DownloadHandlerSlot::~DownloadHandlerSlot() {
  if (current_ != nullptr) current_->Release();
}

bool DownloadHandlerSlot::Run(DL::DownloadRequest request, Kx::ISimpleDownloadEvent* listener) {
  const Kx::KxRefPtr<DL::ISimpleDownloadHandler> handler(new DL::KxSimpleDownloadHandler());
  SetCurrent(handler.Get());
  if (request.dataSink != nullptr) {
    // A body that goes to a sink writes no file and so keeps no partial one.
    request.targetPath.clear();
    request.keepPartial = false;
  }
  const bool ok = handler->Download(request, listener, 0, 0);
  ClearIfCurrent(handler.Get());
  return ok;
}

bool DownloadHandlerSlot::Cancel() {
  Kx::KxRefPtr<DL::ISimpleDownloadHandler> handler;
  {
    Kx::CriticalSectionLock lock(lock_);
    handler = Kx::KxRefPtr<DL::ISimpleDownloadHandler>(current_);
  }
  if (!handler) return true;
  handler->Cancel();
  ClearIfCurrent(handler.Get());
  return true;
}

bool DownloadHandlerSlot::HasCurrentHandler() {
  Kx::CriticalSectionLock lock(lock_);
  return current_ != nullptr;
}

void DownloadHandlerSlot::SetCurrent(DL::ISimpleDownloadHandler* handler) {
  DL::ISimpleDownloadHandler* previous = nullptr;
  {
    Kx::CriticalSectionLock lock(lock_);
    handler->AddRef();
    previous = current_;
    current_ = handler;
  }
  // Released outside the lock: the last release runs the handler's destructor.
  if (previous != nullptr) previous->Release();
}

void DownloadHandlerSlot::ClearIfCurrent(DL::ISimpleDownloadHandler* handler) {
  {
    Kx::CriticalSectionLock lock(lock_);
    if (current_ != handler) return;
    current_ = nullptr;
  }
  handler->Release();
}
