#include "grid/StringGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace grid {

namespace {

// The range the scroll bars use whenever there is something to scroll.
constexpr int kScrollMax = 127;
// Qt needs some page for a thumb; this stands for the platform's default.
constexpr int kDefaultThumbPage = 10;

const std::string kEmpty;

TShiftState ShiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState s = 0;
    if (modifiers & Qt::ShiftModifier) s |= ssShift;
    if (modifiers & Qt::AltModifier) s |= ssAlt;
    if (modifiers & Qt::ControlModifier) s |= ssCtrl;
    if (buttons & Qt::LeftButton) s |= ssLeft;
    if (buttons & Qt::RightButton) s |= ssRight;
    if (buttons & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

TMouseButton ButtonOf(Qt::MouseButton button) {
    if (button == Qt::RightButton) return mbRight;
    if (button == Qt::MiddleButton) return mbMiddle;
    return mbLeft;
}

int VirtualKeyOf(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: return VK_TAB;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_F2: return VK_F2;
    default:
        // Letters and digits keep their codes; other keys are not ours.
        return ((qtKey >= '0' && qtKey <= '9') || (qtKey >= 'A' && qtKey <= 'Z')) ? qtKey : 0;
    }
}

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

TStringGrid::~TStringGrid() = default;

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
    current_.X = std::clamp(current_.X, fixedCols_, value - 1);
    anchor_.X = std::clamp(anchor_.X, fixedCols_, value - 1);
    leftCol_ = std::max(leftCol_, fixedCols_);
    UpdateScrollRange();
    InvalidateGrid();
    SizeChanged(oldCols, RowCount());
}

void TStringGrid::SetFixedRows(int value) {
    if (value < 0 || value >= RowCount())
        throw std::invalid_argument("Fixed row count must be less than row count");
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
    UpdateScrollRange();
    UpdateEditorGeometry();
    InvalidateGrid();
    ColWidthsChanged();
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
    if (ARow < fixedRows_ || (ARow >= topRow_ && ARow <= topRow_ + VisibleRowCount()))
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

void TStringGrid::SetCol(int value) {
    if (value != current_.X) FocusCell(value, current_.Y, true);
}

void TStringGrid::SetRow(int value) {
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
    anchor_ = {value.Right, value.Bottom};
    current_ = {value.Left, value.Top};
    ClampInView(current_.X, current_.Y);
    InvalidateGrid();
}

void TStringGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
    MoveCurrent(ACol, ARow, MoveAnchor, true);
    Click();
}

bool TStringGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) throw EGridIndexError();
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
// Geometry

int TStringGrid::FixedHeight() const {
    int h = 0;
    for (int r = 0; r < fixedRows_; ++r) h += rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
    return h;
}

int TStringGrid::FixedWidth() const {
    int w = 0;
    for (int c = 0; c < fixedCols_; ++c) w += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
    return w;
}

int TStringGrid::VisibleRowCount() const {
    const int height = viewport()->height();
    int y = FixedHeight(), n = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        const int h = rowHeights_[static_cast<std::size_t>(r)];
        if (y + h > height) break;
        ++n;
        y += h + GridLineWidth();
    }
    return n;
}

int TStringGrid::VisibleColCount() const {
    const int width = viewport()->width();
    int x = FixedWidth(), n = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        const int w = colWidths_[static_cast<std::size_t>(c)];
        if (x + w > width) break;
        ++n;
        x += w + GridLineWidth();
    }
    return n;
}

int TStringGrid::MaxTopRow() const {
    const int avail = viewport()->height() - FixedHeight();
    int total = -GridLineWidth();
    int r = RowCount() - 1;
    for (; r >= fixedRows_; --r) {
        total += rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
        if (total > avail) break;
    }
    return std::max(fixedRows_, std::min(r + 1, RowCount() - 1));
}

