// The main window meeting the desktop: Find and the rows it leaves shown,
// the keys, the rows' menu, the Archive Properties box, the archives opened
// last, files and archives dropped on the window, members dragged out, and a
// member opened with the desktop's program and put back when it changes;
// through the real libraries where something is extracted or added.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "AppTestSupport.h"
#include "CommandTestSupport.h"
#include "app/Addunit.h"
#include "app/ArchiveFacts.h"
#include "app/DropPlan.h"
#include "app/MemberFilter.h"
#include "app/Program.h"
#include "app/PropertiesBox.h"
#include "app/RecentArchives.h"
#include "app/extrunit.h"
#include "app/mainunit.h"
#include "app/msgunit.h"
#include "platform/FileSystem.h"

namespace {

using apptest::AppTest;
using apptest::WhenModal;
using fixture::ReadFile;
using fixture::Stored;
using Strings = std::vector<std::string>;

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

QStringList Keys(const std::vector<QString>& shown)
{
    QStringList keys;
    for (const QString& s : shown)
        keys << app::TMemberFilter::Key(s);
    return keys;
}

TEST(MemberFilter, ContainsWithoutWildcardsMatchesWholeWithThemAndIgnoresCase)
{
    const QStringList names = Keys({"docs/Readme.TXT", "docs/notes.txt", "src/main.cpp", "Größe.txt", "a?b"});
    const struct {
        const char* text;
        QStringList kept;
    } cases[] = {
        {"", names},
        {"README", {names[0]}},
        {"docs/", {names[0], names[1]}},
        {".txt", {names[0], names[1], names[3]}},
        {"*.txt", {names[0], names[1], names[3]}},
        {"*.tx", {}},  // a wildcard text matches the whole name
        {"src/*", {names[2]}},
        {"*/n?tes.*", {names[1]}},
        {"GRÖSSE", {}},  // folded, not transliterated
        {"größe", {names[3]}},
        {"*", names},
        {"a?b", {names[4]}},
    };
    for (const auto& c : cases) {
        const app::TMemberFilter filter(QString::fromUtf8(c.text));
        QStringList kept;
        for (const QString& key : names)
            if (filter.Keeps(key))
                kept << key;
        EXPECT_EQ(kept, c.kept) << c.text;
    }
}

// Rows lent to the grid and given back: nothing lost, nothing copied out of
// order.
TEST(MemberFilter, RowsLentToTheGridComeBackToTheirPlaces)
{
    auto row = [](const char* name) { return grid::TGridRow{grid::TGridCell{name, nullptr}}; };
    auto names = [](const std::vector<grid::TGridRow>& rows) {
        Strings out;
        for (const auto& r : rows)
            out.push_back(r.empty() ? "" : r[0].Text);
        return out;
    };
    app::TFilteredListing listing;
    listing.Take({row("b.txt"), row("A.TXT"), row("c.bin"), row("d.txt")});
    auto lent = listing.Lend(app::TMemberFilter(QStringLiteral("*.txt")));
    EXPECT_EQ(names(lent), (Strings{"b.txt", "A.TXT", "d.txt"}));
    EXPECT_EQ(listing.Lent(), 3u);
    listing.GiveBack(std::move(lent));
    EXPECT_EQ(names(listing.Lend(app::TMemberFilter(QStringLiteral("zzz")))), Strings{});
    listing.GiveBack({row("")});  // the grid's empty row
    lent = listing.Lend(app::TMemberFilter(QStringLiteral("t")));
    std::swap(lent[0], lent[2]);  // the grid sorted them
    listing.GiveBack(std::move(lent), true);
    auto all = listing.TakeRows();
    EXPECT_EQ(names(all), (Strings{"c.bin", "d.txt", "A.TXT", "b.txt"}));
    EXPECT_FALSE(listing.Taken());
    // The keys stay with the rows for their next taking, and only for as
    // many rows.
    listing.Take(std::move(all));
    EXPECT_EQ(names(listing.Lend(app::TMemberFilter(QStringLiteral("b")))), (Strings{"c.bin", "b.txt"}));
    listing.GiveBack({row("c.bin"), row("b.txt")});
    all = listing.TakeRows();
    all.pop_back();
    listing.Take(std::move(all));
    EXPECT_EQ(names(listing.Lend(app::TMemberFilter(QStringLiteral("a")))), (Strings{"A.TXT"}));
    listing.Clear();

    // Names beyond ASCII are found as they are shown: UTF-8, or code page
    // 437 (0x81 is u with diaeresis there).
    listing.Take({row("Gr\xc3\xbc\xc3\x9f" "e.txt"), row("\x81" "ber.txt"), row("plain")});
    EXPECT_EQ(names(listing.Lend(app::TMemberFilter(QString::fromUtf8("\xc3\x9c")))),
              (Strings{"Gr\xc3\xbc\xc3\x9f" "e.txt", "\x81" "ber.txt"}));
}

class Desktop : public AppTest {
protected:
    Desktop() : startFolder_(platform::GetCurrentDir()) {}
    ~Desktop() override
    {
        program.reset();
        platform::SetCurrentDir(startFolder_);
    }
    // An archive of five members, opened, the window shown and active.
    void OpenFive()
    {
        archive = WriteArchive("five.zip", {Stored("docs/b.txt", "bb"), Stored("docs/a.txt", "a"),
                                            Stored("src/main.cpp", "int main() {}"), Stored("notes.txt", "notes"),
                                            Stored("README", "read me")});
        Start({archive});
        Show();
    }
    void Show()
    {
        program->ShowMainWindow();
        QApplication::setActiveWindow(&Main());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Main(), 2000));
    }
    // A key pressed in the main window (made active again: the messages
    // window of the last operation may be in front), in the grid unless
    // said otherwise.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QWidget* to = nullptr)
    {
        QApplication::setActiveWindow(&Main());
        QWidget* widget = to ? to : Main().StringGrid1;
        widget->setFocus();
        QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
        Flush();
    }
    void Find(const QString& text)
    {
        Key(Qt::Key_F, Qt::ControlModifier);
        Main().FindEdit->setText(text);
    }
    std::string Count() { return Main().FilesLabel->text().toStdString(); }
    // The members of the archive on disk, in file order.
    Strings Members()
    {
        app::TMainform& m = Main();
        m.RezEdidiv1.SetZipFilename(m.RezEdidiv1.ZipFilename());
        Strings names;
        for (const auto& e : m.RezEdidiv1.Entries)
            names.push_back(e->FileName);
        return names;
    }

    std::string archive;

