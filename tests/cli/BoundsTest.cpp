// fernpack-cli on input made to keep it busy, to fill the disk or to take the
// machine's memory: each case ends with a clear word, within bounds that the
// test itself sets (timeout, ulimit), leaves nothing in $TMPDIR and leaves an
// archive it could not change byte for byte as it was. The archives are
// built here, byte by byte.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRunner.h"
#include "ZipFixture.h"

namespace {

using fixture::ReadFile;

// One run of fernpack-cli among several started at once.
struct CliRun {
    CliRun(std::string arguments) : Arguments(std::move(arguments)) {}
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

namespace {

// An archive of three members of 1 GiB of zeros each, packed with BZip2
// into about 800 bytes apiece (built by Python's bz2 through zipbytes.py).
std::string ThreeGiBInAFewKiB(const fixture::TempDir& dir)
{
    const std::string path = dir / "bz3.zip";
    const std::string script =
        "import bz2, sys, zlib\n"
        "sys.path.insert(0, sys.argv[1])\n"
        "import zipbytes as zb\n"
        "GiB = 1 << 30\n"
        "chunk = bytes(1 << 24)\n"
        "c = bz2.BZ2Compressor(9)\n"
        "packed, crc = b'', 0\n"
        "for _ in range(GiB // len(chunk)):\n"
        "    packed += c.compress(chunk)\n"
        "    crc = zlib.crc32(chunk, crc)\n"
        "packed += c.flush()\n"
        "body, directory = b'', b''\n"
        "for i in range(3):\n"
        "    name = b'zeros%d.bin' % i\n"
        "    directory += zb.central_header(name, crc, len(packed), GiB, len(body), method=12)\n"
        "    body += zb.local_header(name, crc, len(packed), GiB, method=12) + packed\n"
        "open(sys.argv[2], 'wb').write(body + directory + zb.end_record(3, len(directory), len(body)))\n";
    const std::string file = dir.Write("make_bz3.py", script);
    EXPECT_EQ(fixture::RunCommand("python3 " + ShellQuote(file) + " " + ShellQuote(ZIPBYTES_DIR) + " " +
                                  ShellQuote(path)),
              0);
    return path;
}

}  // namespace

TEST_F(Bounds, MembersGoToStdoutAsTheyDecodeAndAClosedPipeEndsQuietly)
{
    // 3 GiB behind a pipe that takes five bytes: nothing goes to $TMPDIR,
    // the run ends as soon as the reader does, without a word.
    const std::string archive = ThreeGiBInAFewKiB(dir);
    const std::string command = "TMPDIR=" + ShellQuote(tmp) + " timeout -s KILL 120 " + ShellQuote(FERNPACK_CLI) +
                                " extract -p " + ShellQuote(archive) + " 2>" + ShellQuote(scratch / "err") +
                                " | head -c5 | od -An -tx1; echo ${PIPESTATUS[0]}";
    std::string out;
    ASSERT_EQ(fixture::RunCommand("bash -c " + ShellQuote(command), &out), 0);
    EXPECT_EQ(out, " 00 00 00 00 00\n0\n");
    EXPECT_EQ(ReadFile(scratch / "err"), "");
    EXPECT_TRUE(Contents(tmp).empty());
}

TEST_F(Bounds, MembersOfOneNameAllComeOutInArchiveOrder)
{
    fixture::ZipBuilder twice;
    twice.Add(fixture::Stored("a.txt", "first\n")).Add(fixture::Stored("b.txt", "b\n"));
    twice.Add(fixture::Stored("a.txt", "second\n"));
    const std::string archive = dir.Write("twice.zip", twice.Finish().Bytes());
    std::vector<CliRun> runs = {{"extract -p " + ShellQuote(archive) + " a.txt"}, {"extract -p " + ShellQuote(archive)}};
    RunTogether(runs, scratch, tmp);
    EXPECT_EQ(runs[0].Result.Status, 0) << runs[0].Result.Err;
    EXPECT_EQ(runs[0].Result.Out, "first\nsecond\n");
    EXPECT_EQ(runs[1].Result.Out, "first\nb\nsecond\n");
    EXPECT_TRUE(Contents(tmp).empty());
}

TEST_F(Bounds, StandardInputGoesStraightIntoTheArchiveAndAReadErrorStoresNothing)
{
    const std::string archive =
        dir.Write("s.zip", fixture::ZipBuilder().Add(fixture::Stored("x.txt", "x\n")).Finish().Bytes());
    const std::string before = ReadFile(archive);
    const std::string a = ShellQuote(archive);
    // Closed, or a folder: nothing stored, and the add fails.
    std::vector<CliRun> runs = {{"add " + a + " - <&-"}, {"add " + a + " - <" + ShellQuote(dir.Path())}};
    RunTogether(runs, scratch, tmp);
    EXPECT_EQ(runs[0].Result.Err, "fernpack-cli: " + archive + ": cannot read standard input: it is closed\n");
    EXPECT_EQ(runs[1].Result.Err, "fernpack-cli: " + archive + ": Skipped standard input: Is a directory\n");
    for (const CliRun& run : runs) {
        EXPECT_EQ(run.Result.Status, 1);
        EXPECT_EQ(run.Result.Out, "0 files added, 1 failed\n");
    }
    EXPECT_TRUE(ReadFile(archive) == before);

    // 20 MB through a pipe, and nothing of it anywhere but in the archive.
    std::string out;
    ASSERT_EQ(fixture::RunCommand("head -c 20000000 /dev/zero | TMPDIR=" + ShellQuote(tmp) + " timeout -s KILL 120 " +
                                      ShellQuote(FERNPACK_CLI) + " add " + a + " - --name zeros.bin",
                                  &out),
              0);
    EXPECT_EQ(out.rfind("1 file added (19 MiB in, ", 0), 0u) << out;
    EXPECT_EQ(RunCli("test " + a).Out, "OK: 2 files\n");
    EXPECT_EQ(Contents(dir.Path()), (std::vector<std::string>{"s.zip", "tmp"}));
    EXPECT_TRUE(Contents(tmp).empty());
}

TEST_F(Bounds, SigtermSighupAndSigintEndAnAddOfEndlessInputAsItWas)
{
    const std::string archive =
        dir.Write("s.zip", fixture::ZipBuilder().Add(fixture::Stored("x.txt", "x\n")).Finish().Bytes());
    const std::string before = ReadFile(archive);
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string password = scratch.Write("pw", "secret\n");
    struct Case {
        int signal;
        const char* input;  // endless data, or none ever (a FIFO whose writer stays silent)
    };
    for (const Case& c : {Case{SIGTERM, "/dev/zero"}, Case{SIGHUP, "/dev/zero"}, Case{SIGINT, "/dev/zero"},
                          Case{SIGTERM, "fifo"}, Case{SIGHUP, "fifo"}}) {
        SCOPED_TRACE(std::to_string(c.signal) + " " + c.input);
        const std::string input = std::string(c.input) == "fifo" ? fifo : c.input;
        // The FIFO's writer end, held open and silent.
        const int writer = input == fifo ? ::open(fifo.c_str(), O_RDWR) : -1;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::setenv("TMPDIR", tmp.c_str(), 1);
            std::freopen(input.c_str(), "r", stdin);
            std::freopen((scratch / "out").c_str(), "w", stdout);
            std::freopen((scratch / "err").c_str(), "w", stderr);
            ::alarm(120);  // the bound: no test waits for ever
            // Encrypted: no plaintext may reach any file, not even for a moment.
            ::execl(FERNPACK_CLI, FERNPACK_CLI, "add", "-e", "--password-file", password.c_str(), archive.c_str(), "-",
                    "--name", "secret.txt", nullptr);
            ::_exit(127);
        }
        ASSERT_TRUE(WaitUntilCatching(child, c.signal));
        ::usleep(300000);  // well into the add
        ::kill(child, c.signal);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (writer >= 0)
            ::close(writer);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 1);
        EXPECT_EQ(ReadFile(scratch / "out"), "0 files added\n");
        EXPECT_NE(ReadFile(scratch / "err").find("interrupted; the archive was left as it was"), std::string::npos)
            << ReadFile(scratch / "err");
        EXPECT_TRUE(ReadFile(archive) == before);
        EXPECT_EQ(Contents(dir.Path()), (std::vector<std::string>{"fifo", "s.zip", "tmp"}));
        EXPECT_TRUE(Contents(tmp).empty());
    }
}

