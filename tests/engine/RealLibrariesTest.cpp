// The archive component with the real libraries: every operation end to
// end, progress that matches the count made beforehand, a cancelled add
// that leaves the archive as it was, adding to a new program name, and a
// lock held by another program for too long.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PeerCheck.h"
#include "RecordingUiServices.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "engine/LibraryState.h"
#include "engine/ZipMstr.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

using namespace engine;

namespace {

using fixture::ReadFile;

class RealLibraries : public ::testing::Test {
protected:
    RealLibraries() : scope(ui)
    {
        z.Unattended = true;
        z.SetDLLDirectory(FERNPACK_BIN);
        z.OnMessage = [this](TObject*, std::int32_t code, const std::string& text) {
            if (code > 0)
                errors.push_back(std::to_string(code) + " " + text);
        };
        z.OnProgress = [this](TObject*, ProgressType type, const std::string&, std::int32_t) {
            if (type == ProgressType::FileBegin)
                ++begins;
            else if (type == ProgressType::FileStep)
                ++steps;
            else
                ++ends;
            if (cancelAtStep > 0 && steps == cancelAtStep)
                z.CancelRequested = true;
        };
        src = dir / "src";
        dir.Write("src/small.txt", "small\n");
        dir.Write("src/sub/big.bin", std::string(200000, 'b') + std::string(70000, 'c'));
        dir.Write("src/sub/inner/empty", "");
        dir.Write("src/.hidden", "h");
    }
    ~RealLibraries() override
    {
        z.UnloadZipLibrary();
        z.UnloadUnzLibrary();
        platform::SetCurrentDir(start);
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& e : z.Entries)
            names.push_back(e->FileName);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> FolderContents(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fixture::RecordingUiServices ui;
    platform::ScopedUi scope;
    fixture::TempDir dir;
    std::string src;
    std::string start = platform::GetCurrentDir();
    TRezEdidiv z;
    std::vector<std::string> errors;
    int begins = 0, steps = 0, ends = 0, cancelAtStep = 0;
};

}  // namespace

TEST_F(RealLibraries, AddListExtractDeleteTest)
{
    z.SetZipFilename(dir / "a.zip");
    z.AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs};
    z.FSpecArgs() = {src + "/*.*"};
    std::int32_t predicted = 0;
    const std::int32_t bytes = z.CountAddFiles(predicted);
    EXPECT_EQ(bytes, 6 + 270000);
    EXPECT_EQ(predicted, 1 + 8 + 1);
    z.AddFiles();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(z.ProcessedCount, 3);
    EXPECT_EQ(steps, predicted);
    EXPECT_EQ(begins, 3);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"big.bin", "empty", "small.txt"}));  // no folder names
    EXPECT_EQ(fixture::PeerCheck(dir / "a.zip"), "");

    // Again with folder names, into another archive.
    z.SetZipFilename(dir / "b.zip");
    z.AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddDirNames};
    z.FSpecArgs() = {src + "/*.*"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 3);
    const std::string prefix = src.substr(1) + "/";
    EXPECT_EQ(Names(), (std::vector<std::string>{prefix + "small.txt", prefix + "sub/big.bin", prefix + "sub/inner/empty"}));

    // Extract everything with folders, then one member without.
    z.ExtrBaseDir = dir / "out";
    std::filesystem::create_directories(z.ExtrBaseDir);
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrDirNames};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 3);
    EXPECT_EQ(ReadFile(dir / ("out/" + prefix + "sub/big.bin")), ReadFile(src + "/sub/big.bin"));
    z.ExtrOptions = ExtrOpts{};
    z.FSpecArgs() = {prefix + "small.txt"};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(ReadFile(dir / "out/small.txt"), "small\n");

    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.FSpecArgs() = {"*.*"};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, z.EntryCount());

    z.FSpecArgs() = {prefix + "sub/big.bin"};
    z.DeleteFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(z.EntryCount(), 2);
    EXPECT_EQ(fixture::PeerCheck(dir / "b.zip"), "");
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(RealLibraries, EncryptedAddExtractsOnlyWithThePassword)
{
    z.SetZipFilename(dir / "enc.zip");
    z.AddOptions = AddOpts{AddOptsEnum::AddEncrypt};
    z.SetPassword("pass word");
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 1) << (errors.empty() ? "" : errors.front());
    EXPECT_EQ(ReadFile(dir / "enc.zip").find("small\n"), std::string::npos);  // never in clear
    EXPECT_EQ(fixture::PeerCheck(dir / "enc.zip", "pass word"), "");

    z.SetPassword("wrong");
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_FALSE(errors.empty());
    z.SetPassword("pass word");
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
}

