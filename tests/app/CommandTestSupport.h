// Driving the command dialogs from the window tests: a modal dialog runs its
// own event loop, so what a user would do in it is queued before the
// command opens it and runs once it is up.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

namespace apptest {

// Runs `act` on the next modal dialog once it is shown; if `act` leaves it
// open, it is closed (cancelled) so the test never hangs. Returns a flag
// that tells whether a modal dialog came up.
template <typename Dialog>
std::shared_ptr<bool> WhenModal(std::function<void(Dialog&)> act)
{
    auto shown = std::make_shared<bool>(false);
    QTimer::singleShot(0, [act, shown] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *shown = true;
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    return shown;
}

}  // namespace apptest
