#include "app/ProgramIcon.h"

#include <QPainter>
#include <QSvgRenderer>

// The resources live in a static library: they must be registered by hand,
// from the global namespace.
static void RegisterResources() { Q_INIT_RESOURCE(app); }

namespace {
const char* const IconPath = ":/fernpack/fernpack.svg";
}  // namespace

namespace app {

QIcon ProgramIcon()
{
    // Drawn here at the usual sizes, so no image plugin has to be found.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(ProgramPicture(size, 1.0));
    return icon;
}

QPixmap ProgramPicture(int size, qreal pixelRatio)
{
    RegisterResources();
    QPixmap pixmap(qRound(size * pixelRatio), qRound(size * pixelRatio));
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(QString::fromLatin1(IconPath));
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

}  // namespace app
