// What the owner of an edit box hears from it. Every event calls the form
// without arguments first and then the form with the view; the answers are
// ignored by the box.
#pragma once

class KxMiniUIView;
class KxMiniUIEditView;

class KxMiniUIEditViewDelegate {
 public:
  virtual ~KxMiniUIEditViewDelegate() = default;

  virtual bool OnReturnKey(KxMiniUIEditView* /*view*/) { return false; }
  virtual bool OnReturnKey() { return false; }
  // `other` is the view that had the focus before (none when there was none).
  virtual bool OnFocusIn(KxMiniUIEditView* /*view*/, KxMiniUIView* /*other*/) { return false; }
  virtual bool OnFocusIn() { return false; }
  // `other` is the view taking the focus (none when there is none).
  virtual bool OnFocusOut(KxMiniUIEditView* /*view*/, KxMiniUIView* /*other*/) { return false; }
  virtual bool OnFocusOut() { return false; }
  // Follows every change of the text made by the user, never a SetText.
  virtual bool OnTextChanged(KxMiniUIEditView* /*view*/) { return false; }
  virtual bool OnTextChanged() { return false; }
};
