#include "app/OpenedMembers.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTemporaryDir>
#include <filesystem>

#include "app/NameText.h"

namespace app {

TOpenedMembers::TOpenedMembers(QObject* parent) : QObject(parent), watcher_(new QFileSystemWatcher(this))
{
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &TOpenedMembers::CheckNow);
    // A save by a new file and a rename ends the watch on the old file: the
    // folder's change brings the new one back into the watch.
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &TOpenedMembers::Changed);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &TOpenedMembers::Changed);
}

TOpenedMembers::~TOpenedMembers() { Clear(); }

std::string TOpenedMembers::PrivateFolder() const { return folder_ ? PathBytes(folder_->path()) : std::string(); }

std::string TOpenedMembers::NewFolder(const std::string& archive)
{
    if (archive != archive_)
        Clear();
    archive_ = archive;
    if (!folder_) {
        // QTemporaryDir makes its folder with mode 0700.
        auto made = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/fernpack-XXXXXX"));
        if (!made->isValid())
            return {};
        folder_ = std::move(made);
    }
    const std::string folder = PrivateFolder() + "/" + std::to_string(++folders_);
    std::error_code error;
    if (!std::filesystem::create_directory(folder, error))
        return {};
    return folder;
}

void TOpenedMembers::RemoveFolder(const std::string& folder)
{
    const std::string inside = PrivateFolder() + "/";
    if (folder_ && folder.size() > inside.size() && folder.compare(0, inside.size(), inside) == 0) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

void TOpenedMembers::Watch(const std::string& name, const std::string& root, bool encrypted)
{
    Member member{name, root, encrypted, platform::StampOf(root + "/" + name)};
    members_.push_back(member);
    WatchPaths();
}

void TOpenedMembers::WatchPaths()
{
    QStringList wanted;
    for (const Member& m : members_) {
        const QString path = PathText(m.Path());
        wanted << path << QFileInfo(path).absolutePath();
    }
    wanted.removeDuplicates();
    QStringList missing;
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& path : wanted)
        if (!watched.contains(path) && QFileInfo::exists(path))
            missing << path;
    if (!missing.isEmpty())
        watcher_->addPaths(missing);
}

void TOpenedMembers::Clear()
{
    settle_.stop();
    members_.clear();
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty())
        watcher_->removePaths(watched);
    folder_.reset();  // removes the folder and everything in it
    folders_ = 0;
    archive_.clear();
}

void TOpenedMembers::Changed()
{
    // Writes come in bursts; the question waits for the last one.
    settle_.start(SettleMs);
}

void TOpenedMembers::CheckNow()
{
    if (telling_)
        return;
    WatchPaths();
    bool retry = false;
    for (std::size_t i = 0; i < members_.size(); ++i) {
        const std::optional<platform::FileStamp> now = platform::StampOf(members_[i].Path());
        if (!now || now == members_[i].Stamp)
            continue;
        if (!OnChanged) {
            members_[i].Stamp = now;
            continue;
        }
        telling_ = true;
        const Member told = members_[i];
        bool asked = false;
        try {
            asked = OnChanged(told);
        } catch (...) {
            telling_ = false;
            throw;
        }
        telling_ = false;
        // The answer may have closed the archive, and the list with it.
        if (i >= members_.size() || members_[i].Path() != told.Path())
            return;
        if (asked)
            members_[i].Stamp = platform::StampOf(members_[i].Path());
        else
            retry = true;
    }
    if (retry)
        settle_.start(RetryMs);
}

}  // namespace app
