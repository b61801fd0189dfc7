#include "verify/KxFileHashCalc.h"

#include <utility>

namespace Kx {

void KxFileHashCalc::Add(std::shared_ptr<KxHashCalc> calc) {
  if (calc) calcs_.push_back(std::move(calc));
}

void KxFileHashCalc::Init() {
  for (const auto& calc : calcs_) calc->Init();
}

void KxFileHashCalc::Update(const void* data, size_t size) {
  for (const auto& calc : calcs_) calc->Update(data, size);
}

void KxFileHashCalc::Final() {
  for (const auto& calc : calcs_) calc->Final();
}

}  // namespace Kx