private:
    std::string startFolder_;
};

TEST_F(Desktop, FindShowsThePartItFindsAndCommandsTakeOnlyShownRows)
{
    OpenFive();
    EXPECT_FALSE(Main().FindShown());
    Find("docs/");
    EXPECT_TRUE(Main().FindShown());
    EXPECT_TRUE(Main().FindEdit->hasFocus());
    EXPECT_EQ(Column(0), (Strings{"docs/a.txt", "docs/b.txt"}));
    EXPECT_EQ(Count(), "2 of 5");
    Main().FindEdit->setText("nothing like it");
    EXPECT_EQ(Column(0), Strings{""});
    EXPECT_EQ(Count(), "0 of 5");
    Main().FindEdit->setText("*.txt");
    EXPECT_EQ(Column(0), (Strings{"docs/a.txt", "docs/b.txt", "notes.txt"}));
    Key(Qt::Key_Return, Qt::NoModifier, Main().FindEdit);
    EXPECT_TRUE(Main().StringGrid1->hasFocus()) << "Enter goes from the text to the rows";
    EXPECT_TRUE(dialogs.Opened.empty());

    // A sort of the part shown carries over to the whole.
    Key(Qt::Key_1, Qt::ControlModifier);  // File Name, now descending
    EXPECT_EQ(Column(0), (Strings{"notes.txt", "docs/b.txt", "docs/a.txt"}));
    Main().FindEdit->setText("*");
    EXPECT_EQ(Column(0), (Strings{"src/main.cpp", "README", "notes.txt", "docs/b.txt", "docs/a.txt"}));
    EXPECT_EQ(Count(), "5 of 5");
    Main().FindEdit->setText("");
    EXPECT_EQ(Column(0), (Strings{"src/main.cpp", "README", "notes.txt", "docs/b.txt", "docs/a.txt"}));
    EXPECT_EQ(Count(), "5");

    // Select all the shown rows and delete: the hidden ones stay.
    Main().FindEdit->setText("docs");
    Main().StringGrid1->setFocus();
    Key(Qt::Key_A, Qt::ControlModifier);
    dialogs.ConfirmAnswers = {true};
    Key(Qt::Key_Delete);
    ASSERT_EQ(ui.Messages, Strings{"2 files were deleted"});
    EXPECT_EQ(Members(), (Strings{"src/main.cpp", "notes.txt", "README"}));
    // Find goes on over the new listing.
    EXPECT_EQ(Column(0), Strings{""});
    EXPECT_EQ(Count(), "0 of 3");

    // Esc clears and hides it.
    Key(Qt::Key_Escape);
    EXPECT_FALSE(Main().FindShown());
    EXPECT_EQ(Count(), "3");
    EXPECT_EQ(Column(0).size(), 3u);

    // A sort of every row while Find is open moves the names it finds.
    Key(Qt::Key_F, Qt::ControlModifier);
    Main().StringGrid1->setFocus();
    Key(Qt::Key_1, Qt::ControlModifier);  // File Name, ascending again
    EXPECT_EQ(Column(0), (Strings{"notes.txt", "README", "src/main.cpp"}));
    Main().FindEdit->setText("main");
    EXPECT_EQ(Column(0), Strings{"src/main.cpp"});
    EXPECT_EQ(Count(), "1 of 3");
}

