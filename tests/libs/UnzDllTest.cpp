// UNZDLL.DLL as its callers see it: the record checks, archives from real
// clients extracting byte for byte and testing good (also behind a stub),
// the progress protocol, damaged and hostile archives, selection rules,
// overwrite/freshen/update, cancelling, passwords, the exported symbols and
// members written to standard output.
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <map>
#include <random>
#include <set>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ZipFixture.h"

#include "UnzDllHarness.h"

namespace fs = std::filesystem;
using namespace unztest;

namespace {

constexpr int kTreeEntries = 13;  // 7 files and 6 folders in make_archives.py

bool HasLeftovers(const std::string& root)
{
    for (const auto& p : ListAll(root))
        if (p.find(".fernpack-") != std::string::npos)
            return true;
    return false;
}

// Every file: action 1 with its size, then exactly max(1, size / 32768)
// steps; for a size given as the largest 32-bit one the steps follow the
// real size (then at least one step). A file that failed takes no more
// steps than its data passed, so at most that many, and may take none.
// One action 3, last.
void ExpectProgressProtocol(const Result& r)
{
    ASSERT_FALSE(r.callbacks.empty());
    EXPECT_TRUE(r.callerOk);
    EXPECT_EQ(r.callbacks.back().action, ZCB_BATCH_END);
    EXPECT_EQ(r.Count(ZCB_BATCH_END), 1);
    long expected = -1, steps = 0;
    bool saturated = false, failed = false;
    for (const auto& cb : r.callbacks) {
        if (cb.action == ZCB_FILE_BEGIN || cb.action == ZCB_BATCH_END) {
            if (failed) {
                EXPECT_LE(steps, saturated ? LONG_MAX : expected) << r.Dump();
            } else if (saturated) {
                EXPECT_GE(steps, 1) << r.Dump();
            } else if (expected >= 0) {
                EXPECT_EQ(steps, expected) << r.Dump();
            }
            saturated = cb.action == ZCB_FILE_BEGIN && cb.size == INT32_MAX;
            expected = cb.action == ZCB_FILE_BEGIN ? std::max<long>(1, cb.size / 32768) : -1;
            steps = 0;
            failed = false;
        } else if (cb.action == ZCB_FILE_STEP) {
            ++steps;
        } else if (cb.action >= ZCB_MESSAGE && cb.error > 0) {
            failed = true;
        }
    }
}

class Interop : public ::testing::TestWithParam<std::string> {};

TEST_P(Interop, TestsGoodAndExtractsByteForByte)
{
    std::string archive = Archive(GetParam());
    if (!fs::exists(archive))
        GTEST_SKIP() << "peer tool missing: " << GetParam();
    bool descriptors = GetParam().find("descriptor") != std::string::npos;
    int entries = descriptors ? 7 : kTreeEntries;

    Options test;
    test.test = true;
    test.password = Password();
    Result tested = Exec(archive, "", test);
    EXPECT_EQ(tested.count, entries) << tested.Dump();
    EXPECT_TRUE(tested.Messages(true).empty()) << tested.Dump();
    ExpectProgressProtocol(tested);

    std::string target = FreshDir("interop_" + GetParam());
    Options extract;
    extract.password = Password();
    Result extracted = Exec(archive, target, extract);
    EXPECT_EQ(extracted.count, entries) << extracted.Dump();
    EXPECT_TRUE(extracted.Messages(true).empty()) << extracted.Dump();
    ExpectProgressProtocol(extracted);
    EXPECT_EQ(ReadTree(target), ReadTree(ArchiveDir() + "/src"));
    if (!descriptors) {
        EXPECT_TRUE(fs::is_directory(target + "/emptydir"));
    }
    EXPECT_FALSE(HasLeftovers(target));
}

INSTANTIATE_TEST_SUITE_P(Archives, Interop,
                         ::testing::Values("python_deflated.zip", "python_stored.zip", "python_descriptor.zip",
                                           "infozip.zip", "infozip_crypto.zip", "sevenzip.zip",
                                           "sevenzip_stored.zip", "sevenzip_crypto.zip", "sevenzip_aes128.zip",
                                           "sevenzip_aes256.zip", "sevenzip_deflate64.zip", "sevenzip_bzip2.zip",
                                           "sevenzip_lzma.zip", "sevenzip_aes_bzip2.zip", "python_bzip2.zip",
                                           "python_lzma.zip", "sfx_python_deflated.exe", "sfx_infozip.exe",
                                           "sfx_sevenzip_aes256.exe", "sfx_infozip_crypto.exe"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (char& c : n)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return n;
                         });

TEST(UnzDll, ExportsOnlyItsTwoEntryPoints)
{
    std::string out = Shell(std::string("nm -D --defined-only ") + UNZDLL_PATH);
    std::set<std::string> names;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string addr, type, name;
        fields >> addr >> type >> name;
        if (!name.empty())
            names.insert(name.substr(0, name.find('@')));
    }
    EXPECT_EQ(names, (std::set<std::string>{"GetUnzDllVersion", "UnzDllExec"})) << out;
}

