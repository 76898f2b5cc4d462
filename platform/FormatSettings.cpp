#include "platform/FormatSettings.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <langinfo.h>
#include <locale.h>
#include <optional>

namespace platform {

// ---------------------------------------------------------------------------
// Settings

TFormatSettings TFormatSettings::C() {
    TFormatSettings fs;
    fs.DecimalSeparator = '.';
    fs.DateSeparator = '/';
    fs.ShortDateFormat = "mm/dd/yyyy";
    fs.TimeSeparator = ':';
    fs.ShortTimeFormat = "hh:nn";
    fs.TimeAMString = "AM";
    fs.TimePMString = "PM";
    return fs;
}

TFormatSettings TFormatSettings::EnUS() {
    TFormatSettings fs = C();
    fs.ShortDateFormat = "m/d/yyyy";
    fs.ShortTimeFormat = "h:nn AMPM";
    return fs;
}

TFormatSettings TFormatSettings::EnGB() {
    TFormatSettings fs = C();
    fs.ShortDateFormat = "dd/mm/yyyy";
    fs.ShortTimeFormat = "hh:nn";
    fs.TimeAMString = "am";
    fs.TimePMString = "pm";
    return fs;
}

TFormatSettings TFormatSettings::DeDE() {
    TFormatSettings fs = C();
    fs.DecimalSeparator = ',';
    fs.DateSeparator = '.';
    fs.ShortDateFormat = "dd.mm.yyyy";
    fs.TimeAMString.clear();
    fs.TimePMString.clear();
    return fs;
}

namespace {

bool IsFieldModifier(char c) {
    return c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#';
}

// Expands the composite conversions of a strftime pattern.
std::string ExpandStrftime(std::string_view fmt, locale_t loc) {
    std::string out;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != '%' || i + 1 >= fmt.size()) {
            out += fmt[i];
            continue;
        }
        std::size_t j = i + 1;
        while (j < fmt.size() && IsFieldModifier(fmt[j])) ++j;
        if (j >= fmt.size()) break;
        switch (fmt[j]) {
        case 'D': out += "%m/%d/%y"; break;
        case 'F': out += "%Y-%m-%d"; break;
        case 'T': out += "%H:%M:%S"; break;
        case 'R': out += "%H:%M"; break;
        case 'r': {
            const char* ampm = nl_langinfo_l(T_FMT_AMPM, loc);
            out += (ampm && *ampm) ? ampm : "%I:%M:%S %p";
            break;
        }
        default: out += '%'; out += fmt[j]; break;
        }
        i = j;
    }
    return out;
}

// Reads the numeric fields of a strftime pattern in order, with the first
// plain separator between two of them. Anything the parser could not read
// back (names of months, more or fewer fields) yields nothing.
struct PatternFields {
    std::string fields[4];
    int count = 0;
    char separator = 0;
    bool hasMarker = false;
};

std::optional<PatternFields> ReadFields(std::string_view fmt, bool time) {
    PatternFields pf;
    bool sawField = false;
    for (std::size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%') {
            if (sawField && pf.separator == 0 && c != ' ' &&
                static_cast<unsigned char>(c) < 0x80 && !std::isalnum(static_cast<unsigned char>(c)))
                pf.separator = c;
            continue;
        }
        std::size_t j = i + 1;
        while (j < fmt.size() && IsFieldModifier(fmt[j])) ++j;
        if (j >= fmt.size()) break;
        i = j;
        std::string field;
        if (!time) {
            switch (fmt[j]) {
            case 'd': field = "dd"; break;
            case 'e': field = "d"; break;
            case 'm': field = "mm"; break;
            case 'y': case 'Y': case 'G': case 'g': field = "yyyy"; break;
            case 'n': case 't': continue;
            case '%': continue;
            default: return std::nullopt;
            }
        } else {
            switch (fmt[j]) {
            case 'H': case 'I': field = "hh"; break;
            case 'k': case 'l': field = "h"; break;
            case 'M': field = "nn"; break;
            case 'S': continue;  // a short time leaves the seconds out
            case 'p': case 'P': pf.hasMarker = true; continue;
            case 'n': case 't': case '%': continue;
            default: return std::nullopt;
            }
        }
        if (pf.count >= 3) return std::nullopt;
        pf.fields[pf.count++] = field;
        sawField = true;
    }
    return pf;
}

