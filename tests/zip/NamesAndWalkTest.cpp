// The file selection walk.
#include <gtest/gtest.h>

#include "zipformat/Wildcards.h"

#include <algorithm>
#include <filesystem>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "TempDir.h"
#include "libs/zipwriter/SourceWalk.h"

using namespace zipwriter;
using fernpack::MatchesMask;

TEST(SourceWalk, MasksFollowTheEngineRules)
{
    EXPECT_TRUE(MatchesMask("noext", "*.*"));
    EXPECT_TRUE(MatchesMask(".hidden", "*"));
    EXPECT_TRUE(MatchesMask("a.txt", "*.txt"));
    EXPECT_FALSE(MatchesMask("a.TXT", "*.txt"));
    EXPECT_TRUE(MatchesMask("ab", "a?"));
    EXPECT_FALSE(MatchesMask("abc", "a?"));
    std::string dir, mask;
    SplitSpec("/x/y/*.c", &dir, &mask);
    EXPECT_EQ(dir, "/x/y");
    EXPECT_EQ(mask, "*.c");
    SplitSpec("/f", &dir, &mask);
    EXPECT_EQ(dir, "/");
    SplitSpec("f*", &dir, &mask);
    EXPECT_EQ(dir, "");
    EXPECT_EQ(mask, "f*");
}

namespace {

std::vector<std::string> Names(const WalkResult& result)
{
    std::vector<std::string> out;
    for (const auto& f : result.files)
        out.push_back(f.namePath);
    return out;
}

}  // namespace

TEST(SourceWalk, SelectsAsTheFileCountDoes)
{
    fixture::TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.dat", "bb");
    dir.Write(".hidden.txt", "h");
    dir.Write("sub/c.txt", "c");
    dir.Write("sub/deeper/d.txt", "d");
    dir.Write(".hdir/e.txt", "e");     // hidden folders are entered
    dir.Write("x.txt/f.txt", "f");     // a folder matching *.txt
    std::filesystem::create_directories(dir / "empty/inner");
    std::filesystem::create_symlink(dir / "a.txt", dir / "link.txt");
    std::filesystem::create_symlink(dir / "sub", dir / "linkdir");
    std::filesystem::create_symlink(dir / "missing", dir / "dangling.txt");
    mkfifo((dir / "fifo.txt").c_str(), 0600);

    WalkOptions plain;
    auto flat = SelectFiles(dir / "*.txt", plain);
    EXPECT_EQ(Names(flat), (std::vector<std::string>{dir / "a.txt", dir / "link.txt"}));
    EXPECT_EQ(flat.files[1].size, 1u);  // the link counts as its target

    WalkOptions hidden;
    hidden.hidden = true;
    EXPECT_EQ(SelectFiles(dir / "*.txt", hidden).files.size(), 3u);

    WalkOptions recurse;
    recurse.recurse = true;
    // Only x.txt matches the mask as a folder; its files come first.
    EXPECT_EQ(Names(SelectFiles(dir / "*.txt", recurse)),
              (std::vector<std::string>{dir / "x.txt/f.txt", dir / "a.txt", dir / "link.txt"}));
    auto all = Names(SelectFiles(dir / "*.*", recurse));
    std::vector<std::string> expected{dir / ".hdir/e.txt", dir / "sub/deeper/d.txt", dir / "sub/c.txt",
                                      dir / "x.txt/f.txt", dir / "a.txt", dir / "b.dat", dir / "link.txt"};
    EXPECT_EQ(all, expected);

    recurse.emptyFolders = true;
    auto withFolders = SelectFiles(dir / "*", recurse);
    auto folders = std::count_if(withFolders.files.begin(), withFolders.files.end(),
                                 [](const SourceFile& f) { return f.isDirectory; });
    EXPECT_EQ(folders, 1);  // empty/inner only; "empty" holds it
    EXPECT_EQ(withFolders.files[1].namePath, dir / "empty/inner/");

    // A name without wildcards is looked up, not listed, with the same
    // result as a listing that matches just that name; several patterns
    // share one listing of their folder.
    FolderListings listings;
    std::vector<std::string> named;
    for (const char* name : {"a.txt", "link.txt", ".hidden.txt", "dangling.txt", "fifo.txt", "linkdir", "sub", "none",
                             ".", ".."})
        for (const auto& f : SelectFiles(dir / name, hidden, &listings).files)
            named.push_back(f.namePath);
    EXPECT_EQ(named, (std::vector<std::string>{dir / "a.txt", dir / "link.txt", dir / ".hidden.txt"}));
    dir.Write("x.txt/x.txt", "x");  // recursion by name enters folders of that name
    WalkOptions deep;
    deep.recurse = true;
    EXPECT_EQ(Names(SelectFiles(dir / "x.txt", deep, &listings)), (std::vector<std::string>{dir / "x.txt/x.txt"}));
    EXPECT_EQ(Names(SelectFiles(dir / "*.dat", plain, &listings)), (std::vector<std::string>{dir / "b.dat"}));
    // A missing folder is a problem to report, named or listed.
    EXPECT_EQ(SelectFiles(dir / "gone/a.txt", plain, &listings).problems.size(), 1u);
    EXPECT_EQ(SelectFiles(dir / "a.txt/b", plain, &listings).problems.size(), 1u);
    // An empty pattern, or one that ends in '/', names nothing.
    EXPECT_TRUE(SelectFiles("", hidden, &listings).files.empty());
    EXPECT_TRUE(SelectFiles(dir.Path() + "/", hidden, &listings).files.empty());
}

