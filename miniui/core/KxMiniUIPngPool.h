// Decoded PNG resources by id, loaded on first use and kept until cleared.
// A picture may also be decoded ahead on the pool's own thread, so that the
// first paint of a window finds it ready.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "base/ScopedHandle.h"
#include "miniui/core/KxMiniUIBitmap.h"
#include "miniui/core/KxMiniUILock.h"

class KxMiniUIRenderFactory;
class KxMiniUIResourceLoader;

class KxMiniUIPngPool {
 public:
  explicit KxMiniUIPngPool(KxMiniUIResourceLoader& loader);
  KxMiniUIPngPool(const KxMiniUIPngPool&) = delete;
  KxMiniUIPngPool& operator=(const KxMiniUIPngPool&) = delete;

  // Drops every cached picture and every picture still due to be decoded
  // ahead; waits for a decode under way.
  virtual void Clear();
  // The cached picture, else loaded, decoded and cached; none when the
  // resource is missing or does not decode (nothing is cached then). While
  // the picture is being decoded ahead, waits for that decode.
  virtual std::shared_ptr<KxMiniUIBitmap> Get(UINT id);
  // Loads the picture again and replaces the cached one; on failure the old
  // entry stays and the answer is none.
  virtual std::shared_ptr<KxMiniUIBitmap> Reload(UINT id);
  // Queues `id` to be decoded ahead on the pool's thread, unless it is
  // cached, queued or being decoded already.
  virtual void Prefetch(UINT id);
  // The width and height in the header of "png" resource `id`, without
  // decoding it; false when the resource is missing or is not a PNG.
  virtual bool HeaderSize(UINT id, SIZE& size);
  // The raw bytes of "png" resource `id`.
  virtual bool LoadBytes(UINT id, std::string& buffer);
  virtual size_t Count();
  // An empty bitmap from the render factory; none without a factory.
  virtual std::shared_ptr<KxMiniUIBitmap> CreateBitmap();
  virtual void SetRenderFactory(KxMiniUIRenderFactory* factory);
  // Waits for the thread that decodes ahead.
  virtual ~KxMiniUIPngPool();

 private:
  std::shared_ptr<KxMiniUIBitmap> Decode(UINT id);
  // With the lock held: decodes `id` with the lock released, then stores
  // the picture (replacing a cached one when `replace`) and wakes waiters.
  std::shared_ptr<KxMiniUIBitmap> DecodeAndStore(UINT id, bool replace);
  // With the lock held: until no thread is decoding `id` (0: any id).
  void WaitForDecoding(UINT id);
  bool IsKnown(UINT id) const;
  static unsigned __stdcall PrefetchProc(void* pool);
  void DecodeQueued();

  KxMiniUICriticalSection lock_;
  KxMiniUIResourceLoader& loader_;
  KxMiniUIRenderFactory* factory_ = nullptr;
  std::map<UINT, std::shared_ptr<KxMiniUIBitmap>> bitmaps_;
  // Woken whenever a decode ends.
  CONDITION_VARIABLE decodeEnded_ = CONDITION_VARIABLE_INIT;
  std::set<UINT> decoding_;
  std::deque<UINT> queued_;
  // The last thread started to decode ahead; it ends once nothing is queued.
  Kx::ScopedHandle prefetcher_;
  bool prefetcherRunning_ = false;
  bool closing_ = false;
};
