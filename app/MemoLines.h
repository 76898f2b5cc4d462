// TMemoLines, the messages window's memo: a read-only log of plain text
// lines, shown one line per row without wrapping, in the palette's Base and
// Text colours inside a sunken frame, as a plain text edit shows them.
//
// It exists for speed. An operation on a large archive logs a line per
// member, a hundred thousand and more; a text document spends more time
// inserting and laying out those lines than the operation spends on its
// work. Here the lines are UTF-8 bytes one after another in one buffer:
// appending copies the bytes and notes where each line ends, only the rows
// painted or copied become text, painting draws only the rows in view (all
// of the same height), and the horizontal range follows the line with the
// most bytes, widened when a painted line turns out wider still.
//
// What it offers: appending text (every line break in it starts another
// line), clearing, the lines back, and selecting whole lines by mouse and
// keys for copying (Ctrl+C, Ctrl+A, a context menu). Appending follows the
// end while the view is at the bottom and leaves it alone otherwise.
// What it does not: edit, wrap, or select parts of a line.
#pragma once

#include <QAbstractScrollArea>
#include <QStringList>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class QMenu;

namespace app {

class TMemoLines : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit TMemoLines(QWidget* parent = nullptr);

    // A line ends at LF, CR, U+2028 (line separator) and U+2029 (paragraph
    // separator), each one a break of its own: CR LF makes an empty line.
    // The lines the UTF-8 text `text` makes: one, and one more for every
    // line break.
    static int LinesIn(std::string_view text);

    // Appends the UTF-8 text `text` as new last lines (LinesIn(text) of
    // them). The bytes are taken as they are: they must be valid UTF-8.
    void Append(std::string_view text);
    void Append(QStringView text);
    void Clear();
    int LineCount() const { return int(ends_.size()); }
    QString Line(int line) const;
    // Every line as text (for tests and the window's own use, not per tick).
    QStringList Lines() const;

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

    // Where line `i` begins in text_ and where it ends (before the line
    // feed that follows every line in text_, so that consecutive lines are
    // one run of text as copying wants them).
    std::size_t Begin(int line) const { return line == 0 ? 0 : ends_[std::size_t(line) - 1] + 1; }
    std::string_view Bytes(int line) const;

    std::string text_;
    std::vector<std::size_t> ends_;
    // The line with the most bytes, and the widest width measured.
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
