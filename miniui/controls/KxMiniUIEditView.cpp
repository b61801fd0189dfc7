#include "miniui/controls/KxMiniUIEditView.h"

#include <algorithm>
#include <cstring>

#include "base/ScopedHandle.h"
#include "miniui/controls/KxMiniUIMenu.h"
#include "miniui/controls/KxMiniUIMenuItem.h"
#include "miniui/core/KxMiniUICanvasGdiplus.h"
#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIInputMethod.h"
#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIStylePool.h"
#include "miniui/core/KxMiniUIText.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIEditView);

namespace {

using KxMiniUIText::NamesEqual;

constexpr COLORREF kNoColor = KxMiniUIStyle::kColorNone;

// Six hex digits, or -1 for "none".
COLORREF ColorOrNone(const char* value) {
  if (value[0] == '-' && KxMiniUIValue::Number(value) == -1) return kNoColor;
  return KxMiniUIValue::ParseColor(value, false).rgb;
}

int ToInt(const char* value) { return static_cast<int>(KxMiniUIValue::Number(value)); }

bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }

bool IsAsciiDigit(wchar_t character) { return character >= L'0' && character <= L'9'; }

// Letters, digits, space and punctuation: what a key may type.
bool IsTypable(wchar_t character) { return character >= 0x20 && character < 0x7F; }

// The system caret blink time, read once per process; 0 when the caret
// does not blink.
UINT CaretBlinkTime() {
  static const UINT blink = [] {
    const UINT time = ::GetCaretBlinkTime();
    return time == INFINITE ? 0u : time;
  }();
  return blink;
}

// The clipboard, open for the length of one copy or paste.
class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) : open_(::OpenClipboard(owner) != FALSE) {}
  ~ClipboardSession() {
    if (open_) ::CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

  bool IsOpen() const { return open_; }

 private:
  bool open_;
};

// The menu-item template of the edit menu.
std::string EditMenuItemText(int id, const char* text) {
  return "<menuitem id=\"" + std::to_string(id) +
         "\" textoffset=\"20, 0\" crbg=\"FFFFFF\" crbghover=\"EBEBEB\" crtext=\"000000\" crhover=\"000000\""
         " crdisabled=\"BFBFBF\" fontsize=\"12\" textalign=\"near\" textlinealign=\"center\" height=\"25\""
         " width=\"122\">" +
         text + "</menuitem>";
}

}  // namespace

KxMiniUIEditView::KxMiniUIEditView() {
  SetFocusable(1);
  SetDrag(0);
  KxMiniUIStyle& style = MutableStyle();
  style.background[KxMiniUIStyle::kNormal].rgb = 0xFFFFFF;
  style.crText = 0;
  selectionStyle_.background[KxMiniUIStyle::kNormal].rgb = 0xFF9933;
  selectionStyle_.crText = 0xFFFFFF;
  selectionStyle_.crDisabled = 0xCCCCCC;
}

KxMiniUIEditView::~KxMiniUIEditView() {
  *alive_ = false;
  if (inputMethod_ != nullptr && inputMethod_->GetClient() == this) inputMethod_->SetClient(nullptr);
}

// --- Attributes and loading.

