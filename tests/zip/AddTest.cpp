// Adding through ZIPDLL.DLL, checked by extracting with UNZDLL.DLL and by
// the peer tools.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "ZipHarness.h"
#include "libs/zipwriter/MemberName.h"

using namespace ziptest;
using fixture::ReadFile;
using fixture::TempDir;

namespace {

// A small tree: text, noise (does not shrink), empty, a 100,000-byte file.
void MakeTree(const TempDir& dir)
{
    dir.Write("src/a.txt", TextData(5000, 1));
    dir.Write("src/noise.bin", NoiseData(40000, 2));
    dir.Write("src/empty.txt", "");
    dir.Write("src/big.txt", TextData(100000, 3));
    dir.Write("src/sub/b.txt", TextData(70000, 4));
    dir.Write("src/.hidden", "secret");
    std::filesystem::create_directories(dir / "src/sub/vacant");
}

void ExpectSound(const std::string& archive)
{
    EXPECT_TRUE(UnzipTestOk(archive));
    EXPECT_TRUE(SevenZipTestOk(archive));
    EXPECT_TRUE(PythonTestOk(archive));
}

}  // namespace

TEST(ZipDll, ExportsVersionAndChecksTheRecord)
{
    EXPECT_EQ(ZipVersion(), 100);
    TempDir dir;
    std::string archive = dir / "a.zip";
    CallLog log;
    auto record = std::make_unique<ZipCommandRecord>();
    std::memset(record.get(), 0, sizeof(ZipCommandRecord));
    record->Caller = &log;
    record->CallbackAddress = [](CallbackRecord* r) -> int32_t {
        static_cast<CallLog*>(r->Caller)->events.push_back({r->ActionCode, r->ErrorCode, 0, r->MessageText});
        return 0;
    };
    record->RecordVersion = 139;
    record->TrailerMark = ZREC_TRAILER_MARK;
    record->ArchiveName = archive.c_str();
    EXPECT_EQ(ExecZip(record.get()), 0);
    record->RecordVersion = ZREC_RECORD_VERSION;
    record->TrailerMark = 6;
    EXPECT_EQ(ExecZip(record.get()), 0);
    record->TrailerMark = ZREC_TRAILER_MARK;
    record->SpecCount = ZREC_MAX_SPECS + 1;
    EXPECT_EQ(ExecZip(record.get()), 0);
    ASSERT_EQ(log.Messages(true).size(), 3u);
    EXPECT_NE(log.Messages(true)[0].find("140"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(archive));
    EXPECT_EQ(ExecZip(nullptr), 0);
}

TEST(ZipDll, AddsDeflatedAndStoredMembersThatRoundTrip)
{
    TempDir dir;
    MakeTree(dir);
    std::string archive = dir / "out.zip";
    CallLog log;
    ZipCall call{archive, {dir / "src/*.*"}};
    call.recurse = true;
    EXPECT_EQ(RunZip(call, &log), 5);
    EXPECT_TRUE(log.Messages(true).empty()) << log.Messages(true)[0];
    ExpectSound(archive);
    EXPECT_FALSE(log.foreignThread);

    // Progress: one begin per file and exactly max(1, size / 32768) steps.
    EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 5);
    EXPECT_EQ(log.Count(ZCB_FILE_STEP), 1 + 1 + 1 + 3 + 2);
    EXPECT_EQ(log.Count(ZCB_BATCH_END), 1);
    EXPECT_EQ(log.events.back().action, ZCB_BATCH_END);

    TempDir out;
    EXPECT_GE(RunUnzip(archive, out.Path()), 5);
    std::string base = out.Path() + dir.Path() + "/src/";
    EXPECT_EQ(ReadFile(base + "a.txt"), TextData(5000, 1));
    EXPECT_EQ(ReadFile(base + "noise.bin"), NoiseData(40000, 2));
    EXPECT_EQ(ReadFile(base + "big.txt"), TextData(100000, 3));
    EXPECT_EQ(ReadFile(base + "sub/b.txt"), TextData(70000, 4));
    EXPECT_TRUE(std::filesystem::is_directory(base + "sub/vacant"));
    EXPECT_FALSE(std::filesystem::exists(base + ".hidden"));

    std::string listing;
    fixture::RunCommand("unzip -v " + Quote(archive), &listing);
    EXPECT_NE(listing.find("40000  Stored"), std::string::npos) << listing;  // noise is stored
    EXPECT_NE(listing.find("Defl:"), std::string::npos);
}

TEST(ZipDll, LevelsMapAndStoreWhenAsked)
{
    TempDir dir;
    dir.Write("t.txt", TextData(50000, 7));
    for (int level : {-5, 0, 1, 9, 12, 100}) {
        std::string archive = dir / ("l" + std::to_string(level + 10) + ".zip");
        ZipCall call{archive, {dir / "t.txt"}};
        call.level = level;
        EXPECT_EQ(RunZip(call), 1);
        ExpectSound(archive);
        auto size = std::filesystem::file_size(archive);
        if (level == 0)
            EXPECT_GT(size, 50000u);
        else
            EXPECT_LT(size, 20000u);
    }
}

TEST(ZipDll, NamesWithAndWithoutFoldersAndForcedDos)
{
    TempDir dir;
    dir.Write("Some Folder/Long File Name.text", "x");
    dir.Write("Some Folder/caf\xC3\xA9.txt", "y");
    std::string archive = dir / "n.zip";
    ZipCall call{archive, {dir / "Some Folder/*"}};
    call.dirNames = false;
    EXPECT_EQ(RunZip(call), 2);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"Long File Name.text", "caf\xC3\xA9.txt"}));

    std::string dos = dir / "dos.zip";
    ZipCall dosCall{dos, {dir / "Some Folder/*"}};
    dosCall.forceDos = true;
    EXPECT_EQ(RunZip(dosCall), 2);
    std::string stem = zipwriter::ForceDosName(zipwriter::StoredName(dir.Path(), true));
    EXPECT_EQ(PythonNames(dos)[0], stem + "/SOMEFOLD/LONGFILE.TEX");
    ExpectSound(dos);

    // A relative specification keeps a relative name.
    char saved[4096];
    ASSERT_TRUE(getcwd(saved, sizeof(saved)));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::string rel = dir / "rel.zip";
    int count = RunZip({rel, {"Some Folder/../Some Folder/Long*"}});
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(PythonNames(rel), (std::vector<std::string>{"Some Folder/Long File Name.text"}));
}
