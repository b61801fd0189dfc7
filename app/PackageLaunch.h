// Running the downloaded package and, at the end, the installed editor.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The package's command line: "-setDefault" when it is to take over the PDF
// association, then " -path=" and the quoted folder when one was chosen.
std::wstring PackageArguments(bool associate, const std::wstring& installPath);

// Called with the copy that is to run, while it is held open against writers
// and deleters, after its signer check and just before it starts.
using BeforePackageStart = std::function<void(const std::wstring& packagePath)>;

// Copies the package into a new run folder that only administrators can
// change (Kx::ProtectedFolder), checks the copy's signer, runs the copy there
// with PackageArguments(associatePdf, installPath) and waits for it to end;
// then deletes the copy with its run folder, and the package, and its folder
// when nothing else is left there. True when the package was started. A
// package that is missing, cannot be copied or held, or is not trusted is
// neither run nor deleted (its copy goes all the same).
bool RunPackage(const std::wstring& packagePath, const std::wstring& installPath,
                const BeforePackageStart& beforeStart = BeforePackageStart());

// Starts InstalledEditorPath() without waiting; true when its process was
// made. Nothing starts when no absolute editor path is recorded.
bool LaunchEditor();

// CreateProcessW of the quoted `exe` followed by `arguments` (a blank is put
// between them). With `wait` it waits for the end and reads the exit code.
bool StartProcess(bool wait, const std::wstring& exe, std::wstring arguments, DWORD* processId,
                  DWORD* exitCode);
