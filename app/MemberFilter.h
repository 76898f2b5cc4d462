// Find in the member listing: which names a typed text keeps, and the rows
// of a listing that it keeps. A text without '*' or '?' keeps the names that
// contain it; a text with them keeps the names it matches whole ('*' any run
// of characters, '/' included; '?' one character). Letter case does not
// count, and names are compared as the grid shows them (decoded), so what
// the user reads is what the text finds.
//
// Promises: the rows kept stay in the listing's order; an empty text keeps
// every row. Matching a key costs no decoding: each name is decoded and
// folded once, when the listing is taken.
#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "grid/StringGrid.h"

namespace app {

class TMemberFilter {
public:
    explicit TMemberFilter(const QString& text = {});

    bool Empty() const { return text_.isEmpty(); }
    // Whether a name's key (Key of the name as shown) is kept.
    bool Keeps(const QString& key) const;
    // What names are matched by: the shown name, case-folded.
    static QString Key(const QString& shown) { return shown.toCaseFolded(); }

private:
    QString text_;  // case-folded
    bool wildcard_ = false;
};

// Every row of a listing, in the grid's order, with the key of each name,
// while the user looks at a part of it.
class TFilteredListing {
public:
    // Takes the grid's member rows (name in column 0, its UTF-8 tag in that
    // cell's object slot).
    void Take(std::vector<grid::TGridRow> rows);
    void Clear();
    bool Taken() const { return taken_; }
    std::size_t Count() const { return rows_.size(); }
    const std::vector<grid::TGridRow>& Rows() const { return rows_; }

    // The rows `filter` keeps, copied, in order.
    std::vector<grid::TGridRow> Kept(const TMemberFilter& filter) const;

    // The rows no longer stand in the grid's sort order (the part shown was
    // sorted since they were taken).
    bool Unsorted = false;

private:
    std::vector<grid::TGridRow> rows_;
    std::vector<QString> keys_;
    bool taken_ = false;
};

}  // namespace app
