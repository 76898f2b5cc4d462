// Counting an add beforehand: which files a pattern selects, their
// bytes and their progress steps.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "RecordingUiServices.h"
#include "TempDir.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

class CountTest : public ::testing::Test {
protected:
    CountTest() : scope(ui) {}

    std::pair<std::int32_t, std::int32_t> Count(const std::vector<std::string>& specs, AddOpts options = {})
    {
        z.AddOptions = options;
        z.FSpecArgs() = specs;
        std::int32_t steps = -1;
        const std::int32_t bytes = z.CountAddFiles(steps);
        EXPECT_EQ(z.FSpecArgs(), specs);  // counting changes nothing
        return {bytes, steps};
    }

    fixture::RecordingUiServices ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    TRezEdidiv z;
};

using Totals = std::pair<std::int32_t, std::int32_t>;

}  // namespace

TEST_F(CountTest, StepsPerFileAreSizeDiv32768AtLeastOne)
{
    dir.Write("data/a.bin", std::string(100000, 'a'));  // 3 steps
    dir.Write("data/b.bin", std::string(65535, 'b'));   // 1 step
    dir.Write("data/c.bin", "");                        // 1 step
    dir.Write("data/d.bin", std::string(65536, 'd'));   // 2 steps
    EXPECT_EQ(Count({dir / "data/*.*"}), Totals(100000 + 65535 + 65536, 7));
    EXPECT_EQ(Count({dir / "data/a.bin", dir / "data/?.bin"}), Totals(100000 * 2 + 65535 + 65536, 10));
    EXPECT_EQ(Count({dir / "data/*.txt"}), Totals(0, 0));
    EXPECT_EQ(Count({dir / "data/*.txt"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(0, 0));
    EXPECT_EQ(Count({dir / "nowhere/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(0, 0));
}

TEST_F(CountTest, HiddenSystemAndLinkedEntries)
{
    dir.Write("d/plain", "12345");
    dir.Write("d/.hidden", "123");
    dir.Write("d/.dotdir/inside", "1");
    dir.Write("elsewhere/target", "1234567");
    dir.Write("elsewhere/folder/file", "12");
    ASSERT_EQ(::symlink((dir / "elsewhere/target").c_str(), (dir / "d/link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "elsewhere/folder").c_str(), (dir / "d/link-to-folder").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "missing").c_str(), (dir / "d/dangling").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "d/pipe").c_str(), 0644), 0);

    // A link to a file counts as the file; pipes and dangling links never.
    EXPECT_EQ(Count({dir / "d/*.*"}), Totals(5 + 7, 2));
    EXPECT_EQ(Count({dir / "d/*.*"}, AddOpts{AddOptsEnum::AddHiddenFiles}), Totals(5 + 7 + 3, 3));
    // Dot-folders are entered like any folder; links to folders are not.
    EXPECT_EQ(Count({dir / "d/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(5 + 7 + 1, 3));

    // Named one by one (looked up, not listed), every entry counts as the
    // listing counts it.
    std::vector<std::string> named;
    for (const char* name : {"plain", ".hidden", ".dotdir", "link-to-file", "link-to-folder", "dangling", "pipe",
                             "none", ".", ".."})
        named.push_back(dir / (std::string("d/") + name));
    EXPECT_EQ(Count(named), Totals(5 + 7, 2));
    EXPECT_EQ(Count(named, AddOpts{AddOptsEnum::AddHiddenFiles}), Totals(5 + 7 + 3, 3));
    EXPECT_EQ(Count({dir / "d/.dotdir/inside", dir / "d/plain"}, AddOpts{AddOptsEnum::AddRecurseDirs}),
              Totals(1 + 5, 2));
}

TEST_F(CountTest, AnEmptyPatternCountsNothing)
{
    dir.Write("e/file", "12345");
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(dir / "e"));
    // Not the current folder: no file at all, with or without recursion.
    EXPECT_EQ(Count({""}), Totals(0, 0));
    EXPECT_EQ(Count({""}, AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddHiddenFiles}), Totals(0, 0));
    EXPECT_EQ(Count({dir / "e/"}), Totals(0, 0));
    EXPECT_EQ(Count({"", "file"}), Totals(5, 1));
    platform::SetCurrentDir(before);
}

TEST_F(CountTest, RecursionEntersOnlyFoldersMatchingTheMask)
{
    dir.Write("t/a.txt", "1");
    dir.Write("t/x.txt/b.txt", "22");       // a folder whose name matches
    dir.Write("t/plain/c.txt", "333");      // a folder that does not
    dir.Write("t/x.txt/deeper/d.txt", "4444");
    EXPECT_EQ(Count({dir / "t/*.txt"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(1 + 2, 2));
    EXPECT_EQ(Count({dir / "t/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(1 + 2 + 3 + 4, 4));
    // A name without wildcards recurses through folders of that name.
    dir.Write("t/x.txt/x.txt", "55555");
    EXPECT_EQ(Count({dir / "t/x.txt"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(5, 1));
    // Several patterns into one folder see the same folder (listed once).
    EXPECT_EQ(Count({dir / "t/*.txt", dir / "t/a.*", dir / "t/a.txt"}), Totals(3, 3));
}

TEST_F(CountTest, DeepTreesAreWalkedToTheBottom)
{
    std::string path = "deep";
    for (int level = 0; level < 80; ++level)
        path += "/l" + std::to_string(level);
    dir.Write(path + "/bottom", "xyz");
    dir.Write("deep/top", "ab");
    EXPECT_EQ(Count({dir / "deep/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs}), Totals(5, 2));
}

TEST_F(CountTest, TheArchiveItselfIsNeverCounted)
{
    dir.Write("w/archive.zip", std::string(40000, 'z'));
    dir.Write("w/file", "abc");
    z.SetZipFilename(dir / "w/archive.zip");
    EXPECT_EQ(Count({dir / "w/*.*"}), Totals(3, 1));
    // Named in another letter case it is another file name.
    z.SetZipFilename(dir / "w/ARCHIVE.zip");
    EXPECT_EQ(Count({dir / "w/*.*"}), Totals(40003, 2));

    // Relative names are taken from the current folder on both sides.
    const std::string before = platform::GetCurrentDir();
    ASSERT_TRUE(platform::SetCurrentDir(dir / "w"));
    z.SetZipFilename("archive.zip");
    EXPECT_EQ(Count({"*.*"}), Totals(3, 1));
    platform::SetCurrentDir(before);
}

TEST_F(CountTest, LargeFilesSaturateTheTotalWhileStepsFollowTheRealSize)
{
    // Two sparse files of 3 GiB: 6 GiB in all, which 32 bits cannot hold.
    for (const char* name : {"big/one.img", "big/two.img"}) {
        const std::string path = dir.Write(name, "");
        ASSERT_EQ(::truncate(path.c_str(), 3LL << 30), 0);
    }
    const std::int32_t steps3GiB = static_cast<std::int32_t>((3LL << 30) / 32768);  // 98,304
    EXPECT_EQ(Count({dir / "big/one.img"}), Totals(INT32_MAX, steps3GiB));
    EXPECT_EQ(Count({dir / "big/*.*"}), Totals(INT32_MAX, 2 * steps3GiB));
    std::int64_t steps = 0;
    EXPECT_EQ(z.CountAddFiles64(steps), 6LL << 30);
    EXPECT_EQ(steps, 2 * steps3GiB);
}
