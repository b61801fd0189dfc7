// Run-time binding of system libraries. The installer must start on every
// Windows from XP on, so optional functions are looked up by name instead
// of being imported; a missing library or export makes only the operation
// that needs it fail.
#pragma once

#include <windows.h>

#include "base/FaultGuard.h"

namespace Kx {

// Module of a system library, loaded on first request and kept loaded for
// the life of the process, so a handle once returned stays valid. Names are
// compared ignoring case. A bare name is loaded from the system folder, never
// from the installer's own folder or the current one: the installer usually
// runs from a downloads folder where anyone may have left a "version.dll".
// Null when the library cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);

// Makes every later load by bare name, including the ones Windows makes for
// the installer's own imports and for COM, search the system folder only, so
// a DLL planted beside the installer or in the current folder is never
// loaded. Called first thing at start; false when neither way is available.
bool RestrictDllSearchToSystemFolder();

// Typed GetProcAddress: `Fn` must be the export's pointer type with its
// calling convention (WINAPI), or the i686 build corrupts its stack.
template <typename Fn>
Fn ExportOf(HMODULE module, const char* name) {
  if (!module || !name) return nullptr;
  // Going through void(*)() tells the compiler the type change is meant.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// ExportOf into `out`, whose type names the export's; whether it was found.
template <typename Fn>
bool BindExport(HMODULE module, const char* name, Fn& out) {
  out = ExportOf<Fn>(module, name);
  return out != nullptr;
}

// An export of a library from the table above, or null.
template <typename Fn>
Fn SystemExport(const wchar_t* library, const char* name) {
  return ExportOf<Fn>(LoadSystemLibrary(library), name);
}

// What GetLastError() says after a bound call that faulted, unless the
// library has an error of its own for that.
constexpr DWORD kBoundCallFaulted = ERROR_NOACCESS;

// Looks `name` up in `module` and calls it with `args` under the fault
// guard. `failure` when the module is null (GetLastError() then says
// ERROR_MOD_NOT_FOUND), the export is missing (ERROR_PROC_NOT_FOUND) or the
// call faulted (`FaultError`). A call that ran leaves its own error in
// GetLastError(): the guard's thread-local bookkeeping may reset it, so it
// is read inside the guard and set again afterwards.
template <typename Fn, DWORD FaultError = kBoundCallFaulted, typename R, typename... Args>
R CallExport(HMODULE module, const char* name, R failure, Args... args) {
  if (!module) {
    ::SetLastError(ERROR_MOD_NOT_FOUND);
    return failure;
  }
  const Fn function = ExportOf<Fn>(module, name);
  if (!function) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return failure;
  }
  R result = failure;
  DWORD error = ERROR_SUCCESS;
  if (!RunGuarded([&] {
        result = function(args...);
        error = ::GetLastError();
      })) {
    ::SetLastError(FaultError);
    return failure;
  }
  ::SetLastError(error);
  return result;
}

// For an export whose result is not used (void ones, closers): looks it up
// and runs it with `args` under the fault guard. Whether it was found and
// ran to its end.
template <typename Fn, typename... Args>
bool RunExport(HMODULE module, const char* name, Args... args) {
  const Fn function = ExportOf<Fn>(module, name);
  return function != nullptr && RunGuarded([&] { function(args...); });
}

// RunExport on a library from the table above.
template <typename Fn, typename... Args>
bool RunSystemExport(const wchar_t* library, const char* name, Args... args) {
  return RunExport<Fn>(LoadSystemLibrary(library), name, args...);
}

// CallExport on a library from the table above.
template <typename Fn, DWORD FaultError = kBoundCallFaulted, typename R, typename... Args>
R CallSystemExport(const wchar_t* library, const char* name, R failure, Args... args) {
  return CallExport<Fn, FaultError>(LoadSystemLibrary(library), name, failure, args...);
}

}  // namespace Kx
