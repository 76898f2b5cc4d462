// The operation commands through the real libraries: every precondition
// message, add, extract (all and selected rows, with and without folder
// names, overwriting or not), delete and test, checked with unzip and 7zz
// and by the bytes on disk; encryption with the password questions; one
// "Error Msg from DLL: " box per operation; both conversions with the
// overwrite question; bad input (a damaged member, a target that cannot be
// written, a vanished folder, a full disk) ending in messages with the
// archive as it was.
#include <QCheckBox>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QLabel>
#include <QPushButton>

#include "AppTestSupport.h"
#include "CommandTestSupport.h"
#include "OtherUser.h"
#include "PeerCheck.h"
#include "app/Addunit.h"
#include "app/DialogParts.h"
#include "app/FileWidgets.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "app/sfxunit.h"
#include "platform/FileSystem.h"

namespace {

using apptest::AppTest;
using apptest::WhenModal;
using fixture::ReadFile;
using fixture::RunCommand;
using fixture::Stored;
using Strings = std::vector<std::string>;

// Same bytes, without printing megabytes when they differ.
testing::AssertionResult SameBytes(const std::string& path, const std::string& expected)
{
    const std::string actual = ReadFile(path);
    if (actual == expected)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << path << ": " << actual.size() << " bytes, not the " << expected.size()
                                       << " expected";
}

class Commands : public AppTest {
protected:
    // Extracting moves the current folder into the test's folder, which goes
    // at the end.
    Commands() : startFolder_(platform::GetCurrentDir()) {}
    ~Commands() override
    {
        program.reset();
        platform::SetCurrentDir(startFolder_);
    }
    void Click(QPushButton* button)
    {
        button->click();
        Flush();
    }
    // Adds `names` of `folder` (all its files when empty) through the dialog.
    void AddThroughDialog(const std::string& folder, const Strings& names, bool dirNames = false,
                          bool recurse = false, bool encrypt = false, bool wholeFolder = false)
    {
        WhenModal<app::TAddForm>([=](app::TAddForm& d) {
            d.OpenDirectory(folder);
            for (int i = 0; i < d.FileListBox1->count(); ++i)
                d.FileListBox1->SetSelected(
                    i, names.empty() || std::find(names.begin(), names.end(), d.FileListBox1->Name(i)) != names.end());
            if (wholeFolder)
                d.AddDirButClick();
            else
                d.AddFileButClick();
            d.DirNameCB->setChecked(dirNames);
            d.RecurseCB->setChecked(recurse);
            d.EncryptCB->setChecked(encrypt);
            d.OKButClick();
        });
        Click(Main().AddBut);
    }
    // Into the folder `name` of the test's folder (made when missing: the
    // tree shows folders that exist).
    void ExtractThroughDialog(const std::string& name, bool withDirs, bool overwrite, bool all)
    {
        const std::string target = dir / name;
        if (!platform::DirectoryExists(target))
            dir.Write(name + "/.made", "");
        WhenModal<app::TExtract>([=](app::TExtract& d) {
            d.OpenDirectory(target);
            d.RadioGroup1->SetItemIndex(withDirs ? 1 : 0);
            d.RadioGroup2->SetItemIndex(overwrite ? 1 : 0);
            d.RadioGroup3->SetItemIndex(all ? 0 : 1);
            d.OKButClick();
        });
        Click(Main().ExtractBut);
    }
    // Selects grid rows top..bottom (1-based data rows).
    void SelectRows(int top, int bottom) { Main().StringGrid1->SetSelection({0, top, 3, bottom}); }
    int RowOf(const std::string& name)
    {
        const Strings names = Column(0);
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin()) + 1;
    }
    std::string Last() { return ui.Messages.empty() ? "" : ui.Messages.back(); }
    int SevenZipTest(const std::string& path, const std::string& password)
    {
        return RunCommand("7zz t -p'" + password + "' '" + path + "' >/dev/null 2>&1");
    }

private:
    std::string startFolder_;
};

