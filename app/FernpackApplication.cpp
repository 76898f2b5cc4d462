#include "app/FernpackApplication.h"

#include "app/ErrorBox.h"
#include "app/Texts.h"

namespace app {

TFernpackApplication::TFernpackApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // The name, not the display name: a display name would be appended to
    // every window's caption.
    setApplicationName(QString::fromUtf8(text::ApplicationTitle));
}

bool TFernpackApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        TopLevelErrors::Instance().ReportCurrentException();
        return false;
    }
}

}  // namespace app
