// The program's three kinds of box, built one way everywhere: modal, centred
// on the screen, plain text only (a name full of markup shows as typed);
// Ctrl+C copies a box's text.
//   plain:        caption "Fernpack", no icon, "OK"
//   confirmation: caption "Confirm", question icon, "&Yes" and "&No"
//   error:        caption "Fernpack", error icon, "OK"
#pragma once

#include <QString>

namespace app {

void ShowPlainBox(const QString& text);
// True only for Yes.
bool ShowConfirmBox(const QString& question);
void ShowErrorBox(const QString& text);

}  // namespace app