void ApplyDateFormat(TFormatSettings& fs, const char* dfmt, locale_t loc) {
    if (!dfmt) return;
    auto pf = ReadFields(ExpandStrftime(dfmt, loc), false);
    if (!pf || pf->count != 3) return;
    bool d = false, m = false, y = false;
    for (int i = 0; i < 3; ++i) {
        d |= pf->fields[i][0] == 'd';
        m |= pf->fields[i][0] == 'm';
        y |= pf->fields[i][0] == 'y';
    }
    if (!(d && m && y)) return;
    fs.DateSeparator = pf->separator ? pf->separator : '/';
    fs.ShortDateFormat = pf->fields[0] + "/" + pf->fields[1] + "/" + pf->fields[2];
}

void ApplyTimeFormat(TFormatSettings& fs, const char* tfmt, locale_t loc) {
    if (!tfmt) return;
    auto pf = ReadFields(ExpandStrftime(tfmt, loc), true);
    if (!pf || pf->count < 1 || pf->fields[0][0] != 'h') return;
    fs.TimeSeparator = pf->separator ? pf->separator : ':';
    // The short time is always hours and minutes, whatever else T_FMT holds.
    std::string f = pf->fields[0] + ":nn";
    if (pf->hasMarker && !fs.TimeAMString.empty() && !fs.TimePMString.empty()) f += " AMPM";
    fs.ShortTimeFormat = f;
}

}  // namespace

TFormatSettings TFormatSettings::FromEnvironment() {
    TFormatSettings fs = C();
    locale_t numeric = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
    if (!numeric) numeric = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
    locale_t loc = newlocale(LC_TIME_MASK, "", numeric);
    if (!loc) loc = newlocale(LC_TIME_MASK, "C", numeric);
    if (!loc) {
        if (numeric) freelocale(numeric);
        return fs;
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, loc);
    if (radix && radix[0] && !radix[1]) fs.DecimalSeparator = radix[0];
    const char* am = nl_langinfo_l(AM_STR, loc);
    const char* pm = nl_langinfo_l(PM_STR, loc);
    fs.TimeAMString = am ? am : "";
    fs.TimePMString = pm ? pm : "";
    ApplyDateFormat(fs, nl_langinfo_l(D_FMT, loc), loc);
    ApplyTimeFormat(fs, nl_langinfo_l(T_FMT, loc), loc);
    freelocale(loc);
    return fs;
}

namespace {

TFormatSettings& Current() {
    static TFormatSettings settings = TFormatSettings::FromEnvironment();
    return settings;
}

}  // namespace

const TFormatSettings& FormatSettings() { return Current(); }
void SetFormatSettings(const TFormatSettings& settings) { Current() = settings; }

ScopedFormatSettings::ScopedFormatSettings(const TFormatSettings& settings)
    : previous_(FormatSettings()) {
    SetFormatSettings(settings);
}
ScopedFormatSettings::~ScopedFormatSettings() { SetFormatSettings(previous_); }

// ---------------------------------------------------------------------------
// Calendar

namespace {

constexpr std::int64_t kDaysFrom1970To1899 = 25569;  // 1899-12-30 is day 0

std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

// Whole days and milliseconds of the day in a value, with rounding that
// never yields 24:00.
void Split(TDateTime value, std::int64_t& days, std::int64_t& ms) {
    double whole = std::floor(value);
    days = static_cast<std::int64_t>(whole);
    ms = static_cast<std::int64_t>(std::llround((value - whole) * 86400000.0));
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    value = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                              static_cast<unsigned>(day)) +
                                kDaysFrom1970To1899);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        return false;
    value = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime v;
    if (!TryEncodeDate(year, month, day, v)) throw EConvertError("Invalid argument to date encode");
    return v;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    TDateTime v;
    if (!TryEncodeTime(hour, minute, second, millisecond, v))
        throw EConvertError("Invalid argument to time encode");
    return v;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    std::int64_t days, ms;
    Split(value, days, ms);
    CivilFromDays(days - kDaysFrom1970To1899, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
    std::int64_t days, ms;
    Split(value, days, ms);
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    millisecond = static_cast<int>(ms % 1000);
}

// ---------------------------------------------------------------------------
// Reading

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

void SkipBlanks(std::string_view s, std::size_t& pos) {
    while (pos < s.size() && s[pos] == ' ') ++pos;
}

