#include "app/MemberFilter.h"

#include <QStringView>

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

bool TMemberFilter::Keeps(const QString& key) const
{
    if (text_.isEmpty())
        return true;
    return wildcard_ ? WildcardMatch(text_, key) : key.contains(text_);
}

void TFilteredListing::Take(std::vector<grid::TGridRow> rows)
{
    rows_ = std::move(rows);
    keys_.clear();
    keys_.reserve(rows_.size());
    for (const grid::TGridRow& row : rows_) {
        const grid::TGridCell* name = row.empty() ? nullptr : &row[0];
        keys_.push_back(name ? TMemberFilter::Key(VisibleName(name->Text, name->Object == Utf8NameTag())) : QString());
    }
    taken_ = true;
    Unsorted = false;
}

void TFilteredListing::Clear()
{
    rows_.clear();
    keys_.clear();
    taken_ = false;
    Unsorted = false;
}

std::vector<grid::TGridRow> TFilteredListing::Kept(const TMemberFilter& filter) const
{
    std::vector<grid::TGridRow> kept;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (filter.Keeps(keys_[i]))
            kept.push_back(rows_[i]);
    return kept;
}

}  // namespace app
