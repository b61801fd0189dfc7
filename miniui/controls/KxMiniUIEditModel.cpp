#include "miniui/controls/KxMiniUIEditModel.h"

#include <algorithm>
#include <cwctype>
#include <memory>

#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIValue.h"

namespace {

// Units per run. Every prefix inside a run is measured as one string, so a
// run costs about its length squared in measured characters and the whole
// text the sum over its runs: linear in the length.
constexpr int kRunLength = 32;

// GDI+ leaves trailing spaces out of a measurement; a mark after them
// keeps them in, and its own width is taken off again.
constexpr wchar_t kTrailingMark[] = L"|";

bool IsHighSurrogate(wchar_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(wchar_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsLineBreak(wchar_t unit) { return unit == L'\n' || unit == L'\r'; }
bool IsSpace(wchar_t unit) { return std::iswspace(unit) != 0; }

// The second unit of a pair: it belongs to the character before it.
bool ContinuesPair(const std::wstring& text, size_t index) {
  return index > 0 && index < text.size() && IsLowSurrogate(text[index]) && IsHighSurrogate(text[index - 1]);
}

}  // namespace

class KxMiniUIEditModel::Measurer {
 public:
  Measurer(const KxMiniUITextFormat& format, const MeasureHook& hook) : format_(format), hook_(hook) {}

  SIZE Measure(const std::wstring& text) {
    SIZE size{0, 0};
    if (text.empty()) return size;
    bool measured = false;
    if (hook_) {
      measured = hook_(text, format_, size);
    } else {
      if (!canvas_) canvas_ = std::make_unique<KxMiniUICanvasGdiplus>(1, 1, true);
      measured = canvas_->MeasureTextSimple(text, format_, size);
    }
    return measured ? size : SIZE{0, 0};
  }

  int AdvanceWithTrailingSpaces(const std::wstring& text) {
    return Measure(text + kTrailingMark).cx - Measure(kTrailingMark).cx;
  }

 private:
  const KxMiniUITextFormat& format_;
  const MeasureHook& hook_;
  std::unique_ptr<KxMiniUICanvasGdiplus> canvas_;
};

void KxMiniUIEditModel::SetFormat(const KxMiniUITextFormat& format) {
  format_ = format;
  Remeasure();
}

void KxMiniUIEditModel::SetPassword(bool password) {
  password_ = password;
  if (password_) {
    undo_.clear();
    undoBytes_ = 0;
  }
  Remeasure();
}

void KxMiniUIEditModel::SetMeasureHook(MeasureHook hook) {
  measureHook_ = std::move(hook);
  Remeasure();
}

void KxMiniUIEditModel::SetText(const std::wstring& text) {
  undo_.clear();
  undoBytes_ = 0;
  ReplaceWhole(WithoutLineBreaks(text));
  anchor_ = caret_ = Length();
  RecomputeOrigin();
  laidOut_ = true;
}

void KxMiniUIEditModel::Layout() {
  Remeasure();
  anchor_ = caret_ = Length();
  RecomputeOrigin();
  laidOut_ = true;
}

bool KxMiniUIEditModel::TypeCharacter(wchar_t character) {
  if (limit_ > 0 && CharacterCount() >= limit_) return false;
  return Insert(std::wstring(1, character));
}

bool KxMiniUIEditModel::Insert(const std::wstring& text) {
  std::wstring inserted = Insertable(text);
  if (limit_ > 0) {
    const int kept = CharacterCount() - CharacterCountOf(text_, SelectionStart(), SelectionEnd());
    const int room = limit_ - kept;
    if (room <= 0) return false;
    inserted = FirstCharacters(inserted, room);
  }
  // Replacing nothing with nothing is no change and leaves no undo step.
  if (inserted.empty() && !HasSelection()) return false;
  PushUndo();
  const int start = SelectionStart();
  Replace(start, SelectionEnd() - start, inserted);
  anchor_ = caret_ = start + static_cast<int>(inserted.size());
  RecomputeOrigin();
  return true;
}

bool KxMiniUIEditModel::Delete(DeleteDirection direction) {
  int start = SelectionStart();
  int end = SelectionEnd();
  if (start == end) {
    if (direction == kDeleteBackward) {
      if (caret_ == 0) return false;
      start = PreviousCharacter(caret_);
    } else {
      if (caret_ >= Length()) return false;
      end = NextCharacter(caret_);
    }
  }
  PushUndo();
  Replace(start, end - start, std::wstring());
  anchor_ = caret_ = start;
  ScrollAfterDelete();
  return true;
}

bool KxMiniUIEditModel::Undo() {
  if (!CanUndo()) return false;
  const std::wstring snapshot = std::move(undo_.back());
  undo_.pop_back();
  undoBytes_ -= snapshot.size() * sizeof(wchar_t);
  ReplaceWhole(snapshot);
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

int KxMiniUIEditModel::PreviousCharacter(int index) const {
  const int from = Clamp(index);
  return from == 0 ? 0 : Clamp(from - 1);
}

int KxMiniUIEditModel::NextCharacter(int index) const {
  const int from = Clamp(index);
  if (from >= Length()) return Length();
  return ContinuesPair(text_, from + 1) ? from + 2 : from + 1;
}

std::wstring KxMiniUIEditModel::GetSelectedText() const {
  return text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

int KxMiniUIEditModel::CaretPosition(int index) const {
  const int x = origin_ + PrefixWidth(Clamp(index));
  return std::min<int>(x, textRect_.right);
}

int KxMiniUIEditModel::HitTest(int x) const {
  if (CaretPosition(Length()) <= x) return Length();
  // Left of the right edge a caret position is its unclamped x, so the
  // walk starts in the run under the point.
  int index = runs_.empty() ? 0 : runs_[RunAtWidth(x - origin_)].start;
  int before = index;
  int previous = origin_;
  int position = CaretPosition(index);
  while (position <= x) {
    before = index;
    previous = position;
    index = NextCharacter(index);
    position = CaretPosition(index);
  }
  // Past the middle of the character the caret goes after it.
  if (2 * x > previous + position) return index;
  return index == 0 ? 0 : before;
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

std::wstring KxMiniUIEditModel::VisibleDisplayText(RECT& drawing) const {
  drawing = DrawingRect();
  if (!IsWiderThanBox()) return GetDisplayText();
  // One more character on either side for glyphs that reach past their
  // advance.
  const int first = PreviousCharacter(IndexAtOrBefore(textRect_.left - origin_));
  const int end = NextCharacter(NextCharacter(IndexAtOrBefore(textRect_.right - origin_)));
  drawing.left = origin_ + PrefixWidth(first);
  drawing.right = origin_ + PrefixWidth(end);
  return DisplayOf(first, end - first);
}

std::wstring KxMiniUIEditModel::WithoutLineBreaks(const std::wstring& text) {
  std::wstring kept;
  kept.reserve(text.size());
  for (const wchar_t character : text) {
    if (!IsLineBreak(character)) kept.push_back(character);
  }
  return kept;
}

std::wstring KxMiniUIEditModel::Insertable(const std::wstring& text) {
  const std::wstring unbroken = WithoutLineBreaks(text);
  std::wstring kept;
  kept.reserve(unbroken.size());
  for (size_t i = 0; i < unbroken.size(); ++i) {
    const wchar_t unit = unbroken[i];
    if (IsHighSurrogate(unit)) {
      if (i + 1 < unbroken.size() && IsLowSurrogate(unbroken[i + 1])) {
        kept.push_back(unit);
        kept.push_back(unbroken[++i]);
      }
    } else if (!IsLowSurrogate(unit)) {
      kept.push_back(unit);
    }
  }
  return kept;
}

int KxMiniUIEditModel::CharacterCountOf(const std::wstring& text, int start, int end) {
  int count = 0;
  for (int i = start; i < end; ++i) {
    if (!ContinuesPair(text, static_cast<size_t>(i))) ++count;
  }
  return count;
}

std::wstring KxMiniUIEditModel::FirstCharacters(const std::wstring& text, int characters) {
  size_t end = 0;
  for (int taken = 0; taken < characters && end < text.size(); ++taken) {
    end += ContinuesPair(text, end + 1) ? 2 : 1;
  }
  return text.substr(0, end);
}

std::wstring KxMiniUIEditModel::DisplayOf(int start, int length) const {
  if (!password_) return text_.substr(start, length);
  return std::wstring(CharacterCountOf(text_, start, start + length), kPasswordChar);
}

void KxMiniUIEditModel::ReplaceWhole(const std::wstring& text) {
  // Only what differs from the current text is measured again: an undo
  // step or a put-back of a long text costs what it changes.
  const size_t shorter = std::min(text.size(), text_.size());
  size_t prefix = 0;
  while (prefix < shorter && text[prefix] == text_[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix && text[text.size() - 1 - suffix] == text_[text_.size() - 1 - suffix]) ++suffix;
  Replace(static_cast<int>(prefix), static_cast<int>(text_.size() - prefix - suffix),
          text.substr(prefix, text.size() - prefix - suffix));
}

void KxMiniUIEditModel::Replace(int start, int removed, const std::wstring& inserted) {
  const int oldLength = Length();
  // Measured again: from the run holding the character before the change
  // (its width may have ended the text, or kern with what comes) to the
  // run holding the change's end.
  size_t firstRun = 0;
  size_t endRun = runs_.size();
  int regionStart = 0;
  int regionEnd = oldLength;
  if (!runs_.empty()) {
    firstRun = start > 0 ? RunAt(start - 1) : 0;
    regionStart = runs_[firstRun].start;
    const int end = start + removed;
    if (end < oldLength) {
      endRun = RunAt(end);
      if (runs_[endRun].start < end) ++endRun;
      regionEnd = endRun < runs_.size() ? runs_[endRun].start : oldLength;
    }
  }
  const int left = firstRun < runs_.size() ? runs_[firstRun].left : 0;
  const int oldRight = endRun < runs_.size() ? runs_[endRun].left : textSize_.cx;

  text_.replace(start, removed, inserted);
  if (password_) display_.assign(CharacterCount(), kPasswordChar);
  const int shift = static_cast<int>(inserted.size()) - removed;
  Measurer measurer(format_, measureHook_);
  std::vector<Run> fresh = MeasureRuns(regionStart, regionEnd + shift, left, endRun == runs_.size(), measurer);
  const int newRight = fresh.empty() ? left : fresh.back().left + fresh.back().advance;
  for (size_t k = endRun; k < runs_.size(); ++k) {
    runs_[k].start += shift;
    runs_[k].left += newRight - oldRight;
  }
  runs_.erase(runs_.begin() + firstRun, runs_.begin() + endRun);
  runs_.insert(runs_.begin() + firstRun, fresh.begin(), fresh.end());
  UpdateTextSize();
}

void KxMiniUIEditModel::Remeasure() {
  display_.clear();
  if (password_) display_.assign(CharacterCount(), kPasswordChar);
  Measurer measurer(format_, measureHook_);
  runs_ = MeasureRuns(0, Length(), 0, true, measurer);
  UpdateTextSize();
}

std::vector<KxMiniUIEditModel::Run> KxMiniUIEditModel::MeasureRuns(int start, int end, int left, bool last,
                                                                   Measurer& measurer) const {
  std::vector<Run> runs;
  for (int position = start; position < end;) {
    const int cut = RunEnd(position, end);
    Run run;
    run.start = position;
    run.length = cut - position;
    run.left = left;
    const std::wstring display = DisplayOf(position, run.length);
    const SIZE size = measurer.Measure(display);
    run.advance = size.cx;
    run.height = size.cy;
    // Inside the text a run's spaces take room; at its end they take none,
    // as they did when the whole text was measured at once.
    if (!(last && cut == end) && IsSpace(display.back())) {
      run.advance = std::max(run.advance, measurer.AdvanceWithTrailingSpaces(display));
    }
    left += run.advance;
    runs.push_back(std::move(run));
    position = cut;
  }
  return runs;
}

int KxMiniUIEditModel::RunEnd(int start, int end) const {
  if (end - start <= kRunLength) return end;
  int cut = start + kRunLength;
  // A run ends on a word rather than on the spaces after it: its width is
  // then what GDI+ measures, and no kerning pair inside a word is split.
  while (cut > start + 1 && IsSpace(text_[cut - 1])) --cut;
  if (IsSpace(text_[cut - 1])) cut = start + kRunLength;
  if (ContinuesPair(text_, cut)) cut = cut - 1 > start ? cut - 1 : cut + 1;
  return cut;
}

size_t KxMiniUIEditModel::RunAt(int index) const {
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                      [](int value, const Run& run) { return value < run.start; });
  return after == runs_.begin() ? 0 : static_cast<size_t>(after - runs_.begin() - 1);
}

size_t KxMiniUIEditModel::RunAtWidth(int width) const {
  const auto after = std::partition_point(runs_.begin(), runs_.end(),
                                          [width](const Run& run) { return run.left <= width; });
  return after == runs_.begin() ? 0 : static_cast<size_t>(after - runs_.begin() - 1);
}

int KxMiniUIEditModel::IndexAtOrBefore(int width) const {
  if (runs_.empty()) return 0;
  int index = runs_[RunAtWidth(width)].start;
  while (index < Length()) {
    const int next = NextCharacter(index);
    if (PrefixWidth(next) > width) break;
    index = next;
  }
  return index;
}

int KxMiniUIEditModel::PrefixWidth(int index) const {
  if (index <= 0 || runs_.empty()) return 0;
  if (index >= Length()) return textSize_.cx;
  const Run& run = runs_[RunAt(index)];
  const int offset = index - run.start;
  if (offset == 0) return run.left;
  FillPrefixes(run);
  return run.left + run.prefixes[offset - 1];
}

void KxMiniUIEditModel::FillPrefixes(const Run& run) const {
  if (run.prefixes.size() + 1 == static_cast<size_t>(run.length)) return;
  Measurer measurer(format_, measureHook_);
  run.prefixes.clear();
  int previous = 0;
  for (int length = 1; length < run.length; ++length) {
    // A trailing space measures no wider than the text before it; the caret
    // never moves left when the index grows, nor past the run's end.
    previous = std::min(std::max<int>(measurer.Measure(DisplayOf(run.start, length)).cx, previous), run.advance);
    run.prefixes.push_back(previous);
  }
}

void KxMiniUIEditModel::UpdateTextSize() {
  textSize_ = SIZE{0, 0};
  if (runs_.empty()) return;
  textSize_.cx = runs_.back().left + runs_.back().advance;
  for (const Run& run : runs_) textSize_.cy = std::max(textSize_.cy, static_cast<LONG>(run.height));
}

void KxMiniUIEditModel::PushUndo() {
  if (password_) return;
  undo_.push_back(text_);
  undoBytes_ += text_.size() * sizeof(wchar_t);
  while (!undo_.empty() && (undo_.size() > kMaxUndo || undoBytes_ > kMaxUndoBytes)) {
    undoBytes_ -= undo_.front().size() * sizeof(wchar_t);
    undo_.pop_front();
  }
}

bool KxMiniUIEditModel::IsInsidePair(int index) const { return ContinuesPair(text_, static_cast<size_t>(index)); }

int KxMiniUIEditModel::Clamp(int index) const {
  const int clamped = std::max(0, std::min(index, Length()));
  return IsInsidePair(clamped) ? clamped - 1 : clamped;
}

void KxMiniUIEditModel::RecomputeOrigin() {
  const int left = textRect_.left;
  const int right = textRect_.right;
  if (IsWiderThanBox()) {
    const int beforeCaret = PrefixWidth(caret_);
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
  const int width = PrefixWidth(NextCharacter(index)) - PrefixWidth(index);
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
