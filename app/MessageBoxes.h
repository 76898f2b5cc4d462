// The program's three kinds of box, built one way everywhere: modal, centred
// on the screen, plain text only (a name full of markup shows as typed);
// Ctrl+C copies a box's text.
//   plain:        caption "Fernpack", no icon, "OK"
//   confirmation: caption "Confirm", question icon, "&Yes" and "&No" (or
//                 buttons of the question's own)
//   error:        caption "Fernpack", error icon, "OK"
#pragma once

#include <QString>
#include <QStringList>

namespace app {

void ShowPlainBox(const QString& text);
// True only for Yes.
bool ShowConfirmBox(const QString& question);
// A confirmation with buttons of its own, the first the default, the last
// pressed by Esc: the index of the one pressed, -1 when closed otherwise.
int ShowChoiceBox(const QString& question, const QStringList& buttons);
void ShowErrorBox(const QString& text);

}  // namespace app
