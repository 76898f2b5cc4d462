// TStringGrid: mouse, keyboard, focus and the in-place editor.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "grid/StringGrid.h"
#include "zipformat/NameText.h"

namespace grid {

namespace {

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

}  // namespace

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
        // The release that follows ends this as a sizing, so it sorts nothing.
        if (Shift & ssDouble) ColumnEdgeDblClick(border);
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
        if (sizingCol_ >= 0 && sizingCol_ == stretchCol_) stretchBase_ = colWidths_[static_cast<std::size_t>(sizingCol_)];
        sizingCol_ = -1;
        ApplyStretch();
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

namespace {

// Adds a wheel or touchpad delta to what earlier events left over and takes
// out the whole steps of `unit`; the rest waits for the next event. A turn
// the other way starts from nothing, so it never has to undo a leftover.
int TakeSteps(int& rest, int delta, int unit) {
    if ((delta > 0 && rest < 0) || (delta < 0 && rest > 0)) rest = 0;
    rest += delta;
    const int steps = rest / std::max(1, unit);
    rest -= steps * std::max(1, unit);
    return steps;
}

}  // namespace

void TStringGrid::wheelEvent(QWheelEvent* event) {
    // A new touchpad gesture does not finish the last one's fraction.
    if (event->phase() == Qt::ScrollBegin) wheelRest_ = {};
    // A notch (120) scrolls the desktop's wheel lines. Touchpads that report
    // pixels scroll a row (column) per row height (column width) of pixels.
    const int angleUnit = 120 / std::clamp(QApplication::wheelScrollLines(), 1, 120);
    const QPoint pixels = event->pixelDelta();
    const QPoint angle = event->angleDelta();
    int rows, cols;
    if (!pixels.isNull()) {
        const int rowPitch = (topRow_ < RowCount() ? RowHeights(topRow_) : defaultRowHeight_) + GridLineWidth();
        const int colPitch = (leftCol_ < ColCount() ? ColWidths(leftCol_) : defaultColWidth_) + GridLineWidth();
        rows = TakeSteps(wheelRest_[kWheelPixelsY], pixels.y(), rowPitch);
        cols = TakeSteps(wheelRest_[kWheelPixelsX], pixels.x(), colPitch);
    } else {
        rows = TakeSteps(wheelRest_[kWheelAngleY], angle.y(), angleUnit);
        cols = TakeSteps(wheelRest_[kWheelAngleX], angle.x(), angleUnit);
    }
    // Against the end of the grid nothing is kept for later.
    if (rows != 0) {
        const int before = topRow_;
        SetTopRow(topRow_ - rows);
        if (topRow_ == before) wheelRest_[kWheelPixelsY] = wheelRest_[kWheelAngleY] = 0;
    }
    if (cols != 0) {
        const int before = leftCol_;
        SetLeftCol(leftCol_ - cols);
        if (leftCol_ == before) wheelRest_[kWheelPixelsX] = wheelRest_[kWheelAngleX] = 0;
    }
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
    const QString typed = event->text();
    if (!typed.isEmpty() && !(shift & (ssCtrl | ssAlt))) {
        const QChar first = typed.at(0);
        // The character hook speaks bytes; a character beyond Latin-1 comes
        // through as '?' there, and the editor gets the real text below.
        char ch = first.unicode() <= 0xFF ? static_cast<char>(first.unicode()) : '?';
        const bool wasEditing = editorMode_;
        if (ch == '\r' || static_cast<unsigned char>(ch) >= 0x20) KeyPress(ch);
        if (!wasEditing && editorMode_ && ch == 0 && first.unicode() > 0xFF) {
            editor_->setText(typed);
            EditorTextEdited(typed);
        }
    }
    event->accept();
}

// ---------------------------------------------------------------------------
// Focus

bool TStringGrid::InGrid(const QWidget* w) const { return w && (w == this || isAncestorOf(w)); }

void TStringGrid::FocusEntered() {
    if (focusWithin_) {
        InvalidateGrid();
        return;
    }
    focusWithin_ = true;
    InvalidateGrid();
    if ((options_ & goAlwaysShowEditor) && (options_ & goEditing)) ShowEditor();
    DoEnter();
}

bool TStringGrid::Focused() const { return hasFocus() || (editor_ && editor_->hasFocus()); }

void TStringGrid::FocusLeft(Qt::FocusReason reason) {
    if (!focusWithin_) return;
    if (reason == Qt::ActiveWindowFocusReason) {
        InvalidateGrid();
        return;
    }
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
    FocusLeft(event->reason());
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
    editorCp437_ = !fernpack::zip::IsUtf8(editorOriginal_);
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
    if (!editorCp437_ || !Cp437Bytes(text, &bytes)) bytes = text.toUtf8().toStdString();
    SetEditText(editorCol_, editorRow_, bytes);
}

bool TStringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched != editor_) return QAbstractScrollArea::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
        FocusEntered();
        break;
    case QEvent::FocusOut:
        FocusLeft(static_cast<QFocusEvent*>(event)->reason());
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