TEST_F(RealLibraries, CancelledAddLeavesTheArchiveByteForByte)
{
    z.SetZipFilename(dir / "keep.zip");
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 1);
    const std::string before = ReadFile(dir / "keep.zip");
    const auto folder = FolderContents(dir.Path());

    for (int at : {1, 3, 8}) {
        steps = 0;
        cancelAtStep = at;
        z.AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs};
        z.FSpecArgs() = {src + "/*.*"};
        z.AddFiles();
        EXPECT_EQ(z.ProcessedCount, 0) << at;
        EXPECT_EQ(ReadFile(dir / "keep.zip"), before) << at;
        EXPECT_EQ(FolderContents(dir.Path()), folder) << at;  // no stray temporary files
        EXPECT_FALSE(z.CancelRequested);
    }
}

TEST_F(RealLibraries, AddingToANewProgramNameMakesAStubFirst)
{
    z.SFXPath = dir.Write("stub/ZIPSFX.BIN", std::string(5000, 'S'));
    const std::string exe = dir / "new.exe";
    z.SetZipFilename(exe);
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 1) << (errors.empty() ? "" : errors.front());
    const std::string program = ReadFile(exe);
    EXPECT_EQ(program.substr(0, 5000), std::string(5000, 'S'));
    EXPECT_EQ(program.substr(5000, 3), "MPU");
    EXPECT_EQ(z.FirstHeaderOffset, 5256);
    EXPECT_EQ(Names(), std::vector<std::string>{"small.txt"});

    z.ExtrBaseDir = dir / "sfxout";
    std::filesystem::create_directories(z.ExtrBaseDir);
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(ReadFile(dir / "sfxout/small.txt"), "small\n");

    // An existing program gets no second stub.
    z.FSpecArgs() = {src + "/sub/big.bin"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(ReadFile(exe).substr(0, 5003), std::string(5000, 'S') + "MPU");
    EXPECT_EQ(z.EntryCount(), 2);
}

TEST_F(RealLibraries, LibrarySelectsExactlyWhatWasCounted)
{
    dir.Write("tree/plain", std::string(70000, 'p'));
    dir.Write("tree/.hidden", "h");
    dir.Write("tree/.dotdir/inside.txt", "i");
    dir.Write("tree/x.txt/b.txt", std::string(40000, 'b'));
    dir.Write("tree/plain-dir/c.txt", "c");
    dir.Write("elsewhere/target", "t");
    dir.Write("elsewhere/folder/f", "f");
    ASSERT_EQ(::symlink((dir / "elsewhere/target").c_str(), (dir / "tree/link-to-file").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "elsewhere/folder").c_str(), (dir / "tree/link-to-folder").c_str()), 0);
    ASSERT_EQ(::mkfifo((dir / "tree/pipe").c_str(), 0644), 0);

    // Every entry named on its own (looked up, not listed); those that are
    // no files match nothing and say so.
    std::vector<std::string> named;
    for (const char* name : {"plain", ".hidden", ".dotdir", "x.txt", "plain-dir", "link-to-file", "link-to-folder",
                             "pipe"})
        named.push_back(dir / (std::string("tree/") + name));
    const std::vector<std::pair<std::vector<std::string>, AddOpts>> cases = {
        {{dir / "tree/*.*"}, AddOpts{}},
        {{dir / "tree/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs}},
        {{dir / "tree/*.*"}, AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddHiddenFiles}},
        {{dir / "tree/*.txt"}, AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddDirNames}},
        {named, AddOpts{AddOptsEnum::AddDirNames}},
        {named, AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddHiddenFiles, AddOptsEnum::AddDirNames}},
    };
    int n = 0;
    for (const auto& [specs, options] : cases) {
        z.SetZipFilename(dir / ("sel" + std::to_string(n++) + ".zip"));
        z.AddOptions = options;
        z.FSpecArgs() = specs;
        std::int32_t predicted = 0;
        z.CountAddFiles(predicted);
        steps = begins = 0;
        z.AddFiles();
        EXPECT_EQ(steps, predicted) << n << " " << options.Bits();
        EXPECT_EQ(begins, z.ProcessedCount) << n << " " << options.Bits();
    }
    for (const auto& error : errors)
        EXPECT_EQ(error.substr(0, 3), "21 ") << error;
}

