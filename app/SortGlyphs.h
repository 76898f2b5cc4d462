// The two 16 x 16 pictures the main window draws into the heading of the
// sort column: image 0 the letters A above Z (ascending), image 1 Z above A
// (descending), each with an arrow pointing down. Drawn by us in the
// palette's button-text colour, at the screen's pixel density, so they stay
// sharp and readable in light and dark themes alike.
#pragma once

#include <QPalette>
#include <QPixmap>
#include <array>

namespace app {

class TSortGlyphs {
public:
    static constexpr int Size = 16;
    static constexpr int Ascending = 0;
    static constexpr int Descending = 1;

    // Draws both pictures for `palette` at `pixelRatio` device pixels per pixel.
    void Build(const QPalette& palette, qreal pixelRatio);
    const QPixmap& Image(int index) const { return images_.at(static_cast<std::size_t>(index)); }

private:
    std::array<QPixmap, 2> images_;
};

}  // namespace app
