#include "app/Addunit.h"

#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "app/DialogParts.h"
#include "app/FileWidgets.h"
#include "app/Fonts.h"
#include "app/NameText.h"
#include "app/ProgramIcon.h"
#include "app/WindowPlacement.h"
#include "app/Translate.h"
#include "platform/FileSystem.h"

namespace app {

namespace {

constexpr int FormWidth = 620;
constexpr int FormHeight = 440;
constexpr int LeftWidth = 173;
constexpr int MiddleWidth = 104;
constexpr int DriveStrip = 23;
constexpr int TreeStrip = 97;
constexpr int SelectAllStrip = 26;
constexpr int ListStrip = 26;
// Where the middle column's controls end (the last button's bottom), and a margin.
constexpr int MiddleHeight = 324 + 8;
constexpr int BevelX = 3;
constexpr int BevelY = 31;
constexpr int SelectAllX = 43;
constexpr int MinimumFileListHeight = 60;
constexpr int EntryRole = Qt::UserRole;

std::string EntryOf(const QListWidgetItem* item)
{
    const QByteArray b = item->data(EntryRole).toByteArray();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

}  // namespace

// ---------------------------------------------------------------------------

TSelectedList::TSelectedList(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
}

std::vector<std::string> TSelectedList::Entries() const
{
    std::vector<std::string> entries;
    for (int i = 0; i < count(); ++i)
        entries.push_back(EntryOf(item(i)));
    return entries;
}

bool TSelectedList::Contains(const std::string& entry) const
{
    for (int i = 0; i < count(); ++i)
        if (EntryOf(item(i)) == entry)
            return true;
    return false;
}

void TSelectedList::Append(const std::string& entry)
{
    auto* item = new QListWidgetItem(VisibleName(entry));
    item->setData(EntryRole, QByteArray(entry.data(), static_cast<qsizetype>(entry.size())));
    int at = count();
    if (sorted_) {
        at = 0;
        while (at < count() && !NameLess(entry, EntryOf(this->item(at))))
            ++at;
    }
    insertItem(at, item);
}

void TSelectedList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        emit RemoveAsked();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void TSelectedList::SortForGood()
{
    sorted_ = true;
    std::vector<std::string> entries = Entries();
    std::stable_sort(entries.begin(), entries.end(), NameLess);
    clear();
    for (const std::string& entry : entries)
        Append(entry);
}

// ---------------------------------------------------------------------------

TAddForm::TAddForm(TDialogOutcome& outcome, QWidget* parent) : QDialog(parent), outcome_(outcome)
{
    setWindowTitle(QTr("TAddForm", "Add Files"));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(SmallFontPixels));
    resize(FormWidth, FormHeight);

    LeftColumn = RaisedPanel(this);
    DriveComboBox1 = new TDriveComboBox(LeftColumn);
    DriveComboBox1->setGeometry(3, 3, 157, 19);
    DirectoryListBox1 = new TDirectoryListBox(LeftColumn);
    SelectAllBut =
        PlacedButton(LeftColumn, QTr("TAddForm", "Select All Files"), SelectAllX, DriveStrip + TreeStrip + 4, 81, 17);
    FileListBox1 = new TFileListBox(LeftColumn);

    MiddleColumn = RaisedPanel(this);
    Label2 = PlacedLabel(MiddleColumn, QTr("TAddForm", "Options"), 28, 12, MainFontPixels, true);
    Bevel1 = new QFrame(MiddleColumn);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(BevelX, BevelY, 99, 74);
    // Inside the frame, which grows with them: at x 6 and y 40, 62 and 82 in
    // the column.
    DirNameCB = PlacedCheckBox(Bevel1, QTr("TAddForm", "Save DirNames"), 6 - BevelX, 40 - BevelY, 95, 14);
    RecurseCB = PlacedCheckBox(Bevel1, QTr("TAddForm", "Recurse Dirs"), 6 - BevelX, 62 - BevelY, 83, 14);
    EncryptCB = PlacedCheckBox(Bevel1, QTr("TAddForm", "Encrypt Files"), 6 - BevelX, 82 - BevelY, 87, 17);
    AddDirBut = PlacedButton(MiddleColumn, QTr("TAddForm", "Add &Dir  ==>"), 8, 132, 85, 21, true);
    AddFileBut = PlacedButton(MiddleColumn, QTr("TAddForm", "&Add File ==>"), 8, 162, 84, 20, true);
    RemoveBut = PlacedButton(MiddleColumn, QTr("TAddForm", "&Remove <=="), 8, 216, 84, 21, true);
    OKBut = PlacedButton(MiddleColumn, QTr("TAddForm", "DO IT &NOW"), 11, 271, 83, 20, true);
    CancelBut = PlacedButton(MiddleColumn, QTr("TAddForm", "&Cancel"), 11, 304, 83, 20, true);