HRESULT KxMiniUIEditView::SetAttribute(const char* name, const char* value, bool notify) {
  if (name == nullptr) return kAttrRejected;
  if (value == nullptr) value = "";
  if (NamesEqual(name, "border-width")) {
    borderWidth_ = ToInt(value);
  } else if (NamesEqual(name, "crbgsel")) {
    crSelectionOverride_ = ColorOrNone(value);
  } else if (NamesEqual(name, "crtextsel")) {
    crSelectedTextOverride_ = ColorOrNone(value);
  } else if (NamesEqual(name, "selclass")) {
    KxMiniUIManner* manner = KxMiniUIManner::Instance();
    KxMiniUIStylePool* pool = manner != nullptr ? manner->GetStylePool() : nullptr;
    if (pool != nullptr) selectionStyle_ = pool->Get(value);
  } else if (NamesEqual(name, "crplaceholder")) {
    crPlaceholder_ = ColorOrNone(value);
  } else if (NamesEqual(name, "crcaret")) {
    crCaret_ = KxMiniUIValue::ParseColor(value, false).rgb;
  } else if (NamesEqual(name, "x-margin")) {
    xMargin_ = ToInt(value);
  } else if (NamesEqual(name, "y-margin")) {
    yMargin_ = ToInt(value);
  } else if (NamesEqual(name, "caret-height")) {
    caretHeight_ = ToInt(value);
  } else if (NamesEqual(name, "caret-width")) {
    caretWidth_ = ToInt(value);
  } else if (NamesEqual(name, "readonly")) {
    readOnly_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "numberonly")) {
    numberOnly_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "ispassword")) {
    password_ = KxMiniUIValue::Boolean(value);
    model_.SetPassword(password_);
  } else if (NamesEqual(name, "undoredoenable")) {
    undoEnabled_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "limit")) {
    limit_ = ToInt(value);
    model_.SetLimit(limit_);
  } else if (NamesEqual(name, "placeholder")) {
    placeholder_ = KxMiniUIText::FromUtf8(value);
  } else if (NamesEqual(name, "showmenu")) {
    showMenu_ = KxMiniUIValue::Boolean(value);
  } else if (NamesEqual(name, "pattern")) {
    pattern_ = KxMiniUIText::FromUtf8(value);
  } else {
    return KxMiniUITextView::SetAttribute(name, value, notify);
  }
  return kAttrTaken;
}

bool KxMiniUIEditView::LoadFromXml(const KxMiniUIXmlNode* node) {
  if (!KxMiniUITextView::LoadFromXml(node)) return false;
  model_.SetFormat(GetStyle().text);
  SetText(KxMiniUITextView::GetText(), false);
  ApplySelectionOverrides();
  SetDrag(0);
  if (!IsEnabled() || readOnly_) visualState_ = kStateInactive;
  ResolveCaretHeight();
  return true;
}

void KxMiniUIEditView::ApplySelectionOverrides() {
  if (crSelectionOverride_ != kNoColor) selectionStyle_.background[KxMiniUIStyle::kNormal].rgb = crSelectionOverride_;
  if (crSelectedTextOverride_ != kNoColor) selectionStyle_.crText = crSelectedTextOverride_;
}

void KxMiniUIEditView::ResolveCaretHeight() {
  if (caretHeight_ > 0) return;
  SIZE size{0, 0};
  KxMiniUICanvasGdiplus measuring(1, 1, true);
  if (!measuring.MeasureTextSimple(L"鑫森淼焱bgjk", GetStyle().text, size)) size = SIZE{0, 0};
  caretHeight_ = size.cy + 2;
}

// --- Geometry and layout.

RECT KxMiniUIEditView::InnerRect() const {
  RECT inner{0, 0, Width(), Height()};
  if (!IsEmpty(inner)) ::InflateRect(&inner, -borderWidth_, -borderWidth_);
  return inner;
}

RECT KxMiniUIEditView::GetTextRect() const {
  RECT text = InnerRect();
  ::InflateRect(&text, -xMargin_, -yMargin_);
  const POINT offset = GetTextOffset();
  ::OffsetRect(&text, offset.x, offset.y);
  return text;
}

void KxMiniUIEditView::SyncModelGeometry() { model_.SetTextRect(GetTextRect()); }

void KxMiniUIEditView::Layout() {
  KxMiniUITextView::Layout();
  SyncModelGeometry();
  if (modelPlaced_ || IsEmpty(GetTextRect())) return;
  model_.SetFormat(GetStyle().text);
  model_.Layout();
  modelPlaced_ = true;
  Invalidate();
}

void KxMiniUIEditView::SetEnabled(bool enabled) {
  const bool changed = enabled != IsEnabled();
  KxMiniUITextView::SetEnabled(enabled);
  SetVisualState(enabled ? kStateNormal : kStateInactive);
  if (changed) UpdateCaret();
}