TEST_F(Commands, EveryPreconditionSaysItsMessageAndRunsNothing)
{
    Start();
    for (QPushButton* b : {Main().AddBut, Main().ExtractBut, Main().DeleteBut, Main().TestBut, Main().ConvertBut}) {
        auto shown = WhenModal<QDialog>([](QDialog&) {});
        Click(b);
        EXPECT_FALSE(*shown) << "no dialog without an archive";
    }
    EXPECT_EQ(ui.Messages, (Strings{"Error - open a zip file first", "Error: file not found: <none>",
                                    "Error - no files to delete", "Error - nothing to Test",
                                    "Error: no files in archive"}));
    EXPECT_FALSE(program->Msgform().isVisible());

    // A new archive is not on disk until the first add.
    dialogs.FileAnswers = {dir / "new"};
    Click(Main().NewZipBut);
    ui.Messages.clear();
    Click(Main().ExtractBut);
    EXPECT_EQ(Last(), "Error: file not found: " + dir / "new.zip");

    // An empty list, then a folder that selects no file on disk.
    dir.Write("empty/.keep", "");
    WhenModal<app::TAddForm>([](app::TAddForm& d) { d.OKButClick(); });
    Click(Main().AddBut);
    EXPECT_EQ(Last(), "No files selected");
    AddThroughDialog(dir / "empty", {}, false, false, false, true);
    EXPECT_EQ(Last(), "No files to add");
    EXPECT_EQ(program->AddForm().SelectedList->Entries(), Strings{dir / "empty/*.*"}) << "kept for another try";
    EXPECT_TRUE(Main().RezEdidiv1.FSpecArgs().empty());
    EXPECT_FALSE(program->Msgform().isVisible());
    EXPECT_FALSE(platform::FileExists(dir / "new.zip"));

    // An archive that exists without members: the dialog first, then the message.
    Start({WriteArchive("none.zip", {})});
    auto shown = WhenModal<app::TExtract>([](app::TExtract& d) { d.OKButClick(); });
    Click(Main().ExtractBut);
    EXPECT_TRUE(*shown);
    EXPECT_EQ(Last(), "Error - no files to extract");

    // Delete answered No asks about the archive and changes nothing.
    const std::string two = WriteArchive("two.zip", {Stored("a", "a"), Stored("b", "b")});
    Start({two});
    Click(Main().DeleteBut);
    EXPECT_EQ(dialogs.Questions.back(), "Delete selected files from: " + two + "?");
    EXPECT_EQ(Column(0), (Strings{"a", "b"}));
    EXPECT_FALSE(program->Msgform().isVisible());
}

