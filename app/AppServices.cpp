#include "app/AppServices.h"

#include "app/QtAppServices.h"

namespace app {

namespace {
AppServices* installed = nullptr;
}  // namespace

AppServices& Dialogs()
{
    static QtAppServices qtServices;
    return installed ? *installed : qtServices;
}

AppServices* SetDialogs(AppServices* services)
{
    AppServices* previous = installed;
    installed = services;
    return previous;
}

}  // namespace app
