// Runs the window tests inside the program's own application object (so
// its error net is the one under test), on the offscreen platform.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "app/FernpackApplication.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // The archives opened last are kept in a settings file of this run,
    // never in the user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    app::TFernpackApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
