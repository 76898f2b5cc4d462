// The grid control: sorting by a click on a heading, the hourglass cursor,
// cell drawing offsets, bevels and hidden text, the scroll thumb's page, and
// the check of edited cells.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <optional>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "GridTestSupport.h"
#include "platform/FormatSettings.h"

using namespace grid;
using gridtest::Column;
using gridtest::Fill;
using gridtest::RecordingCanvas;
using gridtest::TestGrid;

namespace {

using Texts = std::vector<std::string>;

class HeaderClick : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(g, {{"Name", "Size"}, {"b", "10"}, {"c", "9"}, {"a", "100"}});
        ASSERT_TRUE(gridtest::ShowFocused(g));
        g.OnClickSort = [this](TSortGrid*, int col, int row, TSortOptions& o) {
            clicks.push_back(std::to_string(col) + "," + std::to_string(row) + (o.SortDirection ? " desc" : " asc") +
                             (o.SortStyle == ssAutomatic ? "" : " style?") + (o.SortCompare ? " compare?" : ""));
        };
    }
    // A point inside cell (col, row).
    QPoint At(int col, int row) {
        const TRect r = g.CellRect(col, row);
        return {r.Left + 5, r.Top + 5};
    }
    void Release(TMouseButton b, TShiftState s, QPoint p) { g.MouseUp(b, s, p.x(), p.y()); }

    platform::ScopedFormatSettings settings_{platform::TFormatSettings::EnUS()};
    TestGrid g;
    Texts clicks;
};

}  // namespace

TEST_F(HeaderClick, LeftSortsAscendingRightDescending) {
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, At(1, 0));
    EXPECT_EQ(clicks, (Texts{"1,0 asc"}));
    EXPECT_EQ(Column(g, 1), (Texts{"9", "10", "100"}));
    QTest::mouseClick(g.viewport(), Qt::RightButton, Qt::NoModifier, At(0, 0));
    EXPECT_EQ(clicks, (Texts{"1,0 asc", "0,0 desc"}));
    EXPECT_EQ(Column(g, 0), (Texts{"c", "b", "a"}));
}

// The main window's handler flips its own direction on every click.
TEST_F(HeaderClick, HandlerOptionsAreTheOnesUsed) {
    TSortOptions remembered;
    g.OnClickSort = [&](TSortGrid*, int, int, TSortOptions& o) {
        remembered.SortDirection = remembered.SortDirection == sdAscending ? sdDescending : sdAscending;
        o = remembered;
    };
    Release(mbLeft, 0, At(1, 0));
    EXPECT_EQ(Column(g, 1), (Texts{"100", "10", "9"}));
    Release(mbLeft, 0, At(1, 0));
    EXPECT_EQ(Column(g, 1), (Texts{"9", "10", "100"}));
}

TEST_F(HeaderClick, ModifiersOtherButtonsAndPlacesThatDoNotSort) {
    Release(mbLeft, ssShift, At(0, 0));
    Release(mbLeft, ssCtrl, At(0, 0));
    Release(mbLeft, ssRight, At(0, 0));
    Release(mbLeft, 0, At(0, 1));                       // a data row
    const TRect last = g.CellRect(1, 0);
    Release(mbLeft, 0, QPoint(last.Right + 20, 5));     // beside the last column
    g.SetClickSorting(false);
    Release(mbLeft, 0, At(0, 0));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(Column(g, 0), (Texts{"b", "c", "a"}));
}

TEST_F(HeaderClick, NoSortWithoutFocusOrHeadingOrAfterAResize) {
    g.SetOptions(g.Options() | goColSizing);
    const TRect r = g.CellRect(0, 0);
    g.MouseDown(mbLeft, 0, r.Right, 5);  // grabs the column border
    EXPECT_EQ(g.GridState(), gsColSizing);
    Release(mbLeft, 0, QPoint(r.Right, 5));
    EXPECT_EQ(g.GridState(), gsNormal);
    EXPECT_TRUE(clicks.empty());

    g.clearFocus();
    ASSERT_FALSE(g.Focused());
    Release(mbLeft, 0, At(0, 0));
    EXPECT_TRUE(clicks.empty());

    ASSERT_TRUE(gridtest::ShowFocused(g));
    g.SetFixedRows(0);
    Release(mbLeft, 0, QPoint(5, 5));
    EXPECT_TRUE(clicks.empty());
}