TEST(UnzDll, RefusesBadRecordsWithOneMessage)
{
    std::vector<std::function<void(UnzCommandRecord&)>> tweaks = {
        [](UnzCommandRecord& r) { r.RecordVersion = 139; },
        [](UnzCommandRecord& r) { r.TrailerMark = 6; },
        [](UnzCommandRecord& r) { r.SpecCount = ZREC_MAX_SPECS + 1; },
        [](UnzCommandRecord& r) { r.SpecCount = -1; },
    };
    for (auto& tweak : tweaks) {
        Options o;
        o.test = true;
        o.tweak = tweak;
        Result r = Exec(Archive("python_deflated.zip"), "", o);
        EXPECT_EQ(r.count, 0);
        ASSERT_EQ(r.callbacks.size(), 1u) << r.Dump();
        EXPECT_EQ(r.callbacks[0].action, ZCB_MESSAGE);
        EXPECT_GT(r.callbacks[0].error, 0);
    }
}

TEST(UnzDll, ReadsTextsOnlyWithinTheirBuffers)
{
    // An unterminated 256-byte buffer: the library stops at 255 characters
    // (reading further would trip the address sanitizer). Entries past
    // SpecCount hold addresses that must never be touched.
    auto junk = std::make_unique<char[]>(ZREC_TEXT_CAPACITY);
    std::memset(junk.get(), 'x', ZREC_TEXT_CAPACITY);
    Options o;
    o.test = true;
    o.tweak = [&](UnzCommandRecord& r) {
        r.SpecTexts[0] = junk.get();
        r.SpecTexts[1] = reinterpret_cast<const char*>(8);
        r.SpecTexts[ZREC_MAX_SPECS - 1] = reinterpret_cast<const char*>(8);
        r.SpecCount = 1;
    };
    Result r = Exec(Archive("python_deflated.zip"), "", o);
    EXPECT_EQ(r.count, 0);
    ASSERT_EQ(r.Messages(true).size(), 1u);
    EXPECT_EQ(r.Messages(true)[0].error, 4);
}

TEST(UnzDll, MissingArchiveIsAMessageAndCountZero)
{
    Options o;
    o.test = true;
    Result r = Exec(ArchiveDir() + "/no-such.zip", "", o);
    EXPECT_EQ(r.count, 0);
    ASSERT_EQ(r.Messages(true).size(), 1u);
    EXPECT_EQ(r.callbacks.back().action, ZCB_BATCH_END);
    Options empty;
    empty.test = true;
    empty.tweak = [](UnzCommandRecord& rec) { rec.ArchiveName = nullptr; };
    EXPECT_EQ(Exec("", "", empty).count, 0);
}

TEST(UnzDll, EmptySelfExtractorHasNothingToDo)
{
    Options o;
    o.test = true;
    Result r = Exec(Archive("sfx_empty.exe"), "", o);
    EXPECT_EQ(r.count, 0);
    EXPECT_TRUE(r.Messages(true).empty()) << r.Dump();
    EXPECT_EQ(r.Count(ZCB_BATCH_END), 1);
}

TEST(UnzDll, ReadsZip64ArchivesWithManyMembers)
{
    Options o;
    o.test = true;
    Result r = Exec(Archive("zip64_many.zip"), "", o);
    EXPECT_EQ(r.count, 70000);
    EXPECT_TRUE(r.Messages(true).empty());
}

