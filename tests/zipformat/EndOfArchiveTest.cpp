// The end of an archive: which end record closes it (exact fit first, then
// the looser fit), Zip64 records, where the archive starts behind a stub,
// and when an archive without members is one.
#include <gtest/gtest.h>

#include <cstring>

#include "ZipFixture.h"
#include "zipformat/EndOfArchive.h"

namespace zip = fernpack::zip;
using fixture::Stored;
using fixture::ZipBuilder;

namespace {

zip::EndProblem Find(const std::string& bytes, zip::EndOfArchive* end)
{
    return zip::FindEndOfArchive(zip::MemorySource(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                                 end);
}

std::string TwoMembers(const std::string& comment = "")
{
    return ZipBuilder().Add(Stored("a.txt", "alpha")).Add(Stored("dir/b.txt", "bravo!")).Finish(comment).Bytes();
}

std::string EmptyArchive(std::uint32_t statedOffset = 0)
{
    std::string end = std::string("PK\x05\x06", 4) + std::string(12, '\0');
    fixture::PutLe32(end, statedOffset);
    return end + std::string(2, '\0');
}

// A stub in front of an archive whose offsets count from its own start.
const std::string Stub = std::string(5000, 'S') + "MPU" + std::string(253, '\0');

// Sets the 16-bit field at `at` (from the end of `bytes` when negative).
std::string With16(std::string bytes, long at, std::uint16_t value)
{
    const std::size_t p = at < 0 ? bytes.size() - static_cast<std::size_t>(-at) : static_cast<std::size_t>(at);
    bytes[p] = static_cast<char>(value & 0xFF);
    bytes[p + 1] = static_cast<char>(value >> 8);
    return bytes;
}

std::string With32(std::string bytes, long at, std::uint32_t value)
{
    bytes = With16(bytes, at, static_cast<std::uint16_t>(value));
    return With16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}

struct Case {
    const char* what;
    std::string bytes;
    zip::EndProblem problem;
    std::uint64_t endRecord = 0;
    std::uint64_t archiveStart = 0;
    bool empty = false;
    std::uint64_t entries = 0;
    bool zip64 = false;
};

}  // namespace

TEST(EndOfArchive, ChoosesTheRecordAndTheArchiveStart)
{
    const std::string plain = TwoMembers();
    const std::size_t plainEnd = plain.size() - 22;
    // A false end record in the comment that fits only loosely: the real
    // one, whose comment reaches the last byte, wins.
    const std::string falseRecord = std::string("PK\x05\x06", 4) + std::string(18, '\0') + "tail";
    const std::string commented = TwoMembers(falseRecord);
    const std::string zip64 = ZipBuilder().Add(Stored("a", "1")).Add(Stored("b", "2")).Zip64End().Finish().Bytes();
    const std::size_t zip64End = zip64.size() - 22;
    // The Zip64 end record moved away from its locator: found where the
    // locator says.
    std::string moved = zip64;
    moved.insert(zip64End - 20, 8, 'x');
    const std::string header256 = "MPU" + std::string(253, '\0');
    std::string falseHeader = std::string("PK\x03\x04", 4) + std::string(26, '\0');
    falseHeader = With32(falseHeader, 18, 1000000);  // data far past the end of the file

    const Case cases[] = {
        {"plain", plain, zip::EndProblem::None, plainEnd, 0, false, 2},
        {"comment holding a false record", commented, zip::EndProblem::None, plainEnd, 0, false, 2},
        {"ten zero bytes appended", plain + std::string(10, '\0'), zip::EndProblem::None, plainEnd, 0, false, 2},
        {"behind a stub", Stub + plain, zip::EndProblem::None, Stub.size() + plainEnd, Stub.size(), false, 2},
        {"stub counted in the offsets", ZipBuilder().Raw(Stub).Add(Stored("a", "1")).Finish().Bytes(),
         zip::EndProblem::None, Stub.size() + 31 + 1 + 47, 0, false, 1},
        {"Zip64", zip64, zip::EndProblem::None, zip64End, 0, false, 2, true},
        {"Zip64 behind a stub", Stub + zip64, zip::EndProblem::None, Stub.size() + zip64End, Stub.size(), false, 2,
         true},
        {"Zip64 record away from its locator", moved, zip::EndProblem::None, zip64End + 8, 0, false, 2, true},
        {"Zip64 record missing", With32(zip64, static_cast<long>(zip64End) - 76, 0), zip::EndProblem::DamagedZip64},
        {"empty", EmptyArchive(), zip::EndProblem::None, 0, 0, true},
        {"empty, ten zero bytes appended", EmptyArchive() + std::string(10, '\0'), zip::EndProblem::None, 0, 0, true},
        {"empty self-extractor", Stub + header256 + EmptyArchive(39168), zip::EndProblem::None,
         Stub.size() + 256, Stub.size() + 256, true},
        {"member data before an empty end record", falseHeader + "name" + EmptyArchive(),
         zip::EndProblem::MemberDataBeforeEmptyEnd, 34, 34, true},
        {"count wrapped to 0", ZipBuilder().Add(Stored("a", "1")).StatedCount(0).Finish().Bytes(),
         zip::EndProblem::None, 79, 0, false, 0},
        {"split", With16(plain, -18, 1), zip::EndProblem::Split},
        {"directory larger than the file", With32(plain, -10, 0x7FFFFFFF), zip::EndProblem::DirectoryTooLarge},
        {"directory offset beyond its place", With32(plain, -6, 0x7FFFFFF), zip::EndProblem::DirectoryOffsetBeyond},
        {"no end record", "not a zip archive, but long enough for one", zip::EndProblem::NoEndRecord},
        {"nothing", "", zip::EndProblem::NoEndRecord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zip::EndOfArchive end;
        ASSERT_EQ(Find(c.bytes, &end), c.problem);
        if (c.problem == zip::EndProblem::None || c.problem == zip::EndProblem::MemberDataBeforeEmptyEnd) {
            EXPECT_EQ(end.EndRecord, c.endRecord);
            EXPECT_EQ(end.ArchiveStart, c.archiveStart);
            EXPECT_EQ(end.Empty, c.empty);
            EXPECT_EQ(end.Entries, c.entries);
            EXPECT_EQ(end.Zip64, c.zip64);
        }
        EXPECT_NE(std::strlen(zip::EndProblemText(c.problem)) == 0, c.problem != zip::EndProblem::None);
    }
}

TEST(EndOfArchive, GivesTheCommentAndTheDirectory)
{
    const std::string bytes = Stub + TwoMembers("a comment");
    zip::EndOfArchive end;
    ASSERT_EQ(Find(bytes, &end), zip::EndProblem::None);
    EXPECT_EQ(bytes.substr(end.CommentAt(), end.CommentSize), "a comment");
    EXPECT_EQ(bytes.substr(end.DirectoryAt, 4), "PK\x01\x02");
    EXPECT_EQ(end.DirectoryEnd, end.EndRecord);
    EXPECT_EQ(end.DirectoryAt - end.ArchiveStart, end.DirectoryOffset);
    EXPECT_EQ(end.DirectorySize(), 2 * 46u + 5 + 9);
}

TEST(EndOfArchive, ReadsThroughTheCallbackAndReportsWhatItCannotRead)
{
    // A file whose every read fails after the first (the tail).
    struct Failing {
        std::string bytes;
        int reads = 0;
    } failing{Stub + EmptyArchive()};
    zip::ByteSource source;
    source.Size = failing.bytes.size();
    source.Context = &failing;
    source.ReadAt = [](const void* context, std::uint64_t offset, void* out, std::size_t count) {
        auto* f = static_cast<Failing*>(const_cast<void*>(context));
        if (++f->reads > 2)
            return false;
        std::memcpy(out, f->bytes.data() + offset, count);
        return true;
    };
    zip::EndOfArchive end;
    EXPECT_EQ(zip::FindEndOfArchive(source, &end), zip::EndProblem::Unreadable);
    // A range outside the source is never asked for.
    EXPECT_FALSE(source.Read(source.Size - 1, &end, 2));
}
