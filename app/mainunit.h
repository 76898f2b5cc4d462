// TMainform, the main window: the archive component RezEdidiv1, the member
// grid StringGrid1, the buttons of every command, the archive's name, the
// member count and the last operation's time. This unit holds the window
// itself, the commands that open, create and destroy an archive, the
// operation commands (add, extract, delete, test, convert) with their
// password questions, the listing (grid, sort, drawing), and the busy rules
// every operation runs under.
//
// Promises: the grid shows the last listing, sorted by the remembered column
// and direction; cells keep the stored bytes of each name (only drawing
// decodes them); while an operation runs, no command that could act on the
// archive or end the program can start, and the window, the component and
// the libraries outlive every running call; an operation shows at most one
// "Error Msg from DLL: " box (later ones go to the memo only). Exceptions from a listing are
// not caught here: they reach the top-level error box.
//
// The window also meets the desktop: files dropped on it are added (an
// archive dropped alone is opened), members are dragged out to a file
// manager and opened with the desktop's program (and put back when they
// change), a menu on the rows and keys reach the commands, Find lists only
// the members a text finds, and the archive's properties are one key away.
// Whatever these start goes through the same busy rules, questions and
// boxes as the buttons. Commands on "the selected rows" only ever take rows
// that are shown.
#pragma once

#include <QList>
#include <QPoint>
#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ZipMstr.h"
#include "app/DialogOutcome.h"
#include "app/FitLayout.h"
#include "app/MemberFilter.h"
#include "app/Translate.h"
#include "app/OpenedMembers.h"
#include "app/RecentArchives.h"
#include "app/OperationReport.h"
#include "app/SortGlyphs.h"
#include "grid/SortGrid.h"

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPointingDevice;
class QPushButton;

namespace app {

class TAddForm;
class TExtract;
class TMakeSFX;
class TMsgform;

class TMainform : public QWidget {
    Q_OBJECT

public:
    explicit TMainform(QWidget* parent = nullptr);
    // The destruction handler runs first: both libraries are released.
    ~TMainform() override;

    // ---- Controls, in creation (and tab) order
    QFrame* LeftPanel;
    QPushButton* NewZipBut;
    QPushButton* ZipOpenBut;
    QPushButton* DeleteZipBut;
    QFrame* RightPanel;
    QPushButton* AboutFernpack;
    QPushButton* CloseBut;
    QFrame* FilesBevel;
    QLabel* FilesLabel;
    QLabel* FilesCaption;
    QFrame* MiddlePanel;
    QPushButton* AddBut;
    QPushButton* ExtractBut;
    QPushButton* ConvertBut;
    QPushButton* TestBut;
    QPushButton* DeleteBut;
    QPushButton* MsgBut;
    QLabel* TimeCaption;
    QLabel* TimeLabel;
    QLabel* ZipFileCaption;
    QLabel* ZipFName;
    // Find (Ctrl+F), above the grid; hidden until asked for.
    QFrame* FindBar;
    QLabel* FindCaption;
    QLineEdit* FindEdit;
    grid::TSortGrid* StringGrid1 = nullptr;

    // ---- Keys and the rows' menu (this window's shortcuts)
    QAction* OpenMemberAction;   // Enter in the grid, a double click, "Open"
    QAction* ExtractAction;      // Ctrl+E, "Extract..."
    QAction* DeleteAction;       // Delete, "Delete..."
    QAction* TestAction;         // "Test"
    QAction* CopyNamesAction;    // Ctrl+C, "Copy Name(s)"
    QAction* PropertiesAction;   // Alt+Return, "Properties"
    QAction* OpenZipAction;      // Ctrl+O
    QAction* NewZipAction;       // Ctrl+N
    QAction* SelectAllAction;    // Ctrl+A
    QAction* RelistAction;       // F5
    QAction* FindAction;         // Ctrl+F
    QAction* CloseFindAction;    // Esc while Find shows
    QAction* SortActions[4];     // Ctrl+1 .. Ctrl+4

