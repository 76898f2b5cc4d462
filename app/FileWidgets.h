// The folder and file pickers of the Add and Extract dialogs, on a POSIX
// file system: a "drive" picker of the places a user starts from (the root,
// the home folder, mounted volumes), a folder tree below the picked place
// whose chosen folder is the open one, and the open folder's files.
//
// Promises: everything is read synchronously when asked for, so what a list
// shows is complete the moment a folder opens; paths and names are kept as
// the file system's bytes (only display decodes them); folders and files
// whose names start with "." are left out, as file choosers do; an
// unreadable folder shows nothing and a vanished one gives way to its
// nearest existing parent. Paths are absolute, without a trailing '/'
// except the root "/".
#pragma once

#include <QComboBox>
#include <QListWidget>
#include <QTreeWidget>
#include <string>
#include <vector>

namespace app {

// Name order of the lists: ASCII letters compared without case, and names
// that differ only in case ordered byte for byte ("B" before "b"), so the
// order is total and the same on every run.
bool NameLess(const std::string& a, const std::string& b);

// `name` inside `folder`.
std::string JoinPath(const std::string& folder, const std::string& name);

struct MountedVolume {
    std::string Root;
    std::string Device;
    std::string Type;
};

// The picker's places: "/", then the home folder, then the volumes a user
// keeps files on (removable and extra disks, network shares), without the
// system's own mounts (/proc, /sys, /run, /boot, pseudo file systems).
std::vector<std::string> PickerRoots(const std::string& home, const std::vector<MountedVolume>& volumes);
// The same for this machine.
std::vector<std::string> FileSystemRoots();

// Of `roots`, the one that holds `path` most closely ("/" holds all).
std::string RootOf(const std::vector<std::string>& roots, const std::string& path);

// The drive picker.
class TDriveComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TDriveComboBox(QWidget* parent = nullptr);

    void SetRoots(const std::vector<std::string>& roots);
    const std::vector<std::string>& Roots() const { return roots_; }
    // The picked place.
    std::string Drive() const;
    // Picks the place that holds `path`, without raising DriveChanged.
    void Follow(const std::string& path);

signals:
    // The user picked another place.
    void DriveChanged();

private:
    std::vector<std::string> roots_;
};

// The folder tree: one picked place at the top, the path down to the open
// folder unfolded, the open folder's subfolders shown. Choosing a folder (a
// click or the arrow keys) opens it; deeper levels unfold on demand.
class TDirectoryListBox : public QTreeWidget {
    Q_OBJECT

public:
    explicit TDirectoryListBox(QWidget* parent = nullptr);

    // The open folder.
    const std::string& Directory() const { return directory_; }
    // Shows `root` at the top and opens `path` below it (the root itself
    // when `path` lies outside it, or no longer exists).
    void SetDirectory(const std::string& root, const std::string& path);
    const std::string& Root() const { return root_; }
    // Reads the folders again (they may have changed while the dialog was
    // hidden), keeping the open folder or its nearest existing parent.
    void Refresh();

signals:
    void DirectoryChanged();

private:
    QTreeWidgetItem* NewItem(const std::string& path, const std::string& text);
    void Populate(QTreeWidgetItem* item);
    void Open(QTreeWidgetItem* item);

    std::string root_;
    std::string directory_;
};

// The open folder's files, any number of them selectable.
class TFileListBox : public QListWidget {
    Q_OBJECT

public:
    explicit TFileListBox(QWidget* parent = nullptr);

    // Lists `folder`'s regular files, sorted by name.
    void SetDirectory(const std::string& folder);
    const std::string& Directory() const { return directory_; }

    // The file name of entry i, as bytes.
    std::string Name(int i) const;
    bool Selected(int i) const;
    // Selects or deselects entry i and scrolls it into view.
    void SetSelected(int i, bool selected);

private:
    std::string directory_;
};

// The picker, the tree and (when there is one) the file list linked as one
// browser: picking a place opens it in the tree; opening a folder lists its
// files and makes the picker show the place that holds it.
class TFolderBrowser : public QObject {
    Q_OBJECT

public:
    TFolderBrowser(TDriveComboBox& drives, TDirectoryListBox& tree, TFileListBox* files, QObject* parent = nullptr);

    // Opens `path` (absolute), under the place that holds it.
    void Open(const std::string& path);
    // Re-reads the folders and the files.
    void Refresh();

signals:
    void DirectoryChanged();

private:
    TDriveComboBox& drives_;
    TDirectoryListBox& tree_;
    TFileListBox* files_;
};

}  // namespace app
