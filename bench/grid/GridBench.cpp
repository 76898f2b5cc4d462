// Prints how long the sortable grid takes for the archive listing's work on
// 100,000 rows: filling the grid from scratch, SortByColumn with automatic
// style on each of the four columns in both directions, and painting while
// scrolling; with the goals (sort under 150 ms, fill under 100 ms) and, for
// reference, the ratio to sorting with the comparison converting each text
// on every call.
//
// Usage: fernpack_grid_bench [rows] [repeats]   (offscreen platform is used
// when none is set)
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "grid/SortGrid.h"
#include "grid/SortOrder.h"
#include "platform/FormatSettings.h"

using Clock = std::chrono::steady_clock;

// The time this thread spent on the processor: on a shared machine the wall
// clock also counts other people's work.
struct CpuClock {
    using time_point = double;
    static double now() {
        timespec ts;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
    }
};

namespace {

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct Listing {
    std::vector<std::string> name, compressed, uncompressed, date;
};

Listing MakeListing(int rows) {
    std::mt19937 rng(20261207);
    Listing l;
    const char* dirs[] = {"src/", "docs/", "lib/x86/", "", "assets/images/", "Test Data/"};
    const char* exts[] = {".c", ".txt", ".DLL", ".png", ".html", ""};
    for (int i = 0; i < rows; ++i) {
        const auto r = rng();
        l.name.push_back(std::string(dirs[r % 6]) + "file" + std::to_string(rng() % 1000000) + exts[(r >> 8) % 6]);
        const std::int32_t size = static_cast<std::int32_t>(rng() % 50000000);
        l.uncompressed.push_back(std::to_string(size));
        l.compressed.push_back(std::to_string(size / static_cast<std::int32_t>(1 + rng() % 9)));
        // An MS-DOS time stamp: 1980 + 0..127, two-second steps.
        const int year = 1980 + static_cast<int>(rng() % 128), month = 1 + static_cast<int>(rng() % 12),
                  day = 1 + static_cast<int>(rng() % 28), hour = static_cast<int>(rng() % 24),
                  minute = static_cast<int>(rng() % 60), second = 2 * static_cast<int>(rng() % 30);
        l.date.push_back(platform::FormatDateTime(
            "ddddd  t", platform::EncodeDate(year, month, day) + platform::EncodeTime(hour, minute, second, 0)));
    }
    return l;
}

// What the main window does for every listing.
void FillGrid(grid::TSortGrid& g, const Listing& l) {
    g.SetRowCount(2);
    g.ClearRow(1);
    const int n = static_cast<int>(l.name.size());
    g.SetRowCount(n + 1);
    for (int i = 0; i < n; ++i) {
        g.SetCells(0, i + 1, l.name[static_cast<std::size_t>(i)]);
        g.SetCells(1, i + 1, l.compressed[static_cast<std::size_t>(i)]);
        g.SetCells(2, i + 1, l.uncompressed[static_cast<std::size_t>(i)]);
        g.SetCells(3, i + 1, l.date[static_cast<std::size_t>(i)]);
    }
}

struct Timing {
    double wall, cpu;
};

template <typename F>
Timing Measure(F f) {
    const auto w0 = Clock::now();
    const double c0 = CpuClock::now();
    f();
    return {Ms(w0, Clock::now()), CpuClock::now() - c0};
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repeats = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const double sortGoal = 150, fillGoal = 100;

    const Listing listing = MakeListing(rows);
    grid::TSortGrid g;
    g.SetColCount(4);
    g.SetFixedCols(0);
    g.SetFixedRows(1);
    const char* headings[] = {"File Name", "Compr Size", "Uncmpr Size", "Date/Time"};
    for (int c = 0; c < 4; ++c) g.SetCells(c, 0, headings[c]);
    g.SetOptions(g.Options() | grid::goRowSelect);
    g.resize(635, 300);
    g.show();
    app.processEvents();

    std::printf("Grid benchmark: %d rows, median of %d runs (goals judged on processor time),\n"
                "date format \"%s  %s\"\n", rows, repeats,
                platform::FormatSettings().ShortDateFormat.c_str(),
                platform::FormatSettings().ShortTimeFormat.c_str());
    bool allMet = true;

    std::printf("%-34s %9s %9s\n", "", "cpu", "wall");
    std::vector<double> fills, fillsWall;
    for (int i = 0; i < repeats; ++i) {
        const Timing t = Measure([&] { FillGrid(g, listing); });
        fills.push_back(t.cpu);
        fillsWall.push_back(t.wall);
    }
    const double fill = Median(fills);
    allMet &= fill < fillGoal;
    std::printf("%-34s %6.1f ms %6.1f ms  (goal < %.0f ms: %s)\n", "fill from scratch", fill, Median(fillsWall),
                fillGoal, fill < fillGoal ? "met" : "MISSED");

    for (int col = 0; col < 4; ++col) {
        for (grid::TSortDirection dir : {grid::sdAscending, grid::sdDescending}) {
            std::vector<double> times, walls;
            grid::TSortStyle style = grid::ssAutomatic;
            g.OnBeginSort = [&](grid::TSortGrid*, int, grid::TSortOptions& o) { style = o.SortStyle; };
            for (int i = 0; i < repeats; ++i) {
                FillGrid(g, listing);  // each sort starts from the listing's order
                grid::TSortOptions o;
                o.SortDirection = dir;
                const Timing t = Measure([&] { g.SortByColumn(col, o); });
                times.push_back(t.cpu);
                walls.push_back(t.wall);
            }
            const double t = Median(times);
            allMet &= t < sortGoal;
            char label[64];
            std::snprintf(label, sizeof label, "sort %s %s (style %d)", headings[col],
                          dir == grid::sdAscending ? "asc" : "desc", static_cast<int>(style));
            std::printf("%-34s %6.1f ms %6.1f ms  (goal < %.0f ms: %s)\n", label, t, Median(walls), sortGoal,
                        t < sortGoal ? "met" : "MISSED");
        }
    }

    // Reference: the comparison converting both texts on every call.
    {
        std::vector<grid::TSortedListEntry> entries;
        for (int i = 0; i < rows; ++i) entries.push_back({listing.date[static_cast<std::size_t>(i)], i + 1});
        grid::TSortOptions o;
        o.SortStyle = grid::ssDateTime;
        auto cached = entries;
        const auto t0 = Clock::now();
        grid::SortEntries(cached, o);
        const auto t1 = Clock::now();
        std::stable_sort(entries.begin(), entries.end(), [&](const auto& a, const auto& b) {
            return grid::CompareSortEntries(a, b, o) < 0;
        });
        const auto t2 = Clock::now();
        bool same = true;
        for (std::size_t i = 0; i < entries.size(); ++i) same &= entries[i].RowIndex == cached[i].RowIndex;
        std::printf("%-34s %9.1f ms  vs %.1f ms converting per comparison: %.1fx, same order: %s\n",
                    "date order, keys converted once", Ms(t0, t1), Ms(t1, t2), Ms(t1, t2) / Ms(t0, t1),
                    same ? "yes" : "NO");
        allMet &= same;
    }

    // Scrolling: paint the visible rows at 200 places through the listing.
    {
        std::mt19937 rng(1);
        const auto t0 = Clock::now();
        for (int i = 0; i < 200; ++i) {
            g.SetTopRow(1 + static_cast<int>(rng() % static_cast<unsigned>(rows)));
            g.viewport()->grab();
        }
        const double per = Ms(t0, Clock::now()) / 200;
        std::printf("%-34s %9.2f ms per scrolled paint\n", "scroll and paint", per);
    }
    std::printf("%s\n", allMet ? "All goals met." : "Some goals MISSED.");
    return allMet ? 0 : 1;
}
