// Self-extracting programs end to end: listing, testing, extracting with
// --yes and with piped answers, the settings' default folder, overwrite
// modes, file choice, the command after extraction, empty programs,
// encrypted members, and peer tools reading the programs we make.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SfxProgram.h"
#include "TempDir.h"

using namespace sfxtest;
namespace fs = std::filesystem;

namespace {

int CountOf(const std::string& text, const std::string& what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class SfxProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        src_ = MakeSourceTree(root_);
        archive_ = ZipFolder(src_);
        fs::create_directories(root_ / "work");
    }

    std::string Make(const Settings& settings, const std::string& archive = "")
    {
        return WriteProgram(root_ / "work/setup.exe", settings, archive.empty() ? archive_ : archive);
    }

    RunOutput Run(const std::string& program, const std::string& args, const std::string& input = "")
    {
        return RunProgram(program, args, root_ / "work", input, TmpDir());
    }

    std::string TmpDir()
    {
        fs::create_directories(root_ / "tmp");
        return root_ / "tmp";
    }

    // Every file of the source tree is in `folder` with the same bytes.
    void ExpectSameFiles(const std::string& folder)
    {
        int files = 0;
        for (const auto& item : fs::recursive_directory_iterator(src_)) {
            if (!item.is_regular_file())
                continue;
            std::string rel = fs::relative(item.path(), src_).string();
            EXPECT_EQ(fixture::ReadFile(folder + "/" + rel), fixture::ReadFile(item.path().string())) << rel;
            ++files;
        }
        EXPECT_EQ(files, 5);
    }

    fixture::TempDir root_;
    std::string src_;
    std::string archive_;
};

TEST_F(SfxProgramTest, ListShowsTheCaptionAndEveryMember)
{
    Settings s;
    s.caption = "Fernpack Demo Setup";
    RunOutput out = Run(Make(s), "--list");
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_NE(out.text.find("Fernpack Demo Setup"), std::string::npos);
    for (const char* name : {"readme.txt", "docs/numbers.txt", "docs/deep/leaf.txt", "bin/random.bin", "empty.txt"})
        EXPECT_NE(out.text.find(name), std::string::npos) << name;
    EXPECT_FALSE(Exists(root_ / "work/readme.txt"));
}

TEST_F(SfxProgramTest, YesExtractsByteExactFilesAndRunsTheCommandWithTheFolder)
{
    Settings s;
    s.commandLine = "/bin/sh|-c \"cat ><readme.txt ><docs/deep/leaf.txt > ><out.txt\"";
    RunOutput out = Run(Make(s), "--yes -d " + Quote(root_ / "dest"));
    ASSERT_EQ(out.exitCode, 0) << out.text;
    ExpectSameFiles(root_ / "dest");
    EXPECT_EQ(fixture::ReadFile(root_ / "dest/out.txt"), "Read me first.\nleaf\n");
}

TEST_F(SfxProgramTest, CommandArgumentsAreSplitAtBlanksWithoutAShell)
{
    fs::create_directories(root_ / "copy target");
    Settings s;
    s.commandLine = "cp|><readme.txt \"" + (root_ / "copy target") + "/$HOME;x\"";
    RunOutput out = Run(Make(s), "--yes -d dest");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    // Blanks inside quotes, '$' and ';' reach the program as they are.
    EXPECT_EQ(fixture::ReadFile(root_ / "copy target/$HOME;x"), "Read me first.\n");
}

TEST_F(SfxProgramTest, TheDefaultFolderCountsFromTheCurrentFolder)
{
    Settings s;
    s.defaultDir = "unpacked/here";
    ASSERT_EQ(Run(Make(s), "--yes").exitCode, 0);
    ExpectSameFiles(root_ / "work/unpacked/here");
}

