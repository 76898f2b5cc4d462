// The program's icon, our own SVG drawing, at any size: the windows' icon,
// the About box's 48 x 48 picture and (later) the desktop entry's.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

QIcon ProgramIcon();
// The icon drawn at `size` x `size` pixels at the given pixel density.
QPixmap ProgramPicture(int size, qreal pixelRatio);

}  // namespace app
