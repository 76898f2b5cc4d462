// Row and column operations with their events in order, auto-sizing,
// search, the delimited text file (round trips and odd files) and the
// extended keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

#include "GridTestSupport.h"

using namespace grid;
using gridtest::Column;
using gridtest::Fill;
using gridtest::RecordingCanvas;
using gridtest::TestGrid;

namespace {

using Texts = std::vector<std::string>;

class Operations : public ::testing::Test {
protected:
    void Watch() {
        g.OnSizeChanged = [this](TSortGrid*, int cols, int rows) {
            log.push_back("size " + std::to_string(cols) + "x" + std::to_string(rows));
        };
        g.OnRowMoved = [this](TStringGrid*, int f, int t) {
            log.push_back("moved " + std::to_string(f) + ">" + std::to_string(t));
        };
        g.OnColumnMoved = [this](TStringGrid*, int f, int t) {
            log.push_back("colmoved " + std::to_string(f) + ">" + std::to_string(t));
        };
        g.OnRowInsert = [this](TSortGrid*, int i) { log.push_back("insert " + std::to_string(i)); };
        g.OnRowDelete = [this](TSortGrid*, int i) { log.push_back("delete " + std::to_string(i)); };
        g.OnColumnInsert = [this](TSortGrid*, int i) { log.push_back("colinsert " + std::to_string(i)); };
        g.OnColumnDelete = [this](TSortGrid*, int i) { log.push_back("coldelete " + std::to_string(i)); };
        g.OnClick = [this](TStringGrid*) { log.push_back("click"); };
    }
    TestGrid g;
    Texts log;
};

std::string TempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("fernpack_grid_") + std::to_string(::getpid()) + "_" + name))
        .string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

TEST_F(Operations, InsertRowGivesAnEmptyCurrentRowAfterTheSizeChange) {
    Fill(g, {{"h"}, {"A"}, {"B"}});
    int obj = 0;
    g.SetObjects(0, 1, &obj);
    g.SetRow(2);
    Watch();
    g.InsertRow(1);
    EXPECT_EQ(Column(g, 0, false), (Texts{"h", "", "A", "B"}));
    EXPECT_EQ(g.Objects(0, 1), nullptr);
    EXPECT_EQ(g.Objects(0, 2), &obj);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(log, (Texts{"size 1x3", "moved 3>1", "click", "insert 1"}));
    EXPECT_THROW(g.InsertRow(9), EGridIndexError);
    EXPECT_EQ(g.RowCount(), 4);
}

// The current cell stays on a data row whatever asks for a heading row, so
// the record of the current row always exists.
TEST_F(Operations, CurrentCellNeverEntersTheHeadings) {
    Fill(g, {{"h", "i"}, {"A", "1"}, {"B", "2"}}, 1, 1);
    Watch();
    g.InsertRow(0);  // the heading stays on top; the new row is the first data row
    EXPECT_EQ(Column(g, 0, false), (Texts{"h", "", "A", "B"}));
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(log.back(), "insert 1");
    g.InsertColumn(0);
    EXPECT_EQ(g.Cells(0, 0), "h");
    EXPECT_EQ(g.Col(), 1);

    g.SetRow(3);
    g.SetRow(0);
    EXPECT_EQ(g.Row(), 1);
    g.SetCol(0);
    EXPECT_EQ(g.Col(), 1);
    g.SetRow(3);
    g.MoveRow(3, 0);  // the current record goes into the headings, the current cell does not
    EXPECT_EQ(g.Row(), 1);
    g.SetCol(2);
    g.MoveColumn(2, 0);
    EXPECT_EQ(g.Col(), 1);

    Fill(g, {{"h"}, {"a"}, {"b"}});
    g.SetRow(2);
    g.DeleteRow(2);
    g.DeleteRow(1);  // the last data row
    EXPECT_GE(g.Row(), g.FixedRows());
    EXPECT_LT(g.Row(), g.RowCount());
}

TEST_F(Operations, SwapRowsAndColumns) {
    Fill(g, {{"h", "x"}, {"P", "1"}, {"Q", "2"}, {"R", "3"}});
    g.SwapRows(1, 3);
    EXPECT_EQ(Column(g, 0), (Texts{"R", "Q", "P"}));
    EXPECT_EQ(Column(g, 1), (Texts{"3", "2", "1"}));
    g.SwapRows(3, 1);
    EXPECT_EQ(Column(g, 0), (Texts{"P", "Q", "R"}));
    g.SwapRows(2, 2);
    EXPECT_EQ(Column(g, 0), (Texts{"P", "Q", "R"}));
    g.SetColWidths(0, 50);
    g.SetColWidths(1, 70);
    g.SwapColumns(0, 1);
    EXPECT_EQ(Column(g, 0, false), (Texts{"x", "1", "2", "3"}));
    EXPECT_EQ(g.ColWidths(0), 70);
    EXPECT_EQ(g.ColWidths(1), 50);
    EXPECT_THROW(g.SwapRows(1, 7), EGridIndexError);
}

