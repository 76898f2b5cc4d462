// TMakeSFX ("Make Self Extracting Archive"), the self-extractor dialog: the
// caption, default target folder and command line a self-extracting program
// is made with, its overwrite behaviour and three permissions. Created hidden
// once at program start; its edits, choices and check boxes keep the user's
// last values.
//
// Promises: "Do It Now" copies the dialog into the archive component and
// sets SfxConfirmed; "Cancel", the close box and Esc clear SfxConfirmed and
// touch nothing else. Enter means "Do It Now", and every control has its
// Alt key. Texts go to the component as typed (UTF-8 bytes).
#pragma once

#include <QDialog>

#include "app/DialogOutcome.h"
#include "app/FitLayout.h"
#include "engine/ZipMstr.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace app {

class TRadioGroup;

class TMakeSFX : public QDialog {
    Q_OBJECT

public:
    TMakeSFX(engine::TRezEdidiv& component, TDialogOutcome& outcome, QWidget* parent = nullptr);

    // Upper panel
    QFrame* UpperPanel;
    TRadioGroup* DfltOverWriteGrp;
    QCheckBox* CmdLineCB;
    QCheckBox* FileListCB;
    QCheckBox* HideOverWriteCB;
    QPushButton* ExecBut;
    QPushButton* CancelBut;
    // Lower panel
    QFrame* LowerPanel;
    QLabel* Label1;
    QLineEdit* CaptionEdit;
    QLabel* Label2;
    QLineEdit* DirectoryEdit;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label3;
    QLineEdit* CommandEdit;

    void FormCreate();
    void ExecButClick();
    void CancelButClick();

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    engine::TRezEdidiv& component_;
    TDialogOutcome& outcome_;
    bool placed_ = false;
    TFitLayout upperFit_, lowerFit_;
    int upperHeight_ = 0;
};

}  // namespace app
