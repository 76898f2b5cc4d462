#include "app/extrunit.h"

#include <QFrame>
#include <QPushButton>

#include "app/DialogParts.h"
#include "app/FileWidgets.h"
#include "app/Fonts.h"
#include "app/ProgramIcon.h"
#include "app/WindowPlacement.h"
#include "app/Translate.h"
#include "platform/FileSystem.h"

namespace app {

namespace {

constexpr int FormWidth = 488;
constexpr int FormHeight = 418;
constexpr int RightWidth = 127;
constexpr int DriveStrip = 19;
// The smallest left part and tree that still show a few folders.
constexpr int MinimumLeftWidth = 160;
constexpr int MinimumTreeHeight = 120;

}  // namespace

TExtract::TExtract(TDialogOutcome& outcome, QWidget* parent) : QDialog(parent), outcome_(outcome)
{
    setWindowTitle(QTr("TExtract", "Select Extract Directory"));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(SmallFontPixels));
    resize(FormWidth, FormHeight);

    LeftPart = RaisedPanel(this);
    DriveComboBox1 = new TDriveComboBox(LeftPart);
    DirectoryListBox1 = new TDirectoryListBox(LeftPart);

    RightColumn = RaisedPanel(this);
    RadioGroup1 = new TRadioGroup(RightColumn, QTr("TExtract", "Expand ZIP Dirs"),
                                  {QTr("TExtract", "No"), QTr("TExtract", "Yes")}, 11, 13, 95, 59);
    RadioGroup2 = new TRadioGroup(RightColumn, QTr("TExtract", "OverWrite Existing"),
                                  {QTr("TExtract", "No"), QTr("TExtract", "Yes")}, 10, 88, 98, 59);
    RadioGroup3 = new TRadioGroup(RightColumn, QTr("TExtract", "Files to Extract"),
                                  {QTr("TExtract", "All Files"), QTr("TExtract", "Selected Files")}, 10, 163, 98, 62);
    OKBut = PlacedButton(RightColumn, QTr("TExtract", "&Ok"), 29, 247, 61, 20);
    CancelBut = PlacedButton(RightColumn, QTr("TExtract", "&Cancel"), 29, 283, 61, 20);
    CancelBut->setAutoDefault(false);
    OKBut->setDefault(true);
    connect(OKBut, &QPushButton::clicked, this, &TExtract::OKButClick);
    connect(CancelBut, &QPushButton::clicked, this, &TExtract::CancelButClick);

    // The places as designed; then the fonts at the user's size, and the
    // dialog as large as they need.
    rightFit_ = TFitLayout({RightWidth, FormHeight});
    for (QWidget* w : std::initializer_list<QWidget*>{RadioGroup1, RadioGroup2, RadioGroup3, OKBut, CancelBut})
        rightFit_.Add(w);
    DriveComboBox1->setGeometry(2, 0, 259, DriveStrip);
    ScaleFonts(*this);
    const QSize right = rightFit_.Apply();
    rightWidth_ = right.width();
    driveStrip_ = NeededSize(*DriveComboBox1, {259, DriveStrip}, Grow::Height).height();
    setMinimumSize(MinimumLeftWidth + rightWidth_, std::max(right.height(), driveStrip_ + MinimumTreeHeight));
    resize(FormWidth - RightWidth + rightWidth_, std::max(FormHeight, right.height()));

    browser_ = new TFolderBrowser(*DriveComboBox1, *DirectoryListBox1, nullptr, this);
    DriveComboBox1->SetRoots(FileSystemRoots());
    OpenDirectory(platform::GetCurrentDir());
    FormCreate();
}

void TExtract::FormCreate()
{
    RadioGroup1->SetItemIndex(0);
    RadioGroup2->SetItemIndex(1);
    RadioGroup3->SetItemIndex(0);
}

void TExtract::FormActivate() { outcome_.DialogCanceled = true; }

void TExtract::OKButClick()
{
    outcome_.DialogCanceled = false;
    outcome_.ExtractTargetDir = DirectoryListBox1->Directory();
    outcome_.ExtractWithDirs = RadioGroup1->ItemIndex() > 0;
    outcome_.ExtractOverwrite = RadioGroup2->ItemIndex() > 0;
    outcome_.ExtractAllFiles = RadioGroup3->ItemIndex() == 0;
    accept();
}

void TExtract::CancelButClick()
{
    outcome_.ExtractTargetDir.clear();
    reject();
}

void TExtract::reject()
{
    outcome_.DialogCanceled = true;
    QDialog::reject();
}

void TExtract::OpenDirectory(const std::string& folder) { browser_->Open(folder); }

void TExtract::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Each showing starts cancelled. (Activation itself may arrive late, even
    // after "&Ok", so it is not the moment to decide.)
    FormActivate();
    browser_->Refresh();
    // The folder is what is chosen here: the keys move in the tree.
    DirectoryListBox1->setFocus();
    // Centred the first time; afterwards wherever the user left it.
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
}

void TExtract::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    const int left = std::max(0, w - rightWidth_);
    LeftPart->setGeometry(0, 0, left, h);
    RightColumn->setGeometry(left, 0, rightWidth_, h);
    DriveComboBox1->setGeometry(2, 0, std::min(259, left - 4), driveStrip_);
    DirectoryListBox1->setGeometry(0, driveStrip_, left, std::max(0, h - driveStrip_));
}

}  // namespace app
