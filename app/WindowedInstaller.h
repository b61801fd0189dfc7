// The windowed flow: the installer window and its message loop.
#pragma once

#include "app/LaunchConfig.h"

// Exit codes of the windowed flow.
constexpr int kExitEditorStarted = 0;
constexpr int kExitLoopEnded = 1;
constexpr int kExitClosedByUser = 5;
constexpr int kExitFailed = 7;
constexpr int kExitForcedEnd = 8;

int RunWindowedInstaller(const LaunchConfig& config);
