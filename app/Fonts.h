// The windows' fonts: Arial where it is installed, else Liberation Sans,
// which has Arial's metrics, so texts take the places the layout gives them.
// The windows are built with the design's pixel sizes; ScaleFonts then
// brings them to the size the user reads: as much larger (or smaller) as the
// desktop's font is than the toolkit's default of 9 points at 96 dots per
// inch (12 pixels, the main window's design size). Screen scaling (high
// resolution) is the toolkit's and changes nothing here.
#pragma once

#include <QFont>
#include <QString>

class QWidget;

namespace app {

// The family the windows are drawn in.
QString UiFamily();

// The window font at `pixels` pixels high (12 for the main window, 11 for
// the smaller labels and the messages window).
QFont UiFont(int pixels, bool bold = false);

inline constexpr int MainFontPixels = 12;
inline constexpr int SmallFontPixels = 11;

// The desktop font's size over the toolkit's default: 1 at the default.
double FontScale();
// `pixels` at the user's size.
int ScaledPixels(int pixels);
// Every font set on `window` and on the widgets in it, at the user's size.
void ScaleFonts(QWidget& window);

}  // namespace app
