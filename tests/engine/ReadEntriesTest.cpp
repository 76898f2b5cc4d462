// The listing walks local headers: these cases pin down its scan, its walk,
// its room check and the messages and errors of every way it can end.
#include "ListingHarness.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace engine;
using fixture::Member;
using fixture::ZipBuilder;
using Log = std::vector<std::string>;

namespace {

std::string ThreeMembers()
{
    return ZipBuilder()
        .Add(Stored("first.txt", "one"))
        .Add(Stored("dir/second.bin", std::string(1000, 'x')))
        .Add(Stored("third", ""))
        .Finish()
        .Bytes();
}

std::string NoValid(int n) { return "msg:1036:No valid zip entries found " + std::to_string(n); }

}  // namespace

TEST_F(ListingTest, PlainArchiveListsMembersInFileOrderWithEveryHeaderField)
{
    Member m = Stored("a/b.txt", "hello");
    m.VersionNeeded = 0x0314;
    m.Flags = 0x0800;
    m.Method = 8;
    m.DateTime = 0x5A2B6C3D;
    m.Crc = 0xDEADBEEF;
    m.UncompressedSize = 123456;
    m.Extra = std::string(7, 'E');
    const std::string bytes = ZipBuilder().Add(m).Add(Stored("z", "1")).Finish().Bytes();

    EXPECT_EQ(List(bytes), "");
    ASSERT_EQ(archive.EntryCount(), 2);
    const ZipDirEntry& e = *archive.Entries[0];
    EXPECT_EQ(e.VersionNeeded, 0x0314);
    EXPECT_EQ(e.GeneralFlags, 0x0800);
    EXPECT_EQ(e.CompressionMethod, 8);
    EXPECT_EQ(e.LastModDateTime, 0x5A2B6C3Du);
    EXPECT_EQ(e.Crc32, 0xDEADBEEFu);
    EXPECT_EQ(e.CompressedSize, 5);
    EXPECT_EQ(e.UncompressedSize, 123456);
    EXPECT_EQ(e.FileNameLength, 7);
    EXPECT_EQ(e.ExtraFieldLength, 7);
    EXPECT_EQ(e.FileName, "a/b.txt");
    EXPECT_EQ(Names(), (std::vector<std::string>{"a/b.txt", "z"}));
    EXPECT_EQ(archive.FirstHeaderOffset, 0);
    EXPECT_EQ(log, Log{"dirupdate:2"});
}

TEST_F(ListingTest, StubInFrontIsScannedPast)
{
    std::string stub(10000, 'S');
    stub[500] = 'P';  // partial signatures inside the stub are passed over
    stub[501] = 'K';
    EXPECT_EQ(List(stub + ThreeMembers()), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"first.txt", "dir/second.bin", "third"}));
    EXPECT_EQ(archive.FirstHeaderOffset, 10000);
    EXPECT_EQ(log, Log{"dirupdate:3"});
}

TEST_F(ListingTest, NextSignatureIsReadRightAfterTheMemberData)
{
    ZipBuilder b;
    b.Add(Stored("12345", std::string(100, 'd'))).Add(Stored("next", "n")).Finish();
    ASSERT_EQ(b.Offsets()[1], 135);
    EXPECT_EQ(List(b.Bytes()), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"12345", "next"}));
}

TEST_F(ListingTest, ArchivesWithoutMembersReportMessageOne)
{
    EXPECT_EQ(List(ZipBuilder().Finish().Bytes()), "");
    EXPECT_EQ(log, (Log{NoValid(1), "dirupdate:0"}));

    log.clear();
    EXPECT_EQ(List(""), "");
    EXPECT_EQ(log, (Log{NoValid(1), "dirupdate:0"}));
}