TEST_F(Operations, MoveRowKeepsAlwaysShownEditorOption) {
    Fill(g, {{"h"}, {"a"}, {"b"}, {"c"}});
    g.SetOptions(g.Options() | goEditing | goAlwaysShowEditor);
    TGridOptions during = 0;
    g.OnRowMoved = [&](TStringGrid* s, int, int) { during = s->Options(); };
    g.MoveRow(1, 3);
    EXPECT_EQ(Column(g, 0), (Texts{"b", "c", "a"}));
    EXPECT_FALSE(during & goAlwaysShowEditor);
    EXPECT_TRUE(g.Options() & goAlwaysShowEditor);
}

TEST_F(Operations, DeleteRowOfTheCurrentRow) {
    Fill(g, {{"h"}, {"a"}, {"b"}, {"c"}});
    g.SetRow(2);
    Watch();
    g.DeleteRow(2);
    EXPECT_EQ(Column(g, 0), (Texts{"a", "c"}));
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(g.Cells(0, g.Row()), "c");
    EXPECT_EQ(log, (Texts{"moved 2>3", "size 1x4", "delete 2"}));
    g.DeleteRow(2);
    EXPECT_EQ(g.Row(), 1);
}

TEST_F(Operations, InsertAndDeleteColumns) {
    Fill(g, {{"h1", "h2"}, {"a", "b"}});
    Watch();
    g.InsertColumn(1);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cells(0, 1), "a");
    EXPECT_EQ(g.Cells(1, 1), "");
    EXPECT_EQ(g.Cells(2, 1), "b");
    EXPECT_EQ(g.Col(), 1);
    EXPECT_EQ(log, (Texts{"size 2x2", "colmoved 2>1", "click", "colinsert 1"}));
    log.clear();
    g.DeleteColumn(0);
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.Cells(1, 0), "h2");
    EXPECT_EQ(log, (Texts{"colmoved 0>2", "size 3x2", "coldelete 0"}));
}

TEST_F(Operations, ShrinkingLowersFixedCountsAndKeepsCellsThatFit) {
    Fill(g, {{"h", "i"}, {"a", "b"}, {"c", "d"}}, 2, 1);
    g.SetRowCount(0);
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Cells(1, 0), "i");
    g.SetColCount(1);
    EXPECT_EQ(g.FixedCols(), 0);
    g.SetColCount(2);
    EXPECT_EQ(g.Cells(1, 0), "");  // cells cut off are gone
}

TEST_F(Operations, ClearCellsEmptiesEverythingButTheShape) {
    Fill(g, {{"h"}, {"b"}, {"a"}});
    int obj;
    g.SetObjects(0, 1, &obj);
    g.SortByColumn(0, {});
    g.SetColWidths(0, 99);
    g.SetEditText(0, 1, "x");
    ASSERT_TRUE(g.IsModified());
    g.ClearCells();
    EXPECT_EQ(Column(g, 0, false), (Texts{"", "", ""}));
    EXPECT_EQ(g.Objects(0, 1), nullptr);
    EXPECT_FALSE(g.IsModified());
    EXPECT_EQ(g.ColWidths(0), 99);
    EXPECT_TRUE(g.CanUndoSort());
}

TEST_F(Operations, AutoSizeColumnsCountHeadingsAndFormatFonts) {
    auto canvas = std::make_unique<RecordingCanvas>();
    g.ReplaceCanvas(std::move(canvas));
    Fill(g, {{"a wide heading", "h", "k"}, {"ab", "abcd", "x"}}, 1, 1);
    g.AutoSizeColumn(1);
    EXPECT_EQ(g.ColWidths(1), 4 * 7 + 7);
    g.AutoSizeColumn(0);
    EXPECT_EQ(g.ColWidths(0), 14 * 7 + 7);
    g.SetColWidths(0, 5);
    g.AutoSizeColumns(false, 4);
    EXPECT_EQ(g.ColWidths(0), 5);
    EXPECT_EQ(g.ColWidths(1), 35 + 4);
    EXPECT_EQ(g.ColWidths(2), 14 + 4);
    g.AutoSizeColumns(true, 0);
    EXPECT_EQ(g.ColWidths(0), 105);
    // A handler's own font object is used for measuring.
    TFont big;
    big.Height = 40;
    std::vector<std::string> seen;
    g.OnGetCellFormat = [&](TSortGrid*, int c, int r, TGridDrawState s, TFormatOptions& f) {
        seen.push_back(std::to_string(c) + "," + std::to_string(r) + ((s & gdFixed) ? " fixed" : ""));
        f.Font = &big;
    };
    g.AutoSizeColumn(2);
    EXPECT_EQ(seen, (Texts{"2,0 fixed", "2,1"}));
    EXPECT_EQ(g.Canvas().Font.Height, 40);
}