// Reads 1..maxDigits decimal digits.
bool ReadNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value, int& digits) {
    value = 0;
    digits = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        if (++digits > maxDigits) return false;
        value = value * 10 + (s[pos] - '0');
        ++pos;
    }
    return digits > 0;
}

bool MatchNoCase(std::string_view s, std::size_t pos, std::string_view word) {
    if (word.empty() || s.size() - pos < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (UpperAscii(s[pos + i]) != UpperAscii(word[i])) return false;
    return true;
}

// 0 for no marker, 1 for morning, 2 for afternoon; advances past it.
int ReadMarker(std::string_view s, std::size_t& pos, const TFormatSettings& fs) {
    const std::string_view candidates[4] = {fs.TimeAMString, fs.TimePMString, "AM", "PM"};
    std::size_t best = 0;
    int kind = 0;
    for (int i = 0; i < 4; ++i) {
        if (candidates[i].size() > best && MatchNoCase(s, pos, candidates[i])) {
            best = candidates[i].size();
            kind = (i % 2 == 0) ? 1 : 2;
        }
    }
    pos += best;
    return kind;
}

bool ScanTime(std::string_view s, std::size_t& pos, TDateTime& value, const TFormatSettings& fs) {
    int hour, minute = 0, second = 0, ms = 0, digits;
    if (!ReadNumber(s, pos, 2, hour, digits)) return false;
    if (pos < s.size() && s[pos] == fs.TimeSeparator) {
        ++pos;
        if (!ReadNumber(s, pos, 2, minute, digits)) return false;
        if (pos < s.size() && s[pos] == fs.TimeSeparator) {
            ++pos;
            if (!ReadNumber(s, pos, 2, second, digits)) return false;
            if (pos + 1 < s.size() && (s[pos] == '.' || s[pos] == fs.DecimalSeparator) &&
                IsDigit(s[pos + 1])) {
                ++pos;
                if (!ReadNumber(s, pos, 3, ms, digits)) return false;
                for (; digits < 3; ++digits) ms *= 10;
            }
        }
    }
    SkipBlanks(s, pos);
    int marker = ReadMarker(s, pos, fs);
    if (marker != 0) {
        if (hour < 1 || hour > 12) return false;
        if (marker == 1 && hour == 12) hour = 0;
        if (marker == 2 && hour != 12) hour += 12;
    }
    return TryEncodeTime(hour, minute, second, ms, value);
}

enum class DateOrder { MDY, DMY, YMD };

DateOrder OrderOf(const std::string& pattern) {
    // One pass over the few letters: this runs for every date read.
    int d = -1, m = -1, y = -1;
    for (int i = 0; i < static_cast<int>(pattern.size()); ++i) {
        const char c = pattern[static_cast<std::size_t>(i)];
        if ((c == 'd' || c == 'D') && d < 0) d = i;
        else if ((c == 'm' || c == 'M') && m < 0) m = i;
        else if ((c == 'y' || c == 'Y') && y < 0) y = i;
    }
    auto before = [](int a, int b) { return a >= 0 && (b < 0 || a < b); };
    if (before(y, d) && before(y, m)) return DateOrder::YMD;
    if (before(d, m)) return DateOrder::DMY;
    return DateOrder::MDY;
}

bool ScanDate(std::string_view s, std::size_t& pos, TDateTime& value, const TFormatSettings& fs) {
    int n[3], digits[3];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= s.size() || s[pos] != fs.DateSeparator) return false;
            ++pos;
        }
        if (!ReadNumber(s, pos, 4, n[i], digits[i])) return false;
    }
    int year, month, day, yearDigits;
    switch (OrderOf(fs.ShortDateFormat)) {
    case DateOrder::YMD: year = n[0]; yearDigits = digits[0]; month = n[1]; day = n[2]; break;
    case DateOrder::DMY: day = n[0]; month = n[1]; year = n[2]; yearDigits = digits[2]; break;
    default: month = n[0]; day = n[1]; year = n[2]; yearDigits = digits[2]; break;
    }
    if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
    return TryEncodeDate(year, month, day, value);
}

}  // namespace

