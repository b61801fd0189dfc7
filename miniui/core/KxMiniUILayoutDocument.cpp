#include "miniui/core/KxMiniUILayoutDocument.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "miniui/core/KxMiniUIPanel.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIRootView.h"
#include "miniui/core/KxMiniUIValue.h"
#include "miniui/core/KxMiniUIXmlDocument.h"

namespace {

// The style bits a window made a child loses: its kind (pop-up or child,
// set anew), its caption, system menu and sizing frame, a dialog's frame.
constexpr DWORD kDroppedForChild = WS_POPUP | WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME;
static_assert(~kDroppedForChild == 0x3F33FF7Fu, "styles a child window keeps");

long NumberOf(const KxMiniUIXmlNode* node, const char* name) {
  return KxMiniUIValue::Number(KxMiniUIXml::Attribute(node, name));
}

bool IsOne(const KxMiniUIXmlNode* node, const char* name) {
  const char* value = KxMiniUIXml::Attribute(node, name);
  return value != nullptr && std::strcmp(value, "1") == 0;
}

bool IsNonEmpty(const KxMiniUIXmlNode* node, const char* name) {
  const char* value = KxMiniUIXml::Attribute(node, name);
  return value != nullptr && *value != '\0';
}

KxMiniUIWindowDescription ReadWindow(const KxMiniUIXmlNode* layer) {
  KxMiniUIWindowDescription window;
  window.title = KxMiniUIText::FromUtf8(KxMiniUIXml::Attribute(layer, "title"));
  window.width = static_cast<int>(NumberOf(layer, "width"));
  window.height = static_cast<int>(NumberOf(layer, "height"));
  if (NumberOf(layer, "visible") != 0) window.style |= WS_VISIBLE;
  if (NumberOf(layer, "animaterestore") != 0) window.style |= WS_CAPTION;
  if (IsOne(layer, "appwin")) window.exStyle |= WS_EX_APPWINDOW;
  if (IsOne(layer, "minbox")) window.style |= WS_MINIMIZEBOX;
  if (IsOne(layer, "resize")) {
    window.resizable = true;
    window.style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if (NumberOf(layer, "nomaxsize") != 0) window.style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
  }
  window.sizingBorder = static_cast<int>(NumberOf(layer, "resizeregion"));
  if (window.sizingBorder != 0 && window.resizable) window.style |= WS_THICKFRAME;
  if (NumberOf(layer, "nosystemmenu") != 0) window.style &= ~static_cast<DWORD>(WS_SYSMENU);
  window.minWidth = static_cast<int>(NumberOf(layer, "minwidth"));
  window.minHeight = static_cast<int>(NumberOf(layer, "minheight"));
  if (IsNonEmpty(layer, "noborder")) window.exStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  if (NumberOf(layer, "layer") != 0) {
    window.layered = true;
    window.exStyle |= WS_EX_LAYERED;
  }
  if (NumberOf(layer, "acceptfiles") != 0) window.exStyle |= WS_EX_ACCEPTFILES;
  window.redrawNonClient = NumberOf(layer, "redrawnc") != 0;
  if (IsNonEmpty(layer, "child")) {
    window.exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    window.style = (window.style & ~kDroppedForChild) | WS_CHILD;
  }
  window.defaultDrag = NumberOf(layer, "defaultdrag") != 0;
  window.defaultFocus = NumberOf(layer, "defaultfocus") != 0;
  return window;
}

// Up to four comma-separated numbers, spaces ignored.
void ReadMargins(const char* text, int (&margins)[4]) {
  std::string compact;
  for (const char* p = text ? text : ""; *p != '\0'; ++p) {
    if (*p != ' ') compact.push_back(*p);
  }
  const char* p = compact.c_str();
  for (int i = 0; i < 4 && *p != '\0'; ++i) {
    char* end = nullptr;
    margins[i] = static_cast<int>(std::strtol(p, &end, 0));
    if (end == p || *end != ',') break;
    p = end + 1;
  }
}

KxMiniUIShadowSettings ReadShadow(const KxMiniUIXmlNode* element) {
  KxMiniUIShadowSettings shadow;
  if (element == nullptr) return shadow;
  shadow.present = true;
  shadow.picture = static_cast<UINT>(NumberOf(element, "src"));
  int margins[4] = {};
  ReadMargins(KxMiniUIXml::Attribute(element, "margin"), margins);
  shadow.left = margins[0];
  shadow.top = margins[1];
  shadow.right = margins[2];
  shadow.bottom = margins[3];
  shadow.radiusTop = static_cast<int>(NumberOf(element, "radiustop"));
  shadow.radiusBottom = static_cast<int>(NumberOf(element, "radiusbottom"));
  shadow.sizingBorder = static_cast<int>(NumberOf(element, "sizingborder"));
  shadow.prunedMessageFollow = NumberOf(element, "prunedmsgfollow") != 0;
  return shadow;
}

}  // namespace