TEST_F(ListingTest, TheEndOfTheArchiveSaysWhetherItIsEmptyBeforeTheMessageAndGivesTheComment)
{
    bool emptyAtMessage = false;
    archive.OnMessage = [&](engine::TObject*, std::int32_t, const std::string&) {
        emptyAtMessage = archive.IsEmptyArchive();
    };
    const std::string empty = ZipBuilder().Finish("no members").Bytes();
    fixture::Member broken = Stored("a", "1");
    broken.CompressedSize = 100000;
    const struct {
        const char* what;
        std::string bytes;
        bool empty;
        const char* comment;
    } cases[] = {
        {"empty", empty, true, "no members"},
        {"empty with zero bytes after it", empty + std::string(10, '\0'), true, "no members"},
        {"empty behind a stub", std::string(5000, 's') + empty, true, "no members"},
        {"member data before it", fixture::LocalHeader(broken) + "1" + empty, false, ""},
        {"junk", std::string(100, 'j'), false, ""},
        {"members", ZipBuilder().Add(Stored("a", "1")).Finish("with one").Bytes(), false, "with one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        emptyAtMessage = false;
        EXPECT_EQ(List(c.bytes), "");
        EXPECT_EQ(archive.IsEmptyArchive(), c.empty);
        EXPECT_EQ(emptyAtMessage, c.empty);
        EXPECT_EQ(archive.ArchiveComment(), c.comment);
    }
}

TEST_F(ListingTest, NeedsPasswordAsksOnlyAboutTheMembersTheNamesChoose)
{
    fixture::Member secret = Stored("docs/secret.txt", "x"), aes = Stored("aes.bin", "y");
    secret.Flags = 1;
    aes.Method = 99;  // WinZip AES by its method, the flag left clear
    EXPECT_EQ(List(ZipBuilder().Add(Stored("a.txt", "1")).Add(secret).Add(aes).Finish().Bytes()), "");
    const struct {
        engine::TStrings specs;
        bool needed;
    } cases[] = {
        {{}, true},           {{"a.txt"}, false},      {{"docs/*"}, true},  {{"*.txt"}, true},
        {{"aes.*"}, true},    {{"missing"}, false},    {{"a.txt", "aes.bin"}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(archive.NeedsPassword(c.specs), c.needed) << ::testing::PrintToString(c.specs);
}

TEST_F(ListingTest, ScanStopsAfterSixtyThousandCandidateBytes)
{
    // Exactly 60,000 bytes without a "P": the end of the file comes first.
    EXPECT_EQ(List(std::string(60000, 'x')), "");
    EXPECT_EQ(log, (Log{NoValid(1), "dirupdate:0"}));

    // One byte more and the limit is reached before the end.
    log.clear();
    EXPECT_EQ(List(std::string(60001, 'x')), "");
    EXPECT_EQ(log, (Log{NoValid(2), "dirupdate:0"}));

    log.clear();
    EXPECT_EQ(List(std::string(70000, 'x') + ThreeMembers()), "");
    EXPECT_EQ(log, (Log{NoValid(2), "dirupdate:0"}));
}

TEST_F(ListingTest, OnlyTheFirstByteOfEachAttemptCountsTowardsTheLimit)
{
    // 30,000 "PK" pairs are 60,000 bytes but only 30,000 candidates, so the
    // archive behind them is still found.
    std::string stub;
    for (int i = 0; i < 30000; ++i)
        stub += "PK";
    EXPECT_EQ(List(stub + ThreeMembers()), "");
    EXPECT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.FirstHeaderOffset, 60000);
}

TEST_F(ListingTest, EndOfFileInsideAPartialSignature)
{
    EXPECT_EQ(List("abcP"), "");
    EXPECT_EQ(log, (Log{NoValid(3), "dirupdate:0"}));
    log.clear();
    EXPECT_EQ(List("abcPK"), "");
    EXPECT_EQ(log, (Log{NoValid(4), "dirupdate:0"}));
    log.clear();
    EXPECT_EQ(List(std::string("abcPK\x03", 6)), "");
    EXPECT_EQ(log, (Log{NoValid(5), "dirupdate:0"}));
}

TEST_F(ListingTest, ByteThatBreaksAMatchIsNotLookedAtAgain)
{
    // The second "P" breaks the first attempt and is skipped, so this
    // header is not found; the real archive behind it is.
    const std::string broken = "P" + fixture::LocalHeader(Stored("ghost", ""));
    const std::string bytes = broken + "...." + ThreeMembers();
    EXPECT_EQ(List(bytes), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"first.txt", "dir/second.bin", "third"}));
    EXPECT_EQ(archive.FirstHeaderOffset, static_cast<std::int32_t>(broken.size() + 4));
}

