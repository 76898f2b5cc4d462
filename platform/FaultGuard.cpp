#include "FaultGuard.h"

#include <csetjmp>
#include <csignal>
#include <cstring>

namespace platform {

namespace {

constexpr int GuardedSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int SignalCount = sizeof GuardedSignals / sizeof GuardedSignals[0];

thread_local sigjmp_buf* activeGuard = nullptr;

void OnFault(int signal)
{
    if (activeGuard != nullptr)
        siglongjmp(*activeGuard, signal);
    // Not ours: let the fault take its usual course.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

GuardOutcome RunGuarded(void (*body)(void* context), void* context)
{
    struct sigaction ours;
    std::memset(&ours, 0, sizeof ours);
    ours.sa_handler = OnFault;
    ours.sa_flags = SA_NODEFER;
    sigemptyset(&ours.sa_mask);
    struct sigaction previous[SignalCount];
    for (int i = 0; i < SignalCount; ++i)
        sigaction(GuardedSignals[i], &ours, &previous[i]);

    sigjmp_buf jump;
    sigjmp_buf* outer = activeGuard;
    GuardOutcome outcome = GuardOutcome::Completed;
    if (sigsetjmp(jump, 1) == 0) {
        activeGuard = &jump;
        try {
            body(context);
        } catch (...) {
            outcome = GuardOutcome::Exception;
        }
    } else {
        outcome = GuardOutcome::Fault;
    }
    activeGuard = outer;
    for (int i = 0; i < SignalCount; ++i)
        sigaction(GuardedSignals[i], &previous[i], nullptr);
    return outcome;
}

}  // namespace platform
