#include "app/Addunit.h"

#include "app/Fonts.h"

namespace app {

TAddForm::TAddForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Add Files"));
    setFont(UiFont(MainFontPixels));
}

}  // namespace app
