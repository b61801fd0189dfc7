#include "miniui/core/KxMiniUITooltip.h"

namespace {

constexpr UINT kToolId = 1;
constexpr DWORD kTooltipStyle = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
static_assert(kTooltipStyle == 0x80000003, "tooltip style");
constexpr UINT kTooltipDelayMs = 500;

}  // namespace

TOOLINFOW KxMiniUITooltip::ToolInfo() const {
  TOOLINFOW info{};
  // The common controls of every version take this size.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.hwnd = owner_;
  info.uId = kToolId;
  return info;
}

void KxMiniUITooltip::Create(HWND owner) {
  if (window_ != nullptr && ::IsWindow(window_)) return;
  owner_ = owner;
  window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, kTooltipStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (window_ == nullptr) return;
  TOOLINFOW info = ToolInfo();
  info.uFlags = TTF_SUBCLASS;
  info.lpszText = const_cast<wchar_t*>(L"");
  ::GetClientRect(owner, &info.rect);
  ::SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageW(window_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kTooltipDelayMs, 0));
  ::SendMessageW(window_, TTM_ACTIVATE, TRUE, 0);
}

void KxMiniUITooltip::FitToOwner() {
  if (window_ == nullptr) return;
  TOOLINFOW info = ToolInfo();
  ::GetClientRect(owner_, &info.rect);
  ::SendMessageW(window_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

void KxMiniUITooltip::Update(const std::wstring& text, int maxWidth) {
  if (window_ == nullptr) return;
  if (text.empty()) {
    ::SendMessageW(window_, TTM_ACTIVATE, FALSE, 0);
    return;
  }
  text_ = text;
  TOOLINFOW info = ToolInfo();
  info.lpszText = const_cast<wchar_t*>(text_.c_str());
  ::SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  ::SendMessageW(window_, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  ::SendMessageW(window_, TTM_ACTIVATE, TRUE, 0);
}

void KxMiniUITooltip::Forget() {
  owner_ = nullptr;
  window_ = nullptr;
}
