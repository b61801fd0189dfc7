// Where a view goes inside its parent: the "pos" coordinates, the width and
// height modes, the alignments and the float setting, and the computation
// that turns them into a rectangle relative to the parent.
#pragma once

#include <windows.h>

class KxMiniUIViewLayout {
 public:
  // Mode word.
  static constexpr unsigned kWidthFixed = 0x1;
  static constexpr unsigned kWidthNatural = 0x2;
  static constexpr unsigned kWidthFull = 0x3;
  static constexpr unsigned kWidthMask = 0x3;
  static constexpr unsigned kHeightFixed = 0x4;
  static constexpr unsigned kHeightNatural = 0x8;
  static constexpr unsigned kHeightFull = 0xC;
  static constexpr unsigned kHeightMask = 0xC;
  static constexpr unsigned kXAlignNear = 0x10;
  static constexpr unsigned kXAlignCenter = 0x20;
  static constexpr unsigned kXAlignFar = 0x30;
  static constexpr unsigned kXAlignMask = 0x30;
  static constexpr unsigned kYAlignNear = 0x40;
  static constexpr unsigned kYAlignCenter = 0x80;
  static constexpr unsigned kYAlignFar = 0xC0;
  static constexpr unsigned kYAlignMask = 0xC0;
  // Coordinates, sizes and placed edges stay within this many pixels of 0,
  // so that no sum of them overflows an int, whatever a layout writes.
  static constexpr int kCoordinateLimit = 1 << 24;

  // One written coordinate: "#" after the previous sibling, then "|" from
  // the centre or "%" percent, then "-" from the far edge, then a number.
  struct Coordinate {
    int value = 0;
    bool fromFar = false;
    bool fromCentre = false;
    bool percent = false;
    bool afterSibling = false;
  };

  // Reads "x,y" or "left,top,right,bottom" (spaces ignored). Any other
  // count leaves no position (count 0) and answers false. A valid position
  // turns a width or height mode that is not fixed into natural.
  bool ParsePos(const char* text);
  // "full", or a number: 1 or more is a fixed size, less the natural size.
  void SetWidth(const char* text);
  void SetHeight(const char* text);
  // "near", "center" or "far"; also turns a size mode that is not fixed
  // into natural. False (nothing changed) for other text.
  bool SetHorizontalAlignment(const char* text);
  bool SetVerticalAlignment(const char* text);
  void SetFloat(int setting) { float_ = setting; }

  int Count() const { return count_; }
  const Coordinate& Entry(int index) const { return entries_[index]; }
  unsigned Mode() const { return mode_; }
  int FixedWidth() const { return fixedWidth_; }
  int FixedHeight() const { return fixedHeight_; }
  int Float() const { return float_; }

  // The rectangle relative to the parent, whose size is `parent`.
  // `previousSibling` (relative to the same parent) serves "#" coordinates;
  // `natural` is the view's own size, used without four coordinates.
  RECT Place(SIZE parent, const RECT* previousSibling, SIZE natural) const;

 private:
  long long Resolve(const Coordinate& entry, bool horizontal, long long extent, const RECT* previousSibling) const;
  void MakeSizesNatural();

  Coordinate entries_[4];
  int count_ = 0;
  unsigned mode_ = 0;
  int fixedWidth_ = 0;
  int fixedHeight_ = 0;
  int float_ = -1;  // -1 takes the window's setting
};
