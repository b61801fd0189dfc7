#include "miniui/core/KxMiniUIPngGroupSkin.h"

#include "miniui/core/KxMiniUIClassRegistry.h"
#include "miniui/core/KxMiniUIResourceManager.h"
#include "miniui/core/KxMiniUIValue.h"

KXMINIUI_REGISTER_CLASS(KxMiniUIPngGroupSkin);

HRESULT KxMiniUIPngGroupSkin::SetAttribute(const char* name, const char* value, bool) {
  KxMiniUIAutoLock guard(Lock());
  using KxMiniUIText::NamesEqual;
  if (NamesEqual(name, "srcbg")) {
    background_ = static_cast<UINT>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "subId")) {
    strip_ = static_cast<UINT>(KxMiniUIValue::Number(value));
  } else if (NamesEqual(name, "subwidth")) {
    subWidth_ = static_cast<int>(KxMiniUIValue::Number(value));
  } else {
    return kAttrRejected;
  }
  return kAttrTaken;
}

bool KxMiniUIPngGroupSkin::LoadFromXml(const KxMiniUIXmlNode* node) {
  KxMiniUIAutoLock guard(Lock());
  Reset();
  if (!KxMiniUISkin::LoadFromXml(node)) return false;
  for (auto* item = node->first_node(); item != nullptr; item = item->next_sibling()) {
    if (item->type() != rapidxml::node_element || !KxMiniUIText::NamesEqual(item->name(), "item")) continue;
    const char* width = KxMiniUIXml::Attribute(item, "subwidth");
    items_.push_back(Item{static_cast<int>(KxMiniUIValue::Number(KxMiniUIXml::Attribute(item, "status"))),
                          width ? static_cast<int>(KxMiniUIValue::Number(width)) : subWidth_});
  }
  KxMiniUIResourceManager* resources = KxMiniUIResourceManager::Instance();
  if (resources != nullptr) {
    backgroundBitmap_ = resources->GetPngPool()->Get(background_);
    stripBitmap_ = resources->GetPngPool()->Get(strip_);
  }
  return backgroundBitmap_ != nullptr || stripBitmap_ != nullptr;
}

RECT KxMiniUIPngGroupSkin::FrameOfLocked(int status) const {
  int left = 0;
  for (const Item& item : items_) {
    if (item.status == status) {
      const int height = stripBitmap_ ? stripBitmap_->Height() : 0;
      return RECT{left, 0, left + item.width, height};
    }
    left += item.width;
  }
  return RECT{0, 0, 0, 0};
}

RECT KxMiniUIPngGroupSkin::FrameOf(int status) {
  KxMiniUIAutoLock guard(Lock());
  return FrameOfLocked(status);
}

void KxMiniUIPngGroupSkin::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) {
  KxMiniUIAutoLock guard(Lock());
  if (backgroundBitmap_) {
    canvas.DrawBitmap(rect, backgroundBitmap_.get(),
                      RECT{0, 0, backgroundBitmap_->Width(), backgroundBitmap_->Height()}, 255,
                      KxMiniUIRendTarget::kQualityDefault);
  }
  const RECT source = FrameOfLocked(frame);
  if (!stripBitmap_ || source.right <= source.left) return;
  const RECT dest{rect.left, rect.top, rect.left + (source.right - source.left),
                  rect.top + (source.bottom - source.top)};
  canvas.DrawBitmap(dest, stripBitmap_.get(), source, 255, KxMiniUIRendTarget::kQualityDefault);
}

SIZE KxMiniUIPngGroupSkin::GetFrameSize() {
  KxMiniUIAutoLock guard(Lock());
  return SIZE{subWidth_, stripBitmap_ ? stripBitmap_->Height() : 0};
}

bool KxMiniUIPngGroupSkin::IsSingleFrame() {
  KxMiniUIAutoLock guard(Lock());
  return items_.size() <= 1;
}

SIZE KxMiniUIPngGroupSkin::GetSize() {
  KxMiniUIAutoLock guard(Lock());
  if (backgroundBitmap_) return backgroundBitmap_->Size();
  return stripBitmap_ ? stripBitmap_->Size() : SIZE{0, 0};
}

void KxMiniUIPngGroupSkin::Reset() {
  KxMiniUIAutoLock guard(Lock());
  background_ = strip_ = 0;
  subWidth_ = 0;
  items_.clear();
  backgroundBitmap_.reset();
  stripBitmap_.reset();
}
