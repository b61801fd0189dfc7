#include "miniui/core/KxMiniUIInputMethod.h"

#include <imm.h>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUIAppModule.h"

namespace {

// A window's input context from ImmGetContext, handed back to that window.
struct InputContextTraits : Kx::NullIsEmptyTraits<HIMC> {
  explicit InputContextTraits(HWND from = nullptr) noexcept : window(from) {}
  void Close(Handle context) const noexcept { ::ImmReleaseContext(window, context); }
  HWND window;
};
using ScopedInputContext = Kx::TScopedHandle<InputContextTraits>;

// The window's input context for the length of one call.
ScopedInputContext InputContextOf(HWND window) {
  return ScopedInputContext(::ImmGetContext(window), InputContextTraits(window));
}

}  // namespace

void KxMiniUIInputMethod::Attach(HWND window) {
  window_ = window;
  composing_ = false;
  reporting_ = false;
  lastPosition_ = POINT{0, 0};
}

void KxMiniUIInputMethod::Detach() {
  client_ = nullptr;
  Attach(nullptr);
}

void KxMiniUIInputMethod::SetClient(KxMiniUITextInputClient* client) {
  client_ = client;
  reporting_ = false;
}

void KxMiniUIInputMethod::UpdateAssociation() {
  if (window_ == nullptr || !::IsWindow(window_)) return;
  if (client_ != nullptr && client_->CanUseInputMethod()) {
    ::ImmAssociateContextEx(window_, nullptr, IACE_DEFAULT);
    return;
  }
  if (composing_) {
    const ScopedInputContext context = InputContextOf(window_);
    if (context.Get() != nullptr) ::ImmNotifyIME(context.Get(), NI_COMPOSITIONSTR, CPS_CANCEL, 0);
    composing_ = false;
  }
  ::ImmAssociateContextEx(window_, nullptr, 0);
}

bool KxMiniUIInputMethod::OnStartComposition() {
  reporting_ = false;
  if (client_ == nullptr) return false;
  PlaceCompositionWindow();
  composing_ = true;
  return false;
}

bool KxMiniUIInputMethod::OnEndComposition() {
  reporting_ = false;
  composing_ = false;
  lastPosition_ = POINT{0, 0};
  return false;
}

bool KxMiniUIInputMethod::OnComposition(LPARAM changes) {
  if (client_ == nullptr) return false;
  PlaceCompositionWindow();
  if ((changes & GCS_RESULTSTR) == 0) {
    // Composition text is being edited; the keys belong to the input method.
    reporting_ = (changes & GCS_COMPSTR) != 0;
    return false;
  }
  reporting_ = false;
  const std::wstring text = ReadResultString();
  if (text.empty()) return false;
  client_->CommitText(text);
  // Consumed: the default handling would send the same text again as
  // WM_IME_CHAR characters.
  return true;
}

void KxMiniUIInputMethod::PlaceCompositionWindow() {
  if (window_ == nullptr || client_ == nullptr) return;
  const RECT caret = client_->GetCaretRect();
  const KxMiniUIAppModule& module = KxMiniUIAppModule::Instance();
  const POINT position{module.ScaleToDevice(caret.left), module.ScaleToDevice(caret.top)};
  if ((position.x == lastPosition_.x && position.y == lastPosition_.y) || position.x <= 0 || position.y <= 0) {
    return;
  }
  ::SetCaretPos(position.x, position.y);
  const ScopedInputContext context = InputContextOf(window_);
  if (context.Get() != nullptr) {
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos = position;
    ::ImmSetCompositionWindow(context.Get(), &form);
  }
  lastPosition_ = position;
}

std::wstring KxMiniUIInputMethod::ReadResultString() const {
  const ScopedInputContext context = InputContextOf(window_);
  if (context.Get() == nullptr) return std::wstring();
  const LONG bytes = ::ImmGetCompositionStringW(context.Get(), GCS_RESULTSTR, nullptr, 0);
  if (bytes <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
  const LONG read = ::ImmGetCompositionStringW(context.Get(), GCS_RESULTSTR, &text[0], static_cast<DWORD>(bytes));
  if (read <= 0) return std::wstring();
  text.resize(static_cast<size_t>(read) / sizeof(wchar_t));
  return text;
}
