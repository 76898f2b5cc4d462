// TStringGrid: construction, shape, cells, the current cell and selection,
// notifications, and moving and deleting rows and columns. Geometry,
// scrolling and painting are in StringGridView.cpp; mouse, keyboard, focus
// and the in-place editor in StringGridInput.cpp.
#include "grid/StringGrid.h"

#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>

#include "grid/StringGridInternal.h"

namespace grid {

using detail::kDefaultThumbPage;

namespace {

const std::string kEmpty;

template <typename T>
void MoveEntry(std::vector<T>& v, int from, int to) {
    if (from < to) std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

}  // namespace

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent), canvas_(std::make_unique<TCanvas>()) {
    rows_.resize(5);
    rowHeights_.assign(5, defaultRowHeight_);
    colWidths_.assign(5, defaultColWidth_);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::NoFrame);
    canvas_->Font = font_;
    for (Qt::Orientation o : {Qt::Vertical, Qt::Horizontal}) {
        QScrollBar* bar = o == Qt::Vertical ? verticalScrollBar() : horizontalScrollBar();
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->setPageStep(kDefaultThumbPage);
        connect(bar, &QScrollBar::actionTriggered, this, [this, o](int action) { OnScrollAction(o, action); });
        connect(bar, &QScrollBar::sliderReleased, this, [this, o] { OnSliderReleased(o); });
    }
    editor_ = new QLineEdit(viewport());
    editor_->setFrame(false);
    editor_->hide();
    editor_->installEventFilter(this);
    connect(editor_, &QLineEdit::textEdited, this, [this](const QString& t) { EditorTextEdited(t); });
    ApplyScrollPolicy();
    UpdateScrollRange();
}

TStringGrid::~TStringGrid() {
    // The editor goes first, while this grid can still take its last focus
    // events; later the base classes would delete it under a half-gone grid.
    editor_->removeEventFilter(this);
    delete editor_;
    editor_ = nullptr;
    editorMode_ = false;
}

// ---------------------------------------------------------------------------
// Shape

void TStringGrid::CheckRow(int ARow) const {
    if (ARow < 0 || ARow >= RowCount()) throw EGridIndexError();
}

void TStringGrid::CheckCol(int ACol) const {
    if (ACol < 0 || ACol >= ColCount()) throw EGridIndexError();
}

void TStringGrid::SetRowCount(int value) {
    value = std::max(1, value);
    const int oldRows = RowCount();
    if (value == oldRows) return;
    if (value < oldRows && editorMode_ && editorRow_ >= value) HideEditor();
    ++rowRevision_;
    rows_.resize(static_cast<std::size_t>(value));
    rowHeights_.resize(static_cast<std::size_t>(value), defaultRowHeight_);
    if (fixedRows_ >= value) fixedRows_ = value - 1;
    current_.Y = std::clamp(current_.Y, fixedRows_, value - 1);
    anchor_.Y = std::clamp(anchor_.Y, fixedRows_, value - 1);
    topRow_ = std::max(topRow_, fixedRows_);
    UpdateScrollRange();
    InvalidateGrid();
    SizeChanged(ColCount(), oldRows);
}

void TStringGrid::SetColCount(int value) {
    value = std::max(1, value);
    const int oldCols = ColCount();
    if (value == oldCols) return;
    if (value < oldCols && editorMode_ && editorCol_ >= value) HideEditor();
    colWidths_.resize(static_cast<std::size_t>(value), defaultColWidth_);
    if (value < oldCols)
        for (TGridRow& row : rows_)
            if (row.size() > static_cast<std::size_t>(value)) row.resize(static_cast<std::size_t>(value));
    if (fixedCols_ >= value) fixedCols_ = value - 1;
    if (stretchCol_ >= value) stretchCol_ = -1;
    current_.X = std::clamp(current_.X, fixedCols_, value - 1);
    anchor_.X = std::clamp(anchor_.X, fixedCols_, value - 1);
    leftCol_ = std::max(leftCol_, fixedCols_);
    ApplyStretch();
    UpdateScrollRange();
    InvalidateGrid();
    SizeChanged(oldCols, RowCount());
}

