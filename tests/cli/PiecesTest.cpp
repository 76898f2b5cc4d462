// The pure pieces of fernpack-cli: escaping for the terminal and the
// progress line's fit.
#include <gtest/gtest.h>

#include <clocale>

#include "cli/Console.h"
#include "cli/Progress.h"

using cli::Printable;

TEST(Printable, ControlCharactersAndNonUtf8BytesAreEscaped)
{
    EXPECT_EQ(Printable("a\x1b[31mred\x07"), "a\\x1b[31mred\\x07");
    EXPECT_EQ(Printable("tab\there\nnew\x7f"), "tab\\x09here\\x0anew\\x7f");
    // UTF-8 stays; a C1 control (U+009B, a one-character CSI), a format
    // character and a lone high byte do not.
    EXPECT_EQ(Printable("caf\xc3\xa9 \xe6\x97\xa5"), "caf\xc3\xa9 \xe6\x97\xa5");
    EXPECT_EQ(Printable("x\xc2\x9b" "2J"), "x\\u009b2J");
    EXPECT_EQ(Printable("a\xe2\x80\xae" "txt.exe"), "a\\u202etxt.exe");
    EXPECT_EQ(Printable("\x9b" "2J \xff"), "\\x9b2J \\xff");
    // Line breaks only where asked for (two-line messages, comments).
    EXPECT_EQ(Printable("one\r\ntwo\n\x1b", true), "one\ntwo\n\\x1b");
}

TEST(ProgressLine, FitsTheWidthAndGivesWayInOrder)
{
    std::setlocale(LC_CTYPE, "C.UTF-8");
    cli::ProgressState s;
    s.File = std::string(150, 'n') + "/\xe6\x97\xa5\xe6\x97\xa5" + std::string(150, 'e');
    s.FilesDone = 12;
    s.FilesTotal = 4862;
    s.BytesDone = 3u << 20;
    s.BytesTotal = 120u << 20;
    s.Seconds = 2;
    for (int columns : {200, 80, 40, 20, 8}) {
        const std::string line = cli::ProgressLine(s, columns);
        EXPECT_LE(cli::DisplayWidth(line), columns - 1) << columns << ": " << line;
        EXPECT_NE(line.find("3%"), std::string::npos) << line;
    }
    const std::string wide = cli::ProgressLine(s, 200);
    EXPECT_NE(wide.find("...") , std::string::npos);
    EXPECT_EQ(wide.rfind("nnnn", 0), 0u) << wide;  // the start and the end of the name stay
    EXPECT_NE(wide.find("eeee  3%  12/4862 files  3.0 MiB of 120 MiB  1.5 MiB/s  1:18 left"), std::string::npos)
        << wide;
    const std::string narrow = cli::ProgressLine(s, 40);
    EXPECT_EQ(narrow.find("/s"), std::string::npos) << narrow;  // the rate goes first
    // A wide character is never cut in half.
    EXPECT_EQ(cli::ShortenMiddle("\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5", 7), "\xe6\x97\xa5...\xe6\x97\xa5");
    EXPECT_EQ(cli::ShortenMiddle("\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5", 6), "...\xe6\x97\xa5");
}
