// The base string grid: bytes kept as stored and shown as UTF-8 or code page 437,
// writes outside the grid refused, moves keeping the current cell and the
// anchor on their rows, mouse mapping, scroll range, wheel steps and keyboard
// movement.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "GridTestSupport.h"

using namespace grid;
using gridtest::Fill;
using gridtest::TestGrid;

TEST(StringGrid, TextsAreBytesShownAsUtf8OrCodePage437) {
    TStringGrid g;
    const std::string dos = "caf\x82";  // e acute in code page 437
    const std::string utf8 = "caf\xC3\xA9";
    g.SetCells(1, 1, dos);
    g.SetCells(2, 1, utf8);
    EXPECT_EQ(g.Cells(1, 1), dos);
    EXPECT_EQ(g.Cells(2, 1), utf8);
    EXPECT_EQ(DisplayText(dos), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(DisplayText(utf8), QString::fromUtf8("caf\xC3\xA9"));
    EXPECT_EQ(DisplayText(std::string("a\0b", 3)).size(), 3);
    // What the editor writes back for a text shown from code page 437.
    std::string bytes;
    EXPECT_TRUE(Cp437Bytes(DisplayText(dos), &bytes));
    EXPECT_EQ(bytes, dos);
    EXPECT_FALSE(Cp437Bytes(QString::fromUtf8("\xE2\x82\xAC"), &bytes));  // the euro sign
}

TEST(StringGrid, CellsOutsideTheGrid) {
    TStringGrid g;
    EXPECT_EQ(g.Cells(99, 99), "");
    EXPECT_EQ(g.Cells(-1, 0), "");
    EXPECT_EQ(g.Objects(99, 0), nullptr);
    EXPECT_THROW(g.SetCells(5, 0, "x"), EGridIndexError);
    EXPECT_THROW(g.SetCells(0, -1, "x"), EGridIndexError);
    EXPECT_THROW(g.ColWidths(5), EGridIndexError);
    EXPECT_THROW(g.SetFixedRows(5), std::invalid_argument);
}

TEST(StringGrid, MovesKeepCurrentCellAndAnchorOnTheirRows) {
    TestGrid g;
    Fill(g, {{"h"}, {"a"}, {"b"}, {"c"}, {"d"}});
    g.SetRowHeights(1, 30);
    g.SetRow(2);  // "b"
    std::vector<int> moved;
    g.OnRowMoved = [&](TStringGrid*, int f, int t) { moved = {f, t}; };
    g.SortByColumn(0, {ssAutomatic, sdDescending, false, nullptr});
    ASSERT_EQ(g.Cells(0, g.Row()), "b");
    g.MoveRow(1, 4);  // "d" to the end: b moves up one
    EXPECT_EQ(g.Cells(0, g.Row()), "b");
    EXPECT_EQ(g.RowHeights(4), 30);  // the height went with the row
    EXPECT_EQ(moved, (std::vector<int>{1, 4}));
    EXPECT_THROW(g.MoveRow(0, 5), EGridIndexError);
}

TEST(StringGrid, MouseMappingAndCellRectangles) {
    TStringGrid g;
    g.SetColCount(3);
    g.SetRowCount(3);
    g.SetDefaultColWidth(50);
    g.SetDefaultRowHeight(20);
    g.resize(400, 300);
    EXPECT_EQ(g.MouseCoord(0, 0), (TGridCoord{0, 0}));
    EXPECT_EQ(g.MouseCoord(50, 20), (TGridCoord{0, 0}));  // the grid line belongs to the cell before it
    EXPECT_EQ(g.MouseCoord(51, 21), (TGridCoord{1, 1}));
    EXPECT_EQ(g.MouseCoord(200, 10), (TGridCoord{-1, 0}));
    EXPECT_EQ(g.MouseCoord(10, 200), (TGridCoord{0, -1}));
    EXPECT_EQ(g.MouseCoord(-1, -1), (TGridCoord{-1, -1}));
    EXPECT_EQ(g.CellRect(2, 1), (TRect{102, 21, 152, 41}));
}

TEST(StringGrid, ScrollRangeOnlyWhenThereIsSomethingToScroll) {
    TStringGrid g;
    g.SetScrollBars(ssBoth);
    g.resize(400, 300);
    g.show();
    QApplication::processEvents();
    TScrollInfo info;
    info.fMask = SIF_RANGE;
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 0);
    EXPECT_FALSE(g.verticalScrollBar()->isVisible());
    g.SetRowCount(1000);
    g.GetScrollInfo(SB_VERT, info);
    EXPECT_EQ(info.nMax, 127);
    QApplication::processEvents();
    EXPECT_TRUE(g.verticalScrollBar()->isVisible());
    g.SetColCount(100);
    g.GetScrollInfo(SB_HORZ, info);
    EXPECT_EQ(info.nMax, 127);
    // The page stays as written until written again.
    TScrollInfo page;
    page.fMask = SIF_PAGE;
    page.nPage = 33;
    g.SetScrollInfo(SB_VERT, page, true);
    g.SetRowCount(2000);
    page.nPage = 0;
    g.GetScrollInfo(SB_VERT, page);
    EXPECT_EQ(page.nPage, 33u);
    TScrollInfo wrongSize;
    wrongSize.cbSize = 12;
    EXPECT_FALSE(g.GetScrollInfo(SB_VERT, wrongSize));
}

