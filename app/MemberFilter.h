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
#include <QStringView>
#include <cstddef>
#include <string>
#include <vector>

#include "grid/StringGrid.h"

namespace app {

class TMemberFilter {
public:
    explicit TMemberFilter(const QString& text = {});

    bool Empty() const { return text_.isEmpty(); }
    // Whether a name's key (Key of the name as shown) is kept.
    bool Keeps(QStringView key) const;
    // What names are matched by: the shown name, case-folded.
    static QString Key(const QString& shown) { return shown.toCaseFolded(); }
    // Key of a name as stored (bytes; `utf8`: its UTF-8 flag), appended to
    // `keys`; quick for the plain ASCII names most archives hold.
    static void AppendKey(std::u16string& keys, const std::string& name, bool utf8);

private:
    QString text_;  // case-folded
    bool wildcard_ = false;
};

// Every row of a listing, in the grid's order, with the key of each name,
// while the grid shows a part of it. The rows the grid shows are lent to it
// (moved, not copied) and given back before the next part is chosen, so a
// key stroke over 100,000 members copies no row.
class TFilteredListing {
public:
    // Makes the keys of the grid's data rows while the grid keeps them (when
    // Find opens, so that the first key stroke need not read every name).
    void MakeKeysAhead(const grid::TStringGrid& grid);
    // Takes the grid's member rows (name in column 0, its UTF-8 tag in that
    // cell's object slot); nothing is lent. The keys made ahead serve when
    // the rows are as many as they.
    void Take(std::vector<grid::TGridRow> rows);
    // Every row moved out, in order (the lent ones given back first);
    // nothing is taken afterwards, but their keys are kept as if made ahead.
    std::vector<grid::TGridRow> TakeRows();
    // Forgets the rows and every key.
    void Clear();
    bool Taken() const { return taken_; }
    std::size_t Count() const { return rows_.size(); }

    // Lends the rows `filter` keeps, in order.
    std::vector<grid::TGridRow> Lend(const TMemberFilter& filter);
    std::size_t Lent() const { return lent_.size(); }
    // The lent rows back, as the grid holds them: in the order lent, or
    // (`sorted`) in an order of the grid's own, when they go after the
    // others (the whole is for the grid to sort again). The grid's one empty
    // row, shown when none was lent, is not a row of the listing.
    void GiveBack(std::vector<grid::TGridRow> rows, bool sorted = false);

    // The part shown was sorted since the rows were taken: the listing's
    // order is no longer the grid's.
    bool Unsorted = false;

private:
    void MakeKeys();

    std::vector<grid::TGridRow> rows_;
    // The keys of all rows in one buffer (one allocation for 100,000
    // names); row i's key ends where row i + 1's begins.
    std::u16string keys_;
    std::vector<std::size_t> keyEnds_;
    std::vector<std::size_t> lent_;  // indexes, in order
    bool taken_ = false;
};

}  // namespace app
