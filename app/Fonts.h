// The windows' fonts: Arial where it is installed, else Liberation Sans,
// which has Arial's metrics, so texts take the places the layout gives them.
// Sizes are pixel sizes, so the layout holds at any screen resolution.
#pragma once

#include <QFont>
#include <QString>

namespace app {

// The family the windows are drawn in.
QString UiFamily();

// The window font at `pixels` pixels high (12 for the main window, 11 for
// the smaller labels and the messages window).
QFont UiFont(int pixels, bool bold = false);

inline constexpr int MainFontPixels = 12;
inline constexpr int SmallFontPixels = 11;

}  // namespace app
