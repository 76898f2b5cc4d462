// The main window's keys and the menu on the grid's rows. Each key or item
// runs the command of the button or step of the same name, and is disabled
// with it while an operation runs:
//   Enter (in the grid), a double click   Open the current member
//   Delete                                Delete From Zip
//   Ctrl+O, Ctrl+N, Ctrl+E                Open Zip, New Zip, Extract
//   Ctrl+A                                select every row shown
//   Ctrl+C                                the selected rows' names
//   F5                                    list the archive again
//   Ctrl+1 .. Ctrl+4                      sort by that column (again: the other way)
//   Ctrl+F, Esc                           Find, and away with it
//   Alt+Return                            Archive Properties
// The menu: Open, Extract..., Delete..., Test, Copy Name(s), Properties.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include "app/ErrorBox.h"
#include "app/NameText.h"
#include "app/PropertiesBox.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "platform/FileSystem.h"
#include "platform/UiServices.h"

namespace app {

namespace {

// An action of this window: its key works wherever the focus is in it; what
// the handler throws goes to the top-level error box.
template <typename Handler>
QAction* Action(TMainform* form, const QString& caption, const QList<QKeySequence>& keys, Handler handler)
{
    auto* action = new QAction(caption, form);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, form, [handler] {
        try {
            handler();
        } catch (...) {
            TopLevelErrors::Instance().ReportCurrentException();
        }
    });
    form->addAction(action);
    return action;
}

}  // namespace

void TMainform::CreateActions()
{
    // Enter opens only in the grid; elsewhere it is the focused control's.
    OpenMemberAction = Action(this, Translated(text::MenuOpen),
                              {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}, [this] { OpenMember(); });
    OpenMemberAction->setShortcutContext(Qt::WidgetShortcut);
    StringGrid1->addAction(OpenMemberAction);
    ExtractAction = Action(this, Translated(text::MenuExtract), {QKeySequence(Qt::CTRL | Qt::Key_E)},
                           [this] { ExtractButClick(); });
    DeleteAction = Action(this, Translated(text::MenuDelete), {QKeySequence::Delete}, [this] { DeleteButClick(); });
    TestAction = Action(this, Translated(text::MenuTest), {}, [this] { TestButClick(); });
    CopyNamesAction = Action(this, Translated(text::MenuCopyNames), {QKeySequence::Copy}, [this] { CopyNamesClick(); });
    PropertiesAction = Action(this, Translated(text::MenuProperties),
                              {QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)},
                              [this] { PropertiesClick(); });
    OpenZipAction = Action(this, QString(), {QKeySequence::Open}, [this] { ZipOpenButClick(); });
    NewZipAction = Action(this, QString(), {QKeySequence::New}, [this] { NewZipButClick(); });
    SelectAllAction = Action(this, QString(), {QKeySequence::SelectAll}, [this] { SelectAllRows(); });
    RelistAction = Action(this, QString(), {QKeySequence(Qt::Key_F5)}, [this] { RelistClick(); });
    FindAction = Action(this, QString(), {QKeySequence::Find}, [this] { ShowFind(); });
    CloseFindAction = Action(this, QString(), {QKeySequence(Qt::Key_Escape)}, [this] { CloseFind(); });
    CloseFindAction->setEnabled(false);
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4};
    for (int col = 0; col < 4; ++col)
        SortActions[col] =
            Action(this, QString(), {QKeySequence(Qt::CTRL | digits[col])}, [this, col] { SortByKey(col); });
}

bool TMainform::GridKey(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu && static_cast<QContextMenuEvent*>(event)->reason() ==
                                                     QContextMenuEvent::Keyboard) {
        // The menu key: at the current row.
        const grid::TRect r = StringGrid1->CellRect(0, StringGrid1->Row());
        ShowRowMenu(r.Width() > 0 ? QPoint(r.Left + 4, r.Bottom) : QPoint(4, 4));
        return true;
    }
    if (event->type() != QEvent::KeyPress || watched != FindEdit)
        return false;
    // Enter in Find goes from the text to the rows it found.
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    StringGrid1->setFocus(Qt::OtherFocusReason);
    return true;
}

void TMainform::SelectAllRows()
{
    grid::TSortGrid& g = *StringGrid1;
    g.SetSelection({g.FixedCols(), g.FixedRows(), g.ColCount() - 1, g.RowCount() - 1});
}

void TMainform::CopyNamesClick()
{
    if (RezEdidiv1.EntryCount() < 1)
        return;
    QStringList lines;
    for (const std::string& name : SelectedNames())
        lines << DecodeName(name);
    QApplication::clipboard()->setText(lines.join(u'\n'));
}

void TMainform::RelistClick()
{
    if (busy_ || RezEdidiv1.ZipFilename().empty())
        return;
    RezEdidiv1.SetZipFilename(RezEdidiv1.ZipFilename());
}

void TMainform::SortByKey(int col)
{
    grid::TSortOptions options;
    StringGrid1ClickSort(StringGrid1, col, 0, options);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        StringGrid1->SortByColumn(col, options);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
    // The heading's glyph moves even when there was nothing to sort.
    StringGrid1->viewport()->update();
}

void TMainform::PropertiesClick()
{
    if (busy_)
        return;
    const std::string& name = RezEdidiv1.ZipFilename();
    if (name.empty()) {
        platform::Ui().ShowMessage(Translate(text::OpenZipFirst));
        return;
    }
    if (!platform::FileExists(name)) {
        platform::Ui().ShowMessage(Translate(text::FileNotFound, {name}));
        return;
    }
    TPropertiesBox box(ArchiveFactsOf(RezEdidiv1), this);
    ShowModal(box);
}

QMenu* TMainform::MakeRowMenu()
{
    auto* menu = new QMenu(this);
    const bool several = StringGrid1->Selection().Bottom > StringGrid1->Selection().Top;
    CopyNamesAction->setText(Translated(several ? text::MenuCopyNames : text::MenuCopyName));
    const bool members = RezEdidiv1.EntryCount() > 0;
    for (QAction* a : {OpenMemberAction, ExtractAction, DeleteAction, TestAction})
        menu->addAction(a);
    menu->addSeparator();
    menu->addAction(CopyNamesAction);
    menu->addSeparator();
    menu->addAction(PropertiesAction);
    // What would only say there is nothing to act on is not offered.
    const std::string current = StringGrid1->Cells(0, StringGrid1->Row());
    OpenMemberAction->setEnabled(!busy_ && members && !current.empty() && current.back() != '/');
    CopyNamesAction->setEnabled(members);
    return menu;
}

void TMainform::ShowRowMenu(QPoint viewportPos)
{
    grid::TSortGrid& g = *StringGrid1;
    const grid::TGridCoord cell = g.MouseCoord(viewportPos.x(), viewportPos.y());
    if (cell.Y >= 0 && cell.Y < g.FixedRows())
        return;  // the headings sort with the right button
    // A row outside the selection becomes the selection, as in file managers.
    const grid::TGridRect selection = g.Selection();
    if (cell.Y >= g.FixedRows() && (cell.Y < selection.Top || cell.Y > selection.Bottom))
        g.MoveToCell(g.FixedCols(), cell.Y);
    std::unique_ptr<QMenu> menu(MakeRowMenu());
    menu->exec(g.viewport()->mapToGlobal(viewportPos));
    // Open is a key of the grid again, enabled as the other commands are.
    OpenMemberAction->setEnabled(!busy_);
    CopyNamesAction->setEnabled(true);
}

}  // namespace app
