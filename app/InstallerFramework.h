// What the installer's window needs before it exists and gives back after
// it is gone: error mode, OLE, common controls, GDI+, and the UI framework
// with the installer's strings, style classes and skins.
#pragma once

#include <windows.h>

class InstallerFramework {
 public:
  // Resource documents of the installer.
  static constexpr UINT kStrings = 102;
  static constexpr UINT kStyles = 101;
  static constexpr UINT kSkins = 100;

  // Starts everything in order; `resources` holds the XML and pictures.
  explicit InstallerFramework(HMODULE resources);
  // Shuts down in reverse, once every framework window is gone.
  ~InstallerFramework();
  InstallerFramework(const InstallerFramework&) = delete;
  InstallerFramework& operator=(const InstallerFramework&) = delete;

  bool DocumentsLoaded() const { return documentsLoaded_; }

 private:
  ULONG_PTR gdiplusToken_ = 0;
  bool gdiplusStarted_ = false;
  bool documentsLoaded_ = false;
};
