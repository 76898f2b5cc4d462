// TSortGrid: the archive listing's grid. A TStringGrid whose data rows sort
// by one column (text, number, date-and-time or time order, chosen from the
// column's contents; stable in both directions; undoable one level), sorted
// by a click on a heading (left ascending, right descending); cells formatted
// through an event (alignment, bevel, colours, fonts, hidden text); scroll
// thumbs sized to the visible share of the rows; each edited cell checked
// when the user moves on; and row and column operations, column auto-sizing,
// search and a delimited text file format.
//
// Promises: fixed rows never move in a sort; every cell of a row travels
// with it, text and object; the row that was current stays current; a
// pending cell check always refers to the record it was taken from, also
// across sorts, undos and row or column moves, so a remembered text is never
// written into another row. Failures (a custom comparison's, a file's, a
// grid index's) propagate to the caller; conversion failures inside a sort
// are no failures.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "grid/SortTypes.h"
#include "grid/StringGrid.h"

namespace grid {

enum TCellBevelStyle : std::uint8_t { cbNone = 0, cbRaised = 1, cbLowered = 2 };

// Mind the order: bottom is 1, middle is 2.
enum TVertAlignment : std::uint8_t { taTopJustify = 0, taBottomJustify = 1, taMiddle = 2 };

struct TCellBevel {
    TCellBevelStyle Style = cbNone;
    TColor UpperLeftColor = clWindow;
    TColor LowerRightColor = clWindow;
};

// A cell's format. Brush and Font point at the drawing surface's own objects:
// a handler changes the cell's look by changing them. Pointing them at other
// objects has no effect on drawing (AutoSizeColumn does measure with a
// replaced font).
struct TFormatOptions {
    TBrush* Brush = nullptr;
    TFont* Font = nullptr;
    TAlignment AlignmentHorz = taLeftJustify;
    TVertAlignment AlignmentVert = taTopJustify;
    TCellBevel Bevel;
    bool HideText = false;
};

// A file that cannot be opened, created or written.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSortGrid;
using TFormatDrawCellEvent =
    std::function<void(TSortGrid* Sender, int Col, int Row, TGridDrawState State, TFormatOptions& FormatOptions)>;
using TClickSortEvent = std::function<void(TSortGrid* Sender, int Col, int Row, TSortOptions& SortOptions)>;
using TUpdateGridEvent = std::function<void(TSortGrid* Sender, int Index)>;
using TSizeChangedEvent = std::function<void(TSortGrid* Sender, int OldColCount, int OldRowCount)>;
using TBeginSortEvent = std::function<void(TSortGrid* Sender, int Col, TSortOptions& SortOptions)>;
using TEndSortEvent = std::function<void(TSortGrid* Sender, int Col)>;
using TCellValidateEvent =
    std::function<void(TSortGrid* Sender, int Col, int Row, std::string& Value, bool& Valid)>;

class TSortGrid : public TStringGrid {
    Q_OBJECT

public:
    explicit TSortGrid(QWidget* parent = nullptr);
    ~TSortGrid() override;

    // --- Sorting, checking and row and column operations, in this order.
    // Reorders the data rows by column ACol; no checks, detection or events.
    virtual void SortRows(int ACol, const TSortOptions& SortOptions);
    virtual TSortStyle DetectSortStyle(int ACol);
    virtual void UpdateScrollBars();
    virtual void RememberCell();
    virtual void MoveToCell(int ACol, int ARow);
    virtual void ClearCells();
    // An index among the headings inserts at the first data row (column):
    // headings never move into the data.
    virtual void InsertRow(int ARow);
    virtual void InsertColumn(int ACol);
    virtual void DeleteRow(int ARow);
    virtual void DeleteColumn(int ACol);
    virtual void MoveRow(int FromIndex, int ToIndex);
    virtual void MoveColumn(int FromIndex, int ToIndex);
    virtual void SwapRows(int Index1, int Index2);
    virtual void SwapColumns(int Index1, int Index2);
    virtual void AutoSizeColumn(int ACol);
    virtual void AutoSizeColumns(bool IncludeFixed, int Extra);
    // The public sort: detects an automatic style, raises OnBeginSort and
    // OnEndSort. Does nothing while the editor is open or with fewer than two
    // data rows. The caller's record is never changed. A custom comparison
    // that sorts or unsorts this grid, or moves, adds or removes its rows,
    // fails the sort with std::logic_error before any row moves.
    virtual void SortByColumn(int ACol, const TSortOptions& SortOptions);
    virtual bool FindCell(const std::string& S, int& ACol, int& ARow);
    // Reads the whole file before touching a cell: a file that cannot be
    // read raises EFileError and leaves the grid as it was.
    virtual void LoadFromFile(const std::string& FileName, char Delimiter);
    // Writes beside the old file and replaces it only when complete: a
    // failure raises EFileError and leaves the old file (and no temporary).
    virtual void SaveToFile(const std::string& FileName, char Delimiter);
    virtual bool CanUndoSort();
    virtual void UndoSort();
    virtual void ValidateCell();

