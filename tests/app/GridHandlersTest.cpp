// The grid handlers, reached through the event loop: header clicks flip the
// direction and move the glyph, every listing re-applies the sort, failures
// reach the top-level error box after the event (once, also from a paint),
// and hostile member names stay bytes in the cells and harmless on screen.
#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include "AppTestSupport.h"
#include "app/NameText.h"
#include "app/mainunit.h"
#include "zipformat/Flags.h"

namespace {

using apptest::AppTest;
using apptest::CellCentre;
using apptest::PostClick;
using fixture::Stored;
using Strings = std::vector<std::string>;

class GridHandlers : public AppTest {
protected:
    void StartWith(const std::vector<fixture::Member>& members)
    {
        Start({WriteArchive("grid.zip", members)});
        canvas = &ShowWithRecordingCanvas();
    }
    void ClickHeading(int col, Qt::MouseButton button = Qt::LeftButton)
    {
        PostClick(Main().StringGrid1->viewport(), CellCentre(Main(), col, 0), button);
    }
    // Paints the grid through the event loop and returns the last glyph drawn.
    apptest::DrawnPicture PaintedGlyph()
    {
        canvas->Pictures.clear();
        Main().StringGrid1->viewport()->update();
        Flush();
        EXPECT_EQ(canvas->Pictures.size(), 1u);
        return canvas->Pictures.empty() ? apptest::DrawnPicture{} : canvas->Pictures.back();
    }

