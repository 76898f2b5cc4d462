// The user's place across listings: a new listing of the same archive (after
// an add, a delete, a conversion) keeps the current member current and the
// top member at the top; after a delete the member that followed the deleted
// ones becomes current; a newly opened archive starts at its first member.
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "AppTestSupport.h"
#include "app/mainunit.h"

namespace {

using apptest::AppTest;
using fixture::Stored;
using Names = std::vector<std::string>;

// m01 .. m40, each as long as its number, so sizes tell duplicates apart.
Names Numbered(int first, int last, const std::string& prefix = "m")
{
    Names names;
    for (int i = first; i <= last; ++i)
        names.push_back(prefix + (i < 10 ? "0" : "") + std::to_string(i));
    return names;
}

Names Without(Names names, const Names& gone)
{
    for (const std::string& g : gone)
        names.erase(std::remove(names.begin(), names.end(), g), names.end());
    return names;
}

Names With(Names names, const Names& more)
{
    names.insert(names.end(), more.begin(), more.end());
    return names;
}

class ListingPlace : public AppTest {
protected:
    void StartWith(const Names& names)
    {
        archive = Write(names);
        Start({archive});
        program->ShowMainWindow();
        // Eleven rows in view.
        const grid::TSortGrid& g = *Main().StringGrid1;
        Main().resize(Main().minimumSize().width(),
                      g.geometry().top() + (g.DefaultRowHeight() + 1) * 12 + g.DefaultRowHeight() / 2);
        Flush();
        ASSERT_EQ(g.VisibleRowCount(), 11);
    }
    std::string Write(const Names& names)
    {
        std::vector<fixture::Member> members;
        for (std::size_t i = 0; i < names.size(); ++i)
            members.push_back(Stored(names[i], std::string(i + 1, 'x')));
        return WriteArchive("place.zip", members);
    }
    // A new listing of the archive as an operation leaves it.
    void Relist(const Names& names)
    {
        Write(names);
        Main().RezEdidiv1.ReadEntries();
    }
    int RowOf(const std::string& name)
    {
        const grid::TSortGrid& g = *Main().StringGrid1;
        for (int r = g.FixedRows(); r < g.RowCount(); ++r)
            if (g.Cells(0, r) == name)
                return r;
        ADD_FAILURE() << name << " is not listed";
        return g.FixedRows();
    }
    // The selection from `anchor` to `current` (upwards with Shift+Up, as
    // the user makes it), and `top` at the top.
    void Place(const std::string& anchor, const std::string& current, const std::string& top)
    {
        grid::TSortGrid& g = *Main().StringGrid1;
        g.MoveToCell(0, RowOf(anchor));
        if (RowOf(anchor) <= RowOf(current))
            g.SetSelection({0, RowOf(anchor), 3, RowOf(current)});
        while (g.Row() > RowOf(current))
            QTest::keyClick(&g, Qt::Key_Up, Qt::ShiftModifier);
        g.SetTopRow(RowOf(top));
        ASSERT_EQ(Current(), current);
        ASSERT_EQ(Top(), top);
    }
    std::string Current() { return Main().StringGrid1->Cells(0, Main().StringGrid1->Row()); }
    std::string Top() { return Main().StringGrid1->Cells(0, Main().StringGrid1->TopRow()); }
    bool CurrentShown()
    {
        const grid::TSortGrid& g = *Main().StringGrid1;
        return g.Row() >= g.TopRow() && g.Row() < g.TopRow() + g.VisibleRowCount();
    }