TEST_F(Desktop, KeysRunTheirCommandsAndWaitWhileOneRuns)
{
    OpenFive();
    // Ctrl+O and Ctrl+N ask for a file; Ctrl+E opens Select Extract Directory.
    Key(Qt::Key_O, Qt::ControlModifier);
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(dialogs.FileRequests.size(), 2u);
    EXPECT_EQ(dialogs.FileRequests[0].Title, "Open Existing ZIP File");
    EXPECT_EQ(dialogs.FileRequests[1].Title, "Create New ZIP File");
    auto extract = WhenModal<app::TExtract>([](app::TExtract&) {});
    Key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(*extract);

    // Ctrl+1 .. Ctrl+4 sort, each press the other way, as a heading click.
    Key(Qt::Key_3, Qt::ControlModifier);  // Uncmpr Size: descending first
    EXPECT_EQ(Main().SortColumn, 2);
    EXPECT_EQ(Column(0).front(), "src/main.cpp");
    Key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(Column(0).front(), "docs/a.txt");
    Key(Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(Main().SortColumn, 0);
    EXPECT_EQ(Column(0).front(), "src/main.cpp");

    // F5 lists the file again.
    fixture::ZipBuilder builder;
    builder.Add(Stored("only.txt", "1"));
    dir.Write("five.zip", builder.Finish().Bytes());
    Key(Qt::Key_F5);
    EXPECT_EQ(Column(0), Strings{"only.txt"});

    // Ctrl+A and Ctrl+C: every shown name on the clipboard.
    OpenFive();
    Key(Qt::Key_A, Qt::ControlModifier);
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "docs/a.txt\ndocs/b.txt\nnotes.txt\nREADME\nsrc/main.cpp");

    // While an operation runs, no key starts another.
    bool duringRun = false;
    Main().RunOperation([&] {
        Key(Qt::Key_Delete);
        Key(Qt::Key_O, Qt::ControlModifier);
        Key(Qt::Key_F5);
        Key(Qt::Key_Return);
        duringRun = Main().DeleteAction->isEnabled() || Main().PropertiesAction->isEnabled();
    });
    EXPECT_FALSE(duringRun);
    EXPECT_TRUE(dialogs.Questions.empty());
    EXPECT_EQ(dialogs.FileRequests.size(), 2u);
    EXPECT_TRUE(dialogs.Opened.empty());
    EXPECT_TRUE(Main().DeleteAction->isEnabled());

    // Accelerators of Destroy Zip and About.
    EXPECT_EQ(Main().DeleteZipBut->text(), "Dest&roy Zip");
    EXPECT_EQ(Main().AboutFernpack->text(), "A&bout");
}

