#include "miniui/core/KxMiniUIPngPool.h"

#include <process.h>

#include <algorithm>

#include "miniui/core/KxMiniUIRenderFactory.h"
#include "miniui/core/KxMiniUIResourceLoader.h"

namespace {

// The PNG signature, then the IHDR chunk's length and type, then its width
// and height as big-endian 32-bit numbers.
constexpr char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr size_t kSignatureSize = sizeof(kPngSignature) - 1;
constexpr char kHeaderChunk[] = "IHDR";
constexpr size_t kHeaderTypeAt = kSignatureSize + 4;
constexpr size_t kWidthAt = kHeaderTypeAt + 4;
constexpr size_t kHeightAt = kWidthAt + 4;
constexpr size_t kHeaderEnd = kHeightAt + 4;
// PNG limits both to 2^31 - 1.
constexpr unsigned long kMaxDimension = 0x7FFFFFFFul;

unsigned long BigEndianAt(const std::string& bytes, size_t at) {
  unsigned long value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

bool ReadPngHeaderSize(const std::string& bytes, SIZE& size) {
  if (bytes.size() < kHeaderEnd || bytes.compare(0, kSignatureSize, kPngSignature) != 0 ||
      bytes.compare(kHeaderTypeAt, 4, kHeaderChunk) != 0) {
    return false;
  }
  const unsigned long width = BigEndianAt(bytes, kWidthAt);
  const unsigned long height = BigEndianAt(bytes, kHeightAt);
  if (width == 0 || height == 0 || width > kMaxDimension || height > kMaxDimension) return false;
  size = SIZE{static_cast<LONG>(width), static_cast<LONG>(height)};
  return true;
}

}  // namespace

KxMiniUIPngPool::KxMiniUIPngPool(KxMiniUIResourceLoader& loader) : loader_(loader) {}

KxMiniUIPngPool::~KxMiniUIPngPool() {
  HANDLE prefetcher = nullptr;
  {
    KxMiniUIAutoLock guard(lock_);
    closing_ = true;
    queued_.clear();
    prefetcher = prefetcher_.Get();
  }
  // It ends after the decode it is doing; it must not outlive the pool.
  if (prefetcher != nullptr) ::WaitForSingleObject(prefetcher, INFINITE);
}

void KxMiniUIPngPool::Clear() {
  KxMiniUIAutoLock guard(lock_);
  queued_.clear();
  WaitForDecoding(0);
  bitmaps_.clear();
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Decode(UINT id) {
  std::string bytes;
  if (!LoadBytes(id, bytes)) return nullptr;
  std::shared_ptr<KxMiniUIBitmap> bitmap = CreateBitmap();
  if (!bitmap || !bitmap->LoadFromMemory(bytes.data(), bytes.size())) return nullptr;
  return bitmap;
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::DecodeAndStore(UINT id, bool replace) {
  queued_.erase(std::remove(queued_.begin(), queued_.end(), id), queued_.end());
  decoding_.insert(id);
  lock_.Leave();
  std::shared_ptr<KxMiniUIBitmap> bitmap = Decode(id);
  lock_.Enter();
  decoding_.erase(id);
  if (bitmap) {
    if (replace) {
      bitmaps_[id] = bitmap;
    } else {
      bitmaps_.emplace(id, bitmap);
    }
  }
  ::WakeAllConditionVariable(&decodeEnded_);
  return bitmap;
}

void KxMiniUIPngPool::WaitForDecoding(UINT id) {
  // A decode always ends, so does this wait.
  while (id == 0 ? !decoding_.empty() : decoding_.count(id) != 0) {
    ::SleepConditionVariableCS(&decodeEnded_, lock_.Native(), INFINITE);
  }
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Get(UINT id) {
  if (id == 0) return nullptr;
  KxMiniUIAutoLock guard(lock_);
  WaitForDecoding(id);
  auto found = bitmaps_.find(id);
  if (found != bitmaps_.end()) return found->second;
  return DecodeAndStore(id, false);
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::Reload(UINT id) {
  if (id == 0) return nullptr;
  KxMiniUIAutoLock guard(lock_);
  WaitForDecoding(id);
  return DecodeAndStore(id, true);
}

bool KxMiniUIPngPool::IsKnown(UINT id) const {
  return bitmaps_.count(id) != 0 || decoding_.count(id) != 0 ||
         std::find(queued_.begin(), queued_.end(), id) != queued_.end();
}

void KxMiniUIPngPool::Prefetch(UINT id) {
  if (id == 0) return;
  KxMiniUIAutoLock guard(lock_);
  if (closing_ || IsKnown(id)) return;
  queued_.push_back(id);
  if (prefetcherRunning_) return;
  prefetcher_.Reset(reinterpret_cast<HANDLE>(
      ::_beginthreadex(nullptr, 0, &KxMiniUIPngPool::PrefetchProc, this, 0, nullptr)));
  prefetcherRunning_ = static_cast<bool>(prefetcher_);
  // Without the thread a picture is decoded when it is first asked for.
  if (!prefetcherRunning_) queued_.clear();
}

unsigned __stdcall KxMiniUIPngPool::PrefetchProc(void* pool) {
  static_cast<KxMiniUIPngPool*>(pool)->DecodeQueued();
  return 0;
}

void KxMiniUIPngPool::DecodeQueued() {
  KxMiniUIAutoLock guard(lock_);
  while (!closing_ && !queued_.empty()) {
    const UINT id = queued_.front();
    queued_.pop_front();
    if (bitmaps_.count(id) == 0 && decoding_.count(id) == 0) DecodeAndStore(id, false);
  }
  prefetcherRunning_ = false;
}

bool KxMiniUIPngPool::HeaderSize(UINT id, SIZE& size) {
  std::string bytes;
  return id != 0 && LoadBytes(id, bytes) && ReadPngHeaderSize(bytes, size);
}

bool KxMiniUIPngPool::LoadBytes(UINT id, std::string& buffer) {
  return loader_.LoadResource(id, buffer, L"png");
}

size_t KxMiniUIPngPool::Count() {
  KxMiniUIAutoLock guard(lock_);
  return bitmaps_.size();
}

std::shared_ptr<KxMiniUIBitmap> KxMiniUIPngPool::CreateBitmap() {
  KxMiniUIAutoLock guard(lock_);
  return factory_ ? factory_->CreateBitmap() : nullptr;
}

void KxMiniUIPngPool::SetRenderFactory(KxMiniUIRenderFactory* factory) {
  KxMiniUIAutoLock guard(lock_);
  factory_ = factory;
}
