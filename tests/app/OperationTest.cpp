// Operations under the window's busy rules, through the real libraries:
// cancelling a running add from the messages window, closing the main window
// in the middle of one, and commands coming back however an operation ends.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include "AppTestSupport.h"
#include "app/ErrorBox.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"

namespace {

using apptest::AppTest;
using apptest::PostClick;
using Strings = std::vector<std::string>;

class Operations : public AppTest {
protected:
    Operations()
    {
        // Enough data for many progress steps: the cancel lands mid-add.
        for (int i = 0; i < 3; ++i)
            dir.Write("src/file" + std::to_string(i) + ".bin", std::string(2 << 20, static_cast<char>('a' + i)));
        archive = dir / "out.zip";
        Start({archive});
        program->ShowMainWindow();
        program->Msgform().ProcessInterval = 0;
    }

    // The add as the Add command will run it: opening sequence, then the
    // component's AddFiles under the busy rules.
    bool Add()
    {
        program->Msgform().Open("Beginning Add to " + archive);
        Main().RezEdidiv1.SetFSpecArgs({dir / "src/file0.bin", dir / "src/file1.bin", dir / "src/file2.bin"});
        return Main().RunOperation([this] { Main().RezEdidiv1.AddFiles(); });
    }

    std::vector<QPushButton*> Guarded()
    {
        app::TMainform& f = Main();
        return {f.NewZipBut, f.ZipOpenBut, f.DeleteZipBut, f.AddBut,   f.ExtractBut,
                f.ConvertBut, f.TestBut,   f.DeleteBut,    f.CloseBut};
    }

    std::string archive;
};

TEST_F(Operations, CancelFromTheMessagesWindowStopsARealAdd)
{
    bool guardedDuring = true, liveDuring = false;
    ui.OnProcessMessages = [&] {
        if (ui.ProcessMessagesCalls != 3)
            return;
        for (QPushButton* b : Guarded())
            guardedDuring = guardedDuring && !b->isEnabled();
        liveDuring = Main().MsgBut->isEnabled() && Main().AboutFernpack->isEnabled() &&
                     program->Msgform().CancelBut->isEnabled() && program->Msgform().DismissBut->isEnabled();
        PostClick(program->Msgform().CancelBut, QPoint(5, 5));
    };
    EXPECT_TRUE(Add());
    EXPECT_TRUE(guardedDuring);
    EXPECT_TRUE(liveDuring);
    EXPECT_EQ(Main().RezEdidiv1.ProcessedCount, 0);
    EXPECT_FALSE(platform::FileExists(archive)) << "a cancelled add leaves nothing behind";
    EXPECT_FALSE(Main().RezEdidiv1.CancelRequested);
    for (QPushButton* b : Guarded())
        EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(program->Msgform().isVisible());
    EXPECT_GE(program->Msgform().Lines().size(), 1);

    // Without a cancel the same add goes through and the grid follows.
    ui.OnProcessMessages = nullptr;
    EXPECT_TRUE(Add());
    EXPECT_EQ(Main().RezEdidiv1.ProcessedCount, 3);
    EXPECT_EQ(Main().FilesLabel->text(), "3");
}

TEST_F(Operations, ClosingMidOperationWaitsForTheCallAndThenShowsNothing)
{
    QSignalSpy closed(&Main(), &app::TMainform::Closed);
    bool stillShownDuring = false;
    ui.OnProcessMessages = [&] {
        if (ui.ProcessMessagesCalls == 2) {
            Main().close();
            stillShownDuring = Main().isVisible();
        }
    };
    EXPECT_FALSE(Add()) << "the caller shows no result";
    EXPECT_TRUE(stillShownDuring);
    EXPECT_EQ(closed.count(), 0) << "nothing closes under a running call";
    Flush();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(Main().isVisible());
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_FALSE(platform::FileExists(archive));
}

TEST_F(Operations, CommandsComeBackWhenAnOperationThrowsAndNeverNest)
{
    bool nested = true;
    EXPECT_THROW(Main().RunOperation([&] {
        nested = Main().RunOperation([] {});
        throw std::runtime_error("conversion failed");
    }),
                 std::runtime_error);
    EXPECT_FALSE(nested);
    EXPECT_FALSE(Main().Busy());
    for (QPushButton* b : Guarded())
        EXPECT_TRUE(b->isEnabled());
}

}  // namespace