TEST_F(SfxProgramTest, AWindowsDefaultFolderLosesItsDrive)
{
    Settings s;
    s.defaultDir = "C:\\Tools\\App";
    ASSERT_EQ(Run(Make(s), "--yes").exitCode, 0);
    ExpectSameFiles(root_ / "work/Tools/App");
    s.defaultDir = "C:\\";
    ASSERT_EQ(Run(Make(s), "--yes").exitCode, 0);
    ExpectSameFiles(root_ / "work");
}

TEST_F(SfxProgramTest, ArrowsAsDefaultFolderExtractIntoANewTemporaryFolder)
{
    Settings s;
    s.defaultDir = "><";
    s.commandLine = "cp|><readme.txt " + (root_ / "copied.txt");
    RunOutput out = Run(Make(s), "--yes");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    std::vector<fs::path> made{fs::directory_iterator(TmpDir()), fs::directory_iterator()};
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].filename().string().rfind("fernpack-", 0), 0u);
    ExpectSameFiles(made[0].string());
    EXPECT_EQ(fixture::ReadFile(root_ / "copied.txt"), "Read me first.\n");
    EXPECT_FALSE(Exists(root_ / "work/readme.txt"));
}

TEST_F(SfxProgramTest, OverwriteAlwaysNeverAndAskWithYes)
{
    const std::string dest = root_ / "dest";
    auto runWith = [&](std::uint8_t bits) {
        root_.Write("dest/readme.txt", "old\n");
        Settings s;
        s.bits = bits;
        return Run(Make(s), "--yes -d " + Quote(dest));
    };
    RunOutput out = runWith(kOverwriteAlways);
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "Read me first.\n");

    out = runWith(kOverwriteNever);
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "old\n");
    EXPECT_NE(out.text.find("kept       readme.txt"), std::string::npos) << out.text;

    // Asking, the default answer keeps the file.
    out = runWith(0);
    EXPECT_EQ(out.exitCode, 0);
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "old\n");
}

