// fernpack-cli's rules for names, collisions, standard input and output,
// long name lists, conversions and bad input, end to end through the real
// libraries.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <fernpack/Version.h>

#include "CliRunner.h"
#include "PeerCheck.h"
#include "abi/UNZDLL.h"
#include "abi/ZIPDLL.h"
#include "platform/FileSystem.h"

namespace {

const std::string Bin = std::filesystem::path(FERNPACK_CLI).parent_path().string();

// The stored names of an archive, in archive order.
std::vector<std::string> Names(const std::string& archive)
{
    CliResult r = RunCli("list --tsv " + ShellQuote(archive));
    std::vector<std::string> names;
    std::size_t pos = 0;
    while ((pos = r.Out.find('\n', pos)) != std::string::npos) {
        const std::size_t start = ++pos;
        if (start < r.Out.size() && r.Out[start] != '#')
            names.push_back(r.Out.substr(start, r.Out.find('\t', start) - start));
    }
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

class Rules : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(dir.Path()) +
                                      " && mkdir -p work/doc/sub/deeper work/doc/.git work/other"
                                      " && echo a > work/doc/a.txt && echo deep > work/doc/sub/deeper/deep.txt"
                                      " && echo git > work/doc/.git/config && echo dot > work/doc/.dot"
                                      " && echo other > work/other/a.txt"),
                  0);
        work = dir / "work";
    }
    fixture::TempDir dir;
    std::string work;
};

}  // namespace

TEST_F(Rules, NamesAreStoredAsTypedFromRelativeAbsoluteAndClimbingPaths)
{
    CliResult rel = RunCli("add rel.zip doc", work);
    EXPECT_EQ(rel.Status, 0) << rel.Err;
    EXPECT_EQ(rel.Err, "");
    // Dot-files and dot-folders found in the folder stay out.
    EXPECT_EQ(Sorted(Names(work + "/rel.zip")), (std::vector<std::string>{"doc/a.txt", "doc/sub/deeper/deep.txt"}));

    CliResult abs = RunCli("add abs.zip " + ShellQuote(work + "/doc/a.txt") + " " + ShellQuote(work + "/other"), work);
    EXPECT_EQ(abs.Status, 0) << abs.Err;
    EXPECT_EQ(abs.Err, "fernpack-cli: abs.zip: warning: a leading '/' and '..' parts are left out of the stored names\n");
    const std::string root = work.substr(1);
    EXPECT_EQ(Names(work + "/abs.zip"), (std::vector<std::string>{root + "/doc/a.txt", root + "/other/a.txt"}));

    CliResult up = RunCli("add ../../up.zip ../a.txt deeper", work + "/doc/sub");
    EXPECT_EQ(up.Status, 0) << up.Err;
    EXPECT_NE(up.Err.find("left out of the stored names"), std::string::npos);
    EXPECT_EQ(Names(work + "/up.zip"), (std::vector<std::string>{"a.txt", "deeper/deep.txt"}));

    // --hidden takes dot-names in folders; a dot-file named alone is always taken.
    EXPECT_EQ(RunCli("add --hidden all.zip doc", work).Status, 0);
    EXPECT_EQ(Names(work + "/all.zip").size(), 4u);
    EXPECT_EQ(RunCli("add named.zip doc doc/.dot", work).Status, 0);
    EXPECT_EQ(Sorted(Names(work + "/named.zip")),
              (std::vector<std::string>{"doc/.dot", "doc/a.txt", "doc/sub/deeper/deep.txt"}));
    // --no-recurse takes a folder's own files only.
    EXPECT_EQ(RunCli("add --no-recurse flat.zip doc", work).Status, 0);
    EXPECT_EQ(Names(work + "/flat.zip"), std::vector<std::string>{"doc/a.txt"});
    // A quoted wildcard is matched in its folder.
    EXPECT_EQ(RunCli("add star.zip 'doc/*.txt'", work).Status, 0);
    EXPECT_EQ(Names(work + "/star.zip"), std::vector<std::string>{"doc/a.txt"});
}

