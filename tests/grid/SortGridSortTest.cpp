// Sorting a grid: which rows move and how, the events, the current row,
// objects travelling with rows, undo, and a pending cell check that must
// stay with its record across a sort.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "platform/FormatSettings.h"

using namespace grid;
using gridtest::Column;
using gridtest::Fill;
using gridtest::TestGrid;

namespace {

using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

TSortOptions Opts(TSortStyle s = ssAutomatic, TSortDirection d = sdAscending) {
    TSortOptions o;
    o.SortStyle = s;
    o.SortDirection = d;
    return o;
}

class GridSort : public ::testing::Test {
protected:
    platform::ScopedFormatSettings settings_{platform::TFormatSettings::EnUS()};
    TestGrid g;
    std::vector<std::string> log;

    void Watch() {
        g.OnBeginSort = [this](TSortGrid* s, int col, TSortOptions& o) {
            EXPECT_EQ(s, &g);
            log.push_back("begin " + std::to_string(col) + " style " + std::to_string(o.SortStyle));
        };
        g.OnEndSort = [this](TSortGrid*, int col) { log.push_back("end " + std::to_string(col)); };
    }
};

}  // namespace

TEST_F(GridSort, FewerThanTwoDataRowsDoNothing) {
    Fill(g, {{"h"}, {"b"}});
    Watch();
    g.SortByColumn(0, Opts());
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(g.SortedList().Count(), 0);
}

TEST_F(GridSort, AutomaticStylesAndTheirOrder) {
    Fill(g, {{"h"}, {"9"}, {"10"}, {"2"}});
    Watch();
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"2", "9", "10"}));
    g.SetRowCount(5);
    g.SetCells(0, 4, "n/a");
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"10", "2", "9", "n/a"}));
    EXPECT_EQ(log, (Texts{"begin 0 style 2", "end 0", "begin 0 style 1", "end 0"}));
    EXPECT_EQ(g.Cells(0, 0), "h");  // the heading never moves

    log.clear();
    Fill(g, {{"h"}, {"1,234,567"}, {"12"}});
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"1,234,567", "12"}));
    Fill(g, {{"h"}, {"1:05 PM"}, {"9:00"}, {"12:01 AM"}});
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"12:01 AM", "9:00", "1:05 PM"}));
    Fill(g, {{"h"}, {"5"}, {""}, {"40"}});
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"", "40", "5"}));
    EXPECT_EQ(log, (Texts{"begin 0 style 1", "end 0", "begin 0 style 4", "end 0", "begin 0 style 1", "end 0"}));
}

// The listing's date column, written with "ddddd  t", sorts by the moment
// under settings modelled on four locales; sizes sort as numbers.
TEST_F(GridSort, ListingColumnsUnderFourLocales) {
    for (const auto& fs : {platform::TFormatSettings::C(), platform::TFormatSettings::EnUS(),
                           platform::TFormatSettings::EnGB(), platform::TFormatSettings::DeDE()}) {
        platform::ScopedFormatSettings scope(fs);
        const platform::TDateTime moments[] = {
            platform::EncodeDate(2107, 12, 31) + platform::EncodeTime(23, 58, 0, 0),
            platform::EncodeDate(1980, 1, 1), platform::EncodeDate(2001, 10, 2) + platform::EncodeTime(13, 0, 0, 0),
            platform::EncodeDate(2001, 2, 10) + platform::EncodeTime(9, 30, 0, 0),
            platform::EncodeDate(1999, 12, 31) + platform::EncodeTime(12, 0, 0, 0)};
        Rows rows{{"File Name", "Compr Size", "Date/Time"}};
        const char* sizes[] = {"100", "9", "2000000", "0", "75"};
        for (int i = 0; i < 5; ++i)
            rows.push_back({"f" + std::to_string(i), sizes[i], platform::FormatDateTime("ddddd  t", moments[i])});
        Fill(g, rows);
        TSortStyle seen = ssAutomatic;
        g.OnBeginSort = [&](TSortGrid*, int, TSortOptions& o) { seen = o.SortStyle; };
        g.SortByColumn(2, Opts());
        EXPECT_EQ(seen, ssDateTime);
        EXPECT_EQ(Column(g, 0), (Texts{"f1", "f4", "f3", "f2", "f0"})) << fs.ShortDateFormat;
        g.SortByColumn(1, Opts(ssAutomatic, sdDescending));
        EXPECT_EQ(seen, ssNumeric);
        EXPECT_EQ(Column(g, 1), (Texts{"2000000", "100", "75", "9", "0"}));
    }
}

