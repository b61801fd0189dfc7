// The install flow without a window: name the package, download and verify
// it, run it unless the installed product is current, and report each stage
// to `window` (when given) with posted messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "app/LaunchConfig.h"

// Private messages of the installer window.
constexpr UINT WM_INSTALLER_TOGGLE = 2024;
constexpr UINT WM_INSTALLER_DOWNLOAD = 2025;
constexpr UINT WM_INSTALLER_STAGE = 2026;
constexpr UINT WM_INSTALLER_FINISH = 2027;

// Stages reported with WM_INSTALLER_STAGE (downloading is never posted).
constexpr WPARAM kStageDownloading = 0;
constexpr WPARAM kStagePackageRunning = 1;
constexpr WPARAM kStageFinished = 2;

// Whether the package is told to take over the PDF association. Written by
// the window before the worker starts; the silent flow leaves it on.
extern std::atomic<bool> associatePdf;

// The local name of the package: the address's base name with every
// "_"-separated piece that reads "KUID" (any case) replaced by the channel,
// plus ".exe"; "ZelkPic_package.exe" when there is no channel, no "_" or no
// "KUID" in exactly that case.
std::wstring PackageFileName(const std::wstring& url, const std::wstring& channel);

// The folder under the temporary folder where the package is downloaded.
std::wstring PackageFolder();

void RunInstall(const LaunchConfig& config, HWND window, const std::wstring& installPath);

// RunInstall with the package address given rather than read from this
// program's version resource.
void RunInstallFrom(const std::wstring& url, const LaunchConfig& config, HWND window,
                    const std::wstring& installPath);
