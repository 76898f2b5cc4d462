// Standard input added as a member (ZIPDLL.h StdinOn, fernpack-cli add -):
// read to its end straight into the new archive, an input that ends in its
// first piece written as a whole file of known size, a longer one deflated
// piece by piece behind a Zip64 local header; a read error or a stop while
// waiting for input stores nothing and changes nothing.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "PeerCheck.h"
#include "TempDir.h"
#include "ZipHarness.h"
#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipwriter/ArchiveUpdate.h"

using namespace ziptest;
using fixture::ReadFile;
using fixture::TempDir;

namespace {

// True when the first local header's extra field starts with a Zip64 field.
bool FirstLocalHasZip64(const std::string& archive)
{
    const std::string bytes = ReadFile(archive);
    auto le16 = [&](std::size_t at) { return int(std::uint8_t(bytes[at])) | int(std::uint8_t(bytes[at + 1])) << 8; };
    return bytes.size() >= 34 && le16(28) >= 4 && bytes.size() >= 34u + le16(26) && le16(30 + le16(26)) == 1;
}

zipwriter::UpdateOptions StdinOptions(const std::string& archive, const std::string& name, int fd)
{
    zipwriter::UpdateOptions o;
    o.archivePath = archive;
    o.specs = {name};
    o.fromStdin = true;
    o.inputFd = fd;
    o.pieceSize = 64 * 1024;
    return o;
}

int AddFrom(const zipwriter::UpdateOptions& options, CallLog* log)
{
    zipcore::CallbackReporter reporter(&ziptest::RecordForTests, log);
    return zipwriter::AddFiles(options, reporter);
}

}  // namespace

TEST(ZipDllStdin, ShortAndLongInputsRoundTripAtEveryLevelAndEncrypted)
{
    TempDir dir;
    const std::string shortData = TextData(10000, 7);
    const std::string longData = TextData(300000, 8) + NoiseData(200000, 9);
    dir.Write("short", shortData);
    dir.Write("long", longData);
    struct Case {
        const char* input;
        int level;
        bool encrypt;
        bool zip64Local;  // a long input's sizes are not known before its data
    };
    for (const Case& c : {Case{"short", 6, false, false}, Case{"short", 0, false, false}, Case{"long", 6, false, true},
                          Case{"long", 0, false, true}, Case{"long", 9, true, true}, Case{"short", 1, true, false}}) {
        SCOPED_TRACE(std::string(c.input) + " level " + std::to_string(c.level) + (c.encrypt ? " encrypted" : ""));
        const std::string archive = dir / "in.zip";
        std::filesystem::remove(archive);
        const int fd = ::open((dir / c.input).c_str(), O_RDONLY);
        auto o = StdinOptions(archive, "folder/in.dat", fd);
        o.level = c.level;
        o.encrypt = c.encrypt;
        o.password = "pw";
        CallLog log;
        EXPECT_EQ(AddFrom(o, &log), 1);
        ::close(fd);
        EXPECT_TRUE(log.Messages(true).empty()) << log.Messages(true)[0];
        EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 1);
        // One step per 32,768 bytes, as for a file of that size.
        const std::string& data = std::string(c.input) == "short" ? shortData : longData;
        EXPECT_EQ(log.Count(ZCB_FILE_STEP), std::max<int>(1, int(data.size() / 32768)));
        EXPECT_EQ(FirstLocalHasZip64(archive), c.zip64Local);
        EXPECT_EQ(PythonNames(archive), std::vector<std::string>{"folder/in.dat"});
        const std::string out = dir / "out";
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        EXPECT_EQ(RunUnzip(archive, out, false, c.encrypt ? "pw" : ""), 1);
        EXPECT_TRUE(ReadFile(out + "/folder/in.dat") == data);
        EXPECT_EQ(fixture::PeerCheck(archive, c.encrypt ? "pw" : ""), "");
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
}

TEST(ZipDllStdin, ReplacesTheMemberOfItsNameInPlace)
{
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    const std::string archive = dir / "r.zip";
    ZipCall call{archive, {dir / "a.txt", dir / "b.txt"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 2);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ASSERT_EQ(::write(pipeFds[1], "new a", 5), 5);
    ::close(pipeFds[1]);
    CallLog log;
    EXPECT_EQ(AddFrom(StdinOptions(archive, "a.txt", pipeFds[0]), &log), 1);
    ::close(pipeFds[0]);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"a.txt", "b.txt"}));
    const std::string out = dir / "out";
    std::filesystem::create_directories(out);
    EXPECT_EQ(RunUnzip(archive, out), 2);
    EXPECT_EQ(ReadFile(out + "/a.txt"), "new a");
}

TEST(ZipDllStdin, AReadErrorOrAStopWhileWaitingStoresNothing)
{
    TempDir dir;
    dir.Write("a.txt", "a");
    const std::string archive = dir / "keep.zip";
    ZipCall call{archive, {dir / "a.txt"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 1);
    const std::string before = ReadFile(archive);

    // A folder cannot be read; a descriptor that is not open is no input.
    const int folder = ::open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    for (const auto& [fd, why] : {std::pair<int, std::string>{folder, "Is a directory"}, {987, "Bad file descriptor"}}) {
        SCOPED_TRACE(why);
        CallLog log;
        EXPECT_EQ(AddFrom(StdinOptions(archive, "in.txt", fd), &log), 0);
        EXPECT_EQ(log.Messages(true), std::vector<std::string>{"22: Skipped standard input: " + why});
        EXPECT_EQ(log.Count(ZCB_FILE_STEP), 0);  // how much was to come is unknown
        EXPECT_TRUE(ReadFile(archive) == before);
    }
    ::close(folder);

    // Input that never comes: the library asks now and then whether to go
    // on, and a no ends the add.
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    CallLog waiting;
    waiting.cancelAt = 3;
    EXPECT_EQ(AddFrom(StdinOptions(archive, "in.txt", pipeFds[0]), &waiting), 0);
    EXPECT_EQ(waiting.Count(ZCB_POLL), 3);
    EXPECT_EQ(waiting.callsAfterCancel, 0);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    EXPECT_TRUE(ReadFile(archive) == before);
    EXPECT_TRUE(StrayFiles(dir.Path()).empty());
}

TEST(ZipDllStdin, TheRecordGivesOneNameAndDescriptorZero)
{
    TempDir dir;
    const std::string archive = dir / "s.zip";
    dir.Write("input", "through the record\n");
    ZipCall two{archive, {"one", "two"}};
    two.fromStdin = true;
    CallLog refused;
    EXPECT_EQ(RunZip(two, &refused), 0);
    EXPECT_EQ(refused.Messages(true), std::vector<std::string>{"1: Standard input needs one name to be stored under"});

    const int input = ::open((dir / "input").c_str(), O_RDONLY);
    const int saved = ::dup(STDIN_FILENO);
    ::dup2(input, STDIN_FILENO);
    ZipCall one{archive, {"/lead/name.txt"}};
    one.fromStdin = true;
    CallLog log;
    const int added = RunZip(one, &log);
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);
    ::close(input);
    EXPECT_EQ(added, 1) << (log.Messages().empty() ? "" : log.Messages()[0]);
    EXPECT_EQ(PythonNames(archive), std::vector<std::string>{"lead/name.txt"});  // as any stored name is made
    const std::string out = dir / "out";
    std::filesystem::create_directories(out);
    EXPECT_EQ(RunUnzip(archive, out), 1);
    EXPECT_EQ(ReadFile(out + "/lead/name.txt"), "through the record\n");
}
