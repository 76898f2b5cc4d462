// The messages window: the progress arithmetic in steps of 32,768 bytes,
// the message handler's memo and boxes, a full memo, and its buttons.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>

#include "AppTestSupport.h"
#include "app/NameText.h"
#include "app/mainunit.h"
#include "app/msgunit.h"

namespace {

using apptest::AppTest;
using engine::ProgressType;
using Strings = std::vector<std::string>;

class Msgform : public AppTest {
protected:
    Msgform()
    {
        Start();
        form = &program->Msgform();
        form->ProcessInterval = 0;
    }
    void Progress(ProgressType type, const std::string& name = " ", std::int32_t size = 0)
    {
        Main().RezEdidiv1Progress(&Main().RezEdidiv1, type, name, size);
    }
    std::pair<int, int> FileRange() const { return {form->FileBar.Min, form->FileBar.Max}; }

    app::TMsgform* form;
};

TEST_F(Msgform, FileBeginSizesTheFileBarInWholeSteps)
{
    struct Case {
        std::int32_t size;
        int max;
        int position;
    };
    // Below one step the bar takes its one step at once (and, being full,
    // starts over); at one step and above it waits for the library's steps.
    for (const Case& c : {Case{32767, 1, 1}, Case{32768, 1, 1}, Case{65536, 2, 1}, Case{1000000, 30, 1},
                          Case{-5, 1, 1}, Case{0, 1, 1}}) {
        Progress(ProgressType::FileBegin, "file.bin", c.size);
        EXPECT_EQ(FileRange(), std::make_pair(1, c.max)) << c.size;
        EXPECT_EQ(form->FileBar.Position, c.position) << c.size;
        EXPECT_EQ(form->FileBar.Step, 1);
    }
    EXPECT_EQ(form->FileBeingZipped->text(), "file.bin");
    EXPECT_EQ(ui.ProcessMessagesCalls, 6) << "pending input once per event";
}

TEST_F(Msgform, PendingInputWaitsForTheIntervalExceptAtTheEndOfABatch)
{
    form->ProcessInterval = 60000;
    Progress(ProgressType::BatchEnd);
    EXPECT_EQ(ui.ProcessMessagesCalls, 1);
    Progress(ProgressType::FileBegin, "f", 100000);
    for (int i = 0; i < 5; ++i)
        Progress(ProgressType::FileStep);
    EXPECT_EQ(ui.ProcessMessagesCalls, 1);
    EXPECT_EQ(form->FileBar.Position, 3) << "the bars move all the same";
    Progress(ProgressType::BatchEnd);
    EXPECT_EQ(ui.ProcessMessagesCalls, 2);
}

TEST_F(Msgform, FileStepsMoveBothBarsUpToTheirMaximum)
{
    form->AllFilesBar = {1, 3, 1, 1};  // as the Add command prepares it
    Progress(ProgressType::FileBegin, "f", 70000);
    Progress(ProgressType::FileStep);
    EXPECT_EQ(form->FileBar.Position, 2);
    EXPECT_EQ(form->AllFilesBar.Position, 2);
    Progress(ProgressType::FileStep);
    Progress(ProgressType::FileStep);
    EXPECT_EQ(form->FileBar.Position, 2);
    EXPECT_EQ(form->AllFilesBar.Position, 3);
    EXPECT_EQ(form->ProgressBar1->value(), form->ProgressBar1->maximum());

    Progress(ProgressType::BatchEnd);
    EXPECT_EQ(FileRange(), std::make_pair(1, 10));
    EXPECT_EQ(form->FileBar.Position, 1);
    EXPECT_EQ(form->FileBeingZipped->text(), "");
    EXPECT_EQ(form->AllFilesBar.Position, 3) << "the all-files bar keeps its place";
    // Extract and test leave the all-files bar alone: a fresh one climbs by tens.
    app::TStepBar fresh;
    form->AllFilesBar = fresh;
    Progress(ProgressType::FileStep);
    EXPECT_EQ(form->AllFilesBar.Position, 10);
}

TEST_F(Msgform, MessagesAreLoggedAndPositiveCodesBoxed)
{
    form->Open("Beginning Add to /tmp/a.zip");
    EXPECT_TRUE(form->isVisible());
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, "  adding: x");
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 5, "disk full");
    Main().RezEdidiv1Message(&Main().RezEdidiv1, -1, "negative");
    EXPECT_EQ(form->Lines(), (QStringList{"Beginning Add to /tmp/a.zip", "  adding: x", "disk full", "negative"}));
    EXPECT_EQ(ui.Messages, Strings{"Error Msg from DLL: disk full"});
    // Show Msgs brings the same lines back.
    form->DismissBut->click();
    EXPECT_FALSE(form->isVisible());
    Main().MsgBut->click();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Lines().size(), 4);
}

