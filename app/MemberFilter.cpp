#include "app/MemberFilter.h"

#include <QStringView>
#include <algorithm>

#include "app/MemberCells.h"
#include "app/NameText.h"

namespace app {

namespace {

// `name` matched whole by `pattern`: '*' any run, '?' one character. Goes
// back only to the last '*', so it never takes more than
// length(name) x length(pattern) steps.
bool WildcardMatch(QStringView pattern, QStringView name)
{
    qsizetype p = 0, n = 0, star = -1, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || (pattern[p] != u'*' && pattern[p] == name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

}  // namespace

TMemberFilter::TMemberFilter(const QString& text)
    : text_(Key(text)), wildcard_(text.contains(u'*') || text.contains(u'?'))
{
}

bool TMemberFilter::Keeps(QStringView key) const
{
    if (text_.isEmpty())
        return true;
    return wildcard_ ? WildcardMatch(text_, key) : key.contains(text_);
}

void TMemberFilter::AppendKey(std::u16string& keys, const std::string& name, bool utf8)
{
    // Printable ASCII shows as it is; folding it is lowering A to Z.
    const std::size_t at = keys.size();
    keys.resize(at + name.size());
    char16_t* out = keys.data() + at;
    for (unsigned char c : name) {
        if (c < 0x20 || c >= 0x7F) {
            keys.resize(at);
            const QString key = Key(VisibleName(name, utf8));
            keys.append(reinterpret_cast<const char16_t*>(key.utf16()), static_cast<std::size_t>(key.size()));
            return;
        }
        *out++ = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
}

void TFilteredListing::MakeKeysAhead(const grid::TStringGrid& grid)
{
    Clear();
    const int first = grid.FixedRows();
    keyEnds_.reserve(static_cast<std::size_t>(std::max(0, grid.RowCount() - first)));
    keys_.reserve(keyEnds_.capacity() * 32);
    for (int r = first; r < grid.RowCount(); ++r) {
        TMemberFilter::AppendKey(keys_, grid.Cells(0, r), grid.Objects(0, r) == Utf8NameTag());
        keyEnds_.push_back(keys_.size());
    }
}

void TFilteredListing::Take(std::vector<grid::TGridRow> rows)
{
    rows_ = std::move(rows);
    if (keyEnds_.size() != rows_.size())
        MakeKeys();
    lent_.clear();
    taken_ = true;
    Unsorted = false;
}

void TFilteredListing::MakeKeys()
{
    keys_.clear();
    keyEnds_.clear();
    keyEnds_.reserve(rows_.size());
    keys_.reserve(rows_.size() * 32);
    for (const grid::TGridRow& row : rows_) {
        if (!row.empty())
            TMemberFilter::AppendKey(keys_, row[0].Text, row[0].Object == Utf8NameTag());
        keyEnds_.push_back(keys_.size());
    }
}

std::vector<grid::TGridRow> TFilteredListing::TakeRows()
{
    std::vector<grid::TGridRow> rows = std::move(rows_);
    rows_.clear();
    lent_.clear();
    taken_ = false;
    Unsorted = false;
    return rows;
}

void TFilteredListing::Clear()
{
    rows_.clear();
    keys_.clear();
    keyEnds_.clear();
    lent_.clear();
    taken_ = false;
    Unsorted = false;
}

std::vector<grid::TGridRow> TFilteredListing::Lend(const TMemberFilter& filter)
{
    if (keyEnds_.size() != rows_.size())
        MakeKeys();  // given back in another order
    std::vector<grid::TGridRow> kept;
    lent_.clear();
    std::size_t begin = 0;
    for (std::size_t i = 0; i < rows_.size(); begin = keyEnds_[i++])
        if (filter.Keeps(QStringView(keys_.data() + begin, static_cast<qsizetype>(keyEnds_[i] - begin)))) {
            lent_.push_back(i);
            kept.push_back(std::move(rows_[i]));
        }
    return kept;
}

void TFilteredListing::GiveBack(std::vector<grid::TGridRow> rows, bool sorted)
{
    if (rows.size() != lent_.size()) {
        lent_.clear();  // the grid's empty row: nothing was lent
        return;
    }
    if (!sorted) {
        for (std::size_t i = 0; i < lent_.size(); ++i)
            rows_[lent_[i]] = std::move(rows[i]);
        lent_.clear();
        return;
    }
    // The others in their order, then the lent ones in the grid's.
    std::vector<bool> isLent(rows_.size(), false);
    for (std::size_t i : lent_)
        isLent[i] = true;
    std::vector<grid::TGridRow> all;
    all.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (!isLent[i])
            all.push_back(std::move(rows_[i]));
    for (grid::TGridRow& row : rows)
        all.push_back(std::move(row));
    // The keys no longer stand beside their rows: made anew when next lent.
    rows_ = std::move(all);
    keys_.clear();
    keyEnds_.clear();
    lent_.clear();
}

}  // namespace app
