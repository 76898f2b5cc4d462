// TStringGrid: the string grid the sortable grid is built on, a Qt widget on
// QAbstractScrollArea. It keeps a rectangle of cells, each holding an 8-bit
// text (stored and compared byte for byte) and an attached object pointer;
// fixed heading rows and columns; column widths and row heights; the current
// cell and a selection rectangle with its anchor; an in-place editor; and
// scroll bars that scroll by whole rows and columns.
//
// What it promises: row and column counts never fall below 1, and the fixed
// counts stay below them; only visible cells are painted; rows are stored so
// that filling, reordering and scrolling 100,000 rows stays quick; the scroll
// bars have a range of 0 to 127 whenever there is something to scroll (else
// 0 to 0), and their thumb size (the page) is read and written through
// GetScrollInfo / SetScrollInfo and kept until written again.
//
// What it does not do: sorting, formatting or checking cells (TSortGrid), row
// sizing or moving by mouse, or anything not needed by the sortable grid.
// Every notification is a virtual hook so a derived grid can extend it; the
// events are bound callables whose first argument is the grid, skipped when
// unassigned.
#pragma once

#include <QAbstractScrollArea>
#include <array>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "grid/Canvas.h"
#include "grid/GridTypes.h"

class QLineEdit;

namespace grid {

// A cell or row or column index outside the grid.
class EGridIndexError : public std::out_of_range {
public:
    EGridIndexError() : std::out_of_range("Grid index out of range") {}
};

struct TGridCell {
    std::string Text;
    void* Object = nullptr;
};

// One row's cells. A row may hold fewer cells than ColCount; the missing
// ones are empty. Rows are values, so reordering rows moves no text bytes.
using TGridRow = std::vector<TGridCell>;

class TStringGrid;
using TNotifyEvent = std::function<void(TStringGrid* Sender)>;
using TSelectCellEvent = std::function<void(TStringGrid* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent =
    std::function<void(TStringGrid* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TMovedEvent = std::function<void(TStringGrid* Sender, int FromIndex, int ToIndex)>;

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    // --- Shape
    int RowCount() const { return static_cast<int>(rows_.size()); }
    void SetRowCount(int value);
    int ColCount() const { return static_cast<int>(colWidths_.size()); }
    void SetColCount(int value);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int value);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int value);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int value);
    int ColWidths(int index) const;
    void SetColWidths(int index, int value);
    int RowHeights(int index) const;
    void SetRowHeights(int index, int value);
    static constexpr int GridLineWidth() { return 1; }
    // A column that takes the grid's spare width: it is as wide as the last
    // width given to it (by SetColWidths, the user's drag or a fit) or, when
    // the columns leave room in the viewport, wide enough to fill it. -1
    // (the default): no column stretches.
    int StretchCol() const { return stretchCol_; }
    void SetStretchCol(int ACol);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool value);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& value);

    // --- Cells. Reading outside the grid gives an empty text and no object;
    // writing outside the grid raises EGridIndexError.
    const std::string& Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& value);
    void* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, void* value);
    // Empties every cell of a row or a column (texts and objects).
    void ClearRow(int ARow);
    void ClearColumn(int ACol);
    // The data rows (below the heading rows), copied.
    std::vector<TGridRow> DataRows() const;

    // --- Current cell, selection, scrolling
    // The current cell is always a data cell: a heading index makes the
    // first data column (row) current, and a record moved into the headings
    // leaves the current cell on the first data row.
    int Col() const { return current_.X; }
    void SetCol(int value);
    int Row() const { return current_.Y; }
    void SetRow(int value);
    TGridRect Selection() const;
    // Anchors the selection at its top left cell and makes its bottom right
    // cell current.
    void SetSelection(const TGridRect& value);
    int TopRow() const { return topRow_; }
    void SetTopRow(int value);
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int value);
    // Fully visible non-fixed rows and columns from TopRow / LeftCol on.
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // The cell under a point of the viewport; -1 for a coordinate outside
    // every column or row.
    TGridCoord MouseCoord(int X, int Y) const;
    // The cell's rectangle in the viewport; empty when it is scrolled away.
    TRect CellRect(int ACol, int ARow) const;
    TGridState GridState() const { return gridState_; }
    // The grid or its in-place editor has the input focus now (false while
    // the application is inactive).
    bool Focused() const;

    // --- In-place editor
    bool EditorMode() const { return editorMode_; }
    void SetEditorMode(bool value);
    QLineEdit* InplaceEditor() const { return editor_; }

    // --- Scroll-bar thumbs, after the platform's scroll-information pair.
    bool GetScrollInfo(int bar, TScrollInfo& info) const;
    int SetScrollInfo(int bar, const TScrollInfo& info, bool redraw);

    // --- Drawing surface. Tests may put in a recording surface.
    TCanvas& Canvas() { return *canvas_; }
    void ReplaceCanvas(std::unique_ptr<TCanvas> canvas);

    // Draws one cell (called for every visible cell while painting; the
    // canvas already carries the colours for the cell's state).
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);
    // The cell-selection check; raises OnSelectCell.
    virtual bool SelectCell(int ACol, int ARow);

    // --- Events
    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnClick;
    TDrawCellEvent OnDrawCell;
    TMovedEvent OnRowMoved;
    TMovedEvent OnColumnMoved;