    // ---- Non-visual parts
    engine::TRezEdidiv RezEdidiv1;
    TSortGlyphs ImageList1;

    // ---- What the command dialogs leave for their commands
    TDialogOutcome Outcome;

    // ---- The sort every listing re-applies
    std::int32_t SortColumn = 0;
    grid::TSortOptions SortOptions;

    // ---- Handlers
    // Creation: headings and widths, ZIPDLL.DLL then UNZDLL.DLL, and the
    // archive named by the first argument (raw bytes), listed at once.
    void FormCreate(const std::vector<std::string>& arguments);
    void FormDestroy();
    void CloseButClick();
    void AboutFernpackClick();
    void ZipOpenButClick();
    void NewZipButClick();
    // New Zip's road; the dialog starts in `folder` when one is given. True
    // when a new archive was named.
    bool NewZipIn(const std::string& folder);
    void DeleteZipButClick();
    void MsgButClick();
    // The operation commands: preconditions, dialog or question, opening
    // sequence, the operation under the busy rules, time and result.
    void AddButClick();
    void ExtractButClick();
    void DeleteButClick();
    void TestButClick();
    void ConvertButClick();
    void RezEdidiv1DirUpdate(engine::TObject* Sender);
    void RezEdidiv1Message(engine::TObject* Sender, std::int32_t ErrCode, const std::string& Message);
    void RezEdidiv1Progress(engine::TObject* Sender, engine::ProgressType ProgrType, const std::string& Filename,
                            std::int32_t FileSize);
    void StringGrid1ClickSort(grid::TSortGrid* Sender, int Col, int Row, grid::TSortOptions& Options);
    void StringGrid1DrawCell(grid::TStringGrid* Sender, int ACol, int ARow, grid::TRect Rect,
                             grid::TGridDrawState State);
    void StringGrid1GetCellFormat(grid::TSortGrid* Sender, int Col, int Row, grid::TGridDrawState State,
                                  grid::TFormatOptions& Format);

    // ---- The desktop's ways in
    // Opens the grid's current member with the desktop's program: extracted
    // into a private folder (the password asked as Extract asks it), then
    // watched for changes. A folder member is not opened.
    void OpenMember();
    // A watched member changed: asks "<name> was changed. Update it in
    // <archive>?" and on Yes adds it back under its stored name. False when
    // it cannot ask now (an operation runs, a dialog is open).
    bool MemberChanged(const TOpenedMembers::Member& member);
    // Names of the selected rows on the clipboard, one a line.
    void CopyNamesClick();
    // The Archive Properties box.
    void PropertiesClick();
    void SelectAllRows();
    // Lists the open archive again (F5), keeping the user's place.
    void RelistClick();
    // Sorts by column `col` as a click on its heading does.
    void SortByKey(int col);
    // Find: shows the field (with the focus), or clears and hides it.
    void ShowFind();
    void CloseFind();
    bool FindShown() const;
    // The rows' menu, its items enabled as the commands are; shown at a
    // point of the grid's viewport.
    QMenu* MakeRowMenu();
    void ShowRowMenu(QPoint viewportPos);
    // Files dropped on the window (or handed over on the command line): one
    // archive alone is opened (asking "Open or add?" when another is open);
    // anything else goes to Add Files, with a new archive named first when
    // none is open.
    void DropPaths(const std::vector<std::string>& paths);
    // Whether a drag's data would be taken: local files, not our own rows.
    bool AcceptsDrop(const QMimeData* data, const QObject* source) const;
    // Files to add (dropped, or handed over by a file manager): Add Files
    // with them on its list, a new archive named first when none is open.
    void AddPaths(const std::vector<std::string>& paths);
    // Add Files with `entries` put on its list first.
    void AddWithEntries(const std::vector<std::string>& entries);
    // What a drag of the selected rows carries: URLs of the members,
    // extracted when the drop target asks for them. Nothing when no drag
    // may start (busy, no members, the password question cancelled).
    QMimeData* MakeMemberDrag();
    // The members dragged last, extracted for a drop: their URLs.
    QList<QUrl> ExtractForDrop(const engine::TStrings& names, const std::optional<std::string>& password);
    // The members taken out for the desktop (opened and dragged).
    TOpenedMembers& Opened() { return opened_; }
    TRecentArchives& Recent() { return recent_; }
    // The Open Zip road after its dialog: `path` becomes the open archive.
    void OpenZipNamed(const std::string& path);