    apptest::RecordingCanvas* canvas = nullptr;
};

fixture::Member Sized(const std::string& name, std::size_t size)
{
    return Stored(name, std::string(size, 'x'));
}

TEST_F(GridHandlers, EveryHeaderClickFlipsTheDirectionAndMovesTheGlyph)
{
    StartWith({Sized("b", 30), Sized("a", 200), Sized("c", 5)});
    // The first click after start sorts descending, whichever button.
    ClickHeading(1, Qt::RightButton);
    EXPECT_EQ(Main().SortColumn, 1);
    EXPECT_EQ(Main().SortOptions.SortDirection, grid::sdDescending);
    EXPECT_EQ(Column(1), (Strings{"200", "30", "5"}));
    apptest::DrawnPicture glyph = PaintedGlyph();
    EXPECT_EQ(glyph.X, Main().StringGrid1->CellRect(1, 0).Right - 18);
    EXPECT_EQ(glyph.Key, Main().ImageList1.Image(1).cacheKey());

    ClickHeading(0);
    EXPECT_EQ(Main().SortOptions.SortDirection, grid::sdAscending);
    EXPECT_EQ(Column(0), (Strings{"a", "b", "c"}));
    glyph = PaintedGlyph();
    EXPECT_EQ(glyph.X, Main().StringGrid1->CellRect(0, 0).Right - 18);
    EXPECT_EQ(glyph.Key, Main().ImageList1.Image(0).cacheKey());
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(GridHandlers, DatesThatAreNoDatesShowAsZerosAndSortFirstInTimeOrder)
{
    fixture::Member none = Sized("none", 1), later = Sized("later", 2), earlier = Sized("earlier", 3);
    none.DateTime = 0;
    later.DateTime = fixture::DosDateTime(2024, 1, 2, 3, 4, 6);
    earlier.DateTime = fixture::DosDateTime(2019, 12, 30, 0, 0, 0);
    StartWith({later, none, earlier});
    ClickHeading(3);  // descending
    EXPECT_EQ(Column(0), (Strings{"later", "earlier", "none"}));
    EXPECT_EQ(Main().StringGrid1->Cells(3, 3), "0000-00-00 00:00:00");
    ClickHeading(3);  // in time order, not in the order of the texts
    EXPECT_EQ(Column(0), (Strings{"none", "earlier", "later"}));
    EXPECT_TRUE(dialogs.Errors.empty());
}

TEST_F(GridHandlers, EveryListingReappliesTheRememberedSort)
{
    StartWith({Sized("b", 30), Sized("a", 200)});
    ClickHeading(2);
    const std::string other = WriteArchive("other.zip", {Sized("y", 7), Sized("x", 70), Sized("z", 700)});
    dialogs.FileAnswers = {other};
    Main().ZipOpenBut->click();
    EXPECT_EQ(Column(0), (Strings{"z", "x", "y"}));
    EXPECT_EQ(Main().FilesLabel->text(), "3");
}

// Failures that leave the grid's own event handling and unwind through Qt's
// frames on their way to the error net (registered apart, see CMakeLists).
class GridHandlersThroughQt : public GridHandlers {};

TEST_F(GridHandlersThroughQt, AFailedHeaderClickSortReachesTheErrorBoxAfterTheEvent)
{
    StartWith({Sized("b", 1), Sized("a", 2)});
    int failures = 1;
    Main().StringGrid1->OnBeginSort = [&](grid::TSortGrid*, int, grid::TSortOptions&) {
        if (failures-- > 0)
            throw std::runtime_error("Sort failed");
    };
    ClickHeading(0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    Flush();
    EXPECT_EQ(dialogs.Errors, Strings{"Sort failed."});
    // The program goes on: the next click sorts.
    ClickHeading(0);
    EXPECT_EQ(Column(0), (Strings{"a", "b"}));
    EXPECT_EQ(dialogs.Errors.size(), 1u);
}

TEST_F(GridHandlers, AFailingPaintShowsOneBoxAfterThePaintAndDropsItsRepeats)
{
    StartWith({Sized("a", 1), Sized("b", 2)});
    canvas->FailOnDraw = true;
    Main().StringGrid1->viewport()->repaint();
    Main().StringGrid1->viewport()->repaint();
    EXPECT_TRUE(dialogs.Errors.empty()) << "never from inside the paint";
    // The box's own event loop repaints the failing grid again and again.
    dialogs.WhileErrorBoxOpen = [this] {
        Main().StringGrid1->viewport()->repaint();
        Main().StringGrid1->viewport()->update();
        Flush();
    };
    Flush();
    EXPECT_EQ(dialogs.Errors, Strings{"picture lost."});
}

TEST_F(GridHandlers, HostileNamesStayBytesInCellsAndHarmlessOnScreen)
{
    const std::string markup = "<b>bold</b>\x1b[2J\xE2\x80\xAE" "exe.txt";  // ESC, RIGHT-TO-LEFT OVERRIDE
    fixture::Member flagged = Stored(markup, "1");
    flagged.Flags = fernpack::zip::FlagUtf8Name;
    const std::string dos = "caf\x82\x81.txt";  // not UTF-8: code page 437
    StartWith({flagged, Stored(dos, "22")});
    EXPECT_EQ(Column(0), (Strings{markup, dos}));
    canvas->Texts.clear();
    Main().StringGrid1->viewport()->update();
    Flush();
    const std::string shownMarkup = "<b>bold</b>\\x1b[2J\\u202e" "exe.txt";
    const std::string shownDos = "caf\xC3\xA9\xC3\xBC.txt";
    EXPECT_NE(std::find(canvas->Texts.begin(), canvas->Texts.end(), shownMarkup), canvas->Texts.end());
    EXPECT_NE(std::find(canvas->Texts.begin(), canvas->Texts.end(), shownDos), canvas->Texts.end());
    EXPECT_EQ(std::find(canvas->Texts.begin(), canvas->Texts.end(), markup), canvas->Texts.end());

    // The archive's own path: shown as plain text, its hint escaped.
    const std::string path = "/tmp/<i>x</i>\xE2\x80\xAE.zip";
    Main().ShowZipFileName(path);
    EXPECT_EQ(Main().ZipFName->textFormat(), Qt::PlainText);
    EXPECT_EQ(Main().ZipFName->text(), QString::fromUtf8("/tmp/<i>x</i>\\u202e.zip"));
    const std::string longPath = path + "/" + std::string(60, 'p') + ".zip";
    Main().ShowZipFileName(longPath);
    EXPECT_TRUE(Main().ZipFName->toolTip().contains("/tmp/&lt;i&gt;x&lt;/i&gt;\\u202e.zip/ppp"));
    EXPECT_EQ(Main().ZipFNameText(), longPath);
}

TEST(NameTextTest, DecodesByFlagOrValidityAndMakesActingCharactersVisible)
{
    EXPECT_EQ(app::DecodeName("\x80\x9A\xE1"), QString::fromUtf8("\xC3\x87\xC3\x9C\xC3\x9F"));  // CP437
    EXPECT_EQ(app::DecodeName("\xC3\xA9"), QString::fromUtf8("\xC3\xA9"));
    // Control and format characters show as fernpack-cli shows them.
    EXPECT_EQ(app::VisibleName("a\tb\x7F" "c\xE2\x81\xA6" "d"), QString::fromUtf8("a\\x09b\\x7fc\\u2066d"));
    EXPECT_EQ(app::VisibleName("a\xE2\x80\x8B" "b.txt"), QString::fromUtf8("a\\u200bb.txt"));
    EXPECT_EQ(app::VisibleMessage("one\r\ntwo\rthree\x07"), QString::fromUtf8("one\ntwo\nthree\\x07"));
    // A flagged name that is no UTF-8 shows replacement characters, never CP437.
    EXPECT_EQ(app::DecodeName("\x82", true), QString(QChar::ReplacementCharacter));
}

}  // namespace
