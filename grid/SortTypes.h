// The sort's data model: sort styles and directions, the options record the
// main window keeps and hands to the grid, and the sorted list of entries
// (one per data row: the row's key text and where the row stood before the
// sort) that a sort leaves behind so it can be undone.
//
// Toolkit-free; the sort grid and the ordering code share it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace grid {

enum TSortStyle : std::uint8_t {
    ssAutomatic = 0,   // resolved from the column's contents before sorting
    ssAlphabetic = 1,  // byte-wise text order
    ssNumeric = 2,     // floating-point numbers
    ssDateTime = 3,    // date-and-time values
    ssTime = 4,        // times of day
    ssCustom = 5,      // the caller's SortCompare
};

// Only the value sdDescending reverses the order.
enum TSortDirection : std::uint8_t { sdAscending = 0, sdDescending = 1 };

// Negative when Str1 sorts first, zero when equal, positive when Str2 sorts
// first. A plain function: it gets no context.
using TSortCompare = std::int32_t (*)(const std::string& Str1, const std::string& Str2);

struct TSortOptions {
    TSortStyle SortStyle = ssAutomatic;
    TSortDirection SortDirection = sdAscending;
    bool SortCaseSensitive = false;
    TSortCompare SortCompare = nullptr;  // needed with ssCustom
};

struct TSortedListEntry {
    std::string Text;       // the row's text in the sort column
    std::int32_t RowIndex;  // the row's index before the sort
};

// After a sort, entry i describes the row now at FixedRows + i.
class TSortedList {
public:
    // The entry at Index; an index outside the list raises std::out_of_range.
    TSortedListEntry& GetEntry(int Index) { return entries_.at(static_cast<std::size_t>(Index)); }
    const TSortedListEntry& GetEntry(int Index) const { return entries_.at(static_cast<std::size_t>(Index)); }
    int Count() const { return static_cast<int>(entries_.size()); }
    void Add(TSortedListEntry entry) { entries_.push_back(std::move(entry)); }
    // Releases every entry and empties the list.
    void Reset() { std::vector<TSortedListEntry>().swap(entries_); }
    std::vector<TSortedListEntry>& Items() { return entries_; }
    const std::vector<TSortedListEntry>& Items() const { return entries_; }

private:
    std::vector<TSortedListEntry> entries_;
};

}  // namespace grid
