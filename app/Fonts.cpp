#include "app/Fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QWidget>
#include <cmath>
#include <utility>
#include <vector>

namespace app {

QString UiFamily()
{
    static const QString family =
        QFontDatabase::hasFamily(QStringLiteral("Arial")) ? QStringLiteral("Arial") : QStringLiteral("Liberation Sans");
    return family;
}

QFont UiFont(int pixels, bool bold)
{
    QFont font(UiFamily());
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

namespace {
// The toolkit's default font, 9 points at 96 dots per inch, in pixels.
constexpr double DefaultFontPixels = 12.0;
}  // namespace

double FontScale()
{
    const int pixels = QFontInfo(QApplication::font()).pixelSize();
    return pixels > 0 ? pixels / DefaultFontPixels : 1.0;
}

int ScaledPixels(int pixels) { return std::max(1, static_cast<int>(std::lround(pixels * FontScale()))); }

void ScaleFonts(QWidget& window)
{
    // Sizes are read before any is set: a widget that takes its font from
    // its parent would otherwise grow twice.
    std::vector<std::pair<QWidget*, QFont>> fonts;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets)
        if (w->testAttribute(Qt::WA_SetFont) && w->font().pixelSize() > 0)
            fonts.emplace_back(w, w->font());
    for (auto& [widget, font] : fonts) {
        font.setPixelSize(ScaledPixels(font.pixelSize()));
        widget->setFont(font);
    }
}

}  // namespace app