void TStringGrid::SetFixedRows(int value) {
    if (value < 0 || value >= RowCount())
        throw std::invalid_argument("Fixed row count must be less than row count");
    if (value != fixedRows_) ++rowRevision_;
    fixedRows_ = value;
    current_.Y = std::max(current_.Y, value);
    anchor_.Y = std::max(anchor_.Y, value);
    topRow_ = value;
    UpdateScrollRange();
    InvalidateGrid();
}

void TStringGrid::SetFixedCols(int value) {
    if (value < 0 || value >= ColCount())
        throw std::invalid_argument("Fixed column count must be less than column count");
    fixedCols_ = value;
    current_.X = std::max(current_.X, value);
    anchor_.X = std::max(anchor_.X, value);
    leftCol_ = value;
    UpdateScrollRange();
    InvalidateGrid();
}

void TStringGrid::SetDefaultColWidth(int value) {
    defaultColWidth_ = std::max(0, value);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    stretchBase_ = defaultColWidth_;
    ApplyStretch();
    UpdateScrollRange();
    InvalidateGrid();
    ColWidthsChanged();
}

void TStringGrid::SetDefaultRowHeight(int value) {
    defaultRowHeight_ = std::max(0, value);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    UpdateScrollRange();
    InvalidateGrid();
    RowHeightsChanged();
}

int TStringGrid::ColWidths(int index) const {
    CheckCol(index);
    return colWidths_[static_cast<std::size_t>(index)];
}

void TStringGrid::SetColWidths(int index, int value) {
    CheckCol(index);
    colWidths_[static_cast<std::size_t>(index)] = std::max(0, value);
    if (index == stretchCol_) stretchBase_ = std::max(0, value);
    ApplyStretch();
    UpdateScrollRange();
    UpdateEditorGeometry();
    InvalidateGrid();
    ColWidthsChanged();
}

void TStringGrid::SetStretchCol(int ACol) {
    if (ACol != -1) CheckCol(ACol);
    stretchCol_ = ACol;
    if (ACol < 0) return;
    stretchBase_ = colWidths_[static_cast<std::size_t>(ACol)];
    if (!ApplyStretch()) return;
    UpdateScrollRange();
    UpdateEditorGeometry();
    InvalidateGrid();
    ColWidthsChanged();
}

bool TStringGrid::ApplyStretch() {
    if (stretchCol_ < 0 || stretchCol_ >= ColCount()) return false;
    // The columns fit when their widths and lines add up to the viewport's
    // width; the stretching column takes whatever the others leave.
    int others = 0;
    for (int c = 0; c < ColCount(); ++c)
        if (c != stretchCol_) others += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
    const int width = std::max(stretchBase_, viewport()->width() - others - GridLineWidth());
    int& now = colWidths_[static_cast<std::size_t>(stretchCol_)];
    if (now == width) return false;
    now = width;
    return true;
}

int TStringGrid::RowHeights(int index) const {
    CheckRow(index);
    return rowHeights_[static_cast<std::size_t>(index)];
}

void TStringGrid::SetRowHeights(int index, int value) {
    CheckRow(index);
    rowHeights_[static_cast<std::size_t>(index)] = std::max(0, value);
    UpdateScrollRange();
    UpdateEditorGeometry();
    InvalidateGrid();
    RowHeightsChanged();
}

void TStringGrid::SetOptions(TGridOptions value) {
    const TGridOptions old = options_;
    options_ = value;
    if (!(value & goEditing)) HideEditor();
    else if ((value & goAlwaysShowEditor) && !(old & goAlwaysShowEditor) && Focused()) ShowEditor();
    else if (!(value & goAlwaysShowEditor) && (old & goAlwaysShowEditor)) HideEditor();
    InvalidateGrid();
}

void TStringGrid::SetDefaultDrawing(bool value) {
    defaultDrawing_ = value;
    InvalidateGrid();
}

void TStringGrid::SetScrollBars(TScrollStyle value) {
    scrollBars_ = value;
    ApplyScrollPolicy();
    UpdateScrollRange();
}

