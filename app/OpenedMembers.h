// The members taken out of the open archive for the desktop: opened with
// the desktop's program (a double click or Enter on a row) or dragged to a
// file manager. Each open and each drag gets a folder of its own inside one
// private folder (mode 0700, made at the first use, removed with everything
// in it when the archive is closed or the program ends), so the members are
// extracted there with their stored folder names and nothing else is in the
// way.
//
// An opened member is watched: when its file changes on disk (written in
// place, or replaced by a new file of the same name, as editors save), the
// owner is told once the writing has calmed down, one member at a time. An
// owner that cannot ask now (an operation runs, a dialog is open) says so
// and is asked again a little later; whatever it answers, the state of the
// file at that moment becomes the known one, so one save asks once.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

class QFileSystemWatcher;
class QTemporaryDir;

namespace app {

class TOpenedMembers : public QObject {
    Q_OBJECT

public:
    struct Member {
        std::string Name;  // as stored in the archive
        std::string Root;  // its folder: Name is the path below it
        bool Encrypted = false;
        std::optional<platform::FileStamp> Stamp;  // as last known
        std::string Path() const { return Root + "/" + Name; }
    };

    explicit TOpenedMembers(QObject* parent = nullptr);
    ~TOpenedMembers() override;

    // Told that a member's file changed; returns false when it cannot ask
    // now (asked again after RetryMs).
    std::function<bool(const Member&)> OnChanged;
    // How long writes must have stopped before a change is told, and how
    // long a member waits whose owner could not ask.
    int SettleMs = 300;
    int RetryMs = 1000;

    // The archive whose members these are ("" with none).
    const std::string& Archive() const { return archive_; }
    // A new empty folder for one open or drag of a member of `archive`
    // (a different archive first forgets everything); "" when the private
    // folder cannot be made.
    std::string NewFolder(const std::string& archive);
    // Removes a folder NewFolder made (a drag that was not dropped).
    void RemoveFolder(const std::string& folder);
    // Starts watching member `name`, extracted under `root`.
    void Watch(const std::string& name, const std::string& root, bool encrypted);
    const std::vector<Member>& Members() const { return members_; }
    // The private folder ("" before the first use or after Clear).
    std::string PrivateFolder() const;
    // Forgets every member and removes the private folder.
    void Clear();
    // Looks at every watched file now (what the watcher's signals lead to).
    void CheckNow();

private:
    void Changed();
    void WatchPaths();

    std::string archive_;
    std::unique_ptr<QTemporaryDir> folder_;
    int folders_ = 0;
    std::vector<Member> members_;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer settle_;
    bool telling_ = false;
};

}  // namespace app
