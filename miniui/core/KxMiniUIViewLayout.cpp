#include "miniui/core/KxMiniUIViewLayout.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "miniui/core/KxMiniUIText.h"
#include "miniui/core/KxMiniUIValue.h"

void KxMiniUIViewLayout::MakeSizesNatural() {
  if ((mode_ & kWidthMask) != kWidthFixed) mode_ = (mode_ & ~kWidthMask) | kWidthNatural;
  if ((mode_ & kHeightMask) != kHeightFixed) mode_ = (mode_ & ~kHeightMask) | kHeightNatural;
}

bool KxMiniUIViewLayout::ParsePos(const char* text) {
  std::string compact;
  for (const char* p = text ? text : ""; *p != '\0'; ++p) {
    if (*p != ' ') compact.push_back(*p);
  }
  count_ = 0;
  const char* p = compact.c_str();
  int count = 0;
  while (count < 4 && *p != '\0') {
    Coordinate entry;
    if (*p == '#') {
      entry.afterSibling = true;
      ++p;
    }
    if (*p == '|') {
      entry.fromCentre = true;
      ++p;
    } else if (*p == '%') {
      entry.percent = true;
      ++p;
    }
    if (*p == '-') {
      entry.fromFar = true;
      ++p;
    }
    char* end = nullptr;
    const long value = std::strtol(p, &end, 0);
    if (end == p) break;  // no number: this coordinate is not written
    entry.value = static_cast<int>(value);
    entries_[count++] = entry;
    p = end;
    if (*p != ',') break;
    ++p;
  }
  if (count != 2 && count != 4) return false;
  count_ = count;
  MakeSizesNatural();
  return true;
}

namespace {

unsigned SizeMode(const char* text, unsigned fixed, unsigned natural, unsigned full, int& size) {
  if (KxMiniUIText::NamesEqual(text, "full")) return full;
  const long value = KxMiniUIValue::Number(text);
  if (value >= 1) {
    size = static_cast<int>(value);
    return fixed;
  }
  return natural;
}

}  // namespace

void KxMiniUIViewLayout::SetWidth(const char* text) {
  mode_ = (mode_ & ~kWidthMask) | SizeMode(text, kWidthFixed, kWidthNatural, kWidthFull, fixedWidth_);
}

void KxMiniUIViewLayout::SetHeight(const char* text) {
  mode_ = (mode_ & ~kHeightMask) | SizeMode(text, kHeightFixed, kHeightNatural, kHeightFull, fixedHeight_);
}

bool KxMiniUIViewLayout::SetHorizontalAlignment(const char* text) {
  int alignment = 0;
  if (!KxMiniUIValue::ParseAlignment(text, alignment)) return false;
  static const unsigned kBits[] = {kXAlignNear, kXAlignCenter, kXAlignFar};
  mode_ = (mode_ & ~kXAlignMask) | kBits[alignment];
  if ((mode_ & kWidthMask) != kWidthFixed) mode_ = (mode_ & ~kWidthMask) | kWidthNatural;
  return true;
}

bool KxMiniUIViewLayout::SetVerticalAlignment(const char* text) {
  int alignment = 0;
  if (!KxMiniUIValue::ParseAlignment(text, alignment)) return false;
  static const unsigned kBits[] = {kYAlignNear, kYAlignCenter, kYAlignFar};
  mode_ = (mode_ & ~kYAlignMask) | kBits[alignment];
  if ((mode_ & kHeightMask) != kHeightFixed) mode_ = (mode_ & ~kHeightMask) | kHeightNatural;
  return true;
}

int KxMiniUIViewLayout::Resolve(const Coordinate& entry, bool horizontal, int extent,
                                const RECT* previousSibling) const {
  int origin = 0;
  bool afterSibling = false;
  if (entry.afterSibling && previousSibling != nullptr) {
    extent = horizontal ? previousSibling->right - previousSibling->left
                        : previousSibling->bottom - previousSibling->top;
    origin = horizontal ? previousSibling->left : previousSibling->top;
    afterSibling = true;
  }
  if (entry.fromCentre) return origin + (entry.fromFar ? -entry.value : entry.value) + extent / 2;
  if (entry.percent) {
    const int share = static_cast<int>(std::lround(entry.value * static_cast<double>(extent) / 100.0));
    return entry.fromFar ? extent + origin - share : origin + share;
  }
  if (entry.fromFar) return extent + origin - entry.value;
  // Counted from the sibling's far edge when it follows a sibling.
  return origin + entry.value + (afterSibling ? extent : 0);
}

RECT KxMiniUIViewLayout::Place(SIZE parent, const RECT* previousSibling, SIZE natural) const {
  RECT rect{0, 0, 0, 0};
  if (count_ >= 2) {
    rect.left = Resolve(entries_[0], true, parent.cx, previousSibling);
    rect.top = Resolve(entries_[1], false, parent.cy, previousSibling);
  }
  if (count_ == 4) {
    rect.right = Resolve(entries_[2], true, parent.cx, previousSibling);
    rect.bottom = Resolve(entries_[3], false, parent.cy, previousSibling);
  } else {
    switch (mode_ & kWidthMask) {
      case kWidthFixed: rect.right = rect.left + fixedWidth_; break;
      case kWidthFull: rect.right = parent.cx; break;
      default: rect.right = rect.left + natural.cx; break;
    }
    switch (mode_ & kHeightMask) {
      case kHeightFixed: rect.bottom = rect.top + fixedHeight_; break;
      case kHeightFull: rect.bottom = parent.cy; break;
      default: rect.bottom = rect.top + natural.cy; break;
    }
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  switch (mode_ & kXAlignMask) {
    case kXAlignNear: rect.left = 0; break;
    case kXAlignCenter: rect.left = (parent.cx - width) / 2; break;
    case kXAlignFar: rect.left = parent.cx - width; break;
    default: break;
  }
  switch (mode_ & kYAlignMask) {
    case kYAlignNear: rect.top = 0; break;
    case kYAlignCenter: rect.top = (parent.cy - height) / 2; break;
    case kYAlignFar: rect.top = parent.cy - height; break;
    default: break;
  }
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  return rect;
}
