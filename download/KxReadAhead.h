// Reads one WinINet request's body ahead of its caller, on a KxBoundedCall
// thread, into a small ring of 16 KiB blocks.
//
// Handing every 16 KiB read to a thread and waiting for it halved a
// download under Wine: each block paid two thread switches and their
// wine-server round trips on top of the read. Here the thread reads block
// after block while the caller writes the ones already read, and the two
// only wake each other when one of them has to wait (the ring empty or
// full). The caller still waits for data with a time limit and a stop
// event, so a cancel or a stalled server ends its wait at once even where
// the read itself cannot be interrupted (Wine); the thread is then left to
// finish its read on its own and leaves.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <memory>

#include "download/KxBoundedCall.h"

namespace Kx {

class KxReadAhead {
 public:
  // Size of one InternetReadFile.
  static constexpr DWORD kBlockSize = 0x4000;
  // Blocks read ahead at most: 512 KiB, as much as libcurl's receive
  // buffer. A smaller ring filled up whenever the writing thread waited
  // for a turn on a busy machine, and the reader then waited with it.
  static constexpr DWORD kDepth = 32;

  enum class TakeResult {
    kData,        // bytes were copied out
    kEnd,         // the body has ended (EndOk/EndError say how)
    kNothingYet,  // the wait passed without data; the read goes on
    kStopped,     // `stop` was signalled
  };

  KxReadAhead();
  KxReadAhead(const KxReadAhead&) = delete;
  KxReadAhead& operator=(const KxReadAhead&) = delete;
  // Stops the reading thread; one blocked in a read leaves after it.
  ~KxReadAhead();

  // Whether its events could be made.
  bool Usable() const;

  // Starts reading `request` on `calls`'s thread.
  void Start(KxBoundedCall& calls, HINTERNET request);

  // Copies up to `size` bytes of the oldest block read into `buffer`. When
  // nothing is there yet, waits up to `waitMs` for a block or the end, or
  // until `stop` (may be null) is signalled.
  TakeResult Take(void* buffer, DWORD size, DWORD& taken, HANDLE stop, DWORD waitMs);

  // GetTickCount() when the reader last got data (or began): how long it
  // has been waiting for the next block.
  DWORD WaitingSince() const;

  // How the last read ended, once Take answered kEnd: TRUE at the end of
  // the body, else the read's error.
  bool EndOk() const;
  DWORD EndError() const;

  // The reader stops at its next step. Safe from any thread.
  void Stop();

 private:
  struct State;

  static void ReadAll(const std::shared_ptr<State>& state, HINTERNET request);

  std::shared_ptr<State> state_;
};

}  // namespace Kx