void TStringGrid::SetFont(const TFont& value) {
    font_ = value;
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Cells

const std::string& TStringGrid::Cells(int ACol, int ARow) const {
    if (ARow < 0 || ARow >= RowCount() || ACol < 0) return kEmpty;
    const TGridRow& row = rows_[static_cast<std::size_t>(ARow)];
    if (static_cast<std::size_t>(ACol) >= row.size()) return kEmpty;
    return row[static_cast<std::size_t>(ACol)].Text;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& value) {
    CheckCol(ACol);
    CheckRow(ARow);
    TGridRow& row = rows_[static_cast<std::size_t>(ARow)];
    if (static_cast<std::size_t>(ACol) >= row.size()) {
        if (value.empty()) return;
        row.resize(static_cast<std::size_t>(ColCount()));
    }
    row[static_cast<std::size_t>(ACol)].Text = value;
    // Repaint only when the row may be on screen (every row is at least one
    // pixel high), so filling a long listing schedules no work per cell.
    if (ARow < fixedRows_ || (ARow >= topRow_ && ARow - topRow_ <= viewport()->height()))
        viewport()->update();
}

void* TStringGrid::Objects(int ACol, int ARow) const {
    if (ARow < 0 || ARow >= RowCount() || ACol < 0) return nullptr;
    const TGridRow& row = rows_[static_cast<std::size_t>(ARow)];
    if (static_cast<std::size_t>(ACol) >= row.size()) return nullptr;
    return row[static_cast<std::size_t>(ACol)].Object;
}

void TStringGrid::SetObjects(int ACol, int ARow, void* value) {
    CheckCol(ACol);
    CheckRow(ARow);
    TGridRow& row = rows_[static_cast<std::size_t>(ARow)];
    if (static_cast<std::size_t>(ACol) >= row.size()) {
        if (!value) return;
        row.resize(static_cast<std::size_t>(ColCount()));
    }
    row[static_cast<std::size_t>(ACol)].Object = value;
}

void TStringGrid::ClearRow(int ARow) {
    CheckRow(ARow);
    rows_[static_cast<std::size_t>(ARow)].clear();
    InvalidateGrid();
}

void TStringGrid::ClearColumn(int ACol) {
    CheckCol(ACol);
    for (TGridRow& row : rows_)
        if (static_cast<std::size_t>(ACol) < row.size()) row[static_cast<std::size_t>(ACol)] = TGridCell{};
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Current cell and selection

// A heading index asks for the nearest data cell: the current cell is always
// a data cell, so everything that reads "the record of the current row"
// finds one.
void TStringGrid::SetCol(int value) {
    if (value >= 0 && value < fixedCols_) value = fixedCols_;
    if (value != current_.X) FocusCell(value, current_.Y, true);
}

void TStringGrid::SetRow(int value) {
    if (value >= 0 && value < fixedRows_) value = fixedRows_;
    if (value != current_.Y) FocusCell(current_.X, value, true);
}

TGridRect TStringGrid::Selection() const {
    TGridRect r;
    r.Left = std::min(anchor_.X, current_.X);
    r.Right = std::max(anchor_.X, current_.X);
    r.Top = std::min(anchor_.Y, current_.Y);
    r.Bottom = std::max(anchor_.Y, current_.Y);
    if (options_ & goRowSelect) {
        r.Left = fixedCols_;
        r.Right = ColCount() - 1;
    }
    return r;
}

void TStringGrid::SetSelection(const TGridRect& value) {
    if (value.Left < fixedCols_ || value.Top < fixedRows_ || value.Right >= ColCount() ||
        value.Bottom >= RowCount() || value.Left > value.Right || value.Top > value.Bottom)
        throw EGridIndexError();
    anchor_ = {value.Left, value.Top};
    current_ = {value.Right, value.Bottom};
    ClampInView(current_.X, current_.Y);
    InvalidateGrid();
}

void TStringGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    Click();
}

bool TStringGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) throw EGridIndexError();
    ACol = std::max(ACol, fixedCols_);
    ARow = std::max(ARow, fixedRows_);
    if (!SelectCell(ACol, ARow)) return false;
    const bool cellChanged = ACol != current_.X || ARow != current_.Y;
    if (cellChanged && !(options_ & goAlwaysShowEditor)) HideEditor();
    current_ = {ACol, ARow};
    if (MoveAnchor || !(options_ & goRangeSelect)) anchor_ = current_;
    if (Show) ClampInView(ACol, ARow);
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing) && Focused()) ShowEditor();
    InvalidateGrid();
    return true;
}

