// A download handler as its users hold it: reference counted, cancellable
// from any thread.
#pragma once

// winsock2.h before windows.h, so that libcurl's header may follow.
#include <winsock2.h>
#include <windows.h>

#include "download/DownloadRequest.h"
#include "download/SimpleDownloadEvents.h"

namespace DL {

class ISimpleDownloadHandler {
 public:
  // The count before this reference.
  virtual long AddRef() = 0;
  // The count after; the object is destroyed at 0.
  virtual long Release() = 0;
  virtual long GetRefCount() = 0;
  virtual ~ISimpleDownloadHandler() = default;
  // Runs the whole download on the calling thread. The receive speed limit
  // (bytes per second, 0 = none) comes in two halves, low first; only the
  // libcurl transport applies it.
  virtual bool Download(const DownloadRequest& request, Kx::ISimpleDownloadEvent* listener, DWORD speedLimitLow,
                        DWORD speedLimitHigh) = 0;
  // Any thread: the running Download returns false without OnComplete, and
  // every later one fails at once.
  virtual bool Cancel() = 0;
  virtual DWORD GetRetryCount() = 0;
  // Milliseconds the current WinINet call has been blocked; 0 when none.
  virtual DWORD GetBlockedTime() = 0;
  // Any thread: drops every connection so the download fails with a
  // network error and is retried.
  virtual void Interrupt() = 0;
};

}  // namespace DL
