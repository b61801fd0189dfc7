#include "app/SingleInstanceLock.h"

const wchar_t SingleInstanceLock::kMutexName[] = L"{10EC7984-CFB4-4FEB-A609-5DE327956979}";

SingleInstanceLock::SingleInstanceLock() : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)) {
  alreadyExisted_ = mutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}
