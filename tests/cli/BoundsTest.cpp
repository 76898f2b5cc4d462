// fernpack-cli on input made to keep it busy, to fill the disk or to take the
// machine's memory: each case ends with a clear word, within bounds that the
// test itself sets (timeout, ulimit), leaves nothing in $TMPDIR and leaves an
// archive it could not change byte for byte as it was. The archives are
// built here, byte by byte.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

#include "CliRunner.h"
#include "ZipFixture.h"

namespace {

using fixture::ReadFile;

// One run of fernpack-cli among several started at once.
struct CliRun {
    std::string Arguments;  // pasted into the shell as they are
    CliResult Result;
};

// Runs every command at the same time (each ended by `timeout` after
// `seconds` at the latest), with $TMPDIR set to `tmp`, and waits for all.
void RunTogether(std::vector<CliRun>& runs, const fixture::TempDir& scratch, const std::string& tmp, int seconds = 60)
{
    std::string script;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string n = std::to_string(i);
        script += "(TMPDIR=" + ShellQuote(tmp) + " timeout -s KILL " + std::to_string(seconds) + " " +
                  ShellQuote(FERNPACK_CLI) + " " + runs[i].Arguments + " >" + ShellQuote(scratch / ("out" + n)) +
                  " 2>" + ShellQuote(scratch / ("err" + n)) + "; echo $? >" + ShellQuote(scratch / ("status" + n)) +
                  ") & ";
    }
    ASSERT_EQ(fixture::RunCommand(script + "wait"), 0);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const std::string n = std::to_string(i);
        runs[i].Result.Out = ReadFile(scratch / ("out" + n));
        runs[i].Result.Err = ReadFile(scratch / ("err" + n));
        runs[i].Result.Status = std::stoi(ReadFile(scratch / ("status" + n)));
    }
}

std::vector<std::string> Contents(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Bounds : public ::testing::Test {
protected:
    Bounds() { std::filesystem::create_directory(tmp); }

    fixture::TempDir dir, scratch;
    std::string tmp = dir / "tmp";
};

}  // namespace

TEST_F(Bounds, ALockHeldForTooLongIsWaitedForThenNamed)
{
    const std::string archive =
        dir.Write("held.zip", fixture::ZipBuilder().Add(fixture::Stored("x.txt", "x\n")).Finish().Bytes());
    dir.Write("y.txt", "y\n");
    const std::string before = ReadFile(archive);
    const std::string a = ShellQuote(archive);
    const std::string lockText = "another program holds a lock on it (waited 10 seconds)";

    // A lock like a writer's keeps every command out, the listing first.
    {
        const int fd = ::open(archive.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        std::vector<CliRun> runs = {{"list --tsv " + a}, {"extract -p " + a}, {"delete " + a + " x.txt"},
                                 {"add -j " + a + " " + ShellQuote(dir / "y.txt")}};
        RunTogether(runs, scratch, tmp);
        ::close(fd);
        for (const CliRun& run : runs) {
            SCOPED_TRACE(run.Arguments);
            EXPECT_EQ(run.Result.Status, 1);
            EXPECT_EQ(run.Result.Out, "");  // no "#count 0", no "0 of 0 files"
            EXPECT_EQ(run.Result.Err, "fernpack-cli: " + archive + ": Cannot open file " + archive + ": " + lockText +
                                          "\n");
        }
    }
    // A reader's lock lets the listing and other readers in; a change waits
    // for it as long and then says why.
    {
        const int fd = ::open(archive.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(fd, LOCK_SH), 0);
        std::vector<CliRun> runs = {{"extract -p " + a}, {"delete " + a + " x.txt"},
                                 {"add -j " + a + " " + ShellQuote(dir / "y.txt")}};
        RunTogether(runs, scratch, tmp);
        ::close(fd);
        EXPECT_EQ(runs[0].Result.Status, 0);
        EXPECT_EQ(runs[0].Result.Out, "x\n");
        const std::string libraryWords = "fernpack-cli: " + archive + ": Cannot open " + archive + ": " + lockText + "\n";
        EXPECT_EQ(runs[1].Result.Status, 1);
        EXPECT_EQ(runs[1].Result.Out, "0 members deleted\n");
        EXPECT_EQ(runs[1].Result.Err, libraryWords);
        EXPECT_EQ(runs[2].Result.Status, 1);
        EXPECT_EQ(runs[2].Result.Out, "0 files added, 1 failed\n");
        EXPECT_EQ(runs[2].Result.Err, libraryWords);
    }
    EXPECT_TRUE(ReadFile(archive) == before);
    EXPECT_EQ(Contents(dir.Path()), (std::vector<std::string>{"held.zip", "tmp", "y.txt"}));
    EXPECT_TRUE(Contents(tmp).empty());
}

TEST_F(Bounds, APasswordFileIsReadNoFurtherThanWhatAPasswordCanBe)
{
    dir.Write("x.txt", "x\n");
    dir.Write("pw", "secret\r\nsecond line\n");
    dir.Write("long", std::string(100000, 'p'));  // a large file without a line break
    const std::string archive = dir / "e.zip";
    ASSERT_EQ(RunCli("add -j -e --password-file pw e.zip x.txt", dir.Path()).Status, 0);
    const std::string before = ReadFile(archive);
    const std::string a = ShellQuote(archive);
    std::vector<CliRun> runs = {{"add -j -e --password-file /dev/zero " + a + " " + ShellQuote(dir / "long")},
                                {"test --password-file /dev/zero " + a},
                                {"extract -p --password-file " + ShellQuote(dir / "long") + " " + a},
                                {"extract -p --password-file " + ShellQuote(dir / "pw") + " " + a}};
    RunTogether(runs, scratch, tmp);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(runs[i].Arguments);
        EXPECT_EQ(runs[i].Result.Status, 1);
        EXPECT_EQ(runs[i].Result.Out, "");
        const std::string file = i < 2 ? "/dev/zero" : dir / "long";
        EXPECT_EQ(runs[i].Result.Err,
                  "fernpack-cli: " + file + ": cannot read a password from it: its first line is longer than 255 bytes\n");
    }
    // The first line, without its CR LF, is the password.
    EXPECT_EQ(runs[3].Result.Status, 0) << runs[3].Result.Err;
    EXPECT_EQ(runs[3].Result.Out, "x\n");
    EXPECT_TRUE(ReadFile(archive) == before);
    EXPECT_TRUE(Contents(tmp).empty());
}
