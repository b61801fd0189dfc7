#include "download/LibCurlDownloadEvents.h"

namespace Kx {

bool UnixTimeToSystemTime(long long seconds, SYSTEMTIME& time) {
  // FILETIME counts 100 ns steps from 1601; 1970 is 11644473600 s later.
  constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
  constexpr long long kTicksPerSecond = 10000000LL;
  if (seconds < -kSecondsFrom1601To1970 || seconds > 0x7FFFFFFFFFFFFFFFLL / kTicksPerSecond - kSecondsFrom1601To1970)
    return false;
  const unsigned long long ticks =
      static_cast<unsigned long long>((seconds + kSecondsFrom1601To1970) * kTicksPerSecond);
  FILETIME fileTime;
  fileTime.dwLowDateTime = static_cast<DWORD>(ticks);
  fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return FileTimeToSystemTime(&fileTime, &time) != FALSE;
}

}  // namespace Kx

namespace DL {

bool KxLibCurlToSimpleEvent::OnBegin(const std::wstring& fileName, const std::wstring& targetPath,
                                     const long long* fileTime, unsigned long long contentLength,
                                     unsigned long long resumeOffset) {
  if (listener_ == nullptr) return true;
  SYSTEMTIME lastModified = {};
  if (fileTime != nullptr && *fileTime != 0 && !Kx::UnixTimeToSystemTime(*fileTime, lastModified)) lastModified = {};
  return listener_->OnBegin(fileName, targetPath, &lastModified, contentLength, resumeOffset);
}

bool KxLibCurlToSimpleEvent::OnProgress(unsigned long long total, unsigned long long done) {
  return listener_ == nullptr || listener_->OnProgress(total, done);
}

}  // namespace DL