int TStringGrid::MaxLeftCol() const {
    const int avail = viewport()->width() - FixedWidth();
    int total = -GridLineWidth();
    int c = ColCount() - 1;
    for (; c >= fixedCols_; --c) {
        total += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
        if (total > avail) break;
    }
    return std::max(fixedCols_, std::min(c + 1, ColCount() - 1));
}

TGridCoord TStringGrid::MouseCoord(int X, int Y) const {
    TGridCoord result{-1, -1};
    if (X >= 0) {
        int x = 0;
        for (int c = 0; c < ColCount(); ++c) {
            if (c == fixedCols_) c = std::max(c, leftCol_);
            if (c >= ColCount()) break;
            const int pitch = colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
            if (X < x + pitch) {
                result.X = c;
                break;
            }
            x += pitch;
            if (x > viewport()->width()) break;
        }
    }
    if (Y >= 0) {
        int y = 0;
        for (int r = 0; r < RowCount(); ++r) {
            if (r == fixedRows_) r = std::max(r, topRow_);
            if (r >= RowCount()) break;
            const int pitch = rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
            if (Y < y + pitch) {
                result.Y = r;
                break;
            }
            y += pitch;
            if (y > viewport()->height()) break;
        }
    }
    return result;
}

TRect TStringGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= ColCount() || ARow >= RowCount()) return {};
    if ((ACol >= fixedCols_ && ACol < leftCol_) || (ARow >= fixedRows_ && ARow < topRow_)) return {};
    int x = 0;
    for (int c = 0; c < ACol; ++c) {
        if (c == fixedCols_) c = leftCol_;
        if (c >= ACol) break;
        x += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
        if (x > viewport()->width()) return {};
    }
    int y = 0;
    for (int r = 0; r < ARow; ++r) {
        if (r == fixedRows_) r = topRow_;
        if (r >= ARow) break;
        y += rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
        if (y > viewport()->height()) return {};
    }
    return {x, y, x + colWidths_[static_cast<std::size_t>(ACol)], y + rowHeights_[static_cast<std::size_t>(ARow)]};
}

void TStringGrid::ClampInView(int ACol, int ARow) {
    if (ARow >= fixedRows_) {
        if (ARow < topRow_) {
            SetTopRow(ARow);
        } else {
            // The smallest top row that still shows ARow in full.
            const int avail = viewport()->height() - FixedHeight();
            int total = -GridLineWidth();
            int r = ARow;
            for (; r >= fixedRows_; --r) {
                total += rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
                if (total > avail) break;
            }
            const int minTop = std::min(ARow, r + 1);
            if (topRow_ < minTop) SetTopRow(minTop);
        }
    }
    if (ACol >= fixedCols_) {
        if (ACol < leftCol_) {
            SetLeftCol(ACol);
        } else {
            const int avail = viewport()->width() - FixedWidth();
            int total = -GridLineWidth();
            int c = ACol;
            for (; c >= fixedCols_; --c) {
                total += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
                if (total > avail) break;
            }
            const int minLeft = std::min(ACol, c + 1);
            if (leftCol_ < minLeft) SetLeftCol(minLeft);
        }
    }
}

void TStringGrid::SetTopRow(int value) {
    value = std::clamp(value, fixedRows_, std::max(fixedRows_, MaxTopRow()));
    if (value == topRow_) return;
    topRow_ = value;
    UpdateScrollPos();
    UpdateEditorGeometry();
    InvalidateGrid();
}

void TStringGrid::SetLeftCol(int value) {
    value = std::clamp(value, fixedCols_, std::max(fixedCols_, MaxLeftCol()));
    if (value == leftCol_) return;
    leftCol_ = value;
    UpdateScrollPos();
    UpdateEditorGeometry();
    InvalidateGrid();
}

// ---------------------------------------------------------------------------
// Scroll bars

