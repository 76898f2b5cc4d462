// The locale conversions: what converts and what does not under settings
// modelled on the C, en_US, en_GB and de_DE locales, the "ddddd  t" format
// reading back as the same moment, and settings read from the environment.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <random>
#include <string>

#include "platform/FormatSettings.h"

using namespace platform;

namespace {

TDateTime At(int y, int mo, int d, int h, int mi) { return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0); }

bool Float(const std::string& s, const TFormatSettings& fs, long double* out = nullptr) {
    long double v;
    bool ok = TryStrToFloat(s, v, fs);
    if (ok && out) *out = v;
    return ok;
}

}  // namespace

TEST(FormatNumbers, AcceptsPlainNumbersOnly) {
    const auto fs = TFormatSettings::EnUS();
    long double v = 0;
    EXPECT_TRUE(Float("9", fs, &v));
    EXPECT_EQ(v, 9);
    EXPECT_TRUE(Float("  -1.5e3  ", fs, &v));
    EXPECT_EQ(v, -1500);
    EXPECT_TRUE(Float("+.5", fs, &v));
    EXPECT_EQ(v, 0.5L);
    EXPECT_TRUE(Float("7.", fs));
    for (const char* bad : {"", " ", "1,234,567", "1.2.3", "e5", "1e", "1e+", "+", "-", ".", "n/a", "1 2",
                            "0x10", "1e99999", "inf", "nan", "1\t"})
        EXPECT_FALSE(Float(bad, fs)) << bad;
}

TEST(FormatNumbers, UsesTheDecimalSeparatorOfTheSettings) {
    const auto de = TFormatSettings::DeDE();
    long double v = 0;
    EXPECT_TRUE(Float("1,5", de, &v));
    EXPECT_EQ(v, 1.5L);
    EXPECT_FALSE(Float("1.5", de));
    EXPECT_THROW(StrToFloat("1.5", de), EConvertError);
    EXPECT_EQ(StrToFloat("2,25", de), 2.25L);
}

// Short numbers take a quick path; it must give the very value the general
// conversion gives (correctly rounded), or sorted sizes could change order.
TEST(FormatNumbers, QuickPathGivesTheCorrectlyRoundedValue) {
    std::mt19937 rng(5);
    const auto fs = TFormatSettings::C();
    for (int i = 0; i < 20000; ++i) {
        std::string digits = std::to_string(rng()) + std::to_string(rng() % 1000000000);
        digits.resize(1 + rng() % digits.size());
        std::string text = digits;
        if (rng() % 2) text.insert(rng() % (text.size() + 1), ".");
        if (rng() % 3 == 0) text += "e" + std::to_string(static_cast<int>(rng() % 60) - 30);
        if (rng() % 4 == 0) text = "-" + text;
        long double quick = 0, general = 0;
        ASSERT_TRUE(TryStrToFloat(text, quick, fs)) << text;
        const std::string& c = text;
        auto [p, ec] = std::from_chars(c.data(), c.data() + c.size(), general);
        ASSERT_EQ(ec, std::errc()) << text;
        ASSERT_EQ(quick, general) << text;
    }
}

