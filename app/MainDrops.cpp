// Drag and drop on the main window. Files dropped from a file manager are
// added through Add Files (a new archive named first when none is open); an
// archive dropped alone is opened, or, with another one open, opened or
// added after a question. Rows dragged out of the grid carry their members
// to wherever they are dropped: extracted, with their folders, only when
// the drop target asks for them.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QDir>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTimer>

#include "app/AppServices.h"
#include "app/DropPlan.h"
#include "app/ErrorBox.h"
#include "app/MemberMime.h"
#include "app/NameText.h"
#include "app/Texts.h"
#include "app/mainunit.h"
#include "engine/PathText.h"
#include "platform/FileSystem.h"

namespace app {

bool TMainform::AcceptsDrop(const QMimeData* data, const QObject* source) const
{
    // Our own rows dropped back on us would be extracted for nothing.
    if (busy_ || data == nullptr || (source != nullptr && (source == StringGrid1 || source == StringGrid1->viewport())))
        return false;
    if (!data->hasUrls())
        return false;
    return !LocalPaths(data->urls()).empty();
}

void TMainform::dragEnterEvent(QDragEnterEvent* event)
{
    if (AcceptsDrop(event->mimeData(), event->source()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainform::dragMoveEvent(QDragMoveEvent* event)
{
    if (busy_)
        event->ignore();
    else
        event->acceptProposedAction();
}

void TMainform::dropEvent(QDropEvent* event)
{
    if (!AcceptsDrop(event->mimeData(), event->source())) {
        event->ignore();
        return;
    }
    const std::vector<std::string> paths = LocalPaths(event->mimeData()->urls());
    event->acceptProposedAction();
    // The drop ends first: the file manager is not kept waiting while the
    // user answers what follows.
    QTimer::singleShot(0, this, [this, paths] {
        try {
            DropPaths(paths);
        } catch (...) {
            TopLevelErrors::Instance().ReportCurrentException();
        }
    });
}

void TMainform::DropPaths(const std::vector<std::string>& paths)
{
    if (busy_ || paths.empty())
        return;
    if (IsArchiveDrop(paths)) {
        if (!RezEdidiv1.ZipFilename().empty()) {
            const std::string question =
                Translate(text::OpenOrAdd,
                          {engine::ExtractFileName(paths[0]), engine::ExtractFileName(RezEdidiv1.ZipFilename())});
            const int answer = Dialogs().Choose(
                question, {Translate(text::ChoiceOpen), Translate(text::ChoiceAdd), Translate(text::ChoiceCancel)});
            if (answer == 1) {
                AddWithEntries(AddListEntries(paths));
                return;
            }
            if (answer != 0)
                return;
        }
        OpenZipNamed(paths[0]);
        return;
    }
    AddPaths(paths);
}

void TMainform::AddPaths(const std::vector<std::string>& paths)
{
    if (busy_)
        return;
    const std::vector<std::string> entries = AddListEntries(paths);
    if (entries.empty())
        return;
    if (RezEdidiv1.ZipFilename().empty() && !NewZipIn(FolderOf(paths[0])))
        return;
    AddWithEntries(entries);
}

// ---------------------------------------------------------------------------
// Rows dragged out

bool TMainform::GridMouse(QEvent* event)
{
    grid::TSortGrid& g = *StringGrid1;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (replayingPress_)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const grid::TGridCoord cell = g.MouseCoord(at.x(), at.y());
        const grid::TGridRect selection = g.Selection();
        // A plain left press on a selected row may begin a drag; it is held
        // back, so a drag of several rows does not first shrink them to one.
        if (mouse->button() != Qt::LeftButton || mouse->modifiers() != Qt::NoModifier || cell.X < 0 ||
            cell.Y < g.FixedRows() || cell.Y < selection.Top || cell.Y > selection.Bottom ||
            RezEdidiv1.EntryCount() < 1)
            return false;
        pressHeld_ = true;
        pressAt_ = at;
        pressModifiers_ = mouse->modifiers();
        g.setFocus(Qt::MouseFocusReason);
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!pressHeld_ || !(mouse->buttons() & Qt::LeftButton))
            return false;
        if ((mouse->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance())
            return true;
        pressHeld_ = false;
        QMimeData* data = MakeMemberDrag();
        if (data == nullptr)
            return true;
        // The toolkit owns the drag and keeps it until the drop target has
        // taken the data, which on X11 may be after exec() has returned.
        auto* drag = new QDrag(g.viewport());
        drag->setMimeData(data);
        dragFolder_.clear();
        const Qt::DropAction done = drag->exec(Qt::CopyAction, Qt::CopyAction);
        // Let go where nothing took it: what a target looking on extracted
        // for it goes.
        if (done == Qt::IgnoreAction && !dragFolder_.empty())
            opened_.RemoveFolder(dragFolder_);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!pressHeld_)
            return false;
        // No drag after all: the grid gets the press it was owed, then this
        // release.
        pressHeld_ = false;
        // Given as from a device of its own: a press made up on the mouse's
        // behalf would change what the toolkit remembers of the mouse's
        // last press, and the second click of a double click would no
        // longer count as one.
        if (heldPressDevice_ == nullptr)
            heldPressDevice_ = new QPointingDevice(QStringLiteral("Fernpack held press"), 0x464e5050,
                                                   QInputDevice::DeviceType::Mouse,
                                                   QPointingDevice::PointerType::Generic,
                                                   QInputDevice::Capability::Position, 1, 3, {}, {}, this);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(pressAt_), QPointF(pressAt_),
                          g.viewport()->mapToGlobal(QPointF(pressAt_)), Qt::LeftButton, Qt::LeftButton,
                          pressModifiers_, heldPressDevice_);
        replayingPress_ = true;
        QApplication::sendEvent(g.viewport(), &press);
        replayingPress_ = false;
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        const grid::TGridCoord cell = g.MouseCoord(at.x(), at.y());
        if (mouse->button() != Qt::LeftButton || cell.X < 0 || cell.Y < g.FixedRows())
            return false;  // a heading's edge still fits its column
        pressHeld_ = false;
        g.MoveToCell(g.FixedCols(), cell.Y);
        if (OpenMemberAction->isEnabled())
            OpenMember();
        return true;
    }
    default:
        return false;
    }
}

QMimeData* TMainform::MakeMemberDrag()
{
    if (busy_ || RezEdidiv1.EntryCount() < 1)
        return nullptr;
    engine::TStrings names;
    for (const std::string& name : SelectedNames())
        if (!name.empty())
            names.push_back(name);
    if (names.empty())
        return nullptr;
    // Asked now: once the drop is under way there is no time for questions.
    std::optional<std::string> password;
    if (!ArchivePasswordFor(names, password))
        return nullptr;
    return new TMemberMimeData([this, names, password] { return ExtractForDrop(names, password); });
}

QList<QUrl> TMainform::ExtractForDrop(const engine::TStrings& names, const std::optional<std::string>& password)
{
    const std::string folder = ExtractPrivately(names, password);
    if (folder.empty())
        return {};
    dragFolder_ = folder;
    // What stands at the top of the folder: files, and the stored folders
    // with what they hold.
    QList<QUrl> urls;
    const QDir dir(PathText(folder));
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                              QDir::Name))
        urls << QUrl::fromLocalFile(dir.filePath(entry));
    return urls;
}

}  // namespace app
