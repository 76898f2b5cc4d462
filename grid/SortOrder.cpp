#include "grid/SortOrder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/FormatSettings.h"

namespace grid {

namespace {

int Sign(long double a, long double b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareBytes(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    if (n > 0) {
        const int c = std::memcmp(a.data(), b.data(), n);  // compares unsigned bytes
        if (c != 0) return c < 0 ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

unsigned char FoldByte(unsigned char c) { return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c; }

// Byte order from `from` on (the bytes before are known to be equal, or to
// be zero where a text has ended), folding a..z when asked.
int CompareBytesFrom(const std::string& a, const std::string& b, std::size_t from, bool fold) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = from; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (fold) {
            x = FoldByte(x);
            y = FoldByte(y);
        }
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool IsValueStyle(TSortStyle style) {
    return style == ssNumeric || style == ssDateTime || style == ssTime;
}

bool ToValue(TSortStyle style, const std::string& text, long double& value) {
    platform::TDateTime dt;
    switch (style) {
    case ssNumeric:
        return platform::TryStrToFloat(text, value);
    case ssDateTime:
        if (!platform::TryStrToDateTime(text, dt)) return false;
        value = dt;
        return true;
    case ssTime:
        if (!platform::TryStrToTime(text, dt)) return false;
        value = dt;
        return true;
    default:
        return false;
    }
}

void RequireCompare(const TSortOptions& options) {
    if (options.SortStyle == ssCustom && !options.SortCompare)
        throw std::invalid_argument("A custom sort needs a SortCompare function");
}

int TieBreak(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

// Bottom-up merge sort of indexes. Every access is bounded by the index
// ranges alone, so an inconsistent comparison can only give an odd order.
template <typename Less>
void MergeSort(std::vector<int>& idx, Less less) {
    const int n = static_cast<int>(idx.size());
    constexpr int kRun = 16;
    for (int lo = 0; lo < n; lo += kRun) {
        const int hi = std::min(lo + kRun, n);
        for (int i = lo + 1; i < hi; ++i) {
            const int v = idx[static_cast<std::size_t>(i)];
            int j = i;
            while (j > lo && less(v, idx[static_cast<std::size_t>(j - 1)])) {
                idx[static_cast<std::size_t>(j)] = idx[static_cast<std::size_t>(j - 1)];
                --j;
            }
            idx[static_cast<std::size_t>(j)] = v;
        }
    }
    std::vector<int> buf(idx.size());
    for (int width = kRun; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            int i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                if (less(idx[static_cast<std::size_t>(j)], idx[static_cast<std::size_t>(i)]))
                    buf[static_cast<std::size_t>(k++)] = idx[static_cast<std::size_t>(j++)];
                else
                    buf[static_cast<std::size_t>(k++)] = idx[static_cast<std::size_t>(i++)];
            }
            while (i < mid) buf[static_cast<std::size_t>(k++)] = idx[static_cast<std::size_t>(i++)];
            while (j < hi) buf[static_cast<std::size_t>(k++)] = idx[static_cast<std::size_t>(j++)];
        }
        idx.swap(buf);
    }
}

}  // namespace

std::string FoldCase(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

TSortStyle DetectStyle(const std::vector<const std::string*>& texts) {
    bool numeric = true, dateTime = true, time = true;
    long double number;
    platform::TDateTime value;
    for (const std::string* text : texts) {
        if (numeric && !platform::TryStrToFloat(*text, number)) numeric = false;
        if (time && !platform::TryStrToTime(*text, value)) time = false;
        if (dateTime && !platform::TryStrToDateTime(*text, value)) dateTime = false;
        if (!numeric && !dateTime && !time) break;  // nothing left to learn
    }
    if (numeric) return ssNumeric;
    if (dateTime) return ssDateTime;
    if (time) return ssTime;
    return ssAlphabetic;
}

int CompareSortEntries(const TSortedListEntry& A, const TSortedListEntry& B, const TSortOptions& options) {
    RequireCompare(options);
    std::string foldedA, foldedB;
    const std::string* a = &A.Text;
    const std::string* b = &B.Text;
    if (!options.SortCaseSensitive) {
        foldedA = FoldCase(A.Text);
        foldedB = FoldCase(B.Text);
        a = &foldedA;
        b = &foldedB;
    }
    int result;
    if (IsValueStyle(options.SortStyle)) {
        long double x, y;
        result = ToValue(options.SortStyle, *a, x) && ToValue(options.SortStyle, *b, y) ? Sign(x, y) : 0;
    } else if (options.SortStyle == ssCustom) {
        const std::int32_t r = options.SortCompare(*a, *b);
        result = r < 0 ? -1 : (r > 0 ? 1 : 0);  // only the sign counts; never negate INT32_MIN
    } else {
        result = CompareBytes(*a, *b);
    }
    if (result == 0) return TieBreak(A.RowIndex, B.RowIndex);
    return options.SortDirection == sdDescending ? -result : result;
}

namespace {

// The conversions read letters without regard to case, so folding changes
// what they give only when a separator is itself a letter.
bool FoldingChangesValues() {
    const platform::TFormatSettings& fs = platform::FormatSettings();
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return letter(fs.DecimalSeparator) || letter(fs.DateSeparator) || letter(fs.TimeSeparator);
}

void Reorder(std::vector<TSortedListEntry>& entries, const std::vector<int>& order) {
    std::vector<TSortedListEntry> sorted;
    sorted.reserve(entries.size());
    for (int i : order) sorted.push_back(std::move(entries[static_cast<std::size_t>(i)]));
    entries.swap(sorted);
}

}  // namespace

void SortEntries(std::vector<TSortedListEntry>& entries, const TSortOptions& options) {
    RequireCompare(options);
    const std::size_t n = entries.size();
    const bool descending = options.SortDirection == sdDescending;
    const bool valueStyle = IsValueStyle(options.SortStyle);
    const bool alphabetic = !valueStyle && options.SortStyle != ssCustom;
    std::vector<std::string> folded;
    if (!options.SortCaseSensitive && !alphabetic && (!valueStyle || FoldingChangesValues())) {
        folded.reserve(n);
        for (const TSortedListEntry& e : entries) folded.push_back(FoldCase(e.Text));
    }
    auto text = [&](std::size_t i) -> const std::string& { return folded.empty() ? entries[i].Text : folded[i]; };
    std::vector<int> order(n);

    if (valueStyle) {
        // Each text converted once; with every text converted the order is a
        // total one (equal values fall back to the row index) and any sort
        // gives it.
        struct Key {
            long double value;
            std::int32_t row;
            std::int32_t index;
        };
        std::vector<Key> keys(n);
        bool all = true;
        std::vector<char> converted(n);
        for (std::size_t i = 0; i < n; ++i) {
            converted[i] = ToValue(options.SortStyle, text(i), keys[i].value);
            all = all && converted[i];
            keys[i].row = entries[i].RowIndex;
            keys[i].index = static_cast<std::int32_t>(i);
        }
        if (all) {
            std::sort(keys.begin(), keys.end(), [descending](const Key& a, const Key& b) {
                if (a.value < b.value) return !descending;
                if (a.value > b.value) return descending;
                return a.row < b.row;
            });
            for (std::size_t i = 0; i < n; ++i) order[i] = keys[i].index;
        } else {
            for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
            MergeSort(order, [&](int i, int j) {
                const auto& a = keys[static_cast<std::size_t>(i)];
                const auto& b = keys[static_cast<std::size_t>(j)];
                int result = converted[static_cast<std::size_t>(i)] && converted[static_cast<std::size_t>(j)]
                                 ? Sign(a.value, b.value)
                                 : 0;
                if (result == 0) return a.row < b.row;
                return (descending ? -result : result) < 0;
            });
        }
    } else if (options.SortStyle == ssCustom) {
        // A caller's comparison may contradict itself: the bounded merge sort.
        for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
        MergeSort(order, [&](int i, int j) {
            const std::int32_t r =
                options.SortCompare(text(static_cast<std::size_t>(i)), text(static_cast<std::size_t>(j)));
            const int result = r < 0 ? -1 : (r > 0 ? 1 : 0);
            if (result == 0)
                return entries[static_cast<std::size_t>(i)].RowIndex < entries[static_cast<std::size_t>(j)].RowIndex;
            return (descending ? -result : result) < 0;
        });
    } else {
        // Texts: the first 16 bytes (folded when case does not matter) ride
        // along as two integers, so most comparisons never touch the texts.
        const bool fold = !options.SortCaseSensitive;
        struct Key {
            std::uint64_t head0, head1;
            const std::string* text;
            std::int32_t row;
            std::int32_t index;
        };
        auto head = [fold](const std::string& s, std::size_t from) {
            std::uint64_t v = 0;
            for (std::size_t k = from; k < from + 8; ++k) {
                const unsigned char c = k < s.size() ? static_cast<unsigned char>(s[k]) : 0;
                v = (v << 8) | (fold ? FoldByte(c) : c);
            }
            return v;
        };
        std::vector<Key> keys(n);
        for (std::size_t i = 0; i < n; ++i)
            keys[i] = {head(entries[i].Text, 0), head(entries[i].Text, 8), &entries[i].Text, entries[i].RowIndex,
                       static_cast<std::int32_t>(i)};
        std::sort(keys.begin(), keys.end(), [descending, fold](const Key& a, const Key& b) {
            int result;
            if (a.head0 != b.head0) result = a.head0 < b.head0 ? -1 : 1;
            else if (a.head1 != b.head1) result = a.head1 < b.head1 ? -1 : 1;
            else result = CompareBytesFrom(*a.text, *b.text, 16, fold);
            if (result == 0) return a.row < b.row;
            return (descending ? -result : result) < 0;
        });
        for (std::size_t i = 0; i < n; ++i) order[i] = keys[i].index;
    }
    Reorder(entries, order);
}

}  // namespace grid
