// Adding through ZIPDLL.DLL, checked by extracting with UNZDLL.DLL and by
// the peer tools.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fernpack/Version.h>

#include "PeerCheck.h"
#include "TempDir.h"
#include "ZipHarness.h"
#include "zipformat/StoredName.h"

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

void ExpectSound(const std::string& archive) { EXPECT_EQ(fixture::PeerCheck(archive), ""); }

}  // namespace

TEST(ZipDll, ExportsVersionAndChecksTheRecord)
{
    EXPECT_EQ(ZipVersion(), FERNPACK_LIBRARY_VERSION);  // 200 for 2.0.0
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
    // Made by Unix with the permission bits; only the non-ASCII name has the UTF-8 flag.
    chmod((dir / "Some Folder/Long File Name.text").c_str(), 0640);
    EXPECT_EQ(RunZip(call), 2);
    std::string attrs;
    fixture::RunCommand("python3 -c 'import sys,zipfile\n"
                        "for i in zipfile.ZipFile(sys.argv[1]).infolist(): "
                        "print(i.create_system, oct(i.external_attr >> 16), i.flag_bits & 0x800)' " +
                            Quote(archive),
                        &attrs);
    EXPECT_EQ(attrs, "3 0o100640 0\n3 0o100644 2048\n");

    std::string dos = dir / "dos.zip";
    ZipCall dosCall{dos, {dir / "Some Folder/*"}};
    dosCall.forceDos = true;
    EXPECT_EQ(RunZip(dosCall), 2);
    std::string stem = fernpack::zip::ForceDosName(fernpack::zip::StoredName(dir.Path(), true));
    EXPECT_EQ(PythonNames(dos)[0], stem + "/SOMEFOLD/LONGFILE.TEX");
    ExpectSound(dos);

    // A relative pattern keeps a relative name.
    char saved[4096];
    ASSERT_TRUE(getcwd(saved, sizeof(saved)));
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    std::string rel = dir / "rel.zip";
    int count = RunZip({rel, {"Some Folder/../Some Folder/Long*"}});
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(PythonNames(rel), (std::vector<std::string>{"Some Folder/Long File Name.text"}));
}

namespace {

void SetMtime(const std::string& path, std::time_t when)
{
    struct timespec times[2] = {{when, 0}, {when, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

TEST(ZipDll, UpdateFreshenAndReplace)
{
    TempDir dir;
    std::string a = dir.Write("a.txt", "old a"), b = dir.Write("b.txt", "old b");
    SetMtime(a, 1600000001);  // stored rounded up to ...002
    SetMtime(b, 1600000001);
    std::string archive = dir / "u.zip";
    ZipCall call{archive, {dir / "a.txt", dir / "b.txt"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 2);

    dir.Write("a.txt", "new a");
    SetMtime(a, 1600000002);  // the same 2-second slot: not newer
    dir.Write("c.txt", "new c");
    ZipCall fresh{archive, {dir / "*.txt"}};
    fresh.dirNames = false;
    fresh.freshen = true;
    CallLog passed;
    EXPECT_EQ(RunZip(fresh, &passed), 0);  // nothing newer, c.txt not in the archive
    // Files passed over still take their steps, as the count before the add predicts.
    EXPECT_EQ(passed.Count(ZCB_FILE_BEGIN), 3);
    EXPECT_EQ(passed.Count(ZCB_FILE_STEP), 3);
    SetMtime(a, 1600000000 + 10);
    EXPECT_EQ(RunZip(fresh), 1);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"a.txt", "b.txt"}));

    ZipCall update = fresh;
    update.freshen = false;
    update.update = true;
    EXPECT_EQ(RunZip(update), 1);  // c.txt only
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));

    // A plain add replaces whatever has the same name, in its place.
    dir.Write("b.txt", "newest b");
    EXPECT_EQ(RunZip(call), 2);
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 3);
    EXPECT_EQ(ReadFile(out / "a.txt"), "new a");
    EXPECT_EQ(ReadFile(out / "b.txt"), "newest b");
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    ExpectSound(archive);
}

TEST(ZipDll, MoveDeletesSourcesOnlyAfterTheCommit)
{
    TempDir dir;
    dir.Write("m/one.txt", "1");
    dir.Write("m/two.txt", "2");
    std::string archive = dir / "m.zip";
    ZipCall call{archive, {dir / "m/*.txt"}};
    call.move = true;
    CallLog cancel;
    cancel.cancelAt = 2;  // inside the first file
    EXPECT_EQ(RunZip(call, &cancel), 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "m/one.txt"));
    EXPECT_FALSE(std::filesystem::exists(archive));
    EXPECT_EQ(RunZip(call), 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "m/one.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "m/two.txt"));
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 2);
}

