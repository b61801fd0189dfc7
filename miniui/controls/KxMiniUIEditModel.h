// The text of an edit box and everything about it that does not need the
// window: the selection (anchor and caret), the display text (masked for a
// password), the measured widths, the horizontal scroll origin and the undo
// list. Positions are in the owning view's coordinates.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "miniui/core/KxMiniUITextFormat.h"

class KxMiniUIEditModel {
 public:
  static constexpr size_t kMaxUndo = 100;
  static constexpr wchar_t kPasswordChar = L'\x25CF';

  enum DeleteDirection { kDeleteBackward, kDeleteForward };

  // Font and horizontal alignment of the display text.
  void SetFormat(const KxMiniUITextFormat& format);
  // A password shows one black circle per character and keeps no undo.
  void SetPassword(bool password);
  // At most `limit` characters; 0 or less: no limit.
  void SetLimit(int limit) { limit_ = limit; }
  void SetTextRect(const RECT& rect) { textRect_ = rect; }

  // Replaces the content (line breaks removed), empties the undo list and
  // lays the model out.
  void SetText(const std::wstring& text);
  // Measures, puts caret and anchor at the end and recomputes the origin.
  void Layout();
  bool IsLaidOut() const { return laidOut_; }

  // Typing one character: nothing once the limit is reached, even over a
  // selection. Answers whether the text changed.
  bool TypeCharacter(wchar_t character);
  // Replaces the selection with `text` without its line breaks, cut to what
  // the limit leaves room for. Answers whether the text changed.
  bool Insert(const std::wstring& text);
  // Removes the selection, or one character before (backward) or at
  // (forward) the caret. Answers whether the text changed.
  bool Delete(DeleteDirection direction);
  bool CanUndo() const { return !password_ && !undo_.empty(); }
  size_t UndoCount() const { return undo_.size(); }
  // Puts back the newest snapshot. Answers whether there was one.
  bool Undo();

  // Caret to `index` (clamped to the text), the anchor following unless
  // `extend`; the index is scrolled into view.
  void MoveCaret(int index, bool extend);
  void SetSelection(int anchor, int caret);
  void SelectAll() { SetSelection(0, Length()); }

  const std::wstring& GetText() const { return text_; }
  const std::wstring& GetDisplayText() const { return display_; }
  int Length() const { return static_cast<int>(text_.size()); }
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

 private:
  static std::wstring WithoutLineBreaks(const std::wstring& text);
  // Measures the display text again; the widths of its first `unchanged`
  // characters are kept, as that much of the text is what it was.
  void Remeasure(int unchanged = 0);
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
  bool password_ = false;
  int limit_ = 0;
  RECT textRect_{0, 0, 0, 0};
  std::wstring text_;
  std::wstring display_;
  int anchor_ = 0;
  int caret_ = 0;
  int origin_ = 0;
  SIZE textSize_{0, 0};
  // prefixWidths_[i]: measured width of the first i display characters.
  std::vector<int> prefixWidths_{0};
  std::deque<std::wstring> undo_;
  bool laidOut_ = false;
};
