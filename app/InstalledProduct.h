// Where the editor is installed (the product's registry value), where it
// would go by default, and whether the installed editor makes running the
// package unnecessary.
#pragma once

#include <windows.h>

#include <string>

// HKLM "SOFTWARE\ZelkPic" value "Path" with one trailing "\"; the 64-bit
// view is asked when the default view has nothing. Empty when not installed.
std::wstring InstalledProductDir();

// The editor under InstalledProductDir(); empty when no folder is recorded
// or the recorded one is not absolute, since a relative name would be
// looked for beside the installer and in the current folder.
std::wstring InstalledEditorPath();

// "ProgramFilesDir" of the given view (64 = the 64-bit view, anything else
// the default one) followed by "\ZelkSoft\ZelkPic".
std::wstring DefaultInstallDir(int view);

// True when the package need not run: the installed editor is signed by a
// trusted publisher and either runs now or is at least as new as the package.
bool IsInstalledProductCurrent(const std::wstring& packagePath);

// The folder the first page offers: the installed product's folder (then
// locked, since the package installs over it) or the default folder.
struct InstallFolderChoice {
  std::wstring folder;  // empty when the candidate is longer than 250 characters
  bool locked = false;
};
InstallFolderChoice ChooseInstallFolder();

// The four numbers of a "a.b.c.d" version compared as signed integers:
// true when `package` is not newer than `installed`.
bool IsVersionNotNewer(const int package[4], const int installed[4]);
