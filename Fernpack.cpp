// Fernpack, the desktop archive manager: program start.
#include <string>
#include <vector>

#include <QGuiApplication>

#include "app/FernpackApplication.h"
#include "app/Program.h"
#include "app/QtUiServices.h"
#include "app/Translations.h"
#include "platform/UiServices.h"

int main(int argc, char** argv)
{
    app::TFernpackApplication application(argc, argv);
    // Lets desktops match the windows to the installed fernpack.desktop
    // (its icon, its name in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("fernpack"));
    // The windows speak the user's language (LANGUAGE, LC_ALL, LC_MESSAGES,
    // LANG) when there is a translation for it, English otherwise.
    const app::TTranslations translations(QLocale::system(), app::TTranslations::Folders());
    app::QtUiServices ui;
    platform::ScopedUi scope(ui);
    // What the toolkit left of the command line, byte for byte.
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    app::TProgram program(app::ParseCommandLine(arguments));
    return program.Run();
}
