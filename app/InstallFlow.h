// The install flow without a window: name the package, download and verify
// it, run it unless the installed product is current, and report each stage
// to `window` (when given) with posted messages.
#pragma once

#include <windows.h>

#include <string>

#include "app/LaunchConfig.h"

// Private messages of the installer window.
constexpr UINT WM_INSTALLER_TOGGLE = 2024;
constexpr UINT WM_INSTALLER_DOWNLOAD = 2025;
constexpr UINT WM_INSTALLER_STAGE = 2026;
constexpr UINT WM_INSTALLER_FINISH = 2027;

void RunInstall(const LaunchConfig& config, HWND window, const std::wstring& installPath);