TEST_F(Desktop, TheRowsMenuOffersTheCommandsOfTheRowsSelected)
{
    OpenFive();
    app::TMainform& m = Main();
    // A right click outside the selection selects that row first.
    m.StringGrid1->MoveToCell(0, 1);
    const QPoint third = apptest::CellCentre(m, 0, 3);
    QTimer::singleShot(0, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))
            menu->close();
    });
    m.ShowRowMenu(third);
    EXPECT_EQ(m.StringGrid1->Row(), 3);

    std::unique_ptr<QMenu> menu(m.MakeRowMenu());
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            items << a->text() + (a->isEnabled() ? "" : " (off)");
    EXPECT_EQ(items, (QStringList{"&Open", "&Extract\u2026", "&Delete\u2026", "&Test", "&Copy Name", "P&roperties"}));
    m.StringGrid1->SetSelection({0, 1, 3, 2});
    menu.reset(m.MakeRowMenu());
    EXPECT_EQ(m.CopyNamesAction->text(), "&Copy Names");
    m.CopyNamesAction->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "docs/a.txt\ndocs/b.txt");
    m.TestAction->trigger();
    EXPECT_EQ(ui.Messages, Strings{"All 5 files tested OK"});

    // A folder member is not opened: Open is off.
    menu.reset();
    const std::string withFolder = WriteArchive("folder.zip", {Stored("dir/", ""), Stored("dir/x", "x")});
    Start({withFolder});
    Show();
    Main().StringGrid1->MoveToCell(0, 1);
    menu.reset(Main().MakeRowMenu());
    EXPECT_FALSE(Main().OpenMemberAction->isEnabled());
    Main().OpenMember();
    EXPECT_TRUE(dialogs.Opened.empty());
    EXPECT_FALSE(Main().MessagesWindow()->isVisible()) << "nothing was extracted for it";
}

