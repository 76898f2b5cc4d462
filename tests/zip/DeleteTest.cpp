// Deleting members through ZIPDLL.DLL.
#include <gtest/gtest.h>

#include <filesystem>

#include "PeerCheck.h"
#include "TempDir.h"
#include "ZipHarness.h"

using namespace ziptest;
using fixture::ReadFile;
using fixture::TempDir;

namespace {

std::string MakeArchive(const TempDir& dir, const std::vector<std::pair<std::string, std::string>>& members)
{
    std::string script = "import sys,zipfile\nz=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED)\n";
    for (const auto& [name, data] : members)
        script += "z.writestr(" + Quote(name) + "," + Quote(data) + ")\n";
    script += "z.close()\n";
    dir.Write("make.py", script);
    std::string archive = dir / "d.zip";
    fixture::RunCommand("python3 " + Quote(dir / "make.py") + " " + Quote(archive));
    return archive;
}

int Delete(const std::string& archive, const std::vector<std::string>& specs, CallLog* log = nullptr)
{
    ZipCall call{archive, specs};
    call.remove = true;
    return RunZip(call, log);
}

}  // namespace

TEST(ZipDllDelete, SelectsLikeTheExtractionLibrary)
{
    TempDir dir;
    std::string archive = MakeArchive(dir, {{"a*b", "1"},
                                            {"axxb", "2"},
                                            {"dir/x.txt", "3"},
                                            {"dir/y.TXT", "4"},
                                            {"top.txt", "5"},
                                            {"noext", "6"}});
    // An exact name wins over its own wildcards: "a*b" takes only itself.
    EXPECT_EQ(Delete(archive, {"a*b"}), 1);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"axxb", "dir/x.txt", "dir/y.TXT", "top.txt", "noext"}));
    // Case-sensitive, and '*' runs over '/'.
    CallLog log;
    EXPECT_EQ(Delete(archive, {"*.txt", "missing.doc"}, &log), 2);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"axxb", "dir/y.TXT", "noext"}));
    EXPECT_TRUE(log.HasMessage("missing.doc"));
    EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 2);
    EXPECT_EQ(fixture::PeerCheck(archive), "");

    // Nothing matched: no change, count 0.
    std::string before = ReadFile(archive);
    EXPECT_EQ(Delete(archive, {"nothing*"}), 0);
    EXPECT_EQ(ReadFile(archive), before);

    // Everything: a valid empty archive.
    EXPECT_EQ(Delete(archive, {"*.*"}), 3);
    EXPECT_TRUE(PythonTestOk(archive));
    EXPECT_TRUE(PythonNames(archive).empty() || PythonNames(archive) == std::vector<std::string>{""});
    EXPECT_EQ(std::filesystem::file_size(archive), 22u);
}

TEST(ZipDllDelete, RefusesMissingOrDamagedArchives)
{
    TempDir dir;
    CallLog log;
    EXPECT_EQ(Delete(dir / "none.zip", {"x"}, &log), 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.zip"));
    EXPECT_FALSE(log.Messages(true).empty());

    std::string junk = dir.Write("junk.zip", "this is not an archive at all, just text");
    CallLog damaged;
    EXPECT_EQ(Delete(junk, {"x"}, &damaged), 0);
    EXPECT_EQ(ReadFile(junk), "this is not an archive at all, just text");
    EXPECT_FALSE(damaged.Messages(true).empty());
    // Adding to it is refused as well: a file that is not an archive is never overwritten.
    dir.Write("f.txt", "f");
    EXPECT_EQ(RunZip({junk, {dir / "f.txt"}}), 0);
    EXPECT_EQ(ReadFile(junk), "this is not an archive at all, just text");
}

TEST(ZipDllDelete, RoundTripThroughTheExtractionLibrary)
{
    TempDir dir;
    dir.Write("s/one.txt", TextData(50000, 31));
    dir.Write("s/two.txt", TextData(10, 32));
    dir.Write("s/three.bin", NoiseData(3000, 33));
    std::string archive = dir / "r.zip";
    ZipCall add{archive, {dir / "s/*"}};
    add.dirNames = false;
    ASSERT_EQ(RunZip(add), 3);
    EXPECT_EQ(Delete(archive, {"two.txt"}), 1);
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 2);
    EXPECT_EQ(ReadFile(out / "one.txt"), TextData(50000, 31));
    EXPECT_EQ(ReadFile(out / "three.bin"), NoiseData(3000, 33));
    EXPECT_FALSE(std::filesystem::exists(out / "two.txt"));
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

// Damaged archives never make the writer read outside the file: every
// truncation and many byte flips of a real archive are either refused or
// copied member by member.
#include <fcntl.h>
#include <unistd.h>

#include "libs/zipwriter/ExistingArchive.h"
#include "libs/zipwriter/MemberCopy.h"

TEST(ExistingArchive, DamagedInputIsRefusedOrCopiedSafely)
{
    TempDir dir;
    std::string script =
        "import sys,zipfile\n"
        "with zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED) as z:\n"
        "  z.writestr('a.txt','alpha'*50); z.writestr('dir/b.txt','beta'); z.comment=b'c'\n";
    dir.Write("mk.py", script);
    std::string archive = dir / "f.zip";
    ASSERT_EQ(fixture::RunCommand("python3 " + Quote(dir / "mk.py") + " " + Quote(archive)), 0);
    // And one whose members use data descriptors.
    dir.Write("b.txt", "bbb");
    std::string streamed = dir / "s.zip";
    fixture::RunCommand("cd " + Quote(dir.Path()) + " && zip -q - b.txt mk.py | cat > " + Quote(streamed));
    int sink = open("/dev/null", O_WRONLY);
    ASSERT_GE(sink, 0);
    for (const auto& path : {archive, streamed}) {
        const std::string original = ReadFile(path);
        std::uint64_t x = 88172645463325252ull;
        auto tryBytes = [&](const std::string& bytes) {
            // A private copy of exactly the damaged length, so ASan sees any overrun.
            std::vector<std::uint8_t> copy(bytes.begin(), bytes.end());
            zipwriter::ExistingArchive existing;
            std::string error;
            if (!existing.Open(copy.data(), copy.size(), &error))
                return;
            zipwriter::OutputFile out(sink, nullptr);
            for (std::size_t i = 0; i < existing.Entries().size(); ++i) {
                std::string central;
                zipwriter::CopyMember(existing, i, out, existing.ArchiveStart(), -1, &central);
            }
        };
        for (std::size_t cut = 0; cut <= original.size(); ++cut)
            tryBytes(original.substr(0, cut));
        for (int round = 0; round < 3000; ++round) {
            std::string bytes = original;
            for (int flips = 0; flips < 3; ++flips) {
                x ^= x << 13;
                x ^= x >> 7;
                x ^= x << 17;
                bytes[x % bytes.size()] = char(x >> 40);
            }
            tryBytes(bytes);
        }
    }
    close(sink);
}
