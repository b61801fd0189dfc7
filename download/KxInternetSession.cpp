#include "download/KxInternetSession.h"

#include "download/WinInetLibrary.h"

namespace Kx {

bool KxInternetSession::Open() {
  Attach(WinInetLibrary::Instance().InternetOpenW());
  return IsOpen();
}

}  // namespace Kx