TEST_F(Operations, FindCellMatchesWholeCellsIgnoringCase) {
    Fill(g, {{"name", "other"}, {"readme.txt.bak", "x"}, {"x", "README.TXT"}, {"z", "readme.txt"}});
    int col = -5, row = -5;
    EXPECT_TRUE(g.FindCell("readme.txt", col, row));
    EXPECT_EQ(col, 1);
    EXPECT_EQ(row, 2);
    EXPECT_TRUE(g.FindCell("X", col, row));
    EXPECT_EQ(col, 0);  // column by column: column 0 first
    EXPECT_EQ(row, 2);
    EXPECT_TRUE(g.FindCell("NAME", col, row));
    EXPECT_EQ(row, 0);  // headings count
    col = row = 7;
    EXPECT_FALSE(g.FindCell("readme", col, row));
    EXPECT_EQ(col, 7);
    EXPECT_EQ(row, 7);
    // Accented letters fold too (code page 437 and UTF-8 texts alike).
    g.SetCells(0, 3, "\x90T\x90");
    EXPECT_TRUE(g.FindCell("\xC3\xA9t\xC3\xA9", col, row));
    EXPECT_EQ(row, 3);
}

TEST_F(Operations, SaveAndLoadRoundTrip) {
    const std::string path = TempPath("round.txt");
    Fill(g, {{"a", "b", "\xE9\xFF"}, {"", "x y", "z"}});
    g.SaveToFile(path, ',');
    EXPECT_EQ(ReadAll(path), "a,b,\xE9\xFF\r\n,x y,z\r\n");
    TestGrid h;
    h.SetFixedCols(0);
    h.LoadFromFile(path, ',');
    EXPECT_EQ(h.RowCount(), 2);
    EXPECT_EQ(h.ColCount(), 3);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_EQ(h.Cells(c, r), g.Cells(c, r));
    std::remove(path.c_str());
}

TEST_F(Operations, LoadOddFiles) {
    const std::string path = TempPath("odd.txt");
    WriteAll(path, "a;b\n1;2;3;4;5\r3;;\r\nlast");
    g.SetFixedCols(0);
    g.LoadFromFile(path, ';');
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(g.ColCount(), 5);
    EXPECT_EQ(g.Cells(4, 1), "5");
    EXPECT_EQ(g.Cells(2, 0), "");
    EXPECT_EQ(g.Cells(2, 2), "");
    EXPECT_EQ(g.Cells(0, 3), "last");

    WriteAll(path, "");
    g.LoadFromFile(path, ';');
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_EQ(g.FixedRows(), 0);
    EXPECT_EQ(g.Cells(0, 0), "");

    WriteAll(path, std::string("x;y\r\n\r\nafter zero\0hidden\r\nmore", 31));
    g.LoadFromFile(path, ';');
    EXPECT_EQ(g.RowCount(), 3);
    EXPECT_EQ(g.Cells(0, 1), "");
    EXPECT_EQ(g.Cells(0, 2), "after zero");

    // A cell holding the delimiter comes back as two cells.
    Fill(g, {{"a;b", "c"}}, 0, 0);
    g.SaveToFile(path, ';');
    g.LoadFromFile(path, ';');
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cells(1, 0), "b");
    std::remove(path.c_str());
}

