// extract --here, a file manager's "Extract Here": beside the archive, in a
// folder of its own only when the members stand under several top-level
// names.
#include <gtest/gtest.h>

#include <filesystem>

#include "CliRunner.h"
#include "ZipFixture.h"
#include "cli/ExtractHere.h"
#include "platform/FileSystem.h"

namespace {

using Names = std::set<std::string>;

TEST(ExtractHere, TopLevelNamesAreTheFirstPartsOfNamesTheLibraryWrites)
{
    const struct {
        std::vector<std::string> names;
        Names top;
    } cases[] = {
        {{"a.txt"}, {"a.txt"}},
        {{"docs/", "docs/a.txt", "docs/sub/b.txt"}, {"docs"}},
        {{"./docs/a.txt", "docs//b.txt"}, {"docs"}},
        {{"a.txt", "docs/b.txt"}, {"a.txt", "docs"}},
        {{"/etc/passwd", "../up.txt", "x/../../y", "docs/a"}, {"docs"}},
        {{}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::TopLevelNames(c.names), c.top) << testing::PrintToString(c.names);
}

TEST(ExtractHere, ANewFolderNamedAfterTheArchiveOnlyForSeveralTopLevelNames)
{
    fixture::TempDir dir;
    const std::string zip = dir / "photos.zip";
    EXPECT_EQ(cli::HereFolder(zip, {"docs/a", "docs/b"}), dir.Path());
    EXPECT_EQ(cli::HereFolder(zip, {"a", "b"}), dir / "photos");
    EXPECT_EQ(cli::HereFolder(dir / "Setup.EXE", {"a", "b"}), dir / "Setup");
    // A name that is taken, by a folder or by a file, is passed over.
    std::filesystem::create_directory(dir / "photos");
    dir.Write("photos (2)", "a file");
    EXPECT_EQ(cli::HereFolder(zip, {"a", "b"}), dir / "photos (3)");
    // A name without an extension: its folder cannot take the archive's name.
    dir.Write("bare", "the archive");
    EXPECT_EQ(cli::HereFolder(dir / "bare", {"a", "b"}), dir / "bare (2)");
}

TEST(ExtractHere, ThroughTheProgram)
{
    fixture::TempDir dir;
    ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(dir.Path()) +
                                  " && mkdir -p src/docs && echo a > src/docs/a.txt && echo b > src/b.txt"
                                  " && cd src && zip -q -r ../loose.zip docs b.txt && zip -q -r ../one.zip docs"),
              0);
    std::filesystem::create_directory(dir / "away");
    // Run from elsewhere: the archive's folder counts, not the current one.
    CliResult loose = RunCli("extract --here " + ShellQuote(dir / "loose.zip"), dir / "away");
    EXPECT_EQ(loose.Status, 0) << loose.Err;
    EXPECT_EQ(fixture::ReadFile(dir / "loose/docs/a.txt"), "a\n");
    EXPECT_EQ(fixture::ReadFile(dir / "loose/b.txt"), "b\n");
    CliResult again = RunCli("extract --here " + ShellQuote(dir / "loose.zip"), dir / "away");
    EXPECT_EQ(again.Status, 0) << again.Err;
    EXPECT_TRUE(platform::FileExists(dir / "loose (2)/b.txt"));

    CliResult one = RunCli("extract --here " + ShellQuote(dir / "one.zip"), dir / "away");
    EXPECT_EQ(one.Status, 0) << one.Err;
    EXPECT_EQ(fixture::ReadFile(dir / "docs/a.txt"), "a\n");
    EXPECT_TRUE(std::filesystem::is_empty(dir / "away"));

    // Nothing is overwritten without asking: with no terminal, kept.
    CliResult kept = RunCli("extract --here " + ShellQuote(dir / "one.zip"), dir / "away");
    EXPECT_EQ(kept.Status, 1);

    CliResult both = RunCli("extract --here -d x " + ShellQuote(dir / "one.zip"));
    EXPECT_EQ(both.Status, 2) << "--here and --dir exclude each other";
}

}  // namespace
