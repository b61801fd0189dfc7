#include "base/FaultGuard.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

int ReadThrough(volatile int* pointer) { return *pointer; }

volatile int* g_nowhere = nullptr;

BOOL CALLBACK FaultingCodePageProc(LPWSTR) { return ReadThrough(g_nowhere); }

DWORD WINAPI FaultInOwnGuard(LPVOID result) {
  *static_cast<bool*>(result) = Kx::RunGuarded([] { ReadThrough(g_nowhere); });
  return 0;
}

TEST(FaultGuardTest, AccessViolationReadsAsFailure) {
  volatile int* nowhere = nullptr;
  EXPECT_FALSE(Kx::RunGuarded([&] { ReadThrough(nowhere); }));
  // The thread goes on working, and later guarded calls succeed.
  int value = 0;
  EXPECT_TRUE(Kx::RunGuarded([&] { value = 42; }));
  EXPECT_EQ(42, value);
}

TEST(FaultGuardTest, GuardedResultGivesFailureValueOnFault) {
  volatile int* nowhere = reinterpret_cast<int*>(16);
  EXPECT_EQ(-1, Kx::GuardedResult(-1, [&] { return ReadThrough(nowhere); }));
  EXPECT_EQ(7, Kx::GuardedResult(-1, [] { return 7; }));
}

TEST(FaultGuardTest, FaultInCallbackFromSystemCodeIsCaught) {
  // A fault raised below a system DLL frame, as in a faulting export.
  EXPECT_FALSE(Kx::RunGuarded([] { EnumSystemCodePagesW(FaultingCodePageProc, CP_INSTALLED); }));
}

TEST(FaultGuardTest, NestedGuardsReturnToTheInnermost) {
  volatile int* nowhere = nullptr;
  bool inner = true;
  const bool outer = Kx::RunGuarded([&] { inner = Kx::RunGuarded([&] { ReadThrough(nowhere); }); });
  EXPECT_TRUE(outer);
  EXPECT_FALSE(inner);
}

TEST(FaultGuardTest, NonFaultExceptionsPassThroughToTheirHandlers) {
  // OutputDebugString raises and handles its own exception internally.
  EXPECT_TRUE(Kx::RunGuarded([] { OutputDebugStringW(L"guarded"); }));
}

TEST(FaultGuardTest, EachThreadReturnsToItsOwnGuard) {
  bool threadResult = true;
  const bool mainResult = Kx::RunGuarded([&] {
    HANDLE thread = CreateThread(nullptr, 0, FaultInOwnGuard, &threadResult, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  });
  EXPECT_TRUE(mainResult);
  EXPECT_FALSE(threadResult);
}

}  // namespace