bool TStringGrid::SelectCell(int ACol, int ARow) {
    bool canSelect = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, canSelect);
    return canSelect;
}

void TStringGrid::Click() {
    if (OnClick) OnClick(this);
}

// ---------------------------------------------------------------------------
// Notifications

void TStringGrid::ColWidthsChanged() {}
void TStringGrid::RowHeightsChanged() {}
void TStringGrid::SizeChanged(int, int) {}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const bool stretched = ApplyStretch();
    UpdateScrollRange();
    UpdateEditorGeometry();
    if (stretched) InvalidateGrid();
    Resize();
    if (stretched) ColWidthsChanged();
}

void TStringGrid::ColumnEdgeDblClick(int) {}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

std::vector<TGridRow> TStringGrid::DataRows() const {
    return std::vector<TGridRow>(rows_.begin() + fixedRows_, rows_.end());
}

void TStringGrid::ReplaceDataRows(std::vector<TGridRow> rows) {
    HideEditor();
    const int oldRows = RowCount();
    if (rows.empty()) rows.emplace_back();
    ++rowRevision_;
    rows_.resize(static_cast<std::size_t>(fixedRows_));
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    rowHeights_.resize(static_cast<std::size_t>(fixedRows_));
    rowHeights_.resize(rows_.size(), defaultRowHeight_);
    current_.Y = std::clamp(current_.Y, fixedRows_, RowCount() - 1);
    anchor_ = current_;
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, MaxTopRow()));
    UpdateScrollRange();
    InvalidateGrid();
    SizeChanged(ColCount(), oldRows);
}

// ---------------------------------------------------------------------------
// Moving and deleting rows and columns

void TStringGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckRow(FromIndex);
    CheckRow(ToIndex);
    if (FromIndex == ToIndex) return;
    HideEditor();
    ++rowRevision_;
    MoveEntry(rows_, FromIndex, ToIndex);
    MoveEntry(rowHeights_, FromIndex, ToIndex);
    AdjustMovedIndex(current_.Y, FromIndex, ToIndex);
    AdjustMovedIndex(anchor_.Y, FromIndex, ToIndex);
    // A record moved into the headings takes no current cell with it.
    current_.Y = std::max(current_.Y, fixedRows_);
    anchor_.Y = std::max(anchor_.Y, fixedRows_);
    UpdateScrollRange();
    InvalidateGrid();
    RowMoved(FromIndex, ToIndex);
}

void TStringGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckCol(FromIndex);
    CheckCol(ToIndex);
    if (FromIndex == ToIndex) return;
    HideEditor();
    const int cols = ColCount();
    for (TGridRow& row : rows_) {
        if (row.empty()) continue;
        row.resize(static_cast<std::size_t>(cols));
        MoveEntry(row, FromIndex, ToIndex);
    }
    MoveEntry(colWidths_, FromIndex, ToIndex);
    if (stretchCol_ >= 0) AdjustMovedIndex(stretchCol_, FromIndex, ToIndex);
    AdjustMovedIndex(current_.X, FromIndex, ToIndex);
    AdjustMovedIndex(anchor_.X, FromIndex, ToIndex);
    current_.X = std::max(current_.X, fixedCols_);
    anchor_.X = std::max(anchor_.X, fixedCols_);
    UpdateScrollRange();
    InvalidateGrid();
    ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::DeleteRow(int ARow) {
    CheckRow(ARow);
    const bool wasCurrent = current_.Y == ARow;
    MoveRow(ARow, RowCount() - 1);
    SetRowCount(RowCount() - 1);
    if (wasCurrent) {
        current_.Y = std::clamp(ARow, fixedRows_, RowCount() - 1);
        anchor_.Y = current_.Y;
        InvalidateGrid();
    }
}

void TStringGrid::DeleteColumn(int ACol) {
    CheckCol(ACol);
    const bool wasCurrent = current_.X == ACol;
    MoveColumn(ACol, ColCount() - 1);
    SetColCount(ColCount() - 1);
    if (wasCurrent) {
        current_.X = std::clamp(ACol, fixedCols_, ColCount() - 1);
        anchor_.X = current_.X;
        InvalidateGrid();
    }
}

}  // namespace grid