TEST_F(ListingTest, FalseSignatureInStubFailingTheRoomCheckIsPassedOver)
{
    Member ghost = Stored("g", "");
    ghost.CompressedSize = 50000000;  // reaches far past the end of the file
    std::string stub = std::string(300, 's') + fixture::LocalHeader(ghost) + std::string(300, 's');
    EXPECT_EQ(List(stub + ThreeMembers()), "");
    EXPECT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.FirstHeaderOffset, static_cast<std::int32_t>(stub.size()));
    EXPECT_EQ(log, Log{"dirupdate:3"});
}

TEST_F(ListingTest, FalseSignatureCutShortInStubIsPassedOver)
{
    // A stub that ends in the middle of a header-like run of bytes, with a
    // real archive nowhere: the listing ends with message 1, not an error.
    std::string bytes = std::string(100, 's') + std::string("PK\x03\x04", 4) + std::string(10, '\x01');
    EXPECT_EQ(List(bytes), "");
    EXPECT_EQ(log, (Log{NoValid(1), "dirupdate:0"}));
    EXPECT_EQ(archive.FirstHeaderOffset, 100);  // the last signature found
}

TEST_F(ListingTest, TruncatedInSecondMemberIsErrorThreeAfterTheUpdate)
{
    ZipBuilder b;
    b.Add(Stored("a", std::string(100, 'a'))).Add(Stored("b", std::string(100, 'b'))).Finish();
    const std::string cut = b.Bytes().substr(0, static_cast<std::size_t>(b.Offsets()[1] + 30 + 1 + 50));
    EXPECT_EQ(List(cut), "Error 3 reading Zip file");
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
    EXPECT_EQ(log, Log{"dirupdate:1"});
}

TEST_F(ListingTest, TruncatedInOnlyMemberScansOnFromAfterItsName)
{
    ZipBuilder b;
    b.Add(Stored("only", std::string(1000, 'o'))).Finish();
    EXPECT_EQ(List(b.Bytes().substr(0, 600)), "");
    EXPECT_EQ(log, (Log{NoValid(1), "dirupdate:0"}));
    EXPECT_EQ(archive.EntryCount(), 0);

    // With more than 60,000 bytes of data behind the name the limit comes first.
    ZipBuilder big;
    big.Add(Stored("only", std::string(200000, 'o'))).Finish();
    log.clear();
    EXPECT_EQ(List(big.Bytes().substr(0, 100000)), "");
    EXPECT_EQ(log, (Log{NoValid(2), "dirupdate:0"}));
}

TEST_F(ListingTest, HeaderOrNameCutShortAfterAMemberIsErrorTwo)
{
    // The second header's name runs past the end of the file.
    const std::string second = fixture::LocalHeader(Stored("a-long-name", ""));
    std::string bytes = ZipBuilder().Add(Stored("a", "x")).Bytes() + second.substr(0, 33);
    EXPECT_EQ(List(bytes), "Error 2 reading Zip file");
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});

    // Likewise a header cut inside its 26 fixed bytes.
    bytes = ZipBuilder().Add(Stored("a", "x")).Bytes() + std::string(24, '\0') + second.substr(0, 20);
    EXPECT_EQ(List(bytes), "Error 2 reading Zip file");
}

TEST_F(ListingTest, SignatureCutShortAfterAMemberIsReadError)
{
    // 23 unknown bytes after the data: the walk steps over five groups of
    // four and then finds only three bytes.
    const std::string bytes = ZipBuilder().Add(Stored("a", "x")).Bytes() + std::string(23, '\0');
    EXPECT_EQ(List(bytes), "Error reading Zip File");
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
    EXPECT_EQ(log, Log{"dirupdate:1"});
}