TEST_F(Desktop, PropertiesTellSizesEncryptionStubAndComment)
{
    fixture::ZipBuilder builder;
    builder.Raw(std::string(1000, 'S'));
    fixture::Member secret = Stored("secret.bin", std::string(40, 'x'));
    secret.Flags = 1;
    secret.PlainSize = 100;
    fixture::Member aes = Stored("aes.bin", std::string(30, 'y'));
    aes.Flags = 1;
    aes.Method = 99;
    aes.PlainSize = 50;
    builder.Add(secret).Add(aes).Add(Stored("plain.txt", std::string(30, 'z')));
    const std::string path = dir.Write("stubbed.exe", builder.Finish("Kept for\nthe archive").Bytes());
    Start({path});
    const app::TArchiveFacts facts = app::ArchiveFactsOf(Main().RezEdidiv1);
    using Line = std::pair<std::string, std::string>;
    EXPECT_EQ(app::FactLines(facts), (std::vector<Line>{
                                         {"Archive:", path},
                                         {"Size on disk:", std::to_string(platform::FileSize(path)) + " bytes"},
                                         {"Members:", "3"},
                                         {"Packed:", "100 bytes"},
                                         {"Unpacked:", "180 bytes"},
                                         {"Ratio:", "56%"},
                                         {"Encrypted:", "2 of 3, with ZipCrypto and AES"},
                                         {"Self-extractor stub:", "1000 bytes"},
                                     }));
    EXPECT_EQ(facts.Comment, "Kept for\nthe archive");

    // Alt+Return shows them, the comment read only.
    Show();
    auto shown = WhenModal<app::TPropertiesBox>([](app::TPropertiesBox& box) {
        EXPECT_EQ(box.Values[2]->text(), "3");
        EXPECT_EQ(box.CommentEdit->toPlainText(), "Kept for\nthe archive");
        EXPECT_TRUE(box.CommentEdit->isReadOnly());
    });
    Key(Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(*shown);
    EXPECT_TRUE(dialogs.Opened.empty()) << "Alt+Return is not Enter";

    // A plain archive without encryption or comment; none open at all.
    const std::string plain = WriteArchive("plain.zip", {Stored("a", "")});
    Main().RezEdidiv1.SetZipFilename(plain);
    const auto lines = app::FactLines(app::ArchiveFactsOf(Main().RezEdidiv1));
    EXPECT_EQ(lines[6].second, "None");
    EXPECT_EQ(lines[7].second, "None");
    EXPECT_EQ(app::ArchiveFactsOf(Main().RezEdidiv1).Comment, "");
    Main().OpenArchive("");
    Main().PropertiesClick();
    EXPECT_EQ(ui.Messages, Strings{"Error - open a zip file first"});
}

TEST(RecentArchives, TheLastTenNewestFirstEachOnce)
{
    QTemporaryDir folder;
    auto settings = [&] {
        return std::make_unique<QSettings>(folder.filePath("recent.ini"), QSettings::IniFormat);
    };
    app::TRecentArchives recent(settings());
    EXPECT_TRUE(recent.Paths().empty());
    EXPECT_EQ(recent.LastFolder(), "");
    for (int i = 1; i <= 12; ++i)
        recent.Remember("/data/a" + std::to_string(i) + ".zip");
    recent.Remember("/data/a5.zip");
    recent.Remember("/other/b\xff.zip");  // bytes that are no UTF-8
    const Strings expected{"/other/b\xff.zip", "/data/a5.zip", "/data/a12.zip", "/data/a11.zip", "/data/a10.zip",
                           "/data/a9.zip",     "/data/a8.zip", "/data/a7.zip",  "/data/a6.zip",  "/data/a4.zip"};
    EXPECT_EQ(recent.Paths(), expected);
    EXPECT_EQ(recent.LastFolder(), "/other");
    // Kept between runs, and nothing but the paths.
    app::TRecentArchives later(settings());
    EXPECT_EQ(later.Paths(), expected);
    EXPECT_EQ(QSettings(folder.filePath("recent.ini"), QSettings::IniFormat).allKeys(),
              QStringList{"recent/archives"});
}

TEST_F(Desktop, OpenZipStartsWhereTheLastArchiveWasAndOffersTheLastOnes)
{
    const std::string one = WriteArchive("one.zip", {Stored("x", "1")});
    const std::string gone = WriteArchive("gone.zip", {Stored("y", "2")});
    Start({gone});
    Main().OpenZipNamed(one);
    std::filesystem::remove(gone);
    Start();
    dialogs.FileAnswers = {std::nullopt};
    Main().ZipOpenBut->click();
    ASSERT_EQ(dialogs.FileRequests.size(), 1u);
    EXPECT_EQ(dialogs.FileRequests[0].Folder, dir.Path());
    ASSERT_FALSE(dialogs.FileRequests[0].Recent.empty());
    EXPECT_EQ(dialogs.FileRequests[0].Recent.front(), one);
    for (const std::string& path : dialogs.FileRequests[0].Recent)
        EXPECT_NE(path, gone) << "an archive that is gone is not offered";
}

// A drop of `paths` on the main window, as a file manager makes it. What
// the drop starts runs once events are processed (Flush), so a test can
// first say what to do in the dialogs it opens.
void Drop(QWidget& window, const std::vector<std::string>& paths, bool* accepted = nullptr)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data.setUrls(urls);
    const QPoint at(window.width() / 2, window.height() - 20);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    if (accepted)
        *accepted = enter.isAccepted();
    if (!enter.isAccepted())
        return;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

TEST_F(Desktop, DroppedFilesGoToAddFilesAndADroppedArchiveIsOpenedOrAdded)
{
    dir.Write("in/a.txt", "a");
    dir.Write("in/sub/b.txt", "b");
    const std::string other = WriteArchive("other.zip", {Stored("o", "o")});
    Start();
    Show();

    // Files with no archive open: New Zip first, in the files' folder; then
    // Add Files with them on its list.
    dialogs.FileAnswers = {dir / "made"};
    Strings listed;
    Drop(Main(), {dir / "in/a.txt", dir / "in/sub"});
    WhenModal<app::TAddForm>([&](app::TAddForm& d) {
        listed = d.SelectedList->Entries();
        d.OKButClick();
    });
    Flush();
    ASSERT_EQ(dialogs.FileRequests.size(), 1u);
    EXPECT_EQ(dialogs.FileRequests[0].Title, "Create New ZIP File");
    EXPECT_EQ(dialogs.FileRequests[0].Folder, dir / "in");
    EXPECT_EQ(listed, (Strings{dir / "in/a.txt", dir / "in/sub/*.*"}));
    EXPECT_EQ(ui.Messages, Strings{"2 files were added"});
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), dir / "made.zip");

    // An archive alone, another one open: open it, add it, or nothing.
    dialogs.ChoiceAnswers = {-1, 1, 0};
    Drop(Main(), {other});
    Flush();
    ASSERT_EQ(dialogs.Choices.size(), 1u);
    EXPECT_EQ(dialogs.Choices[0], "Open other.zip, or add it to made.zip?|&Open|&Add|Cancel");
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), dir / "made.zip");
    Drop(Main(), {other});
    WhenModal<app::TAddForm>([&](app::TAddForm& d) {
        listed = d.SelectedList->Entries();
        d.CancelButClick();
    });
    Flush();
    EXPECT_EQ(listed, Strings{other});
    Drop(Main(), {other});
    Flush();
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), other);
    EXPECT_EQ(Column(0), Strings{"o"});

    // With none open an archive is opened without a question.
    Main().OpenArchive("");
    Drop(Main(), {dir / "made.zip"});
    Flush();
    EXPECT_EQ(dialogs.Choices.size(), 3u);
    EXPECT_EQ(Main().RezEdidiv1.ZipFilename(), dir / "made.zip");

    // Not taken: our own rows, nothing local, anything while busy.
    QMimeData own;
    own.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
    EXPECT_FALSE(Main().AcceptsDrop(&own, Main().StringGrid1->viewport()));
    QMimeData remote;
    remote.setUrls({QUrl("https://example.invalid/x.zip")});
    EXPECT_FALSE(Main().AcceptsDrop(&remote, nullptr));
    bool accepted = true;
    Main().RunOperation([&] { Drop(Main(), {other}, &accepted); });
    EXPECT_FALSE(accepted);
}

