#pragma once

#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <gtest/gtest.h>

#include <ctime>

// `Spectro` talking to the simulated instrument on COM1, in remote control.
class VoieSimulee : public ::testing::Test {
protected:
    void SetUp() override {
        Spectro = TspectroJenway{};
        Spectro.Voie = &voie;
        voie.SetOpen(true);
        Spectro.EnvoiCommande("R");
    }
    void TearDown() override { Spectro = TspectroJenway{}; }

    // The commands the instrument received, once it holds `nombre` of them.
    QList<QByteArray> Recues(int nombre) const {
        QList<QByteArray> lignes = simulateur.AttendJournal(nombre).split('\n');
        lignes.removeLast();
        return lignes;
    }

    TSimulateurLance simulateur;
    TApdComPort voie;
};

// CPU time used by this process, in milliseconds.
inline double MillisecondesCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