    // ---- Operations the commands share
    void FillGrid();
    // Sets ZipFilename to another archive (or none), whose listing starts at
    // its first member; every other listing keeps the user's place.
    void OpenArchive(const std::string& name);
    // Sizes a column to what it shows: the widest of its cells as drawn, and
    // its heading with room for the sort glyph.
    void FitColumn(int col);
    // The whole name of the member under a point of the grid's viewport when
    // its cell cuts it; empty otherwise.
    QString NameHintAt(QPoint pos) const;
    // Places the band's controls for their present texts and the window's
    // minimum size for them (after a count, time or caption changed).
    void Refit();
    // Shows a path (bytes) in ZipFName, shortened in the middle and with the
    // whole path as the hint when it is wider than the label.
    void ShowZipFileName(const std::string& S);
    // The path ZipFName shows, as the bytes it was given.
    const std::string& ZipFNameText() const { return zipFNameText_; }
    bool ZipFNameHintShown() const { return zipFNameHintOn_; }
    // TimeLabel := the elapsed time between two tick counts.
    void ShowElapsed(std::uint32_t start, std::uint32_t finish);

    // The messages window, once program start has created it; until then
    // messages are not logged (their boxes still appear).
    void SetMessagesWindow(TMsgform* form) { Msgform = form; }
    TMsgform* MessagesWindow() const { return Msgform; }
    // The command dialogs, once program start has created them.
    void SetCommandDialogs(TExtract* extract, TAddForm* add, TMakeSFX* makeSfx);

    // Column 0 (the stored names) of the grid's selected rows, top to
    // bottom; the current row is the selection when none was made.
    engine::TStrings SelectedNames() const;
    // The member a grid row lists; nullptr for a row of none.
    const engine::ZipDirEntry* MemberAt(int row) const;

