// Run-time binding of system libraries. The installer must start on every
// Windows from XP on, so optional functions are looked up by name instead
// of being imported; a missing library or export makes only the operation
// that needs it fail.
#pragma once

#include <windows.h>

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

// An export of a library from the table above, or null.
template <typename Fn>
Fn SystemExport(const wchar_t* library, const char* name) {
  return ExportOf<Fn>(LoadSystemLibrary(library), name);
}

}  // namespace Kx
