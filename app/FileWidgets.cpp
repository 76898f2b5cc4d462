#include "app/FileWidgets.h"

#include <QApplication>
#include <QDir>
#include <QStorageInfo>
#include <QStyle>
#include <algorithm>
#include <map>
#include <set>

#include "app/NameText.h"
#include "engine/PathText.h"
#include "platform/DirectoryListing.h"
#include "platform/FileSystem.h"

namespace app {

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int PopulatedRole = Qt::UserRole + 1;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsUnder(const std::string& path, const std::string& root)
{
    if (root == "/")
        return !path.empty() && path[0] == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

std::string ParentOf(const std::string& path)
{
    const std::string parent = engine::ExtractFileDir(path);
    return parent.empty() ? "/" : parent;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

QByteArray Bytes(const std::string& text) { return QByteArray(text.data(), static_cast<qsizetype>(text.size())); }
std::string Bytes(const QVariant& value)
{
    const QByteArray b = value.toByteArray();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

// The entries of `folder` of one kind, not hidden, in name order.
std::vector<std::string> Names(const std::string& folder, platform::EntryKind kind)
{
    std::vector<std::string> names;
    for (const platform::DirectoryEntry& e : platform::ListDirectory(folder))
        if (e.Kind == kind && !e.Hidden)
            names.push_back(e.Name);
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

// The style's icons are read from image files each time they are asked for;
// a folder of hundreds of subfolders would read one per row. One copy per
// style and icon serves them all (a QIcon is shared, not copied).
QIcon StandardIcon(QStyle::StandardPixmap which)
{
    static std::map<std::pair<const QStyle*, QStyle::StandardPixmap>, QIcon> icons;
    const QStyle* style = QApplication::style();
    auto found = icons.find({style, which});
    if (found == icons.end())
        found = icons.emplace(std::make_pair(style, which), style->standardIcon(which)).first;
    return found->second;
}

}  // namespace

bool NameLess(const std::string& a, const std::string& b)
{
    const auto folded = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                     [](char x, char y) { return Lower(x) < Lower(y); });
    if (folded)
        return true;
    const bool foldedAfter = std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                                          [](char x, char y) { return Lower(x) < Lower(y); });
    return !foldedAfter && a < b;
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::vector<std::string> PickerRoots(const std::string& home, const std::vector<MountedVolume>& volumes)
{
    static const std::set<std::string> pseudo = {
        "proc", "sysfs", "devtmpfs", "devpts", "tmpfs", "ramfs", "cgroup", "cgroup2", "overlay", "squashfs",
        "autofs", "securityfs", "pstore", "debugfs", "tracefs", "bpf", "mqueue", "hugetlbfs", "fusectl",
        "configfs", "binfmt_misc", "nsfs", "efivarfs", "rpc_pipefs", "fuse.portal", "fuse.gvfsd-fuse"};
    static const std::set<std::string> network = {"nfs", "nfs4", "cifs", "smb3", "fuse.sshfs", "9p", "virtiofs"};
    static const char* systemPlaces[] = {"/boot", "/dev", "/etc", "/opt", "/proc", "/run", "/snap",
                                         "/srv", "/sys", "/tmp", "/usr", "/var"};
    std::vector<std::string> roots = {"/"};
    auto add = [&roots](const std::string& path) {
        if (!path.empty() && std::find(roots.begin(), roots.end(), path) == roots.end())
            roots.push_back(path);
    };
    add(home);
    for (const MountedVolume& v : volumes) {
        if (v.Root.empty() || v.Root == "/" || pseudo.count(v.Type) != 0)
            continue;
        const bool userPlace =
            StartsWith(v.Root, "/media/") || StartsWith(v.Root, "/mnt/") || StartsWith(v.Root, "/run/media/");
        bool systemPlace = false;
        for (const char* place : systemPlaces)
            systemPlace = systemPlace || IsUnder(v.Root, place);
        const bool disk = StartsWith(v.Device, "/dev/") || network.count(v.Type) != 0;
        if (userPlace || (disk && !systemPlace))
            add(v.Root);
    }
    return roots;
}

std::vector<std::string> FileSystemRoots()
{
    std::vector<MountedVolume> volumes;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        if (!s.isValid() || !s.isReady())
            continue;
        const std::string root = PathBytes(s.rootPath());
        // Single files bound into containers are no places to browse.
        if (platform::DirectoryExists(root))
            volumes.push_back({root, s.device().toStdString(), s.fileSystemType().toStdString()});
    }
    return PickerRoots(PathBytes(QDir::homePath()), volumes);
}

std::string RootOf(const std::vector<std::string>& roots, const std::string& path)
{
    std::string best = "/";
    for (const std::string& root : roots)
        if (IsUnder(path, root) && root.size() > best.size())
            best = root;
    return best;
}

// ---------------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, [this] { emit DriveChanged(); });
}

void TDriveComboBox::SetRoots(const std::vector<std::string>& roots)
{
    const QSignalBlocker block(this);
    roots_ = roots;
    clear();
    const std::string home = PathBytes(QDir::homePath());
    for (const std::string& root : roots_) {
        const QIcon icon = StandardIcon(root == home ? QStyle::SP_DirHomeIcon : QStyle::SP_DriveHDIcon);
        addItem(icon, VisibleName(root), Bytes(root));
    }
}

std::string TDriveComboBox::Drive() const { return currentIndex() < 0 ? "/" : Bytes(currentData()); }

void TDriveComboBox::Follow(const std::string& path)
{
    const QSignalBlocker block(this);
    const std::string root = RootOf(roots_, path);
    const int index = findData(Bytes(root));
    if (index >= 0)
        setCurrentIndex(index);
}

// ---------------------------------------------------------------------------

TDirectoryListBox::TDirectoryListBox(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    // The tree sits in a narrow column and unfolds a whole path: a small
    // step per level leaves room for the names.
    setIndentation(12);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { Populate(item); });
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr && Bytes(item->data(0, PathRole)) != directory_) {
            Open(item);
            emit DirectoryChanged();
        }
    });
}