    RightColumn = RaisedPanel(this);
    Label1 = PlacedLabel(RightColumn, QTr("TAddForm", "Files to Add:"), 53, 7, MainFontPixels, true);
    SortBut = PlacedButton(RightColumn, QTr("TAddForm", "&Sort"), 150, 6, 46, 16);
    SelectedList = new TSelectedList(RightColumn);
    // Reached with Tab too, so its entries can be chosen and removed
    // (Alt+R, or Delete in the list) from the keyboard.
    SelectedList->setFocusPolicy(Qt::StrongFocus);
    connect(SelectedList, &TSelectedList::RemoveAsked, this, &TAddForm::RemoveButClick);

    // Enter anywhere means "DO IT &NOW"; a button with the focus is pressed
    // with the space bar.
    for (QPushButton* b : {SelectAllBut, AddDirBut, AddFileBut, RemoveBut, CancelBut, SortBut})
        b->setAutoDefault(false);
    OKBut->setDefault(true);

    connect(AddFileBut, &QPushButton::clicked, this, &TAddForm::AddFileButClick);
    connect(AddDirBut, &QPushButton::clicked, this, &TAddForm::AddDirButClick);
    connect(RemoveBut, &QPushButton::clicked, this, &TAddForm::RemoveButClick);
    connect(SortBut, &QPushButton::clicked, this, &TAddForm::SortButClick);
    connect(SelectAllBut, &QPushButton::clicked, this, &TAddForm::SelectAllButClick);
    connect(OKBut, &QPushButton::clicked, this, &TAddForm::OKButClick);
    connect(CancelBut, &QPushButton::clicked, this, &TAddForm::CancelButClick);

    FitToFonts();