bool TryStrToFloat(std::string_view s, long double& value, const TFormatSettings& fs) {
    std::size_t pos = 0;
    SkipBlanks(s, pos);
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    const std::size_t mantissaStart = pos;
    int mantissaDigits = 0, fractionDigits = 0, significant = 0;
    bool separator = false;
    std::uint64_t mantissa = 0;
    while (pos < s.size()) {
        const char c = s[pos];
        if (IsDigit(c)) {
            ++mantissaDigits;
            if (separator) ++fractionDigits;
            if (significant > 0 || c != '0') ++significant;
            if (significant <= 19) mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        } else if (c == fs.DecimalSeparator && !separator) {
            separator = true;
        } else {
            break;
        }
        ++pos;
    }
    const std::size_t mantissaEnd = pos;
    if (mantissaDigits == 0) return false;
    long exponent = 0;
    std::size_t exponentStart = pos;
    if (pos < s.size() && (s[pos] == 'e' || s[pos] == 'E')) {
        ++pos;
        exponentStart = pos;
        if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) ++pos;
        int expDigits = 0;
        bool expNegative = exponentStart < pos && s[exponentStart] == '-';
        while (pos < s.size() && IsDigit(s[pos])) {
            if (exponent < 100000) exponent = exponent * 10 + (s[pos] - '0');
            ++pos;
            ++expDigits;
        }
        if (expDigits == 0) return false;
        if (expNegative) exponent = -exponent;
    }
    const std::size_t numberEnd = pos;
    SkipBlanks(s, pos);
    if (pos != s.size()) return false;

    // Up to 19 significant digits scaled by at most 10^27: both operands are
    // exact in extended precision, so one multiplication or division gives
    // the correctly rounded value, the same as the general conversion.
    const long scale = exponent - fractionDigits;
    if (significant <= 19 && scale >= -27 && scale <= 27) {
        static const long double kPowers[28] = {
            1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
            1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
        long double v = static_cast<long double>(mantissa);
        if (scale > 0) v *= kPowers[scale];
        else if (scale < 0) v /= kPowers[-scale];
        value = negative ? -v : v;
        return true;
    }

    // The general case: rebuild the number in the C form for from_chars.
    std::string text;
    text.reserve(numberEnd - mantissaStart + 2);
    if (negative) text += '-';
    for (std::size_t i = mantissaStart; i < mantissaEnd; ++i) text += s[i] == fs.DecimalSeparator && !IsDigit(s[i]) ? '.' : s[i];
    if (mantissaEnd < numberEnd) {
        text += 'e';
        text.append(s.substr(exponentStart, numberEnd - exponentStart));
    }
    long double v = 0;
    const char* first = text.data();
    const char* last = first + text.size();
    auto [ptr, ec] = std::from_chars(first, last, v, std::chars_format::general);
    if (ec != std::errc() || ptr != last || !std::isfinite(v)) return false;
    value = v;
    return true;
}

long double StrToFloat(std::string_view text, const TFormatSettings& fs) {
    long double v;
    if (!TryStrToFloat(text, v, fs))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return v;
}

bool TryStrToTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
    std::size_t pos = 0;
    SkipBlanks(s, pos);
    if (!ScanTime(s, pos, value, fs)) return false;
    SkipBlanks(s, pos);
    return pos == s.size();
}

TDateTime StrToTime(std::string_view text, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToTime(text, v, fs)) throw EConvertError("'" + std::string(text) + "' is not a valid time");
    return v;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value, const TFormatSettings& fs) {
    std::size_t pos = 0;
    SkipBlanks(s, pos);
    TDateTime date;
    if (!ScanDate(s, pos, date, fs)) return false;
    std::size_t afterDate = pos;
    SkipBlanks(s, pos);
    if (pos == s.size()) {
        value = date;
        return true;
    }
    if (pos == afterDate) return false;  // a time must be set off by a blank
    TDateTime time;
    if (!ScanTime(s, pos, time, fs)) return false;
    SkipBlanks(s, pos);
    if (pos != s.size()) return false;
    value = date + time;
    return true;
}

TDateTime StrToDateTime(std::string_view text, const TFormatSettings& fs) {
    TDateTime v;
    if (!TryStrToDateTime(text, v, fs))
        throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
    return v;
}

// ---------------------------------------------------------------------------
// Formatting

namespace {

struct Parts {
    int year, month, day, hour, minute, second, ms;
};

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()); i < width; ++i) out += '0';
    out += digits;
}

bool HasMarkerToken(std::string_view p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '"' || p[i] == '\'') {
            char q = p[i];
            while (++i < p.size() && p[i] != q) {
            }
            continue;
        }
        if (MatchNoCase(p, i, "AMPM") || MatchNoCase(p, i, "AM/PM") || MatchNoCase(p, i, "A/P"))
            return true;
    }
    return false;
}

