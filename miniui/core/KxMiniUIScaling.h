// The layout scale factor pictures are divided by when scaling is enabled
// (1.0 otherwise, and at 96 DPI). The application module sets it at start-up.
#pragma once

class KxMiniUIScaling {
 public:
  // The factor picture skins use: the set factor when enabled, else 1.
  static double PictureFactor();
  static void Set(double factor, bool enabled);
};
