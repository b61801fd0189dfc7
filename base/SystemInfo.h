// Which Windows really runs, and whether it is 64-bit.
#pragma once

#include <windows.h>

namespace Kx {

// GetVersionExW corrected for the versions it hides: from Windows 8 on a
// program without a compatibility manifest is told 6.2, so the major and
// minor version then come from kernel32.dll's own file version, and the
// build number from ntdll's RtlGetVersion whenever it exists.
bool GetOsVersion(OSVERSIONINFOW& info);

// True when the system (not this process) is x64 or Itanium.
bool Is64BitWindows();

}  // namespace Kx
