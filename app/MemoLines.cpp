#include "app/MemoLines.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace app {

namespace {

// The room around the text, a text document's margin: on the left always,
// above the first line only while the view is at the top, and the same
// below the last line and right of the widest, so the lines sit where a
// plain text edit puts them.
constexpr int TextMargin = 4;
// Pixels a click on the horizontal scroll bar's arrows moves.
constexpr int HorizontalStep = 20;

// Copy and Select All are Qt's own texts, in Qt's translations already. The
// context is a variable so that our translation files do not take them up.
QString QtMenuText(const char* text)
{
    static const char* const context = "QWidgetTextControl";
    return QCoreApplication::translate(context, text);
}


// The first byte at or after `p` that may begin a line break (LF, CR, or
// the lead byte of U+2028 and U+2029), or `end`. A log of a large archive
// passes megabytes here, sixteen bytes at a time where the processor can.
const char* FindBreakLead(const char* p, const char* end)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), e2 = _mm_set1_epi8(char(0xe2));
    for (; end - p >= 16; p += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, e2));
        if (const int mask = _mm_movemask_epi8(hit))
            return p + __builtin_ctz(unsigned(mask));
    }
#endif
    for (; p < end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == '\n' || c == '\r' || c == 0xe2)
            return p;
    }
    return end;
}

// The length of the line break at `p` (LF, CR, or the three bytes of U+2028
// or U+2029), or 0.
std::size_t BreakAt(const char* p, const char* end)
{
    const auto c = static_cast<unsigned char>(*p);
    if (c == '\n' || c == '\r')
        return 1;
    if (c == 0xe2 && end - p >= 3 && static_cast<unsigned char>(p[1]) == 0x80 &&
        (static_cast<unsigned char>(p[2]) == 0xa8 || static_cast<unsigned char>(p[2]) == 0xa9))
        return 3;
    return 0;
}

// The next line break at or after `p`: where it begins (or `end`), and its
// length in `length` (0 at the end).
const char* NextBreak(const char* p, const char* end, std::size_t& length)
{
    for (;; ++p) {
        p = FindBreakLead(p, end);
        if (p == end) {
            length = 0;
            return end;
        }
        if ((length = BreakAt(p, end)) != 0)
            return p;
    }
}

}  // namespace

TMemoLines::TMemoLines(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    horizontalScrollBar()->setSingleStep(HorizontalStep);
    verticalScrollBar()->setSingleStep(1);
    UpdateScrollBars();
}

int TMemoLines::LinesIn(std::string_view text)
{
    int lines = 1;
    const char* const end = text.data() + text.size();
    std::size_t length = 0;
    for (const char* p = NextBreak(text.data(), end, length); p != end; p = NextBreak(p + length, end, length))
        ++lines;
    return lines;
}

