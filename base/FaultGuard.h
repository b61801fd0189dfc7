// Runs a call into code we do not control (a run-time bound system DLL, the
// libcurl DLL) so that a hardware fault inside it reads as that call failing
// instead of ending the installer. mingw's gcc has no __try/__except, so the
// guard is a vectored exception handler that jumps back to the guarded frame.
#pragma once

#include <utility>

namespace Kx {

// Calls `call(context)` and answers true, or false when an access violation,
// illegal or privileged instruction, integer divide by zero, misaligned data,
// array-bounds or in-page error was raised on this thread inside it. Other
// exceptions (debug output, C++ exceptions, stack overflow) are left to their
// own handlers. Guards nest. Objects with destructors inside the faulting call
// are abandoned, so guarded lambdas should only call out and store results.
bool RunGuarded(void (*call)(void*), void* context);

template <typename Fn>
bool RunGuarded(Fn&& fn) {
  return RunGuarded([](void* context) { (*static_cast<std::remove_reference_t<Fn>*>(context))(); },
                    const_cast<void*>(static_cast<const void*>(&fn)));
}

// The value `fn` returns, or `failure` when it faulted.
template <typename R, typename Fn>
R GuardedResult(R failure, Fn&& fn) {
  R result = failure;
  if (!RunGuarded([&] { result = fn(); })) return failure;
  return result;
}

}  // namespace Kx