    // ---- Busy rules
    // Runs one operation on the archive (a library call or a conversion):
    // New Zip, Open Zip, Destroy Zip, Add, Extract, Convert, Test, Delete and
    // Exit are disabled until it ends, however it ends. Returns false when
    // the window was closed meanwhile (the caller then shows no result), or
    // when another operation is running (nothing ran).
    bool RunOperation(const std::function<void()>& operation);
    // RunOperation for Add, Extract and Delete: an exception that escapes
    // shows the command's fixed message `fatal`, and the command goes on to
    // its time and result as after any other end. False only when the
    // window was closed meanwhile or nothing ran.
    bool RunGuardedOperation(const std::function<void()>& operation, const std::string& fatal);
    bool Busy() const { return busy_; }
    bool CloseRequested() const { return closeRequested_; }

signals:
    // The window has closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    // Takes the band's places as designed, then brings the fonts to the
    // user's size.
    void FitToFonts();
    void PlaceBand();
    void SetCommandsEnabled(bool enabled);
    void CreateActions();
    // The grid's rows and Find's count after the listing or the text changed.
    void ApplyFind();
    // The member count, "12 of 100000" while Find leaves some out.
    void ShowCount();
    // The add after its dialog: options and files set, counted, the
    // password asked, the messages window opened, the library run, the time
    // and the count shown. True once the library was called.
    bool RunAdd(const engine::AddOpts& options, const engine::TStrings& specs);
    // An extract of FSpecArgs into `target` through the messages window,
    // under the busy rules; false when the window was closed meanwhile.
    // `password` (when given) is held for it; members it does not open are
    // asked for again (RunWithPasswords).
    bool RunExtract(const std::string& target, bool withDirs, bool overwrite,
                    const std::optional<std::string>& password);
    // FSpecArgs extracted with their folders into a new private folder
    // (for an open or a drag); "" when nothing came out, after the count
    // was shown.
    std::string ExtractPrivately(const engine::TStrings& names, const std::optional<std::string>& password);
    // The mouse on the grid: a press on a selected row may start a drag.
    bool GridMouse(QEvent* event);
    // The grid's menu key, and Enter in Find.
    bool GridKey(QObject* watched, QEvent* event);
    void BuildGlyphs();
    // Shows a command dialog modally, in front of this window.
    void ShowModal(QDialog& dialog);
    // A new password, typed twice; nothing when the user cancels.
    std::optional<std::string> AskNewPassword();
    // One password for encrypted members, asked with `prompt` until it
    // keeps the rules; nothing when the user cancels.
    std::optional<std::string> AskArchivePassword(const std::string& prompt);
    // Asked again after a password did not open `member` (as shown).
    std::optional<std::string> AskPasswordAgain(const std::string& member);
    // The stored names of the members the library showed as `shown`.
    engine::TStrings FailedMemberNames(const std::vector<std::string>& shown) const;
    // The password for one extract or test of `names`: the one kept for
    // the archive, else asked when any of them is encrypted. False when the
    // user cancels the question.
    bool ArchivePasswordFor(const engine::TStrings& names, std::optional<std::string>& password);
    // Runs an extract or a test of FSpecArgs with `password`; while members
    // fail for their password, asks again naming the first (Cancel stops
    // asking) and runs again on those members. A password is kept for the
    // archive once a run with it opened members and none failed for it.
    // Returns the files done in all runs; false in `finished` when the
    // window was closed meanwhile.
    std::int32_t RunWithPasswords(std::optional<std::string> password, const TText* fatal, bool& finished);
    // After an operation the user stopped: the memo and the result box say
    // so and what was done, and the messages window starts over. False when
    // the operation was not stopped on request.
    bool EndIfCancelled(TStoppedOperation operation);
    // Yes to writing a conversion's output over an existing file (asked
    // only when one exists and is not the open archive itself).
    bool MayOverwrite(const std::string& output);

    TMsgform* Msgform = nullptr;
    TExtract* Extract = nullptr;
    TAddForm* AddForm = nullptr;
    TMakeSFX* MakeSFX = nullptr;
    // What the messages of the operation under way told.
    TOperationTally tally_;
    // The running operation has shown its "Error Msg from DLL: " box.
    bool dllBoxShown_ = false;
    std::string zipFNameText_;
    bool zipFNameHintOn_ = false;
    std::string openDialogFileName_;  // preset for the next Open Zip
    bool busy_ = false;
    bool closeRequested_ = false;
    // The listing under way is of an archive just opened.
    bool freshListing_ = false;
    // The band's panels and the frame around the member count.
    TFitLayout leftFit_, middleFit_, rightFit_, filesFit_;
    // Find: every row of the listing, while it shows a part of them.
    TFilteredListing listing_;
    TOpenedMembers opened_;
    TRecentArchives recent_;
    // A left press on a selected row, held back until it turns out to be a
    // drag (or is given to the grid after all).
    bool pressHeld_ = false;
    bool replayingPress_ = false;
    QPoint pressAt_;
    Qt::KeyboardModifiers pressModifiers_;
    // The device the held press is given to the grid from.
    QPointingDevice* heldPressDevice_ = nullptr;
    // The folder the last drag's members went to, while it is under way.
    std::string dragFolder_;
    // What the band needs, from the last Refit.
    int bandHeight_ = 0;
    int leftWidth_ = 0;
    int rightWidth_ = 0;
};

}  // namespace app
