// One main for every test program: a headless application, test-mode standard paths (so no
// test touches the user's documents or settings) and fixed regional settings.
#include "shell/Application.h"
#include "shell/Regional.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TApplication application(argc, argv);
    FixeRegional(TParametresRegionaux{});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
