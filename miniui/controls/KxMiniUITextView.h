// "text": static text, and the base of every control that shows a text
// (images, buttons, check boxes, the edit view). It keeps the text, how it
// is trimmed and placed, and the tooltip.
#pragma once

#include <windows.h>

#include <string>

#include "miniui/core/KxMiniUIView.h"

class KxMiniUITextView : public KxMiniUIView {
 public:
  KXMINIUI_DECLARE_TAG("text")

  // The six string trimmings of GDI+, in their order.
  enum Trimming { kTrimNone, kTrimChar, kTrimWord, kTrimEllipsisChar, kTrimEllipsisWord, kTrimPath };

  // The element's text becomes the view's text, then the attributes and the
  // children are applied.
  bool LoadFromXml(const KxMiniUIXmlNode* node) override;
  HRESULT SetAttribute(const char* name, const char* value, bool notify) override;
  SIZE GetContentSize() override;
  void Layout() override;
  void Paint(KxMiniUIRendTarget& canvas) override;
  void SetTooltipText(const std::wstring& text) override;
  // The tooltip text while a tooltip is allowed, else empty.
  std::wstring GetTooltipText() override;
  void SetTooltipWidth(int width) override;
  int GetTooltipWidth() override;

  virtual std::wstring GetText() const;
  virtual void SetText(const std::wstring& text, bool repaint);
  virtual void SetTextNoRepaint(const std::wstring& text);
  // Measures the text with the view's text format, keeps the size and
  // answers it plus the text offset.
  virtual SIZE CalcTextSize();
  // Enabled: the text colour; disabled: the disabled text colour unless it
  // is unset.
  virtual COLORREF GetTextColor();

  int GetTrimming() const { return trimming_; }
  bool IsSingleLine() const { return singleLine_; }
  POINT GetTextOffset() const { return textOffset_; }
  SIZE GetMeasuredTextSize() const { return measured_; }
  bool IsTooltipAllowed() const { return tooltipAllowed_; }

 protected:
  void SetTrimming(int trimming) { trimming_ = trimming; }
  void SetSingleLine(bool singleLine) { singleLine_ = singleLine; }

 private:
  int trimming_ = kTrimNone;
  bool singleLine_ = true;
  std::wstring text_;
  POINT textOffset_{0, 0};
  std::wstring tooltip_;
  int tooltipWidth_ = 0;
  bool tooltipAllowed_ = true;
  bool autoTooltip_ = false;
  SIZE measured_{0, 0};
};
