// The base of every windowless view: a node of the tree a framework window
// draws on one surface. A parent owns its children; rectangles are relative
// to the parent's top-left corner.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "miniui/core/KxFastPaintHelper.h"
#include "miniui/core/KxMiniUINotification.h"
#include "miniui/core/KxMiniUIObject.h"
#include "miniui/core/KxMiniUIRendTarget.h"
#include "miniui/core/KxMiniUIStyle.h"
#include "miniui/core/KxMiniUIViewLayout.h"

class KxMiniUISkin;

class KxMiniUIRootView;

class KxMiniUIView : public KxMiniUIObject, public KxFastPaintHelper {
 public:
  // InvalidateRect flag: redraw the window at once instead of queueing.
  static constexpr UINT kInvalidateImmediate = 0x1;
  // Focus reasons.
  static constexpr int kFocusByTab = 0;
  static constexpr int kFocusByActivation = 1;
  static constexpr int kFocusByMouse = 2;
  static constexpr int kFocusByCode = 3;

  KxMiniUIView();
  ~KxMiniUIView() override;
  KxMiniUIView(const KxMiniUIView&) = delete;
  KxMiniUIView& operator=(const KxMiniUIView&) = delete;

  // Attributes (layout ones first, "show" last), then the child elements.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  virtual void SetFocus();
  virtual bool LoadAttributesFromXml(const KxMiniUIXmlNode* node);
  // Each child element whose tag makes a view that loads becomes a child;
  // anything else is skipped without failing.
  virtual bool LoadChildrenFromXml(const KxMiniUIXmlNode* node);
  virtual void OnAttached();
  virtual void Layout();
  virtual void LayoutChildren();
  virtual bool HitTest(POINT point);
  virtual void RefreshTree();
  virtual void SetVisible(bool visible);
  virtual bool IsVisible() const;
  virtual void SetEnabled(bool enabled);
  virtual bool IsEnabled() const;
  virtual void SetSkinName(const std::string& name);
  virtual void SetSpareFlag1(bool value);
  virtual bool GetSpareFlag1() const;
  virtual void SetSpareFlag2(bool value);
  virtual bool GetSpareFlag2() const;
  virtual void OnChildRegistered(KxMiniUIView* child, int oldId);
  // The deepest visible, enabled view under `point` (own coordinates).
  virtual KxMiniUIView* FindViewAt(POINT point);
  virtual bool WantsChildEnterExit() const;
  // The natural size; (0, 0) here, controls answer what they need.
  virtual SIZE GetContentSize();
  virtual bool OnMouseDown(UINT flags, POINT point, bool doubleClick);
  virtual bool OnMouseDrag(UINT flags, POINT point);
  virtual bool OnMouseUp(UINT flags, POINT point, UINT extra);
  virtual bool OnMouseMove(UINT flags, POINT point);
  virtual bool OnMouseWheel(UINT flags, POINT point, int delta);
  virtual void OnMouseEnter(POINT point);
  virtual void OnMouseLeave(POINT point);
  virtual bool OnKeyDown(UINT key, LPARAM keyData, UINT modifiers);
  virtual bool OnKeyUp(UINT key, LPARAM keyData, UINT modifiers);
  virtual bool OnChar(UINT code);
  virtual void OnSetFocus(int reason);
  virtual void OnKillFocus();
  virtual HCURSOR GetCursor(POINT point);
  virtual void OnTimer(int id);
  virtual void Invalidate();
  // `rect` in this view's coordinates.
  virtual void InvalidateRect(const RECT& rect, UINT flags);
  // Draws this view alone; the canvas is already moved to its top-left corner.
  virtual void Paint(KxMiniUIRendTarget& canvas);
  virtual void SetTooltipText(const std::wstring& text);
  virtual std::wstring GetTooltipText();
  virtual void SetTooltipWidth(int width);
  virtual int GetTooltipWidth();
  virtual bool IsOpaque();
  virtual bool IsOpaqueForChildren();
  // A native timer routed back to OnTimer(slot); slots are 1 to 127.
  virtual bool SetTimer(int slot, UINT interval);
  virtual void KillTimer(int slot);

  // --- The tree.
  KxMiniUIView* GetParent() const { return parent_; }
  size_t GetChildCount() const;
  KxMiniUIView* GetChildAt(size_t index) const;
  // Appends (or inserts before `index`) and answers the child.
  KxMiniUIView* AddChild(std::unique_ptr<KxMiniUIView> child);
  KxMiniUIView* InsertChild(size_t index, std::unique_ptr<KxMiniUIView> child);
  // Takes `view` out of its current parent and inserts it here (at the end
  // for an index past the last child).
  bool AdoptChild(KxMiniUIView* view, size_t index = static_cast<size_t>(-1));
  // Takes `child` out of the tree; destroys it, or hands it back parentless.
  std::unique_ptr<KxMiniUIView> RemoveChild(KxMiniUIView* child, bool destroy);
  // This view, else a registered descendant, else the first found depth-first.
  KxMiniUIView* FindViewById(int id);
  // The root of the tree when it is a window's root view, else none.
  KxMiniUIRootView* GetRootView() const;
  bool IsRoot() const { return isRoot_; }