TEST_F(Commands, AddExtractDeleteAndTestThroughTheLibraries)
{
    const std::string alpha = "alpha\n" + std::string(100000, 'x');
    std::string beta(70000, '\0');
    for (std::size_t i = 0; i < beta.size(); ++i)
        beta[i] = static_cast<char>(i * 7);
    dir.Write("src/alpha.txt", alpha);
    dir.Write("src/beta.bin", beta);
    dir.Write("src/gamma.txt", "gamma");
    dir.Write("src/sub/deep.txt", "deep");
    const std::string archive = dir / "work.zip";
    Start({archive});
    program->Msgform().ProcessInterval = 0;

    AddThroughDialog(dir / "src", {"alpha.txt", "beta.bin", "gamma.txt"});
    EXPECT_EQ(Last(), "3 files were added");
    EXPECT_EQ(program->Msgform().Lines().front(), QString::fromStdString("Beginning Add to " + archive));
    EXPECT_TRUE(program->AddForm().SelectedList->Entries().empty()) << "a confirmed list starts empty";
    EXPECT_EQ(fixture::PeerCheck(archive), "");
    EXPECT_EQ(Column(0), (Strings{"alpha.txt", "beta.bin", "gamma.txt"}));

    Click(Main().TestBut);
    EXPECT_EQ(Last(), "All 3 files tested OK");

    ExtractThroughDialog("all", false, true, true);
    EXPECT_EQ(Last(), "3 files were extracted");
    EXPECT_TRUE(SameBytes(dir / "all/alpha.txt", alpha));
    EXPECT_TRUE(SameBytes(dir / "all/beta.bin", beta));

    // Selected rows only, top to bottom; the current row when none was chosen.
    SelectRows(RowOf("beta.bin"), RowOf("gamma.txt"));
    ExtractThroughDialog("some", false, true, false);
    EXPECT_EQ(Last(), "2 files were extracted");
    EXPECT_FALSE(platform::FileExists(dir / "some/alpha.txt"));
    EXPECT_EQ(ReadFile(dir / "some/gamma.txt"), "gamma");
    Main().StringGrid1->SetRow(RowOf("alpha.txt"));
    ExtractThroughDialog("one", false, true, false);
    EXPECT_EQ(Last(), "1 file was extracted");
    EXPECT_TRUE(SameBytes(dir / "one/alpha.txt", alpha));

    // Overwrite off keeps the file on disk; on replaces it.
    dir.Write("all/gamma.txt", "changed");
    ExtractThroughDialog("all", false, false, true);
    EXPECT_EQ(ReadFile(dir / "all/gamma.txt"), "changed");
    ExtractThroughDialog("all", false, true, true);
    EXPECT_EQ(ReadFile(dir / "all/gamma.txt"), "gamma");

    // Folder names: stored with "Save DirNames" (the whole path below the
    // root), recreated only with "Yes".
    AddThroughDialog(dir / "src", {}, true, true, false, true);
    EXPECT_EQ(Last(), "4 files were added");
    const std::string deep = dir.Path().substr(1) + "/src/sub/deep.txt";
    Main().StringGrid1->SetRow(RowOf(deep));
    ExtractThroughDialog("flat", false, true, false);
    EXPECT_EQ(ReadFile(dir / "flat/deep.txt"), "deep");
    ExtractThroughDialog("tree", true, true, false);
    EXPECT_EQ(ReadFile(dir / ("tree/" + deep)), "deep");

    SelectRows(RowOf("alpha.txt"), RowOf("beta.bin"));
    dialogs.ConfirmAnswers = {true};
    Click(Main().DeleteBut);
    EXPECT_EQ(Last(), "2 files were deleted");
    EXPECT_EQ(Main().FilesLabel->text(), "5");
    EXPECT_EQ(RowOf("alpha.txt"), 6) << "gone";
    EXPECT_EQ(Column(0).front(), "gamma.txt");
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

TEST_F(Commands, EncryptedAddAndExtractAskForThePasswordAndOneErrorBoxPerOperation)
{
    dir.Write("src/a.txt", "first secret");
    dir.Write("src/b.txt", "second secret");
    dir.Write("src/c.txt", "third secret");
    const std::string archive = dir / "locked.zip";
    Start({archive});
    program->Msgform().ProcessInterval = 0;

    // Cancelling the question cancels the add, silently.
    AddThroughDialog(dir / "src", {}, false, false, true);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_FALSE(program->Msgform().isVisible());
    EXPECT_FALSE(platform::FileExists(archive));

    // Typed twice, with the rules; the component holds it only for the add.
    dialogs.PasswordAnswers = {"one", "two", "", std::string(81, 'p'), "secret", "secret"};
    AddThroughDialog(dir / "src", {}, false, false, true);
    EXPECT_EQ(ui.Messages, (Strings{"Error - the two passwords differ", "Error - the password is empty",
                                    "Error - the password is longer than 80 bytes", "3 files were added"}));
    EXPECT_EQ(dialogs.PasswordPrompts.size(), 7u) << "one cancelled, then six";
    EXPECT_EQ(Main().RezEdidiv1.Password(), "");
    EXPECT_EQ(fixture::PeerCheck(archive, "secret"), "");
    EXPECT_NE(SevenZipTest(archive, "wrong"), 0);
    for (const auto& entry : Main().RezEdidiv1.Entries)
        EXPECT_TRUE(entry->GeneralFlags & 1) << entry->FileName;

    // Extract asks once; Test then uses the kept password.
    dialogs.PasswordPrompts.clear();
    dialogs.PasswordAnswers = {"secret"};
    Main().StringGrid1->SetRow(2);
    ExtractThroughDialog("out", false, true, false);
    EXPECT_EQ(Last(), "1 file was extracted");
    EXPECT_EQ(ReadFile(dir / "out/b.txt"), "second secret");
    Click(Main().TestBut);
    EXPECT_EQ(Last(), "All 3 files tested OK");
    EXPECT_EQ(dialogs.PasswordPrompts, Strings{"Password|Password for the encrypted files in locked.zip:"});

    // Opening the archive again forgets it; a wrong one ends in the
    // library's messages: one box, every line in the memo.
    dialogs.FileAnswers = {archive};
    Click(Main().ZipOpenBut);
    ui.Messages.clear();
    dialogs.PasswordAnswers = {"wrong"};
    Click(Main().TestBut);
    int boxes = 0;
    for (const std::string& m : ui.Messages)
        boxes += m.rfind("Error Msg from DLL: ", 0) == 0;
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(Last(), "ERROR: 3 files tested BAD, or skipped!");
    EXPECT_GE(program->Msgform().Lines().size(), 4);
}

TEST_F(Commands, ConvertBothWaysAsksBeforeOverwritingAnotherFile)
{
    const std::string zip = WriteArchive("backup.zip", {Stored("keep.txt", "kept bytes"), Stored("b", "b")});
    const std::string original = ReadFile(zip);
    const std::string exe = dir.Write("backup.exe", "an unrelated program");
    Start({zip});
    auto doItNow = [] { WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) { d.ExecButClick(); }); };

    doItNow();
    dialogs.ConfirmAnswers = {false};
    Click(Main().ConvertBut);
    EXPECT_EQ(dialogs.Questions, Strings{"Overwrite Existing File: " + exe + "?"});
    EXPECT_EQ(ReadFile(exe), "an unrelated program");
    EXPECT_EQ(ReadFile(zip), original);
    EXPECT_TRUE(ui.Messages.empty());

    doItNow();
    dialogs.ConfirmAnswers = {true};
    Click(Main().ConvertBut);
    EXPECT_EQ(Last(), "Filename is now: " + exe);
    EXPECT_FALSE(platform::FileExists(zip));
    EXPECT_EQ(Main().ConvertBut->text(), "Convert to ZIP");
    EXPECT_EQ(Column(0), (Strings{"b", "keep.txt"}));

    // Back again, over a file that appeared meanwhile; without the dialog.
    dir.Write("backup.zip", "someone else's");
    dialogs.ConfirmAnswers = {true};
    auto shown = WhenModal<QDialog>([](QDialog&) {});
    Click(Main().ConvertBut);
    EXPECT_FALSE(*shown);
    EXPECT_EQ(dialogs.Questions.back(), "Overwrite Existing File: " + zip + "?");
    EXPECT_EQ(Last(), "Filename is now: " + zip);
    EXPECT_EQ(ReadFile(zip), original);
    EXPECT_FALSE(platform::FileExists(exe));

    // No other file of that name: no question.
    const std::size_t asked = dialogs.Questions.size();
    doItNow();
    Click(Main().ConvertBut);
    EXPECT_EQ(Last(), "Filename is now: " + exe);
    EXPECT_EQ(dialogs.Questions.size(), asked);
}

