// TMemoLines, the messages window's memo: a read-only log of plain text
// lines, shown one line per row without wrapping, in the palette's Base and
// Text colours inside a sunken frame, as a plain text edit shows them.
//
// It exists for speed. An operation on a large archive logs a line per
// member, a hundred thousand and more; a text document spends more time
// inserting and laying out those lines than the operation spends on its
// work. Here a line is a string in a list: appending measures nothing but
// the number of characters, painting draws only the rows in view (all of
// the same height), and the horizontal range follows the line with the
// most characters, widened when a painted line turns out wider still.
//
// What it offers: appending text (every line break in it starts another
// line), clearing, the lines back, and selecting whole lines by mouse and
// keys for copying (Ctrl+C, Ctrl+A, a context menu). Appending follows the
// end while the view is at the bottom and leaves it alone otherwise.
// What it does not: edit, wrap, or select parts of a line.
#pragma once

#include <QAbstractScrollArea>
#include <QStringList>

class QMenu;

namespace app {

class TMemoLines : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TMemoLines(QWidget* parent = nullptr);

    // A line ends at LF, CR, U+2028 (line separator) and U+2029 (paragraph
    // separator), each one a break of its own: CR LF makes an empty line.
    static bool IsLineBreak(QChar c)
    {
        // Every message passes here character by character.
        const char16_t u = c.unicode();
        return u <= u'\r' ? u == u'\n' || u == u'\r' : u == 0x2028 || u == 0x2029;
    }
    // The lines `text` makes: one, and one more for every line break.
    static int LinesIn(QStringView text);

    // Appends `text` as new last lines (LinesIn(text) of them).
    void Append(QStringView text);
    // Appends each of `texts` so, in order; a text that makes one line is
    // kept as it is, not copied.
    void Append(QStringList&& texts);
    void Clear();
    int LineCount() const { return int(lines_.size()); }
    const QStringList& Lines() const { return lines_; }

    // The selected lines, first to last; -1 for both when none is.
    int SelectionFirst() const;
    int SelectionLast() const;
    void SelectAll();
    // The selected lines joined by line feeds; empty when none is selected.
    QString SelectedText() const;
    // Puts SelectedText on the clipboard (nothing without a selection).
    void Copy() const;
    // The menu of the right button: Copy and Select All. The caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);

    // The top line in view, and how many whole lines the view holds.
    int FirstVisibleLine() const;
    int PageLines() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void UpdateScrollBars();
    // The line at `y` in the viewport, clamped to the lines there are.
    int LineAt(int y) const;
    // The y of the top of the view's first line.
    int TopOffset() const;
    void EnsureVisible(int line);
    // Moves the current line to `line`; without `extend` the anchor follows.
    void MoveTo(int line, bool extend);

    QStringList lines_;
    // The line with the most characters, and the widest width measured.
    int longest_ = -1;
    int textWidth_ = 0;
    bool longestMeasured_ = true;
    bool widthUpdateQueued_ = false;
    int lineHeight_ = 1;
    qreal ascent_ = 0;
    // The selection runs from the anchor to the current line.
    int anchor_ = -1;
    int current_ = -1;
    bool dragging_ = false;
};

}  // namespace app
