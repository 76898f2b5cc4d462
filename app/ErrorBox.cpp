#include "app/ErrorBox.h"

#include <QCoreApplication>
#include <exception>

#include "app/AppServices.h"
#include "app/Translate.h"

namespace app {

std::string ErrorBoxText(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

TopLevelErrors& TopLevelErrors::Instance()
{
    static TopLevelErrors errors;
    return errors;
}

void TopLevelErrors::ReportCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const std::exception& e) {
            Report(e.what());
        } catch (...) {
            Report(Tr("TMainform", "Unknown error"));
        }
    } catch (...) {
        // Out of memory while reporting: nothing sensible is left to show.
    }
}

void TopLevelErrors::Report(const std::string& message)
{
    if (silenced_)
        return;
    const std::string text = ErrorBoxText(message);
    if (!active_.insert(text).second)
        return;
    auto* app = QCoreApplication::instance();
    if (app == nullptr) {
        Show(text);
        return;
    }
    QMetaObject::invokeMethod(app, [this, text] { Show(text); }, Qt::QueuedConnection);
}

void TopLevelErrors::Show(const std::string& text)
{
    if (!silenced_) {
        try {
            Dialogs().ErrorBox(text);
        } catch (...) {
            active_.erase(text);
            throw;
        }
    }
    active_.erase(text);
}

}  // namespace app
