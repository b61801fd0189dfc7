// A use-after-free detector for the test programs that link it: while a
// FreedBlockWatch lives, every block released through operator delete is
// filled with a pattern and kept instead of going back to the heap, so a
// write through a dangling pointer lands in a kept block and changes its
// pattern. The program's operator new and delete are replaced for this
// (FreedBlockWatch.cpp); outside a watch they only add a small header.
#pragma once

#include <cstddef>

namespace zelk::test {

class FreedBlockWatch {
 public:
  FreedBlockWatch();
  // Returns the kept blocks to the heap.
  ~FreedBlockWatch();
  FreedBlockWatch(const FreedBlockWatch&) = delete;
  FreedBlockWatch& operator=(const FreedBlockWatch&) = delete;

  // Blocks freed since the watch began.
  size_t Kept() const;
  // Of those, the ones written after they were freed, or freed twice.
  size_t Damaged() const;
};

}  // namespace zelk::test
