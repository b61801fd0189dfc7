// The root of a window's view tree and its record: the host window, the
// mouse references, the window-wide flags, the focus manager and the view
// timers. The window hands it every mouse and key message; it finds the view
// that gets each one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "miniui/core/IMiniUIViewHost.h"
#include "miniui/core/KxMiniUIFocusManager.h"
#include "miniui/core/KxMiniUIView.h"

class KxMiniUIRootView : public KxMiniUIView {
 public:
  KxMiniUIRootView();
  ~KxMiniUIRootView() override;

  // Key modifier bits the key handlers receive.
  static constexpr UINT kModifierShift = 0x1;
  static constexpr UINT kModifierControl = 0x2;
  static constexpr UINT kModifierAlt = 0x4;

  // --- What the window calls. Points are in client coordinates at 96 DPI
  // (the window converts them); every call answers true when a view
  // consumed the input.
  //
  // Mouse flags are the message's MK_ key flags with the button bits
  // replaced by the bit of the button the message is about (a right release
  // carries MK_RBUTTON); MouseFlagsFor builds them.
  static UINT MouseFlagsFor(UINT message, WPARAM wParam);
  // The modifier bits from the key state when a key message arrives.
  static UINT CurrentKeyModifiers();

  // A button went down (a double click arrives here with `doubleClick` set).
  bool OnMouseDown(UINT flags, POINT point, bool doubleClick) override;
  // The mouse moved while a view holds the press.
  bool OnMouseDrag(UINT flags, POINT point) override;
  // A button went up: the view holding the press hears it wherever it is.
  bool OnMouseUp(UINT flags, POINT point, UINT extra) override;
  // The mouse moved: a drag while a view holds the press, else hover tracking.
  bool OnMouseMove(UINT flags, POINT point) override;
  // Offered to the view under the point, then to its ancestors.
  bool OnMouseWheel(UINT flags, POINT point, int delta) override;
  // The mouse left the window (WM_MOUSELEAVE).
  void OnMouseLeave(POINT point) override;
  // Offered to the focused view, then to its ancestors; an unhandled Tab
  // moves the focus (Shift+Tab backwards).
  bool OnKeyDown(UINT key, LPARAM keyData, UINT modifiers) override;
  bool OnKeyUp(UINT key, LPARAM keyData, UINT modifiers) override;
  bool OnChar(UINT code) override;
  // The cursor the view under `point` asks for (the arrow over no view).
  HCURSOR CursorAt(POINT point);

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

  // The window lost the mouse capture (WM_CAPTURECHANGED). A press still
  // held ends there: its holder will not hear a release, and the hover is
  // looked up afresh at the next move. After the window's own release
  // nothing is held and nothing changes, so a double click still reaches
  // the view that took the first click.
  void OnCaptureLost();

  // Mouse references the input dispatch keeps; cleared when their view
  // leaves the tree.
  KxMiniUIView* GetPressedView() const { return pressed_; }
  void SetPressedView(KxMiniUIView* view) { pressed_ = view; }
  KxMiniUIView* GetHoveredView() const { return hovered_; }
  void SetHoveredView(KxMiniUIView* view) { hovered_ = view; }
  KxMiniUIView* GetAcceptedView() const { return accepted_; }
  void SetAcceptedView(KxMiniUIView* view) { accepted_ = view; }
  // Forgets the press, the hover and the accepting view (the window calls
  // this when it is resized). Views already told the mouse entered are
  // still told when it leaves them.
  void ClearMouseReferences();
  // Destroys every view of the tree, the last child first.
  void ClearTree();

  // Routes a native view timer (top bit set) to its view's OnTimer; false
  // when no view has that timer any more (the window then kills it).
  bool DispatchViewTimer(UINT_PTR id);

 private:
  friend class KxMiniUIView;

  // Views a dispatch is about to call one after another. A handler may take
  // views out of the tree (an owner rebuilding its window on a click), so an
  // entry becomes none when its view leaves and is then skipped.
  class CallList {
   public:
    CallList(KxMiniUIRootView& root, std::vector<KxMiniUIView*> views);
    ~CallList();
    CallList(const CallList&) = delete;
    CallList& operator=(const CallList&) = delete;
    std::vector<KxMiniUIView*>& Views() { return views_; }

   private:
    KxMiniUIRootView& root_;
    std::vector<KxMiniUIView*> views_;
  };

  // Sets the cursor of the view under `point`, keeping the first replaced
  // cursor to restore when the mouse leaves the window.
  void ApplyCursorAt(POINT point);
  void RestoreCursor();
  // Moves the hover to `view` (none: the mouse left the window), telling the
  // views it left and entered.
  void ChangeHover(KxMiniUIView* view, POINT point);
  // The views that count as hovered while `view` is: itself and the
  // ancestors above it that want child enter/exit, nearest first, the view
  // itself last.
  static std::vector<KxMiniUIView*> HoverChainOf(KxMiniUIView* view);
  // `view` and its ancestors below the root, nearest first.
  std::vector<KxMiniUIView*> BubbleChainOf(KxMiniUIView* view) const;
  bool MoveFocusByTab(UINT modifiers);

  uint32_t AllocateTimerSerial(KxMiniUIView* view);
  void ReleaseTimerSerial(uint32_t serial);
  // Clears every reference into `subtree` before it leaves the tree.
  void ForgetSubtree(KxMiniUIView* subtree);

  IMiniUIViewHost* host_ = nullptr;
  KxMiniUIView* pressed_ = nullptr;
  KxMiniUIView* hovered_ = nullptr;
  KxMiniUIView* accepted_ = nullptr;
  KxMiniUIView* remembered_ = nullptr;
  // Every view told the mouse entered and not yet told it left.
  std::vector<KxMiniUIView*> entered_;
  std::vector<CallList*> callLists_;
  UINT lastFlags_ = 0;
  POINT lastPoint_{0, 0};
  HCURSOR savedCursor_ = nullptr;
  bool cursorSaved_ = false;
  bool defaultDrag_ = false;
  bool notResizable_ = false;
  bool defaultFocus_ = false;
  KxMiniUIFocusManager focusManager_;
  uint32_t timerCounter_ = 0;
  std::map<uint32_t, KxMiniUIView*> timerViews_;
};
