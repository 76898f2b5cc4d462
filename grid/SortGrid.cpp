// TSortGrid: construction, properties, sorting and undo, the header click,
// cell drawing, scroll thumbs and the cell check. Row and column operations,
// search and the text file live in SortGridOperations.cpp.
#include "grid/SortGrid.h"

#include <QApplication>
#include <cmath>
#include <stdexcept>

#include "grid/SortOrder.h"

namespace grid {

TSortGrid::TSortGrid(QWidget* parent) : TStringGrid(parent) { RememberCell(); }

TSortGrid::~TSortGrid() { FSortedList.Reset(); }

// ---------------------------------------------------------------------------
// Properties

void TSortGrid::SetAlignmentHorz(TAlignment value) {
    FAlignmentHorz = value;
    InvalidateGrid();
}

void TSortGrid::SetAlignmentVert(TVertAlignment value) {
    FAlignmentVert = value;
    InvalidateGrid();
}

void TSortGrid::SetBevelStyle(TCellBevelStyle value) {
    FBevelStyle = value;
    InvalidateGrid();
}

void TSortGrid::SetProportionalScrollBars(bool value) {
    FProportionalScrollBars = value;
    UpdateScrollBars();
}

// ---------------------------------------------------------------------------
// Sorting

TSortStyle TSortGrid::DetectSortStyle(int ACol) {
    std::vector<const std::string*> texts;
    texts.reserve(static_cast<std::size_t>(std::max(0, RowCount() - FixedRows())));
    for (int r = FixedRows(); r < RowCount(); ++r) texts.push_back(&Cells(ACol, r));
    return DetectStyle(texts);
}

namespace {

// Marks the comparisons of a sort as running, also when one fails.
struct ComparingScope {
    bool& flag;
    explicit ComparingScope(bool& f) : flag(f) { flag = true; }
    ~ComparingScope() { flag = false; }
};

}  // namespace

void TSortGrid::RefuseWhileComparing() const {
    // The sort's entries name rows by their places before the sort; undoing
    // or sorting the grid again from inside a comparison would move rows
    // under it.
    if (comparing_) throw std::logic_error("The grid was sorted or unsorted by its own sort comparison");
}

void TSortGrid::SortRows(int ACol, const TSortOptions& SortOptions) {
    RefuseWhileComparing();
    FSortedList.Reset();
    const int fixedRows = FixedRows();
    const int rowCount = RowCount();
    // Sorted apart from the list, which stays empty until the rows have
    // moved: there is never a half-sorted list to undo.
    std::vector<TSortedListEntry> entries;
    entries.reserve(static_cast<std::size_t>(rowCount - fixedRows));
    for (int r = fixedRows; r < rowCount; ++r) entries.push_back({Cells(ACol, r), r});
    const std::uint64_t revision = RowRevision();
    {
        ComparingScope comparing(comparing_);
        SortEntries(entries, SortOptions);
    }
    // A comparison function that moved, added or removed rows leaves entries
    // that no longer name the grid's rows; moving rows by them would lose or
    // scramble some.
    if (RowRevision() != revision) throw std::logic_error("The grid changed while its rows were being sorted");

    // Reorder through a scratch copy of the data rows; moving a row's cells
    // carries every text and object with it.
    std::vector<TGridRow>& rows = RowStore();
    std::vector<TGridRow> scratch(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        scratch[i] = std::move(rows[static_cast<std::size_t>(entries[i].RowIndex)]);
    for (std::size_t i = 0; i < scratch.size(); ++i)
        rows[static_cast<std::size_t>(fixedRows) + i] = std::move(scratch[i]);

    // Where each old row now stands, so the remembered cell and the current
    // cell follow their records.
    std::vector<int> newIndex(static_cast<std::size_t>(rowCount), -1);
    for (std::size_t i = 0; i < entries.size(); ++i)
        newIndex[static_cast<std::size_t>(entries[i].RowIndex)] = fixedRows + static_cast<int>(i);
    FSortedList.Items() = std::move(entries);
    if (SavedRow >= fixedRows && SavedRow < rowCount) SavedRow = newIndex[static_cast<std::size_t>(SavedRow)];
    InvalidateGrid();

    const int current = Row();
    if (current >= fixedRows && current < rowCount) MoveToCell(Col(), newIndex[static_cast<std::size_t>(current)]);
}

void TSortGrid::SortByColumn(int ACol, const TSortOptions& SortOptions) {
    RefuseWhileComparing();
    if (EditorMode() || FixedRows() + 1 >= RowCount()) return;
    TSortOptions options = SortOptions;
    if (options.SortStyle == ssAutomatic) options.SortStyle = DetectSortStyle(ACol);
    if (OnBeginSort) OnBeginSort(this, ACol, options);
    SortRows(ACol, options);
    if (OnEndSort) OnEndSort(this, ACol);
}

void TSortGrid::MoveToCell(int ACol, int ARow) {
    if (ACol < FixedCols()) ACol = FixedCols();
    if (ARow < FixedRows()) ARow = FixedRows();
    if (!SelectCell(ACol, ARow)) return;
    SetCol(ACol);
    SetRow(ARow);
    MoveCurrent(ACol, ARow, true, true);
}

bool TSortGrid::CanUndoSort() {
    const int fixedRows = FixedRows();
    bool ok = FSortedList.Count() == RowCount() - fixedRows;
    // The entries must still name the data rows (a changed FixedRows with a
    // matching count would otherwise make the undo lose or duplicate rows).
    if (ok)
        for (const TSortedListEntry& e : FSortedList.Items())
            if (e.RowIndex < fixedRows || e.RowIndex >= RowCount()) {
                ok = false;
                break;
            }
    if (!ok) FSortedList.Reset();
    return ok;
}

void TSortGrid::UndoSort() {
    RefuseWhileComparing();
    if (!CanUndoSort()) return;
    const int fixedRows = FixedRows();
    std::vector<TSortedListEntry>& entries = FSortedList.Items();
    std::vector<TGridRow>& rows = RowStore();
    std::vector<TGridRow> scratch(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        scratch[i] = std::move(rows[static_cast<std::size_t>(fixedRows) + i]);
    for (std::size_t i = 0; i < entries.size(); ++i)
        rows[static_cast<std::size_t>(entries[i].RowIndex)] = std::move(scratch[i]);
    if (SavedRow >= fixedRows && SavedRow < RowCount())
        SavedRow = entries[static_cast<std::size_t>(SavedRow - fixedRows)].RowIndex;
    InvalidateGrid();
    // The current record goes back with its row; a current cell outside the
    // sorted rows has no entry to follow.
    const int at = Row() - fixedRows;
    const bool follow = at >= 0 && at < static_cast<int>(entries.size());
    const int back = follow ? entries[static_cast<std::size_t>(at)].RowIndex : -1;
    FSortedList.Reset();
    if (follow) MoveToCell(Col(), back);
}

// ---------------------------------------------------------------------------
// Header click

void TSortGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Focused() && FClickSorting && GridState() == gsNormal && FixedRows() >= 1 && Shift == 0) {
        const TGridCoord cell = MouseCoord(X, Y);
        if (cell.Y >= 0 && cell.Y <= FixedRows() - 1 && cell.X >= 0) {
            TSortOptions options;
            options.SortStyle = ssAutomatic;
            options.SortDirection = Button == mbRight ? sdDescending : sdAscending;
            options.SortCaseSensitive = FCaseSensitive;
            options.SortCompare = nullptr;
            if (OnClickSort) OnClickSort(this, cell.X, cell.Y, options);
            QApplication::setOverrideCursor(Qt::WaitCursor);
            struct RestoreCursor {
                ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
            } restore;
            SortByColumn(cell.X, options);
        }
    }
    TStringGrid::MouseUp(Button, Shift, X, Y);
}

void TSortGrid::SetDataRows(std::vector<TGridRow> rows) {
    RefuseWhileComparing();
    // The undo list and a remembered cell name rows that are gone.
    FSortedList.Reset();
    ReplaceDataRows(std::move(rows));
    RememberCell();
}

std::vector<TGridRow> TSortGrid::TakeDataRows() {
    RefuseWhileComparing();
    std::vector<TGridRow>& store = RowStore();
    std::vector<TGridRow> rows(std::make_move_iterator(store.begin() + FixedRows()),
                               std::make_move_iterator(store.end()));
    SetDataRows({});
    return rows;
}

// ---------------------------------------------------------------------------
// Drawing

TFormatOptions TSortGrid::InitialFormat() {
    TFormatOptions format;
    format.Brush = &Canvas().Brush;
    format.Font = &Canvas().Font;
    format.AlignmentHorz = FAlignmentHorz;
    format.AlignmentVert = FAlignmentVert;
    format.Bevel.Style = FBevelStyle;
    switch (FBevelStyle) {
    case cbRaised:
        format.Bevel.UpperLeftColor = clBtnHighlight;
        format.Bevel.LowerRightColor = clBtnShadow;
        break;
    case cbLowered:
        format.Bevel.UpperLeftColor = clBtnShadow;
        format.Bevel.LowerRightColor = clBtnHighlight;
        break;
    default:
        format.Bevel.UpperLeftColor = clWindow;
        format.Bevel.LowerRightColor = clWindow;
        break;
    }
    format.HideText = false;
    return format;
}

void TSortGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TFormatOptions format = InitialFormat();
    if (OnGetCellFormat) OnGetCellFormat(this, ACol, ARow, AState, format);
    if (!DefaultDrawing()) {
        TStringGrid::DrawCell(ACol, ARow, ARect, AState);
        return;
    }
    TCanvas& canvas = Canvas();
    const std::string& text = Cells(ACol, ARow);
    const int w = ARect.Width(), h = ARect.Height();
    int x, y;
    switch (format.AlignmentHorz) {
    case taRightJustify: x = w - canvas.TextWidth(text) - 2; break;
    case taCenter: x = (w - canvas.TextWidth(text)) / 2; break;
    default: x = 2; break;
    }
    switch (format.AlignmentVert) {
    case taBottomJustify: y = h - canvas.TextHeight(text) - 3; break;
    case taMiddle: y = (h - canvas.TextHeight(text)) / 2; break;
    default: y = 2; break;
    }
    static const std::string kNothing;
    canvas.TextRect(ARect, ARect.Left + x, ARect.Top + y, format.HideText ? kNothing : text);