namespace {

// One wheel or touchpad event through the event loop, as the window system
// would deliver it to the grid's viewport.
void Wheel(TStringGrid& g, QPoint angle, QPoint pixels = {}, Qt::ScrollPhase phase = Qt::NoScrollPhase) {
    const QPointF at(20, 40);
    QWheelEvent event(at, g.viewport()->mapToGlobal(at), pixels, angle, Qt::NoButton, Qt::NoModifier, phase, false);
    QApplication::sendEvent(g.viewport(), &event);
}

}  // namespace

// Fine wheels and touchpads send fractions of a notch; they add up to rows
// (and columns) instead of being lost one by one.
TEST(StringGrid, SmallWheelStepsAddUp) {
    TStringGrid g;
    g.SetRowCount(200);
    g.SetColCount(30);
    g.resize(400, 300);
    g.show();
    QApplication::processEvents();
    const int perRow = 120 / std::max(1, QApplication::wheelScrollLines());
    ASSERT_EQ(g.TopRow(), 1);
    const int quarter = perRow / 4;
    for (int i = 0; i < 3; ++i) Wheel(g, {0, -quarter});  // a quarter of a row each
    EXPECT_EQ(g.TopRow(), 1);
    Wheel(g, {0, -(perRow - 3 * quarter)});
    EXPECT_EQ(g.TopRow(), 2);
    Wheel(g, {0, -120});  // a whole notch
    EXPECT_EQ(g.TopRow(), 2 + 120 / perRow);
    const int top = g.TopRow();
    Wheel(g, {0, -perRow / 2});
    Wheel(g, {0, perRow / 2});  // the other way: the half step left over does not count against it
    EXPECT_EQ(g.TopRow(), top);
    Wheel(g, {0, perRow / 2});
    EXPECT_EQ(g.TopRow(), top - 1);

    // A touchpad's pixels: one row per row height, however finely they come.
    const int pitch = g.RowHeights(g.TopRow()) + TStringGrid::GridLineWidth();
    const int before = g.TopRow();
    Wheel(g, {0, -1}, {0, -1}, Qt::ScrollBegin);
    for (int i = 1; i < pitch; ++i) Wheel(g, {0, -1}, {0, -1}, Qt::ScrollUpdate);
    EXPECT_EQ(g.TopRow(), before + 1);

    // Sideways steps scroll the columns the same way.
    for (int i = 0; i < 3; ++i) Wheel(g, {-quarter, 0});
    Wheel(g, {-(perRow - 3 * quarter), 0});
    EXPECT_EQ(g.LeftCol(), 2);
}