// A double click on a heading's right edge fits that column (through the
// handler when there is one) and sorts nothing; a single drag still sizes.
TEST_F(HeaderClick, DoubleClickOnAHeadingEdgeFitsTheColumnAndDoesNotSort) {
    g.SetOptions(g.Options() | goColSizing);
    g.ReplaceCanvas(std::make_unique<RecordingCanvas>());  // 7 pixels a byte
    // As the window system sends it: press, release, double click, release.
    const auto doubleClick = [this](int col) {
        const QPoint edge(g.CellRect(col, 0).Right, 5);
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, edge);
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, Qt::NoModifier, edge);
    };
    doubleClick(1);
    EXPECT_EQ(g.ColWidths(1), 7 * 4 + 7) << "\"Size\" and \"100\": the heading is the widest";
    std::vector<int> fitted;
    g.OnFitColumn = [&](TSortGrid*, int col) { fitted.push_back(col); };
    doubleClick(0);
    EXPECT_EQ(fitted, std::vector<int>{0});
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(Column(g, 0), (Texts{"b", "c", "a"}));
    EXPECT_EQ(g.GridState(), gsNormal);
}

// The stretching column fills what the other columns leave and never gets
// narrower than the width last given to it, also by the user's drag.
TEST_F(HeaderClick, TheStretchingColumnTakesTheSpareWidth) {
    g.SetOptions(g.Options() | goColSizing);
    g.SetColWidths(0, 60);
    g.SetColWidths(1, 50);
    int notified = 0;
    g.OnColumnWidthsChanged = [&](TStringGrid*) { ++notified; };
    g.resize(300, 200);
    g.SetStretchCol(0);
    const int lines = 2 * TStringGrid::GridLineWidth();
    EXPECT_EQ(g.ColWidths(0), g.viewport()->width() - 50 - lines);
    EXPECT_GT(notified, 0);
    g.resize(100, 200);
    EXPECT_EQ(g.ColWidths(0), 60) << "never below its own width";
    g.resize(400, 200);
    const int fill = g.viewport()->width() - 50 - lines;
    EXPECT_EQ(g.ColWidths(0), fill);
    g.SetColWidths(1, 80);
    EXPECT_EQ(g.ColWidths(0), fill - 30) << "another column's growth comes out of it";
    g.SetColWidths(0, 500);
    EXPECT_EQ(g.ColWidths(0), 500);
    // Dragged narrower than the room it has, it fills the room again.
    const int edge = g.CellRect(0, 0).Right;
    g.MouseDown(mbLeft, 0, edge, 5);
    g.MouseMove(ssLeft, 40, 5);
    Release(mbLeft, 0, QPoint(40, 5));
    EXPECT_EQ(g.ColWidths(0), fill - 30);
    g.resize(100, 200);
    EXPECT_EQ(g.ColWidths(0), 40) << "the drag set its own width";
    g.SetStretchCol(-1);
    g.resize(400, 200);
    EXPECT_EQ(g.ColWidths(0), 40);
    EXPECT_THROW(g.SetStretchCol(2), EGridIndexError);
}

TEST_F(HeaderClick, HourglassDuringTheSortAndRestoredAfterAFailure) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    Qt::CursorShape during = Qt::ArrowCursor;
    g.OnBeginSort = [&](TSortGrid*, int, TSortOptions&) {
        if (QApplication::overrideCursor()) during = QApplication::overrideCursor()->shape();
    };
    Release(mbLeft, 0, At(0, 0));
    EXPECT_EQ(during, Qt::WaitCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    g.OnClickSort = [](TSortGrid*, int, int, TSortOptions& o) {
        o.SortStyle = ssCustom;
        o.SortCompare = [](const std::string&, const std::string&) -> std::int32_t {
            throw std::runtime_error("compare failed");
        };
    };
    EXPECT_THROW(Release(mbLeft, 0, At(0, 0)), std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Column(g, 0), (Texts{"a", "b", "c"}));
}

// A failed header-click sort leaves the grid through the application's
// event delivery (QApplication::notify), where the program shows it in its
// top-level error box; the grid swallows nothing and clicks on afterwards.
TEST(HeaderClickDelivery, FailedSortLeavesThroughTheEventDelivery) {
#if defined(__SANITIZE_ADDRESS__)
    // Qt's own frames between notify and the handler run no cleanups for a
    // passing exception: the event copy and a weak reference to the grid
    // that they hold stay allocated. That is Qt's, not the grid's.
    __lsan::ScopedDisabler qtFrames;
#endif
    platform::ScopedFormatSettings settings{platform::TFormatSettings::EnUS()};
    TestGrid g;
    Fill(g, {{"Name"}, {"b"}, {"c"}, {"a"}});
    ASSERT_TRUE(gridtest::ShowFocused(g));
    const TRect heading = g.CellRect(0, 0);
    const QPoint at(heading.Left + 5, heading.Top + 5);
    g.OnClickSort = [](TSortGrid*, int, int, TSortOptions& o) {
        o.SortStyle = ssCustom;
        o.SortCompare = [](const std::string&, const std::string&) -> std::int32_t {
            throw std::runtime_error("compare failed");
        };
    };
    EXPECT_THROW(QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, at), std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Column(g, 0), (Texts{"b", "c", "a"}));
    g.OnClickSort = nullptr;
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(Column(g, 0), (Texts{"a", "b", "c"}));
}

