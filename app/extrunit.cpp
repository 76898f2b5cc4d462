#include "app/extrunit.h"

#include "app/Fonts.h"

namespace app {

TExtract::TExtract(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Extract Directory"));
    setFont(UiFont(MainFontPixels));
}

}  // namespace app
