#include "grid/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

namespace grid {

bool IsValidUtf8(const std::string& text) {
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    std::size_t n = text.size(), i = 0;
    while (i < n) {
        unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t len;
        std::uint32_t cp;
        if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; }
        else return false;
        if (i + len > n) return false;
        for (std::size_t k = 1; k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
            (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            return false;
        i += len;
    }
    return true;
}

QString DisplayText(const std::string& text) {
    const auto size = static_cast<qsizetype>(text.size());
    if (IsValidUtf8(text)) return QString::fromUtf8(text.data(), size);
    return QString::fromLatin1(text.data(), size);
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