TEST(ZipDll, ZipTimeSetsTheNewestMemberTime)
{
    TempDir dir;
    std::string a = dir.Write("a.txt", "a"), b = dir.Write("b.txt", "b");
    SetMtime(a, 1500000000);
    SetMtime(b, 1500000100);
    std::string archive = dir / "t.zip";
    ZipCall call{archive, {dir / "*.txt"}};
    call.zipTime = true;
    ASSERT_EQ(RunZip(call), 2);
    struct stat st;
    ASSERT_EQ(stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1500000100);
    // After deleting the newest member the archive takes the time of the next.
    ZipCall remove{archive, {"*b.txt"}};
    remove.remove = true;
    remove.zipTime = true;
    ASSERT_EQ(RunZip(remove), 1);
    ASSERT_EQ(stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1500000000);
}

TEST(ZipDll, HiddenFilesOnlyWhenAsked)
{
    TempDir dir;
    dir.Write("h/.dot", "d");
    dir.Write("h/plain", "p");
    std::string archive = dir / "h.zip";
    ZipCall call{archive, {dir / "h/*"}};
    call.dirNames = false;
    EXPECT_EQ(RunZip(call), 1);
    call.hidden = true;
    EXPECT_EQ(RunZip(call), 2);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"plain", ".dot"}));
}

TEST(ZipDll, MessagesForEmptySpecsUnreadableFilesAndMissingPassword)
{
    TempDir dir;
    dir.Write("r/ok.txt", "fine");
    std::string locked = dir.Write("r/locked.txt", "no access");
    chmod(locked.c_str(), 0);
    bool root = geteuid() == 0;
    std::string archive = dir / "r.zip";
    CallLog log;
    int count = RunZip({archive, {dir / "r/*.txt", dir / "nothing/*.xyz"}}, &log);
    EXPECT_TRUE(log.HasMessage("No files found for " + dir / "nothing/*.xyz"));
    if (!root) {
        EXPECT_EQ(count, 1);
        EXPECT_TRUE(log.HasMessage("Skipped " + locked));
    }
    EXPECT_EQ(fixture::PeerCheck(archive), "");

    CallLog nopass;
    ZipCall secret{dir / "s.zip", {dir / "r/ok.txt"}};
    secret.encrypt = true;
    EXPECT_EQ(RunZip(secret, &nopass), 0);
    EXPECT_TRUE(nopass.HasMessage("Encryption needs a password"));
    EXPECT_FALSE(std::filesystem::exists(dir / "s.zip"));
}

TEST(ZipDll, EncryptsWithWinZipAes)
{
    TempDir dir;
    dir.Write("e/tiny.txt", "hush");
    dir.Write("e/text.txt", TextData(90000, 5));
    dir.Write("e/noise.bin", NoiseData(5000, 6));
    std::string archive = dir / "e.zip";
    ZipCall call{archive, {dir / "e/*"}};
    call.encrypt = true;
    call.password = "pa55 word";
    call.dirNames = false;
    ASSERT_EQ(RunZip(call), 3);
    // Nothing readable in clear.
    std::string bytes = ReadFile(archive);
    EXPECT_EQ(bytes.find("hush"), std::string::npos);
    EXPECT_EQ(bytes.find(NoiseData(5000, 6).substr(0, 64)), std::string::npos);
    EXPECT_EQ(fixture::PeerCheck(archive, "pa55 word"), "");
    EXPECT_FALSE(SevenZipTestOk(archive, "wrong"));
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path(), false, "pa55 word"), 3);
    EXPECT_EQ(ReadFile(out / "tiny.txt"), "hush");
    EXPECT_EQ(ReadFile(out / "text.txt"), TextData(90000, 5));
    EXPECT_EQ(ReadFile(out / "noise.bin"), NoiseData(5000, 6));
    TempDir wrong;
    EXPECT_EQ(RunUnzip(archive, wrong.Path(), false, "nope"), 0);
}

