#include "miniui/core/KxMiniUIViewLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "miniui/core/KxMiniUIText.h"
#include "miniui/core/KxMiniUIValue.h"

namespace {

int Clamped(long long value) {
  const long long limit = KxMiniUIViewLayout::kCoordinateLimit;
  return static_cast<int>(std::clamp(value, -limit, limit));
}

}  // namespace

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
    entry.value = Clamped(value);
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
    size = Clamped(value);
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

long long KxMiniUIViewLayout::Resolve(const Coordinate& entry, bool horizontal, long long extent,
                                      const RECT* previousSibling) const {
  long long origin = 0;
  bool afterSibling = false;
  if (entry.afterSibling && previousSibling != nullptr) {
    extent = horizontal ? static_cast<long long>(previousSibling->right) - previousSibling->left
                        : static_cast<long long>(previousSibling->bottom) - previousSibling->top;
    origin = horizontal ? previousSibling->left : previousSibling->top;
    afterSibling = true;
  }
  const long long value = entry.value;
  if (entry.fromCentre) return origin + (entry.fromFar ? -value : value) + extent / 2;
  if (entry.percent) {
    const long long share = std::llround(static_cast<double>(value) * static_cast<double>(extent) / 100.0);
    return entry.fromFar ? extent + origin - share : origin + share;
  }
  if (entry.fromFar) return extent + origin - value;
  // Counted from the sibling's far edge when it follows a sibling.
  return origin + value + (afterSibling ? extent : 0);
}

RECT KxMiniUIViewLayout::Place(SIZE parent, const RECT* previousSibling, SIZE natural) const {
  long long left = 0, top = 0, right = 0, bottom = 0;
  if (count_ >= 2) {
    left = Clamped(Resolve(entries_[0], true, parent.cx, previousSibling));
    top = Clamped(Resolve(entries_[1], false, parent.cy, previousSibling));
  }
  if (count_ == 4) {
    right = Resolve(entries_[2], true, parent.cx, previousSibling);
    bottom = Resolve(entries_[3], false, parent.cy, previousSibling);
  } else {
    switch (mode_ & kWidthMask) {
      case kWidthFixed: right = left + fixedWidth_; break;
      case kWidthFull: right = parent.cx; break;
      default: right = left + natural.cx; break;
    }
    switch (mode_ & kHeightMask) {
      case kHeightFixed: bottom = top + fixedHeight_; break;
      case kHeightFull: bottom = parent.cy; break;
      default: bottom = top + natural.cy; break;
    }
  }
  const long long width = Clamped(right) - left;
  const long long height = Clamped(bottom) - top;
  switch (mode_ & kXAlignMask) {
    case kXAlignNear: left = 0; break;
    case kXAlignCenter: left = (parent.cx - width) / 2; break;
    case kXAlignFar: left = parent.cx - width; break;
    default: break;
  }
  switch (mode_ & kYAlignMask) {
    case kYAlignNear: top = 0; break;
    case kYAlignCenter: top = (parent.cy - height) / 2; break;
    case kYAlignFar: top = parent.cy - height; break;
    default: break;
  }
  return RECT{Clamped(left), Clamped(top), Clamped(left + width), Clamped(top + height)};
}