  // --- Geometry.
  RECT GetRect() const { return rect_; }
  int Width() const { return rect_.right - rect_.left; }
  int Height() const { return rect_.bottom - rect_.top; }
  // Stores the rectangle; lays the children out when the size changed; with
  // `invalidate` repaints the old and the new area in the parent.
  void SetRect(const RECT& rect, bool invalidate);
  // Moves by (dx, dy) and grows by (dWidth, dHeight).
  void MoveBy(int dx, int dy, int dWidth, int dHeight);
  POINT ToWindowPoint(POINT point) const;
  POINT ToViewPoint(POINT windowPoint) const;
  KxMiniUIViewLayout& GetLayout() { return layout_; }
  bool FollowsParent() const { return followsParent_; }
  bool IsLaidOut() const { return laidOut_; }

  // --- Painting and notification.
  // Paints this view and its subtree when visible and inside the clip.
  void PaintTree(KxMiniUIRendTarget& canvas);
  // Sends WM_NOTIFY with a record for this view to the hosting window and
  // answers its reply; 0 when the view is in no live window.
  LRESULT Notify(UINT code);
  LRESULT Notify(UINT code, KxMiniUINotification& record);

  // --- Properties.
  const KxMiniUIStyle& GetStyle() const { return style_; }
  KxMiniUIStyle& MutableStyle() { return style_; }
  int GetId() const { return id_; }
  int GetTabStop() const { return tabStop_; }
  int GetDrag() const { return drag_; }
  int GetFocusable() const { return focusable_; }
  void SetFocusable(int focusable) { focusable_ = focusable; }
  void SetDrag(int drag) { drag_ = drag; }
  bool InheritsStyle() const { return inheritStyle_; }
  bool IsTransparentToMouse() const { return transparentToMouse_; }
  bool SendsEnterExit() const { return enterExitMessage_; }
  bool NotifiesRightClick() const { return notifyRightClick_; }
  int GetHighlightOrder() const { return highlightOrder_; }
  void SetHighlightOrder(int order) { highlightOrder_ = order; }
  bool IsRegistrationPending() const { return registrationPending_; }
  // The native timer id of `slot` for this view (after its first SetTimer).
  UINT_PTR TimerIdOf(int slot) const;

 protected:
  // Only the root view sets this.
  explicit KxMiniUIView(bool isRoot);

 private:
  friend class KxMiniUIRootView;

  void InheritStyleFrom(const KxMiniUIStyle& parent);
  // The skin the style names, from the manner's skin pool; none without one.
  std::shared_ptr<KxMiniUISkin> StyleSkin() const;
  // Loaded views name their style's skin before any is drawn: its picture
  // can decode while the rest of the layout loads.
  void PrefetchStyleSkin();
  void RegisterSubtreeIds(KxMiniUIView* subtree);
  void UnregisterSubtreeIds(KxMiniUIView* subtree);
  void ReleaseSubtreeTimers(KxMiniUIRootView& root);
  size_t IndexOf(const KxMiniUIView* child) const;
  // The rectangle the layout gives this view in its parent (asks the view
  // for its natural size when it has no four coordinates).
  RECT ComputeRect();

  // Fields in the order the views' data is described.
  int drag_ = -1;
  int focusable_ = 0;
  KxMiniUIStyle style_;
  bool notifyRightClick_ = false;
  const bool isRoot_ = false;
  KxMiniUIView* parent_ = nullptr;
  bool visible_ = true;
  RECT rect_{0, 0, 0, 0};
  bool enabled_ = true;
  bool followsParent_ = true;
  int id_ = 0;
  int tabStop_ = 0;
  bool inheritStyle_ = false;
  bool spareFlag1_ = false;
  bool spareFlag2_ = false;
  int highlightOrder_ = 1000;
  bool childEnterExit_ = false;
  bool enterExitMessage_ = false;
  bool registrationPending_ = true;

  // The private part.
  std::vector<std::unique_ptr<KxMiniUIView>> children_;
  std::map<int, KxMiniUIView*> idMap_;
  KxMiniUIViewLayout layout_;
  std::set<UINT_PTR> timers_;
  uint32_t timerSerial_ = 0;
  bool transparentToMouse_ = false;
  bool laidOut_ = false;
};
