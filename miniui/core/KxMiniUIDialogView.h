// The view side of every framework window and modal dialog: the window
// record (root view, back buffer, layout, description, shadow, timers), the
// hooks owners override, and the framework's handling of window messages,
// which turns them into view calls and paints the tree through the back
// buffer. The tooltip and the sizing frame (hit test and cursor) are parts
// of their own. KxMiniUISimpleWindow and KxMiniUIDialog put it on a native
// window.
#pragma once

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "miniui/core/IMiniUIViewHost.h"
#include "miniui/core/KxMiniUIInputMethod.h"
#include "miniui/core/KxMiniUIRenderTargetHolder.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUISizingFrame.h"
#include "miniui/core/KxMiniUITooltip.h"
#include "miniui/core/KxMiniUIWindow.h"
#include "miniui/core/KxMiniUIWindowDescription.h"
#include "miniui/core/KxWndShadow.h"

class KxMiniUILayoutDocument;

class KxMiniUIDialogView : public KxMiniUIWindow, public IMiniUIViewHost {
 public:
  // Framework messages: a timer service firing (word parameter = timer id),
  // a keyboard highlight step, render now, apply a style update document
  // (long parameter = its "xml" resource id).
  static constexpr UINT kTimerMessage = 0x7F00;
  static constexpr UINT kHighlightMessage = 0x7F03;
  static constexpr UINT kRenderMessage = 0x7F04;
  static constexpr UINT kStyleUpdateMessage = 0x7F05;
  // The close button by convention; it is reset when the window minimises.
  static constexpr int kCloseButtonId = 101;

  // `layoutId` 0: the layout comes from SetLayout's text.
  explicit KxMiniUIDialogView(UINT layoutId = 0);
  ~KxMiniUIDialogView() override;
  KxMiniUIDialogView(const KxMiniUIDialogView&) = delete;
  KxMiniUIDialogView& operator=(const KxMiniUIDialogView&) = delete;

  KxMiniUIRootView* GetRootView() override { return root_.get(); }
  KxMiniUIRenderTargetHolder* GetRootHolder() override { return target_.get(); }

  // --- Hooks for owners.
  // The view tree exists and the window is being created.
  virtual void OnInitDialog() {}
  // A key no view handled; answers whether it was consumed.
  virtual bool OnKeyDown(UINT key, UINT flags, UINT repeat);
  virtual void OnLayoutApplied() {}
  virtual void OnDropFiles(const std::vector<std::wstring>& paths);
  // The framework asks the window to close (a dialog ends itself).
  virtual void OnCloseRequest() {}
  virtual void OnAdviseHook() {}
  // A window timer (id with the top bit clear) fired; true when handled.
  virtual bool OnTimer(UINT_PTR id);

  // --- Layout. Before the window exists they only load; on a live window
  // they replace the tree and resize the window.
  bool LoadLayout(UINT id);
  bool SetLayout(const std::string& text);
  UINT GetLayoutId() const { return layoutId_; }
  const std::string& GetLayoutText() const { return layoutText_; }
  const KxMiniUIWindowDescription& GetDescription() const { return description_; }
  bool IsLayered() const { return layered_; }
  KxWndShadow* GetShadow() const { return shadow_.get(); }
  HWND GetTooltip() const { return tooltip_.GetHwnd(); }

  // --- Window timers, through the timer service when it runs.
  bool SetTimer(UINT_PTR id, UINT intervalMs);
  void KillTimer(UINT_PTR id);
  bool HasTimer(UINT_PTR id) const { return timers_.count(id) != 0; }

  // --- Painting.
  // Repaints now: a layered window renders at once, another through WM_PAINT.
  void RenderNow();
  // Whole-window opacity; below 255 the tree is painted into a layer.
  void SetOpacity(BYTE opacity);
  // Paints the tree into `dc` (client coordinates), outside any paint cycle.
  void PaintInto(HDC dc);

  // --- IMiniUIViewHost.
  HWND GetHostWindow() override { return GetHwnd(); }
  bool IsPaintAllowed() override;
  void InvalidateHostRect(const RECT& rect, bool immediate) override;
  bool SetHostTimer(UINT_PTR id, UINT interval) override;
  void KillHostTimer(UINT_PTR id) override;
  void UpdateTooltip(const std::wstring& text, int maxWidth) override;
  KxMiniUIInputMethod* GetInputMethod() override { return &inputMethod_; }

 protected:
  void SetLayoutId(UINT id) { layoutId_ = id; }
  // Reads the layout the record names (the text when the id is 0) and
  // applies it; false when it is missing or does not parse.
  bool LoadOwnLayout();
  // Creation-time style bits the window keeps on top of the description's.
  void SetCreationStyles(DWORD style, DWORD exStyle);

  // The window exists: register it, let the owner set up, finish it.
  void OnNativeCreated();
  // Applies the description's styles, sizes and centres the window, makes
  // the tooltip.
  void FinishWindow();
  // The window is going: timers, tree, back buffer and shadow are released.
  void OnNativeDestroyed();
  void OnNativeFinal();

  // The framework's handling of a message (frame, input, then window
  // handlers); false leaves it to the default handling.
  bool HandleFrameworkMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  bool ApplyLayout(KxMiniUILayoutDocument& document);
  void ResizeToLayout();
  void Render();
  bool EnsureBackBuffer(int width, int height);
  SIZE RenderSize() const;
  void LayoutRootAtClientSize();
  void ScheduleRender();
  void DispatchTimer(UINT_PTR id);
  void ApplyStyleUpdate(UINT documentId);
  // Replaces the shadow with one made from the description, or none.
  void RecreateShadow();
  void Centre();

  bool HandleFrameMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HandleInputMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HandleWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  bool HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleKey(UINT message, WPARAM wParam, LPARAM lParam);
  // WM_IME_* for the focused view's input method; false leaves the message
  // to the default handling.
  bool HandleInputMethod(UINT message, LPARAM lParam);
  void OnSized(WPARAM kind);

  // Declared before the tree so it outlives every view that is its client.
  KxMiniUIInputMethod inputMethod_;
  std::shared_ptr<KxMiniUIRootView> root_;
  KxMiniUISizingFrame sizingFrame_;
  std::unique_ptr<KxMiniUIRenderTargetHolder> target_;
  bool targetOpaque_ = true;
  UINT layoutId_ = 0;
  std::string layoutText_;
  KxMiniUIWindowDescription description_;
  std::unique_ptr<KxWndShadow> shadow_;
  bool layered_ = false;
  int highlightViewId_ = 0;
  BYTE opacity_ = 255;
  bool inSizeMove_ = false;
  bool paintAllowed_ = false;

  DWORD creationStyle_ = 0;
  DWORD creationExStyle_ = 0;
  std::set<UINT_PTR> timers_;
  KxMiniUITooltip tooltip_;
  bool trackingLeave_ = false;
  bool renderPending_ = false;
};
