// The stub's own pieces, without running it: the command line's split and
// '><' replacement, the settings header, the default folder on this system,
// the choice of members and of answers.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SfxProgram.h"
#include "sfx/CommandLine.h"
#include "sfx/Console.h"
#include "sfx/Selection.h"
#include "sfx/SfxArchive.h"
#include "sfx/TargetFolder.h"

using namespace sfx;
using Args = std::vector<std::string>;

TEST(CommandLineSplit, TheBarSeparatesProgramFromArgumentsAndArrowsBecomeTheFolder)
{
    ParsedCommand c = ParseCommandLine("notepad|><readme.txt", "/tmp/x");
    EXPECT_EQ(c.program, "notepad");
    EXPECT_EQ(c.arguments, Args({"/tmp/x/readme.txt"}));

    c = ParseCommandLine("><bin/setup|--into ><  -v", "/opt/app/");
    EXPECT_EQ(c.program, "/opt/app/bin/setup");
    EXPECT_EQ(c.arguments, Args({"--into", "/opt/app/", "-v"}));
}

TEST(CommandLineSplit, DoubleQuotesGroupBlanksAndAreDropped)
{
    ParsedCommand c = ParseCommandLine("sh|-c \"cat ><a b\" \"\" x\"y z\"w", "/d");
    EXPECT_EQ(c.arguments, Args({"-c", "cat /d/a b", "", "xy zw"}));
    // A folder with blanks stays one argument: arrows are replaced after the split.
    c = ParseCommandLine("viewer|><read me.txt", "/my docs");
    EXPECT_EQ(c.arguments, Args({"/my docs/read", "me.txt"}));
    c = ParseCommandLine("viewer|\"><read me.txt\"", "/my docs");
    EXPECT_EQ(c.arguments, Args({"/my docs/read me.txt"}));
}

TEST(CommandLineSplit, WithoutABarTheWholeTextIsTheProgram)
{
    ParsedCommand c = ParseCommandLine("  ><install.sh  ", "/d");
    EXPECT_EQ(c.program, "/d/install.sh");
    EXPECT_TRUE(c.arguments.empty());
    c = ParseCommandLine("\"><my setup\"", "/d");
    EXPECT_EQ(c.program, "/d/my setup");
}

TEST(CommandLineSplit, AnEmptyProgramMeansNoCommand)
{
    EXPECT_TRUE(ParseCommandLine("", "/d").program.empty());
    EXPECT_TRUE(ParseCommandLine("   ", "/d").program.empty());
    ParsedCommand c = ParseCommandLine(" |args only", "/d");
    EXPECT_TRUE(c.program.empty());
    EXPECT_TRUE(c.arguments.empty());
}

TEST(CommandLineSplit, DescribeQuotesWhatHasBlanks)
{
    ParsedCommand c{"/bin/sh", {"-c", "echo hi", ""}};
    EXPECT_EQ(DescribeCommand(c), "/bin/sh -c \"echo hi\" \"\"");
}

namespace {

SfxSettings Parse(const sfxtest::Settings& s)
{
    std::string header = sfxtest::HeaderBytes(s);
    SfxSettings out;
    std::string error;
    EXPECT_TRUE(ParseSettingsHeader(reinterpret_cast<const std::uint8_t*>(header.data()), &out, &error)) << error;
    return out;
}

}  // namespace

TEST(SettingsHeader, ReadsTheEnginesHeaderBitsAndTexts)
{
    sfxtest::Settings s{sfxtest::kAskCommandLine | sfxtest::kAskFiles | sfxtest::kHideOverwrite |
                            sfxtest::kOverwriteNever,
                        "Caption", "C:\\", "notepad|><readme.txt"};
    SfxSettings read = Parse(s);
    EXPECT_TRUE(read.askCommandLine);
    EXPECT_TRUE(read.askFiles);
    EXPECT_TRUE(read.hideOverwrite);
    EXPECT_EQ(read.overwrite, OverwriteMode::Never);
    EXPECT_EQ(read.caption, "Caption");
    EXPECT_EQ(read.defaultDir, "C:\\");
    EXPECT_EQ(read.commandLine, "notepad|><readme.txt");

    read = Parse({sfxtest::kAskFiles | sfxtest::kOverwriteAlways, "", "", ""});
    EXPECT_FALSE(read.askCommandLine);
    EXPECT_TRUE(read.askFiles);
    EXPECT_EQ(read.overwrite, OverwriteMode::Always);
    EXPECT_EQ(Parse({0, "", "", ""}).overwrite, OverwriteMode::Ask);
}

TEST(SettingsHeader, BothModeBitsMeanNever)
{
    std::uint8_t header[256] = {'M', 'P', 'U', 8 | 16};
    SfxSettings read;
    std::string error;
    ASSERT_TRUE(ParseSettingsHeader(header, &read, &error));
    EXPECT_EQ(read.overwrite, OverwriteMode::Never);
}