void TMemoLines::Append(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    Append(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

void TMemoLines::Append(std::string_view text)
{
    QScrollBar* bar = verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    // Every line is followed by a line feed in the buffer, a break of the
    // memo's own whatever the text's break was.
    const char* start = text.data();
    const char* const end = start + text.size();
    for (;;) {
        std::size_t length = 0;
        const char* const stop = NextBreak(start, end, length);
        const auto size = std::size_t(stop - start);
        if (longest_ < 0 || size > Bytes(longest_).size()) {
            longest_ = LineCount();
            longestMeasured_ = false;
        }
        text_.append(start, size);
        ends_.push_back(text_.size());
        text_.push_back('\n');
        if (stop == end)
            break;
        start = stop + length;
    }
    UpdateScrollBars();
    if (atBottom)
        bar->setValue(bar->maximum());
    viewport()->update();
}

std::string_view TMemoLines::Bytes(int line) const
{
    const std::size_t begin = Begin(line);
    return std::string_view(text_).substr(begin, ends_[std::size_t(line)] - begin);
}

QString TMemoLines::Line(int line) const
{
    const std::string_view bytes = Bytes(line);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QStringList TMemoLines::Lines() const
{
    QStringList lines;
    lines.reserve(LineCount());
    for (int i = 0; i < LineCount(); ++i)
        lines.append(Line(i));
    return lines;
}

void TMemoLines::Clear()
{
    // The memory of a large log goes back too.
    std::string().swap(text_);
    std::vector<std::size_t>().swap(ends_);
    longest_ = -1;
    textWidth_ = 0;
    longestMeasured_ = true;
    anchor_ = current_ = -1;
    dragging_ = false;
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
}

int TMemoLines::SelectionFirst() const { return std::min(anchor_, current_); }

int TMemoLines::SelectionLast() const { return std::max(anchor_, current_); }

void TMemoLines::SelectAll()
{
    if (ends_.empty())
        return;
    // The current line stays where it is seen: the view does not jump.
    anchor_ = 0;
    current_ = LineCount() - 1;
    viewport()->update();
}

QString TMemoLines::SelectedText() const
{
    if (anchor_ < 0)
        return {};
    // The selected lines are one run of the buffer, line feeds and all.
    const std::size_t begin = Begin(SelectionFirst()), end = ends_[std::size_t(SelectionLast())];
    return QString::fromUtf8(text_.data() + begin, qsizetype(end - begin));
}

void TMemoLines::Copy() const
{
    if (anchor_ >= 0)
        QGuiApplication::clipboard()->setText(SelectedText());
}

QMenu* TMemoLines::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QAction* copy = menu->addAction(QtMenuText("&Copy"), this, &TMemoLines::Copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(anchor_ >= 0);
    QAction* all = menu->addAction(QtMenuText("Select All"), this, &TMemoLines::SelectAll);
    all->setShortcut(QKeySequence::SelectAll);
    all->setEnabled(!ends_.empty());
    return menu;
}

int TMemoLines::FirstVisibleLine() const { return verticalScrollBar()->value(); }

int TMemoLines::PageLines() const
{
    // The whole lines between the margins, at least one.
    return std::max(1, (viewport()->height() - 2 * TextMargin - 1) / lineHeight_);
}

int TMemoLines::TopOffset() const { return FirstVisibleLine() == 0 ? TextMargin : 0; }

int TMemoLines::LineAt(int y) const
{
    const int offset = y - TopOffset();
    // Rounded down, so a point above the view is the line above it.
    const int rows = offset >= 0 ? offset / lineHeight_ : -((-offset + lineHeight_ - 1) / lineHeight_);
    return std::clamp(FirstVisibleLine() + rows, 0, std::max(0, LineCount() - 1));
}

void TMemoLines::UpdateScrollBars()
{
    // A text layout's line: its height rounded up, its baseline as it is.
    const QFontMetricsF metrics(font());
    lineHeight_ = std::max(1, int(std::ceil(metrics.height())));
    ascent_ = metrics.ascent();
    if (!longestMeasured_) {
        longestMeasured_ = true;
        textWidth_ = std::max(textWidth_, int(std::ceil(metrics.horizontalAdvance(Line(longest_)))));
    }
    const QSize view = viewport()->size();
    const int page = PageLines();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setPageStep(page);
    vertical->setRange(0, std::max(0, LineCount() - page));
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setPageStep(view.width());
    horizontal->setRange(0, std::max(0, textWidth_ + 2 * TextMargin - view.width()));
}

void TMemoLines::EnsureVisible(int line)
{
    QScrollBar* bar = verticalScrollBar();
    if (line < bar->value())
        bar->setValue(line);
    else if (line >= bar->value() + PageLines())
        bar->setValue(line - PageLines() + 1);
}

void TMemoLines::MoveTo(int line, bool extend)
{
    if (ends_.empty())
        return;
    current_ = std::clamp(line, 0, LineCount() - 1);
    if (!extend || anchor_ < 0)
        anchor_ = current_;
    EnsureVisible(current_);
    viewport()->update();
}

void TMemoLines::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const QPalette& colours = palette();
    const QRect area = event->rect();
    const int width = viewport()->width();
    const int x = TextMargin - horizontalScrollBar()->value();
    const int first = SelectionFirst(), last = SelectionLast();
    const QFontMetricsF metrics(font());
    int widest = textWidth_;
    int y = TopOffset();
    for (int i = FirstVisibleLine(); i < LineCount() && y <= area.bottom(); ++i, y += lineHeight_) {
        if (y + lineHeight_ <= area.top())
            continue;
        const QString line = Line(i);
        const bool selected = i >= first && i <= last && first >= 0;
        if (selected)
            painter.fillRect(0, y, width, lineHeight_, colours.brush(QPalette::Highlight));
        painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter.drawText(QPointF(x, y + ascent_), line);
        widest = std::max(widest, int(std::ceil(metrics.horizontalAdvance(line))));
    }
    // A line wider than the longest by bytes widens the range, once
    // this painting is done.
    if (widest > textWidth_) {
        textWidth_ = widest;
        if (!widthUpdateQueued_) {
            widthUpdateQueued_ = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    widthUpdateQueued_ = false;
                    UpdateScrollBars();
                },
                Qt::QueuedConnection);
        }
    }
}

void TMemoLines::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    QScrollBar* bar = verticalScrollBar();
    const bool atBottom = bar->value() >= bar->maximum();
    UpdateScrollBars();
    if (atBottom)
        bar->setValue(bar->maximum());
}

void TMemoLines::changeEvent(QEvent* event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        // Every width measured is in the old font.
        textWidth_ = 0;
        longestMeasured_ = longest_ < 0;
        UpdateScrollBars();
        viewport()->update();
    }
}

void TMemoLines::scrollContentsBy(int, int) { viewport()->update(); }

void TMemoLines::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        return;
    }
    // Without a current line, moving down starts above the view's first
    // line and moving up below its last, so the first step lands in view.
    const int page = PageLines();
    const int top = FirstVisibleLine();
    const int below = current_ >= 0 ? current_ : top + page;
    const int above = current_ >= 0 ? current_ : top - 1;
    int target;
    switch (event->key()) {
    case Qt::Key_Up:
        target = below - 1;
        break;
    case Qt::Key_Down:
        target = above + 1;
        break;
    case Qt::Key_PageUp:
        target = below - page;
        break;
    case Qt::Key_PageDown:
        target = above + page;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = LineCount() - 1;
        break;
    default:
        // Esc and the rest belong to the window.
        event->ignore();
        return;
    }
    MoveTo(target, event->modifiers().testFlag(Qt::ShiftModifier));
}

void TMemoLines::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || ends_.empty()) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    dragging_ = true;
    MoveTo(LineAt(event->position().toPoint().y()), event->modifiers().testFlag(Qt::ShiftModifier));
}

void TMemoLines::mouseMoveEvent(QMouseEvent* event)
{
    // Dragging past the top or the bottom scrolls a line per move.
    if (dragging_ && event->buttons().testFlag(Qt::LeftButton))
        MoveTo(LineAt(event->position().toPoint().y()), true);
}

void TMemoLines::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    // A selection by mouse is also the X11 selection, for a middle click.
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && anchor_ >= 0)
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

void TMemoLines::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace app
