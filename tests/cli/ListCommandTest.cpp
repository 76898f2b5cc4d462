// fernpack-cli list, end to end: output formats, messages, exit status and
// argument handling.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "ZipFixture.h"

using fixture::Member;
using fixture::ZipBuilder;


TEST(ListCommand, TsvFormatIsFixed)
{
    fixture::TempDir dir;
    Member odd = fixture::Stored("tab\there\rcr\nlf\\back", "abc");
    odd.DateTime = 0;  // month 0, day 0: no calendar date
    odd.Method = 8;
    odd.Flags = 0x0801;
    Member plain = fixture::Stored("dir/plain.txt", "hello");
    plain.DateTime = fixture::DosDateTime(2107, 12, 31, 23, 59, 58);
    const std::string path = dir.Write("t.zip", std::string(1234, 's') + ZipBuilder().Add(odd).Add(plain).Finish().Bytes());

    CliResult r = RunCli("list --tsv " + ShellQuote(path));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    char crc1[9], crc2[9];
    std::snprintf(crc1, sizeof crc1, "%08x", fixture::Crc32("abc"));
    std::snprintf(crc2, sizeof crc2, "%08x", fixture::Crc32("hello"));
    EXPECT_EQ(r.Out, std::string("#first-header-offset\t1234\n") + "tab\\there\\rcr\\nlf\\\\back\t3\t3\t0000-00-00 00:00:00\t" +
                         crc1 + "\t8\t2049\n" + "dir/plain.txt\t5\t5\t2107-12-31 23:59:58\t" + crc2 + "\t0\t0\n" +
                         "#count\t2\n");
}

TEST(ListCommand, HumanOutputHasAlignedColumnsAndACount)
{
    fixture::TempDir dir;
    const std::string path = dir.Write("h.zip", ZipBuilder().Add(fixture::Stored("a.txt", "12345")).Add(fixture::Stored("b", "")).Finish().Bytes());
    CliResult r = RunCli("list " + ShellQuote(path));
    EXPECT_EQ(r.Status, 0);
    EXPECT_NE(r.Out.find("           5            5  2024-05-17 13:45:30  a.txt\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("\n2 members\n"), std::string::npos) << r.Out;
}

TEST(ListCommand, MessagesGoToStderrAndFailTheRun)
{
    fixture::TempDir dir;
    CliResult r = RunCli("list " + ShellQuote(dir.Write("e.zip", ZipBuilder().Finish().Bytes())) + " --tsv");
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "1036: No valid zip entries found 1\n");
    EXPECT_EQ(r.Out, "#first-header-offset\t0\n#count\t0\n");
}

TEST(ListCommand, ListingErrorsAreReportedAfterWhatWasListed)
{
    fixture::TempDir dir;
    ZipBuilder b;
    b.Add(fixture::Stored("a", std::string(100, 'a'))).Add(fixture::Stored("b", std::string(100, 'b')));
    const std::string path = dir.Write("cut.zip", b.Bytes().substr(0, 200));
    CliResult r = RunCli("list --tsv " + ShellQuote(path));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Err.find("Error 3 reading Zip file"), std::string::npos) << r.Err;
    EXPECT_NE(r.Out.find("#count\t1\n"), std::string::npos) << r.Out;
}

TEST(ListCommand, MissingArchiveIsNamed)
{
    fixture::TempDir dir;
    CliResult r = RunCli("list nowhere.zip", dir.Path());
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "fernpack-cli: nowhere.zip: no such file\n");
    EXPECT_EQ(r.Out, "");
}

TEST(ListCommand, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(RunCli("").Status, 2);
    EXPECT_EQ(RunCli("list").Status, 2);
    EXPECT_EQ(RunCli("list a.zip b.zip").Status, 2);
    EXPECT_EQ(RunCli("list --bogus a.zip").Status, 2);
    EXPECT_EQ(RunCli("frobnicate a.zip").Status, 2);
    CliResult help = RunCli("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("list [--tsv] ARCHIVE"), std::string::npos);
    EXPECT_EQ(RunCli("list --help").Status, 0);
}

TEST(ListCommand, RelativePathsAndTheEndOfOptions)
{
    fixture::TempDir dir;
    const std::string bytes = ZipBuilder().Add(fixture::Stored("x", "1")).Finish().Bytes();
    dir.Write("rel.zip", bytes);
    dir.Write("--tsv", bytes);

    CliResult rel = RunCli("list rel.zip --tsv", dir.Path());
    EXPECT_EQ(rel.Status, 0) << rel.Err;
    EXPECT_NE(rel.Out.find("#count\t1"), std::string::npos);

    // After "--" an argument that looks like an option is a file name.
    CliResult dashed = RunCli("list -- --tsv", dir.Path());
    EXPECT_EQ(dashed.Status, 0) << dashed.Err;
    EXPECT_NE(dashed.Out.find("1 member\n"), std::string::npos) << dashed.Out;
}