SIZE KxMiniUIEditView::GetContentSize() {
  const SIZE text = model_.GetTextSize();
  const POINT offset = GetTextOffset();
  return SIZE{text.cx + offset.x, text.cy + offset.y};
}

HCURSOR KxMiniUIEditView::GetCursor(POINT) {
  return ::LoadCursorW(nullptr, IsEditable() ? IDC_IBEAM : IDC_ARROW);
}

// --- Text.

std::wstring KxMiniUIEditView::GetText() const { return model_.GetText(); }

void KxMiniUIEditView::SetText(const std::wstring& text, bool repaint) {
  SyncModelGeometry();
  model_.SetText(text);
  KxMiniUITextView::SetTextNoRepaint(model_.GetText());
  if (!repaint) return;
  UpdateCaret();
  Invalidate();
}

void KxMiniUIEditView::SetTextNoRepaint(const std::wstring& text) { SetText(text, false); }

void KxMiniUIEditView::NotifyTextChanged() {
  KxMiniUITextView::SetTextNoRepaint(model_.GetText());
  if (delegate_ != nullptr) delegate_->OnTextChanged();
  if (delegate_ != nullptr) delegate_->OnTextChanged(this);
}

// --- Keyboard.

bool KxMiniUIEditView::OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) {
  const bool shift = (modifiers & KxMiniUIRootView::kModifierShift) != 0;
  const bool control = (modifiers & KxMiniUIRootView::kModifierControl) != 0;
  switch (key) {
    case VK_BACK:
      RunCommand(kBackspace);
      return true;
    case VK_DELETE:
      RunCommand(kDeleteKey);
      return true;
    case VK_TAB:
      return false;
    case VK_RETURN:
      if (delegate_ != nullptr) delegate_->OnReturnKey();
      if (delegate_ != nullptr) delegate_->OnReturnKey(this);
      return true;
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT: {
      if (!IsEditable()) return false;
      const int caret = model_.GetCaret();
      int index = key == VK_HOME ? 0 : key == VK_END ? model_.Length() : caret;
      if (key == VK_LEFT) index = model_.PreviousCharacter(caret);
      if (key == VK_RIGHT) index = model_.NextCharacter(caret);
      MoveCaretBy(index, shift);
      return true;
    }
    default:
      break;
  }
  if (control) {
    switch (key) {
      case 'A': RunCommand(kSelectAll); return true;
      case 'C': RunCommand(kCopy); return true;
      case 'V': RunCommand(kPaste); return true;
      case 'X': RunCommand(kCut); return true;
      case 'Z': RunCommand(kUndo); return true;
      default: break;
    }
  }
  return TypeKey(key, keyData);
}

bool KxMiniUIEditView::OnKeyUp(UINT, LPARAM, UINT) { return true; }

void KxMiniUIEditView::MoveCaretBy(int index, bool extend) {
  model_.MoveCaret(index, extend);
  UpdateCaret();
  Invalidate();
}

bool KxMiniUIEditView::TypeKey(UINT key, LPARAM keyData) {
  if (!IsEditable() || IsComposing()) return false;
  BYTE state[256]{};
  if (!::GetKeyboardState(state)) return false;
  WORD translated = 0;
  const UINT scanCode = static_cast<UINT>((keyData >> 16) & 0xFF);
  if (::ToAscii(key, scanCode, state, &translated, 0) != 1) return false;
  const wchar_t character = static_cast<wchar_t>(translated & 0xFF);
  if (numberOnly_) {
    if (!IsAsciiDigit(character)) return true;  // swallowed
  } else if (!IsTypable(character)) {
    return false;
  }
  if (!model_.TypeCharacter(character)) return true;
  UpdateCaret();
  Invalidate();
  NotifyTextChanged();
  return true;
}

// --- Commands and the clipboard.