TEST(CommandLine, AddTakesTheFilesToAddElseTheFirstArgumentIsTheArchive)
{
    const app::StartOptions add = app::ParseCommandLine({"--add", "a.txt", "folder"});
    EXPECT_EQ(add.AddPaths, (Strings{"a.txt", "folder"}));
    EXPECT_TRUE(add.Arguments.empty());
    const app::StartOptions open = app::ParseCommandLine({"x.zip", "--add"});
    EXPECT_EQ(open.Arguments, (Strings{"x.zip", "--add"}));
    EXPECT_TRUE(open.AddPaths.empty());
    EXPECT_TRUE(app::IsArchiveName("/a/B.ZIP") && app::IsArchiveName("setup.exe"));
    EXPECT_FALSE(app::IsArchiveName("/a.zip/b") || app::IsArchiveName("notes.txt"));
}

TEST_F(Desktop, DraggedRowsAreExtractedOnlyWhenTheTargetAsksForThem)
{
    OpenFive();
    app::TMainform& m = Main();
    m.StringGrid1->SetSelection({0, 1, 3, 3});  // docs/a.txt, docs/b.txt, notes.txt
    std::unique_ptr<QMimeData> data(m.MakeMemberDrag());
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->formats(), QStringList{"text/uri-list"});
    EXPECT_TRUE(data->hasUrls());
    EXPECT_EQ(m.Opened().PrivateFolder(), "") << "nothing written before the drop";
    const QList<QUrl> urls = data->urls();
    ASSERT_EQ(urls.size(), 2);
    const std::string docs = urls[0].toLocalFile().toStdString();
    EXPECT_EQ(ReadFile(docs + "/a.txt"), "a");
    EXPECT_EQ(ReadFile(docs + "/b.txt"), "bb");
    EXPECT_EQ(ReadFile(urls[1].toLocalFile().toStdString()), "notes");
    EXPECT_TRUE(m.MessagesWindow()->isVisible()) << "the extract reports as Extract does";
    EXPECT_TRUE(ui.Messages.empty()) << "a drop that worked says nothing more";
    // Asked again, the same files: extracted once.
    EXPECT_EQ(data->urls(), urls);
    EXPECT_FALSE(std::filesystem::exists(m.Opened().PrivateFolder() + "/2"));

    // The password first, as Extract asks it; no drag without it.
    const std::string locked = WriteArchive("locked.zip", {[] {
                                                fixture::Member m = Stored("s", "x");
                                                m.Flags = 1;
                                                return m;
                                            }()});
    Start({locked});
    EXPECT_EQ(Main().MakeMemberDrag(), nullptr);
    EXPECT_EQ(dialogs.PasswordPrompts.size(), 1u);
    bool none = false;
    Main().RunOperation([&] { none = Main().MakeMemberDrag() == nullptr; });
    EXPECT_TRUE(none) << "nothing starts while an operation runs";
}

