#include "cli/Terminal.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;
volatile std::sig_atomic_t resized = 0;
bool closedAtStart[3] = {false, false, false};

// The signals that end a program run by a user: Ctrl-C, kill's default and
// the terminal going away. Each ends the operation the same way.
constexpr int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnInterrupt(int)
{
    interrupted = 1;
    for (const int signal : StopSignals)
        std::signal(signal, SIG_DFL);
}

void OnResize(int) { resized = 1; }

// One line from the terminal, with echo as `echo` says.
std::optional<std::string> ReadFromTerminal(const std::string& prompt, bool echo)
{
    // Only a person at a terminal is asked; scripts never hang on a prompt.
    if (!IsTerminal(STDIN_FILENO))
        return std::nullopt;
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    if (::write(fd, prompt.data(), prompt.size()) < 0) {
        ::close(fd);
        return std::nullopt;
    }
    termios saved{};
    const bool quiet = !echo && ::tcgetattr(fd, &saved) == 0;
    if (quiet) {
        termios noEcho = saved;
        noEcho.c_lflag &= static_cast<tcflag_t>(~ECHO);
        noEcho.c_lflag |= ECHONL;
        ::tcsetattr(fd, TCSAFLUSH, &noEcho);
    }
    std::string line;
    char c = 0;
    bool ended = false;
    for (;;) {
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && errno == EINTR && !interrupted)
            continue;
        if (n != 1) {
            ended = line.empty();
            break;
        }
        if (c == '\n')
            break;
        line += c;
    }
    if (quiet)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    ::close(fd);
    if (ended)
        return std::nullopt;
    return line;
}

}  // namespace

void KeepStandardStreamsOpen()
{
    for (int fd = 0; fd < 3; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closedAtStart[fd] = true;
        // The lowest free descriptor is this one.
        ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    }
}

bool ClosedAtStart(int fd) { return fd >= 0 && fd < 3 && closedAtStart[fd]; }

bool IsTerminal(int fd) { return ::isatty(fd) == 1; }

int TerminalColumns(int fd)
{
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

void WatchWindowSize()
{
    struct sigaction action{};
    action.sa_handler = OnResize;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGWINCH, &action, nullptr);
}

bool WidthChanged()
{
    if (!resized)
        return false;
    resized = 0;
    return true;
}

std::optional<std::string> ReadSecret(const std::string& prompt) { return ReadFromTerminal(prompt, false); }

std::optional<std::string> AskLine(const std::string& prompt) { return ReadFromTerminal(prompt, true); }

void CatchInterrupt()
{
    for (const int signal : StopSignals)
        std::signal(signal, OnInterrupt);
}

bool Interrupted() { return interrupted != 0; }

const volatile std::sig_atomic_t* InterruptFlag() { return &interrupted; }

}  // namespace cli
