// fernpack-cli's operations end to end, through the real libraries: what a
// user types, what lands on disk, what is printed and the exit status.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRunner.h"
#include "PeerCheck.h"
#include "platform/FileSystem.h"

namespace {

const std::string Bin = std::filesystem::path(FERNPACK_CLI).parent_path().string();

bool Have(const std::string& name) { return platform::FileExists(Bin + "/" + name); }

class Operations : public ::testing::Test {
protected:
    void SetUp() override
    {
        src = dir / "src";
        ASSERT_EQ(fixture::RunCommand("mkdir -p " + ShellQuote(src + "/sub/deeper") + " && cd " + ShellQuote(src) +
                                      " && seq 1 40000 > numbers.txt && head -c 100000 /dev/urandom > random.bin"
                                      " && : > empty.txt && echo deep > sub/deeper/deep.txt && echo s > sub/s.txt"
                                      " && echo hidden > .hidden"),
                  0);
        zipped = dir / "made-by-zip.zip";
        ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(src) + " && zip -q -r " + ShellQuote(zipped) + " ."), 0);
    }

    bool SameFile(const std::string& a, const std::string& b) { return fixture::ReadFile(a) == fixture::ReadFile(b); }

    fixture::TempDir dir;
    std::string src, zipped;
};

}  // namespace

TEST_F(Operations, ExtractAllAndSelectedMembers)
{
    ASSERT_TRUE(Have("UNZDLL.DLL"));
    CliResult all = RunCli("extract -d " + ShellQuote(dir / "out/new") + " " + ShellQuote(zipped));
    EXPECT_EQ(all.Status, 0) << all.Err;
    EXPECT_EQ(all.Out, "8 files extracted\n");  // six files and two folders
    for (const char* f : {"numbers.txt", "random.bin", "empty.txt", "sub/deeper/deep.txt", "sub/s.txt", ".hidden"})
        EXPECT_TRUE(SameFile(src + "/" + f, dir / ("out/new/" + std::string(f)))) << f;

    // Selected members, without folder names (-j), into the current folder.
    std::filesystem::create_directories(dir / "flat");
    CliResult some = RunCli("extract -j " + ShellQuote(zipped) + " sub/deeper/deep.txt '*.bin'", dir / "flat");
    EXPECT_EQ(some.Status, 0) << some.Err;
    EXPECT_EQ(some.Out, "2 files extracted\n");
    EXPECT_TRUE(SameFile(src + "/sub/deeper/deep.txt", dir / "flat/deep.txt"));
    EXPECT_TRUE(SameFile(src + "/random.bin", dir / "flat/random.bin"));

    // Existing files with no terminal to ask: kept, and the run fails; -n
    // keeps them as asked (success); -o replaces them.
    fixture::TempDir scratch;
    scratch.Write("deep.txt", "mine");
    const std::string into = " -j -d " + ShellQuote(scratch.Path()) + " " + ShellQuote(zipped) + " sub/deeper/deep.txt 'n*'";
    CliResult kept = RunCli("extract" + into + " </dev/null");
    EXPECT_EQ(fixture::ReadFile(scratch / "deep.txt"), "mine");
    EXPECT_EQ(kept.Status, 1);
    EXPECT_EQ(kept.Out, "1 file extracted, 1 skipped (already exist; use -o to overwrite)\n");
    CliResult never = RunCli("extract -n" + into);
    EXPECT_EQ(never.Status, 0) << never.Err;
    EXPECT_EQ(never.Out, "0 files extracted, 2 skipped (already exist)\n");
    CliResult replaced = RunCli("extract --overwrite" + into);
    EXPECT_EQ(replaced.Status, 0) << replaced.Err;
    EXPECT_EQ(replaced.Out, "2 files extracted\n");
    EXPECT_EQ(fixture::ReadFile(scratch / "deep.txt"), "deep\n");
    EXPECT_EQ(RunCli("extract -o -n" + into).Status, 2);
}

TEST_F(Operations, TestReportsGoodAndBadArchives)
{
    ASSERT_TRUE(Have("UNZDLL.DLL"));
    CliResult good = RunCli("test " + ShellQuote(zipped));
    EXPECT_EQ(good.Status, 0) << good.Err;
    EXPECT_EQ(good.Out, "OK: 8 files\n");

    // Flip a byte inside the random file's stored data.
    std::string bytes = fixture::ReadFile(zipped);
    const std::size_t at = bytes.find("random.bin") + 10 + 5000;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x55);
    const std::string damaged = dir.Write("damaged.zip", bytes);
    CliResult bad = RunCli("test " + ShellQuote(damaged));
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out, "FAILED: 1 of 8 files\n");
    EXPECT_NE(bad.Err.find("random.bin"), std::string::npos) << bad.Err;
}