    if (format.Bevel.Style != cbNone && ACol >= FixedCols() && ARow >= FixedRows()) {
        const bool vert = Options() & goFixedVertLine;
        const bool horz = Options() & goFixedHorzLine;
        const int L = ARect.Left, T = ARect.Top, R = ARect.Right, B = ARect.Bottom;
        if (vert) {
            canvas.Pen.Color = format.Bevel.LowerRightColor;
            canvas.MoveTo(R - 1, T);
            canvas.LineTo(R - 1, B);
        }
        if (horz) {
            canvas.Pen.Color = format.Bevel.LowerRightColor;
            canvas.MoveTo(L, B - 1);
            canvas.LineTo(R, B - 1);
        }
        if (vert) {
            canvas.Pen.Color = format.Bevel.UpperLeftColor;
            canvas.MoveTo(L, T);
            canvas.LineTo(L, B);
        }
        if (horz) {
            canvas.Pen.Color = format.Bevel.UpperLeftColor;
            canvas.MoveTo(L, T);
            canvas.LineTo(R, T);
        }
    }
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TSortGrid::SelectCell(int ACol, int ARow) { return TStringGrid::SelectCell(ACol, ARow); }

// ---------------------------------------------------------------------------
// Scroll thumbs

void TSortGrid::UpdateScrollBar(int bar, int visible, int fixed, int count) {
    TScrollInfo info;
    info.cbSize = sizeof(TScrollInfo);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    GetScrollInfo(bar, info);
    TScrollInfo page;
    page.cbSize = sizeof(TScrollInfo);
    page.fMask = SIF_PAGE;
    if (FProportionalScrollBars) {
        const double share = (visible + fixed) * 1.0 / count;
        const double pages = std::nearbyint(share * (info.nMax - info.nMin + 1));  // halves to even
        page.nPage = static_cast<std::uint32_t>(std::max(1.0, pages));
    } else {
        page.nPage = 0;
    }
    SetScrollInfo(bar, page, true);
}

void TSortGrid::UpdateScrollBars() {
    if (ScrollBars() == ssVertical || ScrollBars() == ssBoth)
        UpdateScrollBar(SB_VERT, VisibleRowCount(), FixedRows(), RowCount());
    if (ScrollBars() == ssHorizontal || ScrollBars() == ssBoth)
        UpdateScrollBar(SB_HORZ, VisibleColCount(), FixedCols(), ColCount());
}

void TSortGrid::Resize() {
    TStringGrid::Resize();
    UpdateScrollBars();
}

void TSortGrid::ColWidthsChanged() {
    TStringGrid::ColWidthsChanged();
    if (OnColumnWidthsChanged) OnColumnWidthsChanged(this);
    UpdateScrollBars();
}

void TSortGrid::RowHeightsChanged() {
    TStringGrid::RowHeightsChanged();
    if (OnRowHeightsChanged) OnRowHeightsChanged(this);
    UpdateScrollBars();
}

void TSortGrid::SizeChanged(int OldColCount, int OldRowCount) {
    TStringGrid::SizeChanged(OldColCount, OldRowCount);
    // A remembered cell that fell off the grid has no record left to check.
    if (SavedRow >= RowCount()) SavedRow = -1;
    if (SavedCol >= ColCount()) SavedCol = -1;
    if (OnSizeChanged) OnSizeChanged(this, OldColCount, OldRowCount);
    UpdateScrollBars();
}

// ---------------------------------------------------------------------------
// Cell check

void TSortGrid::RememberCell() {
    SavedCol = Col();
    SavedRow = Row();
    SavedText = Cells(SavedCol, SavedRow);
    SavedModified = Modified;
}

void TSortGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (Value != Cells(ACol, ARow)) Modified = true;
    TStringGrid::SetEditText(ACol, ARow, Value);
}

