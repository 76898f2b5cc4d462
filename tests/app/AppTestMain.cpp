// Runs the window tests inside the program's own application object (so
// its error net is the one under test), on the offscreen platform.
#include <gtest/gtest.h>

#include "app/FernpackApplication.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    app::TFernpackApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
