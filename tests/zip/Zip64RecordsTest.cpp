// Zip64 exactly where a value needs it: the writer's headers and end
// records, read back with the reader the libraries and the listing share,
// at values past 4 GiB that no small archive can reach.
#include <gtest/gtest.h>

#include "ZipFixture.h"
#include "zipformat/Zip64Field.h"
#include "libs/zipwriter/AesEncryptor.h"
#include "libs/zipwriter/ExistingArchive.h"
#include "libs/zipwriter/MemberCopy.h"
#include "libs/zipwriter/ZipRecords.h"

using namespace zipwriter;
namespace zip = fernpack::zip;

namespace {

constexpr std::uint64_t k5GiB = 5ULL << 30;

const std::uint8_t* U8(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

// What a central header says, with its Zip64 field applied; `fieldSize` is
// that field's length (0 without one).
struct CentralView {
    zip::Zip64Values values;
    std::size_t fieldSize = 0;
    std::uint16_t versionNeeded = 0;
};

CentralView ReadCentral(const std::string& c)
{
    CentralView v;
    const std::uint8_t* h = U8(c);
    v.versionNeeded = fernpack::Le16(h + 6);
    v.values.Compressed = fernpack::Le32(h + 20);
    v.values.Uncompressed = fernpack::Le32(h + 24);
    v.values.Offset = fernpack::Le32(h + 42);
    const std::uint8_t* field = nullptr;
    if (zip::FindExtraField(h + 46 + fernpack::Le16(h + 28), fernpack::Le16(h + 30), zip::ExtraZip64, &field,
                            &v.fieldSize)) {
        EXPECT_TRUE(zip::ApplyZip64Field(field, v.fieldSize, v.values, false));
    }
    return v;
}

}  // namespace

TEST(Zip64Records, HeadersCarryZip64FieldsExactlyForLargeValues)
{
    MemberHeader h;
    h.name = "video.mkv";
    h.extra = UnixTimeExtra(0);
    h.uncompressedSize = k5GiB;
    h.compressedSize = 123456;
    h.zip64Local = MayNeedZip64(h.uncompressedSize, 0);
    ASSERT_TRUE(h.zip64Local);

    // The local header: both sizes, 32-bit fields all ones.
    const std::string local = LocalHeaderBytes(h);
    EXPECT_EQ(fernpack::Le16(U8(local) + 4), kNeedZip64);
    EXPECT_EQ(fernpack::Le32(U8(local) + 18), zip::Saturated32);
    EXPECT_EQ(fernpack::Le32(U8(local) + 22), zip::Saturated32);
    zip::Zip64Values values{zip::Saturated32, zip::Saturated32};
    const std::uint8_t* field = nullptr;
    std::size_t size = 0;
    ASSERT_TRUE(zip::FindExtraField(U8(local) + 30 + h.name.size(), local.size() - 30 - h.name.size(),
                                    zip::ExtraZip64, &field, &size));
    EXPECT_EQ(size, 16u);
    ASSERT_TRUE(zip::ApplyZip64Field(field, size, values, true));
    EXPECT_EQ(values.Uncompressed, k5GiB);
    EXPECT_EQ(values.Compressed, 123456u);

    // The central header: only the value that does not fit.
    CentralView c = ReadCentral(CentralHeaderBytes(h, 1000));
    EXPECT_EQ(c.fieldSize, 8u);
    EXPECT_EQ(c.values.Uncompressed, k5GiB);
    EXPECT_EQ(c.values.Compressed, 123456u);
    EXPECT_EQ(c.values.Offset, 1000u);
    EXPECT_EQ(c.versionNeeded, kNeedZip64);

    // A small member far into the archive: the offset alone (all ones is
    // itself too large for the field).
    MemberHeader small;
    small.name = "a.txt";
    small.uncompressedSize = small.compressedSize = 10;
    EXPECT_EQ(LocalHeaderBytes(small).size(), 30u + 5);  // no extra field
    c = ReadCentral(CentralHeaderBytes(small, zip::Saturated32));
    EXPECT_EQ(c.fieldSize, 8u);
    EXPECT_EQ(c.values.Offset, zip::Saturated32);
    EXPECT_EQ(c.values.Compressed, 10u);
    c = ReadCentral(CentralHeaderBytes(small, zip::Saturated32 - 1));
    EXPECT_EQ(c.fieldSize, 0u);
    EXPECT_EQ(c.versionNeeded, kNeedDefault);

    // Decided before the data: encryption may add its overhead to a file
    // just under 4 GiB, and storing is the fallback when deflate grows it.
    EXPECT_FALSE(MayNeedZip64(zip::Saturated32 - 1, 0));
    EXPECT_TRUE(MayNeedZip64(zip::Saturated32 - kAesOverhead, kAesOverhead));
    EXPECT_FALSE(MayNeedZip64(zip::Saturated32 - kAesOverhead - 1, kAesOverhead));
}

TEST(Zip64Records, EndRecordsForADirectoryBeyond4GiB)
{
    const std::string end = EndRecords(3, k5GiB, 200, "note");
    ASSERT_EQ(end.size(), zip::Zip64EndRecordSize + zip::Zip64LocatorSize + zip::EndRecordSize + 4);
    const std::uint8_t* z = U8(end);
    EXPECT_EQ(fernpack::Le32(z), zip::Zip64EndRecordSignature);
    EXPECT_EQ(fernpack::Le64(z + 32), 3u);
    EXPECT_EQ(fernpack::Le64(z + 40), 200u);
    EXPECT_EQ(fernpack::Le64(z + 48), k5GiB);
    const std::uint8_t* locator = z + zip::Zip64EndRecordSize;
    EXPECT_EQ(fernpack::Le32(locator), zip::Zip64LocatorSignature);
    EXPECT_EQ(fernpack::Le64(locator + 8), k5GiB + 200);
    const std::uint8_t* e = locator + zip::Zip64LocatorSize;
    EXPECT_EQ(fernpack::Le16(e + 10), 3u);  // what fits keeps its value
    EXPECT_EQ(fernpack::Le32(e + 12), 200u);
    EXPECT_EQ(fernpack::Le32(e + 16), zip::Saturated32);
    // Nothing large: no Zip64 records.
    EXPECT_EQ(EndRecords(3, 1000, 200, "").size(), zip::EndRecordSize);
}

TEST(Zip64Records, CopiedMembersGetZip64ForTheirNewPlaceOnly)
{
    // As 7-Zip writes a member of unknown size: Zip64 in the local header,
    // plain 32-bit values in the central one; and one whose central header
    // carried a Zip64 field for values that fit.
    fixture::Member streamed = fixture::Stored("stdin.bin", "from a pipe");
    streamed.CompressedSize = streamed.UncompressedSize = -1;
    streamed.Extra = fixture::Zip64Field({11, 11});
    const std::uint64_t second = fixture::ZipBuilder().Add(streamed).Bytes().size();
    fixture::Member forced = fixture::Stored("forced.txt", "zip -fz");
    forced.CentralOffset = zip::Saturated32;
    forced.CentralExtra = fixture::Zip64Field({second});
    const std::string archive = fixture::ZipBuilder().Add(streamed).Add(forced).Finish().Bytes();

    ExistingArchive existing;
    std::string error;
    ASSERT_TRUE(existing.Open(U8(archive), archive.size(), &error)) << error;
    ASSERT_EQ(existing.Entries().size(), 2u);
    EXPECT_EQ(existing.Entries()[1].localOffset, second);
    std::uint64_t begin = 0, end = 0;
    EXPECT_TRUE(CopiesVerbatim(existing, 0, &begin, &end));  // the local Zip64 header as it is

    CentralView far = ReadCentral(CentralHeaderFor(existing, 0, k5GiB));
    EXPECT_EQ(far.fieldSize, 8u);
    EXPECT_EQ(far.values.Offset, k5GiB);
    EXPECT_EQ(far.values.Compressed, 11u);
    EXPECT_EQ(far.versionNeeded, kNeedZip64);
    CentralView near = ReadCentral(CentralHeaderFor(existing, 1, 4000));
    EXPECT_EQ(near.fieldSize, 0u);
    EXPECT_EQ(near.values.Offset, 4000u);
}