protected:
    // --- Notification hooks; each base version does the grid's own work.
    virtual void Resize() {}
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void KeyDown(int& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // The current cell changed (or a move was asked for); raises OnClick.
    virtual void Click();
    virtual void DoEnter() {}
    virtual void DoExit() {}
    // The in-place editor stores a cell's text through this hook.
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    // A double click on a heading's right edge (the one the user drags to
    // size column ACol); the base does nothing.
    virtual void ColumnEdgeDblClick(int ACol);

    // --- Base operations
    // Moves a row (texts, objects, height) and adjusts the current cell and
    // the anchor so they stay on their rows; raises RowMoved.
    void MoveRow(int FromIndex, int ToIndex);
    void MoveColumn(int FromIndex, int ToIndex);
    // Moves the row to the end and drops it. A current cell on the deleted
    // row stays at the same index (clamped), on the row that followed.
    void DeleteRow(int ARow);
    void DeleteColumn(int ACol);
    // Makes a cell current (if the cell check allows), scrolls it into view,
    // then notifies Click.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    bool MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void ShowEditor();
    void HideEditor();
    // Reloads the editor's text from its cell after the cell was written.
    void RefreshEditor();
    void InvalidateGrid();
    // Direct access to the row storage, for whole-row reordering.
    std::vector<TGridRow>& RowStore() { return rows_; }
    // Puts `rows` in place of every data row at once, default heights, the
    // current row kept at its index where it still exists (clamped), the
    // selection reduced to it; no rows leave one empty data row. For a
    // listing that shows another subset of many rows at every key stroke,
    // where a cell at a time would be too slow.
    void ReplaceDataRows(std::vector<TGridRow> rows);
    // Changes whenever rows move or their number (or the number of heading
    // rows) changes, so an operation that runs callers' code in between can
    // tell that its row indexes went stale.
    std::uint64_t RowRevision() const { return rowRevision_; }

    // --- Qt events
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CheckRow(int ARow) const;
    void CheckCol(int ACol) const;
    int FixedHeight() const;
    int FixedWidth() const;
    int MaxTopRow() const;
    int MaxLeftCol() const;
    void ClampInView(int ACol, int ARow);
    void UpdateScrollRange();
    void UpdateScrollPos();
    void OnScrollAction(Qt::Orientation orientation, int action);
    void OnSliderReleased(Qt::Orientation orientation);
    void ApplyScrollPolicy();
    void PaintGridLines(QPainter& painter, int ACol, int ARow, const TRect& rect);
    void UpdateEditorGeometry();
    void EditorTextEdited(const QString& text);
    void FocusEntered();
    void FocusLeft(Qt::FocusReason reason);
    bool InGrid(const QWidget* w) const;
    TGridDrawState StateOf(int ACol, int ARow) const;
    int ColumnBorderAt(int X, int Y) const;
    // Gives the stretching column its width; true when that changed it.
    bool ApplyStretch();

    std::vector<TGridRow> rows_;
    std::uint64_t rowRevision_ = 0;
    std::vector<int> rowHeights_;
    std::vector<int> colWidths_;
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    bool defaultDrawing_ = true;
    TScrollStyle scrollBars_ = ssBoth;
    TFont font_;
    TGridCoord current_{1, 1};
    TGridCoord anchor_{1, 1};
    int topRow_ = 1;
    int leftCol_ = 1;
    TGridState gridState_ = gsNormal;
    // Focus is inside the grid as far as entering and leaving go: switching
    // to another application and back neither leaves nor enters.
    bool focusWithin_ = false;
    std::unique_ptr<TCanvas> canvas_;
    // What wheel and touchpad events left over below a whole step, by kind
    // and direction.
    enum { kWheelAngleY, kWheelAngleX, kWheelPixelsY, kWheelPixelsX };
    std::array<int, 4> wheelRest_{};
    std::uint32_t vertPage_ = 0;
    std::uint32_t horzPage_ = 0;
    int stretchCol_ = -1;
    int stretchBase_ = 0;
    int sizingCol_ = -1;
    int sizingOrigin_ = 0;
    QLineEdit* editor_ = nullptr;
    bool editorMode_ = false;
    int editorCol_ = -1;
    int editorRow_ = -1;
    bool editorCp437_ = false;
    std::string editorOriginal_;
};

}  // namespace grid
