#include "app/Fonts.h"

#include <QFontDatabase>

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

}  // namespace app