TEST_F(ListingTest, NamesStopAtZeroByteAndKeepTheirFirst256Bytes)
{
    std::string longName(300, 'n');
    longName[255] = 'Z';
    longName[256] = 'Y';
    const std::string bytes = ZipBuilder()
                                  .Add(Stored(std::string("bad\0name", 8), "1"))
                                  .Add(Stored(longName, "22"))
                                  .Add(Stored("after", "333"))
                                  .Finish()
                                  .Bytes();
    EXPECT_EQ(List(bytes), "");
    ASSERT_EQ(archive.EntryCount(), 3);
    EXPECT_EQ(archive.Entries[0]->FileName, "bad");
    EXPECT_EQ(archive.Entries[0]->FileNameLength, 8);
    EXPECT_EQ(archive.Entries[1]->FileName, longName.substr(0, 256));
    EXPECT_EQ(archive.Entries[1]->FileNameLength, 300);
    EXPECT_EQ(archive.Entries[2]->FileName, "after");
    EXPECT_EQ(archive.Entries[2]->CompressedSize, 3);
    // The whole name beside the 256 bytes shown; a shorter one is itself.
    EXPECT_EQ(archive.Entries[1]->FullName(), longName);
    EXPECT_EQ(archive.Entries[2]->FullName(), "after");
}

// The libraries know a member by its central directory's name: that is the
// whole name of a member whose name is longer than the listing keeps, also
// behind a stub; without a readable directory the local header's serves.
TEST_F(ListingTest, TheWholeNameOfALongNameComesFromTheCentralDirectory)
{
    const std::string local = std::string(256, 'a') + "/local-tail";
    Member m = Stored(local, "data");
    m.CentralName = std::string(256, 'a') + "/central-tail";
    const std::string stub(5000, 's');
    const std::string withDirectory = ZipBuilder().Raw(stub).Add(m).Add(Stored("b", "1")).Finish().Bytes();
    EXPECT_EQ(List(withDirectory), "");
    ASSERT_EQ(archive.EntryCount(), 2);
    EXPECT_EQ(archive.Entries[0]->FileName, std::string(256, 'a'));
    EXPECT_EQ(archive.Entries[0]->FullName(), *m.CentralName);
    EXPECT_EQ(archive.Entries[1]->FullName(), "b");
    EXPECT_EQ(archive.ChooseMembers({*m.CentralName}).Selects(archive.Entries[0]->FullName()), true);

    const std::string withoutDirectory =
        ZipBuilder().Add(Stored(local, "data")).Bytes() + std::string("PK\x05\x06", 4) + std::string(18, '\0');
    EXPECT_EQ(List(withoutDirectory), "");
    ASSERT_EQ(archive.EntryCount(), 1);
    EXPECT_EQ(archive.Entries[0]->FullName(), local);
}

TEST_F(ListingTest, DataDescriptorsAndUnknownSignaturesAreSteppedOver)
{
    Member withSig = Stored("described", "abcdefgh");
    withSig.Flags = 8;
    withSig.Descriptor = true;
    Member withoutSig = Stored("bare", "ijklmnop");
    withoutSig.Flags = 8;
    withoutSig.Descriptor = true;
    withoutSig.DescriptorSignature = false;
    const std::string bytes = ZipBuilder()
                                  .Add(withSig)
                                  .Add(withoutSig)
                                  .Raw("JUNKjunk")
                                  .Add(Stored("last", "z"))
                                  .Finish()
                                  .Bytes();
    EXPECT_EQ(List(bytes), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"described", "bare", "last"}));
}