TEST_F(Desktop, AnOpenedMemberIsPutBackWhenItChangesAndGoesWithTheArchive)
{
    OpenFive();
    app::TMainform& m = Main();
    m.Opened().SettleMs = 10;
    m.StringGrid1->MoveToCell(0, 3);  // notes.txt
    Key(Qt::Key_Return);
    ASSERT_EQ(dialogs.Opened.size(), 1u);
    const std::string opened = dialogs.Opened[0];
    EXPECT_EQ(ReadFile(opened), "notes");
    const std::string folder = m.Opened().PrivateFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(opened.rfind(folder + "/", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(ui.Messages.empty());

    // A change asks; No keeps the archive as it is, and the same change is
    // not asked about again.
    dialogs.ConfirmAnswers = {false};
    WriteFile(opened, "notes, changed");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.Questions.empty(); }, 10000));
    EXPECT_EQ(dialogs.Questions.back(), "notes.txt was changed. Update it in five.zip?");
    QTest::qWait(50);
    EXPECT_EQ(dialogs.Questions.size(), 1u);

    // Saved anew (a new file in its place): Yes adds it back through the add.
    dialogs.ConfirmAnswers = {true};
    WriteFile(opened + ".new", "notes, saved");
    std::filesystem::rename(opened + ".new", opened);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.Questions.size() == 2; }, 10000));
    EXPECT_EQ(ui.Messages, Strings{"1 file was added"});
    EXPECT_EQ(Members().size(), 5u) << "replaced, not added beside";
    EXPECT_TRUE(m.MessagesWindow()->Lines().contains(QString::fromStdString("Beginning Add to " + archive)));
    const std::string out = dir / "out";
    std::filesystem::create_directory(out);
    m.RezEdidiv1.SetFSpecArgs({"notes.txt"});
    m.RezEdidiv1.ExtrBaseDir = out;
    m.RezEdidiv1.ExtractFiles();
    EXPECT_EQ(ReadFile(out + "/notes.txt"), "notes, saved");

    // A member in a folder goes back under its folder's name.
    ui.Messages.clear();
    Main().OpenArchive(archive);
    m.StringGrid1->MoveToCell(0, 2);  // docs/b.txt
    Key(Qt::Key_Return);
    ASSERT_EQ(dialogs.Opened.size(), 2u);
    EXPECT_EQ(dialogs.Opened[1], m.Opened().PrivateFolder() + "/2/docs/b.txt");
    dialogs.ConfirmAnswers = {true};
    WriteFile(dialogs.Opened[1], "bbb");
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.Questions.size() == 3; }, 10000));
    EXPECT_EQ(dialogs.Questions.back(), "docs/b.txt was changed. Update it in five.zip?");
    EXPECT_EQ(Members().size(), 5u);

    // Another archive: the folder goes, and nothing is asked any more.
    const std::string folderNow = m.Opened().PrivateFolder();
    Main().OpenArchive("");
    EXPECT_FALSE(std::filesystem::exists(folderNow));
    EXPECT_TRUE(m.Opened().Members().empty());
}

TEST_F(Desktop, AChangeWhileAnOperationRunsIsAskedAboutOnceItEnds)
{
    OpenFive();
    app::TMainform& m = Main();
    m.Opened().SettleMs = 10;
    m.Opened().RetryMs = 20;
    m.StringGrid1->MoveToCell(0, 4);  // README
    m.OpenMember();
    ASSERT_EQ(dialogs.Opened.size(), 1u);
    m.RunOperation([&] {
        WriteFile(dialogs.Opened[0], "read me later");
        QTest::qWait(200);
        EXPECT_TRUE(dialogs.Questions.empty());
    });
    dialogs.ConfirmAnswers = {false};
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.Questions.empty(); }, 10000));

    // A program that cannot be started is said so.
    dialogs.OpenResult = false;
    m.OpenMember();
    EXPECT_EQ(ui.Messages, Strings{"Error - could not open: README"});
}

TEST(DropPlan, FilesAsTheyAreFoldersWithAllTheirFiles)
{
    fixture::TempDir dir;
    dir.Write("f.txt", "f");
    dir.Write("d/x", "x");
    dir.Write("one.zip", "PK");
    EXPECT_EQ(app::AddListEntries({dir / "f.txt", dir / "d", dir / "gone", dir / "d/"}),
              (Strings{dir / "f.txt", dir / "d/*.*", dir / "d/*.*"}));
    EXPECT_TRUE(app::IsArchiveDrop({dir / "one.zip"}));
    EXPECT_FALSE(app::IsArchiveDrop({dir / "one.zip", dir / "f.txt"}));
    EXPECT_FALSE(app::IsArchiveDrop({dir / "missing.zip"}));
    EXPECT_EQ(app::FolderOf("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(app::FolderOf("/c.txt"), "/");
}

}  // namespace
