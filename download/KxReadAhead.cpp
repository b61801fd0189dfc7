#include "download/KxReadAhead.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "base/CriticalSection.h"
#include "base/ScopedHandle.h"
#include "download/WinInetLibrary.h"

namespace Kx {
namespace {

// The two threads wake each other in batches, not per block: a full ring
// wakes the reader again once half of it is free, an empty one the caller
// once half of it is filled (or the body ended). Each wake-up is a thread
// switch and, under Wine, wine-server round trips.
constexpr DWORD kResumeReadingAt = KxReadAhead::kDepth / 2;
constexpr DWORD kWakeTakerAt = KxReadAhead::kDepth / 2;
// A caller waiting for a batch looks again this often, so that on a slow
// link each block still goes on within this time.
constexpr DWORD kGatherMs = 50;

// 0 stands for "not set" in the call-start ticks built on WaitingSince.
DWORD NonZeroTick() {
  const DWORD now = GetTickCount();
  return now != 0 ? now : 1;
}

// Windows ends a read that waited past the request's receive timeout with
// ERROR_INTERNET_TIMEOUT and nothing lost, Wine's sockets with
// WSAETIMEDOUT: the reader simply reads again, and the caller's own wait
// decides when the server counts as stalled.
bool IsReceiveTimeout(DWORD error) { return error == ERROR_INTERNET_TIMEOUT || error == WSAETIMEDOUT; }

}  // namespace

// Shared by the caller and the reading thread, which keeps it alive after
// the caller has given the read up.
struct KxReadAhead::State {
  CriticalSection lock;
  // Auto-reset: a block or the end came while the caller waited.
  ScopedHandle filled{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  // Auto-reset: room came free (or a stop) while the reader waited.
  ScopedHandle drained{CreateEventW(nullptr, FALSE, FALSE, nullptr)};

  std::vector<char> bytes = std::vector<char>(static_cast<size_t>(kDepth) * kBlockSize);
  DWORD sizes[kDepth] = {};
  DWORD head = 0;        // oldest filled block
  DWORD count = 0;       // filled blocks
  DWORD headTaken = 0;   // bytes of the oldest block already copied out
  bool takerWaiting = false;
  bool readerWaiting = false;
  bool stopping = false;
  bool ended = false;
  bool endOk = false;
  DWORD endError = ERROR_SUCCESS;
  std::atomic<DWORD> waitingSince{NonZeroTick()};

  char* BlockAt(DWORD index) { return bytes.data() + static_cast<size_t>(index % kDepth) * kBlockSize; }
};

KxReadAhead::KxReadAhead() : state_(std::make_shared<State>()) {}

KxReadAhead::~KxReadAhead() { Stop(); }

bool KxReadAhead::Usable() const { return state_->filled.IsValid() && state_->drained.IsValid(); }

void KxReadAhead::Start(KxBoundedCall& calls, HINTERNET request) {
  state_->waitingSince.store(NonZeroTick());
  calls.Start([state = state_, request] { ReadAll(state, request); }, nullptr);
}

void KxReadAhead::ReadAll(const std::shared_ptr<State>& state, HINTERNET request) {
  const WinInetLibrary& wininet = WinInetLibrary::Instance();
  for (;;) {
    char* block = nullptr;
    {
      CriticalSectionLock lock(state->lock);
      while (state->count == kDepth && !state->stopping) {
        state->readerWaiting = true;
        state->lock.Leave();
        WaitForSingleObject(state->drained.Get(), INFINITE);
        state->lock.Enter();
        state->readerWaiting = false;
      }
      if (state->stopping) return;
      block = state->BlockAt(state->head + state->count);
    }
    DWORD read = 0;
    const BOOL ok = wininet.InternetReadFile(request, block, kBlockSize, &read);
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    if (!ok && IsReceiveTimeout(error)) continue;

    CriticalSectionLock lock(state->lock);
    if (state->stopping) return;
    if (ok && read != 0) {
      state->sizes[(state->head + state->count) % kDepth] = read;
      ++state->count;
      state->waitingSince.store(NonZeroTick());
    } else {
      state->ended = true;
      state->endOk = ok != FALSE;
      state->endError = error;
    }
    if (state->takerWaiting && (state->count >= kWakeTakerAt || state->ended)) SetEvent(state->filled.Get());
    if (state->ended) return;
  }
}

KxReadAhead::TakeResult KxReadAhead::Take(void* buffer, DWORD size, DWORD& taken, HANDLE stop, DWORD waitMs) {
  taken = 0;
  State& state = *state_;
  CriticalSectionLock lock(state.lock);
  // With a block at hand no wait is needed, so `stop` is looked at only
  // before one: under Wine every look at an event is a wine-server round
  // trip, and the caller checks its own cancel flag between reads anyway.
  if (state.count == 0 && stop != nullptr && WaitForSingleObject(stop, 0) == WAIT_OBJECT_0)
    return TakeResult::kStopped;
  const DWORD start = GetTickCount();
  while (state.count == 0 && !state.ended) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= waitMs) break;
    state.takerWaiting = true;
    state.lock.Leave();
    const HANDLE waits[] = {state.filled.Get(), stop};
    const DWORD wait =
        WaitForMultipleObjects(stop != nullptr ? 2 : 1, waits, FALSE, std::min(kGatherMs, waitMs - waited));
    state.lock.Enter();
    state.takerWaiting = false;
    if (wait == WAIT_OBJECT_0 + 1) return TakeResult::kStopped;
  }
  if (state.count == 0) return state.ended ? TakeResult::kEnd : TakeResult::kNothingYet;

  const DWORD index = state.head % kDepth;
  taken = std::min(size, state.sizes[index] - state.headTaken);
  std::memcpy(buffer, state.BlockAt(state.head) + state.headTaken, taken);
  state.headTaken += taken;
  if (state.headTaken == state.sizes[index]) {
    state.headTaken = 0;
    state.head = (state.head + 1) % kDepth;
    --state.count;
    if (state.readerWaiting && state.count <= kResumeReadingAt) SetEvent(state.drained.Get());
  }
  return TakeResult::kData;
}

DWORD KxReadAhead::WaitingSince() const { return state_->waitingSince.load(); }

bool KxReadAhead::EndOk() const {
  CriticalSectionLock lock(state_->lock);
  return state_->endOk;
}

DWORD KxReadAhead::EndError() const {
  CriticalSectionLock lock(state_->lock);
  return state_->endError;
}

void KxReadAhead::Stop() {
  CriticalSectionLock lock(state_->lock);
  state_->stopping = true;
  if (state_->readerWaiting) SetEvent(state_->drained.Get());
}

}  // namespace Kx
