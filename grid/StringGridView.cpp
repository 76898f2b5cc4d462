// TStringGrid: geometry (which cells show where), scrolling by whole rows
// and columns with the 0..127 scroll-bar range, the thumb interface, and
// painting the visible cells.
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "grid/StringGrid.h"
#include "grid/StringGridInternal.h"

namespace grid {

using detail::kDefaultThumbPage;
using detail::kScrollMax;

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
    // The range signals stay connected: the scroll area shows a bar when it
    // gets something to scroll and hides it again.
    QScrollBar* v = verticalScrollBar();
    QScrollBar* h = horizontalScrollBar();
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
    if (Focused() && ACol == current_.X && ARow == current_.Y) state |= gdFocused;
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

}  // namespace grid