// The walk judges entries by the type the folder lists for them and asks
// the file itself only for links: a link to a file is that file, a link to
// a folder is not entered, a dangling link is nothing.
TEST_F(Rules, LinksInAFolderAreTakenAsTheFilesTheyReach)
{
    ASSERT_EQ(::symlink("../other/a.txt", (work + "/doc/to-file").c_str()), 0);
    ASSERT_EQ(::symlink("../other", (work + "/doc/to-folder").c_str()), 0);
    ASSERT_EQ(::symlink("missing", (work + "/doc/dangling").c_str()), 0);
    CliResult r = RunCli("add links.zip doc", work);
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_EQ(Sorted(Names(work + "/links.zip")),
              (std::vector<std::string>{"doc/a.txt", "doc/sub/deeper/deep.txt", "doc/to-file"}));
    EXPECT_EQ(RunCli("extract -p links.zip doc/to-file", work).Out, "other\n");
}

TEST_F(Rules, CollisionsAreReportedByNameAndTheFirstWins)
{
    CliResult r = RunCli("add -j j.zip doc other", work);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "fernpack-cli: j.zip: warning: other/a.txt: not added: doc/a.txt is stored as a.txt already\n");
    EXPECT_EQ(r.Out.rfind("2 files added (", 0), 0u) << r.Out;
    EXPECT_NE(r.Out.find(", 1 not added (stored name taken)\n"), std::string::npos) << r.Out;
    EXPECT_EQ(Sorted(Names(work + "/j.zip")), (std::vector<std::string>{"a.txt", "deep.txt"}));
    CliResult x = RunCli("extract -p j.zip a.txt", work);
    EXPECT_EQ(x.Out, "a\n");

    // Naming a file twice is no collision.
    CliResult twice = RunCli("add t.zip doc/a.txt ./doc", work);
    EXPECT_EQ(twice.Status, 0) << twice.Err;
    EXPECT_EQ(Names(work + "/t.zip").size(), 2u);
}

TEST_F(Rules, StandardInputInAndMembersOut)
{
    const std::string cli = ShellQuote(FERNPACK_CLI);
    std::string out;
    EXPECT_EQ(fixture::RunCommand("cd " + ShellQuote(work) + " && printf 'from stdin' | " + cli +
                                      " add s.zip - doc/a.txt --name in/put.txt 2>&1",
                                  &out),
              0)
        << out;
    EXPECT_EQ(Sorted(Names(work + "/s.zip")), (std::vector<std::string>{"doc/a.txt", "in/put.txt"}));
    EXPECT_EQ(fixture::RunCommand("cd " + ShellQuote(work) + " && printf x | " + cli + " add s.zip - 2>&1", &out), 0);
    EXPECT_EQ(Names(work + "/s.zip").back(), "-");

    // -p: the members' bytes and nothing else, with nothing put in $TMPDIR
    // on the way.
    fixture::TempDir tmp;
    const std::string command = "cd " + ShellQuote(work) + " && TMPDIR=" + ShellQuote(tmp.Path()) + " " + cli +
                                " extract -p s.zip in/put.txt 'doc/*'";
    EXPECT_EQ(fixture::RunCommand(command + " 2>" + ShellQuote(dir / "err"), &out), 0);
    EXPECT_EQ(out, "a\nfrom stdin");  // archive order
    EXPECT_EQ(fixture::ReadFile(dir / "err"), "");
    EXPECT_TRUE(std::filesystem::is_empty(tmp.Path()));
    EXPECT_EQ(fixture::RunCommand(command + " nothing 2>/dev/null", &out), 1);
}