void TStringGrid::ApplyScrollPolicy() {
    const bool vert = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    const bool horz = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TStringGrid::UpdateScrollRange() {
    const int maxTop = MaxTopRow();
    const int maxLeft = MaxLeftCol();
    topRow_ = std::clamp(topRow_, fixedRows_, std::max(fixedRows_, maxTop));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, maxLeft));
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
    const QSignalBlocker bv(v), bh(h);
    v->setRange(0, maxTop > fixedRows_ ? kScrollMax : 0);
    h->setRange(0, maxLeft > fixedCols_ ? kScrollMax : 0);
    UpdateScrollPos();
}

void TStringGrid::UpdateScrollPos() {
    QScrollBar* v = verticalScrollBar();
    if (!v->isSliderDown()) {
        const int span = MaxTopRow() - fixedRows_;
        const QSignalBlocker block(v);
        v->setValue(span > 0 ? static_cast<int>(std::lround(double(topRow_ - fixedRows_) * kScrollMax / span)) : 0);
    }
    QScrollBar* h = horizontalScrollBar();
    if (!h->isSliderDown()) {
        const int span = MaxLeftCol() - fixedCols_;
        const QSignalBlocker block(h);
        h->setValue(span > 0 ? static_cast<int>(std::lround(double(leftCol_ - fixedCols_) * kScrollMax / span)) : 0);
    }
}

void TStringGrid::OnScrollAction(Qt::Orientation o, int action) {
    const bool vert = o == Qt::Vertical;
    QScrollBar* bar = vert ? verticalScrollBar() : horizontalScrollBar();
    const int first = vert ? fixedRows_ : fixedCols_;
    const int maxFirst = vert ? MaxTopRow() : MaxLeftCol();
    const int now = vert ? topRow_ : leftCol_;
    const int page = std::max(1, vert ? VisibleRowCount() : VisibleColCount());
    int target = now;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: target = now + 1; break;
    case QAbstractSlider::SliderSingleStepSub: target = now - 1; break;
    case QAbstractSlider::SliderPageStepAdd: target = now + page; break;
    case QAbstractSlider::SliderPageStepSub: target = now - page; break;
    case QAbstractSlider::SliderToMinimum: target = first; break;
    case QAbstractSlider::SliderToMaximum: target = maxFirst; break;
    case QAbstractSlider::SliderMove:
        if (!(options_ & goThumbTracking)) return;
        target = first + static_cast<int>(std::lround(double(bar->sliderPosition()) * (maxFirst - first) / kScrollMax));
        if (vert) SetTopRow(target);
        else SetLeftCol(target);
        return;
    default: return;
    }
    if (vert) SetTopRow(target);
    else SetLeftCol(target);
    const int span = maxFirst - first;
    const int pos = vert ? topRow_ : leftCol_;
    bar->setSliderPosition(span > 0 ? static_cast<int>(std::lround(double(pos - first) * kScrollMax / span)) : 0);
}

void TStringGrid::OnSliderReleased(Qt::Orientation o) {
    const bool vert = o == Qt::Vertical;
    QScrollBar* bar = vert ? verticalScrollBar() : horizontalScrollBar();
    const int first = vert ? fixedRows_ : fixedCols_;
    const int maxFirst = vert ? MaxTopRow() : MaxLeftCol();
    const int target =
        first + static_cast<int>(std::lround(double(bar->sliderPosition()) * (maxFirst - first) / kScrollMax));
    if (vert) SetTopRow(target);
    else SetLeftCol(target);
    UpdateScrollPos();
}

void TStringGrid::scrollContentsBy(int, int) { viewport()->update(); }

bool TStringGrid::GetScrollInfo(int bar, TScrollInfo& info) const {
    if (info.cbSize != sizeof(TScrollInfo) || (bar != SB_VERT && bar != SB_HORZ)) return false;
    const QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    if (info.fMask & SIF_RANGE) {
        info.nMin = sb->minimum();
        info.nMax = sb->maximum();
    }
    if (info.fMask & SIF_PAGE) info.nPage = bar == SB_VERT ? vertPage_ : horzPage_;
    if (info.fMask & SIF_POS) info.nPos = sb->value();
    if (info.fMask & SIF_TRACKPOS) info.nTrackPos = sb->sliderPosition();
    return true;
}

