#include "cli/Password.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "cli/Console.h"
#include "cli/Terminal.h"
#include "engine/ZipMstr.h"

namespace cli {

namespace {

// The first line of `path`, without its line end, read no further than a
// password can reach: /dev/zero or a large file without a line break is
// refused after a few hundred bytes, not read to its end. nullopt with
// *why (": ..." or empty) when there is none.
std::optional<std::string> FirstLine(const std::string& path, std::string* why)
{
    // Room for the longest password the component keeps and a CR LF after it.
    constexpr std::size_t Bound = engine::TRezEdidiv::MaxPasswordLength + 2;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        *why = std::string(": ") + std::strerror(errno);
        return std::nullopt;
    }
    std::string text;
    char buffer[Bound];
    std::size_t end = std::string::npos;
    while (end == std::string::npos && text.size() < Bound) {
        const ssize_t n = ::read(fd, buffer, Bound - text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            *why = std::string(": ") + std::strerror(errno);
        if (n <= 0)
            break;
        text.append(buffer, static_cast<std::size_t>(n));
        end = text.find('\n');
    }
    ::close(fd);
    if (!why->empty() || (text.empty() && end == std::string::npos))
        return std::nullopt;
    if (end == std::string::npos && text.size() >= Bound) {
        *why = ": its first line is longer than " + std::to_string(engine::TRezEdidiv::MaxPasswordLength) +
               " bytes";
        return std::nullopt;
    }
    text.resize(std::min(end, text.size()));
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    return text;
}

}  // namespace

std::optional<std::string> ObtainPassword(const std::string& passwordFile, bool confirm, const std::string& context)
{
    Console& console = Console::Get();
    if (!passwordFile.empty()) {
        std::string why;
        auto line = FirstLine(passwordFile, &why);
        if (!line)
            console.Error(passwordFile, "cannot read a password from it" + why);
        return line;
    }
    if (const char* env = std::getenv("FERNPACK_PASSWORD"))
        return std::string(env);
    if (console.BeforeStderr)
        console.BeforeStderr();
    auto first = ReadSecret("Password: ");
    if (!first) {
        console.Error(context, "a password is needed: give --password-file or set FERNPACK_PASSWORD");
        return std::nullopt;
    }
    if (confirm) {
        auto again = ReadSecret("Password again: ");
        if (!again || *again != *first) {
            console.Error(context, "the passwords differ");
            return std::nullopt;
        }
    }
    return first;
}

}  // namespace cli