TEST_F(Rules, MoreThanTheComponentTakesGoesInCompleteParts)
{
    // 41 folders of 100 files: 4,100 names on the command line.
    ASSERT_EQ(fixture::RunCommand("cd " + ShellQuote(work) + " && for d in $(seq 10 50); do mkdir m$d; "
                                  "(cd m$d && seq -w 100 199 | xargs touch); done"),
              0);
    CliResult add = RunCli("add many.zip m*/*", work);
    EXPECT_EQ(add.Status, 0) << add.Err;
    EXPECT_EQ(add.Err, "fernpack-cli: many.zip: more than 4097 names: adding them in 2 parts, each one complete\n");
    EXPECT_EQ(add.Out.rfind("4100 files added", 0), 0u) << add.Out;
    EXPECT_EQ(Names(work + "/many.zip").size(), 4100u);
    EXPECT_EQ(fixture::PeerCheck(work + "/many.zip"), "");

    // Deleting every member, in two parts, leaves a valid empty archive.
    CliResult del = RunCli("delete many.zip m*/*", work);
    EXPECT_EQ(del.Status, 0) << del.Err;
    EXPECT_EQ(del.Out, "4100 members deleted\n");
    CliResult list = RunCli("list many.zip", work);
    EXPECT_EQ(list.Status, 0) << list.Err;
    EXPECT_NE(list.Out.find(" 0 members\n"), std::string::npos) << list.Out;
    EXPECT_EQ(RunCli("test many.zip", work).Out, "OK: 0 files\n");
}

TEST_F(Rules, ConversionsKeepAnExistingOutputUnlessForced)
{
    ASSERT_EQ(RunCli("add -q small.zip doc", work).Status, 0);
    const std::string zip = fixture::ReadFile(work + "/small.zip");
    fixture::TempDir other;
    const std::string existing = other.Write("small.exe", "mine");
    std::filesystem::copy_file(existing, work + "/small.exe");
    CliResult kept = RunCli("sfx small.zip", work);
    EXPECT_EQ(kept.Status, 1);
    EXPECT_EQ(kept.Err, "fernpack-cli: small.zip: small.exe exists; use --force to replace it\n");
    EXPECT_EQ(fixture::ReadFile(work + "/small.exe"), "mine");
    EXPECT_EQ(fixture::ReadFile(work + "/small.zip"), zip);

    std::filesystem::copy_file(Bin + "/ZIPSFX.BIN", other / "stub.bin");
    EXPECT_EQ(RunCli("sfx --stub nowhere.bin --force small.zip", work).Status, 1);
    CliResult forced = RunCli("sfx --force --stub " + ShellQuote(other / "stub.bin") + " small.zip", work);
    EXPECT_EQ(forced.Status, 0) << forced.Err;
    EXPECT_EQ(forced.Out, "small.zip is now small.exe\n");
    EXPECT_FALSE(platform::FileExists(work + "/small.zip"));

    other.Write("in-the-way.zip", "");
    std::filesystem::copy_file(other / "in-the-way.zip", work + "/small.zip");
    EXPECT_EQ(RunCli("unsfx small.exe", work).Status, 1);
    CliResult back = RunCli("unsfx --force small.exe", work);
    EXPECT_EQ(back.Status, 0) << back.Err;
    EXPECT_EQ(back.Out, "small.exe is now small.zip\n");
    EXPECT_EQ(fixture::ReadFile(work + "/small.zip"), zip);

    // The component's own failure text, on stderr.
    other.Write("fake.zip", "not an archive at all");
    std::filesystem::copy_file(other / "fake.zip", work + "/fake.zip");
    CliResult bad = RunCli("sfx fake.zip", work);
    EXPECT_EQ(bad.Status, 1);
    EXPECT_EQ(bad.Out, "");
}

