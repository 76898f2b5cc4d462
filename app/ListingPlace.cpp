#include "app/ListingPlace.h"

#include <string_view>
#include <unordered_map>

#include "grid/SortGrid.h"

namespace app {

namespace {

// Rank of each row's name among the rows of the same name before it.
std::vector<int> Ranks(const std::vector<std::string>& names)
{
    std::unordered_map<std::string_view, int> seen;
    std::vector<int> ranks;
    ranks.reserve(names.size());
    for (const std::string& name : names)
        ranks.push_back(seen[name]++);
    return ranks;
}

// Where each name stands in the new listing: its rows, in order.
using RowsByName = std::unordered_map<std::string_view, std::vector<int>>;

}  // namespace

TListingPlace TListingPlace::Take(const grid::TSortGrid& grid)
{
    TListingPlace place;
    place.fixedRows_ = grid.FixedRows();
    for (int r = place.fixedRows_; r < grid.RowCount(); ++r)
        place.names_.push_back(grid.Cells(0, r));
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
    RowsByName rows;
    for (int r = fixed; r < grid.RowCount(); ++r)
        if (!grid.Cells(0, r).empty())
            rows[grid.Cells(0, r)].push_back(r);
    if (rows.empty() || names_.empty())
        return;
    const std::vector<int> ranks = Ranks(names_);
    // The new row of the member on old row i, or -1 when it is gone. (An
    // empty row stands for no member.)
    const auto rowOf = [&](int i) {
        if (i < 0 || i >= static_cast<int>(names_.size()) || names_[static_cast<std::size_t>(i)].empty())
            return -1;
        const auto found = rows.find(names_[static_cast<std::size_t>(i)]);
        const int rank = ranks[static_cast<std::size_t>(i)];
        return found == rows.end() || rank >= static_cast<int>(found->second.size())
                   ? -1
                   : found->second[static_cast<std::size_t>(rank)];
    };
    // The first member still listed after old row `after`, else the last
    // one before old row `before`.
    const auto nearest = [&](int after, int before) {
        for (int i = after + 1; i < static_cast<int>(names_.size()); ++i)
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
