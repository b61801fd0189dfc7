#include "tests/support/FreedBlockWatch.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Two words of bookkeeping, padded so blocks keep malloc's alignment.
struct BlockHeader {
  size_t size;
  BlockHeader* nextKept;
  size_t state;
  size_t padding;
};

constexpr size_t kLive = 0x4C495645;
constexpr size_t kFreed = 0x46524545;
constexpr unsigned char kPoison = 0xDD;

// Constant-initialised: operator new runs before any constructor does.
SRWLOCK g_lock = SRWLOCK_INIT;
std::atomic<bool> g_watching{false};
BlockHeader* g_kept = nullptr;
size_t g_keptCount = 0;
size_t g_freedTwice = 0;

BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }
unsigned char* BodyOf(BlockHeader* header) { return reinterpret_cast<unsigned char*>(header + 1); }

void* Allocate(size_t size) noexcept {
  auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + (size != 0 ? size : 1)));
  if (header == nullptr) return nullptr;
  header->size = size;
  header->nextKept = nullptr;
  header->state = kLive;
  return header + 1;
}

void Release(void* block) noexcept {
  if (block == nullptr) return;
  BlockHeader* header = HeaderOf(block);
  if (!g_watching.load(std::memory_order_acquire)) {
    std::free(header);
    return;
  }
  AcquireSRWLockExclusive(&g_lock);
  if (header->state == kFreed) {
    ++g_freedTwice;
  } else {
    std::memset(block, kPoison, header->size);
    header->state = kFreed;
    header->nextKept = g_kept;
    g_kept = header;
    ++g_keptCount;
  }
  ReleaseSRWLockExclusive(&g_lock);
}

void* AllocateOrThrow(size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

bool StillPoisoned(BlockHeader* header) {
  if (header->state != kFreed) return false;
  const unsigned char* body = BodyOf(header);
  for (size_t i = 0; i < header->size; ++i) {
    if (body[i] != kPoison) return false;
  }
  return true;
}

}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

namespace zelk::test {

FreedBlockWatch::FreedBlockWatch() { g_watching.store(true, std::memory_order_release); }

FreedBlockWatch::~FreedBlockWatch() {
  g_watching.store(false, std::memory_order_release);
  AcquireSRWLockExclusive(&g_lock);
  while (g_kept != nullptr) {
    BlockHeader* next = g_kept->nextKept;
    std::free(g_kept);
    g_kept = next;
  }
  g_keptCount = 0;
  g_freedTwice = 0;
  ReleaseSRWLockExclusive(&g_lock);
}

size_t FreedBlockWatch::Kept() const {
  AcquireSRWLockShared(&g_lock);
  const size_t kept = g_keptCount;
  ReleaseSRWLockShared(&g_lock);
  return kept;
}

size_t FreedBlockWatch::Damaged() const {
  AcquireSRWLockShared(&g_lock);
  size_t damaged = g_freedTwice;
  for (BlockHeader* header = g_kept; header != nullptr; header = header->nextKept) {
    if (!StillPoisoned(header)) ++damaged;
  }
  ReleaseSRWLockShared(&g_lock);
  return damaged;
}

}  // namespace zelk::test
