// Open Zip, New Zip, Destroy Zip, Exit and About: their dialogs, checks,
// texts and effects; the name label, the elapsed time, the Convert caption
// and the date of a member whose time is no calendar value.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/About.h"
#include "app/FormatElapsed.h"
#include "app/mainunit.h"
#include "app/MemberCells.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"
#include "platform/FormatSettings.h"

namespace {

using apptest::AppTest;
using fixture::Stored;
using Strings = std::vector<std::string>;

TEST_F(AppTest, OpenZipAsksForAnExistingFileAndKeepsTheLastChoicePreset)
{
    const std::string one = WriteArchive("one.zip", {Stored("x", "1")});
    Start();
    dialogs.FileAnswers = {std::nullopt, one, std::nullopt};
    Main().ZipOpenBut->click();
    EXPECT_EQ(Main().ZipFName->text(), "<none>");
    Main().ZipOpenBut->click();
    EXPECT_EQ(Column(0), Strings{"x"});
    EXPECT_EQ(Main().ZipFNameText(), one);
    Main().ZipOpenBut->click();
    ASSERT_EQ(dialogs.FileRequests.size(), 3u);
    const app::FileRequest& r = dialogs.FileRequests[2];
    EXPECT_EQ(r.Mode, app::FileRequest::Kind::Existing);
    EXPECT_EQ(r.Title, "Open Existing ZIP File");
    EXPECT_EQ(r.Filter, "ZIP Files (*.ZIP, *.EXE)|*.zip;*.exe");
    EXPECT_EQ(dialogs.FileRequests[0].Preset, "");
    EXPECT_EQ(r.Preset, one);
}

TEST_F(AppTest, OpenZipThatFailsRestoresCursorAndNameThenShowsTheErrorBox)
{
    const std::string path = WriteArchive("locked.zip", {Stored("a", "a")});
    platform::FileStream writer;
    ASSERT_TRUE(writer.Open(path, platform::OpenMode::ReadWriteExclusive));
    Start();
    dialogs.FileAnswers = {path};
    Main().ZipOpenBut->click();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Main().ZipFNameText(), path);
    Flush();
    EXPECT_EQ(dialogs.Errors, Strings{"Cannot open file " + path + "."});
    EXPECT_TRUE(Main().ZipOpenBut->isEnabled());
}

TEST_F(AppTest, OpenZipOnAFolderListsNothingAndChangesNothing)
{
    Start();
    dialogs.FileAnswers = {dir.Path()};
    Main().ZipOpenBut->click();
    Flush();
    EXPECT_TRUE(dialogs.Errors.empty());
    EXPECT_EQ(Main().FilesLabel->text(), "0");
    EXPECT_TRUE(platform::DirectoryExists(dir.Path()));
}

TEST_F(AppTest, NewZipChecksTheNameAsked)
{
    Start();
    const std::string inDottedFolder = dir / "v1.0/new";
    dialogs.FileAnswers = {dir / "prog.ExE", dir / "data.tar", inDottedFolder, dir / "fresh"};
    for (int i = 0; i < 4; ++i)
        Main().NewZipBut->click();
    EXPECT_EQ(ui.Messages, (Strings{"Error: you must create a .ZIP file, then convert to .EXE",
                                    "Error: your new archive must end in .ZIP",
                                    "Error: your new archive must end in .ZIP"}));
    EXPECT_EQ(dialogs.FileRequests[0].Title, "Create New ZIP File");
    EXPECT_EQ(dialogs.FileRequests[0].Filter, "ZIP Files (*.ZIP)|*.zip");
    EXPECT_EQ(dialogs.FileRequests[0].Mode, app::FileRequest::Kind::New);
    EXPECT_EQ(dialogs.FileRequests[0].Preset, "");
    // Without any dot: ".zip" appended, listed as empty, nothing on disk.
    EXPECT_EQ(Main().ZipFNameText(), dir / "fresh.zip");
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), dir / "fresh.zip");
    EXPECT_FALSE(platform::FileExists(dir / "fresh.zip"));
    EXPECT_EQ(Main().StringGrid1->RowCount(), 2);
}

TEST_F(AppTest, NewZipOverAnExistingFileAsksAndOnlyYesDeletesIt)
{
    const std::string old = WriteArchive("old.zip", {Stored("keep", "k")});
    Start({old});
    dialogs.FileAnswers = {old, old};
    dialogs.ConfirmAnswers = {false, true};
    Main().NewZipBut->click();
    EXPECT_TRUE(platform::FileExists(old));
    EXPECT_EQ(Column(0), Strings{"keep"});
    Main().NewZipBut->click();
    EXPECT_EQ(dialogs.Questions, (Strings{"Overwrite Existing File: " + old + "?", "Overwrite Existing File: " + old + "?"}));
    EXPECT_FALSE(platform::FileExists(old));
    EXPECT_EQ(Column(0), Strings{""});
    EXPECT_EQ(Main().FilesLabel->text(), "0");
}

