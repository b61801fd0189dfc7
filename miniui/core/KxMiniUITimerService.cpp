#include "miniui/core/KxMiniUITimerService.h"

#include <algorithm>

namespace {

// A firing this close before its due time counts as due, so a tick that
// lands just short of it does not delay the timer by a whole tick.
constexpr int64_t kEarlyUs = 2000;

}  // namespace

KxMiniUITimerService& KxMiniUITimerService::Self() {
  static KxMiniUITimerService service;
  return service;
}

int64_t KxMiniUITimerService::NowUs() {
  static const int64_t frequency = [] {
    LARGE_INTEGER value{};
    ::QueryPerformanceFrequency(&value);
    return value.QuadPart > 0 ? value.QuadPart : 1;
  }();
  LARGE_INTEGER counter{};
  ::QueryPerformanceCounter(&counter);
  return counter.QuadPart / frequency * 1000000 + counter.QuadPart % frequency * 1000000 / frequency;
}

bool KxMiniUITimerService::Start() {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  if (self.thread_) return true;
  self.stop_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!self.stop_) return false;
  self.thread_.Reset(::CreateThread(nullptr, 0, &KxMiniUITimerService::ThreadProc, &self, 0, nullptr));
  return static_cast<bool>(self.thread_);
}

KxMiniUITimerService::~KxMiniUITimerService() { StopThread(); }

void KxMiniUITimerService::Stop() { Self().StopThread(); }

void KxMiniUITimerService::StopThread() {
  Kx::ScopedHandle thread;
  {
    KxMiniUIAutoLock lock(lock_);
    if (!thread_) return;
    ::SetEvent(stop_.Get());
    thread = std::move(thread_);
  }
  // Outside the lock: the thread takes it at every tick.
  ::WaitForSingleObject(thread.Get(), INFINITE);
  KxMiniUIAutoLock lock(lock_);
  stop_.Reset();
  entries_.clear();
}

bool KxMiniUITimerService::IsRunning() {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  return static_cast<bool>(self.thread_);
}

bool KxMiniUITimerService::Register(HWND window, UINT_PTR id, UINT intervalMs) {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  if (!self.thread_ || window == nullptr) return false;
  const int64_t interval = static_cast<int64_t>(std::max<UINT>(intervalMs, 1)) * 1000;
  const Entry entry{window, id, interval, NowUs()};
  auto found = std::find_if(self.entries_.begin(), self.entries_.end(),
                            [&](const Entry& e) { return e.window == window && e.id == id; });
  if (found != self.entries_.end()) {
    *found = entry;
  } else {
    self.entries_.push_back(entry);
  }
  return true;
}

void KxMiniUITimerService::Unregister(HWND window, UINT_PTR id) {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  auto& entries = self.entries_;
  entries.erase(std::remove_if(entries.begin(), entries.end(),
                               [&](const Entry& e) { return e.window == window && e.id == id; }),
                entries.end());
}

void KxMiniUITimerService::UnregisterWindow(HWND window) {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  auto& entries = self.entries_;
  entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.window == window; }),
                entries.end());
}

bool KxMiniUITimerService::IsRegistered(HWND window, UINT_PTR id) {
  KxMiniUITimerService& self = Self();
  KxMiniUIAutoLock lock(self.lock_);
  return std::any_of(self.entries_.begin(), self.entries_.end(),
                     [&](const Entry& e) { return e.window == window && e.id == id; });
}

DWORD WINAPI KxMiniUITimerService::ThreadProc(void* parameter) {
  static_cast<KxMiniUITimerService*>(parameter)->Run();
  return 0;
}

void KxMiniUITimerService::Run() {
  Kx::ScopedHandle timer(::CreateWaitableTimerW(nullptr, FALSE, nullptr));
  LARGE_INTEGER due{};
  due.QuadPart = -static_cast<LONGLONG>(kTickMs) * 10000;  // relative, in 100 ns units
  if (!timer || !::SetWaitableTimer(timer.Get(), &due, kTickMs, nullptr, nullptr, FALSE)) return;
  const HANDLE handles[] = {stop_.Get(), timer.Get()};
  while (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) Tick();
  ::CancelWaitableTimer(timer.Get());
}

void KxMiniUITimerService::Tick() {
  KxMiniUIAutoLock lock(lock_);
  const int64_t now = NowUs();
  for (Entry& entry : entries_) {
    if (now < entry.lastUs + entry.intervalUs - kEarlyUs) continue;
    // Far behind (the thread was starved): start counting again from now
    // rather than firing a burst to catch up.
    entry.lastUs = now - entry.lastUs > 3 * entry.intervalUs ? now : entry.lastUs + entry.intervalUs;
    if (::IsWindow(entry.window)) ::PostMessageW(entry.window, kTimerMessage, entry.id, 0);
  }
}