TEST_F(RealLibraries, AnEmptyPatternAddsNothingAndSaysSo)
{
    ASSERT_TRUE(platform::SetCurrentDir(src));
    z.SetZipFilename(dir / "e.zip");
    z.AddOptions = AddOpts{AddOptsEnum::AddMove, AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddHiddenFiles};
    z.FSpecArgs() = {""};
    std::int32_t predicted = -1;
    EXPECT_EQ(z.CountAddFiles(predicted), 0);
    EXPECT_EQ(predicted, 0);
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_EQ(errors, std::vector<std::string>{"21 An empty pattern names no files"});
    // Nothing was moved: the current folder is as it was.
    EXPECT_EQ(FolderContents(src), (std::vector<std::string>{".hidden", "small.txt", "sub"}));
    EXPECT_FALSE(platform::FileExists(dir / "e.zip"));
}

TEST_F(RealLibraries, AnAddToANewProgramThatAddsNothingLeavesNoProgram)
{
    z.SFXPath = dir.Write("stub/ZIPSFX.BIN", std::string(5000, 'S'));
    const std::string exe = dir / "new.exe";
    z.SetZipFilename(exe);
    z.FSpecArgs() = {src + "/nothing-here.*"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_FALSE(platform::FileExists(exe));

    // A program that was there before stays, even when nothing is added.
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 1);
    z.FSpecArgs() = {src + "/nothing-here.*"};
    z.AddFiles();
    EXPECT_TRUE(platform::FileExists(exe));
    EXPECT_EQ(z.EntryCount(), 1);
}

