#include "grid/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include "zipformat/NameText.h"

namespace grid {

QString DisplayText(const std::string& text) { return QString::fromStdString(fernpack::zip::NameText(text)); }

bool Cp437Bytes(const QString& text, std::string* bytes) {
    bytes->clear();
    for (const char32_t c : text.toUcs4()) {
        const int b = fernpack::zip::Cp437Byte(c);
        if (b < 0) return false;
        *bytes += static_cast<char>(b);
    }
    return true;
}

QColor ToQColor(TColor color, const QPalette& palette) {
    if (color & clSystemColor) {
        switch (color & 0xFF) {
        case 5: return palette.color(QPalette::Base);
        case 8: return palette.color(QPalette::Text);
        case 13: return palette.color(QPalette::Highlight);
        case 14: return palette.color(QPalette::HighlightedText);
        case 15: return palette.color(QPalette::Button);
        case 16: return palette.color(QPalette::Dark);
        case 18: return palette.color(QPalette::ButtonText);
        case 20: return palette.color(QPalette::Light);
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QFont TFont::ToQFont() const {
    QFont f(QString::fromStdString(Name));
    f.setPixelSize(Height > 0 ? Height : 12);
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    return f;
}

const QFontMetrics& TCanvas::Metrics() {
    if (!metrics_ || !(metricsFont_ == Font)) {
        metrics_ = std::make_unique<QFontMetrics>(Font.ToQFont());
        metricsFont_ = Font;
    }
    return *metrics_;
}

int TCanvas::TextWidth(const std::string& text) { return Metrics().horizontalAdvance(DisplayText(text)); }

int TCanvas::TextHeight(const std::string&) { return Metrics().height(); }

void TCanvas::Draw(int x, int y, const QPixmap& picture) {
    if (painter_) painter_->drawPixmap(x, y, picture);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const std::string& text) {
    if (!painter_) return;
    const QRect r(rect.Left, rect.Top, rect.Width(), rect.Height());
    if (Brush.Style != bsClear) painter_->fillRect(r, ToQColor(Brush.Color, palette_));
    if (text.empty()) return;
    painter_->save();
    painter_->setClipRect(r, Qt::IntersectClip);
    painter_->setFont(Font.ToQFont());
    painter_->setPen(ToQColor(Font.Color, palette_));
    painter_->drawText(QRect(x, y, 1 << 20, rect.Bottom - y + 1000),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, DisplayText(text));
    painter_->restore();
}

void TCanvas::FillRect(const TRect& rect) {
    if (!painter_ || Brush.Style == bsClear) return;
    painter_->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()),
                       ToQColor(Brush.Color, palette_));
}

void TCanvas::Line(int x1, int y1, int x2, int y2) {
    if (!painter_) return;
    // The end point is left out: step back one pixel towards the start.
    int ex = x2 - (x2 > x1) + (x2 < x1);
    int ey = y2 - (y2 > y1) + (y2 < y1);
    if (ex == x1 && ey == y1 && x2 == x1 && y2 == y1) return;
    painter_->save();
    painter_->setPen(QPen(ToQColor(Pen.Color, palette_), Pen.Width));
    painter_->drawLine(x1, y1, ex, ey);
    painter_->restore();
}

void TCanvas::BeginPaint(QPainter* painter, const QPalette& palette) {
    painter_ = painter;
    palette_ = palette;
}

void TCanvas::EndPaint() { painter_ = nullptr; }

}  // namespace grid
