#include "base/OleInit.h"

#include <ole2.h>

#include "base/FaultGuard.h"
#include "base/SystemLibrary.h"

namespace Kx {
namespace {

using OleInitializeFn = decltype(&::OleInitialize);
using OleUninitializeFn = decltype(&::OleUninitialize);

// OLE is initialised per thread, so the result that pairs with the
// uninitialise call is kept per thread too.
thread_local HRESULT t_oleResult = E_UNEXPECTED;

}  // namespace

HRESULT OleInit() {
  HMODULE ole32 = LoadSystemLibrary(L"Ole32.dll");
  if (!ole32) return t_oleResult = E_UNEXPECTED;
  const auto initialize = ExportOf<OleInitializeFn>(ole32, "OleInitialize");
  if (!initialize) return t_oleResult = E_NOTIMPL;
  t_oleResult = GuardedResult(E_UNEXPECTED, [&] { return initialize(nullptr); });
  return t_oleResult;
}

void OleUninit() {
  if (t_oleResult != S_OK && t_oleResult != S_FALSE) return;
  t_oleResult = E_UNEXPECTED;
  RunSystemExport<OleUninitializeFn>(L"Ole32.dll", "OleUninitialize");
}

}  // namespace Kx