KxMiniUILayoutDocument::KxMiniUILayoutDocument() = default;
KxMiniUILayoutDocument::~KxMiniUILayoutDocument() = default;

bool KxMiniUILayoutDocument::Load(UINT id) {
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  std::string text;
  if (resources == nullptr || !resources->GetResourceLoader()->LoadXmlText(id, text)) {
    Parse(std::string());  // leaves the document empty
    return false;
  }
  return Parse(text);
}

bool KxMiniUILayoutDocument::Parse(const std::string& text) {
  description_ = KxMiniUIWindowDescription();
  views_.clear();
  KxMiniUIXmlDocument document;
  if (!document.Parse(text)) return false;
  const KxMiniUIXmlNode* layer = document.Root();
  if (layer == nullptr || std::strcmp(layer->name(), "layer") != 0) return false;
  description_ = ReadWindow(layer);
  description_.shadow = ReadShadow(KxMiniUIXml::Child(layer, "shadow"));
  if (!LoadParts(layer)) {
    description_ = KxMiniUIWindowDescription();
    views_.clear();
    return false;
  }
  return true;
}

bool KxMiniUILayoutDocument::LoadParts(const KxMiniUIXmlNode* layer) {
  const KxMiniUIXmlNode* header = KxMiniUIXml::Child(layer, "header");
  const KxMiniUIXmlNode* body = KxMiniUIXml::Child(layer, "body");
  const KxMiniUIXmlNode* footer = KxMiniUIXml::Child(layer, "footer");
  const int headerHeight = header ? static_cast<int>(NumberOf(header, "height")) : 0;
  const int footerHeight = footer ? static_cast<int>(NumberOf(footer, "height")) : 0;
  char headerPos[16], bodyPos[16], footerPos[16];
  std::snprintf(headerPos, sizeof(headerPos), "0,0,-0,%d", headerHeight);
  std::snprintf(bodyPos, sizeof(bodyPos), "0,%d,-0,-%d", headerHeight, footerHeight);
  std::snprintf(footerPos, sizeof(footerPos), "0,-%d,-0,-0", footerHeight);
  const struct {
    const KxMiniUIXmlNode* element;
    const char* pos;
  } parts[] = {{header, headerPos}, {body, bodyPos}, {footer, footerPos}};
  for (const auto& part : parts) {
    if (part.element == nullptr) continue;
    auto view = std::make_unique<KxMiniUIPanel>();
    if (!view->LoadFromXml(part.element)) return false;
    view->SetAttribute("pos", part.pos, false);
    views_.push_back(std::move(view));
  }
  return true;
}

void KxMiniUILayoutDocument::ApplyTo(KxMiniUIRootView& root) {
  root.ClearTree();
  root.SetDefaultDrag(description_.defaultDrag);
  root.SetDefaultFocus(description_.defaultFocus);
  root.SetNotResizable(!description_.resizable);
  for (auto& view : views_) root.AddChild(std::move(view));
  views_.clear();
}