TEST(StringGrid, KeyboardAndMouseSelection) {
    TestGrid g;
    Fill(g, {{"h", "h"}, {"a", "1"}, {"b", "2"}, {"c", "3"}}, 1, 0);
    ASSERT_TRUE(gridtest::ShowFocused(g));
    g.SetCol(0);
    g.SetRow(1);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(g.Selection(), (TGridRect{0, 1, 0, 3}));
    QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(g.Row(), 1);
    EXPECT_EQ(g.Selection(), (TGridRect{0, 1, 0, 1}));
    const TRect r = g.CellRect(1, 3);
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(r.Left + 3, r.Top + 3));
    EXPECT_EQ(g.Selection(), (TGridRect{0, 1, 1, 3}));
    g.SetOptions(g.Options() | goRowSelect);
    EXPECT_EQ(g.Selection().Left, 0);
    EXPECT_EQ(g.Selection().Right, 1);
}

TEST(StringGrid, DestroyedWhileItsEditorHasTheFocus) {
    auto* g = new TestGrid;
    Fill(*g, {{"h"}, {"a"}, {"b"}});
    g->SetOptions(g->Options() | goEditing);
    ASSERT_TRUE(gridtest::ShowFocused(*g));
    QTest::keyClick(g, Qt::Key_F2);
    ASSERT_TRUE(g->EditorMode());
    ASSERT_TRUE(g->InplaceEditor()->hasFocus());
    delete g;  // must not reach the grid's hooks half-destroyed
    QApplication::processEvents();
}

TEST(StringGrid, TypingStartsTheEditorAndEscapeRestores) {
    TestGrid g;
    Fill(g, {{"h"}, {"caf\x82"}, {"b"}});
    g.SetOptions(g.Options() | goEditing);
    ASSERT_TRUE(gridtest::ShowFocused(g));
    QTest::keyClicks(&g, "x");
    ASSERT_TRUE(g.EditorMode());
    EXPECT_EQ(g.Cells(0, 1), "x");
    QTest::keyClick(g.InplaceEditor(), Qt::Key_Escape);
    EXPECT_FALSE(g.EditorMode());
    EXPECT_EQ(g.Cells(0, 1), "caf\x82");  // the original bytes, not UTF-8
    // A cell shown from code page 437, edited with characters it has, stays
    // in code page 437.
    QTest::keyClick(&g, Qt::Key_F2);
    QTest::keyClick(g.InplaceEditor(), Qt::Key_End);
    QTest::keyClicks(g.InplaceEditor(), "s");
    EXPECT_EQ(g.Cells(0, 1), "caf\x82s");
    // Typing a character beyond Latin-1 starts the editor with that character.
    QTest::keyClick(g.InplaceEditor(), Qt::Key_Down);
    ASSERT_EQ(g.Row(), 2);
    QKeyEvent euro(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xE2\x82\xAC"));
    QApplication::sendEvent(&g, &euro);
    EXPECT_EQ(g.Cells(0, 2), "\xE2\x82\xAC");
}

TEST(StringGrid, ThumbDragScrollsWithOrWithoutTracking) {
    TStringGrid g;
    g.SetScrollBars(ssVertical);
    g.SetDefaultRowHeight(20);
    g.SetRowCount(1001);
    g.resize(300, 240);
    g.show();
    QApplication::processEvents();
    QScrollBar* bar = g.verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(127);
    EXPECT_EQ(g.TopRow(), 1);  // no tracking: the rows wait for the release
    bar->setSliderDown(false);
    EXPECT_EQ(g.TopRow(), 1001 - 10);
    g.SetOptions(g.Options() | goThumbTracking);
    bar->setSliderDown(true);
    bar->setSliderPosition(0);
    EXPECT_EQ(g.TopRow(), 1);
    bar->setSliderPosition(64);
    EXPECT_NEAR(g.TopRow(), 1 + (990 * 64) / 127, 1);
    bar->setSliderDown(false);
    // Arrow clicks move one row, whatever the thumb's coarse position says.
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_NEAR(g.TopRow(), 3 + (990 * 64) / 127, 1);
}
