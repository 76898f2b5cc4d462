// Fernpack, the desktop archive manager: program start.
#include <string>
#include <vector>

#include "app/FernpackApplication.h"
#include "app/Program.h"
#include "app/QtUiServices.h"
#include "platform/UiServices.h"

int main(int argc, char** argv)
{
    app::TFernpackApplication application(argc, argv);
    app::QtUiServices ui;
    platform::ScopedUi scope(ui);
    app::StartOptions options;
    // What the toolkit left of the command line, byte for byte.
    for (int i = 1; i < argc; ++i)
        options.Arguments.emplace_back(argv[i]);
    app::TProgram program(options);
    return program.Run();
}
