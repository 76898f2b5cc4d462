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

void SortEntries(std::vector<TSortedListEntry>& entries, const TSortOptions& options) {
    RequireCompare(options);
    const std::size_t n = entries.size();
    std::vector<std::string> folded;
    if (!options.SortCaseSensitive) {
        folded.reserve(n);
        for (const TSortedListEntry& e : entries) folded.push_back(FoldCase(e.Text));
    }
    auto text = [&](int i) -> const std::string& {
        return folded.empty() ? entries[static_cast<std::size_t>(i)].Text : folded[static_cast<std::size_t>(i)];
    };
    const bool valueStyle = IsValueStyle(options.SortStyle);
    std::vector<long double> values;
    std::vector<char> converted;
    if (valueStyle) {
        values.resize(n);
        converted.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            converted[i] = ToValue(options.SortStyle, text(static_cast<int>(i)), values[i]);
    }
    const bool descending = options.SortDirection == sdDescending;
    auto compare = [&](int i, int j) {
        int result;
        if (valueStyle) {
            const auto ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j);
            result = converted[ui] && converted[uj] ? Sign(values[ui], values[uj]) : 0;
        } else if (options.SortStyle == ssCustom) {
            const std::int32_t r = options.SortCompare(text(i), text(j));
            result = r < 0 ? -1 : (r > 0 ? 1 : 0);
        } else {
            result = CompareBytes(text(i), text(j));
        }
        if (result == 0)
            return TieBreak(entries[static_cast<std::size_t>(i)].RowIndex, entries[static_cast<std::size_t>(j)].RowIndex);
        return descending ? -result : result;
    };
    std::vector<int> idx(n);
    for (std::size_t i = 0; i < n; ++i) idx[i] = static_cast<int>(i);
    MergeSort(idx, [&](int i, int j) { return compare(i, j) < 0; });
    std::vector<TSortedListEntry> sorted;
    sorted.reserve(n);
    for (int i : idx) sorted.push_back(std::move(entries[static_cast<std::size_t>(i)]));
    entries.swap(sorted);
}

}  // namespace grid
