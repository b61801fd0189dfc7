// Move-only owners of system handles: one template, and per kind of handle a
// small traits struct that says what the handle is, which values mean "none"
// and how it is closed.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace Kx {

// Traits give:
//   using Handle = ...;                 the handle type;
//   static Handle Empty();              what an owner holds when it owns nothing;
//   static bool IsValid(Handle);        false for every value the system
//                                       answers failure with (never closed);
//   void Close(Handle);                 may be static; traits that need more
//                                       than the handle to close it (the
//                                       window a DC came from) carry it.
template <typename Traits>
class TScopedHandle {
 public:
  using Handle = typename Traits::Handle;

  TScopedHandle() noexcept = default;
  explicit TScopedHandle(Handle handle, Traits traits = Traits()) noexcept : owned_(handle, std::move(traits)) {}
  ~TScopedHandle() { Reset(); }

  TScopedHandle(const TScopedHandle&) = delete;
  TScopedHandle& operator=(const TScopedHandle&) = delete;

  TScopedHandle(TScopedHandle&& other) noexcept
      : owned_(other.Release(), std::move(static_cast<Traits&>(other.owned_))) {}
  TScopedHandle& operator=(TScopedHandle&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
      static_cast<Traits&>(owned_) = std::move(static_cast<Traits&>(other.owned_));
    }
    return *this;
  }

  static bool IsValidHandle(Handle handle) noexcept { return Traits::IsValid(handle); }

  bool IsValid() const noexcept { return IsValidHandle(owned_.handle); }
  explicit operator bool() const noexcept { return IsValid(); }
  Handle Get() const noexcept { return owned_.handle; }

  // Gives up ownership without closing.
  Handle Release() noexcept { return std::exchange(owned_.handle, Traits::Empty()); }

  // Closes the owned handle and takes `handle`. Resetting to the handle
  // already owned keeps it open rather than leaving a closed value behind.
  void Reset(Handle handle = Traits::Empty()) noexcept {
    if (handle == owned_.handle) return;
    if (IsValid()) owned_.Close(owned_.handle);
    owned_.handle = handle;
  }

  // For the out parameter of the call that opens; closes what was held.
  Handle* Receive() noexcept {
    Reset();
    return &owned_.handle;
  }

 private:
  // Deriving from the traits keeps an owner of stateless traits the size of
  // its handle.
  struct Owned : Traits {
    Owned() noexcept = default;
    Owned(Handle value, Traits traits) noexcept : Traits(std::move(traits)), handle(value) {}
    Handle handle = Traits::Empty();
  };
  Owned owned_;
};

// Most kinds of handle mean "none" as null and have no other failure value.
template <typename T>
struct NullIsEmptyTraits {
  using Handle = T;
  static Handle Empty() noexcept { return nullptr; }
  static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
};

// Kernel objects: files, events, mutexes, threads, processes, mappings,
// snapshots, waitable timers.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return nullptr; }
  // Win32 answers failure with NULL from some calls and with
  // INVALID_HANDLE_VALUE from others; neither is ever closed.
  static bool IsValid(Handle handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};
using ScopedHandle = TScopedHandle<KernelHandleTraits>;
static_assert(sizeof(ScopedHandle) == sizeof(HANDLE), "stateless traits take no room in an owner");

// A search of FindFirstFileW, which answers failure with INVALID_HANDLE_VALUE.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle handle) noexcept { return KernelHandleTraits::IsValid(handle); }
  static void Close(Handle handle) noexcept { ::FindClose(handle); }
};
using ScopedFindHandle = TScopedHandle<FindHandleTraits>;

// Memory the system hands out with LocalAlloc (ACLs from SetEntriesInAclW,
// security descriptors from GetNamedSecurityInfoW, FormatMessageW's text),
// freed with LocalFree; `T` is the type the allocating call answers.
template <typename T>
struct LocalMemoryTraits : NullIsEmptyTraits<T> {
  static void Close(T memory) noexcept { ::LocalFree(reinterpret_cast<HLOCAL>(memory)); }
};
template <typename T>
using ScopedLocalMemory = TScopedHandle<LocalMemoryTraits<T>>;

