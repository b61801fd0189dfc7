#include "miniui/controls/KxMiniUIEditModel.h"

#include <algorithm>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIValue.h"

void KxMiniUIEditModel::SetFormat(const KxMiniUITextFormat& format) {
  format_ = format;
  Remeasure();
}

void KxMiniUIEditModel::SetPassword(bool password) {
  password_ = password;
  if (password_) undo_.clear();
  Remeasure();
}

void KxMiniUIEditModel::SetText(const std::wstring& text) {
  undo_.clear();
  text_ = WithoutLineBreaks(text);
  Layout();
}

void KxMiniUIEditModel::Layout() {
  Remeasure();
  anchor_ = caret_ = Length();
  RecomputeOrigin();
  laidOut_ = true;
}

bool KxMiniUIEditModel::TypeCharacter(wchar_t character) {
  if (limit_ > 0 && Length() >= limit_) return false;
  return Insert(std::wstring(1, character));
}

bool KxMiniUIEditModel::Insert(const std::wstring& text) {
  std::wstring inserted = WithoutLineBreaks(text);
  if (limit_ > 0) {
    const int room = limit_ - (Length() - (SelectionEnd() - SelectionStart()));
    if (room <= 0) return false;
    if (static_cast<int>(inserted.size()) > room) inserted.resize(room);
  }
  // Replacing nothing with nothing is no change and leaves no undo step.
  if (inserted.empty() && !HasSelection()) return false;
  PushUndo();
  const int start = SelectionStart();
  text_.replace(start, SelectionEnd() - start, inserted);
  anchor_ = caret_ = start + static_cast<int>(inserted.size());
  Remeasure(start);
  RecomputeOrigin();
  return true;
}

bool KxMiniUIEditModel::Delete(DeleteDirection direction) {
  int start = SelectionStart();
  int end = SelectionEnd();
  if (start == end) {
    if (direction == kDeleteBackward) {
      if (caret_ == 0) return false;
      start = caret_ - 1;
    } else {
      if (caret_ >= Length()) return false;
      end = caret_ + 1;
    }
  }
  PushUndo();
  text_.erase(start, end - start);
  anchor_ = caret_ = start;
  Remeasure(start);
  ScrollAfterDelete();
  return true;
}

bool KxMiniUIEditModel::Undo() {
  if (!CanUndo()) return false;
  text_ = undo_.back();
  undo_.pop_back();
  Remeasure();
  anchor_ = caret_ = Length();
  RecomputeOrigin();
  return true;
}

void KxMiniUIEditModel::MoveCaret(int index, bool extend) {
  caret_ = Clamp(index);
  if (!extend) anchor_ = caret_;
  KeepVisible(caret_);
}

void KxMiniUIEditModel::SetSelection(int anchor, int caret) {
  anchor_ = Clamp(anchor);
  caret_ = Clamp(caret);
}

std::wstring KxMiniUIEditModel::GetSelectedText() const {
  return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

int KxMiniUIEditModel::CaretPosition(int index) const {
  const int x = origin_ + prefixWidths_[Clamp(index)];
  return std::min<int>(x, textRect_.right);
}

int KxMiniUIEditModel::HitTest(int x) const {
  int previous = origin_;
  for (int i = 0; i <= Length(); ++i) {
    const int position = CaretPosition(i);
    if (position > x) {
      // Past the middle of the character the caret goes after it.
      if (2 * x > previous + position) return i;
      return std::max(i - 1, 0);
    }
    previous = position;
  }
  return Length();
}

RECT KxMiniUIEditModel::SelectionRect(int caretHeight) const {
  if (!HasSelection()) return RECT{0, 0, 0, 0};
  const int top = textRect_.top + ((textRect_.bottom - textRect_.top) / 2 - caretHeight / 2);
  return RECT{CaretPosition(SelectionStart()), top, CaretPosition(SelectionEnd()), top + caretHeight};
}

RECT KxMiniUIEditModel::DrawingRect() const {
  RECT rect = textRect_;
  if (IsWiderThanBox()) {
    rect.left = origin_;
    rect.right = origin_ + textSize_.cx;
  }
  return rect;
}

std::wstring KxMiniUIEditModel::WithoutLineBreaks(const std::wstring& text) {
  std::wstring kept;
  kept.reserve(text.size());
  for (const wchar_t character : text) {
    if (character != L'\n' && character != L'\r') kept.push_back(character);
  }
  return kept;
}

void KxMiniUIEditModel::Remeasure(int unchanged) {
  display_ = password_ ? std::wstring(text_.size(), kPasswordChar) : text_;
  const size_t kept = static_cast<size_t>(std::max(0, std::min(unchanged, Length())));
  prefixWidths_.resize(std::min(prefixWidths_.size(), kept + 1));
  if (prefixWidths_.empty()) prefixWidths_.push_back(0);
  if (prefixWidths_.size() == 1) textSize_.cy = 0;
  if (display_.size() + 1 > prefixWidths_.size()) {
    KxMiniUICanvasGdiplus measuring(1, 1, true);
    for (size_t i = prefixWidths_.size(); i <= display_.size(); ++i) {
      SIZE size{0, 0};
      if (!measuring.MeasureTextSimple(display_.substr(0, i), format_, size)) size = SIZE{0, 0};
      // A trailing space measures no wider than the text before it; the caret
      // never moves left when the index grows.
      prefixWidths_.push_back(std::max<int>(size.cx, prefixWidths_.back()));
      textSize_.cy = std::max(textSize_.cy, size.cy);
    }
  }
  textSize_.cx = prefixWidths_.back();
}

void KxMiniUIEditModel::PushUndo() {
  if (password_) return;
  undo_.push_back(text_);
  while (undo_.size() > kMaxUndo) undo_.pop_front();
}

int KxMiniUIEditModel::Clamp(int index) const { return std::max(0, std::min(index, Length())); }

void KxMiniUIEditModel::RecomputeOrigin() {
  const int left = textRect_.left;
  const int right = textRect_.right;
  if (IsWiderThanBox()) {
    const int beforeCaret = prefixWidths_[caret_];
    // The caret ends at the right edge when the text before it alone is too wide.
    origin_ = beforeCaret > BoxWidth() ? right - beforeCaret : left;
    return;
  }
  switch (format_.align) {
    case KxMiniUIValue::kAlignCenter: origin_ = left + BoxWidth() / 2 - textSize_.cx / 2; break;
    case KxMiniUIValue::kAlignFar: origin_ = right - textSize_.cx; break;
    default: origin_ = left; break;
  }
}

void KxMiniUIEditModel::KeepVisible(int index) {
  if (!IsWiderThanBox()) return;
  const int left = textRect_.left;
  const int right = textRect_.right;
  if (index <= 0) {
    origin_ = left;
    return;
  }
  if (index >= Length()) {
    origin_ = right - textSize_.cx;
    return;
  }
  const int width = prefixWidths_[index + 1] - prefixWidths_[index];
  const int x = CaretPosition(index);
  if (x < left + width && index > 1) {
    origin_ += left + width - x;
  } else if (x > right - width) {
    origin_ -= x - (right - width);
  }
}

void KxMiniUIEditModel::ScrollAfterDelete() {
  if (!IsWiderThanBox()) {
    RecomputeOrigin();
    return;
  }
  if (origin_ > textRect_.left) origin_ = textRect_.left;
  if (origin_ + textSize_.cx < textRect_.right) origin_ = textRect_.right - textSize_.cx;
  KeepVisible(caret_);
}
