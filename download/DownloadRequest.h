// What one download is asked to do; copied into the handler when it starts.
#pragma once

#include <string>

namespace Kx {
class ISimpleDownloadDataEvent;
}

namespace DL {

struct DownloadRequest {
  std::wstring url;
  // Empty when the body goes to `dataSink`.
  std::wstring targetPath;
  std::wstring referrer;
  // "\r\n"-separated header lines.
  std::wstring extraHeaders;
  // A failed download keeps target + ".tmp" and the next one resumes it.
  bool keepPartial = true;
  // A WinINet attempt that fails with a network error is run once more.
  bool retry = true;
  // Not owned. When set the body goes here and no file is written.
  Kx::ISimpleDownloadDataEvent* dataSink = nullptr;
  // 0 (or all ones) = not checked.
  unsigned long long expectedSize = 0;
  // Hex digits; empty = not checked.
  std::wstring expectedMd5;
};

}  // namespace DL
