#include "app/InstallFlow.h"

// The download engine and package launch are not built yet: until they are,
// the flow does no work and reports nothing.
void RunInstall(const LaunchConfig&, HWND, const std::wstring&) {}
