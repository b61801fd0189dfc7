// Finding running processes by executable name and reading their image paths.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace Kx {

// Ids of the processes whose executable name equals one of `names`
// ignoring case; true when any were found. A process listed under a short
// 8.3 name (one with "~") is compared by the long name of its image.
bool FindProcessesByName(const std::vector<std::wstring>& names, std::vector<DWORD>& ids);

// Whether the process `processId`, listed by a process snapshot under
// `listedName`, runs one of `names` (compared ignoring case). A listed
// short 8.3 name (one with "~", as for a process started through
// "C:\PROGRA~1\...") is replaced by the long name of the process's image.
bool ProcessNameMatches(const std::wstring& listedName, DWORD processId, const std::vector<std::wstring>& names);

// Whether a process with this executable name (e.g. "ZelkPdfEditor.exe") runs.
bool IsProcessRunning(const std::wstring& exeName);

// Full, long-form path of a process's executable, or "" when it cannot be read.
std::wstring ImagePathOfProcess(DWORD processId);
std::wstring ImagePathOfHandle(HANDLE process);

}  // namespace Kx
