#include "miniui/controls/KxMiniUISkinRef.h"

#include "miniui/core/KxMiniUIManner.h"
#include "miniui/core/KxMiniUISkinPool.h"

void KxMiniUISkinRef::SetName(const std::string& name) {
  name_ = name;
  KxMiniUIManner* manner = KxMiniUIManner::Instance();
  skin_ = manner != nullptr && !name.empty() ? manner->GetSkinPool()->Get(name) : nullptr;
  // Named while a layout loads: the picture can decode while the rest loads.
  if (skin_ != nullptr) skin_->Prefetch();
}

void KxMiniUISkinRef::Draw(KxMiniUIRendTarget& canvas, const RECT& rect, int frame) const {
  if (skin_ != nullptr) skin_->Draw(canvas, rect, frame);
}

SIZE KxMiniUISkinRef::FrameSize() const {
  if (skin_ == nullptr) return SIZE{0, 0};
  return skin_->IsSingleFrame() ? skin_->GetSize() : skin_->GetFrameSize();
}
