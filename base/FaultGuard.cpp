#include "base/FaultGuard.h"

#include <windows.h>

namespace Kx {
namespace {

struct GuardFrame {
  void* jump[5];  // __builtin_setjmp buffer
  GuardFrame* outer;
#if defined(__i386__)
  // x86 keeps a chain of exception registrations on the stack (fs:[0]);
  // records the callee pushed die with its frames and must be unhooked.
  void* exceptionList;
#endif
};

thread_local GuardFrame* t_innermost = nullptr;

#if defined(__i386__)
// fs:[0] is the head of the thread's exception registration chain.
void* ExceptionListHead() {
  void* head;
  asm volatile("movl %%fs:0, %0" : "=r"(head));
  return head;
}

void SetExceptionListHead(void* head) { asm volatile("movl %0, %%fs:0" : : "r"(head) : "memory"); }
#endif

bool IsHardwareFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_IN_PAGE_ERROR:
      return true;
    default:
      return false;
  }
}

LONG CALLBACK JumpBackOnFault(EXCEPTION_POINTERS* info) {
  GuardFrame* frame = t_innermost;
  if (!frame || !IsHardwareFault(info->ExceptionRecord->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  __builtin_longjmp(frame->jump, 1);
}

void InstallHandlerOnce() {
  static const PVOID handler = AddVectoredExceptionHandler(1, JumpBackOnFault);
  (void)handler;
}

}  // namespace

bool RunGuarded(void (*call)(void*), void* context) {
  InstallHandlerOnce();
  GuardFrame frame;
  frame.outer = t_innermost;
#if defined(__i386__)
  frame.exceptionList = ExceptionListHead();
#endif
  t_innermost = &frame;
  if (__builtin_setjmp(frame.jump) == 0) {
    call(context);
    t_innermost = frame.outer;
    return true;
  }
#if defined(__i386__)
  SetExceptionListHead(frame.exceptionList);
#endif
  t_innermost = frame.outer;
  return false;
}

}  // namespace Kx
