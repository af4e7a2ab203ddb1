// Opens port COM1 (JENWAY_COM1 names its device) as the user it runs as, and writes what the
// program would tell that user: the tests run it as a user who may not open the device.
#include "instrument/ApdComPort.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    TApdComPort voie;
    try {
        voie.SetOpen(true);
        std::puts("ouvert");
        return 0;
    } catch (const std::exception& erreur) {
        std::puts(erreur.what());
        return 1;
    }
}
