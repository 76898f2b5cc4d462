// Runs a call into foreign code (a loaded library) so that a C++ exception
// or a processor fault (SIGSEGV, SIGBUS, SIGFPE, SIGILL) raised on the
// calling thread while it runs comes back as a failed result instead of
// ending the process. After a fault the foreign code's own state may be
// damaged; the caller only learns that the call did not complete.
// Faults on other threads are not caught.
#pragma once

namespace platform {

enum class GuardOutcome { Completed, Exception, Fault };

// Calls `body(context)` under the guard.
GuardOutcome RunGuarded(void (*body)(void* context), void* context);

template <typename F>
GuardOutcome RunGuarded(F&& f)
{
    return RunGuarded([](void* c) { (*static_cast<F*>(c))(); }, &f);
}

}  // namespace platform