// A file that cannot be read or written reaches the caller and changes
// nothing: neither the grid's cells nor the file that was there.
TEST_F(Operations, FileErrorsReachTheCallerAndChangeNothing) {
    Fill(g, {{"h", "i"}, {"a", "b"}});
    EXPECT_THROW(g.SaveToFile("/nonexistent-dir/x.txt", ','), EFileError);
    EXPECT_EQ(g.Cells(0, 1), "a");
    EXPECT_THROW(g.LoadFromFile(std::filesystem::temp_directory_path().string(), ','), EFileError);
    EXPECT_THROW(g.LoadFromFile(TempPath("missing.txt"), ','), EFileError);
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(g.ColCount(), 2);
    EXPECT_EQ(g.Cells(0, 0), "h");
    EXPECT_EQ(g.Cells(1, 1), "b");

    const std::filesystem::path dir = TempPath("savedir");
    std::filesystem::create_directories(dir / "folder");
    const std::string file = (dir / "grid.txt").string();
    WriteAll(file, "old,contents\r\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink("grid.txt", dir / "link.txt");
    auto leftovers = [&] {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir))
            if (e.path().filename().string().rfind(".fernpack-", 0) == 0) ++n;
        return n;
    };

    // More than the process may write: the write fails part way.
    Fill(g, {{std::string(20000, 'x'), "y"}, {"a", "b"}});
    struct rlimit was {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = was;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(g.SaveToFile(file, ','), EFileError);
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(ReadAll(file) == "old,contents\r\n");  // not a truncated new file
    EXPECT_EQ(leftovers(), 0);

    EXPECT_THROW(g.SaveToFile((dir / "folder").string(), ','), EFileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_EQ(leftovers(), 0);

    // A complete write replaces the file through its link; the link and the
    // file's permissions stay.
    Fill(g, {{"new", "row"}}, 0, 0);
    g.SaveToFile((dir / "link.txt").string(), ',');
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.txt"));
    EXPECT_EQ(ReadAll(file), "new,row\r\n");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(leftovers(), 0);
    std::filesystem::remove_all(dir);
}

TEST_F(Operations, ExtendedKeys) {
    Fill(g, {{"h", "h2"}, {"a", "b"}}, 1, 0);
    int ctrlDel = VK_DELETE, ctrlIns = VK_INSERT;
    g.KeyDown(ctrlIns, ssCtrl);
    EXPECT_EQ(g.RowCount(), 2);  // off by default
    g.SetExtendedKeys(true);
    g.KeyDown(ctrlDel, ssCtrl);
    EXPECT_EQ(g.RowCount(), 2);  // one data row stays
    g.KeyDown(ctrlIns, ssCtrl);
    EXPECT_EQ(Column(g, 0), (Texts{"", "a"}));
    EXPECT_EQ(g.Row(), 1);
    g.KeyDown(ctrlIns, ssCtrl | ssAlt);
    EXPECT_EQ(g.RowCount(), 3);
    g.KeyDown(ctrlDel, ssCtrl);
    EXPECT_EQ(Column(g, 0), (Texts{"a"}));
    g.SetCol(1);
    g.KeyDown(ctrlIns, ssCtrl | ssShift);
    EXPECT_EQ(g.ColCount(), 3);
    EXPECT_EQ(g.Cells(2, 0), "h2");
    g.KeyDown(ctrlDel, ssCtrl | ssShift);
    g.KeyDown(ctrlDel, ssCtrl | ssShift);
    EXPECT_EQ(g.ColCount(), 1);
    g.KeyDown(ctrlDel, ssCtrl | ssShift);  // the last column stays
    EXPECT_EQ(g.ColCount(), 1);
}

TEST_F(Operations, ExtendedKeysThroughTheKeyboard) {
    Fill(g, {{"h"}, {"a"}, {"b"}});
    g.SetExtendedKeys(true);
    ASSERT_TRUE(gridtest::ShowFocused(g));
    g.SetRow(2);
    QTest::keyClick(&g, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(Column(g, 0), (Texts{"a", "", "b"}));
    QTest::keyClick(&g, Qt::Key_Down);
    QTest::keyClick(&g, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Column(g, 0), (Texts{"a", ""}));
}

// A whole new set of data rows at once (a filtered listing): the headings
// stay, the current row keeps its place where it can, the old sort can no
// longer be undone, and no rows at all leave one empty row.
TEST_F(Operations, SetDataRowsReplacesEveryDataRowAtOnce) {
    Fill(g, {{"Name", "Size"}, {"c", "3"}, {"a", "1"}, {"b", "2"}, {"d", "4"}});
    TSortOptions options;
    g.SortByColumn(0, options);
    ASSERT_TRUE(g.CanUndoSort());
    g.MoveToCell(0, 4);
    Watch();
    auto rows = g.DataRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0][0].Text, "a");
    rows.erase(rows.begin() + 1, rows.begin() + 3);  // a and d are left
    g.SetDataRows(rows);
    EXPECT_EQ(Column(g, 0), (Texts{"a", "d"}));
    EXPECT_EQ(g.Cells(0, 0), "Name");
    EXPECT_EQ(g.Row(), 2) << "the current row, clamped";
    EXPECT_EQ(g.Selection().Top, 2);
    EXPECT_EQ(g.Selection().Bottom, 2);
    EXPECT_FALSE(g.CanUndoSort()) << "the undo would scramble the new rows";
    EXPECT_EQ(log, (Texts{"size 2x5"})) << "with the old counts";

    g.SetDataRows({});
    EXPECT_EQ(g.RowCount(), 2);
    EXPECT_EQ(Column(g, 0), (Texts{""}));
    g.SetDataRows(rows);
    EXPECT_EQ(Column(g, 1), (Texts{"1", "4"}));

    // Moved out: the grid keeps one empty row.
    const auto taken = g.TakeDataRows();
    ASSERT_EQ(taken.size(), 2u);
    EXPECT_EQ(taken[1][0].Text, "d");
    EXPECT_EQ(Column(g, 0), (Texts{""}));
}
