// OLE start and end for the UI thread, with Ole32 bound at run time.
#pragma once

#include <windows.h>

namespace Kx {

// OleInitialize(NULL); the result is kept for OleUninit and returned
// (E_NOTIMPL when Ole32 lacks the function, E_UNEXPECTED without Ole32).
HRESULT OleInit();

// OleUninitialize, only when this thread's OleInit succeeded (S_OK or S_FALSE).
void OleUninit();

}  // namespace Kx