TEST(FormatTimes, HoursMinutesSecondsAndMarkers) {
    const auto us = TFormatSettings::EnUS();
    EXPECT_DOUBLE_EQ(StrToTime("13:05", us), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("1:05 PM", us), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("1:05pm", us), EncodeTime(13, 5, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 AM", us), 0.0);
    EXPECT_DOUBLE_EQ(StrToTime("12:30 PM", us), EncodeTime(12, 30, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("7", us), EncodeTime(7, 0, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("7:08:09.5", us), EncodeTime(7, 8, 9, 500));
    for (const char* bad : {"", "13:00 PM", "0:30 AM", "24:00", "12:60", "1:2:3:4", "PM", "1:05 XM", "1:"})
        EXPECT_THROW(StrToTime(bad, us), EConvertError) << bad;
    // Locale markers are accepted besides AM and PM.
    auto fs = TFormatSettings::DeDE();
    fs.TimeAMString = "vorm.";
    fs.TimePMString = "nachm.";
    EXPECT_DOUBLE_EQ(StrToTime("3:00 nachm.", fs), EncodeTime(15, 0, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("3:00 PM", fs), EncodeTime(15, 0, 0, 0));
}

TEST(FormatDates, DateAndTimeInTheOrderOfTheSettings) {
    EXPECT_DOUBLE_EQ(StrToDateTime("12/31/2107  1:05 PM", TFormatSettings::EnUS()), At(2107, 12, 31, 13, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("31/12/2107  13:05", TFormatSettings::EnGB()), At(2107, 12, 31, 13, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("31.12.2107  13:05", TFormatSettings::DeDE()), At(2107, 12, 31, 13, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("01/02/1980", TFormatSettings::C()), EncodeDate(1980, 1, 2));
    // Two-digit years count from 2000 below 50 and from 1900 otherwise.
    EXPECT_DOUBLE_EQ(StrToDateTime("1/2/49", TFormatSettings::EnUS()), EncodeDate(2049, 1, 2));
    EXPECT_DOUBLE_EQ(StrToDateTime("1/2/80", TFormatSettings::EnUS()), EncodeDate(1980, 1, 2));
    const auto us = TFormatSettings::EnUS();
    for (const char* bad : {"", "13:05", "2/30/2020", "13/1/2020", "1/2", "1/2/2020x", "1/2/2020 25:00",
                            "1.2.2020", "1/2/2020  1:05 PM extra", "1/2/202012"})
        EXPECT_THROW(StrToDateTime(bad, us), EConvertError) << bad;
}

TEST(FormatDates, CalendarRoundTrip) {
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1980, 1, 1), 29221.0);
    int y, m, d;
    DecodeDate(EncodeDate(2000, 2, 29), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20000229);
    EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
}

TEST(FormatDates, ShortDateAndTimePattern) {
    const TDateTime t = At(2107, 12, 31, 13, 5) + EncodeTime(0, 0, 58, 0);
    EXPECT_EQ(FormatDateTime("ddddd  t", t, TFormatSettings::EnUS()), "12/31/2107  1:05 PM");
    EXPECT_EQ(FormatDateTime("ddddd  t", t, TFormatSettings::EnGB()), "31/12/2107  13:05");
    EXPECT_EQ(FormatDateTime("ddddd  t", t, TFormatSettings::DeDE()), "31.12.2107  13:05");
    EXPECT_EQ(FormatDateTime("ddddd  t", t, TFormatSettings::C()), "12/31/2107  13:05");
    EXPECT_EQ(FormatDateTime("ddddd  t", At(1980, 1, 1, 0, 0), TFormatSettings::EnUS()), "1/1/1980  12:00 AM");
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss", t, TFormatSettings::C()), "2107-12-31 13:05:58");
    EXPECT_EQ(FormatDateTime("h:mm 'h'", t, TFormatSettings::C()), "13:05 h");
}

// Every moment an archive can hold, written as the listing writes it, reads
// back in the same order under each of the four settings.
TEST(FormatDates, ListingDatesKeepTheirOrder) {
    for (const auto& fs : {TFormatSettings::C(), TFormatSettings::EnUS(), TFormatSettings::EnGB(),
                           TFormatSettings::DeDE()}) {
        TDateTime previous = -1;
        for (int year = 1980; year <= 2107; year += 7)
            for (int month = 1; month <= 12; month += 5)
                for (int hour = 0; hour < 24; hour += 11) {
                    const TDateTime t = At(year, month, 28, hour, 59);
                    const std::string text = FormatDateTime("ddddd  t", t, fs);
                    TDateTime back;
                    ASSERT_TRUE(TryStrToDateTime(text, back, fs)) << text;
                    EXPECT_NEAR(back, t, 1e-9) << text;
                    EXPECT_GT(back, previous) << text;
                    previous = back;
                    long double number;
                    EXPECT_FALSE(TryStrToFloat(text, number, fs)) << text;
                    EXPECT_FALSE(TryStrToTime(text, back, fs)) << text;
                }
    }
}

TEST(FormatEnvironment, CLocaleGivesFourDigitYears) {
    const char* saved = std::getenv("LC_ALL");
    const std::string keep = saved ? saved : "";
    setenv("LC_ALL", "C", 1);
    const auto fs = TFormatSettings::FromEnvironment();
    if (saved) setenv("LC_ALL", keep.c_str(), 1);
    else unsetenv("LC_ALL");
    EXPECT_EQ(fs.DecimalSeparator, '.');
    EXPECT_EQ(fs.ShortDateFormat, "mm/dd/yyyy");
    EXPECT_EQ(fs.DateSeparator, '/');
    EXPECT_EQ(fs.ShortTimeFormat, "hh:nn");
    EXPECT_EQ(FormatDateTime("ddddd  t", At(1999, 3, 4, 5, 6), fs), "03/04/1999  05:06");
}


// Builds the en_US, en_GB and de_DE locales from the C library's sources
// into a private folder (LOCPATH), so reading the environment is tested on
// a machine that has only the C and POSIX locales. Skipped without
// localedef or the sources.
TEST(FormatEnvironment, RealLocalesBuiltForTheTest) {
    char dirTemplate[] = "/tmp/fernpack_locales_XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    ASSERT_NE(dir, nullptr);
    const std::string folder = dir;
    const std::string build = "localedef -i de_DE -f UTF-8 " + folder + "/de_DE.UTF-8 >/dev/null 2>&1 && "
                              "localedef -i en_US -f UTF-8 " + folder + "/en_US.UTF-8 >/dev/null 2>&1 && "
                              "localedef -i en_GB -f UTF-8 " + folder + "/en_GB.UTF-8 >/dev/null 2>&1";
    const bool built = std::system(build.c_str()) == 0;
    struct Cleanup {
        std::string folder;
        ~Cleanup() { std::system(("rm -rf '" + folder + "'").c_str()); }
    } cleanup{folder};
    if (!built) GTEST_SKIP() << "localedef or the locale sources are missing";

    const TDateTime t = At(2001, 2, 3, 14, 5);
    struct Case {
        const char* locale;
        const char* expected;  // decimal|date separator|short date|short time|formatted|reads back
    } cases[] = {
        {"de_DE.UTF-8", ",|.|dd/mm/yyyy|hh:nn|03.02.2001  14:05|yes"},
        {"en_US.UTF-8", ".|/|mm/dd/yyyy|hh:nn AMPM|02/03/2001  02:05 PM|yes"},
        {"en_GB.UTF-8", ".|/|dd/mm/yyyy|hh:nn|03/02/2001  14:05|yes"},
    };
    for (const Case& c : cases) {
        // Read in a child process: the C library keeps a little memory for
        // every locale opened through LOCPATH, which the leak checker would
        // blame on this test.
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            setenv("LOCPATH", folder.c_str(), 1);
            setenv("LC_ALL", c.locale, 1);
            const auto fs = TFormatSettings::FromEnvironment();
            const std::string text = FormatDateTime("ddddd  t", t, fs);
            TDateTime back = 0;
            const bool reads = TryStrToDateTime(text, back, fs) && std::abs(back - t) < 1e-9;
            const std::string report = std::string(1, fs.DecimalSeparator) + "|" + fs.DateSeparator + "|" +
                                       fs.ShortDateFormat + "|" + fs.ShortTimeFormat + "|" + text + "|" +
                                       (reads ? "yes" : "no");
            ssize_t written = write(fds[1], report.data(), report.size());
            _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
        }
        close(fds[1]);
        std::string report;
        char buffer[256];
        for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(n));
        close(fds[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(report, c.expected) << c.locale;
    }
}

TEST(FormatEnvironment, ScopedSettingsComeBack) {
    const TFormatSettings before = FormatSettings();
    {
        ScopedFormatSettings scope(TFormatSettings::DeDE());
        EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
        EXPECT_EQ(StrToFloat("0,5"), 0.5L);
    }
    EXPECT_EQ(FormatSettings().ShortDateFormat, before.ShortDateFormat);
}
