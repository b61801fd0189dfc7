// A new folder that only administrators can change, for running code the
// elevated installer has checked. It is made with an unpredictable name in
// a place where users cannot delete or rename entries, never reuses a name
// that is already there, and is deleted with everything in it when the
// owner goes.
#pragma once

#include <string>

namespace Kx {

class ProtectedFolder {
 public:
  ProtectedFolder() = default;
  ~ProtectedFolder() { Remove(); }
  ProtectedFolder(const ProtectedFolder&) = delete;
  ProtectedFolder& operator=(const ProtectedFolder&) = delete;

  // Makes "<parent>\<prefix>.<32 random hex digits>" with FolderSecurity.
  // An existing name is never taken: another random name is tried, a few
  // times, and then the creation fails.
  bool Create(const std::wstring& parent, const std::wstring& prefix);

  // The Windows folder's "Temp": users may add entries there but neither
  // list, delete nor rename those of others.
  static bool SystemTempFolder(std::wstring& folder);

  // Empty until Create succeeded; no trailing backslash.
  const std::wstring& Path() const noexcept { return path_; }

  void Remove();

 private:
  std::wstring path_;
};

}  // namespace Kx
