// A file hash that feeds every step to an ordered list of digest
// calculators, so one pass over a file can give several digests.
#pragma once

#include <memory>
#include <vector>

#include "verify/KxFileHash.h"
#include "verify/KxHashCalc.h"

namespace Kx {

class KxFileHashCalc : public KxFileHash {
 public:
  void Add(std::shared_ptr<KxHashCalc> calc);
  const std::vector<std::shared_ptr<KxHashCalc>>& Calculators() const { return calcs_; }

  void Init() override;
  void Update(const void* data, size_t size) override;
  void Final() override;

 private:
  std::vector<std::shared_ptr<KxHashCalc>> calcs_;
};

}  // namespace Kx
