// One main for every test program: a headless application, test-mode standard paths (so no
// test touches the user's documents or settings), a runtime folder of its own (the local
// sockets of the program and of the tools it starts go there, and go with it, as do the journals
// of the runs the tests take) and fixed regional settings. With JENWAY_LOCALE_C set
// (fr_FR.UTF-8), the C library's locale is that one, as on a desktop in that language, and a
// missing locale is an error.
#include "base/Application.h"
#include "base/Regional.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir execution;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(execution.path()));
    qputenv("JENWAY_JOURNAUX", QFile::encodeName(execution.filePath(QStringLiteral("journaux"))));
    QStandardPaths::setTestModeEnabled(true);
    TApplication application(argc, argv);
    const QByteArray localeC = qgetenv("JENWAY_LOCALE_C");
    if (!localeC.isEmpty() && !std::setlocale(LC_ALL, localeC.constData())) {
        std::fprintf(stderr, "locale %s absente : installez-la (locale-gen)\n",
                     localeC.constData());
        return 1;
    }
    FixeRegional(TParametresRegionaux{});
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
