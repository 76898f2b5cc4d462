// Locale conversions for the user's numbers, dates and times: text to number,
// to date-and-time and to time, and the formatting of a date and time with
// patterns such as "ddddd  t" (the short date, two blanks, the short time).
//
// Settings come from the user's environment (LC_ALL / LC_NUMERIC / LC_TIME
// through the C library) or are built explicitly, so tests do not depend on
// the locales installed. Dates always carry a four-digit year: where a
// locale's pattern has two digits it is widened, so dates from any century
// keep their order when sorted by value.
//
// A date-and-time value is a day count since 30 December 1899 with the time
// of day as its fraction; it grows monotonically with the moment it stands
// for. Conversions fail with EConvertError; the Try forms never throw and
// never allocate. No toolkit is involved.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// The one error every failed conversion raises.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TDateTime = double;

struct TFormatSettings {
    char DecimalSeparator = '.';
    // In ShortDateFormat, "/" stands for DateSeparator; the fields are d, dd,
    // m, mm and yyyy (yy is widened to yyyy when settings are built).
    char DateSeparator = '/';
    std::string ShortDateFormat = "mm/dd/yyyy";
    // In ShortTimeFormat, ":" stands for TimeSeparator; the fields are h, hh,
    // n, nn (minutes), s, ss and AMPM (the markers below, with a 12-hour clock).
    char TimeSeparator = ':';
    std::string ShortTimeFormat = "hh:nn";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";

    // Settings modelled on common locales, for tests and as fall-backs.
    static TFormatSettings C();
    static TFormatSettings EnUS();
    static TFormatSettings EnGB();
    static TFormatSettings DeDE();
    // Settings of the user's environment; "C" where the environment names a
    // locale that is not installed.
    static TFormatSettings FromEnvironment();
};

// The settings in force for the whole program. Until SetFormatSettings is
// called they are read once from the environment.
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);

// Puts the given settings in force for the life of a scope (tests).
class ScopedFormatSettings {
public:
    explicit ScopedFormatSettings(const TFormatSettings& settings);
    ~ScopedFormatSettings();
    ScopedFormatSettings(const ScopedFormatSettings&) = delete;
    ScopedFormatSettings& operator=(const ScopedFormatSettings&) = delete;

private:
    TFormatSettings previous_;
};

// Number: optional blanks, optional sign, digits with at most one decimal
// separator, optional exponent, optional blanks. No digit grouping.
bool TryStrToFloat(std::string_view text, long double& value,
                   const TFormatSettings& fs = FormatSettings());
long double StrToFloat(std::string_view text, const TFormatSettings& fs = FormatSettings());

// Time: hours, optionally minutes, seconds and milliseconds joined by the
// time separator, optionally followed by a morning or afternoon marker (the
// settings' markers or AM / PM, any case), with which the hour must be 1..12.
bool TryStrToTime(std::string_view text, TDateTime& value,
                  const TFormatSettings& fs = FormatSettings());
TDateTime StrToTime(std::string_view text, const TFormatSettings& fs = FormatSettings());

// Date-and-time: a date of three fields in the short date's order, joined by
// the date separator, optionally followed by blanks and a time. A text that
// holds only a time is not a date-and-time. One- and two-digit years count
// from 2000 below 50 and from 1900 otherwise.
bool TryStrToDateTime(std::string_view text, TDateTime& value,
                      const TFormatSettings& fs = FormatSettings());
TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs = FormatSettings());

// Calendar arithmetic. The Encode forms throw EConvertError on a date or
// time that does not exist; the Try forms return false instead.
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// Formats `value` by a pattern: ddddd (short date), t (short time), tt
// (short time with seconds), c (ddddd t), d, dd, m, mm, yy, yyyy, h, hh,
// n, nn (and m or mm right after an hour), s, ss, z, zzz, AMPM, am/pm, a/p,
// "/" (date separator), ":" (time separator) and quoted literals.
std::string FormatDateTime(std::string_view pattern, TDateTime value,
                           const TFormatSettings& fs = FormatSettings());

}  // namespace platform