// Memory from GlobalAlloc (clipboard blocks, stream backing, the proxy
// strings of WinHttpGetIEProxyConfigForCurrentUser), freed with GlobalFree.
template <typename T>
struct GlobalMemoryTraits : NullIsEmptyTraits<T> {
  static void Close(T memory) noexcept { ::GlobalFree(reinterpret_cast<HGLOBAL>(memory)); }
};
template <typename T>
using ScopedGlobalMemory = TScopedHandle<GlobalMemoryTraits<T>>;

// Memory from the COM task allocator (the item lists of the shell's folder
// browser), freed with CoTaskMemFree.
template <typename T>
struct CoTaskMemoryTraits : NullIsEmptyTraits<T> {
  static void Close(T memory) noexcept { ::CoTaskMemFree(memory); }
};
template <typename T>
using ScopedCoTaskMemory = TScopedHandle<CoTaskMemoryTraits<T>>;

// A view of a file mapping from MapViewOfFile, unmapped with UnmapViewOfFile.
template <typename T>
struct MappedViewTraits : NullIsEmptyTraits<T> {
  static void Close(T view) noexcept { ::UnmapViewOfFile(view); }
};
template <typename T>
using ScopedMappedView = TScopedHandle<MappedViewTraits<T>>;

// A module from LoadLibraryW or LoadLibraryExW, freed with FreeLibrary.
struct ModuleTraits : NullIsEmptyTraits<HMODULE> {
  static void Close(Handle module) noexcept { ::FreeLibrary(module); }
};
using ScopedModule = TScopedHandle<ModuleTraits>;

// A SID made by AllocateAndInitializeSid, freed with FreeSid.
struct SidTraits : NullIsEmptyTraits<PSID> {
  static void Close(Handle sid) noexcept { ::FreeSid(sid); }
};
using ScopedSid = TScopedHandle<SidTraits>;

// A well-known SID of the NT authority: one or two sub-authorities.
inline ScopedSid NtAuthoritySid(DWORD first, DWORD second = 0, BYTE count = 1) noexcept {
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  if (!::AllocateAndInitializeSid(&authority, count, first, second, 0, 0, 0, 0, 0, 0, &sid)) sid = nullptr;
  return ScopedSid(sid);
}

// GDI objects (fonts, bitmaps, regions, brushes), deleted with DeleteObject;
// `T` is the object's own handle type, so calls get it without a cast.
template <typename T>
struct GdiObjectTraits : NullIsEmptyTraits<T> {
  static void Close(T object) noexcept { ::DeleteObject(object); }
};
template <typename T>
using ScopedGdiObject = TScopedHandle<GdiObjectTraits<T>>;

// A memory device context from CreateCompatibleDC, deleted with DeleteDC.
struct MemoryDCTraits : NullIsEmptyTraits<HDC> {
  static void Close(Handle dc) noexcept { ::DeleteDC(dc); }
};
using ScopedMemoryDC = TScopedHandle<MemoryDCTraits>;

// A window's or the screen's device context from GetDC or GetWindowDC, handed
// back with ReleaseDC to the window it came from (so Reset only takes
// another DC of the same window).
struct WindowDCTraits : NullIsEmptyTraits<HDC> {
  explicit WindowDCTraits(HWND from = nullptr) noexcept : window(from) {}
  void Close(Handle dc) const noexcept { ::ReleaseDC(window, dc); }
  HWND window;  // null for the screen
};
using ScopedWindowDC = TScopedHandle<WindowDCTraits>;

// The client-area DC of `window`, or of the screen when `window` is null.
inline ScopedWindowDC ClientDCOf(HWND window) noexcept {
  return ScopedWindowDC(::GetDC(window), WindowDCTraits(window));
}

// The DC of the whole of `window`, frame included.
inline ScopedWindowDC WindowDCOf(HWND window) noexcept {
  return ScopedWindowDC(::GetWindowDC(window), WindowDCTraits(window));
}

}  // namespace Kx
