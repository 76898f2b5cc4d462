#include "app/sfxunit.h"

#include "app/Fonts.h"

namespace app {

TMakeSFX::TMakeSFX(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Make Self Extracting Archive"));
    setFont(UiFont(MainFontPixels));
}

}  // namespace app
