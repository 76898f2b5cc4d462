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
    EXPECT_NE(r.Out.find("\n           5            5                       2 members, ratio 100%\n"), std::string::npos)
        << r.Out;
}

TEST(ListCommand, CommentEncryptedMarkPatternsAndUnsignedSizes)
{
    fixture::TempDir dir;
    Member secret = fixture::Stored("docs/secret.txt", "xyz");
    secret.Flags = 1;
    Member huge = fixture::Stored("docs/huge.bin", "");
    huge.UncompressedSize = -2;  // 4 GiB - 2 as the header says it (all ones would send it to Zip64)
    const std::string path = dir.Write(
        "c.zip", ZipBuilder().Add(fixture::Stored("a.txt", "12")).Add(secret).Add(huge).Finish("Hello\x1b[2J").Bytes());
    CliResult r = RunCli("list " + ShellQuote(path) + " 'docs/*'");
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Out.rfind("Hello\\x1b[2J\n\n", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find("2024-05-17 13:45:30 *docs/secret.txt\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("   4294967294  2024-05-17 13:45:30  docs/huge.bin\n"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("  4294967297  "), std::string::npos) << r.Out;  // the total, unsigned too
    EXPECT_NE(r.Out.find("2 of 3 members, ratio 0% (* encrypted)\n"), std::string::npos) << r.Out;
    EXPECT_EQ(r.Out.find("a.txt"), std::string::npos);

    CliResult none = RunCli("list " + ShellQuote(path) + " '*.doc'");
    EXPECT_EQ(none.Status, 1);
    EXPECT_NE(none.Err.find("no member matches *.doc"), std::string::npos) << none.Err;
}

TEST(ListCommand, AnEmptyArchiveIsValidAndAnythingElseFails)
{
    fixture::TempDir dir;
    CliResult empty = RunCli("list " + ShellQuote(dir.Write("e.zip", ZipBuilder().Finish().Bytes())) + " --tsv");
    EXPECT_EQ(empty.Status, 0);
    EXPECT_EQ(empty.Err, "");
    EXPECT_EQ(empty.Out, "#first-header-offset\t0\n#count\t0\n");
    CliResult table = RunCli("list e.zip", dir.Path());
    EXPECT_EQ(table.Status, 0);
    EXPECT_NE(table.Out.find(" 0 members\n"), std::string::npos) << table.Out;

    dir.Write("junk.zip", std::string(100, 'j'));
    CliResult junk = RunCli("list junk.zip", dir.Path());
    EXPECT_EQ(junk.Status, 1);
    EXPECT_EQ(junk.Err, "fernpack-cli: junk.zip: No valid zip entries found 1\n");
    EXPECT_EQ(junk.Out, "");  // no table of nothing, which would read as an empty archive
    CliResult junkTsv = RunCli("list --tsv junk.zip", dir.Path());
    EXPECT_EQ(junkTsv.Status, 1);
    EXPECT_EQ(junkTsv.Out, "");  // nor a "#count 0"
    EXPECT_EQ(RunCli("-v list junk.zip", dir.Path()).Err,
              "fernpack-cli: junk.zip: No valid zip entries found 1 (code 1036)\n");
    CliResult folder = RunCli("list .", dir.Path());
    EXPECT_EQ(folder.Status, 1);
    EXPECT_EQ(folder.Err, "fernpack-cli: .: is a folder\n");
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
    EXPECT_EQ(RunCli("list --bogus a.zip").Status, 2);
    EXPECT_EQ(RunCli("frobnicate a.zip").Status, 2);
    CliResult help = RunCli("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("Exit status:"), std::string::npos);
    EXPECT_NE(help.Out.find("Messages are in English whatever the locale"), std::string::npos);
    for (const char* asked : {"list --help", "help list", "list x.zip -h"}) {
        CliResult one = RunCli(asked);
        EXPECT_EQ(one.Status, 0) << asked;
        EXPECT_EQ(one.Out.rfind("Usage: fernpack-cli list [OPTIONS] ARCHIVE [PATTERN...]\n", 0), 0u) << one.Out;
        EXPECT_NE(one.Out.find("--tsv"), std::string::npos);
    }
    CliResult bogus = RunCli("list --bogus a.zip");
    EXPECT_EQ(bogus.Err, "fernpack-cli: list: unknown option or argument --bogus\nTry 'fernpack-cli list --help'\n");
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
    EXPECT_NE(dashed.Out.find(" 1 member, ratio 100%\n"), std::string::npos) << dashed.Out;
}
