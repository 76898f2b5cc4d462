#include "app/QtUiServices.h"

#include <QCoreApplication>

#include "app/MessageBoxes.h"
#include "app/NameText.h"

namespace app {

void QtUiServices::ShowMessage(const std::string& text) { ShowPlainBox(VisibleMessage(text)); }

void QtUiServices::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace app
