#include "cli/Terminal.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {
volatile std::sig_atomic_t interrupted = 0;

void OnInterrupt(int)
{
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}
}  // namespace

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

std::optional<std::string> ReadSecret(const std::string& prompt)
{
    // Only a person at a terminal is asked; scripts never hang on a prompt.
    if (::isatty(STDIN_FILENO) != 1)
        return std::nullopt;
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    ::write(fd, prompt.data(), prompt.size());
    termios saved{};
    const bool haveTerm = ::tcgetattr(fd, &saved) == 0;
    if (haveTerm) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        ::tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    std::string line;
    char c;
    while (::read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    if (haveTerm)
        ::tcsetattr(fd, TCSAFLUSH, &saved);
    ::close(fd);
    return line;
}

void CatchInterrupt() { std::signal(SIGINT, OnInterrupt); }

bool Interrupted() { return interrupted != 0; }

}  // namespace cli
