// The instrument misbehaving during a kinetics run: whatever it does, the points taken stay,
// nothing hangs, the user is told where they must act and the run can go on.
#include "ProgrammeSimule.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "shell/FormMain.h"

#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct TCasCinetique {
    const char* nom;
    QByteArray panne;  // control line of the simulator
    int pointsPendant; // points the three readings under the fault add
    bool avis;         // the status bar asks the user to look at the instrument
};

const TCasCinetique kCas[] = {
    {"Muet", "panne silence", 0, true},
    {"Charabia", "panne charabia", 0, true},
    {"DelugeSansRetourChariot", "panne deluge", 0, true},
    {"LignesDe300Caracteres", "panne longue", 3, false},
    {"LectureBouchee", "panne bouchee", 0, true},
};

class FautesCinetique : public ProgrammeSimule {
protected:
    void SetUp() override {
        Lance();
        f = CinetiqueForm;
        FormMain->ChoixMode(2);
        f->Timer->blockSignals(true); // fired by the test only
        ASSERT_TRUE(simulateur->Controle("cuve cinetique"));
        f->LambdaBtn->click();
        f->ZeroBtn->click();
        f->StartBtn->click();
        for (int i = 0; i < 3; ++i)
            Tic();
        ASSERT_EQ(f->Graphe->Courbe.NbPoints, 4);
        avant = Points(f->Graphe->Courbe);
    }

    void Tic() {
        ASSERT_EQ(f->Etat(), TCinetiqueForm::EtatAcquisition);
        f->Timer->blockSignals(false);
        QMetaObject::invokeMethod(f->Timer, "timeout");
        f->Timer->blockSignals(true);
    }
    // Readings until one gives a point (the first after a fault may still read its leftovers).
    bool NouveauPoint() {
        const int n = f->Graphe->Courbe.NbPoints;
        for (int i = 0; i < 3 && f->Graphe->Courbe.NbPoints == n; ++i)
            Tic();
        return f->Graphe->Courbe.NbPoints == n + 1;
    }
    QList<QPointF> PremiersPoints(int n) const { return Points(f->Graphe->Courbe).mid(0, n); }
    QString Aide() const { return f->StatusBar->currentMessage(); }

    TCinetiqueForm* f = nullptr;
    QList<QPointF> avant;
};

class FautesCinetiqueParCas : public FautesCinetique,
                              public ::testing::WithParamInterface<TCasCinetique> {};

TEST_P(FautesCinetiqueParCas, LaMesureContinueEtReprendQuandLAppareilSeRemet) {
    const TCasCinetique& cas = GetParam();
    ASSERT_TRUE(simulateur->Controle(cas.panne));
    for (int i = 0; i < 3; ++i)
        Tic();
    EXPECT_EQ(f->Etat(), TCinetiqueForm::EtatAcquisition);
    EXPECT_EQ(f->Graphe->Courbe.NbPoints, 4 + cas.pointsPendant);
    EXPECT_EQ(PremiersPoints(4), avant);
    for (int i = 4; i < f->Graphe->Courbe.NbPoints; ++i)
        EXPECT_NEAR(f->Graphe->Courbe.Y[i], avant.last().y(), 0.2); // read in full, not cut
    EXPECT_EQ(Aide().contains("vérifiez qu'il est allumé et relié"), cas.avis)
        << Aide().toStdString();
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();

    ASSERT_TRUE(simulateur->Controle("panne aucune"));
    ASSERT_TRUE(NouveauPoint());
    EXPECT_TRUE(Aide().isEmpty()) << Aide().toStdString();
    EXPECT_EQ(PremiersPoints(4), avant);
}

INSTANTIATE_TEST_SUITE_P(Pannes, FautesCinetiqueParCas, ::testing::ValuesIn(kCas),
                         [](const auto& cas) { return std::string(cas.param.nom); });

// The adapter pulled out between two readings or while one waits: the run stops with its
// points, the main window tells the user once, the points can be saved, and once the adapter is
// back and the mode chosen again a new run goes on.
TEST_F(FautesCinetique, AppareilDebrancheEntreDeuxLecturesOuPendantUne) {
    for (const bool pendantLecture : {false, true}) {
        SCOPED_TRACE(pendantLecture ? "pendant une lecture" : "entre deux lectures");
        boites.Vues.clear();
        if (pendantLecture) {
            ASSERT_TRUE(simulateur->Controle("panne silence"));
            QTimer::singleShot(100, f, [this] { simulateur->ControleSansAttendre("debranche"); });
            Tic();
            ASSERT_TRUE(Attend([] { return !Spectro.Voie->Open(); }, 2000));
        } else {
            Debranche();
        }
        EXPECT_EQ(f->Etat(), TCinetiqueForm::EtatFini);
        EXPECT_FALSE(f->Timer->isActive());
        EXPECT_EQ(Points(f->Graphe->Courbe), avant);
        ASSERT_EQ(boites.Vues.size(), 1u);
        EXPECT_TRUE(boites.Vues[0].Texte.contains("débranché"));

        boites.NomsFichiers = {Fichier(QStringLiteral("cinetique.txt"))};
        f->FileSaveBtn->click();
        EXPECT_EQ(PointsDuFichier(Fichier(QStringLiteral("cinetique.txt"))), avant);

        // Starting again before the adapter is back: told how, nothing else happens.
        f->ResetBtn->click();
        f->StartBtn->click();
        ASSERT_EQ(boites.Vues.size(), 2u);
        EXPECT_TRUE(boites.Vues[1].Texte.contains("rebranchez l'appareil"));
        EXPECT_EQ(f->Etat(), TCinetiqueForm::EtatPret);

        Rebranche(2);
        ASSERT_TRUE(simulateur->Controle("cuve cinetique"));
        f->StartBtn->click();
        for (int i = 0; i < 3; ++i)
            Tic();
        EXPECT_EQ(f->Graphe->Courbe.NbPoints, 4);
        EXPECT_EQ(boites.Vues.size(), 2u) << boites.Textes().join(" / ").toStdString();
        avant = Points(f->Graphe->Courbe);
    }
}

} // namespace
