// Running the downloaded package and, at the end, the installed editor.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The package's command line: "-setDefault" when it is to take over the PDF
// association, then " -path=" and the quoted folder when one was chosen.
std::wstring PackageArguments(bool associate, const std::wstring& installPath);

// Called while the package is held open against writers and deleters, after
// its signer check and just before it starts.
using BeforePackageStart = std::function<void(const std::wstring& packagePath)>;

// Checks the package's signer, runs it with PackageArguments(associatePdf,
// installPath) and waits for it to end; then deletes it, and its folder when
// nothing else is left there. True when the package was started. A package
// that is missing, cannot be held or is not trusted is neither run nor
// deleted.
bool RunPackage(const std::wstring& packagePath, const std::wstring& installPath,
                const BeforePackageStart& beforeStart = BeforePackageStart());

// Starts InstalledEditorPath() without waiting; true when its process was
// made. Nothing starts when no absolute editor path is recorded.
bool LaunchEditor();

// CreateProcessW of the quoted `exe` followed by `arguments` (a blank is put
// between them). With `wait` it waits for the end and reads the exit code.
bool StartProcess(bool wait, const std::wstring& exe, std::wstring arguments, DWORD* processId,
                  DWORD* exitCode);
