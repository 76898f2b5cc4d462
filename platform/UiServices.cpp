#include "UiServices.h"

#include <cstdio>

namespace platform {

namespace {
ConsoleUiServices consoleServices;
UiServices* current = &consoleServices;
}  // namespace

UiServices& Ui() { return *current; }

UiServices* SetUi(UiServices* services)
{
    UiServices* previous = current;
    current = services ? services : &consoleServices;
    return previous == &consoleServices ? nullptr : previous;
}

void ConsoleUiServices::ShowMessage(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace platform
