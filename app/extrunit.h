// TExtract ("Select Extract Directory"), the extract dialog: the target
// folder (picked with a place picker and a folder tree), whether to
// recreate stored folder names, whether to overwrite, and all members or the
// grid's selected rows. Created hidden once at program start; its choices and
// its open folder stay from one use to the next.
//
// Promises: only "&Ok" leaves DialogCanceled false, and it alone writes the
// choices into the outcome; "&Cancel" also empties ExtractTargetDir; the
// close box and Esc cancel.
#pragma once

#include <QDialog>
#include <string>

#include "app/DialogOutcome.h"
#include "app/FitLayout.h"

class QFrame;
class QPushButton;

namespace app {

class TDirectoryListBox;
class TDriveComboBox;
class TFolderBrowser;
class TRadioGroup;

class TExtract : public QDialog {
    Q_OBJECT

public:
    explicit TExtract(TDialogOutcome& outcome, QWidget* parent = nullptr);

    QFrame* LeftPart;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    QFrame* RightColumn;
    TRadioGroup* RadioGroup1;  // "Expand ZIP Dirs"
    TRadioGroup* RadioGroup2;  // "OverWrite Existing"
    TRadioGroup* RadioGroup3;  // "Files to Extract"
    QPushButton* OKBut;
    QPushButton* CancelBut;

    void FormCreate();
    // Each time the dialog comes up: cancelled unless "&Ok" says otherwise.
    void FormActivate();
    void OKButClick();
    void CancelButClick();

    // Opens `folder` in the tree.
    void OpenDirectory(const std::string& folder);

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    TDialogOutcome& outcome_;
    TFolderBrowser* browser_;
    bool placed_ = false;
    TFitLayout rightFit_;
    // The right column's width and the drive picker's strip, as the fonts need.
    int rightWidth_ = 0;
    int driveStrip_ = 0;
};

}  // namespace app
