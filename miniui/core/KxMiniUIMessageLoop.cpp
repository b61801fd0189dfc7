#include "miniui/core/KxMiniUIMessageLoop.h"

#include <algorithm>

namespace {

// WM_SYSTIMER: the caret blink timer.
constexpr UINT kSystemTimerMessage = 0x0118;

template <typename T>
void Forget(std::vector<T*>& list, T* item) {
  std::replace(list.begin(), list.end(), item, static_cast<T*>(nullptr));
}

}  // namespace

KxMiniUIMessageLoop::KxMiniUIMessageLoop() = default;
KxMiniUIMessageLoop::~KxMiniUIMessageLoop() = default;

void KxMiniUIMessageLoop::AddMessageFilter(KxMiniUIMessageFilter* filter) {
  if (filter != nullptr) filters_.push_back(filter);
}

void KxMiniUIMessageLoop::RemoveMessageFilter(KxMiniUIMessageFilter* filter) { Forget(filters_, filter); }

void KxMiniUIMessageLoop::AddIdleHandler(KxMiniUIIdleHandler* handler) {
  if (handler != nullptr) idleHandlers_.push_back(handler);
}

void KxMiniUIMessageLoop::RemoveIdleHandler(KxMiniUIIdleHandler* handler) { Forget(idleHandlers_, handler); }

void KxMiniUIMessageLoop::Compact() {
  filters_.erase(std::remove(filters_.begin(), filters_.end(), nullptr), filters_.end());
  idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), nullptr), idleHandlers_.end());
}

int KxMiniUIMessageLoop::Run() {
  bool doIdle = true;
  int idleCount = 0;
  MSG message{};
  for (;;) {
    Compact();
    while (doIdle && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) doIdle = false;
    }
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) continue;
    if (!got) break;
    if (!PreTranslateMessage(message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (IsIdleMessage(message)) {
      doIdle = true;
      idleCount = 0;
    }
  }
  return static_cast<int>(message.wParam);
}

bool KxMiniUIMessageLoop::IsIdleMessage(const MSG& message) {
  switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kSystemTimerMessage:
      return false;
    default:
      return true;
  }
}

bool KxMiniUIMessageLoop::PreTranslateMessage(MSG& message) {
  // Index loop: a filter may register or remove filters while it runs.
  for (size_t i = filters_.size(); i-- > 0;) {
    if (i >= filters_.size()) continue;
    KxMiniUIMessageFilter* filter = filters_[i];
    if (filter != nullptr && filter->PreTranslateMessage(message)) return true;
  }
  return false;
}

bool KxMiniUIMessageLoop::OnIdle(int) {
  bool more = false;
  for (size_t i = 0; i < idleHandlers_.size(); ++i) {
    KxMiniUIIdleHandler* handler = idleHandlers_[i];
    if (handler != nullptr && handler->OnIdle()) more = true;
  }
  return more;
}