// ---------------------------------------------------------------------------
// Drawing

namespace {

class Drawing : public ::testing::Test {
protected:
    void SetUp() override {
        auto c = std::make_unique<RecordingCanvas>();
        canvas = c.get();
        g.ReplaceCanvas(std::move(c));
        Fill(g, {{"head", "h2"}, {"abcd", "x"}});
        g.OnDrawCell = [this](TStringGrid*, int col, int row, TRect, TGridDrawState) {
            drawn.push_back(std::to_string(col) + "," + std::to_string(row));
        };
    }
    TestGrid g;
    RecordingCanvas* canvas = nullptr;
    Texts drawn;
    const TRect rect{10, 20, 110, 45};  // 100 wide, 25 high
};

}  // namespace

TEST_F(Drawing, AlignmentOffsets) {
    struct Case {
        TAlignment h;
        TVertAlignment v;
        int x, y;
    } cases[] = {
        {taLeftJustify, taTopJustify, 10 + 2, 20 + 2},
        {taRightJustify, taBottomJustify, 10 + 100 - 28 - 2, 20 + 25 - 10 - 3},
        {taCenter, taMiddle, 10 + (100 - 28) / 2, 20 + (25 - 10) / 2},
    };
    for (const Case& c : cases) {
        g.SetAlignmentHorz(c.h);
        g.SetAlignmentVert(c.v);
        canvas->Texts.clear();
        g.DrawCell(0, 1, rect, 0);
        ASSERT_EQ(canvas->Texts.size(), 1u);
        EXPECT_EQ(canvas->Texts[0].X, c.x);
        EXPECT_EQ(canvas->Texts[0].Y, c.y);
        EXPECT_EQ(canvas->Texts[0].Text, "abcd");
        EXPECT_EQ(canvas->Texts[0].Rect, rect);
    }
    // Centring truncates toward zero also when the text is wider.
    g.SetCells(0, 1, std::string(20, 'w'));  // 140 wide
    g.SetAlignmentHorz(taCenter);
    canvas->Texts.clear();
    g.DrawCell(0, 1, rect, 0);
    EXPECT_EQ(canvas->Texts[0].X, 10 + (100 - 140) / 2);
}

TEST_F(Drawing, FormatEventChangesTheSurfaceAndHidesText) {
    g.OnGetCellFormat = [](TSortGrid*, int col, int, TGridDrawState, TFormatOptions& f) {
        f.Brush->Color = clRed;
        f.AlignmentHorz = taRightJustify;
        f.HideText = col == 1;
    };
    g.DrawCell(0, 1, rect, 0);
    g.DrawCell(1, 1, rect, 0);
    ASSERT_EQ(canvas->Texts.size(), 2u);
    EXPECT_EQ(canvas->Texts[0].Brush, clRed);
    EXPECT_EQ(canvas->Texts[0].X, 10 + 100 - 28 - 2);
    EXPECT_EQ(canvas->Texts[1].Text, "");  // background only
    EXPECT_EQ(drawn, (Texts{"0,1", "1,1"}));
    // With default drawing off only OnDrawCell runs.
    g.SetDefaultDrawing(false);
    g.DrawCell(0, 1, rect, 0);
    EXPECT_EQ(canvas->Texts.size(), 2u);
    EXPECT_EQ(drawn.size(), 3u);
}