int TStringGrid::SetScrollInfo(int bar, const TScrollInfo& info, bool redraw) {
    if (info.cbSize != sizeof(TScrollInfo) || (bar != SB_VERT && bar != SB_HORZ)) return 0;
    QScrollBar* sb = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    const QSignalBlocker block(sb);
    if (info.fMask & SIF_RANGE) sb->setRange(info.nMin, std::max(info.nMin, info.nMax));
    if (info.fMask & SIF_PAGE) {
        (bar == SB_VERT ? vertPage_ : horzPage_) = info.nPage;
        sb->setPageStep(info.nPage > 0 ? static_cast<int>(info.nPage) : kDefaultThumbPage);
    }
    if (info.fMask & SIF_POS) sb->setValue(info.nPos);
    if (redraw) sb->update();
    return sb->value();
}

// ---------------------------------------------------------------------------
// Painting

void TStringGrid::ReplaceCanvas(std::unique_ptr<TCanvas> canvas) {
    if (canvas) canvas_ = std::move(canvas);
}

void TStringGrid::InvalidateGrid() { viewport()->update(); }

TGridDrawState TStringGrid::StateOf(int ACol, int ARow) const {
    TGridDrawState state = 0;
    if (ACol < fixedCols_ || ARow < fixedRows_) {
        state |= gdFixed;
        return state;
    }
    if (focusWithin_ && ACol == current_.X && ARow == current_.Y) state |= gdFocused;
    const TGridRect sel = Selection();
    if (ACol >= sel.Left && ACol <= sel.Right && ARow >= sel.Top && ARow <= sel.Bottom) state |= gdSelected;
    return state;
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (defaultDrawing_) Canvas().TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
    if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

void TStringGrid::PaintGridLines(QPainter& painter, int ACol, int ARow, const TRect& r) {
    const bool fixedCol = ACol < fixedCols_ || ARow < fixedRows_;
    const bool vert = options_ & (fixedCol ? goFixedVertLine : goVertLine);
    const bool horz = options_ & (fixedCol ? goFixedHorzLine : goHorzLine);
    const QColor lineColor = palette().color(fixedCol ? QPalette::Shadow : QPalette::Mid);
    const QColor gapColor = palette().color(QPalette::Base);
    painter.fillRect(QRect(r.Right, r.Top, 1, r.Height() + 1), vert ? lineColor : gapColor);
    painter.fillRect(QRect(r.Left, r.Bottom, r.Width() + 1, 1), horz ? lineColor : gapColor);
}

void TStringGrid::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const int width = viewport()->width();
    const int height = viewport()->height();
    painter.fillRect(QRect(0, 0, width, height), palette().color(QPalette::Window));
    canvas_->BeginPaint(&painter, palette());
    struct CanvasEnd {
        TCanvas* c;
        ~CanvasEnd() { c->EndPaint(); }
    } end{canvas_.get()};

    std::vector<int> cols, rows;
    for (int c = 0, x = 0; c < ColCount() && x < width; ++c) {
        if (c == fixedCols_) c = leftCol_;
        if (c >= ColCount()) break;
        cols.push_back(c);
        x += colWidths_[static_cast<std::size_t>(c)] + GridLineWidth();
    }
    for (int r = 0, y = 0; r < RowCount() && y < height; ++r) {
        if (r == fixedRows_) r = topRow_;
        if (r >= RowCount()) break;
        rows.push_back(r);
        y += rowHeights_[static_cast<std::size_t>(r)] + GridLineWidth();
    }
    const bool rowSelect = options_ & goRowSelect;
    int y = 0;
    for (int r : rows) {
        const int h = rowHeights_[static_cast<std::size_t>(r)];
        int x = 0;
        for (int c : cols) {
            const int w = colWidths_[static_cast<std::size_t>(c)];
            const TRect rect{x, y, x + w, y + h};
            const TGridDrawState state = StateOf(c, r);
            canvas_->Font = font_;
            canvas_->Brush = TBrush{};
            canvas_->Pen = TPen{};
            if (state & gdFixed) {
                canvas_->Brush.Color = clBtnFace;
                canvas_->Font.Color = clBtnText;
            } else if ((state & gdSelected) && (!(state & gdFocused) || rowSelect)) {
                canvas_->Brush.Color = clHighlight;
                canvas_->Font.Color = clHighlightText;
            }
            DrawCell(c, r, rect, state);
            if ((state & gdFocused) && !rowSelect && !editorMode_) {
                QPen pen(palette().color(QPalette::Text));
                pen.setStyle(Qt::DotLine);
                painter.setPen(pen);
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(QRect(rect.Left, rect.Top, w - 1, h - 1));
            }
            PaintGridLines(painter, c, r, rect);
            x += w + GridLineWidth();
        }
        y += h + GridLineWidth();
    }
}

