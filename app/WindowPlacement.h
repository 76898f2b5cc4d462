// Window places. Where the windowing system lets a program place its windows
// (X11), a window can be centred on the screen and keeps wherever the user
// moved it; elsewhere (Wayland) placing is the compositor's business and
// these calls leave the window alone.
#pragma once

class QWidget;

namespace app {

bool ProgramPlacesWindows();

// Moves a top-level window so its frame stands in the middle of the
// available area of its screen.
void CentreOnScreen(QWidget& window);

}  // namespace app