    // --- Published properties
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value) { FCaseSensitive = value; }
    TAlignment AlignmentHorz() const { return FAlignmentHorz; }
    void SetAlignmentHorz(TAlignment value);
    TVertAlignment AlignmentVert() const { return FAlignmentVert; }
    void SetAlignmentVert(TVertAlignment value);
    bool ClickSorting() const { return FClickSorting; }
    void SetClickSorting(bool value) { FClickSorting = value; }
    TCellBevelStyle BevelStyle() const { return FBevelStyle; }
    void SetBevelStyle(TCellBevelStyle value);
    bool ProportionalScrollBars() const { return FProportionalScrollBars; }
    void SetProportionalScrollBars(bool value);
    bool ExtendedKeys() const { return FExtendedKeys; }
    void SetExtendedKeys(bool value) { FExtendedKeys = value; }

    // Whether the in-place editor changed a cell's text since the last
    // ClearCells (or since a failed check put the flag back).
    bool IsModified() const { return Modified; }
    const TSortedList& SortedList() const { return FSortedList; }

    // The format record a cell starts from, before OnGetCellFormat.
    TFormatOptions InitialFormat();

    // Every data row replaced at once (see TStringGrid::ReplaceDataRows);
    // the last sort can no longer be undone and no cell check is pending.
    void SetDataRows(std::vector<TGridRow> rows);
    // The data rows moved out, leaving one empty data row.
    std::vector<TGridRow> TakeDataRows();

    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool SelectCell(int ACol, int ARow) override;

    // --- Events
    TFormatDrawCellEvent OnGetCellFormat;
    TClickSortEvent OnClickSort;
    TUpdateGridEvent OnRowInsert;
    TUpdateGridEvent OnRowDelete;
    TUpdateGridEvent OnColumnInsert;
    TUpdateGridEvent OnColumnDelete;
    TNotifyEvent OnColumnWidthsChanged;
    TNotifyEvent OnRowHeightsChanged;
    TSizeChangedEvent OnSizeChanged;
    TBeginSortEvent OnBeginSort;
    TEndSortEvent OnEndSort;
    TCellValidateEvent OnCellValidate;
    // A double click on a heading's right edge: the handler sizes the column
    // to its contents; unassigned, AutoSizeColumn does.
    TUpdateGridEvent OnFitColumn;

protected:
    void Resize() override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    void Click() override;
    void DoEnter() override;
    void DoExit() override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void ColumnEdgeDblClick(int ACol) override;

    bool FCaseSensitive = false;
    TSortedList FSortedList;
    TAlignment FAlignmentHorz = taLeftJustify;
    TVertAlignment FAlignmentVert = taTopJustify;
    bool FClickSorting = true;
    TCellBevelStyle FBevelStyle = cbNone;
    bool FProportionalScrollBars = true;
    bool FExtendedKeys = false;
    bool Modified = false;
    std::string SavedText;
    int SavedCol = 0;
    int SavedRow = 0;
    bool SavedModified = false;
    bool InCell = false;

private:
    void UpdateScrollBar(int bar, int visible, int fixed, int count);
    // Throws std::logic_error while a sort's comparisons run.
    void RefuseWhileComparing() const;
    // A sort's comparisons are running: the grid may not be sorted or
    // unsorted from inside them.
    bool comparing_ = false;
    // A check in progress: a handler that moves the current cell must not
    // start the same check again (it would never end).
    bool validating_ = false;
    template <typename Op>
    void WithoutAlwaysShowEditor(Op op);
};

}  // namespace grid