TEST_F(ListingTest, NegativeCompressedSizeNeverWalksBackwards)
{
    // As the first header it is passed over like a false signature.
    Member negative = Stored("neg", "data");
    negative.CompressedSize = -40;
    EXPECT_EQ(List(ZipBuilder().Add(negative).Add(Stored("real", "r")).Finish().Bytes()), "");
    EXPECT_EQ(Names(), std::vector<std::string>{"real"});

    // After a listed member it is damage.
    log.clear();
    EXPECT_EQ(List(ZipBuilder().Add(Stored("real", "r")).Add(negative).Finish().Bytes()),
              "Error 3 reading Zip file");
    EXPECT_EQ(Names(), std::vector<std::string>{"real"});
}

TEST_F(ListingTest, RoomCheckSumDoesNotWrap)
{
    Member huge = Stored("huge", "");
    huge.CompressedSize = 0x7FFFFFFF;
    huge.Extra = std::string(0xFFFF, 'e');
    EXPECT_EQ(List(ZipBuilder().Add(Stored("a", "1")).Add(huge).Finish().Bytes()), "Error 3 reading Zip file");
    EXPECT_EQ(Names(), std::vector<std::string>{"a"});
}

TEST_F(ListingTest, MissingFileListsNothingAndSaysNothing)
{
    archive.SetZipFilename(dir / "absent.zip");
    EXPECT_EQ(log, Log{"dirupdate:0"});
    log.clear();
    archive.SetZipFilename("");
    EXPECT_EQ(log, Log{"dirupdate:0"});
    EXPECT_EQ(archive.EntryCount(), 0);
    // A folder is no archive either.
    log.clear();
    archive.SetZipFilename(dir.Path());
    EXPECT_EQ(log, Log{"dirupdate:0"});
}

TEST_F(ListingTest, FileLockedByAWriterForTooLongCannotBeOpened)
{
    List(ThreeMembers());
    ASSERT_EQ(archive.EntryCount(), 3);
    log.clear();
    const int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const int bound = TRezEdidiv::WriterWaitMs;
    TRezEdidiv::WriterWaitMs = 60;
    try {
        archive.ReadEntries();
        ADD_FAILURE() << "no error";
    } catch (const EFileStreamError& e) {
        // The fixed text, and beside it why, for a front end that shows it.
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
        EXPECT_EQ(e.Reason(), "another program holds a lock on it (waited 10 seconds)");
    }
    TRezEdidiv::WriterWaitMs = bound;
    ::close(fd);
    EXPECT_EQ(archive.EntryCount(), 0);
    EXPECT_TRUE(log.empty());  // no update, no message
}

TEST_F(ListingTest, ListingWaitsForAWriterAndReadsWhatItWrote)
{
    List(ThreeMembers());
    const std::string next = dir.Write("next.zip", ZipBuilder().Add(Stored("new.txt", "new")).Finish().Bytes());
    // Another program's add: it holds the archive, moves the new one into
    // its place and only then lets go of the old one.
    const int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        ::rename(next.c_str(), path.c_str());
        ::close(fd);
    });
    EXPECT_NO_THROW(archive.ReadEntries());
    writer.join();
    EXPECT_EQ(Names(), std::vector<std::string>{"new.txt"});
}

TEST_F(ListingTest, ReadersDoNotBlockEachOther)
{
    List(ThreeMembers());
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    EXPECT_NO_THROW(archive.ReadEntries());
    EXPECT_EQ(archive.EntryCount(), 3);
    ::close(fd);
}

TEST_F(ListingTest, DesignStateOnlyStoresTheName)
{
    const std::string p = dir.Write("d.zip", ThreeMembers());
    archive.SetDesigning(true);
    archive.SetZipFilename(p);
    EXPECT_EQ(archive.ZipFilename(), p);
    archive.ReadEntries();
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(archive.Entries.size(), 0u);
    archive.SetDesigning(false);
    archive.ReadEntries();
    EXPECT_EQ(archive.EntryCount(), 3);
}

