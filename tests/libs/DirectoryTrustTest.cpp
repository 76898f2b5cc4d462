// UNZDLL.DLL on archives whose central directory disagrees with the local
// headers or with itself: nothing is written under a name a listing of the
// local headers never showed, members sharing their data are refused before
// a byte is written, a member count that wrapped at 65,536 does not hide
// members, and only regular files are archives. Archives are built byte by
// byte.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "UnzDllHarness.h"
#include "ZipFixture.h"

using namespace unztest;
using fixture::Stored;
using fixture::ZipBuilder;

namespace {

Options Testing()
{
    Options o;
    o.test = true;
    return o;
}

bool AnyMessageHas(const Result& r, const std::string& text)
{
    for (const auto& m : r.Messages(true))
        if (m.text.find(text) != std::string::npos)
            return true;
    return false;
}

}  // namespace

TEST(DirectoryTrust, LocalAndCentralNamesThatDifferAreRefused)
{
    fixture::Member file = Stored("README.txt", "harmless");
    file.CentralName = ".profile";
    fixture::Member folder = Stored("shown/", "");
    folder.CentralName = "hidden/";
    const std::string root = FreshDir("names");
    const std::string archive = root + "/names.zip";
    WriteFile(archive, ZipBuilder().Add(file).Add(folder).Add(Stored("same.txt", "ok")).Finish().Bytes());

    const std::string target = FreshDir("names/out");
    Result extracted = Exec(archive, target, Options{});
    EXPECT_EQ(extracted.count, 1) << extracted.Dump();
    EXPECT_EQ(ListAll(target), std::vector<std::string>{"same.txt"});
    EXPECT_TRUE(AnyMessageHas(extracted, "Cannot extract .profile: local and central names differ"))
        << extracted.Dump();
    EXPECT_TRUE(AnyMessageHas(extracted, "Cannot extract hidden/: local and central names differ"));

    Result tested = Exec(archive, "", Testing());
    EXPECT_EQ(tested.count, 1) << tested.Dump();
    EXPECT_TRUE(AnyMessageHas(tested, "Test failed for .profile: local and central names differ"));
}

TEST(DirectoryTrust, MembersSharingTheirDataAreRefusedBeforeAnyByteIsWritten)
{
    // Fifty directory entries over one member's data: a small archive that
    // would extract fifty times its size. A member apart from them is fine.
    ZipBuilder b;
    b.Add(Stored("bomb", std::string(100000, 'z'))).Add(Stored("apart.txt", "fine"));
    for (int i = 1; i < 50; ++i)
        b.Alias(0, "bomb" + std::to_string(i));
    const std::string root = FreshDir("overlap");
    const std::string archive = root + "/bomb.zip";
    WriteFile(archive, b.Finish().Bytes());

    const std::string target = FreshDir("overlap/out");
    Result extracted = Exec(archive, target, Options{});
    EXPECT_EQ(extracted.count, 1) << extracted.Dump();
    EXPECT_EQ(ListAll(target), std::vector<std::string>{"apart.txt"});
    EXPECT_EQ(extracted.Messages(true).size(), 50u);
    EXPECT_TRUE(AnyMessageHas(extracted, "Cannot extract bomb7: its data overlaps another member's"));

    Result tested = Exec(archive, "", Testing());
    EXPECT_EQ(tested.count, 1);

    // Members that only touch, header after data, do not overlap.
    WriteFile(archive, ZipBuilder().Add(Stored("a", "1")).Add(Stored("b", "")).Finish().Bytes());
    EXPECT_EQ(Exec(archive, "", Testing()).count, 2);
}

TEST(DirectoryTrust, AMemberCountThatWrappedHidesNoMember)
{
    // Without Zip64 records the end record's 16-bit count wraps; the
    // directory's offset and size still tell where its headers end.
    auto threeCountedAs = [](std::uint16_t count) {
        ZipBuilder small;
        for (const char* name : {"one", "two", "three"})
            small.Add(Stored(name, name));
        return small.StatedCount(count).Finish().Bytes();
    };
    const std::string root = FreshDir("wrapped");
    const std::string archive = root + "/wrapped.zip";
    WriteFile(archive, threeCountedAs(1));
    const std::string target = FreshDir("wrapped/out");
    EXPECT_EQ(Exec(archive, target, Options{}).count, 3);
    EXPECT_EQ(ListAll(target), (std::vector<std::string>{"one", "three", "two"}));
    // A multiple of 65,536 members wraps to a count of 0: no empty archive.
    WriteFile(archive, threeCountedAs(0));
    EXPECT_EQ(Exec(archive, "", Testing()).count, 3);
    // 65,540 real members counted as 4: RealLibraries.ListingAndLibrariesCountTheSameMembers.
}

TEST(DirectoryTrust, OnlyRegularFilesAreArchives)
{
    // Opening a FIFO for reading would wait for a writer for ever.
    const std::string fifo = FreshDir("fifo") + "/pipe.zip";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        Result r = Exec(path, "", Testing());
        EXPECT_EQ(r.count, 0);
        EXPECT_TRUE(AnyMessageHas(r, "not a regular file")) << r.Dump();
    }
}

TEST(DirectoryTrust, LongNamesInMessagesAreShortenedNotTheReason)
{
    // An archive path near the longest Linux allows: the message keeps its
    // words and its reason, and the path loses its middle.
    std::string path = FreshDir("long");
    while (path.size() < 4090)
        path += "/" + std::string(200, 'd');
    path = path.substr(0, 4086) + ".zip";
    Result r = Exec(path, "", Testing());
    ASSERT_EQ(r.Messages(true).size(), 1u) << r.Dump();
    const std::string text = r.Messages(true).front().text;
    EXPECT_EQ(text.rfind("Cannot open archive " + path.substr(0, 100), 0), 0u);
    EXPECT_NE(text.find("..."), std::string::npos);
    const std::string reason = "d.zip: No such file or directory";
    EXPECT_EQ(text.substr(text.size() - reason.size()), reason);
    EXPECT_LT(text.size(), std::size_t(ZCB_MESSAGE_CAPACITY));
}