TEST(UnzDll, NamesUnsupportedMethodsAndCountsTheRest)
{
    Options o;
    o.test = true;
    Result r = Exec(Archive("methods.zip"), "", o);
    EXPECT_EQ(r.count, 1);
    auto errors = r.Messages(true);
    ASSERT_EQ(errors.size(), 2u) << r.Dump();
    EXPECT_NE(errors[0].text.find("packed.ppmd: PPMd compression (method 98) is not supported"), std::string::npos)
        << errors[0].text;
    EXPECT_NE(errors[1].text.find("packed.wv: WavPack compression (method 97) is not supported"), std::string::npos)
        << errors[1].text;
    ExpectProgressProtocol(r);
    // Extracting skips them and writes nothing for them.
    const std::string target = FreshDir("methods_unknown");
    Result x = Exec(Archive("methods.zip"), target, Options{});
    EXPECT_EQ(x.count, 1);
    EXPECT_EQ(ListAll(target), std::vector<std::string>{"plain.txt"});
}

TEST(UnzDll, RefusesLyingSizesAndSplitArchives)
{
    // A size of 2.4 GB for 16 bytes of data: no size is refused as such,
    // the data is, for not being what the directory says.
    Options o;
    o.test = true;
    Result r = Exec(Archive("huge.zip"), "", o);
    EXPECT_EQ(r.count, 1);
    auto errors = r.Messages(true);
    ASSERT_EQ(errors.size(), 1u) << r.Dump();
    EXPECT_EQ(errors[0].error, 8);
    EXPECT_NE(errors[0].text.find("huge.bin"), std::string::npos);
    EXPECT_NE(errors[0].text.find("2415919104"), std::string::npos) << errors[0].text;
    ExpectProgressProtocol(r);
    Result split = Exec(Archive("split.zip"), "", o);
    EXPECT_EQ(split.count, 0);
    ASSERT_EQ(split.Messages(true).size(), 1u);
    EXPECT_NE(split.Messages(true)[0].text.find("split"), std::string::npos);
}

TEST(UnzDll, AFailedMemberTakesNoMoreStepsWhateverItsSizeClaims)
{
    // Central records whose Zip64 field claims 2^64 - 1 bytes, packed and
    // unpacked, for a few bytes of data: the member fails at once and its
    // stated size sizes nothing, so the run ends after a handful of
    // callbacks instead of trillions of steps. Once plain, once written as
    // to a stream (sizes only in the directory and the descriptor).
    const std::string dir = FreshDir("lying_zip64");
    for (const bool streamed : {false, true}) {
        fixture::Member liar = streamed ? fixture::Streamed("liar.txt", "hello world\n")
                                        : fixture::Stored("liar.txt", "hello world\n");
        liar.VersionNeeded = 45;
        liar.CentralCompressedSize = liar.CentralUncompressedSize = 0xFFFFFFFF;
        liar.CentralExtra = fixture::Zip64Field({UINT64_MAX, UINT64_MAX});
        const std::string archive = dir + (streamed ? "/streamed.zip" : "/plain.zip");
        WriteFile(archive, fixture::ZipBuilder().Add(liar).Add(fixture::Stored("fine.txt", "fine")).Finish().Bytes());
        for (const bool test : {true, false}) {
            Options o;
            o.test = test;
            const std::string target = test ? "" : FreshDir(streamed ? "lying_zip64/x1" : "lying_zip64/x2");
            Result r = Exec(archive, target, o);
            EXPECT_EQ(r.count, 1) << r.Dump();
            EXPECT_LT(r.callbacks.size(), 10u) << r.Dump();
            auto errors = r.Messages(true);
            ASSERT_EQ(errors.size(), 1u) << r.Dump();
            EXPECT_EQ(errors[0].error, 8);
            EXPECT_NE(errors[0].text.find("liar.txt: data cut short"), std::string::npos) << errors[0].text;
            ExpectProgressProtocol(r);
            if (!test) {
                EXPECT_EQ(ListAll(target), std::vector<std::string>{"fine.txt"});
            }
        }
    }
}

