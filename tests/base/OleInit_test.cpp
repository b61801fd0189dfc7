#include "base/OleInit.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

namespace {

// Each case runs on a thread of its own, since OLE state is per thread.
template <typename Fn>
void OnFreshThread(Fn fn) {
  struct Call {
    static DWORD CALLBACK Run(void* context) {
      (*static_cast<Fn*>(context))();
      return 0;
    }
  };
  HANDLE thread = CreateThread(nullptr, 0, Call::Run, &fn, 0, nullptr);
  ASSERT_NE(nullptr, thread);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}

TEST(OleInitTest, UninitialisesWhatItInitialised) {
  HRESULT first = E_FAIL, afterUninit = E_FAIL;
  OnFreshThread([&] {
    first = Kx::OleInit();
    Kx::OleUninit();
    // The thread is back to no apartment: a new one can be of any kind.
    afterUninit = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterUninit)) CoUninitialize();
  });
  EXPECT_EQ(S_OK, first);
  EXPECT_EQ(S_OK, afterUninit);
}

TEST(OleInitTest, LeavesAnotherApartmentAlone) {
  HRESULT ole = S_OK, stillMultithreaded = E_FAIL;
  OnFreshThread([&] {
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    ole = Kx::OleInit();  // OLE needs a single-threaded apartment
    Kx::OleUninit();      // must not end the caller's apartment
    stillMultithreaded = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(stillMultithreaded)) CoUninitialize();
    CoUninitialize();
  });
  EXPECT_EQ(RPC_E_CHANGED_MODE, ole);
  EXPECT_EQ(S_FALSE, stillMultithreaded);
}

}  // namespace
