// The messages window's memo: the lines a text makes, following the end
// while appending, and whole-line selection by keys and mouse for copying.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "app/MemoLines.h"

namespace {

using app::TMemoLines;

// A shown memo of `count` lines "line 0", "line 1", ..., at the top.
std::unique_ptr<TMemoLines> Memo(int count)
{
    auto memo = std::make_unique<TMemoLines>();
    memo->resize(300, 200);
    memo->show();
    for (int i = 0; i < count; ++i)
        memo->Append(QStringLiteral("line %1").arg(i));
    memo->verticalScrollBar()->setValue(0);
    return memo;
}

std::pair<int, int> Selection(const TMemoLines& memo) { return {memo.SelectionFirst(), memo.SelectionLast()}; }

TEST(MemoLines, EveryBreakCharacterStartsALineAsLinesInCountsThem)
{
    struct Case {
        QString text;
        QStringList lines;
    };
    const Case cases[] = {
        {"one", {"one"}},
        {"", {""}},
        {"a\nb", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {QString("a") + QChar::LineSeparator + "b", {"a", "b"}},
        {QString("a") + QChar::ParagraphSeparator + "b", {"a", "b"}},
        {"a\r\nb\n", {"a", "", "b", ""}},
        // Breaks before, inside and after a run of sixteen bytes, and a
        // character whose first byte is a separator's first byte.
        {QString::fromUtf8("0123456789abcdef\n\u20ac and \u20ac\r0123456789abcdefghi"),
         {"0123456789abcdef", QString::fromUtf8("\u20ac and \u20ac"), "0123456789abcdefghi"}},
        {QString::fromUtf8("\u00fcber\u2029") + QString(20, u'x') + "\n", {QString::fromUtf8("\u00fcber"), QString(20, u'x'), ""}},
    };
    for (const Case& c : cases) {
        TMemoLines memo;
        memo.Append(u"before");
        memo.Append(c.text);
        EXPECT_EQ(memo.Lines(), QStringList{"before"} + c.lines) << c.text.toStdString();
        EXPECT_EQ(TMemoLines::LinesIn(c.text.toStdString()), c.lines.size()) << c.text.toStdString();
        memo.SelectAll();
        EXPECT_EQ(memo.SelectedText(), (QStringList{"before"} + c.lines).join(u'\n'));
    }
}

TEST(MemoLines, AppendingFollowsTheEndOnlyFromTheBottom)
{
    for (const int scrolledTo : {-1, 0, 10}) {
        const auto memo = Memo(100);
        QScrollBar* bar = memo->verticalScrollBar();
        bar->setValue(scrolledTo < 0 ? bar->maximum() : scrolledTo);
        const int maximum = bar->maximum();
        memo->Append(u"one more\nand another");
        EXPECT_EQ(bar->maximum(), maximum + 2);
        EXPECT_EQ(bar->value(), scrolledTo < 0 ? bar->maximum() : scrolledTo) << scrolledTo;
    }
    // A fresh memo is at its bottom, and stays there as it fills.
    const auto memo = Memo(0);
    for (int i = 0; i < 100; ++i)
        memo->Append(u"x");
    EXPECT_GT(memo->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(memo->FirstVisibleLine(), memo->verticalScrollBar()->maximum());
}

TEST(MemoLines, KeysMoveAndShiftExtendsTheSelectionThatCopyTakes)
{
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };
    // Where the selection ends up, as a line plus so many pages.
    struct Case {
        std::vector<Step> steps;
        int first, firstPages, last, lastPages;
    };
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Case cases[] = {
        {{{Qt::Key_Down}}, 0, 0, 0, 0},
        {{{Qt::Key_Up}}, -1, 1, -1, 1},  // the last line in view
        {{{Qt::Key_Down}, {Qt::Key_Down}, {Qt::Key_Up}, {Qt::Key_Down}}, 1, 0, 1, 0},
        {{{Qt::Key_Down}, {Qt::Key_Down, shift}, {Qt::Key_Down, shift}}, 0, 0, 2, 0},
        {{{Qt::Key_Down}, {Qt::Key_PageDown, shift}}, 0, 0, 0, 1},
        {{{Qt::Key_End}, {Qt::Key_Up, shift}}, 98, 0, 99, 0},
        {{{Qt::Key_End}, {Qt::Key_Home, shift}}, 0, 0, 99, 0},
        {{{Qt::Key_End}, {Qt::Key_PageUp}}, 99, -1, 99, -1},
        {{{Qt::Key_Down}, {Qt::Key_A, Qt::ControlModifier}}, 0, 0, 99, 0},
    };
    for (const Case& c : cases) {
        const auto memo = Memo(100);
        for (const Step& s : c.steps)
            QTest::keyClick(memo.get(), Qt::Key(s.key), s.modifiers);
        const int page = memo->PageLines();
        const int first = c.first + c.firstPages * page, last = c.last + c.lastPages * page;
        EXPECT_EQ(Selection(*memo), std::make_pair(first, last)) << c.steps.size() << " keys, page " << page;
        const auto inView = [&](int line) {
            return line >= memo->FirstVisibleLine() && line < memo->FirstVisibleLine() + page;
        };
        EXPECT_TRUE(inView(first) || inView(last)) << "the moving end is in view";
        QTest::keyClick(memo.get(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
                  memo->Lines().mid(first, last - first + 1).join('\n').toStdString());
    }
}

TEST(MemoLines, ClicksDragsAndShiftClicksSelectWholeLines)
{
    struct Press {
        QEvent::Type type;
        int line;
        Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    };
    struct Case {
        std::vector<Press> presses;
        int first, last;
    };
    const QEvent::Type press = QEvent::MouseButtonPress, move = QEvent::MouseMove;
    const Case cases[] = {
        {{{press, 3}}, 3, 3},
        {{{press, 3}, {press, 7, Qt::ShiftModifier}}, 3, 7},
        {{{press, 7}, {press, 2, Qt::ShiftModifier}}, 2, 7},
        {{{press, 2}, {move, 5}}, 2, 5},
        {{{press, 4}, {move, -1}}, 0, 4},  // above the view: the line before the top
        {{{press, 4}, {press, 6}}, 6, 6},
    };
    for (const Case& c : cases) {
        const auto memo = Memo(100);
        const int height = memo->fontMetrics().height();
        for (const Press& p : c.presses) {
            // The middle of the line's row (the text has a margin above it).
            const QPointF at(10, 4 + p.line * height + height / 2);
            const Qt::MouseButton button = p.type == press ? Qt::LeftButton : Qt::NoButton;
            QMouseEvent event(p.type, at, memo->viewport()->mapToGlobal(at), button, Qt::LeftButton, p.modifiers);
            QApplication::sendEvent(memo->viewport(), &event);
            if (p.type == press) {
                QMouseEvent release(QEvent::MouseButtonRelease, at, memo->viewport()->mapToGlobal(at), Qt::LeftButton,
                                    Qt::NoButton, p.modifiers);
                if (&p != &c.presses.back() && (&p + 1)->type == move)
                    continue;  // still held for the drag
                QApplication::sendEvent(memo->viewport(), &release);
            }
        }
        EXPECT_EQ(Selection(*memo), std::make_pair(c.first, c.last)) << c.presses.size() << " presses";
    }
}

TEST(MemoLines, TheContextMenuCopiesAndSelectsAll)
{
    const auto memo = Memo(3);
    const std::unique_ptr<QMenu> before(memo->CreateContextMenu(nullptr));
    EXPECT_FALSE(before->actions().at(0)->isEnabled()) << "nothing to copy yet";
    before->actions().at(1)->trigger();
    const std::unique_ptr<QMenu> after(memo->CreateContextMenu(nullptr));
    ASSERT_TRUE(after->actions().at(0)->isEnabled());
    after->actions().at(0)->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "line 0\nline 1\nline 2");
    memo->Clear();
    EXPECT_EQ(Selection(*memo), std::make_pair(-1, -1));
    EXPECT_EQ(memo->LineCount(), 0);
}

}  // namespace