TEST(UnzDll, RefusesAMemberWhoseZip64FieldIsTooShortAndGoesOn)
{
    fixture::Member shortField = fixture::Stored("short.txt", "short");
    shortField.CentralCompressedSize = shortField.CentralUncompressedSize = 0xFFFFFFFF;
    shortField.CentralExtra = fixture::Zip64Field({5});
    const std::string dir = FreshDir("zip64short");
    const std::string archive = dir + "/a.zip";
    WriteFile(archive, fixture::ZipBuilder().Add(shortField).Add(fixture::Stored("fine.txt", "fine")).Finish().Bytes());
    Options o;
    o.test = true;
    Result r = Exec(archive, "", o);
    EXPECT_EQ(r.count, 1);
    auto errors = r.Messages(true);
    ASSERT_EQ(errors.size(), 1u) << r.Dump();
    EXPECT_EQ(errors[0].error, 8);
    EXPECT_EQ(errors[0].text, "Test failed for short.txt: its Zip64 extra field is too short for the values it must hold");
}

TEST(UnzDll, RunsOfZerosComeOutAsTheyWentIn)
{
    // Extracted zeros become holes; the file must still read back whole,
    // also when it ends in them.
    const std::string inside = "abc" + std::string(200000, '\0') + "x";
    const std::string atEnd = "start" + std::string(300000, '\0');
    const std::string dir = FreshDir("zeros");
    WriteFile(dir + "/z.zip", fixture::ZipBuilder()
                                  .Add(fixture::Stored("inside.bin", inside))
                                  .Add(fixture::Stored("end.bin", atEnd))
                                  .Finish()
                                  .Bytes());
    const std::string target = FreshDir("zeros-out");
    Result r = Exec(dir + "/z.zip", target, Options{});
    EXPECT_EQ(r.count, 2) << r.Dump();
    EXPECT_TRUE(ReadFile(target + "/inside.bin") == inside);
    EXPECT_TRUE(ReadFile(target + "/end.bin") == atEnd);
}

TEST(UnzDll, SelectsByNameAndPattern)
{
    struct Case {
        std::vector<std::string> specs;
        int count;
        int errors;
    } cases[] = {
        {{"star*.txt"}, 1, 0},          // a stored name wins over the pattern
        {{"star?.txt"}, 2, 0},          // ? matches any character
        {{"*.*"}, 6, 0},                // every name, with or without a dot
        {{"a/*"}, 2, 0},                // * also matches '/'
        {{"*.TXT"}, 1, 0},              // case-sensitive
        {{"case.txt"}, 0, 1},           // no match: a message
        {{"noext", "a/d.dat"}, 2, 0},
        {{""}, 0, 1},                   // an empty pattern names nothing
        {{"", "noext"}, 1, 1},
    };
    for (const auto& c : cases) {
        Options o;
        o.test = true;
        o.specs = c.specs;
        Result r = Exec(Archive("names.zip"), "", o);
        EXPECT_EQ(r.count, c.count) << c.specs[0] << "\n" << r.Dump();
        EXPECT_EQ(int(r.Messages(true).size()), c.errors) << c.specs[0];
    }
    std::string target = FreshDir("select");
    Options o;
    o.specs = {"star*.txt"};
    EXPECT_EQ(Exec(Archive("names.zip"), target, o).count, 1);
    EXPECT_EQ(ListAll(target), std::vector<std::string>{"star*.txt"});
}

TEST(UnzDll, WithoutFolderNamesUsesFileNamesOnly)
{
    std::string target = FreshDir("flat");
    Options o;
    o.dirNames = false;
    Result r = Exec(Archive("python_deflated.zip"), target, o);
    EXPECT_EQ(r.count, kTreeEntries) << r.Dump();
    for (const auto& p : ListAll(target))
        EXPECT_EQ(p.find('/'), std::string::npos) << p;
    EXPECT_EQ(ReadFile(target + "/leaf.txt"), "leaf\n");
}

