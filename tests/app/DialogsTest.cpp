// The three command dialogs: the close box, Esc and Enter; the Add
// dialog's list (duplicates by the file system's rules, removing, sorting
// for good, selecting all files); places and sizes; state kept between uses;
// the places the drive picker offers.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "AppTestSupport.h"
#include "CommandTestSupport.h"
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
using fixture::Stored;
using Strings = std::vector<std::string>;

class Dialogs : public AppTest {
protected:
    Dialogs()
    {
        archive = WriteArchive("box.zip", {Stored("one.txt", "1"), Stored("two.txt", "2")});
        Start({archive});
        program->ShowMainWindow();
    }
    // Clicks a main-window button and lets its queued work run.
    void Click(QPushButton* button)
    {
        button->click();
        Flush();
    }
    app::TAddForm& Add() { return program->AddForm(); }

    std::string archive;
};

TEST_F(Dialogs, CloseBoxAndEscCancelEveryDialogAndEnterPressesOnlyTheDefaultButton)
{
    dir.Write("src/a.txt", "a");
    Add().OpenDirectory(dir / "src");
    auto fill = [this](app::TAddForm& d) {
        d.SelectAllButClick();
        d.AddFileButClick();
    };
    // Add: the close box after an entry was added, the close box with no
    // add button clicked since the dialog opened, and Esc: all cancel.
    WhenModal<app::TAddForm>([&](app::TAddForm& d) { fill(d); d.close(); });
    Click(Main().AddBut);
    WhenModal<app::TAddForm>([](app::TAddForm& d) { d.close(); });
    Click(Main().AddBut);
    WhenModal<app::TAddForm>([](app::TAddForm& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    Click(Main().AddBut);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_FALSE(program->Msgform().isVisible()) << "no add ran";
    EXPECT_EQ(Add().SelectedList->Entries(), Strings{dir / "src/a.txt"}) << "a cancelled list stays";

    // Extract: close box and Esc after an earlier "&Ok", with "&Ok" as Enter.
    WhenModal<app::TExtract>([&](app::TExtract& d) {
        d.OpenDirectory(dir / "src");
        QTest::keyClick(d.DirectoryListBox1, Qt::Key_Return);
    });
    Click(Main().ExtractBut);
    EXPECT_EQ(ui.Messages.back(), "2 files were extracted");
    ui.Messages.clear();
    WhenModal<app::TExtract>([](app::TExtract& d) { d.close(); });
    Click(Main().ExtractBut);
    WhenModal<app::TExtract>([](app::TExtract& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    Click(Main().ExtractBut);
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_TRUE(Main().Outcome.DialogCanceled);
    EXPECT_EQ(Main().Outcome.ExtractTargetDir, dir / "src") << "only \"&Cancel\" empties the folder";

    // Self-extractor: Enter in an edit is "Do It Now"; after it, the close
    // box still converts nothing.
    bool closed = false;
    WhenModal<app::TMakeSFX>([&](app::TMakeSFX& d) {
        QTest::keyClick(d.CaptionEdit, Qt::Key_Return);
        closed = !d.isVisible();
    });
    Main().Outcome.SfxConfirmed = false;
    dialogs.ConfirmAnswers = {false};
    dir.Write("box.exe", "not ours");
    Click(Main().ConvertBut);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(Main().Outcome.SfxConfirmed);
    WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) { d.close(); });
    Click(Main().ConvertBut);
    WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) { QTest::keyClick(&d, Qt::Key_Escape); });
    Click(Main().ConvertBut);
    EXPECT_FALSE(Main().Outcome.SfxConfirmed);
    EXPECT_EQ(dialogs.Questions.size(), 1u) << "only the \"Do It Now\" use got as far as the question";
    EXPECT_TRUE(platform::FileExists(archive));
    EXPECT_EQ(fixture::ReadFile(dir / "box.exe"), "not ours");
}

TEST_F(Dialogs, AddListKeepsOneEntryPerNameRemovesSortsForGoodAndSelectsAll)
{
    dir.Write("docs/b.txt", "b");
    dir.Write("docs/A.txt", "A");
    dir.Write("docs/a.txt", "a");
    dir.Write("docs/.hidden", "h");
    dir.Write("docs/sub/inner.txt", "i");
    app::TAddForm& d = Add();
    d.OpenDirectory(dir / "docs");
    // Regular files that are not hidden, sorted by name, all selectable.
    ASSERT_EQ(d.FileListBox1->count(), 3);
    EXPECT_EQ(d.FileListBox1->Name(0), "A.txt");
    EXPECT_EQ(d.FileListBox1->Name(1), "a.txt");
    d.SelectAllButClick();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(d.FileListBox1->Selected(i));
    d.AddFileButClick();
    EXPECT_FALSE(d.FileListBox1->Selected(0)) << "added files are deselected";
    d.FileListBox1->SetSelected(1, true);
    d.AddFileButClick();
    d.AddDirButClick();
    d.AddDirButClick();
    d.OpenDirectory("/");
    d.AddDirButClick();
    EXPECT_EQ(d.SelectedList->Entries(),
              (Strings{dir / "docs/A.txt", dir / "docs/a.txt", dir / "docs/b.txt", dir / "docs/*.*", "/*.*"}));
    EXPECT_EQ(app::TAddForm::AppendSlash(""), "");
    EXPECT_EQ(app::TAddForm::AppendSlash("/x/"), "/x/");

    // Entries 2 and 4 go; the rest keep their order.
    d.SelectedList->item(1)->setSelected(true);
    d.SelectedList->item(3)->setSelected(true);
    d.RemoveButClick();
    EXPECT_EQ(d.SelectedList->Entries(), (Strings{dir / "docs/A.txt", dir / "docs/b.txt", "/*.*"}));

    d.SortButClick();
    d.OpenDirectory(dir / "docs/sub");
    d.FileListBox1->SetSelected(0, true);
    d.AddFileButClick();
    EXPECT_EQ(d.SelectedList->Entries(),
              (Strings{"/*.*", dir / "docs/A.txt", dir / "docs/b.txt", dir / "docs/sub/inner.txt"}));
    // Still sorted, and "&Sort" still off, at the next use.
    WhenModal<app::TAddForm>([](app::TAddForm& f) { f.CancelButClick(); });
    Click(Main().AddBut);
    EXPECT_FALSE(d.SortBut->isEnabled());
    EXPECT_TRUE(d.SelectedList->Sorted());
}

