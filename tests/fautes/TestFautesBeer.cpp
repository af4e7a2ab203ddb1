// The instrument misbehaving while Beer-Lambert points are taken: nothing recorded from a bad
// reading, the points already in the table stay, the user is told and takes the point again.
#include "ProgrammeSimule.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "shell/FormMain.h"

#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct TCasBeer {
    const char* nom;
    QByteArray panne;
    bool point; // the reading under the fault still gives a point
};

const TCasBeer kCas[] = {
    {"Muet", "panne silence", false},
    {"Charabia", "panne charabia", false},
    {"DelugeSansRetourChariot", "panne deluge", false},
    {"LignesDe300Caracteres", "panne longue", true},
    {"LectureBouchee", "panne bouchee", false},
};

constexpr const char* kPasDeMesure = "Pas de mesure : l'appareil n'a pas répondu";

class FautesBeer : public ProgrammeSimule {
protected:
    void SetUp() override {
        Lance();
        f = BeerForm;
        FormMain->ChoixMode(3);
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
        ASSERT_TRUE(simulateur->Controle("absorbance 0.25"));
        for (int i = 0; i < 3; ++i)
            Espace();
        ASSERT_EQ(f->Graphe.Courbe.NbPoints, 3);
        avant = Points(f->Graphe.Courbe);
    }
    void Espace() { QTest::keyClick(f->EnregistreEdit, Qt::Key_Space); }
    // Points taken until one is recorded (the first after a fault may still read its leftovers).
    bool NouveauPoint() {
        const int n = f->Graphe.Courbe.NbPoints;
        for (int i = 0; i < 3 && f->Graphe.Courbe.NbPoints == n; ++i)
            Espace();
        return f->Graphe.Courbe.NbPoints == n + 1;
    }
    QString Aide() const { return f->StatusBar->currentMessage(); }

    TBeerForm* f = nullptr;
    QList<QPointF> avant;
};

class FautesBeerParCas : public FautesBeer, public ::testing::WithParamInterface<TCasBeer> {};

TEST_P(FautesBeerParCas, RienDEnregistreSansMesureEtLePointSeReprend) {
    const TCasBeer& cas = GetParam();
    ASSERT_TRUE(simulateur->Controle(cas.panne));
    Espace();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, cas.point ? 4 : 3);
    EXPECT_EQ(Points(f->Graphe.Courbe).mid(0, 3), avant);
    if (cas.point) {
        EXPECT_DOUBLE_EQ(f->Graphe.Courbe.Y[3], 0.25);
    }
    EXPECT_EQ(Aide().startsWith(kPasDeMesure), !cas.point) << Aide().toStdString();
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
    EXPECT_TRUE(f->EnregistreBtn->isEnabled());

    ASSERT_TRUE(simulateur->Controle("panne aucune"));
    ASSERT_TRUE(NouveauPoint());
    EXPECT_EQ(Points(f->Graphe.Courbe).mid(0, 3), avant);
}

INSTANTIATE_TEST_SUITE_P(Pannes, FautesBeerParCas, ::testing::ValuesIn(kCas),
                         [](const auto& cas) { return std::string(cas.param.nom); });

// The adapter pulled out between two points or while a reading waits: told once by the main
// window, the table kept and savable, the instrument's buttons say how to get it back, and
// with the adapter back and the mode chosen again the points go on.
TEST_F(FautesBeer, AppareilDebrancheEntreDeuxPointsOuPendantUneLecture) {
    for (const bool pendantLecture : {false, true}) {
        SCOPED_TRACE(pendantLecture ? "pendant une lecture" : "entre deux points");
        boites.Vues.clear();
        if (pendantLecture) {
            ASSERT_TRUE(simulateur->Controle("panne silence"));
            QTimer::singleShot(100, f, [this] { simulateur->ControleSansAttendre("debranche"); });
            Espace();
            ASSERT_TRUE(Attend([] { return !Spectro.Voie->Open(); }, 2000));
        } else {
            Debranche();
        }
        const QList<QPointF> pris = Points(f->Graphe.Courbe);
        EXPECT_EQ(pris.mid(0, avant.size()), avant);
        ASSERT_EQ(boites.Vues.size(), 1u);
        EXPECT_TRUE(boites.Vues[0].Texte.contains("débranché"));

        boites.NomsFichiers = {Fichier(QStringLiteral("beer.txt"))};
        f->FileSaveBtn->click();
        EXPECT_EQ(PointsDuFichier(Fichier(QStringLiteral("beer.txt"))), pris);

        for (const auto& action : std::initializer_list<std::function<void()>>{
                 [this] { Espace(); }, [this] { f->ZeroBtn->click(); },
                 [this] {
                     f->MajBtn->click();
                 }}) {
            boites.Vues.resize(1);
            action();
            ASSERT_EQ(boites.Vues.size(), 2u);
            EXPECT_TRUE(boites.Vues[1].Texte.contains("rebranchez l'appareil"));
        }
        EXPECT_EQ(Points(f->Graphe.Courbe), pris);

        Rebranche(3);
        ASSERT_TRUE(simulateur->Controle("absorbance 0.25"));
        ASSERT_TRUE(NouveauPoint());
        avant = Points(f->Graphe.Courbe);
    }
}

} // namespace
