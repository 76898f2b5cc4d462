// fernpack-cli on a terminal, through a pseudo-terminal of a chosen width:
// the one question about existing files, and the progress line (its width,
// its rate of redraws, its clearing, and names that hold control
// characters).
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRunner.h"
#include "ZipFixture.h"
#include "cli/Progress.h"

namespace {

struct PtyResult {
    int Status = -1;
    std::string Output;  // stdout and stderr as the terminal got them
    double Seconds = 0;
};

// Runs fernpack-cli with `args` in `workDir` on a new pseudo-terminal of
// `columns` columns; `input` is typed ahead.
PtyResult RunOnTerminal(std::vector<std::string> args, const std::string& workDir, int columns,
                        const std::string& input = "")
{
    PtyResult result;
    winsize size{};
    size.ws_row = 24;
    size.ws_col = static_cast<unsigned short>(columns);
    int master = -1;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::forkpty(&master, nullptr, nullptr, &size);
    if (child < 0)
        return result;
    if (child == 0) {
        if (::chdir(workDir.c_str()) != 0)
            ::_exit(126);
        args.insert(args.begin(), FERNPACK_CLI);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(FERNPACK_CLI, argv.data());
        ::_exit(127);
    }
    if (!input.empty() && ::write(master, input.data(), input.size()) < 0)
        ADD_FAILURE() << "cannot type ahead";
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;  // EIO once the program has closed the terminal
        result.Output.append(buffer, static_cast<std::size_t>(n));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(master);
    result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

TEST(Terminal, ExistingFilesAreAskedAboutOnce)
{
    fixture::TempDir dir;
    fixture::ZipBuilder zip;
    zip.Add(fixture::Stored("d/a.txt", "new a")).Add(fixture::Stored("d/b.txt", "new b")).Finish();
    dir.Write("x.zip", zip.Bytes());
    dir.Write("out/d/a.txt", "old a");
    dir.Write("out/d/b.txt", "old b");

    PtyResult keep = RunOnTerminal({"extract", "x.zip", "-d", "out"}, dir.Path(), 80, "l\nn\n");
    EXPECT_EQ(keep.Status, 0) << keep.Output;
    const std::string question = "2 files already exist in out: overwrite them? [y]es, [n]o, [l]ist";
    EXPECT_NE(keep.Output.find(question), std::string::npos) << keep.Output;
    EXPECT_NE(keep.Output.find(question, keep.Output.find(question) + 1), std::string::npos);  // asked again after l
    EXPECT_NE(keep.Output.find("/out/d/a.txt"), std::string::npos) << keep.Output;
    EXPECT_NE(keep.Output.find("0 files extracted, 2 skipped (already exist)\r\n"), std::string::npos) << keep.Output;
    EXPECT_EQ(fixture::ReadFile(dir / "out/d/a.txt"), "old a");

    PtyResult replace = RunOnTerminal({"extract", "x.zip", "-d", "out"}, dir.Path(), 80, "y\n");
    EXPECT_EQ(replace.Status, 0) << replace.Output;
    EXPECT_NE(replace.Output.find("2 files extracted\r\n"), std::string::npos) << replace.Output;
    EXPECT_EQ(fixture::ReadFile(dir / "out/d/b.txt"), "new b");

    // -n and -o ask nothing.
    PtyResult never = RunOnTerminal({"extract", "-n", "x.zip", "-d", "out"}, dir.Path(), 80);
    EXPECT_EQ(never.Output.find("overwrite them?"), std::string::npos) << never.Output;
}

TEST(Terminal, ProgressFitsTheWidthRedrawsAtMostTenTimesASecondAndIsCleared)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    fixture::TempDir dir;
    // A long name with an escape sequence in it, and enough data to take a
    // while.
    const std::string name = std::string(90, 'l') + "\x1b[31mred" + std::string(60, 'g') + ".bin";
    ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(dir.Path()) + " && head -c 12000000 /dev/urandom > " +
                                  ShellQuote(name) + " && seq 1 300000 > numbers.txt"),
              0);
    for (int columns : {80, 200}) {
        const std::string archive = "p" + std::to_string(columns) + ".zip";
        PtyResult r = RunOnTerminal({"add", "-l", "1", archive, name, "numbers.txt"}, dir.Path(), columns);
        ASSERT_EQ(r.Status, 0) << r.Output;
        EXPECT_EQ(r.Output.find("\x1b[31m"), std::string::npos) << "the name drove the terminal";
        int draws = 0;
        std::size_t pos = 0;
        while ((pos = r.Output.find('\r', pos)) != std::string::npos) {
            const std::size_t end = r.Output.find("\x1b[K", pos);
            const std::size_t next = r.Output.find('\r', pos + 1);
            if (end != std::string::npos && (next == std::string::npos || end < next) && end > pos + 1) {
                const std::string line = r.Output.substr(pos + 1, end - pos - 1);
                ++draws;
                EXPECT_LE(cli::DisplayWidth(line), columns - 1) << line;
                EXPECT_NE(line.find(" files  "), std::string::npos) << line;
                if (columns == 200 && line.rfind("numbers", 0) != 0) {
                    EXPECT_NE(line.find("[31mred"), std::string::npos) << line;
                }
            }
            ++pos;
        }
        EXPECT_GE(draws, 1) << r.Output;
        // At most ten a second, plus the few a new file or the end may force;
        // the fault this guards against was hundreds.
        EXPECT_LE(draws, 10 * r.Seconds + 3) << draws << " draws in " << r.Seconds << " s";
        // Cleared at the end: the summary stands alone on its line.
        const std::size_t cleared = r.Output.rfind("\r\x1b[K");
        ASSERT_NE(cleared, std::string::npos);
        EXPECT_EQ(r.Output.substr(cleared + 4).rfind("2 files added (", 0), 0u) << r.Output.substr(cleared);
    }
}