TEST(UnzDll, OverwriteFreshenAndUpdateRules)
{
    std::string target = FreshDir("rules");
    std::string file = target + "/readme.txt";
    Options o;
    o.specs = {"readme.txt"};
    const std::string original = ReadFile(ArchiveDir() + "/src/readme.txt");
    ASSERT_EQ(Exec(Archive("infozip.zip"), target, o).count, 1);
    ASSERT_EQ(ReadFile(file), original);

    auto setFile = [&](const std::string& text, time_t when) {
        WriteFile(file, text);
        struct timespec t[2] = {{when, 0}, {when, 0}};
        utimensat(AT_FDCWD, file.c_str(), t, 0);
    };
    auto run = [&](Options opts) { return Exec(Archive("infozip.zip"), target, opts); };

    setFile("changed", 1800000000);
    Result skipped = run(o);  // no overwrite: kept, an information message of its own code
    EXPECT_EQ(skipped.count, 0);
    ASSERT_EQ(skipped.Messages().size(), 1u);
    EXPECT_EQ(skipped.Messages()[0].error, ZCB_INFO_SKIPPED);
    EXPECT_EQ(ReadFile(file), "changed");

    Options fresh = o;
    fresh.freshen = true;
    EXPECT_EQ(run(fresh).count, 0);  // the existing file is newer
    EXPECT_EQ(ReadFile(file), "changed");
    setFile("older", 1600000000);
    EXPECT_EQ(run(fresh).count, 1);
    EXPECT_EQ(ReadFile(file), original);

    Options freshMissing = fresh;
    freshMissing.specs = {"empty.txt"};
    Result notCreated = run(freshMissing);
    EXPECT_EQ(notCreated.count, 0);
    EXPECT_TRUE(notCreated.Messages(true).empty());
    EXPECT_FALSE(fs::exists(target + "/empty.txt"));

    Options update = freshMissing;
    update.freshen = false;
    update.update = true;
    EXPECT_EQ(run(update).count, 1);
    EXPECT_TRUE(fs::exists(target + "/empty.txt"));

    setFile("newer", 1800000000);
    Options overwrite = o;
    overwrite.overwrite = true;
    EXPECT_EQ(run(overwrite).count, 1);
    EXPECT_EQ(ReadFile(file), original);
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1700000000);  // from the archive's timestamp
    EXPECT_FALSE(HasLeftovers(target));
}

TEST(UnzDll, KeepsPermissionBitsButNeverSetUid)
{
    std::string target = FreshDir("modes");
    Result r = Exec(Archive("modes.zip"), target, Options{});
    EXPECT_EQ(r.count, 3);
    auto mode = [&](const char* n) {
        struct stat st;
        stat((target + "/" + n).c_str(), &st);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode("exec.sh"), 0755u);
    EXPECT_EQ(mode("setuid.sh"), 0755u);
    EXPECT_EQ(mode("private.txt"), 0600u);
}

TEST(UnzDll, HostileNamesWriteNothingOutsideTheTarget)
{
    std::string root = FreshDir("hostile");
    std::string target = root + "/t";
    fs::create_directories(target);
    Options o;
    o.overwrite = true;
    Result r = Exec(Archive("hostile.zip"), target, o);
    EXPECT_EQ(r.count, 2) << r.Dump();  // safe.txt and link/evil8.txt as a plain folder
    int unsafe = 0, links = 0;
    for (const auto& m : r.Messages(true)) {
        unsafe += m.error == 6;
        links += m.error == 7;
    }
    EXPECT_EQ(unsafe, 7) << r.Dump();
    EXPECT_EQ(links, 2) << r.Dump();
    for (const auto& p : ListAll(root)) {
        EXPECT_EQ(p.rfind("t", 0), 0u) << p;
        EXPECT_FALSE(fs::is_symlink(root + "/" + p)) << p;
    }
    EXPECT_FALSE(fs::exists("/tmp/evil2.txt"));
}

