#include "FaultGuard.h"

#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>

namespace platform {

namespace {

constexpr int GuardedSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int SignalCount = sizeof GuardedSignals / sizeof GuardedSignals[0];

thread_local sigjmp_buf* activeGuard = nullptr;
struct sigaction previous[SignalCount];

void PassOn(int signal, siginfo_t* info, void* context)
{
    for (int i = 0; i < SignalCount; ++i) {
        if (GuardedSignals[i] != signal)
            continue;
        const struct sigaction& before = previous[i];
        if (before.sa_flags & SA_SIGINFO) {
            if (before.sa_sigaction != nullptr) {
                before.sa_sigaction(signal, info, context);
                return;
            }
        } else if (before.sa_handler != SIG_DFL && before.sa_handler != SIG_IGN && before.sa_handler != nullptr) {
            before.sa_handler(signal);
            return;
        }
    }
    // The usual course: the default action ends the process.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void OnFault(int signal, siginfo_t* info, void* context)
{
    if (activeGuard != nullptr)
        siglongjmp(*activeGuard, signal);
    PassOn(signal, info, context);
}

void InstallOnce()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction ours;
        std::memset(&ours, 0, sizeof ours);
        ours.sa_sigaction = OnFault;
        ours.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&ours.sa_mask);
        for (int i = 0; i < SignalCount; ++i)
            sigaction(GuardedSignals[i], &ours, &previous[i]);
    });
}

}  // namespace

GuardOutcome RunGuarded(void (*body)(void* context), void* context)
{
    InstallOnce();
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
    return outcome;
}

GuardSuspension::GuardSuspension() : saved_(activeGuard) { activeGuard = nullptr; }

GuardSuspension::~GuardSuspension() { activeGuard = static_cast<sigjmp_buf*>(saved_); }

}  // namespace platform
