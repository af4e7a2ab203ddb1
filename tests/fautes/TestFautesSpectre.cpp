// The instrument misbehaving during a baseline or a scan: the points received stay, the window
// never waits for ever, the user is told what to do and the next scan works.
#include "ProgrammeSimule.h"
#include "base/Controles.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include <cmath>

namespace {

enum class TQuand { LigneDeBase, Balayage };

struct TCasSpectre {
    const char* nom;
    QByteArray panne;
    TQuand quand;
    int points;       // points kept: -1 for a scan cut somewhere along the way
    const char* aide; // what the status bar then says, or nullptr
};

constexpr const char* kBlancSansReponse = "Ligne de base sans réponse de l'appareil";
constexpr const char* kBalayageIllisible =
    "l'appareil ne répond plus ou envoie des lignes illisibles";

const TCasSpectre kCas[] = {
    {"BlancMuet", "panne silence", TQuand::LigneDeBase, 0, kBlancSansReponse},
    {"BlancDeluge", "panne deluge", TQuand::LigneDeBase, 0, kBlancSansReponse},
    {"BlancBouche", "panne bouchee", TQuand::LigneDeBase, 0, kBlancSansReponse},
    {"BalayageMuet", "panne silence", TQuand::Balayage, 0, kBalayageIllisible},
    {"BalayageCoupeEnRoute", "panne coupure", TQuand::Balayage, 40, kBalayageIllisible},
    {"BalayageCharabia", "panne charabia", TQuand::Balayage, 0, kBalayageIllisible},
    {"BalayageDeluge", "panne deluge", TQuand::Balayage, 0, kBalayageIllisible},
    {"BalayageBouche", "panne bouchee", TQuand::Balayage, 0, kBalayageIllisible},
    {"LignesDe300Caracteres", "panne longue", TQuand::Balayage, 81, nullptr},
};

class FautesSpectre : public ProgrammeSimule {
protected:
    void Ouvre(const QStringList& options = SansDelai()) {
        Lance(options);
        f = TraceSpectre;
        // Well above the simulator's pace: its baseline answers after half a second.
        f->Recepteur.DelaiLigneDeBase =
            options.contains(QStringLiteral("--sans-delai")) ? 400 : 3000;
        f->Recepteur.DelaiBalayage = 400;
        FormMain->ChoixMode(1);
        AttendReglage();
    }
    // The window sets the instrument up at each activation; clicks meanwhile are not taken.
    void AttendReglage() {
        ASSERT_TRUE(Attend([this] { return f->isActiveWindow() && !f->ReglageEnCours(); }));
    }
    void Plage(int pas) {
        f->FinSE->SetValue(800);
        f->DebutSE->SetValue(400);
        f->PasCB->setCurrentIndex(pas);
    }
    void Blanc() {
        f->BlancBtn->click();
        ASSERT_TRUE(Attend([this] { return f->Recepteur.BlancFait(); }));
    }
    void Spectre() {
        f->SpectreBtn->click();
        ASSERT_EQ(f->Recepteur.Etat(), TEtatSpectre::BalayageEnCours);
    }
    bool AuRepos(int ms = 5000) {
        return Attend([this] { return f->Recepteur.Etat() == TEtatSpectre::Repos; }, ms);
    }
    QString Aide() const { return f->Panels[2]->text(); }
    // After a fault: the settings can be changed, and a baseline when needed and a scan work
    // again in full.
    void Reprend() {
        EXPECT_TRUE(f->DebutSE->isEnabled());
        EXPECT_TRUE(f->BlancBtn->isEnabled());
        ASSERT_TRUE(simulateur->Controle("panne aucune"));
        Plage(2);
        if (!f->Recepteur.BlancFait())
            Blanc();
        Spectre();
        ASSERT_TRUE(AuRepos());
        EXPECT_EQ(f->Graphe.Courbe.NbPoints, 81);
        EXPECT_DOUBLE_EQ(f->Graphe.Courbe.X[80], 800);
        f->Sauve = true;
    }

