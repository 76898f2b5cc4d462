// What ZIPDLL.DLL must not do, whatever it is asked: promise UTF-8 over a
// name that is not UTF-8, change an archive its user may not write, or
// delete a moved source that changed while it was read.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "OtherUser.h"
#include "PeerCheck.h"
#include "TempDir.h"
#include "ZipHarness.h"
#include "libs/zipwriter/ArchiveUpdate.h"

using namespace ziptest;
using fixture::ReadFile;
using fixture::TempDir;

namespace {

// "flag name-in-hex" for each member, from the central directory as
// Python's zipfile reads it (a name without the flag in code page 437).
std::set<std::string> FlagsAndNames(const std::string& archive)
{
    std::string out;
    fixture::RunCommand("python3 -c 'import sys, zipfile\n"
                        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
                        "  u = i.flag_bits & 0x800\n"
                        "  print(1 if u else 0, i.orig_filename.encode(\"utf-8\" if u else \"cp437\").hex())' " +
                            Quote(archive),
                        &out);
    std::set<std::string> lines;
    for (std::size_t at = 0, nl; (nl = out.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.insert(out.substr(at, nl - at));
    return lines;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes)
        hex += std::string{digits[c >> 4], digits[c & 15]};
    return hex;
}

}  // namespace

TEST(WriteRules, TheUtf8FlagOnlyOnNamesThatAreUtf8)
{
    TempDir dir;
    const struct {
        std::string name;
        bool flag;
    } files[] = {
        {"plain.txt", false},
        {"caf\xC3\xA9.txt", true},
        {"bad\xFF.txt", false},      // Latin-1, say: kept as it is, flag clear
        {"half\xC3.txt", false},     // a sequence cut short
        {"\xED\xA0\x80.txt", false},  // a surrogate
    };
    for (const auto& f : files)
        dir.Write("src/" + f.name, f.name);
    const std::string archive = dir / "names.zip";
    ZipCall call{archive, {dir / "src/*"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 5);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    const std::set<std::string> seen = FlagsAndNames(archive);
    for (const auto& f : files)
        EXPECT_EQ(seen.count(std::string(f.flag ? "1 " : "0 ") + Hex(f.name)), 1u) << f.name;
}

TEST(WriteRules, AnArchiveTheUserMayNotWriteIsLeftAsItIs)
{
    TempDir dir;
    fixture::OpenToEveryone(dir.Path());
    dir.Write("a.txt", "first");
    dir.Write("b.txt", "second");
    const std::string archive = dir / "ro.zip";
    ZipCall make{archive, {dir / "a.txt"}};
    make.dirNames = false;
    ASSERT_EQ(RunZip(make), 1);
    ASSERT_EQ(chmod(archive.c_str(), 0444), 0);
    const std::string before = ReadFile(archive);

    ZipCall add{archive, {dir / "b.txt"}};
    add.dirNames = false;
    ZipCall remove{archive, {"a.txt"}};
    remove.remove = true;
    for (const ZipCall* call : {&add, &remove}) {
        SCOPED_TRACE(call->remove ? "delete" : "add");
        CallLog log;
        int count = -1;
        {
            fixture::OtherUser user;
            if (!user.Reason().empty())
                GTEST_SKIP() << user.Reason();
            count = RunZip(*call, &log);
        }
        EXPECT_EQ(count, 0);
        EXPECT_TRUE(log.HasMessage("you may not write to it")) << testing::PrintToString(log.Messages());
        EXPECT_EQ(log.Messages(true).size(), 1u);
        EXPECT_TRUE(ReadFile(archive) == before);
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
    struct stat st;
    ASSERT_EQ(stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

// A moved file that grows, or is rewritten, while the add reads it holds
// bytes the archive does not: it stays, and the add says so with an error.
TEST(WriteRules, AMoveKeepsASourceThatChangedWhileItWasAdded)
{
    enum class Change { None, Grows, Touched };
    for (Change change : {Change::None, Change::Grows, Change::Touched}) {
        SCOPED_TRACE(static_cast<int>(change));
        TempDir dir;
        const std::string original = TextData(300000, 7);
        const std::string changing = dir.Write("src/changing.txt", original);
        const std::string steady = dir.Write("src/steady.txt", "steady");
        const std::string archive = dir / "moved.zip";
        CallLog log;
        log.onEvent = [&](const Event& e) {
            if (e.action != ZCB_FILE_BEGIN || e.text != "changing.txt")
                return;
            if (change == Change::Grows) {
                std::ofstream(changing, std::ios::app) << "twenty-one more bytes";
            } else if (change == Change::Touched) {
                const struct timespec times[2] = {{0, UTIME_OMIT}, {1500000000, 0}};
                utimensat(AT_FDCWD, changing.c_str(), times, 0);
            }
        };
        ZipCall call{archive, {dir / "src/*"}};
        call.dirNames = false;
        call.move = true;
        EXPECT_EQ(RunZip(call, &log), 2);
        EXPECT_FALSE(std::filesystem::exists(steady));
        EXPECT_EQ(std::filesystem::exists(changing), change != Change::None);
        const auto errors = log.Messages(true);
        if (change == Change::None) {
            EXPECT_TRUE(errors.empty()) << testing::PrintToString(errors);
        } else {
            const std::string kept = std::to_string(zipwriter::kSourceChanged) + ": Kept " + changing +
                                     ": it changed while it was added (the archive holds it as it was read)";
            EXPECT_EQ(errors, std::vector<std::string>{kept});
        }
        // The member holds the file as it was read.
        TempDir out;
        EXPECT_EQ(RunUnzip(archive, out.Path()), 2);
        EXPECT_TRUE(ReadFile(out / "changing.txt") == original);
        EXPECT_EQ(fixture::PeerCheck(archive), "");
    }
}