    browser_ = new TFolderBrowser(*DriveComboBox1, *DirectoryListBox1, FileListBox1, this);
    DriveComboBox1->SetRoots(FileSystemRoots());
    OpenDirectory(platform::GetCurrentDir());
    FormCreate();
}

TAddForm::~TAddForm() = default;

void TAddForm::FitToFonts()
{
    // The places as designed.
    bevelFit_ = TFitLayout(Bevel1->size());
    for (QCheckBox* box : {DirNameCB, RecurseCB, EncryptCB})
        bevelFit_.Add(box);
    middleFit_ = TFitLayout({MiddleWidth, MiddleHeight});
    middleFit_.Add(Label2);
    middleFit_.Add(Bevel1, bevelFit_);
    for (QPushButton* b : {AddDirBut, AddFileBut, RemoveBut, OKBut, CancelBut})
        middleFit_.Add(b);
    listStripFit_ = TFitLayout({FormWidth - LeftWidth - MiddleWidth, ListStrip});
    listStripFit_.Add(Label1);
    listStripFit_.Add(SortBut);
    const QSize selectAllDesigned = SelectAllBut->size();

    // Then the fonts at the user's size, and the room they need.
    ScaleFonts(*this);
    const QSize middle = middleFit_.Apply();
    const QSize listStrip = listStripFit_.Apply();
    middleWidth_ = middle.width();
    listStrip_ = listStrip.height();
    selectAllSize_ = NeededSize(*SelectAllBut, selectAllDesigned);
    const int driveHeight = NeededSize(*DriveComboBox1, {157, 19}, Grow::Height).height();
    driveStrip_ = DriveStrip + driveHeight - 19;
    selectAllStrip_ = SelectAllStrip + selectAllSize_.height() - selectAllDesigned.height();
    leftWidth_ = std::max({LeftWidth, SelectAllX + selectAllSize_.width() + SelectAllX, 3 + 157 + 3});
    const int leftHeight = driveStrip_ + TreeStrip + selectAllStrip_ + MinimumFileListHeight;
    setMinimumSize(leftWidth_ + middleWidth_ + listStrip.width(), std::max(middle.height(), leftHeight));
    resize(size().expandedTo(minimumSize()));
}

void TAddForm::FormCreate()
{
    DirNameCB->setChecked(false);
    RecurseCB->setChecked(false);
    EncryptCB->setChecked(false);
}

void TAddForm::OpenDirectory(const std::string& folder) { browser_->Open(folder); }

void TAddForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    LeftColumn->setGeometry(0, 0, leftWidth_, h);
    MiddleColumn->setGeometry(leftWidth_, 0, middleWidth_, h);
    RightColumn->setGeometry(leftWidth_ + middleWidth_, 0, std::max(0, w - leftWidth_ - middleWidth_), h);
    DriveComboBox1->setGeometry(3, 3, leftWidth_ - 3 - (LeftWidth - 3 - 157), driveStrip_ - 4);
    DirectoryListBox1->setGeometry(0, driveStrip_, leftWidth_, TreeStrip);
    SelectAllBut->setGeometry(SelectAllX, driveStrip_ + TreeStrip + 4, selectAllSize_.width(), selectAllSize_.height());
    const int filesTop = driveStrip_ + TreeStrip + selectAllStrip_;
    FileListBox1->setGeometry(0, filesTop, leftWidth_, std::max(0, h - filesTop));
    SelectedList->setGeometry(0, listStrip_, RightColumn->width(), std::max(0, h - listStrip_));
}

void TAddForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The folders may have changed while the dialog was hidden.
    browser_->Refresh();
    FileListBox1->setFocus();
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
}

std::string TAddForm::AppendSlash(const std::string& Dir)
{
    if (Dir.empty() || Dir.back() == '/')
        return Dir;
    return Dir + "/";
}

void TAddForm::AddFileButClick()
{
    outcome_.DialogCanceled = true;
    const std::string folder = AppendSlash(DirectoryListBox1->Directory());
    for (int i = 0; i < FileListBox1->count(); ++i) {
        if (!FileListBox1->Selected(i))
            continue;
        const std::string entry = folder + FileListBox1->Name(i);
        if (!SelectedList->Contains(entry))
            SelectedList->Append(entry);
        FileListBox1->SetSelected(i, false);
    }
    if (SelectedList->count() > 0)
        SelectedList->scrollToItem(SelectedList->item(SelectedList->count() - 1));
}

void TAddForm::AddDirButClick()
{
    outcome_.DialogCanceled = true;
    // The tree's one chosen line is its open folder.
    if (DirectoryListBox1->currentItem() != nullptr) {
        const std::string entry = AppendSlash(DirectoryListBox1->Directory()) + "*.*";
        if (!SelectedList->Contains(entry))
            SelectedList->Append(entry);
    }
    if (SelectedList->count() > 0)
        SelectedList->scrollToItem(SelectedList->item(SelectedList->count() - 1));
}

void TAddForm::RemoveButClick()
{
    for (int i = SelectedList->count() - 1; i >= 0; --i)
        if (SelectedList->item(i)->isSelected())
            delete SelectedList->takeItem(i);
}

void TAddForm::SortButClick()
{
    SelectedList->SortForGood();
    SortBut->setEnabled(false);
}

void TAddForm::SelectAllButClick()
{
    for (int i = 0; i < FileListBox1->count(); ++i)
        FileListBox1->item(i)->setSelected(true);
}

void TAddForm::OKButClick()
{
    outcome_.DialogCanceled = false;
    accept();
}

void TAddForm::CancelButClick() { reject(); }

void TAddForm::reject()
{
    outcome_.DialogCanceled = true;
    QDialog::reject();
}

}  // namespace app
