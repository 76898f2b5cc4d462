// fernpack-cli says what happened, and writes only where it may: names
// stored as they are, read-only archives left alone, stubs it cannot find
// past refused, long names named whole, totals that never wrap, counts that
// survive a library's fault, hidden characters shown, and members that
// land on one file named.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "CliRunner.h"
#include "FakeLibrary.h"
#include "OtherUser.h"
#include "PeerCheck.h"
#include "ZipFixture.h"
#include "cli/Session.h"
#include "platform/DynamicLibrary.h"

namespace {

using fixture::Stored;
using fixture::ZipBuilder;

std::string Q(const std::string& path) { return ShellQuote(path); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// The raw bytes of a format character: no output may hold them.
const std::string ZeroWidth = "\xE2\x80\x8B", Override = "\xE2\x80\xAE", Isolate = "\xE2\x81\xA6";

}  // namespace

TEST(WhatHappened, AddStoresANameThatIsNotUtf8WithoutTheUtf8Flag)
{
    fixture::TempDir dir;
    dir.Write("in/bad\xFF.txt", "latin-1 name");
    dir.Write("in/caf\xC3\xA9.txt", "utf-8 name");
    const std::string archive = dir / "names.zip";
    CliResult add = RunCli("add -j " + Q(archive) + " in", dir.Path());
    EXPECT_EQ(add.Status, 0) << add.Err;
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    const std::string tsv = RunCli("list --tsv " + Q(archive)).Out;
    EXPECT_TRUE(Contains(tsv, "bad\xFF.txt\t")) << tsv;
    EXPECT_TRUE(Contains(tsv, "\t0\n")) << tsv;     // stored, no flag
    EXPECT_TRUE(Contains(tsv, "\t2048\n")) << tsv;  // the UTF-8 flag
}

// As an ordinary user (taken with setpriv where the tests run as root),
// nothing that would change a read-only archive goes ahead.
TEST(WhatHappened, AReadOnlyArchiveIsNeitherChangedNorConverted)
{
    std::string as;
    if (geteuid() == 0) {
        if (fixture::RunCommand("command -v setpriv >/dev/null") != 0)
            GTEST_SKIP() << "setpriv is missing: no ordinary user to run as";
        as = "setpriv --reuid=" + std::to_string(fixture::OtherUser::Uid) +
             " --regid=" + std::to_string(fixture::OtherUser::Gid) + " --clear-groups ";
    }
    fixture::TempDir dir;
    fixture::OpenToEveryone(dir.Path());
    dir.Write("new.txt", "new");
    const std::string bytes = ZipBuilder().Add(Stored("a.txt", "a")).Add(Stored("b.txt", "b")).Finish().Bytes();
    const std::string zip = dir.Write("ro.zip", bytes);
    ASSERT_EQ(RunCli("sfx " + Q(zip)).Status, 0);
    const std::string exe = dir / "ro.exe";
    const std::string program = fixture::ReadFile(exe);
    dir.Write("ro.zip", bytes);
    const std::string archive = fixture::ReadFile(zip);
    for (const std::string& file : {zip, exe})
        ASSERT_EQ(chmod(file.c_str(), 0444), 0);

    const struct {
        std::string arguments;
        std::string says;
    } commands[] = {
        {"add -j " + Q(zip) + " new.txt", "you may not write to it"},
        {"delete " + Q(zip) + " a.txt", "you may not write to it"},
        {"sfx " + Q(zip) + " --force", "the file is read-only"},
        {"unsfx " + Q(exe) + " --force", "the file is read-only"},
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.arguments);
        std::string out;
        const int status = fixture::RunCommand("cd " + Q(dir.Path()) + " && " + as + Q(FERNPACK_CLI) + " " +
                                                   c.arguments + " 2>&1",
                                               &out);
        EXPECT_EQ(status, 1) << out;
        EXPECT_TRUE(Contains(out, c.says)) << out;
        EXPECT_TRUE(fixture::ReadFile(zip) == archive);
        EXPECT_TRUE(fixture::ReadFile(exe) == program);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3);
}

TEST(WhatHappened, SfxTakesOnlyAStubTheListingFindsPast)
{
    fixture::TempDir dir;
    const std::string bytes = ZipBuilder().Add(Stored("a.txt", "a")).Finish().Bytes();
    const std::string zip = dir.Write("x.zip", bytes);
    const std::string signature("PK\x03\x04", 4);
    const struct {
        std::string stub;
        std::string says;
    } stubs[] = {
        {"/bin/ls", "is larger than"},
        {dir.Write("marked.bin", std::string(500, 'm') + signature + std::string(500, 'm')),
         "holds a ZIP local header signature"},
    };
    for (const auto& s : stubs) {
        SCOPED_TRACE(s.stub);
        CliResult r = RunCli("sfx --stub " + Q(s.stub) + " " + Q(zip));
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(Contains(r.Err, "cannot use this file as ZIPSFX.BIN")) << r.Err;
        EXPECT_TRUE(Contains(r.Err, s.says)) << r.Err;
        EXPECT_EQ(r.Out, "");
        EXPECT_EQ(fixture::ReadFile(zip), bytes);
        EXPECT_FALSE(std::filesystem::exists(dir / "x.exe"));
    }
}

