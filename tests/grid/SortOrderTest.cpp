// The order of a sort without a grid: style detection, the comparison's
// rules, and the cached sort giving exactly the comparison's order.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "grid/SortOrder.h"
#include "platform/FormatSettings.h"

using namespace grid;

namespace {

TSortStyle Detect(const std::vector<std::string>& texts) {
    std::vector<const std::string*> p;
    for (const auto& t : texts) p.push_back(&t);
    return DetectStyle(p);
}

std::vector<TSortedListEntry> Entries(const std::vector<std::string>& texts) {
    std::vector<TSortedListEntry> e;
    for (std::size_t i = 0; i < texts.size(); ++i) e.push_back({texts[i], static_cast<std::int32_t>(i + 1)});
    return e;
}

std::vector<std::string> Texts(const std::vector<TSortedListEntry>& e) {
    std::vector<std::string> t;
    for (const auto& x : e) t.push_back(x.Text);
    return t;
}

std::vector<std::string> Sorted(const std::vector<std::string>& texts, TSortOptions o) {
    auto e = Entries(texts);
    SortEntries(e, o);
    return Texts(e);
}

TSortOptions Opts(TSortStyle s, TSortDirection d = sdAscending, bool caseSensitive = false) {
    TSortOptions o;
    o.SortStyle = s;
    o.SortDirection = d;
    o.SortCaseSensitive = caseSensitive;
    return o;
}

class SortOrder : public ::testing::Test {
    platform::ScopedFormatSettings settings_{platform::TFormatSettings::EnUS()};
};

}  // namespace

TEST_F(SortOrder, DetectsTheStyleFromEveryText) {
    EXPECT_EQ(Detect({"9", "10", "2"}), ssNumeric);
    EXPECT_EQ(Detect({"9", "10", "2", "n/a"}), ssAlphabetic);
    EXPECT_EQ(Detect({"1,234,567", "12"}), ssAlphabetic);
    EXPECT_EQ(Detect({"1/2/2001  1:05 PM", "12/31/1999  11:00 AM"}), ssDateTime);
    EXPECT_EQ(Detect({"1:05 PM", "13:10", "0:00"}), ssTime);
    EXPECT_EQ(Detect({"1/2/2001", "13:10"}), ssAlphabetic);
    EXPECT_EQ(Detect({"5", ""}), ssAlphabetic);
    EXPECT_EQ(Detect({}), ssNumeric);
}

TEST_F(SortOrder, NumbersDatesAndTextsInTheirOwnOrder) {
    EXPECT_EQ(Sorted({"9", "10", "2"}, Opts(ssNumeric)), (std::vector<std::string>{"2", "9", "10"}));
    EXPECT_EQ(Sorted({"9", "10", "2", "n/a"}, Opts(ssAlphabetic)),
              (std::vector<std::string>{"10", "2", "9", "n/a"}));
    EXPECT_EQ(Sorted({"1/2/2001  1:05 PM", "12/31/1999  11:00 AM", "1/2/2001  9:05 AM"}, Opts(ssDateTime)),
              (std::vector<std::string>{"12/31/1999  11:00 AM", "1/2/2001  9:05 AM", "1/2/2001  1:05 PM"}));
    EXPECT_EQ(Sorted({"1:05 PM", "13:04", "0:30"}, Opts(ssTime)),
              (std::vector<std::string>{"0:30", "13:04", "1:05 PM"}));
    // Byte order with case kept: capitals first, empty text before all.
    EXPECT_EQ(Sorted({"a", "B", "", "\xE9", "z"}, Opts(ssAlphabetic, sdAscending, true)),
              (std::vector<std::string>{"", "B", "a", "z", "\xE9"}));
}

TEST_F(SortOrder, EqualKeysKeepTheirOrderInBothDirections) {
    auto e = Entries({"b", "a", "b", "a"});
    e[0].Text = "b1";
    SortEntries(e, Opts(ssNumeric));  // nothing converts: all equal
    EXPECT_EQ(e[0].RowIndex, 1);
    EXPECT_EQ(e[3].RowIndex, 4);
    for (TSortDirection d : {sdAscending, sdDescending}) {
        auto x = Entries({"x", "y", "x", "y", "x"});
        SortEntries(x, Opts(ssAlphabetic, d));
        std::vector<int> rows;
        for (const auto& en : x) rows.push_back(en.RowIndex);
        if (d == sdAscending) EXPECT_EQ(rows, (std::vector<int>{1, 3, 5, 2, 4}));
        else EXPECT_EQ(rows, (std::vector<int>{2, 4, 1, 3, 5}));
    }
}