namespace {

// A folder below `base` whose path is `length` bytes long (parts of at most
// 200 bytes, as a file system's names allow).
std::string DeepFolder(const std::string& base, std::size_t length)
{
    std::string path = base;
    while (path.size() < length)
        path += "/" + std::string(std::min<std::size_t>(200, length - path.size() - 1), 'd');
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace

TEST_F(RealLibraries, PathsOfAnyLegalLengthReachTheLibrariesWhole)
{
    for (const std::size_t length : {300u, 4000u}) {
        SCOPED_TRACE(length);
        const std::string deep = DeepFolder(dir / ("l" + std::to_string(length)), length - 8);
        const std::string archive = deep + "/a.zip";
        ASSERT_EQ(archive.size(), length - 2);
        const std::string relative = deep.substr(dir.Path().size() + 1);
        dir.Write(relative + "/f.txt", "content");
        dir.Write(relative + "/g.txt", "more");

        z.SetZipFilename(archive);
        z.FSpecArgs() = {deep + "/f.txt", deep + "/g.txt"};
        z.AddFiles();
        EXPECT_EQ(z.ProcessedCount, 2);
        EXPECT_EQ(Names(), (std::vector<std::string>{"f.txt", "g.txt"}));
        EXPECT_TRUE(platform::FileExists(archive));

        z.ExtrBaseDir = DeepFolder(deep, length + 60);
        z.ExtractFiles();
        EXPECT_EQ(z.ProcessedCount, 2);
        EXPECT_EQ(ReadFile(z.ExtrBaseDir + "/f.txt"), "content");

        z.FSpecArgs() = {"f.txt"};
        z.DeleteFiles();
        EXPECT_EQ(z.ProcessedCount, 1);
        EXPECT_EQ(Names(), std::vector<std::string>{"g.txt"});
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    // One byte past what the buffers hold is refused before any call.
    const std::string tooLong = DeepFolder(dir / "over", 4090) + "/" + std::string(5, 'x');
    ASSERT_EQ(tooLong.size(), 4096u);
    begins = 0;
    z.SetZipFilename(tooLong);
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 0);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors.front(), "103 Error - file name or pattern too long: " + tooLong);
    EXPECT_EQ(begins, 0);
}

TEST_F(RealLibraries, AddRunFromAFolderMoreThan255BytesDeep)
{
    const std::string deep = DeepFolder(dir / "deep", 400);
    dir.Write(deep.substr(dir.Path().size() + 1) + "/sub/f.txt", "deep content");
    ASSERT_TRUE(platform::SetCurrentDir(deep));
    z.SetZipFilename("here.zip");
    z.AddOptions = AddOpts{AddOptsEnum::AddRecurseDirs, AddOptsEnum::AddDirNames};
    z.FSpecArgs() = {"sub/*.*"};
    z.AddFiles();
    EXPECT_EQ(z.ProcessedCount, 1);
    EXPECT_EQ(Names(), std::vector<std::string>{"sub/f.txt"});
    EXPECT_TRUE(platform::FileExists(deep + "/here.zip"));
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(RealLibraries, ListingAndLibrariesCountTheSameMembers)
{
    // Streamed members around a stored archive, a wrapped member count
    // (65,540 members, no Zip64 records): the grid's count is the count the
    // library tests.
    const std::string inner = fixture::ZipBuilder().Add(fixture::Stored("inner.txt", "x")).Finish().Bytes();
    fixture::ZipBuilder many;
    many.Add(fixture::Streamed("stored.zip", inner)).Add(fixture::Streamed("s.txt", "streamed"));
    for (int i = 0; i < 65538; ++i)
        many.Add(fixture::Stored("m" + std::to_string(i), ""));
    z.SetZipFilename(dir.Write("many.zip", many.Finish().Bytes()));
    EXPECT_EQ(z.EntryCount(), 65540);
    z.ExtrOptions = ExtrOpts{ExtrOptsEnum::ExtrTest};
    z.FSpecArgs() = {"*.*"};
    z.ExtractFiles();
    EXPECT_EQ(z.ProcessedCount, z.EntryCount());
    EXPECT_TRUE(errors.empty()) << errors.front();
}

TEST_F(RealLibraries, ADeleteWaitsForAnotherProgramsLockWithinBoundsAndSaysWhy)
{
    // What the window's Delete runs, while another program keeps a shared
    // lock on the archive for longer than any wait: the library gives up
    // after its bound (10 s) with the reason, the archive is as it was and
    // nothing is counted.
    z.SetZipFilename(dir / "held.zip");
    z.AddOptions = AddOpts{};
    z.FSpecArgs() = {src + "/small.txt"};
    z.AddFiles();
    ASSERT_EQ(z.ProcessedCount, 1);
    const std::string before = ReadFile(dir / "held.zip");
    const int fd = ::open((dir / "held.zip").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    z.FSpecArgs() = {"small.txt"};
    z.DeleteFiles();
    ::close(fd);
    EXPECT_EQ(z.ProcessedCount, 0);
    EXPECT_EQ(errors, std::vector<std::string>{"2 Cannot open " + (dir / "held.zip") +
                                               ": another program holds a lock on it (waited 10 seconds)"});
    EXPECT_TRUE(ReadFile(dir / "held.zip") == before);
    EXPECT_EQ(z.EntryCount(), 1);
}
