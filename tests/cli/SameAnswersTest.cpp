// One archive, one answer: every command of fernpack-cli, ZIPDLL.DLL behind
// `add` and the stub read the end of an archive by the same rule, so a
// valid archive without members is empty for all of them and member data
// in front of an empty directory is damage for all of them. Messages keep
// the code the component gave them, and nothing opens an archive again
// after the component refused it.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "CliRunner.h"
#include "ZipFixture.h"
#include "platform/FileSystem.h"

namespace {

const std::string Bin = std::filesystem::path(FERNPACK_CLI).parent_path().string();

const std::string EmptyEnd = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// The stub, the settings header of a program without texts, and `archive`.
std::string WriteProgram(const fixture::TempDir& dir, const std::string& name, const std::string& archive)
{
    const std::string path =
        dir.Write(name, fixture::ReadFile(Bin + "/ZIPSFX.BIN") + "MPU" + std::string(253, '\0') + archive);
    ::chmod(path.c_str(), 0755);
    return path;
}

int RunStub(const std::string& program, std::string* out)
{
    return fixture::RunCommand(ShellQuote(program) + " --list </dev/null 2>&1", out);
}

}  // namespace

TEST(SameAnswers, AnEmptyArchiveFollowedByZeroBytesIsEmptyForEveryCommandAndTheStub)
{
    ASSERT_TRUE(platform::FileExists(Bin + "/ZIPDLL.DLL") && platform::FileExists(Bin + "/ZIPSFX.BIN"));
    fixture::TempDir dir;
    const std::string archive = EmptyEnd + std::string(10, '\0');
    const std::string path = dir.Write("e.zip", archive);

    CliResult list = RunCli("list --tsv e.zip", dir.Path());
    EXPECT_EQ(list.Status, 0) << list.Err;
    EXPECT_EQ(list.Out, "#first-header-offset\t0\n#count\t0\n");
    EXPECT_EQ(list.Err, "");
    CliResult test = RunCli("test e.zip", dir.Path());
    EXPECT_EQ(test.Status, 0) << test.Err;
    EXPECT_EQ(test.Out, "OK: 0 files\n");
    CliResult extract = RunCli("extract -d out e.zip", dir.Path());
    EXPECT_EQ(extract.Status, 0) << extract.Err;
    EXPECT_EQ(extract.Out, "0 files extracted\n");

    std::string out;
    EXPECT_EQ(RunStub(WriteProgram(dir, "e.exe", archive), &out), 0) << out;
    EXPECT_NE(out.find("The archive holds no files."), std::string::npos) << out;

    dir.Write("new.txt", "new\n");
    CliResult add = RunCli("add e.zip new.txt", dir.Path());
    EXPECT_EQ(add.Status, 0) << add.Err;
    EXPECT_NE(RunCli("list --tsv e.zip", dir.Path()).Out.find("new.txt\t4\t4\t"), std::string::npos);
}

TEST(SameAnswers, MemberDataBeforeAnEmptyEndRecordIsDamageForEveryCommandAndTheStub)
{
    ASSERT_TRUE(platform::FileExists(Bin + "/ZIPDLL.DLL") && platform::FileExists(Bin + "/ZIPSFX.BIN"));
    fixture::TempDir dir;
    // A local header whose size runs past the end of the file, then an end
    // record that lists no members.
    fixture::Member broken = fixture::Stored("a.txt", "alpha");
    broken.CompressedSize = broken.UncompressedSize = 100000;
    const std::string archive = fixture::LocalHeader(broken) + "alpha" + EmptyEnd;
    const std::string path = dir.Write("d.zip", archive);

    CliResult list = RunCli("list d.zip", dir.Path());
    EXPECT_EQ(list.Status, 1);
    EXPECT_EQ(list.Err, "fernpack-cli: d.zip: No valid zip entries found 1\n");
    for (const char* command : {"test d.zip", "extract -d out d.zip", "add d.zip new.txt"}) {
        dir.Write("new.txt", "new\n");
        CliResult r = RunCli(command, dir.Path());
        EXPECT_EQ(r.Status, 1) << command << ": " << r.Out << r.Err;
    }
    EXPECT_EQ(fixture::ReadFile(path), archive) << "the add changed nothing";
    EXPECT_FALSE(platform::FileExists(dir / "out/a.txt"));

    std::string out;
    EXPECT_EQ(RunStub(WriteProgram(dir, "d.exe", archive), &out), 3) << out;
    EXPECT_NE(out.find("member data"), std::string::npos) << out;
}

TEST(SameAnswers, MessagesKeepTheCodeTheComponentGaveThem)
{
    // For a valid empty archive the component's 1036 is information: shown
    // only with -v, and then with its own code.
    fixture::TempDir dir;
    dir.Write("e.zip", EmptyEnd);
    CliResult verbose = RunCli("-v test e.zip", dir.Path());
    EXPECT_EQ(verbose.Status, 0);
    EXPECT_EQ(verbose.Err, "fernpack-cli: e.zip: No valid zip entries found 1 (code 1036)\n");
    EXPECT_EQ(RunCli("test e.zip", dir.Path()).Err, "");
}

TEST(SameAnswers, NothingOpensAnArchiveTheComponentRefused)
{
    fixture::TempDir dir;
    // A FIFO: opening it to read waits for a writer that never comes. The
    // time limit only keeps a failure from hanging the suite.
    ASSERT_EQ(::mkfifo((dir / "p.zip").c_str(), 0644), 0);
    dir.Write("new.txt", "new\n");
    for (const char* command : {"list p.zip", "list --tsv p.zip", "test p.zip", "extract -d out p.zip",
                                "delete p.zip a", "add p.zip new.txt", "sfx p.zip"}) {
        fixture::TempDir scratch;
        std::string out;
        const int status = fixture::RunCommand("cd " + ShellQuote(dir.Path()) + " && timeout 120 " +
                                                   ShellQuote(FERNPACK_CLI) + " " + command + " 2>" +
                                                   ShellQuote(scratch / "err"),
                                               &out);
        EXPECT_EQ(status, 1) << command << " (124: it waited)";
        EXPECT_EQ(fixture::ReadFile(scratch / "err"), "fernpack-cli: p.zip: Cannot open file " + (dir / "p.zip") + "\n")
            << command;
        EXPECT_EQ(out, "") << command;
    }
}