TEST(ZipDll, LargeFilesGoInPiecesAndStayBounded)
{
    // 20 MiB of text goes through the piecewise path (above 4 MiB).
    TempDir dir;
    std::string data = TextData(20u << 20, 9);
    data.replace(5u << 20, 1u << 20, NoiseData(1u << 20, 10));
    dir.Write("big/large.txt", data);
    std::string archive = dir / "big.zip";
    CallLog log;
    ZipCall call{archive, {dir / "big/*"}};
    call.dirNames = false;
    ASSERT_EQ(RunZip(call, &log), 1);
    EXPECT_EQ(log.Count(ZCB_FILE_STEP), 640);
    EXPECT_LT(std::filesystem::file_size(archive), data.size() / 2);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 1);
    EXPECT_TRUE(ReadFile(out / "large.txt") == data);

    // Noise in pieces does not shrink: it is stored.
    dir.Write("big/large.txt", NoiseData(17u << 20, 11));
    ASSERT_EQ(RunZip(call), 1);
    std::string listing;
    fixture::RunCommand("unzip -v " + Quote(archive), &listing);
    EXPECT_NE(listing.find("Stored"), std::string::npos) << listing;
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

TEST(ZipDll, VerboseAndTraceReportEachMember)
{
    TempDir dir;
    dir.Write("v/a.txt", TextData(20000, 71));
    dir.Write("v/n.bin", NoiseData(1000, 72));
    ZipCall call{dir / "v.zip", {dir / "v/*"}};
    call.dirNames = false;
    call.verbose = true;
    CallLog log;
    ASSERT_EQ(RunZip(call, &log), 2);
    EXPECT_TRUE(log.HasMessage("adding: a.txt (deflated "));
    EXPECT_TRUE(log.HasMessage("adding: n.bin (stored 0%)"));
    EXPECT_TRUE(log.Messages(true).empty());
    CallLog quiet;
    ASSERT_EQ(RunZip(call = ZipCall{dir / "q.zip", {dir / "v/*"}}, &quiet), 2);
    EXPECT_TRUE(quiet.Messages().empty());
}

TEST(ZipDll, UnreadableSourcesAreSkippedAndOldMembersKept)
{
    // Kernel attribute files claim 4,096 bytes and deliver fewer: a source
    // that cannot be read as it was listed, even for root.
    const std::string odd = "/sys/kernel/mm/transparent_hugepage/enabled";
    if (!std::filesystem::exists(odd))
        GTEST_SKIP() << "no " << odd;
    TempDir dir;
    dir.Write("enabled", "the old member");
    dir.Write("ok.txt", "fine");
    std::string archive = dir / "k.zip";
    ZipCall first{archive, {dir / "enabled"}};
    first.dirNames = false;
    ASSERT_EQ(RunZip(first), 1);
    CallLog log;
    ZipCall call{archive, {odd, dir / "ok.txt"}};
    call.dirNames = false;
    EXPECT_EQ(RunZip(call, &log), 1);
    EXPECT_TRUE(log.HasMessage("Skipped " + odd));
    EXPECT_EQ(log.Count(ZCB_FILE_BEGIN), 2);
    EXPECT_EQ(log.Count(ZCB_FILE_STEP), 2);
    EXPECT_EQ(PythonNames(archive), (std::vector<std::string>{"enabled", "ok.txt"}));
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path()), 2);
    EXPECT_EQ(ReadFile(out / "enabled"), "the old member");
    ExpectSound(archive);
}

TEST(ZipDll, OptionsCombined)
{
    TempDir dir;
    dir.Write("c/Alpha Document.text", TextData(40000, 81));
    dir.Write("c/deep/Beta.data", NoiseData(2000, 82));
    dir.Write("c/.secret", "dot");
    std::string archive = dir / "combo.zip";
    ZipCall call{archive, {dir / "c/*.*"}};
    call.recurse = true;
    call.forceDos = true;
    call.hidden = true;
    call.encrypt = true;
    call.password = "combo";
    call.zipTime = true;
    call.level = 12;
    ASSERT_EQ(RunZip(call), 3);
    EXPECT_EQ(fixture::PeerCheck(archive, "combo"), "");
    auto names = PythonNames(archive);
    std::string stem = fernpack::zip::ForceDosName(fernpack::zip::StoredName(dir.Path(), true)) + "/C/";
    EXPECT_EQ(names, (std::vector<std::string>{stem + "DEEP/BETA.DAT", stem + "_.SEC", stem + "ALPHADOC.TEX"}));
    TempDir out;
    EXPECT_EQ(RunUnzip(archive, out.Path(), false, "combo"), 3);
    EXPECT_EQ(ReadFile(out.Path() + "/" + stem + "ALPHADOC.TEX"), TextData(40000, 81));
    // Update with nothing newer changes nothing; freshen alone neither.
    std::string before = ReadFile(archive);
    call.update = true;
    EXPECT_EQ(RunZip(call), 0);
    EXPECT_TRUE(ReadFile(archive) == before);
}