TEST_F(Operations, EncryptedArchivesTakeThePasswordFromFileOrEnvironment)
{
    ASSERT_TRUE(Have("UNZDLL.DLL"));
    const std::string aes = dir / "aes.zip";
    ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(src) + " && 7zz a -tzip -mem=AES256 -psecret " + ShellQuote(aes) +
                                  " numbers.txt random.bin > /dev/null"),
              0);
    const std::string pw = dir.Write("pw", "secret\n");
    CliResult withFile = RunCli("test --password-file " + ShellQuote(pw) + " " + ShellQuote(aes) + " </dev/null");
    EXPECT_EQ(withFile.Status, 0) << withFile.Err;
    EXPECT_EQ(withFile.Out, "OK: 2 files\n");

    // No terminal, no file, no variable: refused with a clear word, nothing written.
    CliResult none = RunCli("extract -d " + ShellQuote(dir / "x") + " " + ShellQuote(aes) + " </dev/null");
    EXPECT_EQ(none.Status, 1);
    EXPECT_NE(none.Err.find("a password is needed"), std::string::npos) << none.Err;

    const std::string cmd = "FERNPACK_PASSWORD=secret " + ShellQuote(FERNPACK_CLI) + " extract -d " +
                            ShellQuote(dir / "env") + " " + ShellQuote(aes) + " </dev/null";
    std::string out;
    EXPECT_EQ(fixture::RunCommand(cmd, &out), 0);
    EXPECT_EQ(out, "2 files extracted\n");
    EXPECT_TRUE(SameFile(src + "/random.bin", dir / "env/random.bin"));

    const std::string wrong = "FERNPACK_PASSWORD=wrong " + ShellQuote(FERNPACK_CLI) + " test " + ShellQuote(aes) +
                              " </dev/null 2>/dev/null";
    EXPECT_EQ(fixture::RunCommand(wrong, &out), 1);
    EXPECT_EQ(out, "FAILED: 2 of 2 files\n");

    const std::string unreadable = "FERNPACK_PASSWORD=x " + ShellQuote(FERNPACK_CLI) + " test --password-file " +
                                   ShellQuote(dir / "no-such-file") + " " + ShellQuote(aes) + " 2>&1";
    EXPECT_EQ(fixture::RunCommand(unreadable, &out), 1);
    EXPECT_NE(out.find("no-such-file: cannot read a password from it"), std::string::npos) << out;
}

TEST_F(Operations, AddListDeleteAndTest)
{
    ASSERT_TRUE(Have("ZIPDLL.DLL"));
    const std::string archive = dir / "new.zip";
    CliResult add = RunCli("add " + ShellQuote(archive) + " src", dir.Path());
    EXPECT_EQ(add.Status, 0) << add.Err;
    EXPECT_EQ(add.Err, "");
    EXPECT_EQ(add.Out.rfind("5 files added (", 0), 0u) << add.Out;  // the dot-file stays out
    EXPECT_NE(add.Out.find(" in, "), std::string::npos) << add.Out;
    CliResult list = RunCli("list --tsv " + ShellQuote(archive));
    EXPECT_NE(list.Out.find("#count\t5"), std::string::npos) << list.Out;
    EXPECT_EQ(RunCli("test " + ShellQuote(archive)).Out, "OK: 5 files\n");

    EXPECT_EQ(fixture::PeerCheck(archive), "");

    CliResult del = RunCli("delete " + ShellQuote(archive) + " src/sub/s.txt");
    EXPECT_EQ(del.Status, 0) << del.Err;
    EXPECT_EQ(del.Out, "1 member deleted\n");
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    EXPECT_NE(RunCli("list --tsv " + ShellQuote(archive)).Out.find("#count\t4"), std::string::npos);

    CliResult none = RunCli("delete " + ShellQuote(archive) + " no-such-member");
    EXPECT_EQ(none.Status, 1);
    EXPECT_EQ(none.Out, "0 members deleted, 1 name matched nothing\n");
}