TEST(UnzDll, NeverFollowsALinkAlreadyOnDisk)
{
    std::string root = FreshDir("through");
    std::string target = root + "/t", outside = root + "/outside";
    fs::create_directories(target);
    fs::create_directories(outside);
    WriteFile(outside + "/victim.txt", "victim");
    fs::create_directory_symlink("../outside", target + "/existing_link");
    fs::create_symlink("../outside/victim.txt", target + "/existing_file_link");
    Options o;
    o.overwrite = true;
    Result r = Exec(Archive("through_link.zip"), target, o);
    EXPECT_EQ(r.count, 1) << r.Dump();
    ASSERT_EQ(r.Messages(true).size(), 1u);
    EXPECT_NE(r.Messages(true)[0].text.find("existing_link/evil9.txt"), std::string::npos);
    EXPECT_EQ(ListAll(outside), std::vector<std::string>{"victim.txt"});
    EXPECT_EQ(ReadFile(outside + "/victim.txt"), "victim");
    // The link itself was replaced by the extracted file.
    EXPECT_FALSE(fs::is_symlink(target + "/existing_file_link"));
    EXPECT_EQ(ReadFile(target + "/existing_file_link"), "replaced\n");
}

TEST(UnzDll, WrongOrMissingPasswordWritesNoFile)
{
    for (std::string archive : {"infozip_crypto.zip", "sevenzip_aes256.zip", "sevenzip_crypto.zip"}) {
        if (!fs::exists(Archive(archive)))
            continue;
        for (std::string password : {"", "not the password"}) {
            std::string target = FreshDir("password");
            Options o;
            o.password = password;
            Result r = Exec(Archive(archive), target, o);
            // A wrong password passes a ZipCrypto header's one check byte
            // about once in 256 (AES's two-byte verifier once in 65,536), and
            // the salts are random. Such a member then fails its CRC, its MAC
            // or its decompression, unless it is empty: an empty member
            // "decrypts" to its true content, nothing. So only empty files
            // may appear, each with one message fewer.
            const auto written = ReadTree(target);
            for (const auto& [path, data] : written)
                EXPECT_TRUE(data.empty()) << archive << ": " << path;
            EXPECT_EQ(r.count, 6 + int(written.size())) << archive << r.Dump();  // the folders
            EXPECT_EQ(r.Messages(true).size(), 7u - written.size()) << archive << r.Dump();
            for (const auto& m : r.Messages(true))
                EXPECT_TRUE(m.error == 10 || m.error == 9 || m.error == 8) << m.text;
            ExpectProgressProtocol(r);
        }
    }
}

TEST(UnzDll, CancelStopsAtOnceAndKeepsFinishedFiles)
{
    const auto source = ReadTree(ArchiveDir() + "/src");
    std::map<std::string, std::string> expected(source.begin(), source.end());
    for (long at : {1L, 3L, 5L, 9L, 20L}) {
        std::string target = FreshDir("cancel");
        Options o;
        o.cancelAt = at;
        Result r = Exec(Archive("python_deflated.zip"), target, o);
        EXPECT_EQ(long(r.callbacks.size()), at) << r.Dump();
        int finished = 0;
        for (const auto& [path, data] : ReadTree(target)) {
            EXPECT_EQ(data, expected[path]) << path;  // no partial file
            ++finished;
        }
        EXPECT_LE(finished, r.count);
        EXPECT_FALSE(HasLeftovers(target));
    }
    Options test;
    test.test = true;
    test.cancelAt = 4;
    Result r = Exec(Archive("python_deflated.zip"), "", test);
    EXPECT_EQ(r.callbacks.size(), 4u);
    // -1 in answer to a message stops as well: plain.txt (begin, step),
    // packed.ppmd (begin, message), then nothing.
    Result m = Exec(Archive("methods.zip"), "", test);
    ASSERT_EQ(m.callbacks.size(), 4u) << m.Dump();
    EXPECT_EQ(m.callbacks[3].action, ZCB_MESSAGE);
    EXPECT_EQ(m.count, 1);
}