bool KxMiniUIEditView::IsCommandAvailable(int command) const {
  if (!IsEditable()) return false;
  switch (command) {
    case kUndo:
      return undoEnabled_ && !password_ && model_.CanUndo();
    case kCut:
    case kCopy:
      return !password_ && model_.HasSelection();
    case kPaste:
    case kDeleteKey:
    case kSelectAll:
    case kBackspace:
      return true;
    case kDeleteMenu:
      return model_.HasSelection();
    default:
      return false;
  }
}

bool KxMiniUIEditView::RunCommand(int command) {
  if (!IsCommandAvailable(command)) return false;
  bool changed = false;
  switch (command) {
    case kUndo:
      changed = model_.Undo();
      break;
    case kCut:
      changed = Copy() && model_.Delete(KxMiniUIEditModel::kDeleteForward);
      break;
    case kCopy:
      Copy();
      break;
    case kPaste:
      changed = Paste();
      break;
    case kDeleteKey:
    case kDeleteMenu:
      changed = model_.Delete(KxMiniUIEditModel::kDeleteForward);
      break;
    case kBackspace:
      changed = model_.Delete(KxMiniUIEditModel::kDeleteBackward);
      break;
    case kSelectAll:
      model_.SelectAll();
      break;
    default:
      break;
  }
  UpdateCaret();
  Invalidate();
  if (changed) NotifyTextChanged();
  return true;
}

HWND KxMiniUIEditView::HostWindow() const {
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root != nullptr ? root->GetHost() : nullptr;
  return host != nullptr ? host->GetHostWindow() : nullptr;
}

bool KxMiniUIEditView::Copy() {
  // The box's window owns what it puts there: a clipboard emptied without
  // an owner may refuse the data.
  ClipboardSession clipboard(HostWindow());
  if (!clipboard.IsOpen() || !::EmptyClipboard()) return false;
  const std::wstring text = model_.GetSelectedText();
  if (text.empty()) return true;
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  Kx::ScopedGlobalMemory<HGLOBAL> block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes));
  if (!block) return false;
  void* target = ::GlobalLock(block.Get());
  if (target == nullptr) return false;
  std::memcpy(target, text.c_str(), bytes);
  ::GlobalUnlock(block.Get());
  if (::SetClipboardData(CF_UNICODETEXT, block.Get()) == nullptr) return false;
  block.Release();  // the clipboard owns it now
  return true;
}

bool KxMiniUIEditView::Paste() {
  if (!::IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  std::wstring text;
  {
    ClipboardSession clipboard(HostWindow());
    if (!clipboard.IsOpen()) return false;
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (data == nullptr) return false;
    const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data));
    if (characters == nullptr) return false;
    // Never past the block, even when its text lacks the terminating zero.
    const size_t capacity = ::GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < capacity && characters[length] != L'\0') ++length;
    text.assign(characters, length);
    ::GlobalUnlock(data);
  }
  if (numberOnly_ && !std::all_of(text.begin(), text.end(), IsAsciiDigit)) return false;
  return model_.Insert(text);
}

// --- Mouse.

bool KxMiniUIEditView::OnMouseDown(UINT flags, POINT point, bool doubleClick) {
  // The right button only opens the menu at its release, which this press
  // makes the box hear.
  if ((flags & MK_RBUTTON) != 0) return true;
  doubleClick_ = doubleClick;
  pressTookFocus_ = !hasFocus_;
  if (doubleClick) {
    if (IsCommandAvailable(kSelectAll)) {
      SetFocus();
      model_.SelectAll();
      UpdateCaret();
      Invalidate();
    }
    return true;
  }
  if (readOnly_) return true;
  const bool extend = (flags & MK_SHIFT) != 0 || mouseSelecting_;
  const int index = model_.HitTest(point.x);
  model_.MoveCaret(index, extend);
  pressIndex_ = model_.GetAnchor();
  UpdateCaret();
  Invalidate();
  return true;
}

