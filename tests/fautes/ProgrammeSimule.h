#pragma once

#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "shell/Fenetres.h"

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

class Tcourbe;

// The whole program's windows with the simulated instrument on COM1, a point as decimal
// separator, boxes recorded and files in a temporary folder.
class ProgrammeSimule : public ::testing::Test {
protected:
    void TearDown() override;

    // `reglages` changes the instrument settings before the windows are created.
    void Lance(const QStringList& options = SansDelai(),
               const std::function<void()>& reglages = {});
    // The adapter plugged back in (a new line on COM1) and the mode chosen again from the main
    // window, which reopens the port.
    void Rebranche(quint8 mode, const QStringList& options = SansDelai());
    // Pulls the adapter out and waits until the program has closed its port.
    void Debranche();
    QString Fichier(const QString& nom) const { return dossier.filePath(nom); }

    static QStringList SansDelai();

    TRegionalTemporaire regional{u'.'};
    TBoitesScriptees boites;
    QTemporaryDir dossier;
    std::optional<TSimulateurLance> simulateur;
    std::unique_ptr<TFenetres> fenetres;
};

// The points of a saved ASCII file: every line of two numbers separated by a tab.
QList<QPointF> PointsDuFichier(const QString& chemin);
// The points of a curve, for comparing before and after.
QList<QPointF> Points(const Tcourbe& courbe);
// Resident memory of this process, in kilobytes.
qint64 MemoireResidenteKo();