QTreeWidgetItem* TDirectoryListBox::NewItem(const std::string& path, const std::string& text)
{
    auto* item = new QTreeWidgetItem(QStringList(VisibleName(text)));
    item->setData(0, PathRole, Bytes(path));
    // A name too long for the column is cut short; the hint shows it whole.
    item->setToolTip(0, VisibleName(path));
    item->setIcon(0, StandardIcon(QStyle::SP_DirIcon));
    // Whether it has subfolders is found out when it unfolds.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void TDirectoryListBox::Populate(QTreeWidgetItem* item)
{
    if (item->data(0, PopulatedRole).toBool())
        return;
    item->setData(0, PopulatedRole, true);
    const std::string path = Bytes(item->data(0, PathRole));
    std::set<std::string> present;
    for (int i = 0; i < item->childCount(); ++i)
        present.insert(Bytes(item->child(i)->data(0, PathRole)));
    QList<QTreeWidgetItem*> children;
    for (const std::string& name : Names(path, platform::EntryKind::Directory))
        if (present.count(JoinPath(path, name)) == 0)
            children.push_back(NewItem(JoinPath(path, name), name));
    item->addChildren(children);
    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void TDirectoryListBox::Open(QTreeWidgetItem* item)
{
    directory_ = Bytes(item->data(0, PathRole));
    Populate(item);
    item->setExpanded(true);
    scrollToItem(item);
}

void TDirectoryListBox::SetDirectory(const std::string& root, const std::string& path)
{
    std::string target = IsUnder(path, root) ? path : root;
    while (target != root && !platform::DirectoryExists(target))
        target = ParentOf(target);
    {
        const QSignalBlocker block(this);
        clear();
        root_ = root;
        QTreeWidgetItem* item = NewItem(root, root);
        addTopLevelItem(item);
        // Down from the root, one folder of the path at a time; a hidden
        // folder on the way is shown, as it is where the user is.
        std::size_t at = root == "/" ? 1 : root.size() + 1;
        while (at < target.size()) {
            Populate(item);
            item->setExpanded(true);
            const std::size_t end = std::min(target.find('/', at), target.size());
            const std::string next = target.substr(0, end);
            QTreeWidgetItem* child = nullptr;
            for (int i = 0; i < item->childCount() && child == nullptr; ++i)
                if (Bytes(item->child(i)->data(0, PathRole)) == next)
                    child = item->child(i);
            if (child == nullptr) {
                child = NewItem(next, target.substr(at, end - at));
                item->addChild(child);
            }
            item = child;
            at = end + 1;
        }
        setCurrentItem(item);
        Open(item);
    }
    emit DirectoryChanged();
}

void TDirectoryListBox::Refresh() { SetDirectory(root_.empty() ? "/" : root_, directory_.empty() ? "/" : directory_); }

// ---------------------------------------------------------------------------

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

void TFileListBox::SetDirectory(const std::string& folder)
{
    directory_ = folder;
    clear();
    const QIcon icon = StandardIcon(QStyle::SP_FileIcon);
    for (const std::string& name : Names(folder, platform::EntryKind::File)) {
        auto* item = new QListWidgetItem(icon, VisibleName(name));
        item->setData(PathRole, Bytes(name));
        addItem(item);
    }
}

std::string TFileListBox::Name(int i) const { return Bytes(item(i)->data(PathRole)); }

bool TFileListBox::Selected(int i) const { return item(i)->isSelected(); }

void TFileListBox::SetSelected(int i, bool selected)
{
    item(i)->setSelected(selected);
    scrollToItem(item(i));
}

// ---------------------------------------------------------------------------

TFolderBrowser::TFolderBrowser(TDriveComboBox& drives, TDirectoryListBox& tree, TFileListBox* files,
                               QObject* parent)
    : QObject(parent), drives_(drives), tree_(tree), files_(files)
{
    connect(&drives_, &TDriveComboBox::DriveChanged, this, [this] { Open(drives_.Drive()); });
    connect(&tree_, &TDirectoryListBox::DirectoryChanged, this, [this] {
        if (files_ != nullptr)
            files_->SetDirectory(tree_.Directory());
        emit DirectoryChanged();
    });
}

void TFolderBrowser::Open(const std::string& path)
{
    const std::string root = RootOf(drives_.Roots(), path);
    drives_.Follow(root);
    tree_.SetDirectory(root, path);
}

void TFolderBrowser::Refresh() { tree_.Refresh(); }

}  // namespace app
