// Never losing a byte: cancels at every callback, injected write failures,
// self-extractor prefixes, the archive lock, size limits, Zip64 counts,
// archives whose members share their data.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "PeerCheck.h"
#include "TempDir.h"
#include "ZipFixture.h"
#include "ZipHarness.h"
#include "libs/zipcore/CallbackReporter.h"
#include "libs/zipwriter/ArchiveUpdate.h"
#include "platform/TemporaryFiles.h"

using namespace ziptest;
using fixture::ReadFile;
using fixture::TempDir;

namespace {

void MakeSources(const TempDir& dir)
{
    dir.Write("src/a.txt", TextData(70000, 41));
    dir.Write("src/b.bin", NoiseData(40000, 42));
    dir.Write("src/c.txt", TextData(100, 43));
    dir.Write("src/sub/d.txt", TextData(200000, 44));
}

std::string MakeBase(const TempDir& dir)
{
    dir.Write("base/old.txt", TextData(9000, 45));
    std::string archive = dir / "safe.zip";
    ZipCall call{archive, {dir / "base/old.txt"}};
    call.dirNames = false;
    EXPECT_EQ(RunZip(call), 1);
    return archive;
}

int32_t ZREC_CALL Quiet(CallbackRecord*) { return 0; }

}  // namespace

