#include "miniui/core/KxMiniUICreationList.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "miniui/core/KxMiniUILock.h"

namespace {

struct PendingList {
  KxMiniUICriticalSection lock;
  std::vector<std::pair<DWORD, void*>> entries;
};

PendingList& Pending() {
  static PendingList list;
  return list;
}

}  // namespace

void KxMiniUICreationList::Push(void* object) {
  PendingList& list = Pending();
  KxMiniUIAutoLock lock(list.lock);
  list.entries.emplace_back(::GetCurrentThreadId(), object);
}

void* KxMiniUICreationList::Take() {
  PendingList& list = Pending();
  KxMiniUIAutoLock lock(list.lock);
  const DWORD thread = ::GetCurrentThreadId();
  for (auto entry = list.entries.rbegin(); entry != list.entries.rend(); ++entry) {
    if (entry->first != thread) continue;
    void* object = entry->second;
    list.entries.erase(std::next(entry).base());
    return object;
  }
  return nullptr;
}

void KxMiniUICreationList::Cancel(void* object) {
  PendingList& list = Pending();
  KxMiniUIAutoLock lock(list.lock);
  const DWORD thread = ::GetCurrentThreadId();
  list.entries.erase(std::remove_if(list.entries.begin(), list.entries.end(),
                                    [&](const std::pair<DWORD, void*>& e) {
                                      return e.first == thread && e.second == object;
                                    }),
                     list.entries.end());
}
