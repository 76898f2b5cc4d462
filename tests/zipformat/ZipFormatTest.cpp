// The facts of zipformat/ beside the end of an archive: DOS dates, stored
// names, how a stored name shows as text, the flags, and the choice of
// members by patterns.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <vector>

#include "ZipFixture.h"
#include "zipformat/DosDateTime.h"
#include "zipformat/Flags.h"
#include "zipformat/MemberSelector.h"
#include "zipformat/NameText.h"
#include "zipformat/StoredName.h"
#include "zipformat/Wildcards.h"

namespace zip = fernpack::zip;
using fixture::DosDateTime;

TEST(DosDateTime, DecodesTheRangeAndRefusesWhatIsNoCalendarDate)
{
    struct Case {
        std::uint32_t packed;
        const char* text;
    } cases[] = {
        {DosDateTime(1980, 1, 1, 0, 0, 0), "1980-01-01 00:00:00"},
        {DosDateTime(2107, 12, 31, 23, 59, 58), "2107-12-31 23:59:58"},
        {DosDateTime(2024, 2, 29, 12, 30, 10), "2024-02-29 12:30:10"},
        {0, "0000-00-00 00:00:00"},                               // month 0, day 0
        {DosDateTime(2024, 5, 0, 10, 0, 0), "0000-00-00 00:00:00"},   // day 0
        {DosDateTime(2024, 13, 1, 10, 0, 0), "0000-00-00 00:00:00"},  // month 13
        {DosDateTime(2023, 2, 29, 10, 0, 0), "0000-00-00 00:00:00"},  // not a leap year
        {DosDateTime(2024, 4, 31, 10, 0, 0), "0000-00-00 00:00:00"},
        {DosDateTime(2024, 5, 17, 24, 0, 0), "0000-00-00 00:00:00"},  // hour 24
        {DosDateTime(2024, 5, 17, 23, 60, 0), "0000-00-00 00:00:00"},
        {DosDateTime(2024, 5, 17, 23, 59, 60), "0000-00-00 00:00:00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(zip::DateTimeText(c.packed), c.text) << std::hex << c.packed;
        EXPECT_EQ(zip::DosDateTime::Decode(c.packed).Valid, std::string(c.text) != zip::InvalidDateText);
    }
    const zip::DosDateTime d = zip::DosDateTime::Decode(DosDateTime(2107, 12, 31, 23, 59, 58));
    EXPECT_EQ(d.Year * 10000 + d.Month * 100 + d.Day, 21071231);
    EXPECT_EQ(zip::PackDosDateTime(zip::DosDatePart(0x12345678), zip::DosTimePart(0x12345678)), 0x12345678u);
}

TEST(DosDateTime, EncodesLocalTimeAndReadsItBack)
{
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    setenv("TZ", "UTC", 1);
    tzset();
    const std::time_t even = 1700000000;  // 2023-11-14 22:13:20 UTC
    EXPECT_EQ(zip::DosFromUnix(even), DosDateTime(2023, 11, 14, 22, 13, 20));
    EXPECT_EQ(zip::UnixFromDos(zip::DosFromUnix(even)), even);
    EXPECT_EQ(zip::UnixFromDos(zip::DosFromUnix(even + 1)), even + 2);  // odd seconds round up
    EXPECT_EQ(zip::DosFromUnix(0), DosDateTime(1980, 1, 1, 0, 0, 0));  // clamped to the range
    EXPECT_EQ(zip::DosFromUnix(std::time_t(4) << 32), DosDateTime(2107, 12, 31, 23, 59, 58));
    // A day or month of 0 dates a file at the start of its month or year,
    // never in the one before.
    EXPECT_EQ(zip::UnixFromDos(DosDateTime(2024, 3, 0, 0, 0, 0)), zip::UnixFromDos(DosDateTime(2024, 3, 1, 0, 0, 0)));
    EXPECT_EQ(zip::UnixFromDos(DosDateTime(2024, 0, 0, 0, 0, 0)), zip::UnixFromDos(DosDateTime(2024, 1, 1, 0, 0, 0)));
    if (zone)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

TEST(StoredName, PathsBecomeNamesTheLibrariesAccept)
{
    // Byte for byte whatever the locale says a letter is.
    std::setlocale(LC_CTYPE, "C.UTF-8");
    const struct {
        const char* path;
        bool keepDirs;
        const char* name;
    } cases[] = {
        {"doc/sub/a.txt", true, "doc/sub/a.txt"},
        {"./doc//a.txt", true, "doc/a.txt"},
        {"/home/user/doc/a.txt", true, "home/user/doc/a.txt"},
        {"/home/user/doc/a.txt", false, "a.txt"},
        {"../../x/./y/../a.txt", true, "x/a.txt"},
        {"doc/../a.txt", true, "a.txt"},
        {"dir/back\\slash", true, "dir/back_slash"},
        {"c:/a\\b", true, "c_/a_b"},
        {"Z:x", true, "Z_x"},
        {"\xC3\xA9:/x", true, "\xC3\xA9:/x"},  // no ASCII letter: no drive
        {"1:/x", true, "1:/x"},
        {"/", true, ""},
        {"..", true, ""},
        {"/..", true, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zip::StoredName(c.path, c.keepDirs), c.name) << c.path;

    const struct {
        const char* component;
        const char* dos;
    } dos[] = {
        {"readme.txt", "README.TXT"},   {"a very long name.html", "AVERYLON.HTM"}, {"archive.tar.gz", "ARCHIVET.GZ"},
        {".bashrc", "_.BAS"},           {"no_ext", "NO_EXT"},                      {"a+b,c.t;x", "A_B_C.T_X"},
        {"caf\xC3\xA9.txt", "CAF__.TXT"},
    };
    for (const auto& c : dos)
        EXPECT_EQ(zip::DosComponent(c.component), c.dos) << c.component;
    EXPECT_EQ(zip::ForceDosName("long folder name/sub.dir/file.text"), "LONGFOLD/SUB.DIR/FILE.TEX");
}

// The flag promises UTF-8: only names that are UTF-8 and need more than
// ASCII get it; other bytes are kept as they are, flag clear.
TEST(StoredName, TheUtf8FlagOnlyOnValidUtf8)
{
    const struct {
        std::string name;
        bool flag;
    } cases[] = {
        {"plain", false},         {"caf\xC3\xA9", true},          {"\xF0\x9F\x98\x80.txt", true},
        {"bad\xFF.txt", false},   {"caf\x82", false},             {"\xC3\xA9\xFF", false},
        {"\xED\xA0\x80", false},  {"cut\xE6\x97", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zip::NeedsUtf8Flag(c.name), c.flag) << c.name;
}

TEST(NameText, Utf8StaysAndAnythingElseIsCodePage437)
{
    const struct {
        std::string stored;
        bool flag;
        std::string text;
    } cases[] = {
        {"plain.txt", false, "plain.txt"},
        {"caf\xC3\xA9", false, "caf\xC3\xA9"},                 // valid UTF-8 without the flag (zip on Linux)
        {"caf\x82", false, "caf\xC3\xA9"},                     // 0x82 is e acute in code page 437
        {"\x80\xE1\xFF", false, "\xC3\x87\xC3\x9F\xC2\xA0"},   // C cedilla, sharp s, no-break space
        {"\xB0\xDB", false, "\xE2\x96\x91\xE2\x96\x88"},       // shade and block
        {"caf\x82", true, "caf\xEF\xBF\xBD"},                  // flagged but not UTF-8: U+FFFD
        {std::string("a\0b", 3), false, std::string("a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zip::NameText(c.stored, c.flag), c.text) << c.stored;

    for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE6\x97", "\x80"})
        EXPECT_FALSE(zip::IsUtf8(bad)) << bad;
    EXPECT_TRUE(zip::IsUtf8("\xF0\x9F\x98\x80 \xE6\x97\xA5 caf\xC3\xA9"));
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(zip::Cp437Byte(zip::Cp437Char(static_cast<unsigned char>(b))), b);
    EXPECT_EQ(zip::Cp437Byte(U'\u20AC'), -1);  // the euro sign is not in the set
}

// The one way every hidden character shows: controls and format characters
// as escapes, bytes that are not UTF-8 as \xNN, line breaks only on request.
TEST(NameText, HiddenCharactersShowAsEscapes)
{
    const struct {
        std::string text;
        bool lineBreaks;
        std::string shown;
    } cases[] = {
        {"plain caf\xC3\xA9", false, "plain caf\xC3\xA9"},
        {"a\x1b[2Jb", false, "a\\x1b[2Jb"},
        {"tab\there", false, "tab\\x09here"},
        {"del\x7f", false, "del\\x7f"},
        {"c1\xC2\x85", false, "c1\\u0085"},                           // a C1 control
        {"a\xE2\x80\x8B" "b.txt", false, "a\\u200bb.txt"},             // zero width space
        {"\xE2\x81\xA0x\xEF\xBB\xBF", false, "\\u2060x\\ufeff"},       // word joiner, byte order mark
        {"ab\xE2\x80\xAE" "txt.exe", false, "ab\\u202etxt.exe"},        // right-to-left override
        {"\xE2\x81\xA6x\xE2\x81\xA9", false, "\\u2066x\\u2069"},       // isolates
        {"soft\xC2\xADhyphen", false, "soft\\u00adhyphen"},
        {"line\xE2\x80\xA8sep", false, "line\\u2028sep"},
        {"tag\xF3\xA0\x80\x81", false, "tag\\U000e0001"},
        {"bad\xFF", false, "bad\\xff"},
        {"one\r\ntwo\nthree\rfour", false, "one\\x0d\\x0atwo\\x0athree\\x0dfour"},
        {"one\r\ntwo\nthree\rfour", true, "one\ntwo\nthree\nfour"},
        {"\xE2\x80\x8F\n", true, "\\u200f\n"},
        {"emoji \xF0\x9F\x98\x80 \xE6\x97\xA5", false, "emoji \xF0\x9F\x98\x80 \xE6\x97\xA5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zip::VisibleText(c.text, c.lineBreaks), c.shown) << c.text;

    // Names decode first: a code page 437 name holds no format character.
    EXPECT_EQ(zip::VisibleName("a\xE2\x80\x8B" "b", true), "a\\u200bb");
    EXPECT_EQ(zip::VisibleName("caf\x82\x1b"), "caf\xC3\xA9\\x1b");
    for (char32_t visible : {U' ', U'~', U'\u00A0', U'\u200A', U'\u2030', U'\uFFFD', U'\U0001F600'})
        EXPECT_FALSE(zip::IsHiddenCharacter(visible)) << std::uint32_t(visible);

    // Text taken as plain is exactly what the full way would show, byte by
    // byte, in a name and in a message.
    for (int b = 0; b < 256; ++b) {
        const std::string text = "a" + std::string(1, char(b)) + "z";
        for (const bool lineFeeds : {false, true}) {
            const std::string full = lineFeeds ? zip::VisibleText(zip::NameText(text), true) : zip::VisibleName(text);
            if (zip::IsPlainText(text, lineFeeds))
                EXPECT_EQ(full, text) << b;
            else if (b >= 0x20 && b < 0x7f)
                ADD_FAILURE() << "printable byte " << b << " not taken as plain";
        }
    }
}

TEST(Flags, EncryptionAndUtf8Names)
{
    EXPECT_TRUE(zip::IsEncrypted(0x0001));
    EXPECT_TRUE(zip::IsEncrypted(0x0809));
    EXPECT_FALSE(zip::IsEncrypted(0x0808));
    EXPECT_TRUE(zip::NeedsPassword(0x0001, zip::MethodDeflated));
    EXPECT_TRUE(zip::NeedsPassword(0, zip::MethodAes));  // AES by its method alone
    EXPECT_FALSE(zip::NeedsPassword(0x0800, zip::MethodStored));
    EXPECT_TRUE(zip::HasUtf8Name(0x0800));
    EXPECT_FALSE(zip::HasUtf8Name(0x0001));
    EXPECT_EQ(zip::UnsupportedMethodText(98), "PPMd compression (method 98) is not supported");
    EXPECT_EQ(zip::UnsupportedMethodText(200), "compression method 200 is not supported");
}

TEST(MemberSelector, PatternsMatchLikeTheLibrariesAndStoredNamesWin)
{
    const struct {
        const char* pattern;
        const char* name;
        bool match;
    } cases[] = {
        {"*.*", "noext", true},         {"*.*", "dir/file.txt", true}, {"*", "a/b/c", true},
        {"a/*.txt", "a/b/c.txt", true},  // '*' crosses '/'
        {"?/x", "a/x", true},           {"a?c", "a/c", true},          {"*.TXT", "a.txt", false},  // case counts
        {"a?", "a", false},             {"file.*", "file", true},      {"file.*", "filex", false},
        {"**a**b**", "xxaxxbxx", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fernpack::MatchesMemberPattern(c.pattern, c.name), c.match) << c.pattern << " " << c.name;
    // A hostile pattern stays fast (no exponential backtracking).
    EXPECT_FALSE(fernpack::MatchesMemberPattern("*a*a*a*a*a*a*a*a*b", std::string(5000, 'a')));

    zip::MemberSelector selector({"x*.txt", "missing", "*.dat"});
    for (std::string n : {"x*.txt", "xy.txt", "a.dat"})
        selector.NoteStoredName(n);
    EXPECT_TRUE(selector.Selects("x*.txt"));
    EXPECT_FALSE(selector.Selects("xy.txt"));
    EXPECT_TRUE(selector.Selects("a.dat"));
    EXPECT_EQ(selector.Unmatched(), std::vector<std::string>{"missing"});
    zip::MemberSelector all({});
    EXPECT_TRUE(all.Selects("anything"));
    EXPECT_TRUE(all.Unmatched().empty());
}