    std::string archive;
};

TEST_F(ListingPlace, ANewListingKeepsTheCurrentMemberAndTheTopOrFollowsTheDeletedOnes)
{
    const Names all = Numbered(1, 40);
    struct Case {
        const char* what;
        std::string anchor, current, top;
        Names after;
        std::string current2, top2;
    } cases[] = {
        {"unchanged (a conversion)", "m20", "m20", "m15", all, "m20", "m15"},
        {"a member added above", "m20", "m20", "m15", With(all, {"a00"}), "m20", "m15"},
        {"a member added in view", "m20", "m20", "m15", With(all, {"m17a"}), "m20", "m15"},
        {"the current one deleted", "m20", "m20", "m15", Without(all, {"m20"}), "m21", "m15"},
        {"three deleted, current last", "m20", "m22", "m15", Without(all, {"m20", "m21", "m22"}), "m23", "m15"},
        {"three deleted, current first", "m22", "m20", "m15", Without(all, {"m20", "m21", "m22"}), "m23", "m15"},
        {"the last ones deleted", "m38", "m40", "m30", Without(all, {"m38", "m39", "m40"}), "m37", "m27"},
        {"the top one deleted", "m20", "m20", "m15", Without(all, {"m15"}), "m20", "m16"},
        {"a range kept only as its current row", "m18", "m20", "m15", all, "m20", "m15"},
        // Past a few look-ups the place is found through tables of names.
        {"many deleted after the current one", "m10", "m10", "m05",
         Without(all, {"m10", "m11", "m12", "m13", "m14", "m15", "m16", "m17", "m18", "m19", "m20", "m21"}), "m22",
         "m05"},
        {"everything after the current one deleted", "m30", "m30", "m25", Numbered(1, 29), "m29", "m19"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWith(all);
        Place(c.anchor, c.current, c.top);
        Relist(c.after);
        EXPECT_EQ(Current(), c.current2);
        EXPECT_EQ(Top(), c.top2);
        const grid::TGridRect selection = Main().StringGrid1->Selection();
        EXPECT_EQ(selection.Top, selection.Bottom);
        EXPECT_TRUE(CurrentShown());
        program.reset();
    }
}

TEST_F(ListingPlace, ACurrentMemberInViewStaysInViewAndDuplicatesKeepTheirRank)
{
    StartWith(With(Numbered(1, 30), {"m20"}));  // two members named m20: sizes 20 and 31
    Place("m20", "m20", "m15");
    grid::TSortGrid& g = *Main().StringGrid1;
    g.MoveToCell(0, g.Row() + 1);  // the second m20
    ASSERT_EQ(g.Cells(1, g.Row()), "31");
    // Many members come in between the top and the current one.
    Relist(With(With(Numbered(1, 30), {"m20"}), Numbered(1, 40, "m16-")));
    EXPECT_EQ(Current(), "m20");
    EXPECT_EQ(g.Cells(1, g.Row()), "31") << "the second m20";
    EXPECT_TRUE(CurrentShown());
}

TEST_F(ListingPlace, ANewlyOpenedArchiveStartsAtItsFirstMemberAndTheSortStays)
{
    StartWith(Numbered(1, 40));
    EXPECT_EQ(Current(), "m01");
    Place("m30", "m30", "m25");
    // A click on "File Name" sorts descending; the sort stays across listings.
    Main().SortOptions.SortDirection = grid::sdDescending;
    dialogs.FileAnswers = {archive};
    Main().ZipOpenBut->click();
    EXPECT_EQ(Current(), "m40");
    EXPECT_EQ(Top(), "m40");
    Place("m30", "m30", "m33");
    Relist(Without(Numbered(1, 40), {"m30"}));
    EXPECT_EQ(Current(), "m29") << "the row that follows in the descending order";
    EXPECT_EQ(Top(), "m33");
}

// The real delete through the library, as the user runs it.
TEST_F(ListingPlace, DeletingTheSelectedRowsMakesTheFollowingRowCurrent)
{
    StartWith(Numbered(1, 12));
    Place("m04", "m06", "m01");
    dialogs.ConfirmAnswers = {true};
    Main().DeleteBut->click();
    Flush();
    ASSERT_EQ(ui.Messages.back(), "3 files were deleted");
    EXPECT_EQ(Current(), "m07");
    EXPECT_EQ(Top(), "m01");
}

}  // namespace