TEST_F(Drawing, BevelLinesInOrderAndNeverOnHeadings) {
    g.SetBevelStyle(cbRaised);
    g.SetOptions(goFixedVertLine | goFixedHorzLine);
    g.DrawCell(0, 1, rect, 0);
    ASSERT_EQ(canvas->Lines.size(), 4u);
    const int L = 10, T = 20, R = 110, B = 45;
    const gridtest::DrawnLine expected[] = {{R - 1, T, R - 1, B, clBtnShadow},
                                            {L, B - 1, R, B - 1, clBtnShadow},
                                            {L, T, L, B, clBtnHighlight},
                                            {L, T, R, T, clBtnHighlight}};
    for (int i = 0; i < 4; ++i) {
        const auto& got = canvas->Lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(got.X1, expected[i].X1) << i;
        EXPECT_EQ(got.Y1, expected[i].Y1) << i;
        EXPECT_EQ(got.X2, expected[i].X2) << i;
        EXPECT_EQ(got.Y2, expected[i].Y2) << i;
        EXPECT_EQ(got.Color, expected[i].Color) << i;
    }
    EXPECT_EQ(g.Canvas().Pen.Color, clBtnHighlight);  // the pen keeps the last colour

    canvas->Lines.clear();
    g.SetBevelStyle(cbLowered);
    g.SetOptions(goFixedHorzLine);
    g.DrawCell(0, 1, rect, 0);
    ASSERT_EQ(canvas->Lines.size(), 2u);
    EXPECT_EQ(canvas->Lines[0].Color, clBtnHighlight);
    EXPECT_EQ(canvas->Lines[1].Color, clBtnShadow);

    canvas->Lines.clear();
    g.DrawCell(0, 0, rect, gdFixed);  // heading
    g.SetOptions(goVertLine | goHorzLine);
    g.DrawCell(0, 1, rect, 0);        // no fixed-line options: no bevel
    EXPECT_TRUE(canvas->Lines.empty());
}

TEST_F(Drawing, PaintingDrawsOnlyVisibleRows) {
    g.SetRowCount(10000);
    g.resize(300, 200);
    g.show();
    drawn.clear();
    g.viewport()->grab();
    EXPECT_FALSE(drawn.empty());
    EXPECT_LT(drawn.size(), 40u);
    g.SetTopRow(5000);
    drawn.clear();
    g.viewport()->grab();
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "0,5000"), drawn.end());
    EXPECT_NE(std::find(drawn.begin(), drawn.end(), "0,0"), drawn.end());  // the heading stays
}

// ---------------------------------------------------------------------------
// Scroll thumb

TEST(ScrollThumb, PageIsTheVisibleShareOfTheRange) {
    TestGrid g;
    g.SetScrollBars(ssVertical);
    g.SetColCount(2);
    g.SetDefaultRowHeight(20);  // 21 pixels a row with its line
    g.SetRowCount(100);
    g.resize(300, 240);  // heading + 10 full rows (230 pixels), part of an 11th
    g.show();
    QApplication::processEvents();
    ASSERT_EQ(g.VisibleRowCount(), 10);
    TScrollInfo info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(g.GetScrollInfo(SB_VERT, info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 127);
    EXPECT_EQ(info.nPage, 14u);  // 11 / 100 * 128 = 14.08

    g.SetProportionalScrollBars(false);
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nPage, 0u);

    g.SetProportionalScrollBars(true);
    g.SetRowCount(5);  // nothing to scroll
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 0);
    EXPECT_EQ(info.nPage, 1u);
}

TEST(ScrollThumb, ScrollingByRowsMovesThePosition) {
    TestGrid g;
    g.SetScrollBars(ssVertical);
    g.SetDefaultRowHeight(20);
    g.SetRowCount(1001);
    g.resize(300, 240);
    g.show();
    QApplication::processEvents();
    g.SetRow(1000);
    EXPECT_EQ(g.TopRow(), 1000 - 9);
    TScrollInfo info;
    info.fMask = SIF_POS;
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nPos, 127);
    g.SetRow(1);
    EXPECT_EQ(g.TopRow(), 1);
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nPos, 0);
}

// ---------------------------------------------------------------------------
// Cell check

namespace {

class CellCheck : public ::testing::Test {
protected:
    void SetUp() override {
        Fill(g, {{"h", "h"}, {"a", "1"}, {"b", "2"}});
        g.SetOptions(g.Options() | goEditing);
        g.SetCol(1);
        g.SetRow(1);
        g.DoEnter();
        g.OnCellValidate = [this](TSortGrid*, int col, int row, std::string& value, bool& valid) {
            checks.push_back(std::to_string(col) + "," + std::to_string(row) + "=" + value);
            if (replaceWith) value = *replaceWith;
            valid = accept;
        };
    }
    TestGrid g;
    Texts checks;
    bool accept = true;
    std::optional<std::string> replaceWith;
};

}  // namespace

TEST_F(CellCheck, UnchangedTextRaisesNothing) {
    g.SetEditText(1, 1, "1x");
    g.SetEditText(1, 1, "1");
    EXPECT_TRUE(g.IsModified());
    g.SetRow(2);
    EXPECT_TRUE(checks.empty());
}

TEST_F(CellCheck, AcceptedEditStays) {
    g.SetEditText(1, 1, "5");
    g.SetRow(2);
    EXPECT_EQ(checks, (Texts{"1,1=5"}));
    EXPECT_EQ(g.Cells(1, 1), "5");
    EXPECT_TRUE(g.IsModified());
}