// ---------------------------------------------------------------------------
// Notifications

void TStringGrid::ColWidthsChanged() {}
void TStringGrid::RowHeightsChanged() {}
void TStringGrid::SizeChanged(int, int) {}

void TStringGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRange();
    UpdateEditorGeometry();
    Resize();
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

// ---------------------------------------------------------------------------
// Moving and deleting rows and columns

void TStringGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckRow(FromIndex);
    CheckRow(ToIndex);
    if (FromIndex == ToIndex) return;
    HideEditor();
    MoveEntry(rows_, FromIndex, ToIndex);
    MoveEntry(rowHeights_, FromIndex, ToIndex);
    AdjustMovedIndex(current_.Y, FromIndex, ToIndex);
    AdjustMovedIndex(anchor_.Y, FromIndex, ToIndex);
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
    AdjustMovedIndex(current_.X, FromIndex, ToIndex);
    AdjustMovedIndex(anchor_.X, FromIndex, ToIndex);
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

// ---------------------------------------------------------------------------
// Mouse

int TStringGrid::ColumnBorderAt(int X, int Y) const {
    if (!(options_ & goColSizing)) return -1;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y < 0 || cell.Y >= fixedRows_) return -1;
    int x = 0;
    for (int c = 0; c < ColCount(); ++c) {
        if (c == fixedCols_) c = leftCol_;
        if (c >= ColCount()) break;
        x += colWidths_[static_cast<std::size_t>(c)];
        if (std::abs(X - x) <= 2) return c;
        x += GridLineWidth();
        if (x > viewport()->width()) break;
    }
    return -1;
}

void TStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft) return;
    const int border = ColumnBorderAt(X, Y);
    if (border >= 0) {
        gridState_ = gsColSizing;
        sizingCol_ = border;
        const TRect r = CellRect(border, 0);
        sizingOrigin_ = r.Left;
        return;
    }
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < fixedCols_ || cell.Y < fixedRows_) return;
    if ((Shift & ssDouble) && (options_ & goEditing)) {
        ShowEditor();
        return;
    }
    const bool wasCurrent = cell.X == current_.X && cell.Y == current_.Y;
    if ((Shift & ssShift) && (options_ & goRangeSelect)) {
        MoveCurrent(cell.X, cell.Y, false, true);
        Click();
    } else {
        FocusCell(cell.X, cell.Y, true);
        if (wasCurrent && (options_ & goEditing)) ShowEditor();
    }
    gridState_ = gsSelecting;
}

