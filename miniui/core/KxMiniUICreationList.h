// Hands a window object to its native window procedure during creation:
// the object is entered here, keyed by the creating thread, right before
// CreateWindowEx (or the dialog box call), and the procedure takes it at the
// first message the new window receives, which comes before any creation
// message could carry it.
#pragma once

#include <windows.h>

class KxMiniUICreationList {
 public:
  static void Push(void* object);
  // The object most recently pushed by this thread, removed; none when empty.
  static void* Take();
  // Removes `object` if creation failed before any message took it.
  static void Cancel(void* object);
};