// The listing keeps 256 bytes of a name; the commands take the whole name.
TEST(WhatHappened, NamesLongerThan256BytesAreNamedWhole)
{
    fixture::TempDir dir;
    const std::string folder = std::string(200, 'f') + "/";
    const std::string longName = folder + std::string(120, 'n') + ".txt";
    const std::string archive = dir.Write(
        "long.zip",
        ZipBuilder().Add(Stored(longName, "long one")).Add(Stored("short.txt", "short")).Finish().Bytes());

    CliResult tsv = RunCli("list --tsv " + Q(archive));
    EXPECT_TRUE(Contains(tsv.Out, longName + "\t")) << tsv.Out;

    CliResult one = RunCli("extract -d " + Q(dir / "out") + " " + Q(archive) + " " + Q(longName));
    EXPECT_EQ(one.Status, 0) << one.Err;
    EXPECT_EQ(one.Out, "1 file extracted\n");
    EXPECT_EQ(fixture::ReadFile(dir / ("out/" + longName)), "long one");
    EXPECT_FALSE(std::filesystem::exists(dir / "out/short.txt"));

    CliResult piped = RunCli("extract -p " + Q(archive));
    EXPECT_EQ(piped.Status, 0) << piped.Err;
    EXPECT_EQ(piped.Out, "long oneshort");

    CliResult del = RunCli("delete " + Q(archive) + " " + Q(longName));
    EXPECT_EQ(del.Status, 0) << del.Err;
    EXPECT_EQ(del.Out, "1 member deleted\n");
    EXPECT_TRUE(Contains(RunCli("list --tsv " + Q(archive)).Out, "#count\t1\n"));
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

// Four members that each claim 2^64 - 1 bytes: the listing's total and the
// stub's say more than 64 bits hold, never a wrapped number.
TEST(WhatHappened, TotalsNeverWrap)
{
    fixture::TempDir dir;
    ZipBuilder builder;
    for (const char* name : {"a", "b", "c", "d"}) {
        fixture::Member m = Stored(name, "x");
        m.UncompressedSize = -1;
        m.VersionNeeded = 45;
        m.Extra = fixture::Zip64Field({UINT64_MAX});
        m.CentralUncompressedSize = 0xFFFFFFFF;
        m.CentralExtra = fixture::Zip64Field({UINT64_MAX});
        builder.Add(m);
    }
    const std::string zip = dir.Write("huge.zip", builder.Finish().Bytes());
    CliResult list = RunCli("list " + Q(zip));
    EXPECT_EQ(list.Status, 0) << list.Err;
    EXPECT_TRUE(Contains(list.Out, "more than 18446744073709551615  ")) << list.Out;
    EXPECT_FALSE(Contains(list.Out, "18446744073709551612")) << list.Out;
    EXPECT_TRUE(Contains(list.Out, "4 members")) << list.Out;

    ASSERT_EQ(RunCli("sfx " + Q(zip)).Status, 0);
    std::string out;
    fixture::RunCommand(Q(dir / "huge.exe") + " --list 2>&1", &out);
    EXPECT_TRUE(Contains(out, "4 members, more than 18446744073709551615 bytes")) << out;
}

// A library's fault loses its count; the files it finished before are
// counted all the same, one skipped by choice is no file done, and the one
// in hand failed. (A fake UNZDLL.DLL plays the library.)
TEST(WhatHappened, AFaultInsideTheLibraryKeepsTheCountOfWhatWasDone)
{
    fixture::TempDir dir;
    ZipBuilder builder;
    for (const char* name : {"a", "b", "c", "d"})
        builder.Add(Stored(name, name));
    cli::Session session(dir.Write("four.zip", builder.Finish().Bytes()));
    ASSERT_TRUE(session.Open(true));
    session.Archive.SetDLLDirectory(std::string(FAKE_LIBRARIES) + "/full");
    session.Archive.LoadUnzLibrary();
    platform::LibraryHandle fake = platform::LoadLibrary(std::string(FAKE_LIBRARIES) + "/full/UNZDLL.DLL");
    ASSERT_NE(fake, nullptr);
    FakeScript script;
    FakeObservation seen;
    script.Callbacks = {
        {ZCB_FILE_BEGIN, 0, 1, "a"},
        {ZCB_FILE_BEGIN, 0, 1, "b"},
        {ZCB_MESSAGE, ZCB_INFO_SKIPPED, 0, "Skipped b: the file exists"},
        {ZCB_FILE_BEGIN, 0, 1, "c"},
        {ZCB_MESSAGE, ZCB_INFO_REPLACED_EARLIER, 0, "c replaced a, extracted earlier to the same file"},
        {ZCB_FILE_BEGIN, 0, 1, "d"},
    };
    script.Ending = FakeEnding::Segfault;
    reinterpret_cast<FakeControlFn>(platform::GetProcAddress(fake, "FakeControl"))(&script, &seen);
    session.Run(&engine::TRezEdidiv::ExtractFiles);
    session.Archive.UnloadUnzLibrary();
    platform::FreeLibrary(fake);

    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(session.Archive.ProcessedCount, 0);  // lost with the fault
    EXPECT_EQ(session.Done.Begun, 4u);
    EXPECT_EQ(session.Done.Processed, 2u);  // a and c
    EXPECT_EQ(session.Done.Skipped, 1u);
    EXPECT_EQ(session.Done.FailedMembers, 1u);  // d, in hand at the fault
    EXPECT_EQ(session.Done.Replaced, 1u);
}

// Control and format characters show as escapes in the listing, the
// libraries' messages and fernpack-cli's own, never as themselves.
TEST(WhatHappened, HiddenCharactersShowTheSameWayEverywhere)
{
    fixture::TempDir dir;
    fixture::Member damaged = Stored("a" + ZeroWidth + "b.txt", "data");
    damaged.PlainCrc = 1;  // tested bad: the library names it
    fixture::Member reversed = Stored(Override + "txt.exe", "x");
    reversed.Flags = 0x0800;
    const std::string archive = dir.Write(
        "hidden.zip",
        ZipBuilder().Add(damaged).Add(reversed).Add(Stored(Isolate + "esc\x1b.txt", "y")).Finish().Bytes());

    CliResult list = RunCli("list " + Q(archive));
    EXPECT_TRUE(Contains(list.Out, "a\\u200bb.txt\n")) << list.Out;
    EXPECT_TRUE(Contains(list.Out, "\\u202etxt.exe\n")) << list.Out;
    EXPECT_TRUE(Contains(list.Out, "\\u2066esc\\x1b.txt\n")) << list.Out;
    CliResult tsv = RunCli("list --tsv " + Q(archive));
    EXPECT_TRUE(Contains(tsv.Out, "a\\u200bb.txt\t")) << tsv.Out;
    EXPECT_TRUE(Contains(tsv.Out, "\\u2066esc\\x1b.txt\t")) << tsv.Out;
    CliResult test = RunCli("test " + Q(archive));
    EXPECT_EQ(test.Status, 1);
    EXPECT_TRUE(Contains(test.Err, "a\\u200bb.txt")) << test.Err;
    CliResult missing = RunCli("extract -d " + Q(dir / "out") + " " + Q(archive) + " " + Q("no" + Override + "such"));
    EXPECT_TRUE(Contains(missing.Err, "no\\u202esuch")) << missing.Err;
    for (const CliResult* r : {&list, &tsv, &test, &missing})
        for (const std::string& raw : {ZeroWidth, Override, Isolate, std::string("\x1b")}) {
            EXPECT_FALSE(Contains(r->Out, raw)) << r->Out;
            EXPECT_FALSE(Contains(r->Err, raw)) << r->Err;
        }
}

// Without folder names, members of one name in several folders land on one
// file: each that replaced another is named, and the summary says how many.
TEST(WhatHappened, ExtractWithoutFoldersNamesTheMembersThatReplacedOthers)
{
    fixture::TempDir dir;
    const std::string archive = dir.Write("same.zip", ZipBuilder()
                                                          .Add(Stored("d1/same.txt", "one"))
                                                          .Add(Stored("d2/same.txt", "two"))
                                                          .Add(Stored("d3/same.txt", "three"))
                                                          .Add(Stored("other.txt", "other"))
                                                          .Finish()
                                                          .Bytes());
    CliResult flat = RunCli("extract -j -o -d " + Q(dir / "flat") + " " + Q(archive));
    EXPECT_EQ(flat.Status, 0) << flat.Err;
    EXPECT_EQ(flat.Out, "4 files extracted (2 of them replaced a member of the same name: extract without -j to keep "
                        "folders)\n");
    EXPECT_TRUE(Contains(flat.Err, "d2/same.txt replaced d1/same.txt")) << flat.Err;
    EXPECT_TRUE(Contains(flat.Err, "d3/same.txt replaced d2/same.txt")) << flat.Err;
    EXPECT_EQ(fixture::ReadFile(dir / "flat/same.txt"), "three");

    // With the folders nothing replaces anything; files there before do
    // not count as members of this extraction.
    CliResult kept = RunCli("extract -o -d " + Q(dir / "flat") + " " + Q(archive));
    EXPECT_EQ(kept.Status, 0) << kept.Err;
    EXPECT_EQ(kept.Out, "4 files extracted\n");
    CliResult again = RunCli("extract -j -o -d " + Q(dir / "flat") + " " + Q(archive) + " other.txt");
    EXPECT_EQ(again.Out, "1 file extracted\n");
    EXPECT_EQ(again.Err, "");
}