TEST(ZipDllSafety, CancelAtAnyCallbackLeavesTheArchiveAlone)
{
    TempDir dir;
    MakeSources(dir);
    std::string archive = MakeBase(dir);
    std::string original = ReadFile(archive);
    ZipCall call{archive, {dir / "src/*.*"}};
    call.recurse = true;
    call.verbose = true;
    CallLog full;
    // A dry count of the callbacks a whole add makes.
    std::string copy = dir / "copy.zip";
    std::filesystem::copy_file(archive, copy);
    ZipCall counting = call;
    counting.archive = copy;
    ASSERT_EQ(RunZip(counting, &full), 4);
    ASSERT_GT(full.calls, 12);
    for (int at = 1; at < full.calls; ++at) {
        SCOPED_TRACE(at);
        CallLog log;
        log.cancelAt = at;
        EXPECT_EQ(RunZip(call, &log), 0);
        EXPECT_EQ(log.callsAfterCancel, 0);
        EXPECT_TRUE(ReadFile(archive) == original);
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
    // Cancelling the creation of a new archive leaves no file at all.
    CallLog log;
    log.cancelAt = 3;
    ZipCall fresh = call;
    fresh.archive = dir / "fresh.zip";
    EXPECT_EQ(RunZip(fresh, &log), 0);
    EXPECT_FALSE(std::filesystem::exists(fresh.archive));
    // Cancelling a delete.
    CallLog del;
    del.cancelAt = 1;
    ZipCall remove{archive, {"old.txt"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove, &del), 0);
    EXPECT_TRUE(ReadFile(archive) == original);
}

TEST(ZipDllSafety, WriteFailuresLeaveTheArchiveAlone)
{
    TempDir dir;
    MakeSources(dir);
    std::string archive = MakeBase(dir);
    std::string original = ReadFile(archive);
    zipwriter::UpdateOptions options;
    options.archivePath = archive;
    options.specs = {dir / "src/*.*"};
    options.recurse = true;
    options.wholeFileLimit = 64 * 1024;  // d.txt goes in pieces
    options.pieceSize = 64 * 1024;
    // Fail the n-th write, for every n up to the number a full add makes.
    int writes = 0;
    {
        std::string copy = dir / "probe.zip";
        std::filesystem::copy_file(archive, copy);
        zipwriter::UpdateOptions probe = options;
        probe.archivePath = copy;
        probe.writeFault = [&](std::uint64_t, std::size_t) {
            ++writes;
            return false;
        };
        zipcore::CallbackReporter reporter(&Quiet, nullptr);
        ASSERT_EQ(zipwriter::AddFiles(probe, reporter), 4);
    }
    ASSERT_GT(writes, 1);
    for (int failAt = 1; failAt <= writes; ++failAt) {
        SCOPED_TRACE(failAt);
        int n = 0;
        options.writeFault = [&](std::uint64_t, std::size_t) { return ++n == failAt; };
        CallLog log;
        zipcore::CallbackReporter reporter(&ziptest::RecordForTests, &log);
        EXPECT_EQ(zipwriter::AddFiles(options, reporter), 0);
        EXPECT_TRUE(log.HasMessage("No space left on device"));
        EXPECT_TRUE(ReadFile(archive) == original);
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
    // A delete that cannot write changes nothing either.
    zipwriter::UpdateOptions remove;
    remove.archivePath = archive;
    remove.specs = {"old.txt"};
    remove.writeFault = [](std::uint64_t, std::size_t) { return true; };
    zipcore::CallbackReporter reporter(&Quiet, nullptr);
    EXPECT_EQ(zipwriter::DeleteMembers(remove, reporter), 0);
    EXPECT_TRUE(ReadFile(archive) == original);
}

TEST(ZipDllSafety, SelfExtractorPrefixIsKeptAndOffsetsStayRelative)
{
    TempDir dir;
    std::string stub = "MZ" + NoiseData(5000, 51);
    std::string header = "MPU" + std::string(253, '\0');
    dir.Write("in/one.txt", TextData(6000, 52));
    dir.Write("in/two.txt", TextData(300, 53));

    // A program holding an archive made apart from it (offsets relative).
    std::string plain = dir / "plain.zip";
    ZipCall first{plain, {dir / "in/one.txt"}};
    first.dirNames = false;
    ASSERT_EQ(RunZip(first), 1);
    std::string program = dir.Write("prog.exe", stub + header + ReadFile(plain));
    ZipCall more{program, {dir / "in/two.txt"}};
    more.dirNames = false;
    ASSERT_EQ(RunZip(more), 1);
    std::string bytes = ReadFile(program);
    ASSERT_EQ(bytes.substr(0, stub.size() + 256), stub + header);
    std::string cut = dir.Write("cut.zip", bytes.substr(stub.size() + 256));
    EXPECT_EQ(fixture::PeerCheck(cut), "");
    EXPECT_EQ(PythonNames(cut), (std::vector<std::string>{"one.txt", "two.txt"}));
    TempDir out;
    EXPECT_EQ(RunUnzip(program, out.Path()), 2);
    EXPECT_EQ(ReadFile(out / "two.txt"), TextData(300, 53));

    // A fresh program with the empty end record (directory offset 39,168).
    std::string empty = "PK\x05\x06" + std::string(12, '\0') + std::string("\x00\x99\x00\x00", 4) + std::string(2, '\0');
    std::string fresh = dir.Write("fresh.exe", stub + header + empty);
    ZipCall add{fresh, {dir / "in/*.txt"}};
    add.dirNames = false;
    ASSERT_EQ(RunZip(add), 2);
    bytes = ReadFile(fresh);
    ASSERT_EQ(bytes.substr(0, stub.size() + 256), stub + header);
    std::string cut2 = dir.Write("cut2.zip", bytes.substr(stub.size() + 256));
    EXPECT_EQ(fixture::PeerCheck(cut2), "");
    EXPECT_EQ(PythonNames(cut2), (std::vector<std::string>{"one.txt", "two.txt"}));
    // Deleting everything leaves the program with an empty archive.
    ZipCall remove{fresh, {"*"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove), 2);
    bytes = ReadFile(fresh);
    EXPECT_EQ(bytes.size(), stub.size() + 256 + 22);
    EXPECT_EQ(bytes.substr(0, stub.size() + 256), stub + header);
}

TEST(ZipDllSafety, WaitsForTheLockOfAnotherWriter)
{
    TempDir dir;
    std::string archive = MakeBase(dir);
    dir.Write("late.txt", "late");
    int fd = open(archive.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    std::atomic<int> result{-1};
    std::thread adder([&] {
        ZipCall call{archive, {dir / "late.txt"}};
        call.dirNames = false;
        result = RunZip(call);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(result.load(), -1);  // still waiting
    flock(fd, LOCK_UN);
    close(fd);
    adder.join();
    EXPECT_EQ(result.load(), 1);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"old.txt", "late.txt"}));
}

TEST(ZipDllSafety, ALockHeldForTooLongEndsTheWaitWithItsReason)
{
    // Any process that can read the archive can hold a lock on it for as
    // long as it likes: the wait ends, says why, and changes nothing. The
    // caller may also end it early (a cancel while the library waits).
    TempDir dir;
    std::string archive = MakeBase(dir);
    const std::string original = ReadFile(archive);
    dir.Write("late.txt", "late");
    int fd = open(archive.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_SH), 0);
    zipwriter::UpdateOptions add;
    add.archivePath = archive;
    add.specs = {dir / "late.txt"};
    add.lockWaitMs = 200;
    zipwriter::UpdateOptions remove = add;
    remove.specs = {"old.txt"};
    for (const bool deleting : {false, true}) {
        SCOPED_TRACE(deleting ? "delete" : "add");
        CallLog log;
        zipcore::CallbackReporter reporter(&ziptest::RecordForTests, &log);
        EXPECT_EQ(deleting ? zipwriter::DeleteMembers(remove, reporter) : zipwriter::AddFiles(add, reporter), 0);
        EXPECT_EQ(log.Messages(true),
                  std::vector<std::string>{"2: Cannot open " + archive +
                                           ": another program holds a lock on it (waited 10 seconds)"});
        EXPECT_GT(log.Count(ZCB_POLL), 0);  // the caller was asked along the way
        EXPECT_EQ(log.Count(ZCB_BATCH_END), 1);
        EXPECT_TRUE(ReadFile(archive) == original);

        CallLog cancelled;
        cancelled.cancelAt = 2;  // the second poll asks to stop
        zipcore::CallbackReporter stopper(&ziptest::RecordForTests, &cancelled);
        EXPECT_EQ(deleting ? zipwriter::DeleteMembers(remove, stopper) : zipwriter::AddFiles(add, stopper), 0);
        EXPECT_EQ(cancelled.calls, 2);
        EXPECT_EQ(cancelled.callsAfterCancel, 0);
    }
    flock(fd, LOCK_UN);
    close(fd);
    EXPECT_TRUE(ReadFile(archive) == original);
    EXPECT_TRUE(StrayFiles(dir.Path()).empty());
}

TEST(ZipDllSafety, StaleTemporariesAreCleanedByTheNextRun)
{
    TempDir dir;
    std::string archive = MakeBase(dir);
    // A temporary file left by a crashed writer is removed by the next run;
    // a user's files that merely look like ours stay.
    std::string stale = dir.Write(".fernpack-00000000deadbeef.tmp", "left over");
    {
        int fd = open(stale.c_str(), O_RDONLY);
        ASSERT_TRUE(platform::temporaries::Mark(fd, ".fernpack-00000000deadbeef.tmp"));
        close(fd);
    }
    std::string notes = dir.Write(".fernpack-notes.tmp", "my notes");
    std::string lookalike = dir.Write(".fernpack-0123456789abcdef.tmp", "mine too");
    dir.Write("x.txt", "x");
    EXPECT_EQ(RunZip({archive, {dir / "x.txt"}}), 1);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_EQ(ReadFile(notes), "my notes");
    EXPECT_EQ(ReadFile(lookalike), "mine too");
}

TEST(ZipDllSafety, MoreThan65535MembersGetZip64EndRecords)
{
    TempDir dir;
    std::string archive = dir / "many.zip";
    dir.Write("make.py",
              "import sys,zipfile\n"
              "with zipfile.ZipFile(sys.argv[1],'w') as z:\n"
              "  for i in range(65535): z.writestr('m%05d' % i, '')\n");
    ASSERT_EQ(fixture::RunCommand("python3 " + Quote(dir / "make.py") + " " + Quote(archive)), 0);
    dir.Write("extra.txt", "one more");
    ZipCall call{archive, {dir / "extra.txt"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 1);
    std::string bytes = ReadFile(archive);
    EXPECT_NE(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("PK\x06\x07", 4)), std::string::npos);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    EXPECT_EQ(PythonNames(archive).size(), 65536u);
    ZipCall remove{archive, {"m00000"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove), 1);
    bytes = ReadFile(archive);
    EXPECT_EQ(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

TEST(ZipDllSafety, ALinkToTheArchiveStaysALink)
{
    TempDir dir;
    std::string archive = MakeBase(dir);
    std::filesystem::create_directories(dir / "elsewhere");
    std::string link = dir / "elsewhere/link.zip";
    std::filesystem::create_symlink(archive, link);
    dir.Write("via.txt", "via the link");
    ZipCall call{link, {dir / "via.txt"}};
    call.dirNames = false;
    EXPECT_EQ(RunZip(call), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"old.txt", "via.txt"}));
}

TEST(ZipDllSafety, KernelCopiesOfUnchangedMembersFailSafely)
{
    TempDir dir;
    dir.Write("k/first.bin", NoiseData(400000, 91));
    dir.Write("k/second.txt", TextData(5000, 92));
    dir.Write("k/third.bin", NoiseData(300000, 93));
    std::string archive = dir / "k.zip";
    ZipCall call{archive, {dir / "k/*"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 3);
    std::string original = ReadFile(archive);
    for (int failAt = 1; failAt <= 6; ++failAt) {
        SCOPED_TRACE(failAt);
        int n = 0;
        zipwriter::UpdateOptions remove;
        remove.archivePath = archive;
        remove.specs = {"second.txt"};
        remove.writeFault = [&](std::uint64_t, std::size_t) { return ++n == failAt; };
        zipcore::CallbackReporter reporter(&Quiet, nullptr);
        EXPECT_EQ(zipwriter::DeleteMembers(remove, reporter), 0);
        EXPECT_TRUE(ReadFile(archive) == original);
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
    ZipCall remove{archive, {"second.txt"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove), 1);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 2);
    EXPECT_EQ(ReadFile(out / "third.bin"), NoiseData(300000, 93));
}

// A real write failure from the operating system: a child process whose
// file size limit is below what the new archive needs.
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>

TEST(ZipDllSafety, AFileSizeLimitFailsTheWriteAndChangesNothing)
{
    TempDir dir;
    std::string archive = MakeBase(dir);
    std::string original = ReadFile(archive);
    dir.Write("big/noise.bin", NoiseData(300000, 95));
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {200000, 200000};
        setrlimit(RLIMIT_FSIZE, &limit);
        CallLog log;
        ZipCall call{archive, {dir / "big/noise.bin"}};
        call.dirNames = false;
        int count = RunZip(call, &log);
        _exit(count == 0 && log.HasMessage("Cannot write the new archive") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(ReadFile(archive) == original);
    EXPECT_TRUE(StrayFiles(dir.Path()).empty());
}

TEST(ZipDllSafety, ANonRegularFileIsNoArchive)
{
    // Opening a FIFO for reading would wait for a writer for ever.
    TempDir dir;
    dir.Write("f.txt", "f");
    const std::string fifo = dir / "pipe.zip";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CallLog log;
    EXPECT_EQ(RunZip(ZipCall{fifo, {dir / "f.txt"}}, &log), 0);
    EXPECT_TRUE(log.HasMessage("not a regular file")) << (log.Messages().empty() ? "" : log.Messages().front());
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    ZipCall remove{fifo, {"f.txt"}};
    remove.remove = true;
    EXPECT_EQ(RunZip(remove), 0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(ZipDllSafety, MembersSharingTheirDataAreRefusedAsATestRefusesThem)
{
    // 300 directory entries over one member's data: a test calls that a
    // probable zip bomb; an add or a delete that copied the members as they
    // are would make a big archive that tests good. Both refuse it, in the
    // words of the test, and leave every byte as it was.
    TempDir dir;
    const std::string archive = dir.Write("bomb.zip", fixture::SharedDataBomb(300, 100000));
    const std::string before = ReadFile(archive);
    dir.Write("new.txt", "new");

    CallLog tested;
    EXPECT_EQ(RunUnzip(archive, dir.Path(), true, "", &tested), 0);
    ASSERT_FALSE(tested.Messages(true).empty());
    EXPECT_NE(tested.Messages(true)[0].find(": its data overlaps another member's (a probable zip bomb)"),
              std::string::npos)
        << tested.Messages(true)[0];

    ZipCall add{archive, {dir / "new.txt"}};
    add.dirNames = false;
    ZipCall remove{archive, {"copy7.bin"}};
    remove.remove = true;
    for (const ZipCall& call : {add, remove}) {
        CallLog log;
        EXPECT_EQ(RunZip(call, &log), 0);
        const auto errors = log.Messages(true);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find("data.bin: its data overlaps another member's (a probable zip bomb); it was left "
                                 "unchanged"),
                  std::string::npos)
            << errors[0];
        EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 0);
        EXPECT_TRUE(ReadFile(archive) == before);
        EXPECT_TRUE(StrayFiles(dir.Path()).empty());
    }
}
