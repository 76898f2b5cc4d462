#include "GridTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace gridtest {

void Fill(grid::TStringGrid& g, const std::vector<std::vector<std::string>>& rows, int fixedRows, int fixedCols) {
    std::size_t cols = 1;
    for (const auto& r : rows) cols = std::max(cols, r.size());
    g.SetRowCount(static_cast<int>(rows.size()));
    g.SetColCount(static_cast<int>(cols));
    g.SetFixedRows(fixedRows);
    g.SetFixedCols(fixedCols);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            g.SetCells(static_cast<int>(c), static_cast<int>(r), rows[r][c]);
}

std::vector<std::string> Column(const grid::TStringGrid& g, int col, bool dataOnly) {
    std::vector<std::string> out;
    for (int r = dataOnly ? g.FixedRows() : 0; r < g.RowCount(); ++r) out.push_back(g.Cells(col, r));
    return out;
}

bool ShowFocused(grid::TStringGrid& g) {
    g.resize(400, 300);
    g.show();
    g.activateWindow();
    QApplication::setActiveWindow(&g);
    if (!QTest::qWaitForWindowActive(&g, 2000)) return false;
    g.setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
    return g.Focused();
}

}  // namespace gridtest
