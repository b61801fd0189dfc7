// The text of an edit box and everything about it that does not need the
// window: the selection (anchor and caret), the display text (masked for a
// password), the measured widths, the horizontal scroll origin and the undo
// list. Positions are in the owning view's coordinates.
//
// A UTF-16 surrogate pair is one character: the caret, the selection, a
// delete, the limit and the password mask never split one.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUITextFormat.h"

class KxMiniUIEditModel {
 public:
  static constexpr size_t kMaxUndo = 100;
  // Each snapshot is a whole text: long texts keep fewer of them.
  static constexpr size_t kMaxUndoBytes = 4u << 20;
  static constexpr wchar_t kPasswordChar = L'\x25CF';

  enum DeleteDirection { kDeleteBackward, kDeleteForward };

  // Measures one string in a format: width and height in pixels; false
  // when it cannot. The model measures through GDI+ unless given one.
  using MeasureHook = std::function<bool(const std::wstring& text, const KxMiniUITextFormat& format, SIZE& size)>;

  // Font and horizontal alignment of the display text.
  void SetFormat(const KxMiniUITextFormat& format);
  // A password shows one black circle per character and keeps no undo.
  void SetPassword(bool password);
  // At most `limit` characters; 0 or less: no limit.
  void SetLimit(int limit) { limit_ = limit; }
  void SetTextRect(const RECT& rect) { textRect_ = rect; }
  // Replaces the GDI+ measuring (none: GDI+ again) and measures anew.
  void SetMeasureHook(MeasureHook hook);

  // Replaces the content (line breaks removed), empties the undo list and
  // lays the model out.
  void SetText(const std::wstring& text);
  // Measures, puts caret and anchor at the end and recomputes the origin.
  void Layout();
  bool IsLaidOut() const { return laidOut_; }

  // Typing one character: nothing once the limit is reached, even over a
  // selection. Answers whether the text changed.
  bool TypeCharacter(wchar_t character);
  // Replaces the selection with `text` without its line breaks and its
  // halves of surrogate pairs, cut to what the limit leaves room for.
  // Answers whether the text changed.
  bool Insert(const std::wstring& text);
  // Removes the selection, or one character before (backward) or at
  // (forward) the caret. Answers whether the text changed.
  bool Delete(DeleteDirection direction);
  bool CanUndo() const { return !password_ && !undo_.empty(); }
  size_t UndoCount() const { return undo_.size(); }
  // Bytes the undo snapshots hold.
  size_t UndoBytes() const { return undoBytes_; }
  // Puts back the newest snapshot. Answers whether there was one.
  bool Undo();

  // Caret to `index` (clamped to the text, never inside a surrogate pair),
  // the anchor following unless `extend`; the index is scrolled into view.
  void MoveCaret(int index, bool extend);
  void SetSelection(int anchor, int caret);
  void SelectAll() { SetSelection(0, Length()); }
  // The index one character before or after `index` (a surrogate pair is
  // one step), kept inside the text.
  int PreviousCharacter(int index) const;
  int NextCharacter(int index) const;

  const std::wstring& GetText() const { return text_; }
  const std::wstring& GetDisplayText() const { return password_ ? display_ : text_; }
  // Length in UTF-16 units, the unit of every index.
  int Length() const { return static_cast<int>(text_.size()); }
  // Length in characters, a surrogate pair counting once.
  int CharacterCount() const { return CharacterCountOf(text_, 0, Length()); }
  int GetAnchor() const { return anchor_; }
  int GetCaret() const { return caret_; }
  int SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  int SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool HasSelection() const { return anchor_ != caret_; }
  std::wstring GetSelectedText() const;

  int GetOrigin() const { return origin_; }
  SIZE GetTextSize() const { return textSize_; }
  // Where the caret before character `index` stands, never right of the
  // text rectangle.
  int CaretPosition(int index) const;
  int GetCaretX() const { return CaretPosition(caret_); }
  // The character index nearest to `x`.
  int HitTest(int x) const;
  // The selected span, vertically centred in the text rectangle with the
  // caret's height; empty without a selection.
  RECT SelectionRect(int caretHeight) const;
  // The text rectangle, widened to the text and moved to the origin when
  // the text is wider than the box.
  RECT DrawingRect() const;
  // The part of the display text that shows in the text rectangle, and
  // where to draw it so that it lands where it does in the whole text: a
  // long text is not laid out whole for every paint.
  std::wstring VisibleDisplayText(RECT& drawing) const;

 private:
  // A stretch of the text measured as one string; the width at an index
  // inside it is its left plus the width of its part before the index.
  struct Run {
    int start = 0;
    int length = 0;
    int left = 0;
    int advance = 0;
    int height = 0;
    // Widths of its first 1 .. length - 1 units, measured when first asked
    // for: most of a long text is never under the caret or the mouse.
    mutable std::vector<int> prefixes;
  };

  // Measures a batch of strings on one canvas, through the hook if set.
  class Measurer;

  static std::wstring WithoutLineBreaks(const std::wstring& text);
  // `text` less line breaks and unpaired surrogates.
  static std::wstring Insertable(const std::wstring& text);
  static int CharacterCountOf(const std::wstring& text, int start, int end);
  // The first `characters` characters of `text`, never half a pair.
  static std::wstring FirstCharacters(const std::wstring& text, int characters);
  bool IsInsidePair(int index) const;
  // What the display shows for text units [start, start + length).
  std::wstring DisplayOf(int start, int length) const;

  // Makes `text` the content, measuring only what differs from before.
  void ReplaceWhole(const std::wstring& text);
  // Puts `inserted` in place of `removed` units at `start` and measures
  // only the runs the change touched.
  void Replace(int start, int removed, const std::wstring& inserted);
  // Measures the whole text again.
  void Remeasure();
  // Cuts text units [start, end) into runs and measures them; `last`: the
  // text ends with them.
  std::vector<Run> MeasureRuns(int start, int end, int left, bool last, Measurer& measurer) const;
  // Where a run from `start` ends: a run never splits a surrogate pair and
  // ends on a word where it can.
  int RunEnd(int start, int end) const;
  // The run holding unit `index` (< Length()).
  size_t RunAt(int index) const;
  // The last run starting at or before `width` from the text's start.
  size_t RunAtWidth(int width) const;
  // The last character boundary at or before `width`.
  int IndexAtOrBefore(int width) const;
  // Measured width of the display of the first `index` units.
  int PrefixWidth(int index) const;
  void FillPrefixes(const Run& run) const;
  void UpdateTextSize();

  void PushUndo();
  bool IsWiderThanBox() const { return textSize_.cx > BoxWidth(); }
  int BoxWidth() const { return textRect_.right - textRect_.left; }
  int Clamp(int index) const;
  // Scrolling after the text is set or inserted.
  void RecomputeOrigin();
  // Scrolling that keeps one index visible after a caret move.
  void KeepVisible(int index);
  // Scrolling after a delete.
  void ScrollAfterDelete();

  KxMiniUITextFormat format_;
  MeasureHook measureHook_;
  bool password_ = false;
  int limit_ = 0;
  RECT textRect_{0, 0, 0, 0};
  std::wstring text_;
  // The mask of a password; a plain text is its own display.
  std::wstring display_;
  int anchor_ = 0;
  int caret_ = 0;
  int origin_ = 0;
  SIZE textSize_{0, 0};
  std::vector<Run> runs_;
  std::deque<std::wstring> undo_;
  size_t undoBytes_ = 0;
  bool laidOut_ = false;
};