TEST_F(Dialogs, PlacesSizesAndChoicesKeptBetweenUses)
{
    // Add covers the main window from its second showing on.
    Main().move(40, 30);
    QSize firstSize;
    WhenModal<app::TAddForm>([&](app::TAddForm& d) { firstSize = d.size(); });
    Click(Main().AddBut);
    Main().resize(700, 500);
    QRect second;
    WhenModal<app::TAddForm>([&](app::TAddForm& d) {
        second = d.geometry();
        d.EncryptCB->setChecked(true);
    });
    Click(Main().AddBut);
    EXPECT_EQ(firstSize, QSize(635, 440));
    EXPECT_EQ(second, Main().geometry());
    EXPECT_TRUE(Add().EncryptCB->isChecked());

    // Extract: first-use choices, then the user's.
    app::TExtract& e = program->Extract();
    EXPECT_EQ(e.size(), QSize(488, 418));
    EXPECT_EQ(e.RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(e.RadioGroup2->ItemIndex(), 1);
    EXPECT_EQ(e.RadioGroup3->ItemIndex(), 0);
    WhenModal<app::TExtract>([&](app::TExtract& d) {
        d.RadioGroup1->SetItemIndex(1);
        d.RadioGroup2->SetItemIndex(0);
        d.RadioGroup3->SetItemIndex(1);
        d.OpenDirectory(dir.Path());
        d.CancelButClick();
    });
    Click(Main().ExtractBut);
    EXPECT_EQ(Main().Outcome.ExtractTargetDir, "");
    WhenModal<app::TExtract>([](app::TExtract& d) { d.OKButClick(); });
    Click(Main().ExtractBut);
    EXPECT_EQ(Main().Outcome.ExtractTargetDir, dir.Path()) << "the tree keeps its folder";
    EXPECT_TRUE(Main().Outcome.ExtractWithDirs);
    EXPECT_FALSE(Main().Outcome.ExtractOverwrite);
    EXPECT_FALSE(Main().Outcome.ExtractAllFiles);

    // Self-extractor: first-use values go to the component as they stand.
    app::TMakeSFX& s = program->MakeSFX();
    EXPECT_EQ(s.size(), QSize(590, 407));
    WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) {
        d.HideOverWriteCB->setChecked(true);
        d.CommandEdit->setText("notepad|><readme.txt");
        d.CancelButClick();
    });
    Click(Main().ConvertBut);
    EXPECT_EQ(Main().RezEdidiv1.SFXCommandLine, "") << "Cancel copies nothing";
    dialogs.ConfirmAnswers = {};
    dir.Write("box.exe", "keep");  // answered No: the conversion stops there
    WhenModal<app::TMakeSFX>([](app::TMakeSFX& d) { d.ExecButClick(); });
    Click(Main().ConvertBut);
    const engine::TRezEdidiv& z = Main().RezEdidiv1;
    EXPECT_EQ(z.SFXCaption, "Self-extracting Archive");
    EXPECT_EQ(z.SFXDefaultDir, "./");
    EXPECT_EQ(z.SFXCommandLine, "notepad|><readme.txt");
    EXPECT_EQ(z.SFXOverWriteMode, engine::OvrOpts::OvrConfirm);
    EXPECT_TRUE(z.SFXOptions == engine::SFXOpts{}.Include(engine::SFXOptsEnum::SFXHideOverWriteBox));
}

TEST(FileWidgets, PickerOffersTheRootHomeAndUserVolumesOnly)
{
    const std::vector<app::MountedVolume> volumes = {
        {"/", "/dev/sda1", "ext4"},          {"/home", "/dev/sda3", "ext4"},
        {"/boot/efi", "/dev/sda2", "vfat"},  {"/proc", "proc", "proc"},
        {"/run/user/1000", "tmpfs", "tmpfs"}, {"/media/u/USB", "/dev/sdb1", "vfat"},
        {"/mnt/share", "//srv/share", "cifs"}, {"/srv/data", "srv:/data", "nfs4"},
        {"/etc/hosts", "/dev/sda1", "ext4"},
    };
    EXPECT_EQ(app::PickerRoots("/home/u", volumes),
              (Strings{"/", "/home/u", "/home", "/media/u/USB", "/mnt/share"}));
    EXPECT_EQ(app::RootOf({"/", "/home/u", "/home"}, "/home/u/docs"), "/home/u");
    EXPECT_EQ(app::RootOf({"/", "/home/u"}, "/home/user2"), "/");
    EXPECT_TRUE(app::NameLess("B", "b") && app::NameLess("a", "B") && !app::NameLess("b", "B"));
}

}  // namespace