TEST_F(ListingTest, ManyMembersAcrossBufferBoundaries)
{
    ZipBuilder b;
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = "file" + std::to_string(i) + std::string(static_cast<std::size_t>(i % 37), 'x');
        b.Add(Stored(name, std::string(static_cast<std::size_t>((i * 7919) % 211), 'd')));
        expected.push_back(name);
    }
    EXPECT_EQ(List(std::string(777, 's') + b.Finish().Bytes()), "");
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(archive.FirstHeaderOffset, 777);
}

TEST_F(ListingTest, LargeSparseArchiveListsBySeekingOverData)
{
    // Three members of 700 MB each in a sparse file: only headers are read.
    const std::int64_t size = 700LL * 1024 * 1024;
    path = dir / "big.zip";
    const int fd = ::open(path.c_str(), O_CREAT | O_RDWR, 0644);
    ASSERT_GE(fd, 0);
    std::int64_t at = 0;
    for (const char* name : {"one", "two", "three"}) {
        Member m = Stored(name, "");
        m.CompressedSize = static_cast<std::int32_t>(size);
        m.UncompressedSize = static_cast<std::int32_t>(size);
        const std::string header = fixture::LocalHeader(m);
        ASSERT_EQ(::pwrite(fd, header.data(), header.size(), at), static_cast<ssize_t>(header.size()));
        at += static_cast<std::int64_t>(header.size()) + size;
    }
    const std::string end = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    ASSERT_EQ(::pwrite(fd, end.data(), end.size(), at), 22);
    ::close(fd);
    archive.SetZipFilename(path);
    EXPECT_EQ(Names(), (std::vector<std::string>{"one", "two", "three"}));
}

// Members written to a stream that could not seek back: bit 3, zero sizes
// in the local header, the true ones in a descriptor and the central
// directory. A stored archive inside such a member must not be walked into.
class StreamedListing : public ListingTest {
protected:
    static std::string InnerZip() { return ZipBuilder().Add(Stored("inner.txt", "x")).Finish().Bytes(); }

    static ZipBuilder Archive()
    {
        Member outer = fixture::Streamed("outer.zip", InnerZip());
        Member bare = fixture::Streamed("bare.txt", "no signature before my descriptor");
        bare.DescriptorSignature = false;
        return std::move(ZipBuilder().Add(outer).Add(bare).Add(Stored("last", "z")));
    }
};

TEST_F(StreamedListing, MembersCarryTheirCentralValuesAndTheWalkStepsOverTheirData)
{
    EXPECT_EQ(List(Archive().Finish().Bytes()), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"outer.zip", "bare.txt", "last"}));
    ASSERT_EQ(archive.EntryCount(), 3);
    const ZipDirEntry& outer = *archive.Entries[0];
    EXPECT_EQ(outer.Crc32, fixture::Crc32(InnerZip()));
    EXPECT_EQ(outer.CompressedSize, static_cast<std::int32_t>(InnerZip().size()));
    EXPECT_EQ(outer.UncompressedSize, static_cast<std::int32_t>(InnerZip().size()));
    EXPECT_EQ(outer.GeneralFlags, 8);
    EXPECT_EQ(outer.LastModDateTime, fixture::DosDateTime(2024, 5, 17, 13, 45, 30));
    EXPECT_EQ(archive.Entries[1]->CompressedSize, 33);
    EXPECT_EQ(log, Log{"dirupdate:3"});
}

TEST_F(StreamedListing, Zip64DescriptorsBehindAStubThroughTheZip64EndRecord)
{
    // As zip writes to a pipe: saturated local sizes, a Zip64 field of
    // zeros, 64-bit sizes in the descriptor; offsets count from the archive.
    Member wide = fixture::Streamed("wide.zip", InnerZip());
    wide.CompressedSize = wide.UncompressedSize = -1;
    wide.Extra = std::string("\x01\x00\x10\x00", 4) + std::string(16, '\0');
    wide.Descriptor64 = true;
    Member bare = fixture::Streamed("bare64", InnerZip());
    bare.Descriptor64 = true;
    bare.DescriptorSignature = false;
    const std::string stub(5000, 'S');
    const std::string bytes = ZipBuilder().Add(wide).Add(bare).Add(Stored("last", "z")).Zip64End().Finish().Bytes();
    EXPECT_EQ(List(stub + bytes), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"wide.zip", "bare64", "last"}));
    EXPECT_EQ(archive.FirstHeaderOffset, 5000);
    EXPECT_EQ(archive.Entries[0]->CompressedSize, static_cast<std::int32_t>(InnerZip().size()));
    EXPECT_EQ(archive.Entries[1]->Crc32, fixture::Crc32(InnerZip()));
}