std::string LongTimeOf(const std::string& shortTime) {
    std::size_t n = shortTime.find_first_of("nN");
    if (n == std::string::npos) return shortTime;
    std::size_t end = n;
    while (end < shortTime.size() && (shortTime[end] == 'n' || shortTime[end] == 'N')) ++end;
    std::string out = shortTime;
    out.insert(end, ":ss");
    return out;
}

void AppendFormatted(std::string& out, std::string_view p, const Parts& t,
                     const TFormatSettings& fs, int depth) {
    if (depth > 3) return;
    const bool twelveHour = HasMarkerToken(p);
    bool afterHour = false;
    std::size_t i = 0;
    auto run = [&](char lower) {
        std::size_t n = 0;
        while (i + n < p.size() && (p[i + n] == lower || p[i + n] == lower - 32)) ++n;
        return n;
    };
    while (i < p.size()) {
        char c = p[i];
        char lc = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        if (c == '"' || c == '\'') {
            std::size_t close = p.find(c, i + 1);
            if (close == std::string_view::npos) close = p.size();
            out.append(p.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (MatchNoCase(p, i, "AMPM")) {
            const std::string& m = t.hour < 12 ? fs.TimeAMString : fs.TimePMString;
            out += m.empty() ? (t.hour < 12 ? "AM" : "PM") : m;
            i += 4;
            continue;
        }
        if (MatchNoCase(p, i, "AM/PM")) {
            std::string_view word = p.substr(t.hour < 12 ? i : i + 3, 2);
            out.append(word);
            i += 5;
            continue;
        }
        if (MatchNoCase(p, i, "A/P")) {
            out += p[t.hour < 12 ? i : i + 2];
            i += 3;
            continue;
        }
        std::size_t n;
        switch (lc) {
        case 'd':
            n = run('d');
            if (n >= 5) AppendFormatted(out, fs.ShortDateFormat, t, fs, depth + 1);
            else AppendNumber(out, t.day, n >= 2 ? 2 : 1);
            afterHour = false;
            i += n;
            break;
        case 'm':
            n = run('m');
            if (afterHour) AppendNumber(out, t.minute, n >= 2 ? 2 : 1);
            else AppendNumber(out, t.month, n >= 2 ? 2 : 1);
            afterHour = false;
            i += n;
            break;
        case 'y':
            n = run('y');
            if (n <= 2) AppendNumber(out, t.year % 100, 2);
            else AppendNumber(out, t.year, 4);
            afterHour = false;
            i += n;
            break;
        case 'h': {
            n = run('h');
            int h = t.hour;
            if (twelveHour) {
                h %= 12;
                if (h == 0) h = 12;
            }
            AppendNumber(out, h, n >= 2 ? 2 : 1);
            afterHour = true;
            i += n;
            break;
        }
        case 'n':
            n = run('n');
            AppendNumber(out, t.minute, n >= 2 ? 2 : 1);
            afterHour = false;
            i += n;
            break;
        case 's':
            n = run('s');
            AppendNumber(out, t.second, n >= 2 ? 2 : 1);
            afterHour = false;
            i += n;
            break;
        case 'z':
            n = run('z');
            AppendNumber(out, t.ms, n >= 3 ? 3 : 1);
            i += n;
            break;
        case 't':
            n = run('t');
            if (n >= 2) AppendFormatted(out, LongTimeOf(fs.ShortTimeFormat), t, fs, depth + 1);
            else AppendFormatted(out, fs.ShortTimeFormat, t, fs, depth + 1);
            i += n;
            break;
        case 'c':
            AppendFormatted(out, fs.ShortDateFormat, t, fs, depth + 1);
            out += ' ';
            AppendFormatted(out, fs.ShortTimeFormat, t, fs, depth + 1);
            ++i;
            break;
        case '/':
            out += fs.DateSeparator;
            ++i;
            break;
        case ':':
            out += fs.TimeSeparator;
            ++i;
            break;
        default:
            out += c;
            ++i;
            break;
        }
    }
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, TDateTime value, const TFormatSettings& fs) {
    Parts t{};
    DecodeDate(value, t.year, t.month, t.day);
    DecodeTime(value, t.hour, t.minute, t.second, t.ms);
    std::string out;
    AppendFormatted(out, pattern, t, fs, 0);
    return out;
}

}  // namespace platform
