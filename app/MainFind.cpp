// Find in the main window (Ctrl+F): a field above the grid; the grid lists
// only the members whose names the text finds, the member count reads "12 of
// 100000", and Esc clears the text and hides the field. The whole listing
// waits beside the grid meanwhile, in the grid's order, lending the grid the
// rows it shows; a sort of the part shown is carried over to the whole when
// the text next changes. The names are read when the field opens and after
// each sort, so that a key stroke only compares.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "app/Texts.h"
#include "app/mainunit.h"

namespace app {

namespace {

// The first data row whose name is `name`, or the first data row.
int RowNamed(const grid::TSortGrid& grid, const std::string& name)
{
    for (int r = grid.FixedRows(); r < grid.RowCount(); ++r)
        if (grid.Cells(0, r) == name)
            return r;
    return grid.FixedRows();
}

}  // namespace

bool TMainform::FindShown() const { return FindBar->isVisibleTo(this); }

void TMainform::ShowFind()
{
    if (!FindShown()) {
        listing_.MakeKeysAhead(*StringGrid1);
        FindBar->show();
        CloseFindAction->setEnabled(true);
        PlaceBand();
    }
    FindEdit->setFocus(Qt::ShortcutFocusReason);
    FindEdit->selectAll();
}

void TMainform::CloseFind()
{
    const bool hadFocus = FindEdit->hasFocus();
    // Hidden first: a sort below need not read the names again.
    FindBar->hide();
    {
        // Every member is listed again below, at once.
        const QSignalBlocker quiet(FindEdit);
        FindEdit->clear();
    }
    ApplyFind();
    listing_.Clear();
    CloseFindAction->setEnabled(false);
    PlaceBand();
    if (hadFocus)
        StringGrid1->setFocus(Qt::ShortcutFocusReason);
}

void TMainform::ApplyFind()
{
    grid::TSortGrid& g = *StringGrid1;
    const TMemberFilter filter(FindEdit->text());
    if (filter.Empty() && !listing_.Taken())
        return;  // every member is listed already
    const std::string current = g.Cells(0, g.Row());
    if (listing_.Taken()) {
        // The part shown comes back first.
        const bool resort = listing_.Unsorted;
        listing_.GiveBack(g.TakeDataRows(), resort);
        if (resort || filter.Empty())
            g.SetDataRows(listing_.TakeRows());
        // The part shown was sorted: the whole takes the same order (and
        // its names are read again, see OnEndSort).
        if (resort)
            g.SortByColumn(SortColumn, SortOptions);
    }
    if (!filter.Empty()) {
        if (!listing_.Taken())
            listing_.Take(RezEdidiv1.EntryCount() > 0 ? g.TakeDataRows() : std::vector<grid::TGridRow>());
        g.SetDataRows(listing_.Lend(filter));
    }
    // The current member stays current while it is shown.
    g.MoveToCell(g.FixedCols(), RowNamed(g, current));
    ShowCount();
}

void TMainform::ShowCount()
{
    const std::int32_t all = RezEdidiv1.EntryCount();
    QString count = QString::number(all);
    if (listing_.Taken())
        count = FillPlaceholders(Translated(text::CountOf), {QString::number(listing_.Lent()), count});
    FilesLabel->setText(count);
    Refit();
}

}  // namespace app
