// Program start: with and without an archive, with one that cannot be read,
// with the libraries missing; the windows it creates and what they show.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/Addunit.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"
#include "engine/LibraryState.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/FormatSettings.h"

namespace {

using apptest::AppTest;
using fixture::Stored;

TEST_F(AppTest, StartWithoutArchiveLoadsBothLibrariesAndCreatesEveryWindowHidden)
{
    Start();
    EXPECT_NE(engine::ZipDllState.Handle, nullptr);
    EXPECT_NE(engine::UnzDllState.Handle, nullptr);
    EXPECT_TRUE(ui.Messages.empty());
    app::TMainform& form = Main();
    EXPECT_EQ(form.windowTitle(), "Fernpack");
    EXPECT_EQ(form.StringGrid1->RowCount(), 2);
    EXPECT_EQ(form.StringGrid1->Cells(0, 0), "File Name");
    EXPECT_EQ(form.StringGrid1->Cells(3, 0), "Date/Time");
    EXPECT_EQ(form.StringGrid1->ColWidths(2), 94);
    EXPECT_EQ(form.StringGrid1->Cells(0, 1), "");
    EXPECT_EQ(form.FilesLabel->text(), "0");
    EXPECT_EQ(form.ZipFName->text(), "<none>");
    EXPECT_EQ(form.TimeLabel->text(), "00:00");
    EXPECT_EQ(form.ConvertBut->text(), "&Convert to EXE");

    EXPECT_EQ(program->Msgform().windowTitle(), "Zip Messages");
    EXPECT_EQ(program->Extract().windowTitle(), "Select Extract Directory");
    EXPECT_EQ(program->AddForm().windowTitle(), "Add Files");
    EXPECT_EQ(program->MakeSFX().windowTitle(), "Make Self Extracting Archive");
    EXPECT_FALSE(program->Msgform().isVisible());
    EXPECT_EQ(form.MessagesWindow(), &program->Msgform());

    program->ShowMainWindow();
    QApplication::setActiveWindow(&form);
    EXPECT_EQ(form.focusWidget(), form.ZipOpenBut);
    EXPECT_EQ(form.size(), QSize(635, 440));

    // The destruction handler releases both libraries.
    program.reset();
    EXPECT_EQ(engine::ZipDllState.Handle, nullptr);
    EXPECT_EQ(engine::UnzDllState.Handle, nullptr);
}

TEST_F(AppTest, StartWithArchiveListsItSortedByNameWithTheAscendingGlyph)
{
    platform::ScopedFormatSettings c(platform::TFormatSettings::C());
    fixture::Member b = Stored("b.txt", "bbbb");
    b.DateTime = fixture::DosDateTime(2021, 3, 4, 5, 6, 8);
    const std::string path = WriteArchive("two.zip", {b, Stored("a.txt", "a")});
    Start({path});
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "4"}));
    EXPECT_EQ(Main().StringGrid1->Cells(3, 2), "03/04/2021  05:06");
    EXPECT_EQ(Main().FilesLabel->text(), "2");
    EXPECT_EQ(Main().ZipFNameText(), path);

    apptest::RecordingCanvas& canvas = ShowWithRecordingCanvas();
    Main().StringGrid1->viewport()->update();
    Flush();
    ASSERT_FALSE(canvas.Pictures.empty());
    const grid::TRect heading = Main().StringGrid1->CellRect(0, 0);
    EXPECT_EQ(canvas.Pictures.back().X, heading.Right - 18);
    EXPECT_EQ(canvas.Pictures.back().Y, 0);
    EXPECT_EQ(canvas.Pictures.back().Key, Main().ImageList1.Image(0).cacheKey());
}

TEST_F(AppTest, StartWithMissingOrRelativePathShowsItAbsoluteAndEmpty)
{
    const std::string start = platform::GetCurrentDir();
    platform::SetCurrentDir(dir.Path());
    Start({"missing.zip", "ignored.zip"});
    platform::SetCurrentDir(start);
    EXPECT_EQ(Main().StringGrid1->RowCount(), 2);
    EXPECT_EQ(Main().FilesLabel->text(), "0");
    EXPECT_EQ(Main().ZipFNameText(), dir / "missing.zip");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(AppTest, UnreadableArchiveGoesToTheErrorBoxOnceTheLoopRuns)
{
    const std::string path = WriteArchive("locked.zip", {Stored("a", "a")});
    platform::FileStream writer;
    ASSERT_TRUE(writer.Open(path, platform::OpenMode::ReadWriteExclusive));
    Start({path});
    EXPECT_TRUE(dialogs.Errors.empty()) << "no box before the event loop";
    Flush();
    EXPECT_EQ(dialogs.Errors, (std::vector<std::string>{"Cannot open file " + path + "."}));
    // The program goes on: every window exists, the libraries are loaded.
    EXPECT_EQ(Main().MessagesWindow(), &program->Msgform());
    EXPECT_NE(engine::UnzDllState.Handle, nullptr);
    EXPECT_TRUE(Main().ZipOpenBut->isEnabled());
}

TEST_F(AppTest, ClosingTheMainWindowEndsTheEventLoopWhileTheMessagesWindowIsShown)
{
    Start();
    program->Msgform().ShowAndRaise();
    QTimer::singleShot(0, &Main(), [this] { Main().CloseBut->click(); });
    // Should the loop not end, this ends it with a failing code.
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(program->Run(), 0);
}

TEST_F(AppTest, MissingLibrariesAreReportedInBoxesWithoutTouchingTheMessagesWindow)
{
    Start({}, dir.Path());
    EXPECT_EQ(ui.Messages, (std::vector<std::string>{"Error Msg from DLL: ZIPDLL.DLL not found", "ZIPDLL.DLL not found",
                                                     "Error Msg from DLL: UNZDLL.DLL not found",
                                                     "UNZDLL.DLL not found"}));
    EXPECT_EQ(program->Msgform().Lines(), QStringList{""});
    EXPECT_FALSE(program->Msgform().MemoFull);
}

}  // namespace
