// TMsgform, the messages window ("Zip Messages"): the memo every operation
// logs into, the file bar with the name of the file being worked on, the
// all-files bar, and the buttons that cancel the running operation or hide
// the window. Created once, hidden, right after the main window; the close
// box and Esc only hide it.
//
// The main window's message and progress handlers come here
// (HandleZipMessage, HandleZipProgress); each command of the main window
// starts by calling Open with its opening line.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "engine/ZipMstr.h"
#include "app/FitLayout.h"
#include "app/MemoLines.h"
#include "app/StepBar.h"

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

namespace app {

class TMsgform : public QWidget {
    Q_OBJECT

public:
    // `component` is the main window's RezEdidiv1, whose busy flags and
    // cancel request the Cancel button works with.
    explicit TMsgform(engine::TRezEdidiv& component, QWidget* parent = nullptr);

    QFrame* Panel1;
    QLabel* FileBeingZipped;
    QProgressBar* ProgressBar1;  // the file bar
    QLabel* Label1;
    QProgressBar* ProgressBar2;  // the all-files bar
    TMemoLines* Memo1;
    QFrame* Panel2;
    QPushButton* CancelBut;
    QPushButton* DismissBut;

    TStepBar FileBar;
    TStepBar AllFilesBar;
    // The memo refused a line in this operation: nothing more is logged.
    bool MemoFull = false;
    // How many lines the memo holds before it refuses more.
    int MemoCapacity = 100000;
    // Pending input is processed from a progress event when at least this
    // many milliseconds have passed since it was last processed (and at the
    // end of every batch); 0 processes it for every event.
    std::uint32_t ProcessInterval = 20;
    std::uint32_t LastProcessed = 0;

    // The opening sequence of every operation: empty the memo, log again,
    // show the window in front, and log the command's first line.
    void Open(const std::string& openingLine);
    // Shown non-modal and brought to the front; nothing is cleared.
    void ShowAndRaise();
    void CancelButClick();
    void DismissButClick();

    // Appends a line (line breaks in it start further lines); false when
    // the memo holds no more. The line waits with others for the next
    // ShowPending: appending and laying out one line at a time costs more
    // than the work of a small member.
    bool AppendLine(const std::string& line);
    // The memo's lines, with those still waiting.
    QStringList Lines();
    // Puts the two bar models on screen.
    void ShowBars();
    // After an operation that was stopped: no file named, both bars empty.
    void ClearProgress();
    // The name (as the library gave its bytes) the file label is to show
    // next; ShowPending puts it into words and shows it, so the many names
    // an operation passes between two ticks cost only a copy each.
    void SetFileName(const std::string& name);
    // Puts everything waiting on screen: the memo's new lines, the file
    // label, the bars. Called whenever pending input is processed, before
    // a box, and when an operation ends.
    void ShowPending();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowPendingLines();

    engine::TRezEdidiv& component_;
    // Texts not yet in the memo (as UTF-8, joined by line feeds), whether
    // there is one (an empty text is one), and the lines they make there.
    std::string pendingText_;
    bool pending_ = false;
    int pendingLines_ = 0;
    std::string fileName_;
    bool fileNameChanged_ = false;
    bool placed_ = false;
    TFitLayout topFit_, bottomFit_;
    int topHeight_ = 0;
    int bottomHeight_ = 0;
};

// The OnMessage handler's work: log the message (unless the memo is full;
// the first refused line of an operation says so in a box), then, for a
// positive code and with `errorBox`, the "Error Msg from DLL: " box. Without
// a messages window (while the main window is being created) only the box
// remains; with `boxes` false (the program is closing) no box at all.
// Returns true when it showed the "Error Msg from DLL: " box.
bool HandleZipMessage(TMsgform* form, std::int32_t ErrCode, const std::string& Message, bool boxes,
                      bool errorBox = true);

// The OnProgress handler's work: move the bars and the file label in steps
// of 32,768 bytes, then let pending input through (repaints, the Cancel
// button).
void HandleZipProgress(TMsgform* form, engine::ProgressType ProgrType, const std::string& Filename,
                       std::int32_t FileSize);

}  // namespace app
