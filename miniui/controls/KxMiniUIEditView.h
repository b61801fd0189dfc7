// "edit": the framework's single-line text input, drawn by the framework
// itself. It owns the text model (selection, scrolling, undo), blinks its
// own caret on view timer 1, runs the edit commands from keys, the mouse
// and its right-click menu, talks to the clipboard and takes composed text
// from the window's input method. The owner hears about Return, focus and
// text changes through its delegate.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "miniui/controls/KxMiniUIEditModel.h"
#include "miniui/controls/KxMiniUIEditViewDelegate.h"
#include "miniui/controls/KxMiniUITextView.h"
#include "miniui/core/KxMiniUITextInputClient.h"

class KxMiniUIInputMethod;

class KxMiniUIEditView : public KxMiniUITextView, public KxMiniUITextInputClient {
 public:
  KXMINIUI_DECLARE_TAG("edit")

  // Edit commands, run from keys and from the edit menu.
  enum EditCommand {
    kUndo = 2024,
    kCut = 2025,
    kCopy = 2026,
    kPaste = 2027,
    kDeleteKey = 2028,
    kSelectAll = 2029,
    kBackspace = 2030,
    kDeleteMenu = 2031,
  };
  // Visual states.
  enum VisualState { kStateNormal = 0, kStateHover = 1, kStateInactive = 2 };
  static constexpr int kCaretTimer = 1;

  // Focusable, never drags the window, white with black text.
  KxMiniUIEditView();
  ~KxMiniUIEditView() override;

  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  // The element's text is the initial content; the selection colours and
  // the caret height are settled once every attribute is read.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  void Layout() override;
  void SetEnabled(bool enabled) override;
  SIZE GetContentSize() override;
  bool OnMouseDown(UINT flags, POINT point, bool doubleClick) override;
  bool OnMouseDrag(UINT flags, POINT point) override;
  bool OnMouseUp(UINT flags, POINT point, UINT extra) override;
  void OnMouseEnter(POINT point) override;
  void OnMouseLeave(POINT point) override;
  bool OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) override;
  bool OnKeyUp(UINT key, LPARAM keyData, UINT modifiers) override;
  void OnSetFocus(int reason) override;
  void OnKillFocus() override;
  HCURSOR GetCursor(POINT point) override;
  void OnTimer(int id) override;
  void Paint(KxMiniUIRendTarget& canvas) override;

  // The content, not the masked display text.
  std::wstring GetText() const override;
  // Replaces the content (line breaks removed) and empties the undo list;
  // never heard by the delegate.
  void SetText(const std::wstring& text, bool repaint) override;
  void SetTextNoRepaint(const std::wstring& text) override;
  // True while the input method is editing composition text (never for a
  // password box): keys then belong to the input method.
  virtual bool IsComposing() const;

  // --- Input method client.
  void CommitText(const std::wstring& text) override;
  bool CanUseInputMethod() override;
  RECT GetCaretRect() override;

  // The owner's listener; not owned, none by default.
  void SetDelegate(KxMiniUIEditViewDelegate* delegate) { delegate_ = delegate; }
  KxMiniUIEditViewDelegate* GetDelegate() const { return delegate_; }

  // Runs `command` when it is available; answers whether it was.
  bool RunCommand(int command);
  bool IsCommandAvailable(int command) const;

  // --- State, for owners and tests.
  const KxMiniUIEditModel& GetModel() const { return model_; }
  int GetVisualState() const { return visualState_; }
  bool HasFocus() const { return hasFocus_; }
  bool IsCaretVisible() const { return caretVisible_; }
  POINT GetCaretPoint() const { return caretPoint_; }
  int GetCaretHeight() const { return caretHeight_; }
  bool IsMenuOpen() const { return menuOpen_; }
  bool IsReadOnly() const { return readOnly_; }
  bool IsNumberOnly() const { return numberOnly_; }
  bool IsPassword() const { return password_; }
  int GetLimit() const { return limit_; }
  const std::wstring& GetPlaceholder() const { return placeholder_; }
  COLORREF GetPlaceholderColor() const { return crPlaceholder_; }
  COLORREF GetCaretColor() const { return crCaret_; }
  const KxMiniUIStyle& GetSelectionStyle() const { return selectionStyle_; }
  // The inner rectangle less the margins, moved by the text offset.
  RECT GetTextRect() const;

 private:
  bool IsEditable() const { return IsEnabled() && !readOnly_; }
  RECT InnerRect() const;
  // Keeps the model's box and font in step with the view.
  void SyncModelGeometry();
  void ResolveCaretHeight();
  void ApplySelectionOverrides();

  // Typing one character from a key; answers whether the key was handled.
  bool TypeKey(UINT key, LPARAM keyData);
  void MoveCaretBy(int index, bool extend);
  // After a change of the text made by the user.
  void NotifyTextChanged();
  // The delegate hears the focus coming (previous view) or going (next view).
  void NotifyFocus(bool in);
  // Everything losing the focus does after the has-focus flag is cleared.
  void LoseFocus();
  HWND HostWindow() const;

  bool Copy();
  bool Paste();
  void ShowEditMenu();
  KxMiniUIInputMethod* WindowInputMethod() const;
  void AttachInputMethod(bool attach);

  // Caret rule: shown for an empty selection while focused and editable.
  void UpdateCaret();
  void ShowCaret();
  void HideCaret();
  // Where the caret is drawn, never past the text rectangle's right edge.
  RECT CaretArea() const;
  void SetVisualState(int state);

  // Attributes.
  int borderWidth_ = 1;
  COLORREF crSelectionOverride_ = KxMiniUIStyle::kColorNone;
  COLORREF crSelectedTextOverride_ = KxMiniUIStyle::kColorNone;
  KxMiniUIStyle selectionStyle_;
  COLORREF crPlaceholder_ = 0x6D6D6D;
  COLORREF crCaret_ = 0;
  int xMargin_ = 0;
  int yMargin_ = 0;
  int caretHeight_ = 0;
  int caretWidth_ = 1;
  bool readOnly_ = false;
  bool numberOnly_ = false;
  bool password_ = false;
  bool undoEnabled_ = true;
  int limit_ = 0;
  std::wstring placeholder_;
  bool showMenu_ = false;
  std::wstring pattern_;

  // Run-time state.
  KxMiniUIEditViewDelegate* delegate_ = nullptr;
  int visualState_ = kStateNormal;
  POINT caretPoint_{0, 0};
  bool caretVisible_ = false;
  bool hasFocus_ = false;
  bool menuOpen_ = false;
  bool mouseSelecting_ = false;
  bool doubleClick_ = false;
  bool pressTookFocus_ = false;
  // Where the last left press went down (character index).
  int pressIndex_ = 0;
  bool modelPlaced_ = false;
  KxMiniUIEditModel model_;
  // The input method this box is the client of, to let go of at destruction.
  KxMiniUIInputMethod* inputMethod_ = nullptr;
  // Cleared at destruction: a nested menu loop learns the box is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
