#include "app/WindowedInstaller.h"

// The installer window is not built yet: until it is, the windowed flow ends
// at once with the failure code and shows nothing.
int RunWindowedInstaller(const LaunchConfig&) { return kExitFailed; }