TEST_F(Bounds, ClaimedSizesNoFileCanHoldEndAtOnce)
{
    // A central record whose Zip64 field claims 2^64 - 1 bytes, packed and
    // unpacked, for 12 bytes of data (231 bytes in all), plain or as
    // written to a stream.
    for (const bool streamed : {false, true}) {
        fixture::Member liar = streamed ? fixture::Streamed("a.txt", "hello world\n")
                                        : fixture::Stored("a.txt", "hello world\n");
        liar.VersionNeeded = 45;
        liar.CentralCompressedSize = liar.CentralUncompressedSize = 0xFFFFFFFF;
        liar.CentralExtra = fixture::Zip64Field({~0ULL, ~0ULL});
        const std::string archive =
            dir.Write(streamed ? "streamed.zip" : "plain.zip", fixture::ZipBuilder().Add(liar).Finish().Bytes());
        const std::string a = ShellQuote(archive);
        std::vector<CliRun> runs = {{"test " + a}, {"extract -p " + a}, {"extract -d " + ShellQuote(dir / "out") + " " + a}};
        RunTogether(runs, scratch, tmp, 60);
        for (const CliRun& run : runs) {
            SCOPED_TRACE(run.Arguments);
            EXPECT_EQ(run.Result.Status, 1);
            EXPECT_NE(run.Result.Err.find("a.txt: data cut short"), std::string::npos) << run.Result.Err;
        }
        EXPECT_EQ(runs[0].Result.Out, "FAILED: 1 of 1 file\n");
        EXPECT_EQ(runs[1].Result.Out, "");
        EXPECT_EQ(runs[2].Result.Out, "0 files extracted, 1 failed\n");
    }
    EXPECT_TRUE(Contents(tmp).empty());
}

TEST_F(Bounds, AddAndDeleteRefuseMembersSharingTheirDataAsTestDoes)
{
    const std::string archive = dir.Write("bomb.zip", fixture::SharedDataBomb(300, 100000));
    const std::string before = ReadFile(archive);
    dir.Write("new.txt", "new\n");
    const std::string a = ShellQuote(archive);
    std::vector<CliRun> runs = {{"add -j " + a + " " + ShellQuote(dir / "new.txt")}, {"delete " + a + " copy7.bin"}};
    RunTogether(runs, scratch, tmp);
    const std::string words = "data.bin: its data overlaps another member's (a probable zip bomb)";
    for (const CliRun& run : runs) {
        SCOPED_TRACE(run.Arguments);
        EXPECT_EQ(run.Result.Status, 1);
        EXPECT_NE(run.Result.Err.find(words + "; it was left unchanged"), std::string::npos) << run.Result.Err;
    }
    EXPECT_NE(RunCli("test " + a).Err.find(words), std::string::npos);
    EXPECT_TRUE(ReadFile(archive) == before);
    EXPECT_TRUE(Contents(tmp).empty());
}