TEST_F(GridSort, StableInBothDirectionsAndRepeatable) {
    Fill(g, {{"k", "id"}, {"b", "1"}, {"a", "2"}, {"b", "3"}, {"a", "4"}, {"b", "5"}});
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 1), (Texts{"2", "4", "1", "3", "5"}));
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 1), (Texts{"2", "4", "1", "3", "5"}));
    g.SortByColumn(0, Opts(ssAutomatic, sdDescending));
    EXPECT_EQ(Column(g, 1), (Texts{"1", "3", "5", "2", "4"}));
    // Case folded: apple and APPLE are equal, the earlier row stays first.
    Fill(g, {{"k", "id"}, {"APPLE", "1"}, {"apple", "2"}, {"Banana", "3"}});
    g.SortByColumn(0, Opts(ssAutomatic, sdDescending));
    EXPECT_EQ(Column(g, 1), (Texts{"3", "1", "2"}));
}

TEST_F(GridSort, ObjectsAndEveryColumnTravelWithTheirRows) {
    int a = 0, b = 0, c = 0;
    Fill(g, {{"h", "x"}, {"c", "C"}, {"a", "A"}, {"b", "B"}});
    g.SetObjects(1, 1, &c);
    g.SetObjects(0, 2, &a);
    g.SetObjects(1, 3, &b);
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 1), (Texts{"A", "B", "C"}));
    EXPECT_EQ(g.Objects(0, 1), &a);
    EXPECT_EQ(g.Objects(1, 2), &b);
    EXPECT_EQ(g.Objects(1, 3), &c);
}

TEST_F(GridSort, CurrentRowFollowsItsRecordAndSelectionShrinks) {
    Fill(g, {{"h", "x"}, {"a", "A"}, {"b", "B"}, {"c", "C"}});
    g.SetOptions(g.Options() | goRowSelect | goRangeSelect);
    g.SetSelection({0, 1, 1, 3});  // anchor on "a", current on "c"
    ASSERT_EQ(g.Row(), 3);
    g.SortByColumn(0, Opts(ssAutomatic, sdDescending));
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Cells(0, g.Row()), "c");
    const TGridRect sel = g.Selection();
    EXPECT_EQ(sel.Top, 1);
    EXPECT_EQ(sel.Bottom, 1);
}

TEST_F(GridSort, RefusedCellCheckKeepsTheCurrentCell) {
    Fill(g, {{"h"}, {"c"}, {"a"}, {"b"}});
    g.SetRow(1);
    g.OnSelectCell = [](TStringGrid*, int, int, bool& ok) { ok = false; };
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"a", "b", "c"}));
    EXPECT_EQ(g.Row(), 1);
}

TEST_F(GridSort, BeginSortHandlerChangesOnlyThisSort) {
    Fill(g, {{"h"}, {"1"}, {"3"}, {"2"}});
    g.OnBeginSort = [](TSortGrid*, int, TSortOptions& o) {
        EXPECT_EQ(o.SortStyle, ssNumeric);
        o.SortDirection = sdDescending;
    };
    const TSortOptions mine = Opts();
    g.SortByColumn(0, mine);
    EXPECT_EQ(Column(g, 0), (Texts{"3", "2", "1"}));
    EXPECT_EQ(mine.SortDirection, sdAscending);
    EXPECT_EQ(mine.SortStyle, ssAutomatic);
}

TEST_F(GridSort, FailingCustomSortLeavesRowsAndSkipsEndSort) {
    Fill(g, {{"h"}, {"b"}, {"a"}});
    Watch();
    TSortOptions o = Opts(ssCustom);
    o.SortCompare = [](const std::string&, const std::string&) -> std::int32_t { throw std::runtime_error("x"); };
    EXPECT_THROW(g.SortByColumn(0, o), std::runtime_error);
    EXPECT_EQ(Column(g, 0), (Texts{"b", "a"}));
    EXPECT_EQ(log, (Texts{"begin 0 style 5"}));
}