TEST_F(StreamedListing, WithoutAReadableCentralDirectoryTheWalkIsAsBefore)
{
    // The local sizes (zero) are all there is: the walk steps into the data
    // and lists what it finds there, as it always has.
    EXPECT_EQ(List(Archive().Bytes()), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"outer.zip", "inner.txt"}));
    EXPECT_EQ(archive.Entries[0]->CompressedSize, 0);

    // A directory that does not name this header changes nothing either.
    log.clear();
    ZipBuilder other = Archive();
    const std::string unrelated = ZipBuilder().Add(Stored("elsewhere", "e")).Finish().Bytes();  // its directory at 40
    EXPECT_EQ(List(other.Bytes() + unrelated.substr(40)), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"outer.zip", "inner.txt"}));
}

TEST_F(StreamedListing, ACentralRecordClaimingMoreThanTheFileHoldsSizesNothing)
{
    // Its Zip64 field claims 2^64 - 1 bytes, packed and unpacked: no member
    // of this file can be that long, so the record is no record and the
    // walk goes on from the local header's own values, as without one
    // (four bytes at a time through the data and the descriptor).
    Member liar = fixture::Streamed("liar.txt", "thirty-two bytes of data, no PK.");
    liar.CentralCompressedSize = liar.CentralUncompressedSize = 0xFFFFFFFF;
    liar.CentralExtra = fixture::Zip64Field({~0ULL, ~0ULL});
    EXPECT_EQ(List(ZipBuilder().Add(liar).Add(Stored("last", "z")).Finish().Bytes()), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"liar.txt", "last"}));
    EXPECT_EQ(archive.Entries[0]->RealCompressedSize(), 0u);
    EXPECT_EQ(archive.Entries[0]->RealUncompressedSize(), 0u);
}

TEST_F(ListingTest, OnlyRegularFilesAreArchives)
{
    // A FIFO would block the open until a writer came; a device is no archive.
    const std::string fifo = dir / "pipe.zip";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& name : {fifo, std::string("/dev/null")}) {
        log.clear();
        try {
            archive.SetZipFilename(name);
            ADD_FAILURE() << "no error for " << name;
        } catch (const EFileStreamError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + name);
            EXPECT_EQ(e.Reason(), "");  // no lock was in the way
        }
        EXPECT_TRUE(log.empty());
    }
    // A link to an archive is the archive.
    const std::string real = dir.Write("real.zip", ThreeMembers());
    ASSERT_EQ(::symlink(real.c_str(), (dir / "link.zip").c_str()), 0);
    archive.SetZipFilename(dir / "link.zip");
    EXPECT_EQ(archive.EntryCount(), 3);
}

// Sizes too large for 32 bits stand as all ones in the local header, the
// real ones in its Zip64 extra field (or, failing that, the central
// directory). The fields keep what was read; the real sizes stand beside.
class Zip64Listing : public ListingTest {
protected:
    static Member Wide(const std::string& name, const std::string& data, std::string extra)
    {
        Member m = Stored(name, data);
        m.CompressedSize = m.UncompressedSize = -1;
        m.VersionNeeded = 45;
        m.Extra = std::move(extra);
        return m;
    }
    static std::string Ut() { return std::string("UT\x05\x00\x01\x10\x20\x30\x40", 9); }
};