TEST_F(AppTest, DestroyZipConfirmsDeletesAndForgetsTheArchive)
{
    // A file called "<none>" in the current folder is not the archive.
    const std::string start = platform::GetCurrentDir();
    platform::SetCurrentDir(dir.Path());
    dir.Write("<none>", "innocent");
    Start();
    Main().DeleteZipBut->click();
    platform::SetCurrentDir(start);
    EXPECT_EQ(ui.Messages, Strings{"Zip file not found: <none>"});
    EXPECT_TRUE(platform::FileExists(dir / "<none>"));

    const std::string path = WriteArchive("doomed.zip", {Stored("a", "a"), Stored("b", "b")});
    dialogs.FileAnswers = {path};
    Main().ZipOpenBut->click();
    dialogs.ConfirmAnswers = {false, true};
    Main().DeleteZipBut->click();
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_EQ(Main().FilesLabel->text(), "2");
    Main().DeleteZipBut->click();
    EXPECT_EQ(dialogs.Questions.back(), "Are you sure you want to delete: " + path + "?");
    EXPECT_FALSE(platform::FileExists(path));
    EXPECT_EQ(Main().StringGrid1->RowCount(), 2);
    EXPECT_EQ(Column(0), Strings{""});
    EXPECT_EQ(Main().FilesLabel->text(), "0");
    EXPECT_EQ(Main().ZipFName->text(), "<none>");
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), "");
}

TEST_F(AppTest, ListingSetsTheConvertCaptionByTheNamesExtension)
{
    Start();
    Main().RezEdidiv1.SetZipFilename(dir / "prog.eXe");
    EXPECT_EQ(Main().ConvertBut->text(), "Convert to ZIP");
    Main().RezEdidiv1.SetZipFilename(dir / "exe.zip");
    EXPECT_EQ(Main().ConvertBut->text(), "Convert to EXE");
}

TEST_F(AppTest, SizeColumnsShowMembersOf2GBAndMoreWithTheirRealSize)
{
    // A 2.6 GB stored member in a sparse file: only its header is read. Its
    // 32-bit fields are negative as signed values; the grid must not be.
    const std::uint32_t size = 2600000000u;
    const auto path = dir / "big.zip";
    ASSERT_TRUE(fixture::WriteSparseStoredMember(path, "disk.img", size));
    Start();
    Main().RezEdidiv1.SetZipFilename(path);
    EXPECT_EQ(Column(1), Strings{"2600000000"});
    EXPECT_EQ(Column(2), Strings{"2600000000"});
}

TEST_F(AppTest, LongArchiveNamesGetTheirHint)
{
    Start();
    Main().ShowZipFileName("/tmp/short.zip");
    EXPECT_FALSE(Main().ZipFNameHintShown());
    EXPECT_TRUE(Main().ZipFName->toolTip().isEmpty());
    const std::string longName = "/tmp/" + std::string(60, 'w') + ".zip";
    Main().ShowZipFileName(longName);
    EXPECT_TRUE(Main().ZipFNameHintShown());
    EXPECT_TRUE(Main().ZipFName->toolTip().contains(QString::fromStdString(longName)));
    // One line in the label: the start and the file name, the middle elided.
    EXPECT_TRUE(Main().ZipFName->text().startsWith("/tmp/w"));
    EXPECT_TRUE(Main().ZipFName->text().endsWith("w.zip"));
    EXPECT_TRUE(Main().ZipFName->text().contains(QChar(0x2026)));
}

TEST_F(AppTest, ExitClosesTheWindowAndAboutShowsNameVersionAndIcon)
{
    Start();
    program->ShowMainWindow();
    QString product, version;
    bool iconShown = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<app::TAboutBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        product = box->ProductName->text();
        version = box->Version->text();
        iconShown = !box->ProgramIcon->pixmap().isNull() && box->ProgramIcon->size() == QSize(48, 48);
        EXPECT_EQ(box->windowTitle(), "About");
        box->OKButton->click();
    });
    Main().AboutFernpack->click();
    EXPECT_EQ(product, QString::fromUtf8("Fernpack\u2122"));
    EXPECT_EQ(version, "2.0.0.0");
    EXPECT_TRUE(iconShown);

    QSignalSpy closed(&Main(), &app::TMainform::Closed);
    Main().CloseBut->click();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(Main().isVisible());
}

TEST(FormatElapsedTest, WholeMinutesAndSeconds)
{
    EXPECT_EQ(app::FormatElapsed(1000, 6400), "00:05");
    EXPECT_EQ(app::FormatElapsed(0, 59999), "00:59");
    EXPECT_EQ(app::FormatElapsed(0, 65000), "01:05");
    EXPECT_EQ(app::FormatElapsed(0, 6000000), "100:00");
    EXPECT_EQ(app::FormatElapsed(0xFFFFF000u, 0x00001000u), "00:08");  // across the tick's wrap
}

TEST(MemberDateTest, ValuesThatAreNoCalendarDateShowAsZerosAsInTheCommandLine)
{
    platform::ScopedFormatSettings c(platform::TFormatSettings::C());
    EXPECT_EQ(app::MemberDateText(fixture::DosDateTime(2024, 5, 17, 13, 45, 30)), "05/17/2024  13:45");
    EXPECT_EQ(app::MemberDateText(fixture::DosDateTime(1980, 1, 1, 0, 0, 0)), "01/01/1980  00:00");
    EXPECT_EQ(app::MemberDateText(0), "0000-00-00 00:00:00");
    EXPECT_EQ(app::MemberDateText(fixture::DosDateTime(2023, 2, 29, 0, 0, 0)), "0000-00-00 00:00:00");
}

}  // namespace
