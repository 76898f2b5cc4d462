// Helpers for the window tests: recording answers to every box, dialog and
// prompt; a started program with the real libraries; archives written byte
// by byte; events posted through the event loop; a drawing surface that
// records what the grid draws.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "TempDir.h"
#include "ZipFixture.h"
#include "app/AppServices.h"
#include "app/Program.h"
#include "grid/Canvas.h"
#include "platform/UiServices.h"

class QWidget;

namespace apptest {

// The engine's services: boxes are remembered; pending input is really
// processed (so posted clicks arrive), after an optional hook.
class RecordingUi : public platform::UiServices {
public:
    std::vector<std::string> Messages;
    int ProcessMessagesCalls = 0;
    std::function<void()> OnProcessMessages;
    // Runs while a box is "open", before it is remembered.
    std::function<void()> OnShowMessage;

    void ShowMessage(const std::string& text) override
    {
        if (OnShowMessage)
            OnShowMessage();
        Messages.push_back(text);
    }
    void ProcessMessages() override;
};

// The windows' services: prepared answers, remembered questions.
class RecordingDialogs : public app::AppServices {
public:
    std::deque<std::optional<std::string>> FileAnswers;
    std::vector<app::FileRequest> FileRequests;
    std::deque<bool> ConfirmAnswers;
    std::vector<std::string> Questions;
    std::vector<std::string> Errors;
    // Runs while an error box is "open".
    std::function<void()> WhileErrorBoxOpen;

    std::optional<std::string> ChooseFile(const app::FileRequest& request) override;
    bool Confirm(const std::string& question) override;
    void ErrorBox(const std::string& text) override
    {
        Errors.push_back(text);
        if (WhileErrorBoxOpen)
            WhileErrorBoxOpen();
    }
    // Answers in order; nothing left answers as a cancel.
    std::deque<std::optional<std::string>> PasswordAnswers;
    std::vector<std::string> PasswordPrompts;
    std::optional<std::string> AskPassword(const std::string& title, const std::string& prompt) override;
    // Answers in order; nothing left answers -1 (the box closed).
    std::deque<int> ChoiceAnswers;
    std::vector<std::string> Choices;  // question, then the buttons, '|' between
    int Choose(const std::string& question, const std::vector<std::string>& buttons) override;
    // Files handed to the desktop; OpenResult is the answer.
    std::vector<std::string> Opened;
    bool OpenResult = true;
    std::function<void(const std::string&)> WhenOpened;
    bool OpenDocument(const std::string& path) override
    {
        Opened.push_back(path);
        if (WhenOpened)
            WhenOpened(path);
        return OpenResult;
    }
};

struct DrawnPicture {
    int X, Y;
    qint64 Key;
};

// Records texts and pictures; can be told to fail on pictures.
class RecordingCanvas : public grid::TCanvas {
public:
    std::vector<std::string> Texts;
    std::vector<DrawnPicture> Pictures;
    bool FailOnDraw = false;

    void TextRect(const grid::TRect& rect, int x, int y, const std::string& text) override;
    void Draw(int x, int y, const QPixmap& picture) override;
};

class AppTest : public ::testing::Test {
protected:
    AppTest();
    ~AppTest() override;

    // Program start with these arguments and the libraries of the build.
    void Start(const std::vector<std::string>& arguments = {}, const std::string& libraryFolder = FERNPACK_BIN);
    app::TMainform& Main();
    // Writes an archive of stored members; returns its path.
    std::string WriteArchive(const std::string& name, const std::vector<fixture::Member>& members);
    // Lets queued work (error boxes, closes) run.
    static void Flush();
    // Shows the main window, active, and returns the grid's recording canvas.
    RecordingCanvas& ShowWithRecordingCanvas();
    // Column `col` of the grid's data rows.
    std::vector<std::string> Column(int col);

    RecordingUi ui;
    platform::ScopedUi uiScope{ui};
    RecordingDialogs dialogs;
    fixture::TempDir dir;
    std::unique_ptr<app::TProgram> program;

private:
    app::AppServices* previousDialogs_;
};

// A click posted to `widget` at `pos` and delivered by the event loop.
void PostClick(QWidget* widget, QPoint pos, Qt::MouseButton button = Qt::LeftButton);
// The middle of a grid cell, in the grid viewport's coordinates.
QPoint CellCentre(app::TMainform& form, int col, int row);

}  // namespace apptest
