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
#pragma once

#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ZipMstr.h"
#include "app/DialogOutcome.h"
#include "app/FitLayout.h"
#include "app/OperationReport.h"
#include "app/SortGlyphs.h"
#include "grid/SortGrid.h"

class QDialog;
class QFrame;
class QLabel;
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
    grid::TSortGrid* StringGrid1 = nullptr;

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
    bool RunGuardedOperation(const std::function<void()>& operation, const char* fatal);
    bool Busy() const { return busy_; }
    bool CloseRequested() const { return closeRequested_; }

signals:
    // The window has closed: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;
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
    std::int32_t RunWithPasswords(std::optional<std::string> password, const char* fatal, bool& finished);
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
    // What the band needs, from the last Refit.
    int bandHeight_ = 0;
    int leftWidth_ = 0;
    int rightWidth_ = 0;
};

}  // namespace app