bool KxMiniUIEditView::OnMouseDrag(UINT, POINT point) {
  if (!hasFocus_ || !IsEditable()) return false;
  const int index = model_.HitTest(point.x);
  if (!mouseSelecting_) {
    // The selection runs from where the press went down, not from wherever
    // the first move report lands.
    mouseSelecting_ = true;
    model_.SetSelection(pressIndex_, pressIndex_);
  }
  model_.MoveCaret(index, true);
  Invalidate();
  UpdateCaret();
  return true;
}

bool KxMiniUIEditView::OnMouseUp(UINT flags, POINT point, UINT) {
  const bool wasDoubleClick = doubleClick_;
  doubleClick_ = false;
  const bool right = (flags & MK_RBUTTON) != 0;
  if (right && showMenu_) {
    ShowEditMenu();
    return false;
  }
  if (!wasDoubleClick) {
    if (!hasFocus_ && !readOnly_) model_.MoveCaret(model_.HitTest(point.x), (flags & MK_SHIFT) != 0);
    mouseSelecting_ = false;
    Invalidate();
    // The press that gave the box the focus selected everything and showed
    // the caret: that stays until the next key or press.
    if (!pressTookFocus_ || !hasFocus_) UpdateCaret();
    if (right && NotifiesRightClick()) Notify(kMiniUINotifyRightClick);
  }
  mouseSelecting_ = false;
  pressTookFocus_ = false;
  return false;
}

void KxMiniUIEditView::OnMouseEnter(POINT point) {
  KxMiniUITextView::OnMouseEnter(point);
  if (visualState_ != kStateInactive) SetVisualState(kStateHover);
}

void KxMiniUIEditView::OnMouseLeave(POINT point) {
  KxMiniUITextView::OnMouseLeave(point);
  if (!hasFocus_ && visualState_ != kStateInactive) SetVisualState(kStateNormal);
  Invalidate();
}

void KxMiniUIEditView::SetVisualState(int state) {
  if (state == visualState_) return;
  visualState_ = state;
  Invalidate();
}

// --- Focus.

void KxMiniUIEditView::OnSetFocus(int) {
  if (hasFocus_) return;
  if (menuOpen_) {
    // The window got the focus back from the edit menu: the selection the
    // menu's command acts on stays as it is.
    hasFocus_ = true;
    return;
  }
  NotifyFocus(true);
  AttachInputMethod(true);
  model_.SetSelection(0, 0);
  model_.MoveCaret(model_.Length(), true);
  if (IsEditable()) ShowCaret();
  if (visualState_ != kStateInactive) SetVisualState(kStateHover);
  Invalidate();
  hasFocus_ = true;
}

void KxMiniUIEditView::OnKillFocus() {
  hasFocus_ = false;
  // The edit menu takes the focus while it is open; the box is left as it
  // is until the menu has closed.
  if (menuOpen_) return;
  LoseFocus();
}

void KxMiniUIEditView::LoseFocus() {
  NotifyFocus(false);
  AttachInputMethod(false);
  model_.SetSelection(model_.GetCaret(), model_.GetCaret());
  if (visualState_ != kStateInactive) SetVisualState(kStateNormal);
  HideCaret();
}

void KxMiniUIEditView::NotifyFocus(bool in) {
  if (delegate_ == nullptr) return;
  KxMiniUIRootView* root = GetRootView();
  KxMiniUIFocusManager* focus = root != nullptr ? root->GetFocusManager() : nullptr;
  if (in) {
    KxMiniUIView* previous = focus != nullptr ? focus->GetPreviousFocusedView() : nullptr;
    delegate_->OnFocusIn();
    if (delegate_ != nullptr) delegate_->OnFocusIn(this, previous == this ? nullptr : previous);
  } else {
    KxMiniUIView* next = focus != nullptr ? focus->GetFocusedView() : nullptr;
    delegate_->OnFocusOut();
    if (delegate_ != nullptr) delegate_->OnFocusOut(this, next == this ? nullptr : next);
  }
}

// --- Input method.

