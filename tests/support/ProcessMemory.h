// This process's memory figures for the resource reports.
#pragma once

#include <windows.h>
#include <psapi.h>

namespace zelk::test {

inline double MiB(SIZE_T bytes) { return static_cast<double>(bytes) / 1048576.0; }

inline PROCESS_MEMORY_COUNTERS MemoryNow() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters;
}

}  // namespace zelk::test