void TStringGrid::MouseMove(TShiftState, int X, int Y) {
    if (gridState_ == gsColSizing) {
        colWidths_[static_cast<std::size_t>(sizingCol_)] = std::max(1, X - sizingOrigin_);
        UpdateEditorGeometry();
        InvalidateGrid();
        return;
    }
    if (gridState_ == gsSelecting && (options_ & goRangeSelect)) {
        TGridCoord cell = MouseCoord(X, Y);
        if (cell.X < 0) cell.X = X < 0 ? std::max(fixedCols_, leftCol_ - 1) : ColCount() - 1;
        if (cell.Y < 0) cell.Y = Y < 0 ? std::max(fixedRows_, topRow_ - 1) : std::min(RowCount() - 1, topRow_ + VisibleRowCount());
        cell.X = std::max(cell.X, fixedCols_);
        cell.Y = std::max(cell.Y, fixedRows_);
        if (cell.X != current_.X || cell.Y != current_.Y) MoveCurrent(cell.X, cell.Y, false, true);
        return;
    }
    viewport()->setCursor(ColumnBorderAt(X, Y) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TStringGrid::MouseUp(TMouseButton, TShiftState, int, int) {
    const TGridState was = gridState_;
    gridState_ = gsNormal;
    if (was == gsColSizing) {
        sizingCol_ = -1;
        UpdateScrollRange();
        ColWidthsChanged();
    }
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    if (focusPolicy() != Qt::NoFocus && !Focused()) setFocus(Qt::MouseFocusReason);
    const QPoint p = event->position().toPoint();
    MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseDown(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    MouseUp(ButtonOf(event->button()), ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TStringGrid::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 40;
    if (steps != 0) SetTopRow(topRow_ - steps);
    event->accept();
}

// ---------------------------------------------------------------------------
// Keyboard

void TStringGrid::KeyDown(int& Key, TShiftState Shift) {
    const bool ctrl = Shift & ssCtrl;
    int c = current_.X, r = current_.Y;
    const int page = std::max(1, VisibleRowCount());
    switch (Key) {
    case VK_UP: --r; break;
    case VK_DOWN: ++r; break;
    case VK_LEFT: --c; break;
    case VK_RIGHT: ++c; break;
    case VK_PRIOR: r -= page; break;
    case VK_NEXT: r += page; break;
    case VK_HOME: if (ctrl) r = fixedRows_; else c = fixedCols_; break;
    case VK_END: if (ctrl) r = RowCount() - 1; else c = ColCount() - 1; break;
    case VK_F2:
        if (options_ & goEditing) ShowEditor();
        return;
    default: return;
    }
    c = std::clamp(c, fixedCols_, ColCount() - 1);
    r = std::clamp(r, fixedRows_, RowCount() - 1);
    if (c == current_.X && r == current_.Y) return;
    if ((Shift & ssShift) && (options_ & goRangeSelect)) {
        MoveCurrent(c, r, false, true);
        Click();
    } else {
        FocusCell(c, r, true);
    }
}

void TStringGrid::KeyPress(char& Key) {
    if (!(options_ & goEditing)) return;
    if (Key == '\r') {
        if (!(options_ & goAlwaysShowEditor)) {
            if (editorMode_) HideEditor();
            else ShowEditor();
        }
        Key = 0;
        return;
    }
    if (!editorMode_ && static_cast<unsigned char>(Key) >= 0x20 && Key != 0x7F) {
        ShowEditor();
        if (editorMode_) {
            editor_->clear();
            editor_->insert(QString(QLatin1Char(Key)));
            EditorTextEdited(editor_->text());
        }
        Key = 0;
    }
}

void TStringGrid::keyPressEvent(QKeyEvent* event) {
    int key = VirtualKeyOf(event->key());
    const TShiftState shift = ShiftOf(event->modifiers(), Qt::NoButton);
    if (key != 0) KeyDown(key, shift);
    const QByteArray text = event->text().toLatin1();
    if (!text.isEmpty() && !(shift & (ssCtrl | ssAlt))) {
        char ch = text[0];
        if (ch == '\r' || static_cast<unsigned char>(ch) >= 0x20) KeyPress(ch);
    }
    event->accept();
}

// ---------------------------------------------------------------------------
// Focus

bool TStringGrid::InGrid(const QWidget* w) const { return w && (w == this || isAncestorOf(w)); }

void TStringGrid::FocusEntered() {
    if (focusWithin_) return;
    focusWithin_ = true;
    InvalidateGrid();
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) ShowEditor();
    DoEnter();
}

void TStringGrid::FocusLeft() {
    if (!focusWithin_) return;
    if (InGrid(QApplication::focusWidget())) return;
    focusWithin_ = false;
    InvalidateGrid();
    DoExit();
}

void TStringGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    FocusEntered();
}

void TStringGrid::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    FocusLeft();
}

// ---------------------------------------------------------------------------
// In-place editor

std::string TStringGrid::GetEditText(int ACol, int ARow) { return Cells(ACol, ARow); }

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
    if (ACol < ColCount() && ARow < RowCount()) SetCells(ACol, ARow, Value);
}

