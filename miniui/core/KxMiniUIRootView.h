// The root of a window's view tree and its record: the host window, the
// mouse references, the window-wide flags, the focus manager and the view
// timers. Input dispatch into the tree builds on this.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "miniui/core/IMiniUIViewHost.h"
#include "miniui/core/KxMiniUIFocusManager.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIRootView : public KxMiniUIView {
 public:
  KxMiniUIRootView();
  ~KxMiniUIRootView() override;

  // Hands the area to the host window (nothing without one).
  void InvalidateRect(const RECT& rect, UINT flags) override;
  virtual KxMiniUIView* AddChild(std::unique_ptr<KxMiniUIView> child);
  // The window became active: the remembered focus comes back.
  virtual void OnWindowActivated();
  // The window lost activation: the focus goes, remembered.
  virtual void OnWindowDeactivated();

  // The host must outlive the root view, or be taken away (none) before it goes.
  void SetHost(IMiniUIViewHost* host) { host_ = host; }
  IMiniUIViewHost* GetHost() const { return host_; }
  // The window's client size: the root takes it and lays the tree out.
  void LayoutAt(int width, int height);

  // Window-wide settings from the layout.
  void SetDefaultDrag(bool on) { defaultDrag_ = on; }
  bool GetDefaultDrag() const { return defaultDrag_; }
  void SetNotResizable(bool on) { notResizable_ = on; }
  bool IsNotResizable() const { return notResizable_; }
  void SetDefaultFocus(bool on) { defaultFocus_ = on; }
  bool GetDefaultFocus() const { return defaultFocus_; }

  KxMiniUIFocusManager* GetFocusManager() { return &focusManager_; }

  // Mouse references the input dispatch keeps; cleared when their view leaves.
  KxMiniUIView* GetPressedView() const { return pressed_; }
  void SetPressedView(KxMiniUIView* view) { pressed_ = view; }
  KxMiniUIView* GetHoveredView() const { return hovered_; }
  void SetHoveredView(KxMiniUIView* view) { hovered_ = view; }
  KxMiniUIView* GetAcceptedView() const { return accepted_; }
  void SetAcceptedView(KxMiniUIView* view) { accepted_ = view; }
  void ClearMouseReferences();

  // Routes a native view timer (top bit set) to its view's OnTimer; false
  // when no view has that timer any more (the window then kills it).
  bool DispatchViewTimer(UINT_PTR id);

 private:
  friend class KxMiniUIView;

  uint32_t AllocateTimerSerial(KxMiniUIView* view);
  void ReleaseTimerSerial(uint32_t serial);
  // Clears every reference into `subtree` before it leaves the tree.
  void ForgetSubtree(KxMiniUIView* subtree);

  IMiniUIViewHost* host_ = nullptr;
  KxMiniUIView* pressed_ = nullptr;
  KxMiniUIView* hovered_ = nullptr;
  KxMiniUIView* accepted_ = nullptr;
  KxMiniUIView* remembered_ = nullptr;
  bool defaultDrag_ = false;
  bool notResizable_ = false;
  bool defaultFocus_ = false;
  KxMiniUIFocusManager focusManager_;
  uint32_t timerCounter_ = 0;
  std::map<uint32_t, KxMiniUIView*> timerViews_;
};