TEST_F(GridSort, UndoRestoresOrderKeepsEditsAndIsOneLevel) {
    Fill(g, {{"h", "id"}, {"c", "1"}, {"a", "2"}, {"b", "3"}});
    g.SetRow(2);  // "a"
    g.SortByColumn(0, Opts());
    EXPECT_EQ(g.Row(), 1);
    g.SetCells(1, 3, "3 edited");  // row "c"
    ASSERT_TRUE(g.CanUndoSort());
    g.UndoSort();
    EXPECT_EQ(Column(g, 0), (Texts{"c", "a", "b"}));
    EXPECT_EQ(Column(g, 1), (Texts{"3 edited", "2", "3"}));
    EXPECT_EQ(g.Row(), 2);
    EXPECT_FALSE(g.CanUndoSort());
    g.UndoSort();
    EXPECT_EQ(Column(g, 0), (Texts{"c", "a", "b"}));
}

// The undo follows the current record only when the current row is one of
// the sorted rows; a heading row asked for never reads before the entries.
TEST_F(GridSort, UndoWithTheCurrentCellAskedOntoTheHeading) {
    Fill(g, {{"h", "id"}, {"c", "1"}, {"a", "2"}, {"b", "3"}});
    g.SortByColumn(0, Opts());
    g.SetRow(0);
    ASSERT_TRUE(g.CanUndoSort());
    g.UndoSort();
    EXPECT_EQ(Column(g, 0), (Texts{"c", "a", "b"}));
    EXPECT_EQ(Column(g, 0, false).front(), "h");
    EXPECT_GE(g.Row(), 1);
    EXPECT_FALSE(g.CanUndoSort());
}

TEST_F(GridSort, UndoIsImpossibleAfterTheRowsChange) {
    Fill(g, {{"h"}, {"c"}, {"a"}, {"b"}});
    g.SortByColumn(0, Opts());
    g.InsertRow(2);
    EXPECT_FALSE(g.CanUndoSort());
    g.UndoSort();
    EXPECT_EQ(Column(g, 0), (Texts{"a", "", "b", "c"}));
    // Same count but other rows: the entries no longer name the data rows.
    Fill(g, {{"h"}, {"c"}, {"a"}, {"b"}});
    g.SortByColumn(0, Opts());
    g.SetRowCount(5);
    g.SetFixedRows(2);
    EXPECT_FALSE(g.CanUndoSort());
    g.UndoSort();
    EXPECT_EQ(Column(g, 0, false), (Texts{"h", "a", "b", "c", ""}));
}

// An edit pending its check when the rows are sorted is checked against its
// own record, at the record's new place; a refused edit goes back there.
TEST_F(GridSort, PendingEditIsCheckedOnItsOwnRecord) {
    Fill(g, {{"h", "v"}, {"c", "3"}, {"a", "1"}, {"b", "2"}});
    g.SetRow(1);
    g.SetCol(1);
    g.DoEnter();  // InCell, remembers (1, 1) = "3"
    ASSERT_EQ(g.SavedText, "3");
    g.SetEditText(1, 1, "33");  // the editor stores a new text for record "c"
    std::vector<std::string> checks;
    g.OnCellValidate = [&](TSortGrid* s, int col, int row, std::string& value, bool& valid) {
        checks.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + value + " of " +
                         s->Cells(0, row));
        valid = false;
    };
    g.SortByColumn(0, Opts());
    EXPECT_EQ(Column(g, 0), (Texts{"a", "b", "c"}));
    EXPECT_EQ(checks, (Texts{"1,3=33 of c"}));
    EXPECT_EQ(Column(g, 1), (Texts{"1", "2", "3"}));  // refused: back to "3" in row "c" only
    EXPECT_FALSE(g.IsModified());
    // Sorting back moves no remembered text into another row either.
    checks.clear();
    g.SortByColumn(0, Opts(ssAutomatic, sdDescending));
    EXPECT_TRUE(checks.empty());
    EXPECT_EQ(Column(g, 0), (Texts{"c", "b", "a"}));
    EXPECT_EQ(Column(g, 1), (Texts{"3", "2", "1"}));
}