void TSortGrid::ValidateCell() {
    if (validating_) return;
    struct Guard {
        bool& flag;
        explicit Guard(bool& f) : flag(f) { flag = true; }
        ~Guard() { flag = false; }
    } guard(validating_);
    if (SavedCol < 0 || SavedRow < 0 || SavedCol >= ColCount() || SavedRow >= RowCount()) {
        RememberCell();
        return;
    }
    const int col = SavedCol, row = SavedRow;
    const std::string current = Cells(col, row);
    if (current != SavedText) {
        std::string value = current;
        bool valid = true;
        if (OnCellValidate) OnCellValidate(this, col, row, value, valid);
        // The handler may have reshaped the grid; write only into a cell
        // that still exists.
        const bool inGrid = col < ColCount() && row < RowCount();
        if (valid) {
            if (inGrid && value != Cells(col, row)) SetCells(col, row, value);
        } else {
            if (inGrid) {
                if (value != Cells(col, row)) SetCells(col, row, value);
                else SetCells(col, row, SavedText);
            }
            Modified = SavedModified;
        }
        RefreshEditor();
    }
    RememberCell();
}

void TSortGrid::RowMoved(int FromIndex, int ToIndex) {
    AdjustMovedIndex(SavedRow, FromIndex, ToIndex);
    TStringGrid::RowMoved(FromIndex, ToIndex);
}

void TSortGrid::ColumnMoved(int FromIndex, int ToIndex) {
    AdjustMovedIndex(SavedCol, FromIndex, ToIndex);
    TStringGrid::ColumnMoved(FromIndex, ToIndex);
}

void TSortGrid::ColumnEdgeDblClick(int ACol) {
    if (OnFitColumn) OnFitColumn(this, ACol);
    else AutoSizeColumn(ACol);
}

void TSortGrid::DoEnter() {
    try {
        TStringGrid::DoEnter();
    } catch (...) {
        InCell = true;
        RememberCell();
        throw;
    }
    InCell = true;
    RememberCell();
}

void TSortGrid::Click() {
    try {
        TStringGrid::Click();
    } catch (...) {
        if (InCell) ValidateCell();
        throw;
    }
    if (InCell) ValidateCell();
}

void TSortGrid::KeyPress(char& Key) {
    if (Key == '\r') ValidateCell();
    TStringGrid::KeyPress(Key);
}

void TSortGrid::DoExit() {
    try {
        Click();
    } catch (...) {
        TStringGrid::DoExit();
        InCell = false;
        throw;
    }
    TStringGrid::DoExit();
    InCell = false;
}

}  // namespace grid