void TStringGrid::SetEditorMode(bool value) {
    if (value) ShowEditor();
    else HideEditor();
}

void TStringGrid::ShowEditor() {
    if (!(options_ & goEditing)) return;
    if (current_.X < fixedCols_ || current_.Y < fixedRows_) return;
    if (editorMode_ && editorCol_ == current_.X && editorRow_ == current_.Y) {
        UpdateEditorGeometry();
        return;
    }
    editorCol_ = current_.X;
    editorRow_ = current_.Y;
    editorOriginal_ = GetEditText(editorCol_, editorRow_);
    editorLatin1_ = !IsValidUtf8(editorOriginal_);
    editorMode_ = true;
    editor_->setFont(font_.ToQFont());
    editor_->setText(DisplayText(editorOriginal_));
    editor_->selectAll();
    UpdateEditorGeometry();
    editor_->show();
    if (focusWithin_ || hasFocus()) editor_->setFocus(Qt::OtherFocusReason);
    InvalidateGrid();
}

void TStringGrid::HideEditor() {
    if (!editorMode_) return;
    const bool hadFocus = editor_->hasFocus();
    editorMode_ = false;
    editorCol_ = editorRow_ = -1;
    editor_->hide();
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    InvalidateGrid();
}

void TStringGrid::RefreshEditor() {
    if (!editorMode_) return;
    const std::string& now = Cells(editorCol_, editorRow_);
    if (now == editorOriginal_ && DisplayText(now) == editor_->text()) return;
    editor_->setText(DisplayText(now));
}

void TStringGrid::UpdateEditorGeometry() {
    if (!editorMode_) return;
    const TRect r = CellRect(editorCol_, editorRow_);
    if (r.Width() <= 0 || r.Height() <= 0) editor_->setGeometry(-10000, -10000, 10, 10);
    else editor_->setGeometry(r.Left, r.Top, r.Width(), r.Height());
}

void TStringGrid::EditorTextEdited(const QString& text) {
    if (!editorMode_) return;
    std::string bytes;
    bool latin1 = editorLatin1_;
    if (latin1)
        for (QChar ch : text)
            if (ch.unicode() > 0xFF) latin1 = false;
    if (latin1) bytes = text.toLatin1().toStdString();
    else bytes = text.toUtf8().toStdString();
    SetEditText(editorCol_, editorRow_, bytes);
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        FocusEntered();
        break;
    case QEvent::FocusOut:
        FocusLeft();
        break;
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        const TShiftState shift = ShiftOf(ke->modifiers(), Qt::NoButton);
        switch (ke->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            char ch = '\r';
            KeyPress(ch);
            return true;
        }
        case Qt::Key_Escape:
            if (editorMode_) {
                editor_->setText(DisplayText(editorOriginal_));
                SetEditText(editorCol_, editorRow_, editorOriginal_);
                if (!(options_ & goAlwaysShowEditor)) HideEditor();
            }
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            int key = VirtualKeyOf(ke->key());
            KeyDown(key, shift);
            return true;
        }
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

}  // namespace grid