TEST_F(GridSort, PendingEditFollowsUndoAndRowMoves) {
    Fill(g, {{"h", "v"}, {"c", "3"}, {"a", "1"}, {"b", "2"}});
    g.SetRow(2);
    g.SortByColumn(0, Opts());  // a b c, current row is "a"
    ASSERT_EQ(g.Row(), 1);
    g.SetCol(1);
    g.DoEnter();
    g.SetEditText(1, g.Row(), "11");
    std::vector<std::string> checks;
    g.OnCellValidate = [&](TSortGrid*, int, int row, std::string&, bool& valid) {
        checks.push_back(g.Cells(0, row));
        valid = false;
    };
    g.UndoSort();
    EXPECT_EQ(checks, (Texts{"a"}));
    EXPECT_EQ(Column(g, 1), (Texts{"3", "1", "2"}));
    checks.clear();
    g.SetEditText(1, g.Row(), "12");  // row "a" again, now at 2
    g.SwapRows(1, 2);
    g.Click();
    EXPECT_EQ(checks, (Texts{"a"}));
    EXPECT_EQ(Column(g, 0), (Texts{"a", "c", "b"}));
    EXPECT_EQ(Column(g, 1), (Texts{"1", "3", "2"}));
    // A deleted record leaves nothing to check.
    checks.clear();
    g.SetEditText(1, g.Row(), "99");
    g.DeleteRow(g.SavedRow);
    g.InsertRow(3);
    g.Click();
    EXPECT_TRUE(checks.empty());
}

namespace {
TestGrid* reshaped = nullptr;
}  // namespace

// A comparison that removes rows mid-sort must not make the sort lose rows.
TEST_F(GridSort, ComparisonThatReshapesTheGridIsRefused) {
    Fill(g, {{"h"}, {"b"}, {"a"}, {"c"}});
    reshaped = &g;
    TSortOptions o = Opts(ssCustom);
    o.SortCompare = [](const std::string& a, const std::string& b) -> std::int32_t {
        if (reshaped->RowCount() > 3) reshaped->SetRowCount(3);
        return a.compare(b);
    };
    EXPECT_THROW(g.SortByColumn(0, o), std::logic_error);
    EXPECT_EQ(Column(g, 0), (Texts{"b", "a"}));
    EXPECT_EQ(g.SortedList().Count(), 0);
    reshaped = nullptr;
}

namespace {
std::int32_t UndoingCompare(const std::string& a, const std::string& b) {
    reshaped->UndoSort();
    return a.compare(b);
}
std::int32_t ResortingCompare(const std::string& a, const std::string& b) {
    reshaped->SortByColumn(0, TSortOptions{});
    return a.compare(b);
}
std::int32_t SwappingCompare(const std::string& a, const std::string& b) {
    reshaped->SwapRows(1, 3);
    return a.compare(b);
}
}  // namespace

// A comparison that undoes, restarts or reorders the sort it is part of is
// refused before the sort moves a row: the grid keeps every row once and
// nothing is left to undo.
TEST_F(GridSort, ComparisonThatUndoesOrReordersTheSortIsRefused) {
    reshaped = &g;
    for (TSortCompare compare : {UndoingCompare, ResortingCompare, SwappingCompare}) {
        Fill(g, {{"h", "id"}, {"b", "1"}, {"a", "2"}, {"c", "3"}});
        g.SortByColumn(0, Opts());  // a sort to undo: a b c
        Watch();
        log.clear();
        TSortOptions o = Opts(ssCustom, sdDescending);
        o.SortCompare = compare;
        EXPECT_THROW(g.SortByColumn(0, o), std::logic_error);
        EXPECT_EQ(log, (Texts{"begin 0 style 5"}));
        EXPECT_EQ(g.SortedList().Count(), 0);
        Texts rows = Column(g, 0);
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, (Texts{"a", "b", "c"}));
        if (compare != SwappingCompare) {
            EXPECT_EQ(Column(g, 0), (Texts{"a", "b", "c"}));
        }
        g.OnBeginSort = nullptr;
        g.OnEndSort = nullptr;
    }
    // The grid sorts as before afterwards.
    g.SortByColumn(0, Opts(ssAutomatic, sdDescending));
    EXPECT_EQ(Column(g, 0), (Texts{"c", "b", "a"}));
    reshaped = nullptr;
}