TEST_F(SfxProgramTest, AskModeTakesYesNoAllAndNoneForEachExistingFile)
{
    const std::string dest = root_ / "dest";
    Settings s;
    s.bits = kHideOverwrite;
    const std::string program = Make(s);
    auto prepare = [&] {
        root_.Write("dest/readme.txt", "old\n");
        root_.Write("dest/empty.txt", "old\n");
    };
    auto replaced = [&](const char* name) { return fixture::ReadFile(dest + "/" + name) != "old\n"; };

    prepare();
    RunOutput out = Run(program, "-d " + Quote(dest), "yes\nno\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    ASSERT_EQ(CountOf(out.text, "Replace the existing"), 2) << out.text;
    const bool readmeFirst = out.text.find("existing readme.txt") < out.text.find("existing empty.txt");
    EXPECT_EQ(replaced("readme.txt"), readmeFirst);
    EXPECT_EQ(replaced("empty.txt"), !readmeFirst);

    prepare();
    out = Run(program, "-d " + Quote(dest), "all\n");
    EXPECT_EQ(CountOf(out.text, "Replace the existing"), 1) << out.text;
    EXPECT_TRUE(replaced("readme.txt"));
    EXPECT_TRUE(replaced("empty.txt"));

    prepare();
    out = Run(program, "-d " + Quote(dest), "none\n");
    EXPECT_EQ(CountOf(out.text, "Replace the existing"), 1) << out.text;
    EXPECT_FALSE(replaced("readme.txt"));
    EXPECT_FALSE(replaced("empty.txt"));
    // The rest came out regardless.
    EXPECT_EQ(fixture::ReadFile(dest + "/docs/deep/leaf.txt"), "leaf\n");
}

TEST_F(SfxProgramTest, TheOverwriteModeIsOfferedUnlessHidden)
{
    const std::string dest = root_ / "dest";
    root_.Write("dest/readme.txt", "old\n");
    Settings s;
    s.bits = kOverwriteNever;
    // Folder: the -d answer; mode: changed to always.
    RunOutput out = Run(Make(s), "-d " + Quote(dest), "always\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_NE(out.text.find("When a file exists"), std::string::npos);
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "Read me first.\n");

    s.bits = kOverwriteNever | kHideOverwrite;
    root_.Write("dest/readme.txt", "old\n");
    out = Run(Make(s), "-d " + Quote(dest), "always\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_EQ(out.text.find("When a file exists"), std::string::npos);
    EXPECT_EQ(fixture::ReadFile(dest + "/readme.txt"), "old\n");
}

TEST_F(SfxProgramTest, FilesArePickedOnlyWhenTheProgramAllowsIt)
{
    Settings s;
    s.bits = kAskFiles | kHideOverwrite;
    RunOutput out = Run(Make(s), "-d picked", "nosuchfile.txt\nreadme.txt docs/deep/*\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_NE(out.text.find("no file matches nosuchfile.txt"), std::string::npos) << out.text;
    EXPECT_TRUE(Exists(root_ / "work/picked/readme.txt"));
    EXPECT_TRUE(Exists(root_ / "work/picked/docs/deep/leaf.txt"));
    EXPECT_FALSE(Exists(root_ / "work/picked/docs/numbers.txt"));
    EXPECT_FALSE(Exists(root_ / "work/picked/bin"));

    s.bits = kHideOverwrite;
    out = Run(Make(s), "-d all", "");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_EQ(out.text.find("Files to extract"), std::string::npos);
    ExpectSameFiles(root_ / "work/all");
}

TEST_F(SfxProgramTest, TheCommandMayBeSkippedOnlyWhenTheProgramAllowsIt)
{
    Settings s;
    s.bits = kAskCommandLine | kHideOverwrite;
    s.commandLine = "touch|><ran";
    RunOutput out = Run(Make(s), "-d a", "no\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_FALSE(Exists(root_ / "work/a/ran"));
    out = Run(Make(s), "-d b", "\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_TRUE(Exists(root_ / "work/b/ran"));

    s.bits = kHideOverwrite;
    out = Run(Make(s), "-d c", "");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_EQ(out.text.find("Run the command"), std::string::npos);
    EXPECT_TRUE(Exists(root_ / "work/c/ran"));
}

TEST_F(SfxProgramTest, InputThatEndsBeforeAnAnswerCancelsWithoutWriting)
{
    Settings s;
    s.defaultDir = "target";
    RunOutput out = Run(Make(s), "", "");
    EXPECT_EQ(out.exitCode, 7) << out.text;
    EXPECT_FALSE(Exists(root_ / "work/target"));
    // Piped answers: the folder, then the mode.
    out = Run(Make(s), "", "chosen\nnever\n");
    EXPECT_EQ(out.exitCode, 0) << out.text;
    ExpectSameFiles(root_ / "work/chosen");
}

TEST_F(SfxProgramTest, CommandFailuresHaveTheirOwnExitCodes)
{
    Settings s;
    s.commandLine = "/nonexistent/program|x";
    RunOutput out = Run(Make(s), "--yes -d a");
    EXPECT_EQ(out.exitCode, 5) << out.text;
    EXPECT_NE(out.text.find("cannot run /nonexistent/program"), std::string::npos);
    s.commandLine = "false";
    EXPECT_EQ(Run(Make(s), "--yes -d b").exitCode, 6);
}

TEST_F(SfxProgramTest, AnEmptyProgramListsAndExtractsNothing)
{
    Settings s;
    s.commandLine = "touch|><ran";
    // The record as the engine writes it, and with the fixed directory
    // offset 39,168 of older programs, whatever the stub's length.
    ASSERT_NE(StubBytes().size(), 38912u);
    for (bool fixedOffset : {false, true}) {
        const std::string program = WriteEmptyProgram(root_ / "work/empty.exe", s, fixedOffset);
        ASSERT_EQ(fixture::ReadFile(program).size(), StubBytes().size() + 256 + 22);
        RunOutput out = Run(program, "--list");
        EXPECT_EQ(out.exitCode, 0) << out.text;
        EXPECT_NE(out.text.find("holds no files"), std::string::npos);
        EXPECT_EQ(Run(program, "--test").exitCode, 0);
        out = Run(program, "--yes -d dest");
        EXPECT_EQ(out.exitCode, 0) << out.text;
        EXPECT_FALSE(Exists(root_ / "work/dest/ran"));
    }
}

// Wrong passwords that every member's check byte refuses. Traditional
// encryption checks a password with one byte of a random header, so about one
// wrong password in 256 passes it; Python's zipfile tells which ones do not.
std::vector<std::string> RefusedPasswords(const std::string& zipFile, int count)
{
    const std::string script =
        "import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1]); found = 0\n"
        "for i in range(1000):\n"
        "    pw = \"wrong\" + str(i)\n"
        "    try:\n"
        "        for info in z.infolist():\n"
        "            if info.flag_bits & 1:\n"
        "                z.open(info, pwd=pw.encode()).close()\n"
        "    except RuntimeError:\n"
        "        print(pw); found += 1\n"
        "        if found == int(sys.argv[2]): break\n";
    std::string output;
    fixture::RunCommand("python3 -c " + Quote(script) + " " + Quote(zipFile) + " " + std::to_string(count), &output);
    std::vector<std::string> passwords;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);)
        passwords.push_back(line);
    return passwords;
}

TEST_F(SfxProgramTest, TraditionalEncryptionAsksForThePasswordOnce)
{
    const std::string archive = ZipFolder(src_, "-P s3cret");
    const std::vector<std::string> wrong = RefusedPasswords(root_.Write("encrypted.zip", archive), 3);
    ASSERT_EQ(wrong.size(), 3u);
    Settings s;
    const std::string program = Make(s, archive);
    RunOutput out = Run(program, "--yes -d ok", "s3cret\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    EXPECT_EQ(CountOf(out.text, "Password for"), 1) << out.text;
    ExpectSameFiles(root_ / "work/ok");

    out = Run(program, "--yes -d retry", wrong[0] + "\ns3cret\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    ExpectSameFiles(root_ / "work/retry");

    out = Run(program, "--test", "s3cret\n");
    EXPECT_EQ(out.exitCode, 0) << out.text;

    // Three wrong passwords, then none: nothing but folders is written.
    out = Run(program, "--yes -d bad", wrong[0] + "\n" + wrong[1] + "\n" + wrong[2] + "\n\n\n\n\n\n\n\n\n\n\n\n\n");
    EXPECT_EQ(out.exitCode, 1) << out.text;
    for (const auto& item : fs::recursive_directory_iterator(root_ / "work/bad"))
        EXPECT_TRUE(item.is_directory()) << item.path();
}

TEST_F(SfxProgramTest, AesEncryptionIsReadThroughTheLoadedLibcrypto)
{
    const std::string archive = root_ / "aes.zip";
    std::string output;
    ASSERT_EQ(fixture::RunCommand("cd " + Quote(src_) + " && 7zz a -tzip -bd -ps3cret -mem=AES256 " + Quote(archive) +
                                      " . >/dev/null",
                                  &output),
              0);
    RunOutput out = Run(Make(Settings{}, fixture::ReadFile(archive)), "--yes -d aes", "s3cret\n");
    ASSERT_EQ(out.exitCode, 0) << out.text;
    ExpectSameFiles(root_ / "work/aes");
}

TEST_F(SfxProgramTest, PeerToolsReadTheProgramsWeMake)
{
    Settings s;
    s.commandLine = "notepad|><readme.txt";
    const std::string program = Make(s);
    std::string output;
    EXPECT_EQ(fixture::RunCommand("7zz t " + Quote(program) + " 2>&1", &output), 0) << output;
    // unzip warns about the bytes in front and may exit 1, but finds no error.
    int rc = fixture::RunCommand("unzip -t " + Quote(program) + " 2>&1", &output);
    EXPECT_TRUE(rc == 0 || rc == 1) << output;
    EXPECT_NE(output.find("No errors detected"), std::string::npos) << output;
}

}  // namespace