TEST(UnzDll, TestReportsEveryMemberInArchiveOrderWhateverThreadTestedIt)
{
    // More members than the testers run ahead of the reports, of sizes from
    // nothing to several steps, folders, and members whose CRC is wrong:
    // each member's begin, its steps and its outcome come in archive order,
    // before the next member's begin, the same in every run.
    const std::string dir = FreshDir("test_order");
    fixture::ZipBuilder builder;
    std::vector<std::string> names;
    std::set<std::string> bad, folders;
    std::mt19937 random(25);
    for (int i = 0; i < 700; ++i) {
        fixture::Member m;
        if (i % 50 == 7) {
            m = fixture::Stored("d" + std::to_string(i) + "/", "");
            folders.insert(m.Name);
        } else {
            std::string data(random() % (i % 9 == 0 ? 200000 : 3000), 'x');
            for (auto& c : data)
                c = static_cast<char>('a' + random() % 26);
            m = fixture::Stored("f" + std::to_string(i) + ".txt", data);
            if (i % 37 == 5) {
                m.PlainCrc = fixture::Crc32(data) ^ 1;
                m.PlainSize = static_cast<std::int32_t>(data.size());
                bad.insert(m.Name);
            }
        }
        names.push_back(m.Name);
        builder.Add(m);
    }
    const std::string archive = dir + "/order.zip";
    WriteFile(archive, builder.Finish().Bytes());
    Options o;
    o.test = true;
    o.verbose = true;
    std::string first;
    for (int run = 0; run < 3; ++run) {
        Result r = Exec(archive, "", o);
        EXPECT_EQ(r.count, int(names.size() - bad.size())) << r.Dump();
        ExpectProgressProtocol(r);
        std::size_t member = 0;
        bool outcome = true;
        for (const Callback& cb : r.callbacks) {
            if (cb.action == ZCB_FILE_BEGIN) {
                ASSERT_TRUE(outcome) << "no outcome for " << names[member - 1];
                ASSERT_LT(member, names.size());
                EXPECT_EQ(cb.text, names[member]);
                ++member;
                outcome = false;
            } else if (cb.action == ZCB_FILE_STEP) {
                EXPECT_FALSE(outcome && !folders.count(names[member - 1]))
                    << "a step after the outcome of " << names[member - 1];
            } else if (cb.action == ZCB_MESSAGE && member > 0 && !outcome) {
                const std::string& name = names[member - 1];
                EXPECT_NE(cb.text.find(name), std::string::npos) << cb.text;
                EXPECT_EQ(cb.error > 0, bad.count(name) == 1) << cb.text;
                outcome = true;
            }
        }
        EXPECT_EQ(member, names.size());
        if (run == 0)
            first = r.Dump();
        else
            EXPECT_EQ(r.Dump(), first);
    }
}

TEST(UnzDll, DamagedCopiesFailWithMessagesAndNeverCrash)
{
    const std::string good = ReadFile(Archive("python_deflated.zip"));
    std::string root = FreshDir("damaged");
    std::mt19937 rng(7);
    for (int round = 0; round < 60; ++round) {
        std::string bad = good;
        if (round % 10 == 9) {
            bad.resize(rng() % bad.size());  // truncated
        } else {
            for (int k = 0; k <= round % 3; ++k)
                bad[rng() % bad.size()] ^= char(1 + rng() % 255);
        }
        std::string path = root + "/bad.zip";
        WriteFile(path, bad);
        Options test;
        test.test = true;
        Result tested = Exec(path, "", test);
        if (tested.count < kTreeEntries) {
            EXPECT_FALSE(tested.Messages(true).empty()) << round << tested.Dump();
        }
        std::string target = FreshDir("damaged/out");
        Result extracted = Exec(path, target, Options{});
        EXPECT_LE(extracted.count, kTreeEntries);
        EXPECT_FALSE(HasLeftovers(target));
    }
    // A flipped byte in the middle of the big file's data is a bad entry.
    std::string bad = good;
    bad[good.size() / 3] ^= 0x55;
    WriteFile(root + "/mid.zip", bad);
    Options test;
    test.test = true;
    Result r = Exec(root + "/mid.zip", "", test);
    EXPECT_LT(r.count, kTreeEntries);
    EXPECT_FALSE(r.Messages(true).empty());
}

TEST(UnzDll, VerboseAndTraceAddInformationLines)
{
    Options o;
    o.test = true;
    o.specs = {"readme.txt"};
    EXPECT_TRUE(Exec(Archive("python_deflated.zip"), "", o).Messages().empty());
    o.verbose = true;
    auto verbose = Exec(Archive("python_deflated.zip"), "", o).Messages();
    o.trace = true;
    auto trace = Exec(Archive("python_deflated.zip"), "", o).Messages();
    EXPECT_FALSE(verbose.empty());
    EXPECT_GT(trace.size(), verbose.size());
    for (const auto& m : trace)
        EXPECT_EQ(m.error, 0);
}