TEST(SourceWalk, NeverTakesTheArchiveItself)
{
    fixture::TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("out.zip", "PK");
    dir.Write(".fernpack-0123456789abcdef.tmp", "temp");
    WalkOptions options;
    options.hidden = true;
    options.archivePath = dir / "out.zip";
    EXPECT_EQ(Names(SelectFiles(dir / "*", options)), (std::vector<std::string>{dir / "a.txt"}));
    // Another spelling of the same file is caught by its identity.
    options.archivePath = dir.Path() + "/./out.zip";
    EXPECT_EQ(SelectFiles(dir / "*", options).files.size(), 1u);
    // A relative pattern lists the current folder and keeps relative names.
    char saved[4096];
    ASSERT_TRUE(getcwd(saved, sizeof(saved)));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    options.archivePath = "out.zip";
    auto relative = SelectFiles("*", options);
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(Names(relative), (std::vector<std::string>{"a.txt"}));
}

// Pieces of a file deflated apart and joined must inflate as one stream,
// whatever blocks libdeflate chose (stored ones for noise included).
#include <fcntl.h>
#include <zlib.h>

#include "ZipHarness.h"
#include "libs/zipwriter/Compressor.h"

TEST(Compressor, JoinedPiecesFormOneDeflateStream)
{
    fixture::TempDir dir;
    std::string data = ziptest::TextData(300000, 61) + ziptest::NoiseData(150000, 62) + std::string(70000, 'z') +
                       ziptest::TextData(12345, 63);
    std::string path = dir.Write("piece.bin", data);
    for (int level : {1, 6, 12}) {
        for (std::uint64_t piece : {65536ull, 100000ull, 1000000ull}) {
            SCOPED_TRACE(std::to_string(level) + "/" + std::to_string(piece));
            auto source = std::make_shared<SourceHandle>(open(path.c_str(), O_RDONLY));
            std::string joined;
            std::uint32_t crc = 0;
            for (std::uint64_t at = 0; at < data.size(); at += piece) {
                CompressJob job;
                job.source = source;
                job.offset = at;
                job.length = std::min<std::uint64_t>(piece, data.size() - at);
                job.whole = false;
                job.last = at + job.length == data.size();
                job.level = level;
                RunJob(job);
                ASSERT_TRUE(job.ok) << job.error;
                joined.append(job.output.begin(), job.output.end());
                crc = at == 0 ? job.crc : CombineCrc(crc, job.crc, job.length);
            }
            EXPECT_EQ(crc, std::uint32_t(::crc32(0, reinterpret_cast<const Bytef*>(data.data()), data.size())));
            std::string out(data.size() + 16, '\0');
            z_stream zs{};
            ASSERT_EQ(inflateInit2(&zs, -15), Z_OK);
            zs.next_in = reinterpret_cast<Bytef*>(joined.data());
            zs.avail_in = uInt(joined.size());
            zs.next_out = reinterpret_cast<Bytef*>(out.data());
            zs.avail_out = uInt(out.size());
            EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
            EXPECT_EQ(zs.total_out, data.size());
            EXPECT_EQ(zs.avail_in, 0u);
            inflateEnd(&zs);
            out.resize(data.size());
            EXPECT_TRUE(out == data);
        }
    }
}

// A worker reuses its buffers from job to job, larger and smaller, stored
// and deflated, whole files and pieces: nothing of an earlier job may show
// in a later one's output.
TEST(Compressor, ReusedBuffersGiveWhatFreshOnesGive)
{
    fixture::TempDir dir;
    const std::string text = ziptest::TextData(1500000, 71);
    const std::string noise = ziptest::NoiseData(400000, 72);
    const std::string small = ziptest::TextData(3000, 73);
    auto source = [&](const std::string& name, const std::string& data) {
        return std::make_shared<SourceHandle>(open(dir.Write(name, data).c_str(), O_RDONLY));
    };
    auto big = source("big.txt", text), noisy = source("noise.bin", noise), tiny = source("small.txt", small),
         empty = source("empty", "");
    struct Step {
        std::shared_ptr<SourceHandle> source;
        std::uint64_t offset, length;
        bool whole, last;
    };
    const std::vector<Step> steps = {
        {big, 0, 1000000, false, false}, {tiny, 0, small.size(), true, true},  {noisy, 0, noise.size(), true, true},
        {empty, 0, 0, true, true},       {big, 1000000, 500000, false, true}, {tiny, 0, small.size(), true, true},
        {noisy, 0, 300000, false, false}, {big, 0, text.size(), true, true},  {tiny, 1000, 2000, false, true},
    };
    WorkerScratch scratch;
    for (int level : {1, 9}) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE(std::to_string(level) + "/" + std::to_string(i));
            auto make = [&] {
                CompressJob job;
                job.source = steps[i].source;
                job.offset = steps[i].offset;
                job.length = steps[i].length;
                job.whole = steps[i].whole;
                job.last = steps[i].last;
                job.level = level;
                return job;
            };
            CompressJob reused = make(), fresh = make();
            RunJob(reused, scratch);
            RunJob(fresh);
            ASSERT_TRUE(reused.ok) << reused.error;
            ASSERT_TRUE(fresh.ok) << fresh.error;
            EXPECT_EQ(reused.crc, fresh.crc);
            EXPECT_EQ(reused.stored, fresh.stored);
            EXPECT_TRUE(reused.output == fresh.output);
        }
    }
}
