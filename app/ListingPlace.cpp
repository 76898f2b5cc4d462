#include "app/ListingPlace.h"

#include <string_view>
#include <unordered_map>

#include "grid/SortGrid.h"

namespace app {

namespace {

// Where each name stands in the new listing: its rows, in order.
using RowsByName = std::unordered_map<std::string_view, std::vector<int>>;

// Up to this many members are looked for row by row; more (a place among
// many deleted rows) build a table of the new rows once.
constexpr int kScansBeforeTable = 8;

}  // namespace

TListingPlace TListingPlace::Take(const grid::TSortGrid& grid)
{
    TListingPlace place;
    place.fixedRows_ = grid.FixedRows();
    for (int r = place.fixedRows_; r < grid.RowCount(); ++r) {
        place.names_ += grid.Cells(0, r);
        place.ends_.push_back(place.names_.size());
    }
    const grid::TGridRect selection = grid.Selection();
    place.current_ = grid.Row() - place.fixedRows_;
    place.selectionTop_ = selection.Top - place.fixedRows_;
    place.selectionBottom_ = selection.Bottom - place.fixedRows_;
    place.top_ = grid.TopRow() - place.fixedRows_;
    place.currentShown_ = grid.Row() >= grid.TopRow() && grid.Row() < grid.TopRow() + grid.VisibleRowCount();
    return place;
}

void TListingPlace::Restore(grid::TSortGrid& grid) const
{
    const int fixed = grid.FixedRows();
    const int oldCount = static_cast<int>(ends_.size());
    bool anyRow = false;
    for (int r = fixed; r < grid.RowCount() && !anyRow; ++r)
        anyRow = !grid.Cells(0, r).empty();
    if (!anyRow || oldCount == 0)
        return;
    // A member is the rank-th of its name, in the old order and the new. The
    // first few are looked for by a scan; after that, by tables.
    int scans = 0;
    RowsByName rows;
    std::vector<int> ranks;
    const auto tables = [&] {
        for (int r = fixed; r < grid.RowCount(); ++r)
            if (!grid.Cells(0, r).empty())
                rows[grid.Cells(0, r)].push_back(r);
        std::unordered_map<std::string_view, int> seen;
        ranks.reserve(ends_.size());
        for (std::size_t i = 0; i < ends_.size(); ++i)
            ranks.push_back(seen[Name(i)]++);
    };
    // The new row of the member on old row i, or -1 when it is gone. (An
    // empty row stands for no member.)
    const auto rowOf = [&](int i) {
        if (i < 0 || i >= oldCount || Name(static_cast<std::size_t>(i)).empty())
            return -1;
        const std::string_view name = Name(static_cast<std::size_t>(i));
        if (++scans == kScansBeforeTable)
            tables();
        if (scans < kScansBeforeTable) {
            int rank = 0;
            for (int j = 0; j < i; ++j)
                rank += Name(static_cast<std::size_t>(j)) == name;
            for (int r = fixed; r < grid.RowCount(); ++r)
                if (grid.Cells(0, r) == name && rank-- == 0)
                    return r;
            return -1;
        }
        const auto found = rows.find(name);
        const int rank = ranks[static_cast<std::size_t>(i)];
        return found == rows.end() || rank >= static_cast<int>(found->second.size())
                   ? -1
                   : found->second[static_cast<std::size_t>(rank)];
    };
    // The first member still listed after old row `after`, else the last
    // one before old row `before`.
    const auto nearest = [&](int after, int before) {
        for (int i = after + 1; i < oldCount; ++i)
            if (const int r = rowOf(i); r >= 0)
                return r;
        for (int i = before - 1; i >= 0; --i)
            if (const int r = rowOf(i); r >= 0)
                return r;
        return fixed;
    };

    int current = rowOf(current_);
    if (current < 0)
        current = nearest(std::max(current_, selectionBottom_), std::min(current_, selectionTop_));
    int top = rowOf(top_);
    if (top < 0)
        top = nearest(top_, top_);
    // Whole rows are selected: the first column is the current one, so the
    // view never scrolls sideways to another.
    grid.MoveToCell(grid.FixedCols(), current);
    grid.SetTopRow(top);
    const bool shown = grid.Row() >= grid.TopRow() && grid.Row() < grid.TopRow() + grid.VisibleRowCount();
    if (currentShown_ && !shown)
        grid.MoveToCell(grid.FixedCols(), current);
}

}  // namespace app
