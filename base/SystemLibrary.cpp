#include "base/SystemLibrary.h"

#include <string>
#include <utility>
#include <vector>

#include "base/CriticalSection.h"
#include "base/StringUtil.h"

namespace Kx {
namespace {

class LibraryTable {
 public:
  HMODULE Load(const std::wstring& name) {
    CriticalSectionLock lock(section_);
    for (const auto& entry : entries_) {
      if (EqualsNoCase(entry.first, name)) return entry.second;
    }
    const std::wstring path = PathInSystemFolder(name);
    if (path.empty()) return nullptr;
    HMODULE module = ::LoadLibraryW(path.c_str());
    if (module) entries_.emplace_back(name, module);
    return module;
  }

 private:
  // Empty when the system folder is unknown: a bare name would be searched
  // for beside the installer first.
  static std::wstring PathInSystemFolder(const std::wstring& name) {
    if (name.find_first_of(L"\\/") != std::wstring::npos) return name;
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::wstring();
    std::wstring path(folder, length);
    if (path.back() != L'\\') path += L'\\';
    return path + name;
  }

  CriticalSection section_;
  // Modules are never freed: callers keep the handles they were given.
  std::vector<std::pair<std::wstring, HMODULE>> entries_;
};

LibraryTable& Table() {
  static LibraryTable table;  // created once, under the compiler's own guard
  return table;
}

}  // namespace

bool RestrictDllSearchToSystemFolder() {
  using SetDefaultDllDirectoriesFn = decltype(&::SetDefaultDllDirectories);
  const auto setDefault = SystemExport<SetDefaultDllDirectoriesFn>(L"Kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
  // Without that call (Windows before 8 with no update) the current folder
  // at least leaves the search; the program's own folder stays in it.
  return ::SetDllDirectoryW(L"") != FALSE;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (!name || !*name) return nullptr;
  return Table().Load(name);
}

}  // namespace Kx