    TTraceSpectre* f = nullptr;
};

// One window goes through every fault in turn, each followed by a full scan.
TEST_F(FautesSpectre, LesPointsRestentEtLeSpectreSuivantSeFait) {
    Ouvre();
    Plage(2);
    Blanc();
    for (const TCasSpectre& cas : kCas) {
        SCOPED_TRACE(cas.nom);
        ASSERT_TRUE(simulateur->Controle(cas.panne));
        if (cas.quand == TQuand::LigneDeBase)
            f->BlancBtn->click();
        else
            Spectre();
        ASSERT_TRUE(AuRepos());
        const Tcourbe& courbe = f->Graphe.Courbe;
        if (cas.quand == TQuand::Balayage) {
            EXPECT_EQ(courbe.NbPoints, cas.points);
            EXPECT_TRUE(f->Recepteur.BlancFait()); // the baseline done before still holds
        }
        for (int i = 0; i < courbe.NbPoints; ++i)
            ASSERT_DOUBLE_EQ(courbe.X[i], 400 + 5 * i);
        if (cas.aide) {
            EXPECT_TRUE(Aide().contains(cas.aide)) << Aide().toStdString();
        }
        EXPECT_EQ(f->FileSaveBtn->isEnabled(), courbe.NbPoints > 0);
        EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
        if (cas.quand == TQuand::Balayage && courbe.NbPoints > 0) {
            EXPECT_FALSE(f->Sauve);
            const QList<QPointF> pris = Points(courbe);
            boites.NomsFichiers = {Fichier(QStringLiteral("spectre.txt"))};
            f->FileSaveBtn->click();
            EXPECT_EQ(PointsDuFichier(Fichier(QStringLiteral("spectre.txt"))), pris);
        }
        ASSERT_NO_FATAL_FAILURE(Reprend());
    }
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
}

// One spoilt line costs one point, never the rest of the scan nor a false point at its place: a
// byte 0xFF in line 150 of 401, the first digit of the first line changed (400.0 sent as 900.0,
// beyond the range), one byte changed at random in 1 % of 2001 lines.
TEST_F(FautesSpectre, UneLigneAbimeeCouteUnPointAuPlus) {
    const struct {
        const char* panne;
        int pas; // index of the step
        int lignes;
        int pointsAuMoins;
        double perdu; // the wavelength that must be missing, or 0
    } cas[] = {
        {"panne octet 150", 1, 401, 400, 549},
        {"panne chiffre 1", 1, 401, 400, 400},
        {"panne alteration 0.01", 0, 2001, 1960, 0},
    };
    Ouvre();
    for (const auto& c : cas) {
        SCOPED_TRACE(c.panne);
        ASSERT_TRUE(simulateur->Controle("panne aucune"));
        Plage(c.pas);
        if (!f->Recepteur.BlancFait())
            Blanc();
        ASSERT_TRUE(simulateur->Controle(c.panne));
        Spectre();
        ASSERT_TRUE(AuRepos(10000));
        const Tcourbe& courbe = f->Graphe.Courbe;
        EXPECT_GE(courbe.NbPoints, c.pointsAuMoins);
        EXPECT_LT(courbe.NbPoints, c.lignes);
        const double pas = c.pas == 0 ? 0.2 : 1;
        for (int i = 0; i < courbe.NbPoints; ++i) {
            const double rang = (courbe.X[i] - 400) / pas;
            ASSERT_NEAR(rang, std::round(rang), 1e-6) << i; // a wavelength of the scan
            ASSERT_NE(courbe.X[i], c.perdu);
            if (i > 0) {
                ASSERT_GT(courbe.X[i], courbe.X[i - 1]);
            }
        }
        EXPECT_EQ(courbe.X[courbe.NbPoints - 1], 800);
        f->Sauve = true;
    }
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
}

// The adapter pulled out during the baseline or in the middle of a paced scan: the main window
// tells the user once, the points received stay, and with the adapter back and the mode chosen
// again the next baseline and scan work.
TEST_F(FautesSpectre, AppareilDebrancheEnPleinBlancOuEnPleinBalayage) {
    const QStringList rapide = {QStringLiteral("--baud"), QStringLiteral("115200")};
    for (const TQuand quand : {TQuand::LigneDeBase, TQuand::Balayage}) {
        SCOPED_TRACE(quand == TQuand::Balayage ? "balayage" : "ligne de base");
        if (!f) {
            Ouvre(rapide);
        } else {
            Rebranche(1, rapide);
            AttendReglage();
        }
        boites.Vues.clear();
        Plage(0); // 0.2 nm: 2001 lines, about two seconds on the line
        int pris = 0;
        if (quand == TQuand::Balayage) {
            Blanc();
            Spectre();
            ASSERT_TRUE(Attend([this] { return f->Graphe.Courbe.NbPoints >= 100; }));
            Debranche();
            pris = f->Graphe.Courbe.NbPoints;
            EXPECT_LT(pris, 2001);
        } else {
            f->BlancBtn->click(); // the instrument answers after half a second
            Debranche();
        }
        ASSERT_TRUE(AuRepos(0));
        EXPECT_FALSE(f->Recepteur.BlancFait());
        EXPECT_EQ(f->Graphe.Courbe.NbPoints, pris);
        EXPECT_EQ(f->FileSaveBtn->isEnabled(), pris > 0);
        ASSERT_EQ(boites.Vues.size(), 1u);
        EXPECT_TRUE(boites.Vues[0].Texte.contains("débranché"));
        EXPECT_TRUE(Aide().contains("l'appareil ne répond plus")) << Aide().toStdString();

        f->BlancBtn->click(); // before the adapter is back: told how
        ASSERT_EQ(boites.Vues.size(), 2u);
        EXPECT_TRUE(boites.Vues[1].Texte.contains("rebranchez l'appareil"));
    }
    Rebranche(1);
    AttendReglage();
    Reprend();
}

} // namespace