TEST(UnzDll, DriverPrintsCallbacksAndCount)
{
    std::string out = Shell(std::string(UNZDRIVE_PATH) + " -t '" + Archive("python_deflated.zip") + "' readme.txt");
    EXPECT_NE(out.find("BEGIN 950 readme.txt\nSTEP\nEND\nSTEPS 1\nCOUNT 1\n"), std::string::npos) << out;
}

}  // namespace

namespace {

// Runs the library with ToStdoutOn and standard output on `fd` for the
// call; the current folder is `target`, which must stay as it is.
Result ExecToStdout(const std::string& archive, const std::string& target, int fd, Options o = {})
{
    o.tweak = [](UnzCommandRecord& r) { r.ToStdoutOn = -1; };
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    Result r = Exec(archive, target, o);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return r;
}

}  // namespace

TEST(UnzDll, ToStandardOutputEveryMemberInArchiveOrderAsItDecodes)
{
    // Two members of one name are two members: both come out, in their
    // places; folders give nothing; a damaged member is said (its bytes
    // have gone out by then, as nothing is held back) and the next one
    // still comes; nothing touches the disk.
    const std::string dir = FreshDir("stdout");
    fixture::Member damaged = fixture::Stored("bad.txt", "damaged");
    damaged.PlainCrc = 1;  // in both headers
    const std::string archive = dir + "/two.zip";
    WriteFile(archive, fixture::ZipBuilder()
                           .Add(fixture::Stored("same.txt", "first\n"))
                           .Add(fixture::Stored("folder/", ""))
                           .Add(damaged)
                           .Add(fixture::Stored("other.txt", "middle\n"))
                           .Add(fixture::Stored("same.txt", "second\n"))
                           .Finish()
                           .Bytes());
    const std::string target = FreshDir("stdout/empty");
    const std::string outPath = dir + "/out";
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(out, 0);
    Result all = ExecToStdout(archive, target, out);
    Options some;
    some.specs = {"same.txt"};
    Result chosen = ExecToStdout(archive, target, out, some);
    ::close(out);
    EXPECT_EQ(all.count, 4) << all.Dump();
    ASSERT_EQ(all.Messages(true).size(), 1u) << all.Dump();
    EXPECT_EQ(all.Messages(true)[0].text.rfind("Cannot extract bad.txt: bad CRC ", 0), 0u) << all.Dump();
    ExpectProgressProtocol(all);
    EXPECT_EQ(chosen.count, 2) << chosen.Dump();
    EXPECT_EQ(ReadFile(outPath), "first\ndamagedmiddle\nsecond\nfirst\nsecond\n");
    EXPECT_TRUE(ListAll(target).empty());
}

TEST(UnzDll, AClosedStandardOutputEndsTheBatchQuietly)
{
    // A reader that went away (a pipe into head): no error, no more
    // members, the batch ends as usual.
    const std::string dir = FreshDir("stdout_closed");
    const std::string archive = dir + "/a.zip";
    WriteFile(archive, fixture::ZipBuilder()
                           .Add(fixture::Stored("one.bin", std::string(200000, '1')))
                           .Add(fixture::Stored("two.bin", std::string(200000, '2')))
                           .Finish()
                           .Bytes());
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    ::close(pipeFds[0]);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    Result r = ExecToStdout(archive, "", pipeFds[1]);
    std::signal(SIGPIPE, previous);
    ::close(pipeFds[1]);
    EXPECT_EQ(r.count, 0) << r.Dump();
    EXPECT_TRUE(r.Messages(true).empty()) << r.Dump();
    const auto info = r.Messages();
    ASSERT_EQ(info.size(), 1u) << r.Dump();
    EXPECT_EQ(info[0].text, "Standard output was closed; the rest was not written");
    EXPECT_EQ(r.Count(ZCB_FILE_BEGIN), 1);
    EXPECT_EQ(r.Count(ZCB_BATCH_END), 1);
}
