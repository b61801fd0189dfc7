// The paint-optimisation side of a view: invalidation may remember the
// topmost opaque view covering the whole invalid area so that painting can
// start there. This tree repaints from the root, which draws the same
// pixels; the interface keeps the place for that bookkeeping.
#pragma once

class KxFastPaintHelper {
 public:
  virtual ~KxFastPaintHelper();
};
