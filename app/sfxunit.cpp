#include "app/sfxunit.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/DialogParts.h"
#include "app/Fonts.h"
#include "app/ProgramIcon.h"
#include "app/WindowPlacement.h"
#include "app/Translate.h"

namespace app {

namespace {

constexpr int FormWidth = 590;
constexpr int FormHeight = 407;
constexpr int UpperHeight = 108;

QLineEdit* Edit(QWidget* parent, int x, int y)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(x, y, 528, 21);
    return edit;
}

}  // namespace

TMakeSFX::TMakeSFX(engine::TRezEdidiv& component, TDialogOutcome& outcome, QWidget* parent)
    : QDialog(parent), component_(component), outcome_(outcome)
{
    setWindowTitle(QTr("TMakeSFX", "Make Self Extracting Archive"));
    setWindowIcon(ProgramIcon());
    setFont(UiFont(SmallFontPixels));
    resize(FormWidth, FormHeight);

    UpperPanel = RaisedPanel(this);
    DfltOverWriteGrp = new TRadioGroup(
        UpperPanel, QTr("TMakeSFX", "Default Overwrite Action"),
        {QTr("TMakeSFX", "&Ask User"), QTr("TMakeSFX", "Al&ways Overwrite"), QTr("TMakeSFX", "S&kip extraction")}, 21,
        7, 128, 95);
    CmdLineCB =
        PlacedCheckBox(UpperPanel, QTr("TMakeSFX", "Allow User to avoid running the command &line"), 177, 20, 244, 13);
    FileListCB = PlacedCheckBox(UpperPanel, QTr("TMakeSFX", "Allow User to modify the &file list to be extracted"), 177,
                                46, 248, 13);
    HideOverWriteCB = PlacedCheckBox(UpperPanel, QTr("TMakeSFX", "&Hide the Overwrite Action group box at run time"),
                                     177, 72, 244, 13);
    ExecBut = PlacedButton(UpperPanel, QTr("TMakeSFX", "&Do It Now"), 475, 20, 66, 21, true);
    CancelBut = PlacedButton(UpperPanel, QTr("TMakeSFX", "&Cancel"), 475, 60, 66, 20);
    // Enter anywhere means "Do It Now"; a button with the focus is pressed
    // with the space bar.
    ExecBut->setDefault(true);
    CancelBut->setAutoDefault(false);

    LowerPanel = RaisedPanel(this);
    Label1 = PlacedLabel(LowerPanel, QTr("TMakeSFX", "Ca&ption of the Self Extracting Archive Program"), 29, 9);
    CaptionEdit = Edit(LowerPanel, 29, 27);
    Label2 = PlacedLabel(LowerPanel,
                         QTr("TMakeSFX",
                             "Default Extract Di&rectory on User's Computer  (if '><' then the temporary "
                             "directory will be used)"),
                         29, 57);
    DirectoryEdit = Edit(LowerPanel, 29, 74);
    Label4 = PlacedLabel(LowerPanel, QTr("TMakeSFX", "Special Command Line Symbols:"), 162, 119);
    Label5 = PlacedLabel(
        LowerPanel, QTr("TMakeSFX", "A vertical bar '|' separates the program name from the argument list"), 78, 136);
    Label6 = PlacedLabel(LowerPanel,
                         QTr("TMakeSFX", "Two Arrows '><' will be replaced by the actual extract directory"), 76, 152);
    Label7 = PlacedLabel(LowerPanel,
                         QTr("TMakeSFX", "The following example runs notepad to display readme.txt in extract dir:"),
                         76, 168);
    Label8 = PlacedLabel(LowerPanel, QStringLiteral("notepad|><readme.txt"), 176, 184, SmallFontPixels, true);
    Label3 = PlacedLabel(LowerPanel, QTr("TMakeSFX", "Command Line to &Exec After Extraction"), 29, 206);
    CommandEdit = Edit(LowerPanel, 29, 227);
    Label1->setBuddy(CaptionEdit);
    Label2->setBuddy(DirectoryEdit);
    Label3->setBuddy(CommandEdit);

    // The places as designed; then the fonts at the user's size, and the
    // dialog as large as they need.
    upperFit_ = TFitLayout({FormWidth, UpperHeight});
    for (QWidget* w : std::initializer_list<QWidget*>{DfltOverWriteGrp, CmdLineCB, FileListCB, HideOverWriteCB,
                                                      ExecBut, CancelBut})
        upperFit_.Add(w);
    lowerFit_ = TFitLayout({FormWidth, FormHeight - UpperHeight});
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2, Label4, Label5, Label6, Label7, Label8, Label3})
        lowerFit_.Add(w);
    for (QLineEdit* edit : {CaptionEdit, DirectoryEdit, CommandEdit})
        lowerFit_.Add(edit, Grow::Height);
    ScaleFonts(*this);
    const QSize upper = upperFit_.Apply(), lower = lowerFit_.Apply();
    upperHeight_ = upper.height();
    setMinimumSize(std::max(upper.width(), lower.width()), upperHeight_ + lower.height());
    resize(minimumSize());

    connect(ExecBut, &QPushButton::clicked, this, &TMakeSFX::ExecButClick);
    connect(CancelBut, &QPushButton::clicked, this, &TMakeSFX::CancelButClick);
    FormCreate();
}

void TMakeSFX::FormCreate()
{
    CaptionEdit->setText(QStringLiteral("Self-extracting Archive"));
    // The folder the program is run from.
    DirectoryEdit->setText(QStringLiteral("./"));
    CommandEdit->clear();
    DfltOverWriteGrp->SetItemIndex(0);
    CmdLineCB->setChecked(false);
    FileListCB->setChecked(false);
    HideOverWriteCB->setChecked(false);
}

void TMakeSFX::ExecButClick()
{
    using engine::SFXOptsEnum;
    component_.SFXOptions.Set(SFXOptsEnum::SFXAskCmdLine, CmdLineCB->isChecked());
    component_.SFXOptions.Set(SFXOptsEnum::SFXAskFiles, FileListCB->isChecked());
    component_.SFXOptions.Set(SFXOptsEnum::SFXHideOverWriteBox, HideOverWriteCB->isChecked());
    switch (DfltOverWriteGrp->ItemIndex()) {
    case 1: component_.SFXOverWriteMode = engine::OvrOpts::OvrAlways; break;
    case 2: component_.SFXOverWriteMode = engine::OvrOpts::OvrNever; break;
    default: component_.SFXOverWriteMode = engine::OvrOpts::OvrConfirm; break;
    }
    component_.SFXCaption = CaptionEdit->text().toStdString();
    component_.SFXDefaultDir = DirectoryEdit->text().toStdString();
    component_.SFXCommandLine = CommandEdit->text().toStdString();
    outcome_.SfxConfirmed = true;
    accept();
}

void TMakeSFX::CancelButClick() { reject(); }

void TMakeSFX::reject()
{
    outcome_.SfxConfirmed = false;
    QDialog::reject();
}

void TMakeSFX::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!placed_) {
        placed_ = true;
        CentreOnScreen(*this);
    }
}

void TMakeSFX::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    UpperPanel->setGeometry(0, 0, width(), upperHeight_);
    LowerPanel->setGeometry(0, upperHeight_, width(), std::max(0, height() - upperHeight_));
}

}  // namespace app