TEST_F(SortOrder, CaseFoldingTouchesOnlyAtoZ) {
    EXPECT_EQ(FoldCase("apple \xE9\xC9 z"), "APPLE \xE9\xC9 Z");
    TSortOptions o = Opts(ssAlphabetic);
    TSortedListEntry apple{"apple", 1}, APPLE{"APPLE", 2};
    EXPECT_EQ(CompareSortEntries(apple, APPLE, o), -1);  // equal texts: row order decides
    EXPECT_EQ(CompareSortEntries(APPLE, apple, o), 1);
    o.SortDirection = sdDescending;
    EXPECT_EQ(CompareSortEntries(apple, APPLE, o), -1);  // the tie-break is never reversed
    TSortedListEntry small{"\xE9", 1}, capital{"\xC9", 2};
    EXPECT_EQ(CompareSortEntries(small, capital, Opts(ssAlphabetic)), 1);  // still differ
}

TEST_F(SortOrder, UnknownStylesAndDirectionsBehaveAsDefined) {
    TSortOptions o = Opts(static_cast<TSortStyle>(9), static_cast<TSortDirection>(7));
    EXPECT_EQ(Sorted({"10", "9"}, o), (std::vector<std::string>{"10", "9"}));  // text order, ascending
    o.SortStyle = ssAutomatic;
    EXPECT_EQ(Sorted({"10", "9"}, o), (std::vector<std::string>{"10", "9"}));
}

TEST_F(SortOrder, CustomComparisonSignOnlyAndRequired) {
    TSortOptions o = Opts(ssCustom, sdDescending, true);
    o.SortCompare = [](const std::string& a, const std::string& b) -> std::int32_t {
        return a.size() < b.size() ? INT32_MIN : (a.size() > b.size() ? INT32_MAX : 0);
    };
    EXPECT_EQ(Sorted({"bb", "a", "ccc"}, o), (std::vector<std::string>{"ccc", "bb", "a"}));
    o.SortCompare = nullptr;
    auto e = Entries({"b", "a"});
    EXPECT_THROW(SortEntries(e, o), std::invalid_argument);
    EXPECT_EQ(Texts(e), (std::vector<std::string>{"b", "a"}));
}

TEST_F(SortOrder, FailingCustomComparisonLeavesTheEntries) {
    TSortOptions o = Opts(ssCustom);
    o.SortCompare = [](const std::string&, const std::string&) -> std::int32_t { throw std::runtime_error("no"); };
    auto e = Entries({"b", "a", "c"});
    EXPECT_THROW(SortEntries(e, o), std::runtime_error);
    EXPECT_EQ(Texts(e), (std::vector<std::string>{"b", "a", "c"}));
}

// The cached sort must give the very order the comparison defines.
TEST_F(SortOrder, CachedSortMatchesTheComparison) {
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const char* words[] = {"apple", "APPLE", "Apple", "b", "B", "", "\xE9t\xE9", "zeta", "a b"};
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> numbers, dates, times, texts;
        for (int i = 0; i < 60; ++i) {
            numbers.push_back(std::to_string(pick(30) - 10) + (pick(2) ? ".5" : "") + (pick(4) ? "" : "e1"));
            dates.push_back(std::to_string(1 + pick(12)) + "/" + std::to_string(1 + pick(28)) + "/" +
                            std::to_string(1980 + pick(128)) + "  " + std::to_string(1 + pick(12)) + ":0" +
                            std::to_string(pick(10)) + (pick(2) ? " AM" : " pm"));
            times.push_back(std::to_string(pick(24)) + ":" + std::to_string(10 + pick(50)));
            texts.push_back(words[pick(9)]);
        }
        const std::pair<std::vector<std::string>*, TSortStyle> cases[] = {
            {&numbers, ssNumeric}, {&dates, ssDateTime}, {&times, ssTime}, {&texts, ssAlphabetic}};
        for (const auto& [column, style] : cases) {
            ASSERT_EQ(Detect(*column), style);
            TSortOptions o = Opts(style, pick(2) ? sdDescending : sdAscending, pick(2));
            auto cached = Entries(*column);
            SortEntries(cached, o);
            auto reference = Entries(*column);
            std::sort(reference.begin(), reference.end(),
                      [&](const auto& a, const auto& b) { return CompareSortEntries(a, b, o) < 0; });
            for (std::size_t i = 0; i < cached.size(); ++i) ASSERT_EQ(cached[i].RowIndex, reference[i].RowIndex);
        }
    }
}

// A forced style over texts that do not convert is no consistent order; the
// sort must still end with every entry exactly once.
TEST_F(SortOrder, InconsistentOrderStillGivesEveryRowOnce) {
    std::vector<std::string> texts;
    for (int i = 0; i < 500; ++i) texts.push_back(i % 3 ? std::to_string(997 * i % 101) : "x");
    for (TSortStyle s : {ssNumeric, ssDateTime, ssTime}) {
        auto e = Entries(texts);
        SortEntries(e, Opts(s, sdDescending));
        std::vector<int> rows;
        for (const auto& x : e) rows.push_back(x.RowIndex);
        std::sort(rows.begin(), rows.end());
        for (int i = 0; i < 500; ++i) ASSERT_EQ(rows[static_cast<std::size_t>(i)], i + 1);
    }
}
