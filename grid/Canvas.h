// The grid's drawing surface: a brush, a font and a pen that cell drawing
// code changes, and the few drawing operations the grid needs (text width
// and height, a text clipped to a rectangle over the brush's background, a
// filled rectangle, a two-point line). While the grid paints, the surface
// draws through a QPainter; outside painting it still measures text.
//
// Texts are 8-bit byte strings; they are shown as a stored name is
// (zipformat/NameText.h): as UTF-8 when they are valid UTF-8, in code page
// 437 otherwise. The bytes themselves are never changed.
// The drawing operations are virtual so tests can record what is drawn.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPalette>
#include <QString>
#include <memory>
#include <string>

#include "grid/GridTypes.h"

class QPainter;
class QPixmap;

namespace grid {

// The text as the user sees it: UTF-8 when valid, else code page 437.
QString DisplayText(const std::string& text);
// `text` as the code page 437 bytes DisplayText shows as it; false when a
// character has none there.
bool Cp437Bytes(const QString& text, std::string* bytes);

// A toolkit colour (RGB or system colour) as a Qt colour under `palette`.
QColor ToQColor(TColor color, const QPalette& palette);

enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

struct TBrush {
    TColor Color = clWindow;
    TBrushStyle Style = bsSolid;
};

enum : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2, fsStrikeOut = 1u << 3 };
using TFontStyles = unsigned;

struct TFont {
    std::string Name = "Arial";
    int Height = 12;  // pixels
    TColor Color = clWindowText;
    TFontStyles Style = 0;

    void Assign(const TFont& other) { *this = other; }
    QFont ToQFont() const;
    bool operator==(const TFont&) const = default;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
};

class TCanvas {
public:
    TCanvas() = default;
    virtual ~TCanvas() = default;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TBrush Brush;
    TFont Font;
    TPen Pen;

    virtual int TextWidth(const std::string& text);
    virtual int TextHeight(const std::string& text);
    // Draws `text` with its top left corner at (x, y), clipped to `rect`; a
    // solid brush fills `rect` first.
    virtual void TextRect(const TRect& rect, int x, int y, const std::string& text);
    virtual void FillRect(const TRect& rect);
    // A line from (x1, y1) to (x2, y2), the end point left out.
    virtual void Line(int x1, int y1, int x2, int y2);
    // Draws a picture with its top left corner at (x, y).
    virtual void Draw(int x, int y, const QPixmap& picture);
    void MoveTo(int x, int y) { penX_ = x; penY_ = y; }
    void LineTo(int x, int y) { Line(penX_, penY_, x, y); MoveTo(x, y); }

    // Painting sessions, started and ended by the grid around its paint.
    void BeginPaint(QPainter* painter, const QPalette& palette);
    void EndPaint();
    QPainter* Painter() const { return painter_; }
    const QPalette& Palette() const { return palette_; }
    void SetPalette(const QPalette& palette) { palette_ = palette; }

protected:
    // Metrics of the current font, kept while the font stays the same.
    const QFontMetrics& Metrics();

private:
    TFont metricsFont_;
    std::unique_ptr<QFontMetrics> metrics_;
    QPainter* painter_ = nullptr;
    QPalette palette_;
    int penX_ = 0, penY_ = 0;
};

}  // namespace grid
