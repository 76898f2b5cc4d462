// The pure pieces of fernpack-cli: escaping for the terminal, stored names,
// the progress line's fit, dates.
#include <gtest/gtest.h>

#include <clocale>

#include "cli/AddPlan.h"
#include "cli/Console.h"
#include "cli/Listing.h"
#include "cli/Progress.h"

using cli::Printable;
using cli::StoredName;

TEST(Printable, ControlCharactersAndNonUtf8BytesAreEscaped)
{
    EXPECT_EQ(Printable("a\x1b[31mred\x07"), "a\\x1b[31mred\\x07");
    EXPECT_EQ(Printable("tab\there\nnew\x7f"), "tab\\x09here\\x0anew\\x7f");
    // UTF-8 stays; a C1 control (U+009B, a one-character CSI) and a lone
    // high byte do not.
    EXPECT_EQ(Printable("caf\xc3\xa9 \xe6\x97\xa5"), "caf\xc3\xa9 \xe6\x97\xa5");
    EXPECT_EQ(Printable("x\xc2\x9b" "2J"), "x\\xc2\\x9b2J");
    EXPECT_EQ(Printable("\x9b" "2J \xff"), "\\x9b2J \\xff");
    // Line breaks only where asked for (two-line messages, comments).
    EXPECT_EQ(Printable("one\r\ntwo\n\x1b", true), "one\ntwo\n\\x1b");
}

TEST(StoredNames, AsTypedWithoutRootAndClimbing)
{
    EXPECT_EQ(StoredName("doc/sub/a.txt", true), "doc/sub/a.txt");
    EXPECT_EQ(StoredName("./doc//a.txt", true), "doc/a.txt");
    EXPECT_EQ(StoredName("/home/user/doc/a.txt", true), "home/user/doc/a.txt");
    EXPECT_EQ(StoredName("../../x/a.txt", true), "x/a.txt");
    EXPECT_EQ(StoredName("doc/../a.txt", true), "a.txt");
    EXPECT_EQ(StoredName("c:/a\\b", true), "c_/a_b");
    EXPECT_EQ(StoredName("/home/user/doc/a.txt", false), "a.txt");
    EXPECT_EQ(StoredName("/..", true), "");
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

TEST(Listing, DatesOutsideTheCalendarPrintAsZeros)
{
    EXPECT_EQ(cli::FormatDosDateTime(0), "0000-00-00 00:00:00");
    // 30 February 2023.
    EXPECT_EQ(cli::FormatDosDateTime(((43u << 9 | 2u << 5 | 30u) << 16)), "0000-00-00 00:00:00");
    // 29 February 2024 exists; hour 24 does not.
    EXPECT_EQ(cli::FormatDosDateTime(((44u << 9 | 2u << 5 | 29u) << 16) | (23u << 11 | 59u << 5 | 29u)),
              "2024-02-29 23:59:58");
    EXPECT_EQ(cli::FormatDosDateTime(((44u << 9 | 2u << 5 | 29u) << 16) | (24u << 11)), "0000-00-00 00:00:00");
}