// Names of the files in `folder` (no dot-files), sorted.
Strings FilesIn(const std::string& folder)
{
    Strings names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string()[0] != '.')
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Commands, BadInputEndsInMessagesAndLeavesTheArchiveAsItWas)
{
    fixture::Member bad = Stored("bad.txt", "stored bytes that do not match");
    bad.PlainCrc = 0x12345678;
    const std::string archive =
        WriteArchive("damaged.zip", {Stored("good.txt", "fine"), bad, Stored("in/deep.txt", "deep")});
    std::string original = ReadFile(archive);
    Start({archive});
    program->Msgform().ProcessInterval = 0;
    auto memoSays = [this](const std::string& part) {
        for (const QString& line : program->Msgform().Lines())
            if (line.toStdString().find(part) != std::string::npos)
                return true;
        return false;
    };

    // A damaged member: the test and the extract say so; nothing is changed.
    Click(Main().TestBut);
    EXPECT_EQ(Last(), "ERROR: 1 files tested BAD, or skipped!");
    EXPECT_TRUE(memoSays("bad.txt"));
    ExtractThroughDialog("out", false, true, true);
    EXPECT_EQ(Last(), "2 files were extracted");
    EXPECT_EQ(ReadFile(dir / "out/good.txt"), "fine");
    EXPECT_FALSE(platform::FileExists(dir / "out/bad.txt")) << "no file of wrong bytes";
    EXPECT_EQ(ReadFile(archive), original);

    // A file where the target needs a folder, and a target without write
    // permission (which root may write in all the same).
    dir.Write("blocked/in", "a file, not a folder");
    Main().StringGrid1->SetRow(RowOf("in/deep.txt"));
    ExtractThroughDialog("blocked", true, true, false);
    EXPECT_EQ(Last(), "0 files were extracted");
    EXPECT_EQ(ReadFile(dir / "blocked/in"), "a file, not a folder");
    if (geteuid() != 0) {
        dir.Write("locked/.made", "");
        ::chmod((dir / "locked").c_str(), 0555);
        ExtractThroughDialog("locked", false, true, true);
        EXPECT_EQ(Last(), "0 files were extracted");
        ::chmod((dir / "locked").c_str(), 0755);
    }

    // A folder that vanished after it was chosen, beside a file that is there.
    dir.Write("src/new.txt", "new");
    dir.Write("gone/old.txt", "old");
    ui.Messages.clear();
    WhenModal<app::TAddForm>([this](app::TAddForm& d) {
        d.OpenDirectory(dir / "gone");
        d.AddDirButClick();
        d.OpenDirectory(dir / "src");
        d.SelectAllButClick();
        d.AddFileButClick();
        std::filesystem::remove_all(dir / "gone");
        d.OKButClick();
    });
    Click(Main().AddBut);
    EXPECT_EQ(Last(), "1 file was added");
    EXPECT_TRUE(memoSays("No files found for " + dir / "gone/*.*"));

    // A full disk (a file size limit here): the new archive cannot be
    // written, the old one stays whole, no temporary file is left, and the
    // next add works.
    std::string noise(300000, '\0');
    std::uint32_t x = 2463534242u;
    for (char& c : noise) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
    dir.Write("big/noise.bin", noise);
    original = ReadFile(archive);
    const Strings before = FilesIn(dir.Path());
    struct rlimit was {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = {200000, was.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ui.Messages.clear();
    AddThroughDialog(dir / "big", {});
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(Last(), "0 files were added");
    EXPECT_TRUE(memoSays("Cannot write the new archive"));
    EXPECT_TRUE(ReadFile(archive) == original);
    EXPECT_EQ(FilesIn(dir.Path()), before);
    AddThroughDialog(dir / "big", {});
    EXPECT_EQ(Last(), "1 file was added");
    EXPECT_TRUE(SameBytes(dir / "big/noise.bin", noise));
}

}  // namespace

// A row shows at most 256 bytes of its member's name; Extract and Delete act
// on the member of the row, by its whole name, also where two long names
// begin alike.
TEST_F(Commands, ExtractAndDeleteOfALongNamedRowActOnItsMember)
{
    const std::string start = std::string(200, 'f') + "/" + std::string(80, 'n');  // 281 bytes in common
    const std::string first = start + "-first.txt", second = start + "-second.txt";
    const std::string archive =
        WriteArchive("long.zip", {Stored(first, "first"), Stored(second, "second"), Stored("short.txt", "short")});
    Start({archive});
    program->Msgform().ProcessInterval = 0;
    const std::string shown = first.substr(0, 256);
    ASSERT_EQ(Column(0), (Strings{shown, shown, "short.txt"}));

    Main().StringGrid1->SetRow(2);
    ExtractThroughDialog("out", true, true, false);
    EXPECT_EQ(Last(), "1 file was extracted");
    EXPECT_EQ(ReadFile(dir / ("out/" + second)), "second");
    EXPECT_FALSE(platform::FileExists(dir / ("out/" + first)));

    Main().StringGrid1->SetRow(1);
    dialogs.ConfirmAnswers = {true};
    Click(Main().DeleteBut);
    EXPECT_EQ(Last(), "1 file was deleted");
    ASSERT_EQ(Main().RezEdidiv1.EntryCount(), 2);
    EXPECT_EQ(Main().RezEdidiv1.Entries[0]->FullName(), second);
    EXPECT_EQ(fixture::PeerCheck(archive), "");
}

// As a user who may not write the archive (root takes an ordinary user's
// identity for it), Delete and Convert say so and change nothing.
TEST_F(Commands, AReadOnlyArchiveIsNeitherChangedNorConverted)
{
    fixture::OpenToEveryone(dir.Path());
    const std::string archive = WriteArchive("ro.zip", {Stored("a.txt", "a"), Stored("b.txt", "b")});
    ASSERT_EQ(::chmod(archive.c_str(), 0444), 0);
    const std::string original = ReadFile(archive);
    Start({archive});
    program->Msgform().ProcessInterval = 0;
    {
        fixture::OtherUser user;
        if (!user.Reason().empty())
            GTEST_SKIP() << user.Reason();
        Main().StringGrid1->SetRow(1);
        dialogs.ConfirmAnswers = {true};
        Click(Main().DeleteBut);
        WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) { d.ExecButClick(); });
        Click(Main().ConvertBut);
    }
    const auto said = [this](const std::string& part) {
        return std::any_of(ui.Messages.begin(), ui.Messages.end(),
                           [&](const std::string& m) { return m.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(said("0 files were deleted")) << testing::PrintToString(ui.Messages);
    EXPECT_TRUE(said("Cannot change " + archive + ": you may not write to it")) << testing::PrintToString(ui.Messages);
    EXPECT_TRUE(said("Error - the file is read-only, so it was left as it is: " + archive));
    EXPECT_EQ(Last(), "Error occured in making .EXE file");
    EXPECT_EQ(ReadFile(archive), original);
    EXPECT_EQ(FilesIn(dir.Path()), Strings{"ro.zip"});
    EXPECT_EQ(Column(0), (Strings{"a.txt", "b.txt"}));
}

namespace {

class Reports : public Commands {};

// A wrong password is not kept: the member it did not open is named, the
// question comes again until Cancel, and only a password that opened
// members stays for the archive's later commands.
TEST_F(Reports, AWrongPasswordIsAskedAgainAndNeverKept)
{
    dir.Write("src/a.txt", "first secret");
    dir.Write("src/b.txt", "second secret");
    const std::string archive = dir / "locked.zip";
    Start({archive});
    program->Msgform().ProcessInterval = 0;
    dialogs.PasswordAnswers = {"secret", "secret"};
    AddThroughDialog(dir / "src", {}, false, false, true);
    ASSERT_EQ(Last(), "2 files were added");

    const std::string first = "Password|Password for the encrypted files in locked.zip:";
    const std::string again =
        "Password|The password did not open a.txt. Another password for the encrypted files in locked.zip:";
    dialogs.PasswordPrompts.clear();
    dialogs.PasswordAnswers = {"wrong", "also wrong", "secret"};
    ExtractThroughDialog("out", false, true, true);
    EXPECT_EQ(dialogs.PasswordPrompts, (Strings{first, again, again}));
    EXPECT_EQ(Last(), "2 files were extracted");
    EXPECT_EQ(ReadFile(dir / "out/a.txt"), "first secret");
    EXPECT_EQ(ReadFile(dir / "out/b.txt"), "second secret");
    EXPECT_EQ(Main().RezEdidiv1.Password(), "secret");
    Click(Main().TestBut);
    EXPECT_EQ(Last(), "All 2 files tested OK");
    EXPECT_EQ(dialogs.PasswordPrompts.size(), 3u) << "the kept password is used";

    // Cancel stops asking; the wrong one is forgotten, so the next test asks.
    dialogs.FileAnswers = {archive};
    Click(Main().ZipOpenBut);
    dialogs.PasswordPrompts.clear();
    dialogs.PasswordAnswers = {"wrong"};
    Click(Main().TestBut);
    EXPECT_EQ(dialogs.PasswordPrompts, (Strings{first, again}));
    EXPECT_EQ(Last(), "ERROR: 2 files tested BAD, or skipped!");
    EXPECT_EQ(Main().RezEdidiv1.Password(), "");
    dialogs.PasswordAnswers = {"secret"};
    Click(Main().TestBut);
    EXPECT_EQ(Last(), "All 2 files tested OK");
    EXPECT_EQ(dialogs.PasswordPrompts.size(), 3u);
}

// Cancel in the messages window: the memo and the box say the operation was
// cancelled and what was kept, the file label and both bars start over, and
// the archive is byte for byte as it was.
TEST_F(Reports, ACancelledOperationSaysSoAndLeavesTheArchiveAsItWas)
{
    for (int i = 0; i < 3; ++i)
        dir.Write("src/big" + std::to_string(i) + ".bin", std::string(1 << 20, static_cast<char>('a' + i)));
    const std::string archive = WriteArchive("kept.zip", {Stored("small.txt", "small")});
    const std::string original = ReadFile(archive);
    Start({archive});
    app::TMsgform& messages = program->Msgform();
    messages.ProcessInterval = 0;
    const auto cancelOnThirdEvent = [&] {
        ui.ProcessMessagesCalls = 0;
        ui.OnProcessMessages = [&] {
            if (ui.ProcessMessagesCalls == 3)
                messages.CancelBut->click();
        };
    };
    const auto startedOver = [&] {
        return messages.FileBeingZipped->text().isEmpty() && messages.FileBar.Position == messages.FileBar.Min &&
               messages.AllFilesBar.Position == messages.AllFilesBar.Min;
    };

    cancelOnThirdEvent();
    AddThroughDialog(dir / "src", {});
    const std::string addSaid = "Cancelled: nothing was added; the archive was left as it was";
    EXPECT_EQ(Last(), addSaid);
    EXPECT_EQ(messages.Lines().back().toStdString(), addSaid);
    EXPECT_TRUE(startedOver());
    EXPECT_TRUE(ReadFile(archive) == original);

    ui.OnProcessMessages = nullptr;
    AddThroughDialog(dir / "src", {});
    ASSERT_EQ(Last(), "3 files were added");
    const std::string four = ReadFile(archive);
    cancelOnThirdEvent();
    ExtractThroughDialog("out", false, true, true);
    EXPECT_EQ(Last().rfind("Cancelled: ", 0), 0u) << Last();
    EXPECT_NE(Last().find(" before the stop"), std::string::npos) << Last();
    EXPECT_TRUE(startedOver());

    cancelOnThirdEvent();
    Main().StringGrid1->SetSelection({0, 1, 3, 4});
    dialogs.ConfirmAnswers = {true};
    Click(Main().DeleteBut);
    EXPECT_EQ(Last(), "Cancelled: nothing was deleted; the archive was left as it was");
    EXPECT_TRUE(ReadFile(archive) == four);
    EXPECT_EQ(Main().RezEdidiv1.EntryCount(), 4);
}

// The result box of an extract tells what the count alone hides: members
// left alone because their files exist, and members of one name from
// several folders that landed on one file.
TEST_F(Reports, ExtractCountsSkippedAndReplacedMembers)
{
    const std::string archive = WriteArchive(
        "same.zip", {Stored("one/x.txt", "1"), Stored("two/x.txt", "2"), Stored("three/x.txt", "3"), Stored("y", "y")});
    Start({archive});
    program->Msgform().ProcessInterval = 0;

    ExtractThroughDialog("flat", false, true, true);
    EXPECT_EQ(Last(), "4 files were extracted\n2 of them replaced a member of the same name: choose Expand ZIP Dirs "
                      "to keep folders");
    EXPECT_EQ(ReadFile(dir / "flat/x.txt"), "3");
    int named = 0;
    for (const QString& line : program->Msgform().Lines())
        named += line.contains("replaced") && line.contains("x.txt");
    EXPECT_EQ(named, 2) << "the memo names each";

    ExtractThroughDialog("flat", false, false, true);
    EXPECT_EQ(Last(), "0 files were extracted\n4 files were skipped: they already exist (choose OverWrite Existing "
                      "to replace them)");

    ExtractThroughDialog("tree", true, true, true);
    EXPECT_EQ(Last(), "4 files were extracted");
    Main().StringGrid1->SetRow(RowOf("y"));
    ExtractThroughDialog("tree", true, false, false);
    EXPECT_EQ(Last(), "0 files were extracted\n1 file was skipped: it already exists (choose OverWrite Existing to "
                      "replace it)");
}

}  // namespace
