// The user's place in the member grid, kept across a new listing of the
// same archive (after an add, a delete or a conversion): the member that was
// current stays current, and the member at the top of the view stays at the
// top. A member is known by its stored name and, among members of the same
// name, by its rank in the grid's order (the sort is stable, so equal names
// keep their order).
//
// Where the current member is gone (it was deleted), the first member that
// followed the selection in the old order and is still listed becomes
// current; with none, the last one before the selection. A selection of
// several rows becomes the current row alone. A current member that was in
// view stays in view.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace grid {
class TSortGrid;
}

namespace app {

class TListingPlace {
public:
    // The place in the grid as it stands, before it is filled anew.
    static TListingPlace Take(const grid::TSortGrid& grid);
    // Puts the grid, filled and sorted, back at the place.
    void Restore(grid::TSortGrid& grid) const;

private:
    // Column 0 of the data rows, in the grid's order, one after another in
    // one text (a long listing is taken at every add and delete).
    std::string names_;
    std::vector<std::size_t> ends_;  // where each row's name ends in names_
    std::string_view Name(std::size_t i) const
    {
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(names_).substr(begin, ends_[i] - begin);
    }
    int fixedRows_ = 1;
    int current_ = -1;
    int selectionTop_ = -1;
    int selectionBottom_ = -1;
    int top_ = -1;
    bool currentShown_ = false;
};

}  // namespace app