TEST(SettingsHeader, TextsFillingTheHeaderAreReadAndOverrunsRefused)
{
    sfxtest::Settings s{0, std::string(100, 'a'), std::string(100, 'b'), std::string(49, 'c')};
    SfxSettings read = Parse(s);
    EXPECT_EQ(read.commandLine, std::string(49, 'c'));

    std::uint8_t header[256] = {'M', 'P', 'U', 0, 100, 100, 50};
    std::string error;
    EXPECT_FALSE(ParseSettingsHeader(header, &read, &error));
    EXPECT_NE(error.find("damaged"), std::string::npos);
    header[0] = 'X';
    header[6] = 0;
    EXPECT_FALSE(ParseSettingsHeader(header, &read, &error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

TEST(DefaultFolder, WindowsPathsBecomeFoldersBelowTheCurrentOne)
{
    EXPECT_EQ(DefaultFolderAnswer(""), ".");
    EXPECT_EQ(DefaultFolderAnswer("C:\\"), ".");
    EXPECT_EQ(DefaultFolderAnswer("c:\\Tools\\App"), "Tools/App");
    EXPECT_EQ(DefaultFolderAnswer("D:"), ".");
    EXPECT_EQ(DefaultFolderAnswer("sub\\dir"), "sub/dir");
    EXPECT_EQ(DefaultFolderAnswer("/opt/app"), "/opt/app");
    EXPECT_EQ(DefaultFolderAnswer("><"), "><");
}

namespace {

std::vector<zipcore::ZipEntry> Entries(std::initializer_list<const char*> names)
{
    std::vector<zipcore::ZipEntry> entries;
    for (const char* name : names) {
        entries.emplace_back();
        entries.back().name = name;
    }
    return entries;
}

}  // namespace

TEST(MemberChoice, NumbersRangesAndPatterns)
{
    auto entries = Entries({"readme.txt", "docs/", "docs/a.txt", "docs/b.bin", "setup.sh"});
    std::vector<std::size_t> chosen;
    std::string error;
    ASSERT_TRUE(ParseSelection("", entries, &chosen, &error));
    EXPECT_EQ(chosen.size(), 5u);
    ASSERT_TRUE(ParseSelection("5, 1", entries, &chosen, &error));
    EXPECT_EQ(chosen, std::vector<std::size_t>({0, 4}));  // archive order
    ASSERT_TRUE(ParseSelection("2-3 *.sh", entries, &chosen, &error));
    EXPECT_EQ(chosen, std::vector<std::size_t>({1, 2, 4}));
    ASSERT_TRUE(ParseSelection("all", entries, &chosen, &error));
    EXPECT_EQ(chosen.size(), 5u);
}

TEST(MemberChoice, OutOfRangeNumbersAndUnmatchedPatternsAreRefused)
{
    auto entries = Entries({"a.txt", "b.txt"});
    std::vector<std::size_t> chosen = {7};
    std::string error;
    EXPECT_FALSE(ParseSelection("3", entries, &chosen, &error));
    EXPECT_NE(error.find("1 to 2"), std::string::npos);
    EXPECT_FALSE(ParseSelection("0", entries, &chosen, &error));
    EXPECT_FALSE(ParseSelection("2-1", entries, &chosen, &error));
    EXPECT_FALSE(ParseSelection("*.doc", entries, &chosen, &error));
    EXPECT_EQ(error, "no file matches *.doc");
    EXPECT_EQ(chosen, std::vector<std::size_t>({7}));  // untouched on refusal
}

TEST(Answers, ExactWordsWinThenTheFirstWordAnAnswerBegins)
{
    EXPECT_EQ(PickChoice("no", {"yes", "no", "all", "none"}), 1);
    EXPECT_EQ(PickChoice("n", {"yes", "no", "all", "none"}), 1);
    EXPECT_EQ(PickChoice("NONE", {"yes", "no", "all", "none"}), 3);
    EXPECT_EQ(PickChoice("non", {"yes", "no", "all", "none"}), 3);
    EXPECT_EQ(PickChoice("al", {"ask", "always", "never"}), 1);
    EXPECT_EQ(PickChoice("a", {"ask", "always", "never"}), 0);
    EXPECT_EQ(PickChoice("maybe", {"yes", "no"}), -1);
    EXPECT_EQ(PickChoice("", {"yes", "no"}), -1);
}

// The stub shows names as the window and fernpack-cli do: control and
// format characters as escapes, so nothing drives the terminal, reverses
// the line or hides a character.
TEST(Answers, PrintableEscapesControlAndFormatCharactersOnly)
{
    EXPECT_EQ(Printable("a\x1b[1mb\tc\x7f"), "a\\x1b[1mb\\x09c\\x7f");
    EXPECT_EQ(Printable("caf\xc3\xa9 \xc2\x9b" "1m"), "caf\xc3\xa9 \\u009b1m");  // C1 CSI in UTF-8 goes too
    EXPECT_EQ(Printable("\xc2\xa0ok"), "\xc2\xa0ok");
    EXPECT_EQ(Printable("evil\xe2\x80\xaetxt.exe a\xe2\x80\x8b" "b"), "evil\\u202etxt.exe a\\u200bb");
    EXPECT_EQ(PrintableName("caf\x82", 0), "caf\xc3\xa9") << "code page 437 without the UTF-8 flag";
}