TEST_F(Zip64Listing, RealSizesComeFromTheLocalFieldOrTheCentralDirectory)
{
    const std::string video(300, 'v'), audio(200, 'a'), odd(90, 'o');
    // As zip writes it: another field first, then both sizes.
    Member local = Wide("video.bin", video, Ut() + fixture::Zip64Field({300, 300}));
    // Only the saturated size, as some writers put it.
    Member one = Stored("odd.bin", odd);
    one.CompressedSize = -1;
    one.Extra = fixture::Zip64Field({90});
    // Nothing in the local header: the central Zip64 field tells.
    Member central = Wide("audio.bin", audio, "");
    central.CentralCompressedSize = central.CentralUncompressedSize = 0xFFFFFFFF;
    central.CentralExtra = fixture::Zip64Field({200, 200});
    const std::string stub(3000, 'S');
    const std::string bytes =
        stub + ZipBuilder().Add(local).Add(one).Add(central).Add(Stored("after", "z")).Zip64End().Finish().Bytes();

    EXPECT_EQ(List(bytes), "");
    EXPECT_EQ(Names(), (std::vector<std::string>{"video.bin", "odd.bin", "audio.bin", "after"}));
    EXPECT_EQ(archive.FirstHeaderOffset, 3000);
    const ZipDirEntry& v = *archive.Entries[0];
    EXPECT_EQ(v.CompressedSize, -1);
    EXPECT_EQ(v.UncompressedSize, -1);
    EXPECT_EQ(v.RealCompressedSize(), 300u);
    EXPECT_EQ(v.RealUncompressedSize(), 300u);
    EXPECT_EQ(archive.Entries[1]->RealCompressedSize(), 90u);
    EXPECT_EQ(archive.Entries[1]->RealUncompressedSize(), 90u);
    EXPECT_EQ(archive.Entries[2]->RealUncompressedSize(), 200u);
    EXPECT_EQ(archive.Entries[3]->RealCompressedSize(), 1u);
}

TEST_F(Zip64Listing, ShortOrLyingFieldsAreDamageOrAFalseHeader)
{
    // Without a central directory to fall back on, a field too short for
    // both sizes leaves the saturated ones, which fail the room check.
    Member shortField = Wide("short", "data", fixture::Zip64Field({4}));
    Member lying = Wide("lying", "data", fixture::Zip64Field({4, 1ULL << 40}));
    Member absurd = Wide("absurd", "data", fixture::Zip64Field({~0ULL, ~0ULL}));
    for (const Member& bad : {shortField, lying, absurd}) {
        SCOPED_TRACE(bad.Name);
        log.clear();
        EXPECT_EQ(List(ZipBuilder().Add(Stored("good", "g")).Add(bad).Bytes()), "Error 3 reading Zip file");
        EXPECT_EQ(Names(), std::vector<std::string>{"good"});
        // In front of the first member it is a false header: passed over,
        // the scan resumes just after its name and finds the real one.
        log.clear();
        const std::string noDirectory = std::string("PK\x05\x06", 4) + std::string(18, '\0');
        EXPECT_EQ(List(ZipBuilder().Raw("stub").Add(bad).Add(Stored("real", "r")).Raw(noDirectory).Bytes()), "");
        EXPECT_EQ(Names(), std::vector<std::string>{"real"});
        EXPECT_EQ(archive.FirstHeaderOffset, static_cast<std::int32_t>(4 + fixture::LocalHeader(bad).size() + 4));
    }
}

TEST_F(Zip64Listing, SizesOf2GBAndMoreAreNeverNegative)
{
    // A 2.6 GB stored member without Zip64 in a sparse file: only the
    // headers are read.
    const std::uint32_t size = 2600000000u;
    path = dir / "big.zip";
    ASSERT_TRUE(fixture::WriteSparseStoredMember(path, "disk.img", size));
    archive.SetZipFilename(path);
    ASSERT_EQ(archive.EntryCount(), 1);
    EXPECT_LT(archive.Entries[0]->CompressedSize, 0);
    EXPECT_EQ(archive.Entries[0]->RealCompressedSize(), size);
    EXPECT_EQ(archive.Entries[0]->RealUncompressedSize(), size);
}