TEST_F(Rules, BadInputEndsInOneLineAndChangesNothing)
{
    ASSERT_EQ(RunCli("add -q a.zip doc", work).Status, 0);
    const std::string before = fixture::ReadFile(work + "/a.zip");
    for (const char* command : {"list doc", "test doc", "extract doc", "delete doc x", "add doc x"}) {
        CliResult r = RunCli(command, work);
        EXPECT_EQ(r.Status, 1) << command;
        EXPECT_EQ(r.Err, "fernpack-cli: doc: is a folder\n") << command;
    }
    struct Usage {
        const char* Command;
        const char* Line;
    };
    for (const Usage& u : {Usage{"add --level 10 a.zip doc", "fernpack-cli: add: --level: Value 10 not in range 0 to 9"},
                           Usage{"add a.zip ''", "fernpack-cli: add: an empty argument names no file"},
                           Usage{"extract -d '' a.zip", "fernpack-cli: extract: an empty argument names no file"},
                           Usage{"extract", "fernpack-cli: extract: expects an ARCHIVE and optional member NAMEs"},
                           Usage{"list a.zip --frob", "fernpack-cli: list: unknown option or argument --frob"},
                           Usage{"frobnicate a.zip", "fernpack-cli: no command named frobnicate"}}) {
        CliResult r = RunCli(u.Command, work);
        EXPECT_EQ(r.Status, 2) << u.Command;
        EXPECT_EQ(r.Err.substr(0, r.Err.find('\n')), u.Line) << u.Command;
        EXPECT_NE(r.Err.find("\nTry 'fernpack-cli "), std::string::npos) << r.Err;
    }
    // -d naming a file: refused before anything is written.
    CliResult onFile = RunCli("extract -d a.zip a.zip", work);
    EXPECT_EQ(onFile.Status, 1);
    EXPECT_EQ(onFile.Err, "fernpack-cli: a.zip: not a folder\n");
    EXPECT_EQ(fixture::ReadFile(work + "/a.zip"), before);

    // Every way of giving -d a value.
    for (const char* form : {"-d x1", "-d=x2", "--dir x3", "--dir=x4", "-dx5"}) {
        CliResult r = RunCli(std::string("extract a.zip ") + form + " -q", work);
        EXPECT_EQ(r.Status, 0) << form << r.Err;
        const std::string folder = std::string(form).substr(std::string(form).size() - 2);
        EXPECT_TRUE(platform::FileExists(work + "/" + folder + "/doc/a.txt")) << form;
    }
    // After "--" a name may start with '-'.
    std::filesystem::copy_file(work + "/a.zip", work + "/-odd.zip");
    EXPECT_EQ(RunCli("test -- -odd.zip", work).Out, "OK: 2 files\n");
}

TEST(Version, OneNumberForTheProgramTheLibrariesAndTheManPage)
{
    CliResult r = RunCli("--version");
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Out.rfind(std::string("fernpack-cli (Fernpack) ") + FERNPACK_VERSION_STRING + "\nlibdeflate ", 0), 0u)
        << r.Out;
    EXPECT_NE(r.Out.find(", zlib "), std::string::npos);
    EXPECT_NE(r.Out.find(", OpenSSL "), std::string::npos);
    EXPECT_STREQ(FERNPACK_VERSION_FOUR_PART, FERNPACK_VERSION_STRING ".0");
    EXPECT_EQ(FERNPACK_LIBRARY_VERSION, FERNPACK_VERSION_MAJOR * 100 + FERNPACK_VERSION_MINOR);

    for (auto [file, symbol] : {std::pair{"ZIPDLL.DLL", "GetZipDllVersion"}, std::pair{"UNZDLL.DLL", "GetUnzDllVersion"}}) {
        void* library = ::dlopen((Bin + "/" + file).c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << ::dlerror();
        auto version = reinterpret_cast<GetZipDllVersionFunction>(::dlsym(library, symbol));
        ASSERT_NE(version, nullptr);
        EXPECT_EQ(version(), FERNPACK_LIBRARY_VERSION) << file;
        ::dlclose(library);
    }
#ifdef FERNPACK_CLI_MAN
    const std::string man = fixture::ReadFile(FERNPACK_CLI_MAN);
    EXPECT_NE(man.find(".TH FERNPACK-CLI \"1\""), std::string::npos) << man.substr(0, 300);
    EXPECT_NE(man.find("never\\-overwrite"), std::string::npos);
    EXPECT_NE(man.find(FERNPACK_VERSION_STRING), std::string::npos);
#endif
}