TEST_F(Msgform, AFullMemoSaysSoOncePerOperation)
{
    EXPECT_EQ(form->MemoCapacity, 100000);
    form->MemoCapacity = 3;
    form->Open("first");
    for (const char* line : {"second", "third", "fourth", "fifth"})
        Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, line);
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 7, "still boxed");
    EXPECT_TRUE(form->MemoFull);
    EXPECT_EQ(form->Lines(), (QStringList{"first", "second", "third"}));
    EXPECT_EQ(ui.Messages, (Strings{"Memo Full - Updating Stopped, but your operation is continuing...",
                                    "Error Msg from DLL: still boxed"}));
    form->Open("next operation");
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, "logged again");
    EXPECT_FALSE(form->MemoFull);
    EXPECT_EQ(form->Lines(), (QStringList{"next operation", "logged again"}));
}

TEST_F(Msgform, WaitingLinesReachTheMemoAsIfAppendedOneByOne)
{
    // The memo takes lines in batches at the input tick; what it shows in
    // the end, and where it refuses more, is what a line-by-line memo shows.
    struct Case {
        int capacity;
        Strings messages;
    };
    const Case cases[] = {
        {100, {"opening", "  adding: a", "", "two\nlines", "cr\rline", "last"}},
        {4, {"opening", "one", "two\nthree\nfour", "refused"}},
        {3, {"opening", "a\nb\nc\rd", "refused"}},
        {3, {"", "", "x", "y", "z"}},
        {5, {"opening", "a", "b", "c", "d", "e", "f"}},
        // What is not plain is shown as the boxes show it: code page 437,
        // escapes, one break for CR LF; line lengths across 16-byte runs.
        {100, {"opening", "caf\x82", "bell\x07\r\nnext", "\xe2\x82\xac sixteen bytes on\xe2\x80\xa8x", "0123456789abcde\nf"}},
    };
    for (const Case& c : cases) {
        QPlainTextEdit reference;
        for (const std::string& m : c.messages) {
            QTextDocument* d = reference.document();
            if (!d->isEmpty() && d->blockCount() >= c.capacity)
                break;
            reference.appendPlainText(app::VisibleMessage(m));
        }
        QStringList expected;
        for (QTextBlock b = reference.document()->begin(); b.isValid(); b = b.next())
            expected << b.text();

        form->ProcessInterval = 60000;
        form->MemoCapacity = c.capacity;
        form->Open(c.messages.front());
        for (std::size_t i = 1; i < c.messages.size(); ++i)
            Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, c.messages[i]);
        EXPECT_EQ(form->Lines(), expected) << c.capacity << " " << c.messages.size();
    }
}

TEST_F(Msgform, TheMemoShowsEveryLineBeforeABoxAndAtTheTick)
{
    form->ProcessInterval = 60000;
    form->Open("opening");
    Progress(ProgressType::BatchEnd);  // the tick's clock starts
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, "waiting");
    Progress(ProgressType::FileBegin, "f", 10);
    EXPECT_EQ(form->Memo1->LineCount(), 1) << "the line waits for the tick";
    EXPECT_EQ(form->FileBeingZipped->text(), "") << "so does the file label";
    std::vector<int> linesAtBox;
    ui.OnShowMessage = [&] { linesAtBox.push_back(form->Memo1->LineCount()); };
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 5, "error");
    EXPECT_EQ(linesAtBox, std::vector<int>{3}) << "the box comes after the lines before it";
    Main().RezEdidiv1Message(&Main().RezEdidiv1, 0, "after");
    Progress(ProgressType::BatchEnd);
    EXPECT_EQ(form->Memo1->LineCount(), 4);
    ui.OnShowMessage = nullptr;
}

TEST_F(Msgform, CancelStopsARunningOperationOrElseHidesTheWindow)
{
    form->ShowAndRaise();
    Main().RezEdidiv1.ZipLibBusy = true;
    form->CancelBut->click();
    EXPECT_TRUE(Main().RezEdidiv1.CancelRequested);
    EXPECT_TRUE(form->isVisible());
    Main().RezEdidiv1.ZipLibBusy = false;
    Main().RezEdidiv1.CancelRequested = false;
    form->CancelBut->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(Main().RezEdidiv1.CancelRequested);
    // The close box only hides; the program goes on.
    form->ShowAndRaise();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->testAttribute(Qt::WA_QuitOnClose));
}

}  // namespace
