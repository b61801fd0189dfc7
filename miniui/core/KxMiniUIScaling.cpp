#include "miniui/core/KxMiniUIScaling.h"

namespace {
double g_factor = 1.0;
bool g_enabled = false;
}  // namespace

double KxMiniUIScaling::PictureFactor() { return g_enabled && g_factor > 0.0 ? g_factor : 1.0; }

void KxMiniUIScaling::Set(double factor, bool enabled) {
  g_factor = factor;
  g_enabled = enabled;
}