KxMiniUIInputMethod* KxMiniUIEditView::WindowInputMethod() const {
  KxMiniUIRootView* root = GetRootView();
  IMiniUIViewHost* host = root != nullptr ? root->GetHost() : nullptr;
  return host != nullptr ? host->GetInputMethod() : nullptr;
}

void KxMiniUIEditView::AttachInputMethod(bool attach) {
  KxMiniUIInputMethod* inputMethod = WindowInputMethod();
  if (inputMethod == nullptr) return;
  if (attach) {
    inputMethod->SetClient(this);
    inputMethod_ = inputMethod;
  } else if (inputMethod->GetClient() == this) {
    inputMethod->SetClient(nullptr);
  }
  inputMethod->UpdateAssociation();
}

bool KxMiniUIEditView::IsComposing() const {
  if (password_) return false;
  const KxMiniUIInputMethod* inputMethod = WindowInputMethod();
  return inputMethod != nullptr && inputMethod->IsReportingComposition();
}

void KxMiniUIEditView::CommitText(const std::wstring& text) {
  if (text.empty() || numberOnly_ || !IsEditable()) return;
  if (!model_.Insert(text)) return;
  if (hasFocus_) ShowCaret();
  Invalidate();
  NotifyTextChanged();
}

bool KxMiniUIEditView::CanUseInputMethod() { return IsEditable() && !password_ && !numberOnly_; }

RECT KxMiniUIEditView::GetCaretRect() {
  const POINT top = ToWindowPoint(caretPoint_);
  return RECT{top.x, top.y, top.x, top.y + caretHeight_};
}

// --- Caret.

void KxMiniUIEditView::UpdateCaret() {
  if (hasFocus_ && IsEditable()) {
    if (model_.HasSelection()) {
      HideCaret();
    } else {
      ShowCaret();
    }
  } else if (caretVisible_) {
    HideCaret();
  }
}

void KxMiniUIEditView::ShowCaret() {
  const RECT text = GetTextRect();
  const int x = std::max<int>(text.left, std::min<int>(model_.GetCaretX(), text.right));
  // Centred like the selection, in the text rectangle.
  const int y = text.top + (text.bottom - text.top) / 2 - caretHeight_ / 2;
  caretPoint_ = POINT{x, y};
  caretVisible_ = true;
  if (CaretBlinkTime() != 0) SetTimer(kCaretTimer, CaretBlinkTime());
  Invalidate();
}

void KxMiniUIEditView::HideCaret() {
  caretVisible_ = false;
  KillTimer(kCaretTimer);
  Invalidate();
}

void KxMiniUIEditView::OnTimer(int id) {
  if (id != kCaretTimer) {
    KxMiniUITextView::OnTimer(id);
    return;
  }
  caretVisible_ = !caretVisible_;
  // Only the caret changes: the rest of the box, a long text above all,
  // is not drawn again for a blink.
  InvalidateRect(CaretArea(), 0);
}

RECT KxMiniUIEditView::CaretArea() const {
  const RECT text = GetTextRect();
  int x = caretPoint_.x;
  if (x >= text.right) x = text.right - caretWidth_;
  return RECT{x, caretPoint_.y, x + caretWidth_, caretPoint_.y + caretHeight_};
}

// --- Painting.

