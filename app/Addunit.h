// TAddForm ("Add Files"), the add dialog: the user browses places, folders
// and files, builds the list of what to add (whole files, and folders as
// "folder/*.*"), and chooses folder names, recursion and encryption. Created
// hidden once at program start; its check boxes, its list, the list's sorted
// state and the "&Sort" button keep their states for the life of the
// program.
//
// Promises: only "DO IT &NOW" leaves DialogCanceled false; "&Cancel", the
// close box and Esc all cancel. List entries are the file system's bytes,
// compared as the file system compares names (case-sensitive).
#pragma once

#include <QDialog>
#include <QListWidget>
#include <string>
#include <vector>

#include "app/DialogOutcome.h"
#include "app/FitLayout.h"

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

namespace app {

class TDirectoryListBox;
class TDriveComboBox;
class TFileListBox;
class TFolderBrowser;

// The list of entries to add: bytes in, bytes out; once sorted, sorted for
// good (every later entry goes to its place in name order).
class TSelectedList : public QListWidget {
    Q_OBJECT

public:
    explicit TSelectedList(QWidget* parent = nullptr);

    std::vector<std::string> Entries() const;
    bool Contains(const std::string& entry) const;
    void Append(const std::string& entry);
    bool Sorted() const { return sorted_; }
    void SortForGood();

signals:
    // Delete was pressed in the list.
    void RemoveAsked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool sorted_ = false;
};

class TAddForm : public QDialog {
    Q_OBJECT

public:
    explicit TAddForm(TDialogOutcome& outcome, QWidget* parent = nullptr);
    ~TAddForm() override;

    // Left column: browsing
    QFrame* LeftColumn;
    TDriveComboBox* DriveComboBox1;
    TDirectoryListBox* DirectoryListBox1;
    QPushButton* SelectAllBut;
    TFileListBox* FileListBox1;
    // Middle column: options and buttons
    QFrame* MiddleColumn;
    QLabel* Label2;
    QFrame* Bevel1;
    QCheckBox* DirNameCB;
    QCheckBox* RecurseCB;
    QCheckBox* EncryptCB;
    QPushButton* AddDirBut;
    QPushButton* AddFileBut;
    QPushButton* RemoveBut;
    QPushButton* OKBut;
    QPushButton* CancelBut;
    // Right column: the list
    QFrame* RightColumn;
    QLabel* Label1;
    QPushButton* SortBut;
    TSelectedList* SelectedList;

    // Dir followed by one '/', unless it is empty or ends in '/' already.
    static std::string AppendSlash(const std::string& Dir);

    void FormCreate();
    void AddFileButClick();
    void AddDirButClick();
    void RemoveButClick();
    void SortButClick();
    void SelectAllButClick();
    void OKButClick();
    void CancelButClick();

    // Opens `folder` in the tree and the file list.
    void OpenDirectory(const std::string& folder);
    // Has been shown before (and so was centred once).
    bool Placed() const { return placed_; }

    // The close box and Esc cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Takes the places as designed, brings the fonts to the user's size and
    // makes the columns and strips as large as they need.
    void FitToFonts();

    TDialogOutcome& outcome_;
    TFolderBrowser* browser_;
    bool placed_ = false;
    TFitLayout bevelFit_, middleFit_, listStripFit_;
    // The columns' widths and the strips' heights, as the fonts need them.
    int leftWidth_ = 0;
    int middleWidth_ = 0;
    int driveStrip_ = 0;
    int selectAllStrip_ = 0;
    int listStrip_ = 0;
    QSize selectAllSize_;
};

}  // namespace app