TEST_F(CellCheck, RefusedEditPutsTheOldTextBack) {
    accept = false;
    g.SetEditText(1, 1, "5");
    g.SetRow(2);
    EXPECT_EQ(g.Cells(1, 1), "1");
    EXPECT_FALSE(g.IsModified());
}

TEST_F(CellCheck, RefusedEditWithACorrectionKeepsTheCorrection) {
    accept = false;
    replaceWith = "7";
    g.SetEditText(1, 1, "5");
    g.SetRow(2);
    EXPECT_EQ(g.Cells(1, 1), "7");
    accept = true;
    replaceWith = "8";
    g.SetEditText(1, 2, "6");
    g.SetRow(1);
    EXPECT_EQ(g.Cells(1, 2), "8");
    EXPECT_EQ(checks, (Texts{"1,1=5", "1,2=6"}));
}

TEST_F(CellCheck, EnterChecksAndLeavingClicks) {
    int clicksSeen = 0;
    g.OnClick = [&](TStringGrid*) { ++clicksSeen; };
    g.SetEditText(1, 1, "5");
    char enter = '\r';
    g.KeyPress(enter);
    EXPECT_EQ(checks, (Texts{"1,1=5"}));
    g.SetEditText(1, 1, "6");
    g.DoExit();
    EXPECT_EQ(clicksSeen, 1);
    EXPECT_EQ(checks, (Texts{"1,1=5", "1,1=6"}));
    EXPECT_FALSE(g.InCell);
    // Outside the grid nothing is checked on a move.
    g.SetEditText(1, 1, "7");
    g.SetRow(2);
    EXPECT_EQ(checks.size(), 2u);
}

// Switching to another application and back is no leaving of the grid.
TEST_F(CellCheck, OtherWindowsDoNotEndTheVisit) {
    TestGrid other;
    ASSERT_TRUE(gridtest::ShowFocused(g));
    int clicks = 0;
    g.OnClick = [&](TStringGrid*) { ++clicks; };
    other.show();
    QApplication::setActiveWindow(&other);
    QApplication::processEvents();
    EXPECT_FALSE(g.Focused());
    EXPECT_TRUE(g.InCell);
    ASSERT_TRUE(gridtest::ShowFocused(g));
    EXPECT_EQ(clicks, 0);
    g.clearFocus();
    EXPECT_FALSE(g.InCell);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CellCheck, HandlerThatMovesTheCurrentCellIsNotCheckedAgain) {
    g.OnCellValidate = [this](TSortGrid* s, int, int row, std::string&, bool& valid) {
        checks.push_back(std::to_string(row));
        s->SetRow(1);  // back to the cell being checked
        valid = false;
    };
    g.SetEditText(1, 1, "5");
    g.SetRow(2);
    EXPECT_EQ(checks, (Texts{"1"}));
    EXPECT_EQ(g.Cells(1, 1), "1");
}

TEST_F(CellCheck, FailingClickHandlerStillChecks) {
    g.OnClick = [](TStringGrid*) { throw std::runtime_error("click"); };
    g.SetEditText(1, 1, "5");
    EXPECT_THROW(g.SetRow(2), std::runtime_error);
    EXPECT_EQ(checks, (Texts{"1,1=5"}));
    EXPECT_THROW(g.DoExit(), std::runtime_error);
    EXPECT_FALSE(g.InCell);
}

TEST_F(CellCheck, TypingInTheEditorStoresThroughTheHook) {
    ASSERT_TRUE(gridtest::ShowFocused(g));
    g.SetRow(1);
    QTest::keyClick(&g, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    QLineEdit* editor = g.InplaceEditor();
    editor->selectAll();
    QTest::keyClicks(editor, "42");
    EXPECT_EQ(g.Cells(1, 1), "42");
    EXPECT_TRUE(g.IsModified());
    EXPECT_TRUE(g.Focused());  // the editor's focus is the grid's
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(checks, (Texts{"1,1=42"}));
    EXPECT_FALSE(g.EditorMode());
    // Sorting waits while the editor is open.
    QTest::keyClick(&g, Qt::Key_F2);
    ASSERT_TRUE(g.EditorMode());
    g.SortByColumn(1, TSortOptions{ssAutomatic, sdDescending, false, nullptr});
    EXPECT_EQ(Column(g, 1), (Texts{"42", "2"}));
    g.SetEditorMode(false);
    g.SortByColumn(1, TSortOptions{ssAutomatic, sdAscending, false, nullptr});
    EXPECT_EQ(Column(g, 1), (Texts{"2", "42"}));
}
