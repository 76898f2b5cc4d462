#include "AppTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>

#include "app/ErrorBox.h"
#include "app/mainunit.h"

namespace apptest {

void RecordingUi::ProcessMessages()
{
    ++ProcessMessagesCalls;
    if (OnProcessMessages)
        OnProcessMessages();
    QCoreApplication::processEvents();
}

std::optional<std::string> RecordingDialogs::ChooseFile(const app::FileRequest& request)
{
    FileRequests.push_back(request);
    if (FileAnswers.empty())
        return std::nullopt;
    auto answer = FileAnswers.front();
    FileAnswers.pop_front();
    return answer;
}

bool RecordingDialogs::Confirm(const std::string& question)
{
    Questions.push_back(question);
    if (ConfirmAnswers.empty())
        return false;
    const bool answer = ConfirmAnswers.front();
    ConfirmAnswers.pop_front();
    return answer;
}

std::optional<std::string> RecordingDialogs::AskPassword(const std::string& title, const std::string& prompt)
{
    PasswordPrompts.push_back(title + "|" + prompt);
    if (PasswordAnswers.empty())
        return std::nullopt;
    auto answer = PasswordAnswers.front();
    PasswordAnswers.pop_front();
    return answer;
}

int RecordingDialogs::Choose(const std::string& question, const std::vector<std::string>& buttons)
{
    std::string asked = question;
    for (const std::string& b : buttons)
        asked += "|" + b;
    Choices.push_back(asked);
    if (ChoiceAnswers.empty())
        return -1;
    const int answer = ChoiceAnswers.front();
    ChoiceAnswers.pop_front();
    return answer;
}

void RecordingCanvas::TextRect(const grid::TRect&, int, int, const std::string& text) { Texts.push_back(text); }

void RecordingCanvas::Draw(int x, int y, const QPixmap& picture)
{
    if (FailOnDraw)
        throw std::runtime_error("picture lost");
    Pictures.push_back({x, y, picture.cacheKey()});
}

AppTest::AppTest() : previousDialogs_(app::SetDialogs(&dialogs)) {}

AppTest::~AppTest()
{
    Flush();
    program.reset();
    Flush();
    app::TopLevelErrors::Instance().SetSilenced(false);
    app::SetDialogs(previousDialogs_);
}

void AppTest::Start(const std::vector<std::string>& arguments, const std::string& libraryFolder)
{
    app::StartOptions options;
    options.Arguments = arguments;
    options.LibraryFolder = libraryFolder;
    // One program at a time: the libraries are the process's.
    program.reset();
    Flush();
    program = std::make_unique<app::TProgram>(options);
}

app::TMainform& AppTest::Main() { return program->Mainform(); }

std::string AppTest::WriteArchive(const std::string& name, const std::vector<fixture::Member>& members)
{
    fixture::ZipBuilder builder;
    for (const auto& m : members)
        builder.Add(m);
    return dir.Write(name, builder.Finish().Bytes());
}

void AppTest::Flush()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

RecordingCanvas& AppTest::ShowWithRecordingCanvas()
{
    program->ShowMainWindow();
    QApplication::setActiveWindow(&Main());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Main(), 2000));
    auto canvas = std::make_unique<RecordingCanvas>();
    RecordingCanvas& recording = *canvas;
    Main().StringGrid1->ReplaceCanvas(std::move(canvas));
    return recording;
}

std::vector<std::string> AppTest::Column(int col)
{
    std::vector<std::string> cells;
    for (int row = 1; row < Main().StringGrid1->RowCount(); ++row)
        cells.push_back(Main().StringGrid1->Cells(col, row));
    return cells;
}

void PostClick(QWidget* widget, QPoint pos, Qt::MouseButton button)
{
    const QPointF global = widget->mapToGlobal(QPointF(pos));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonPress, QPointF(pos), global, button,
                                                        button, Qt::NoModifier));
    QCoreApplication::postEvent(widget, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(pos), global, button,
                                                        Qt::NoButton, Qt::NoModifier));
    QCoreApplication::processEvents();
}

QPoint CellCentre(app::TMainform& form, int col, int row)
{
    const grid::TRect r = form.StringGrid1->CellRect(col, row);
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

}  // namespace apptest