TEST_F(Operations, SelfExtractingRoundTrip)
{
    ASSERT_TRUE(Have("ZIPSFX.BIN"));
    const std::string zip = dir / "round.zip";
    std::filesystem::copy_file(zipped, zip);
    CliResult sfx = RunCli("sfx --caption Hello --overwrite never --command '/bin/sh|-c \"cp ><numbers.txt ><copy.txt\"' " +
                           ShellQuote(zip));
    EXPECT_EQ(sfx.Status, 0) << sfx.Err;
    EXPECT_EQ(sfx.Out, zip + " is now " + (dir / "round.exe") + "\n");
    EXPECT_FALSE(platform::FileExists(zip));
    EXPECT_EQ(RunCli("test " + ShellQuote(dir / "round.exe")).Out, "OK: 8 files\n");

    // The program extracts itself and runs its command with '><' replaced.
    std::string out;
    EXPECT_EQ(fixture::RunCommand(ShellQuote(dir / "round.exe") + " --yes -d " + ShellQuote(dir / "run") +
                                      " </dev/null 2>&1",
                                  &out),
              0)
        << out;
    EXPECT_TRUE(SameFile(src + "/sub/deeper/deep.txt", dir / "run/sub/deeper/deep.txt"));
    EXPECT_TRUE(SameFile(src + "/numbers.txt", dir / "run/copy.txt"));

    CliResult back = RunCli("unsfx " + ShellQuote(dir / "round.exe"));
    EXPECT_EQ(back.Status, 0) << back.Err;
    EXPECT_EQ(back.Out, (dir / "round.exe") + " is now " + zip + "\n");
    EXPECT_TRUE(SameFile(zip, zipped));

    EXPECT_EQ(RunCli("unsfx " + ShellQuote(zip)).Status, 1);
    EXPECT_EQ(RunCli("sfx --overwrite sometimes " + ShellQuote(zip)).Status, 2);
}

TEST_F(Operations, AddingToANewProgramNameMakesAWorkingProgram)
{
    ASSERT_TRUE(Have("ZIPDLL.DLL") && Have("ZIPSFX.BIN"));
    const std::string exe = dir / "fresh.exe";
    CliResult add = RunCli("add -j " + ShellQuote(exe) + " " + ShellQuote(src + "/numbers.txt"));
    EXPECT_EQ(add.Status, 0) << add.Err;
    EXPECT_EQ(add.Out.rfind("1 file added (", 0), 0u) << add.Out;
    CliResult list = RunCli("list --tsv " + ShellQuote(exe));
    EXPECT_NE(list.Out.find("numbers.txt\t"), std::string::npos) << list.Out;
    std::string out;
    EXPECT_EQ(fixture::RunCommand(ShellQuote(exe) + " --yes -d " + ShellQuote(dir / "ran") + " </dev/null 2>&1", &out), 0)
        << out;
    EXPECT_TRUE(SameFile(src + "/numbers.txt", dir / "ran/numbers.txt"));
}

TEST_F(Operations, CtrlCStopsAnAddAndLeavesTheArchiveAsItWas)
{
    ASSERT_TRUE(Have("ZIPDLL.DLL"));
    fixture::TempDir work;
    const std::string archive = work / "keep.zip";
    std::filesystem::copy_file(zipped, archive);
    const std::string before = fixture::ReadFile(archive);
    const std::string big = dir / "big.bin";
    ASSERT_EQ(fixture::RunCommand("head -c 200000000 /dev/urandom > " + ShellQuote(big)), 0);

    const std::string outFile = dir / "out.txt";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen(outFile.c_str(), "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(FERNPACK_CLI, FERNPACK_CLI, "add", "--level", "9", archive.c_str(), big.c_str(), nullptr);
        ::_exit(127);
    }
    // Interrupt only once the front end catches Ctrl-C (a loaded machine can
    // take seconds to start a sanitized program), then a little into the add:
    // still well inside a level-9 add of 200 MB.
    ASSERT_TRUE(WaitUntilCatching(child, SIGINT)) << "the front end never caught Ctrl-C";
    ::usleep(500000);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WNOHANG), 0) << "the add ended before it could be interrupted";
    ::kill(child, SIGINT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(fixture::ReadFile(outFile), "0 files added\n");
    EXPECT_EQ(fixture::ReadFile(archive), before);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(work.Path()))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"keep.zip"});
    std::filesystem::remove(big);
}

TEST_F(Operations, MissingArchivesAndUsage)
{
    EXPECT_EQ(RunCli("extract nothing.zip", dir.Path()).Err, "fernpack-cli: nothing.zip: no such file\n");
    EXPECT_EQ(RunCli("test nothing.zip", dir.Path()).Status, 1);
    EXPECT_EQ(RunCli("delete " + ShellQuote(zipped)).Status, 2);
    EXPECT_EQ(RunCli("add " + ShellQuote(zipped)).Status, 2);
    EXPECT_EQ(RunCli("add --update --freshen a.zip b").Status, 2);
    EXPECT_EQ(RunCli("add --level x a.zip b").Status, 2);
}
