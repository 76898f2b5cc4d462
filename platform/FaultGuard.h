// Runs a call into foreign code (a loaded library) so that a C++ exception
// or a processor fault (SIGSEGV, SIGBUS, SIGFPE, SIGILL) raised on the
// calling thread while it runs comes back as a failed result instead of
// ending the process. After a fault the foreign code's own state is
// unknown (locks it held stay held, its threads may still run); the caller
// learns only that the call did not complete and must not call that code
// again.
//
// The guard covers the foreign code's own frames only. While that code
// calls back into ours, a GuardSuspension in the callback lifts it, so a
// fault in our own code takes its usual course and is never blamed on the
// library. Faults on other threads are not caught either.
//
// The signal handlers are installed once, at the first guarded call, and
// stay; a fault outside any guard goes on to whatever handler was there
// before (the default one, or a sanitizer's).
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

// Lifts the calling thread's guard for its lifetime (our code called back
// from inside a guarded call) and puts it back afterwards.
class GuardSuspension {
public:
    GuardSuspension();
    ~GuardSuspension();
    GuardSuspension(const GuardSuspension&) = delete;
    GuardSuspension& operator=(const GuardSuspension&) = delete;

private:
    void* saved_;
};

}  // namespace platform
