// Hashing of a whole file through the Init / Update / Final steps of a
// file-hash object, with an optional progress listener and an abort flag.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

namespace Kx {

// Told about one HashFile run, on the thread that runs it.
class IFileHashListener {
 public:
  // The file could not be opened (system message text) or was empty.
  virtual void OnHashFailed(const std::wstring& message) = 0;
  // Fraction of the file's size hashed so far, 0 to 1.
  virtual void OnHashProgress(double fraction) = 0;
  // Every byte that could be read went through the digest; false when aborted.
  virtual void OnHashCompleted(bool success) = 0;

 protected:
  ~IFileHashListener() = default;
};

class KxFileHash {
 public:
  KxFileHash() = default;
  KxFileHash(const KxFileHash&) = delete;
  KxFileHash& operator=(const KxFileHash&) = delete;

  virtual void Init() = 0;
  virtual void Update(const void* data, size_t size) = 0;
  virtual void Final() = 0;
  virtual ~KxFileHash() = default;

  // Hashes every byte of the file at `path`. False when the file cannot be
  // opened, is empty, or the run was aborted. A read error part-way ends the
  // digest early but still answers true: callers compare the digest with an
  // expected value, so the short read shows up as a mismatch.
  bool HashFile(const std::wstring& path);

  // Not owned; null for none.
  void SetListener(IFileHashListener* listener) { listener_ = listener; }
  // Ends the running HashFile after its current block (any thread, or the
  // listener itself). Each HashFile starts with the flag cleared.
  void Abort() { aborted_.store(true); }

 private:
  static constexpr size_t kBlockSize = 65536;

  bool HashOpenFile(void* file, unsigned long long size);

  IFileHashListener* listener_ = nullptr;
  std::atomic<bool> aborted_{false};
};

}  // namespace Kx
