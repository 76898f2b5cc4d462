// Helpers for the grid tests: a grid that opens its hooks to the tests, a
// drawing surface that records what is drawn, and quick ways to fill a grid
// and read a column back.
#pragma once

#include <string>
#include <vector>

#include "grid/SortGrid.h"

namespace gridtest {

class TestGrid : public grid::TSortGrid {
public:
    using TSortGrid::Click;
    using TSortGrid::DoEnter;
    using TSortGrid::DoExit;
    using TSortGrid::KeyDown;
    using TSortGrid::KeyPress;
    using TSortGrid::Modified;
    using TSortGrid::MouseDown;
    using TSortGrid::MouseMove;
    using TSortGrid::MouseUp;
    using TSortGrid::InCell;
    using TSortGrid::SavedCol;
    using TSortGrid::SavedRow;
    using TSortGrid::SavedText;
    using TSortGrid::SetEditText;
};

struct DrawnText {
    grid::TRect Rect;
    int X, Y;
    std::string Text;
    grid::TColor Brush;
};

struct DrawnLine {
    int X1, Y1, X2, Y2;
    grid::TColor Color;
};

// Text is 7 pixels per byte and 10 pixels high; nothing reaches a screen.
class RecordingCanvas : public grid::TCanvas {
public:
    std::vector<DrawnText> Texts;
    std::vector<DrawnLine> Lines;
    int TextWidth(const std::string& text) override { return 7 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 10; }
    void TextRect(const grid::TRect& rect, int x, int y, const std::string& text) override {
        Texts.push_back({rect, x, y, text, Brush.Color});
    }
    void Line(int x1, int y1, int x2, int y2) override { Lines.push_back({x1, y1, x2, y2, Pen.Color}); }
};

// Rows of texts into the grid from row 0 on; counts are set to fit.
void Fill(grid::TStringGrid& g, const std::vector<std::vector<std::string>>& rows, int fixedRows = 1,
          int fixedCols = 0);
std::vector<std::string> Column(const grid::TStringGrid& g, int col, bool dataOnly = true);
// Shows the grid in an active window and gives it the input focus.
bool ShowFocused(grid::TStringGrid& g);

}  // namespace gridtest
