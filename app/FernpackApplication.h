// The Qt application of Fernpack: its title, and the net under every event
// handler. An exception that leaves the handling of an event is caught here
// and goes to the top-level error box (queued until the event is done);
// the event loop goes on.
#pragma once

#include <QApplication>

namespace app {

class TFernpackApplication : public QApplication {
    Q_OBJECT

public:
    TFernpackApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace app