void KxMiniUIEditView::Paint(KxMiniUIRendTarget& canvas) {
  const KxMiniUIStyle& style = GetStyle();
  KxMiniUIStyleColor border = style.border[KxMiniUIStyle::kNormal];
  if (visualState_ == kStateInactive && style.border[KxMiniUIStyle::kDisabled].IsSet()) {
    border = style.border[KxMiniUIStyle::kDisabled];
  } else if (visualState_ == kStateHover && style.border[KxMiniUIStyle::kHover].IsSet()) {
    border = style.border[KxMiniUIStyle::kHover];
  }
  if (border.IsSet()) canvas.FillRect(RECT{0, 0, Width(), Height()}, border.rgb, 255);
  KxMiniUIStyleColor background = style.background[KxMiniUIStyle::kNormal];
  if (visualState_ == kStateInactive && style.background[KxMiniUIStyle::kDisabled].IsSet()) {
    background = style.background[KxMiniUIStyle::kDisabled];
  }
  if (background.IsSet()) canvas.FillRect(InnerRect(), background.rgb, 255);

  const RECT text = GetTextRect();
  canvas.PushClip(text);
  const RECT selection = model_.SelectionRect(caretHeight_);
  const bool selected = !IsEmpty(selection);
  const KxMiniUIStyleColor selectionBackground = selectionStyle_.background[KxMiniUIStyle::kNormal];
  if (selected && selectionBackground.IsSet()) canvas.FillRect(selection, selectionBackground.rgb, 255);

  KxMiniUITextFormat& format = MutableStyle().text;
  if (format.align == KxMiniUITextFormat::kAlignUnset) format.align = KxMiniUIValue::kAlignNear;
  if (format.lineAlign == KxMiniUITextFormat::kAlignUnset) format.lineAlign = KxMiniUIValue::kAlignCenter;

  const std::wstring& display = model_.GetDisplayText();
  if (display.empty() && !hasFocus_ && !placeholder_.empty() && IsEditable()) {
    if (crPlaceholder_ != kNoColor) canvas.DrawText(placeholder_, text, format, crPlaceholder_, GetTrimming(), true);
  } else if (!display.empty()) {
    RECT drawing{};
    const std::wstring visible = model_.VisibleDisplayText(drawing);
    canvas.DrawText(visible, drawing, format, GetTextColor(), kTrimNone, true);
    if (selected) {
      // The selected span drawn again over its own background.
      canvas.PushClip(selection);
      if (selectionBackground.IsSet()) canvas.FillRect(selection, selectionBackground.rgb, 255);
      const COLORREF color = IsEnabled() ? selectionStyle_.crText : selectionStyle_.crDisabled;
      canvas.DrawText(visible, drawing, format, color, kTrimNone, true);
      canvas.PopClip();
    }
  }

  if (hasFocus_ && caretVisible_) canvas.FillRect(CaretArea(), crCaret_, 255);
  canvas.PopClip();
}

// --- The edit menu.

void KxMiniUIEditView::ShowEditMenu() {
  std::unique_ptr<KxMiniUIMenu> menu = KxMiniUIMenu::CreateFromText("<menu> </menu>");
  if (menu == nullptr) return;
  struct Entry {
    int command;
    const char* text;
  };
  static const Entry kEntries[] = {
      {kUndo, "撤销"}, {kCut, "剪切"}, {kCopy, "复制"}, {kPaste, "粘贴"}, {kDeleteMenu, "删除"},
  };
  for (const Entry& entry : kEntries) {
    if (KxMiniUIMenuItem* item = menu->AddItemFromText(EditMenuItemText(entry.command, entry.text))) {
      item->SetEnabled(IsCommandAvailable(entry.command));
    }
  }
  const HWND owner = HostWindow();
  menu->SetInnerMargins(RECT{0, 4, 0, 4});
  menu->SetOwnerWindow(owner);
  POINT cursor{0, 0};
  ::GetCursorPos(&cursor);
  menu->SetAnchorPoint(cursor);
  // The press that opened the menu left the capture with the box's window;
  // the menu's own clicks must reach the menu.
  if (owner != nullptr && ::GetCapture() == owner) ::ReleaseCapture();

  const std::shared_ptr<bool> alive = alive_;
  const bool hadFocus = hasFocus_;
  menuOpen_ = true;
  const int chosen = menu->Popup();
  if (!*alive) return;  // the box went with its window while the menu was open
  menuOpen_ = false;
  menu.reset();
  if (chosen != 0) RunCommand(chosen);
  // The focus left for good while the menu was open (a click elsewhere):
  // the box lets go of it now.
  if (hadFocus && !hasFocus_) LoseFocus();
}
