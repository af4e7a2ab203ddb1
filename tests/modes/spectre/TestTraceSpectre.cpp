#include "FenetreSpectre.h"
#include "LigneBrute.h"
#include "SimulateurLance.h"
#include "base/Encodage.h"
#include "base/Utilitaires.h"
#include "graph/BoitePeinture.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <cstdio>

namespace {

int PixelsBleus(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == qRgb(0, 0, 255);
    return n;
}

// The commands of the journal that start with one of the scan set-up and action commands.
QList<QByteArray> Commandes(const QByteArray& journal) {
    QList<QByteArray> lignes = journal.split('\n');
    lignes.removeAll(QByteArray());
    return lignes;
}

class SpectreSimule : public FenetreSpectre {
protected:
    void SetUp() override { Ouvre(); }
    void Spectre() {
        F->SpectreBtn->click();
        ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    }

    TSimulateurLance simulateur;
};

TEST_F(SpectreSimule, LigneDeBasePuisSpectreDe400a800ParPasDe5) {
    QStatusTipEvent aide(F->SpectreBtn->statusTip()); // the pointer over the button
    QCoreApplication::sendEvent(F->SpectreBtn, &aide);
    EXPECT_EQ(F->Panels[2]->text(), "Acquisition d'un spectre");
    EXPECT_FALSE(F->SpectreBtn->isEnabled());
    EXPECT_FALSE(F->FileSaveBtn->isEnabled());
    ASSERT_TRUE(simulateur.Controle("cuve blanc"));
    Plage(400, 800, 2);
    LigneDeBase();
    ASSERT_TRUE(simulateur.Controle("cuve solution"));
    Spectre();

    const Tcourbe& courbe = F->Graphe.Courbe;
    ASSERT_EQ(courbe.NbPoints, 81);
    for (int i = 0; i < 81; ++i)
        ASSERT_DOUBLE_EQ(courbe.X[i], 400 + 5 * i);
    EXPECT_GT(courbe.Y[24], 0.7); // the band at 520 nm
    EXPECT_EQ(F->PanelLambda->text(), "800.0");
    EXPECT_FALSE(F->Sauve);
    for (QToolButton* b : {F->FileSaveBtn, F->ClipSaveBtn, F->RegSaveBtn, F->PrintBtn})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(F->SpectreBtn->isEnabled());
    EXPECT_TRUE(F->DebutSE->isEnabled());
    EXPECT_EQ(Spectro.PasL, 2);
    EXPECT_GT(PixelsBleus(F->PaintBox->Image()), 300);

    const QList<QByteArray> attendu = {"R[13]",       "SMA[13]",   "SB400.0[13]", "SE800.0[13]",
                                       "SI0.2[13]",   "SMA[13]",   "SB400.0[13]", "SE800.0[13]",
                                       "SI5.0[13]",   "PB[13]",    "SMA[13]",     "SB400.0[13]",
                                       "SE800.0[13]", "SI5.0[13]", "SS[13]"};
    EXPECT_EQ(Commandes(simulateur.Journal()), attendu);
}

TEST(TraceSpectre, CreationGrapheBornesEtBarreDOutils) {
    Spectro = TspectroJenway{};
    Spectro.MiniL = 330;
    Spectro.MaxiL = 900;
    Spectro.MaxiA = 2.5;
    Spectro.DebutL = 420;
    Spectro.FinL = 780;
    TTraceSpectre f;
    EXPECT_EQ(f.Graphe.MondeX.Nom.Octets(), "\x88");
    EXPECT_EQ(f.Graphe.MondeX.Unite.Octets(), "nm");
    EXPECT_EQ(f.Graphe.MondeY.Nom.Octets(), "A");
    EXPECT_TRUE(f.Graphe.MondeY.Unite.EstVide());
    EXPECT_EQ(f.Graphe.MondeX.Mini, 330);
    EXPECT_EQ(f.Graphe.MondeX.Maxi, 900);
    EXPECT_EQ(f.Graphe.MondeY.Mini, 0);
    EXPECT_EQ(f.Graphe.MondeY.Maxi, 2.5);
    EXPECT_EQ(f.Graphe.ModeTrace, 0);
    EXPECT_EQ(f.FinSE->MaxValue(), 900);
    EXPECT_EQ(f.FinSE->Value(), 780);
    EXPECT_EQ(f.FinSE->MinValue(), 470);
    EXPECT_EQ(f.DebutSE->MinValue(), 330);
    EXPECT_EQ(f.DebutSE->Value(), 420);
    EXPECT_EQ(f.DebutSE->MaxValue(), 730);
    EXPECT_EQ(f.PasCB->currentText(), "1.0 nm");
    EXPECT_EQ(f.Recepteur.Etat(), TEtatSpectre::Repos);
    for (QToolButton* b : {f.FileSaveBtn, f.ClipSaveBtn, f.RegSaveBtn, f.SpectreBtn, f.PrintBtn})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(f.BlancBtn->isEnabled());
    EXPECT_TRUE(f.ReticuleBtn->isCheckable());
    EXPECT_TRUE(f.windowState() & Qt::WindowMaximized);

    QStringList ordre;
    for (QAction* action : f.ToolBar->actions()) {
        QWidget* w = f.ToolBar->widgetForAction(action);
        ordre << (action->isSeparator() ? QStringLiteral("|") : w->objectName());
    }
    ordre.removeAll(QString()); // the spring that pushes the panels to the right
    EXPECT_EQ(ordre, QStringList({"FileSaveBtn", "ClipSaveBtn",    "RegSaveBtn",  "|",
                                  "SpectreBtn",  "BlancBtn",       "ReticuleBtn", "|",
                                  "DebutSE",     "PasCB",          "FinSE",       "|",
                                  "AjusteBtn",   "VueCompleteBtn", "TableauBtn",  "|",
                                  "PrintBtn",    "ExitBtn",        "|",           "PanelLambda",
                                  "PanelAbs"}));
    EXPECT_EQ(f.FileSaveBtn->statusTip(), "Sauvegarde de l'acquisition");
    EXPECT_TRUE(f.FileSaveBtn->toolTip().isEmpty());
    EXPECT_EQ(f.SpectreBtn->toolTip(), "Spectre");
    EXPECT_EQ(f.SpectreBtn->statusTip(), "Acquisition d'un spectre");
    EXPECT_EQ(f.FinSE->toolTip(), "Fin");
    EXPECT_EQ(f.RegSaveBtn->accessibleName(), "Appel de Tablarix avec les données courantes");
    Spectro = TspectroJenway{};
}

// A scan always spans at least 50 nm, whichever end the user moves.
TEST(TraceSpectre, RegleDesCinquanteNanometres) {
    Spectro = TspectroJenway{};
    TTraceSpectre f;
    f.show();
    f.FinSE->Edit().clear();
    QTest::keyClicks(&f.FinSE->Edit(), "600");
    EXPECT_EQ(f.DebutSE->MaxValue(), 550);
    f.DebutSE->Edit().clear();
    QTest::keyClicks(&f.DebutSE->Edit(), "400");
    EXPECT_EQ(f.FinSE->MinValue(), 450);
    QTest::keyClick(&f.FinSE->Edit(), Qt::Key_Up);
    EXPECT_EQ(f.FinSE->Value(), 610);
    EXPECT_EQ(f.DebutSE->MaxValue(), 560);
}

// The paint box's font is bold, and so is the text of the graph drawn in it.
TEST(TraceSpectre, TexteDuGrapheEnGras) {
    Spectro = TspectroJenway{};
    TTraceSpectre f;
    f.PaintBox->resize(600, 300);
    f.PaintBox->RepeintMaintenant();
    EXPECT_TRUE(f.PaintBox->Canevas().Police.Gras);
    Spectro = TspectroJenway{};
}

class SpectreLigneBrute : public FenetreLigneBrute {
protected:
    void LanceSpectre() {
        F->SpectreBtn->click();
        ASSERT_EQ(F->Recepteur.Etat(), TEtatSpectre::BalayageEnCours);
        ASSERT_TRUE(ligne.AttendRecu("SS\r", ++spectres));
    }
    // Lets the window read what was sent.
    void Lit() {
        Attend([] { return false; }, 60);
    }
};

// The scan asked for runs from 400 to 800 nm by 0.2 nm. Each carriage return ends a line, read or
// not; a line is a point only within one step of that range and beyond the previous point.
TEST_F(SpectreLigneBrute, LignesDuBalayage) {
    struct Point {
        double x, y;
    };
    const auto enCours = TEtatSpectre::BalayageEnCours;
    const auto fini = TEtatSpectre::Repos;
    const struct {
        const char* nom;
        QChar separateur;
        QByteArray envoi;
        std::vector<Point> points;
        TEtatSpectre etat;
    } cas[] = {
        {"point", u'.', "500.0,0.123\r", {{500, 0.123}}, enCours},
        {"virgule en tête", u'.', ",0.5\r510.0,0.2\r", {{510, 0.2}}, enCours},
        {"saut de ligne", u'.', "500.0,0.1\r\n510.0,-0.2\r\n", {{500, 0.1}, {510, -0.2}}, enCours},
        {"blancs et contrôles", u'.', "5 00.0,\t0.1\r", {{500, 0.1}}, enCours},
        {"dernier point",
         u'.',
         "790.0,0.1\r800.0,0.3\r810.0,0.4\r",
         {{790, 0.1}, {800, 0.3}},
         fini},
        {"un pas au-delà de la fin", u'.', "800.2,0.2\r", {{800.2, 0.2}}, fini},
        {"plus loin", u'.', "805.5,0.2\r800.0,0.3\r", {{800, 0.3}}, fini},
        {"avant le début", u'.', "399.6,0.2\r399.8,0.3\r", {{399.8, 0.3}}, enCours},
        {"chiffre changé",
         u'.',
         "400.0,0.1\r900.2,0.1\r400.4,0.1\r100.6,0.1\r400.8,0.1\r",
         {{400, 0.1}, {400.4, 0.1}, {400.8, 0.1}},
         enCours},
        {"en arrière",
         u'.',
         "500.0,0.1\r499.8,0.2\r500.0,0.3\r500.2,0.4\r",
         {{500, 0.1}, {500.2, 0.4}},
         enCours},
        {"octet 0xFF",
         u'.',
         "500.0,0.1\r50\xFF"
         "0.2,0.2\r500.4,0.3\r",
         {{500, 0.1}, {500.4, 0.3}},
         enCours},
        {"pas un nombre", u'.', "500.0,E#R?x\r500.2,0.1\r", {{500.2, 0.1}}, enCours},
        {"ligne trop longue", u'.', QByteArray(300, '9') + "\r500.0,0.1\r", {{500, 0.1}}, enCours},
        {"système à virgule", u',', "500.0,0.123\r", {{500, 0.123}}, enCours},
        {"système à virgule, point seul", u',', "500,0.123\r", {{500, 0.123}}, enCours},
        {"décimales à virgule",
         u'.',
         "500,0,0,123\r500,2,0.5\r500.4,0,25\r",
         {{500, 0.123}, {500.2, 0.5}, {500.4, 0.25}},
         enCours},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const TRegionalTemporaire regional(c.separateur);
        F->Graphe.Courbe.NbPoints = 7; // the previous spectrum goes when the scan starts
        F->Sauve = true;
        LanceSpectre();
        EXPECT_EQ(F->Graphe.Courbe.NbPoints, 0);
        EXPECT_EQ(F->Recepteur.Ligne().Longueur(), 0);
        ligne.Envoie(c.envoi);
        Lit();
        ASSERT_EQ(F->Graphe.Courbe.NbPoints, c.points.size());
        EXPECT_EQ(F->Sauve, c.points.empty()); // unsaved from its first point
        for (size_t i = 0; i < c.points.size(); ++i) {
            EXPECT_DOUBLE_EQ(F->Graphe.Courbe.X[i], c.points[i].x);
            EXPECT_DOUBLE_EQ(F->Graphe.Courbe.Y[i], c.points[i].y);
        }
        EXPECT_EQ(F->Recepteur.Etat(), c.etat);
        EXPECT_EQ(F->Recepteur.Ligne().Longueur(), 0);
        ligne.Envoie("800.0,0\r"); // the end of the scan, for the next one
        ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    }
}

TEST_F(SpectreLigneBrute, TextesDuPointDansLesPanneaux) {
    LanceSpectre();
    ligne.Envoie("500.0,0.123\r");
    ASSERT_TRUE(Attend([this] { return F->PanelAbs->text() == "0.123"; }));
    EXPECT_EQ(F->PanelLambda->text(), "500.0");
    EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::BalayageEnCours);
}

TEST_F(SpectreLigneBrute, RetourChariotAuReposSansEffet) {
    ligne.Envoie("0.5\r\r500.0,0.1\r");
    Lit();
    EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::Repos);
    EXPECT_TRUE(F->Recepteur.BlancFait());
    EXPECT_EQ(F->Graphe.Courbe.NbPoints, 0);
    EXPECT_TRUE(F->SpectreBtn->isEnabled());
}

// A baseline asked during a scan ends on the instrument's answer, a number or a word: neither
// the scan's lines still coming nor an empty line end it.
TEST_F(SpectreLigneBrute, LigneDeBasePendantUnBalayage) {
    for (const char* reponse : {"0.000\r", "0,000\r", "OK\r"}) {
        SCOPED_TRACE(reponse);
        LanceSpectre();
        ligne.Envoie("500.0,0.1\r");
        Lit();
        F->BlancBtn->click();
        EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::LigneDeBaseEnCours);
        EXPECT_FALSE(F->SpectreBtn->isEnabled());
        EXPECT_FALSE(F->DebutSE->isEnabled());
        ligne.Envoie("510.0,0.2\r\r\n");
        Lit();
        EXPECT_FALSE(F->Recepteur.BlancFait());
        EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::LigneDeBaseEnCours);
        ligne.Envoie(reponse);
        ASSERT_TRUE(Attend([this] { return F->Recepteur.BlancFait(); }));
        EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::Repos);
        EXPECT_EQ(F->Graphe.Courbe.NbPoints, 1);
        EXPECT_TRUE(F->SpectreBtn->isEnabled());
    }
}

// What the instrument sends while the scan is being set up never becomes a point. A line the
// purge cuts is dropped up to its carriage return: its end is no line of the scan. A purge that
// falls between two lines keeps the first line of the scan.
TEST_F(SpectreLigneBrute, ReponsesAuReglageJamaisPrisesPourDesPoints) {
    const struct {
        const char* nom;
        QByteArray pendantLeReglage;
        QByteArray apres;
        std::vector<double> lambdas;
    } cas[] = {
        {"ligne coupée", "450.0,0.9\r450.5,0.8", "12\r510.0,0.2\r510.2,0.3\r", {510, 510.2}},
        {"ligne coupée, reste perdu", "450.0,0.9\r4", "467.2,0.1\r510.0,0.2\r", {510}},
        {"entre deux lignes", "450.0,0.9\r450.5,0.8\r", "510.0,0.2\r", {510}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QTimer repondeur;
        const int reglages = ligne.Recu().count("SI0.2\r") + 1;
        QObject::connect(&repondeur, &QTimer::timeout, [this, &repondeur, &c, reglages] {
            if (ligne.Recu().count("SI0.2\r") == reglages) {
                ligne.Envoie(c.pendantLeReglage);
                repondeur.stop();
            }
        });
        repondeur.start(1);
        LanceSpectre();
        EXPECT_FALSE(repondeur.isActive());
        ligne.Envoie(c.apres);
        Lit();
        ASSERT_EQ(F->Graphe.Courbe.NbPoints, c.lambdas.size());
        for (size_t i = 0; i < c.lambdas.size(); ++i)
            EXPECT_DOUBLE_EQ(F->Graphe.Courbe.X[i], c.lambdas[i]);
        ligne.Envoie("800.0,0\r");
        ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
    }
}

// The spectrum stays on screen after the window is activated again, but a new baseline is
// required before the next scan, and the set-up goes out again.
TEST_F(SpectreSimule, ReactivationDemandeUneNouvelleLigneDeBase) {
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    ASSERT_EQ(F->Graphe.Courbe.NbPoints, 81);
    const int commandes = Commandes(simulateur.Journal()).size();

    QWidget autre; // the user goes to another window, and comes back
    autre.show();
    autre.activateWindow();
    ASSERT_TRUE(Attend([this] { return !F->isActiveWindow(); }));
    F->activateWindow();
    ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
    AttendFinReglage();
    EXPECT_FALSE(F->Recepteur.BlancFait());
    EXPECT_FALSE(F->SpectreBtn->isEnabled());
    EXPECT_TRUE(F->FileSaveBtn->isEnabled());
    EXPECT_EQ(F->Graphe.Courbe.NbPoints, 81);
    EXPECT_TRUE(F->PanelLambda->text().isEmpty());
    EXPECT_EQ(F->PasCB->currentIndex(), 2);
    EXPECT_EQ(Commandes(simulateur.AttendJournal(commandes + 4)).mid(commandes),
              QList<QByteArray>({"SMA[13]", "SB400.0[13]", "SE800.0[13]", "SI5.0[13]"}));
    LigneDeBase();
}

TEST_F(SpectreSimule, QuitterAvecUnSpectreNonSauvegarde) {
    F->ExitBtn->click(); // nothing to save: no question
    EXPECT_TRUE(boites.Vues.empty());
    EXPECT_FALSE(F->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 0);
    EXPECT_TRUE(simulateur.AttendJournal(6).endsWith("X[13]\n"));

    FormMain->ChoixMode(1);
    ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
    AttendFinReglage();
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    boites.Reponses = {TReponseBoite::Non};
    F->ExitBtn->click();
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Sauvegarde");
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::OuiNonAnnuler);
    EXPECT_TRUE(boites.SauvegardesDemandees.empty());
    EXPECT_FALSE(F->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 0);
    EXPECT_FALSE(Spectro.Voie->OnTriggerAvail());

    // The spectrum is still there when the window comes back.
    FormMain->ChoixMode(1);
    ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
    AttendFinReglage();
    EXPECT_EQ(F->Graphe.Courbe.NbPoints, 81);
    EXPECT_TRUE(F->FileSaveBtn->isEnabled());
}

// The reticle sits on the stored point nearest the pointer's wavelength, whatever the pointer's
// height, and reads that point; drawn twice, it leaves the picture as it was.
TEST_F(SpectreSimule, ReticuleSurLePointLePlusProche) {
    Plage(400, 800, 2);
    LigneDeBase();
    ASSERT_TRUE(simulateur.Controle("cuve solution"));
    Spectre();
    F->PaintBox->RepeintMaintenant();
    const QImage avant = F->PaintBox->Image().copy();
    const Tcourbe& courbe = F->Graphe.Courbe;

    F->ReticuleBtn->click();
    ASSERT_TRUE(F->ReticuleBtn->isChecked());
    const struct {
        double lambda, hauteur; // where the pointer is, in the graph's world
        int point;              // the point read: 400 nm + 5 nm × point
    } cas[] = {{521, 2.5, 24}, {602.4, 0.05, 40}, {603, 1.5, 41}, {300, 1, 0}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.lambda);
        int x = -1, y = -1;
        F->Graphe.MondeVersEcran(std::max(c.lambda, F->Graphe.MondeX.Mini), c.hauteur, x, y);
        if (c.lambda < F->Graphe.MondeX.Mini)
            x = 2; // left of the axis
        int px = -1, py = -1;
        F->Graphe.MondeVersEcran(courbe.X[c.point], courbe.Y[c.point], px, py);
        QTest::mouseMove(F->PaintBox, {x, y});
        ASSERT_TRUE(Attend([&] { return F->Graphe.ReticuleX == px; }, 1000));
        EXPECT_EQ(F->Graphe.ReticuleY, py);
        EXPECT_EQ(F->Panels[0]->text(), " λ=" + FloatToStr3(courbe.X[c.point]) + "  ");
        EXPECT_EQ(F->Panels[1]->text(), " A=" + FloatToStr3(courbe.Y[c.point]) + "  ");
        EXPECT_EQ(F->PaintBox->Image().pixel(px, 1), qRgb(0, 0, 0));
    }
    EXPECT_NE(F->PaintBox->Image(), avant);
    F->PaintBox->RepeintMaintenant(); // a full drawing keeps the reticle where it is
    EXPECT_EQ(F->PaintBox->Image().pixel(F->Graphe.ReticuleX, 1), qRgb(0, 0, 0));
    F->ReticuleBtn->click();
    EXPECT_EQ(F->PaintBox->Image(), avant);
    const QString lecture = F->Panels[0]->text();
    QTest::mouseMove(F->PaintBox, {F->PaintBox->width() / 2, F->PaintBox->height() / 2});
    QTest::qWait(20);
    EXPECT_EQ(F->Panels[0]->text(), lecture); // the reticle off, moves read nothing
}

TEST_F(SpectreSimule, ImpressionSurUnePageAPart) {
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    F->PaintBox->RepeintMaintenant();
    const QImage ecran = F->PaintBox->Image().copy();
    const TRectangle zoneEcran = F->Graphe.ZoneDessin;
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath("spectre.pdf");
    boites.Destinations = {TDestinationImpression{{}, pdf}};
    F->PrintBtn->click();
    EXPECT_TRUE(boites.Vues.empty()); // no question before printing
    QFile fichier(pdf);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.readAll().startsWith("%PDF"));
    // The screen's layout is back: the reticle reads the screen again.
    EXPECT_EQ(F->Graphe.ZoneDessin, zoneEcran);
    EXPECT_EQ(F->PaintBox->Image(), ecran);

    boites.Destinations = {TDestinationImpression{{}, dossier.filePath("absent/spectre.pdf")}};
    F->PrintBtn->click();
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
}

// Whatever is typed in the two fields, the instrument receives a range within its limits
// spanning at least 50 nm, and the fields show what was sent. The end is read first, so a start
// typed last keeps its place when it can and the end makes room.
TEST_F(SpectreSimule, PlagesTapeesToujoursDansLesLimitesDeLAppareil) {
    const struct {
        const char* debut; // typed, nullptr: untouched
        const char* fin;
        int sb, se;
    } cas[] = {
        {"990", nullptr, 900, 950}, {"abc", "2000", 325, 950}, {"100", nullptr, 325, 800},
        {nullptr, "300", 500, 550}, {"925", "990", 900, 950},  {"780", nullptr, 780, 830},
        {nullptr, "", 500, 550},    {"-5", "990", 325, 950},   {"600", "700", 600, 700},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.debut ? c.debut : "-") + " / " + (c.fin ? c.fin : "-"));
        Plage(500, 800, 1);
        for (auto [edition, texte] : {std::pair{F->FinSE, c.fin}, std::pair{F->DebutSE, c.debut}})
            if (texte) {
                edition->Edit().selectAll();
                edition->Edit().del();
                QTest::keyClicks(&edition->Edit(), texte);
            }
        const int avant = Commandes(simulateur.Journal()).size();
        LigneDeBase();
        const QList<QByteArray> envoye = Commandes(simulateur.AttendJournal(avant + 5)).mid(avant);
        ASSERT_GE(envoye.size(), 5);
        EXPECT_EQ(envoye.mid(1, 2),
                  QList<QByteArray>({"SB" + QByteArray::number(c.sb) + ".0[13]",
                                     "SE" + QByteArray::number(c.se) + ".0[13]"}));
        EXPECT_EQ(F->DebutSE->Text(), QString::number(c.sb));
        EXPECT_EQ(F->FinSE->Text(), QString::number(c.se));
        EXPECT_EQ(Spectro.DebutL, c.sb);
        EXPECT_EQ(Spectro.FinL, c.se);
    }
}

class SpectreReglages : public FenetreSpectre {
protected:
    TSimulateurLance simulateur;
};

// Settings read from the INI file go within the instrument's limits before the first set-up.
TEST_F(SpectreReglages, ReglagesHorsLimitesBornesDesLActivation) {
    Ouvre([](TspectroJenway& s) {
        s.DebutL = 100;
        s.FinL = 2000;
    });
    EXPECT_EQ(Commandes(simulateur.AttendJournal(5)),
              QList<QByteArray>({"R[13]", "SMA[13]", "SB325.0[13]", "SE950.0[13]", "SI0.2[13]"}));
    EXPECT_EQ(F->DebutSE->Text(), "325");
    EXPECT_EQ(F->FinSE->Text(), "950");
}

// Limits closer than 50 nm leave no range to scan: the user is told what to correct, and the
// instrument receives nothing but the start of remote control.
TEST_F(SpectreReglages, LimitesTropProchesRefusees) {
    Ouvre([](TspectroJenway& s) {
        s.MiniL = 600;
        s.MaxiL = 620;
    });
    F->BlancBtn->click();
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, "Erreur");
    EXPECT_TRUE(boites.Vues[0].Texte.contains("Configuration complète"));
    EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::Repos);
    EXPECT_EQ(Commandes(simulateur.AttendJournal(2)), QList<QByteArray>({"R[13]"}));
}

// Leaving asks about an unsaved spectrum and tells the instrument once, by the exit button as by
// the window's frame; the "R" of the next visit shows that no second "X" followed.
TEST_F(SpectreSimule, SortieParQuitterOuParLeCadre) {
    const std::pair<const char*, std::function<void()>> sorties[] = {
        {"Quitter",
         [this] {
             F->ExitBtn->click();
         }},
        {"cadre",
         [this] {
             F->close();
         }},
    };
    for (const auto& [nom, sortie] : sorties) {
        SCOPED_TRACE(nom);
        F->Graphe.Courbe.NbPoints = 3;
        F->Sauve = false;
        boites.Vues.clear();
        boites.Reponses = {TReponseBoite::Non};
        const int avant = Commandes(simulateur.Journal()).size();
        sortie();
        ASSERT_EQ(boites.Vues.size(), 1u);
        EXPECT_EQ(boites.Vues[0].Texte, "Sauvegarde");
        EXPECT_FALSE(F->isVisible());
        EXPECT_EQ(FormMain->ModeCourant, 0);
        FormMain->ChoixMode(1);
        ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
        AttendFinReglage();
        EXPECT_EQ(Commandes(simulateur.AttendJournal(avant + 2)).mid(avant, 2),
                  QList<QByteArray>({"X[13]", "R[13]"}));
    }
}

TEST_F(SpectreSimule, SauvegardeDansLesDeuxFormats) {
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    QTemporaryDir dossier;
    const QString tb3 = dossier.filePath("SPECTRE.TB3");
    const QString txt = dossier.filePath("spectre.txt");
    boites.NomsFichiers = {std::nullopt, dossier.filePath("absent/spectre.tb3"), tb3, txt};

    F->FileSaveBtn->click(); // cancelled
    ASSERT_EQ(boites.SauvegardesDemandees.size(), 1u);
    const TDialogueSauvegarde& dialogue = boites.SauvegardesDemandees[0];
    EXPECT_EQ(dialogue.Titre, "Sauvegarde données");
    EXPECT_EQ(dialogue.Filtres,
              QStringList({"Tablarix (*.tb3)", "Tableur ASCII (*.txt)", "Tableur CSV (*.csv)"}));
    EXPECT_EQ(dialogue.ExtensionParDefaut, "tb3");
    EXPECT_EQ(dialogue.Dossier,
              QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                  .filePath("Tablarix"));
    EXPECT_FALSE(F->Sauve);
    F->FileSaveBtn->click(); // a folder that does not exist
    EXPECT_EQ(boites.Vues.size(), 1u);
    EXPECT_FALSE(F->Sauve);

    F->FileSaveBtn->click();
    EXPECT_TRUE(F->Sauve);
    const QList<QByteArray> tablarix = Lit(tb3).split('\n');
    ASSERT_GT(tablarix.size(), 12);
    EXPECT_EQ(tablarix[0], "CORVANDE TABLARIX WINDOWS 1.0\r");
    EXPECT_EQ(tablarix.mid(1, 5), QList<QByteArray>({"\xA3"
                                                     "2 NOM VAR\r",
                                                     "\x88\r", "A\r",
                                                     "\xA3"
                                                     "2 UNITE VAR\r",
                                                     "nm\r"}));
    const qsizetype valeurs = tablarix.indexOf("&81 VALEUR VAR\r");
    ASSERT_GT(valeurs, 0);
    EXPECT_TRUE(tablarix[valeurs + 1].startsWith("400 "));
    EXPECT_TRUE(tablarix[valeurs + 81].startsWith("800 "));

    F->FileSaveBtn->click();
    const QList<QByteArray> ascii = Lit(txt).split('\n');
    ASSERT_EQ(ascii.size(), 4 + 81 + 1);
    EXPECT_TRUE(ascii[0].startsWith("Spectre  "));
    EXPECT_EQ(ascii[1], "lambda\tnm\r");
    EXPECT_TRUE(ascii[4].startsWith("400\t"));
    EXPECT_TRUE(ascii[84].startsWith("800\t"));

    boites.Vues.clear();
    F->ExitBtn->click(); // saved: no question
    EXPECT_TRUE(boites.Vues.empty());
    EXPECT_FALSE(F->isVisible());
}

TEST_F(SpectreSimule, CopieDansLePressePapiers) {
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    F->ClipSaveBtn->click();
    EXPECT_TRUE(F->Sauve);
    const QList<QByteArray> lignes =
        TexteVersAnsi(QGuiApplication::clipboard()->text()).split('\n');
    ASSERT_EQ(lignes.size(), 6 + 81 + 1);
    EXPECT_EQ(lignes[3], "\x88\tA\r");
    EXPECT_EQ(lignes[4], "nm\t\r");
    EXPECT_TRUE(lignes[6].startsWith("400\t"));
    F->ExitBtn->click();
    EXPECT_TRUE(boites.Vues.empty());
}

// The send needs the page information confirmed; cancelled, nothing is sent nor marked saved.
TEST_F(SpectreSimule, EnvoiAnnuleDansLaPageCourante) {
    Plage(400, 800, 2);
    LigneDeBase();
    Spectre();
    F->RegSaveBtn->click();
    EXPECT_FALSE(F->Sauve);
    boites.Reponses = {TReponseBoite::Oui};
    const QTemporaryDir dossier;
    boites.NomsFichiers = {dossier.filePath("sortie.txt")};
    F->ExitBtn->click(); // "Oui" saves before leaving
    EXPECT_EQ(boites.Textes(), QStringList{"Sauvegarde"});
    EXPECT_TRUE(QFile::exists(dossier.filePath("sortie.txt")));
    EXPECT_FALSE(F->isVisible());
}

// At 0.2 nm from 100 to 1000 nm the instrument sends 4501 lines: the curve keeps the first 4097,
// and the scan still ends at 1000 nm.
TEST_F(SpectreSimule, LignesAuDelaDeLaCapaciteNonStockees) {
    fenetres.reset();
    Ouvre([](TspectroJenway& s) {
        s.MiniL = 100;
        s.MaxiL = 1000;
    });
    Plage(100, 1000, 0);
    LigneDeBase();
    F->SpectreBtn->click();
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }, 20000));
    const Tcourbe& courbe = F->Graphe.Courbe;
    ASSERT_EQ(courbe.NbPoints, CapaciteCourbe);
    EXPECT_NEAR(courbe.X[CapaciteCourbe - 1], 100 + 0.2 * (CapaciteCourbe - 1), 1e-9);
    EXPECT_EQ(F->PanelLambda->text(), "1000.0");
    EXPECT_TRUE(F->FileSaveBtn->isEnabled());
}

// The instrument paced at 9600 baud, and its adapter pulled out in the middle of a scan.
class SpectreDebranche : public FenetreSpectre {
protected:
    void SetUp() override { Ouvre(); }

    TSimulateurLance simulateur{1,
                                {QStringLiteral("--baud"), QStringLiteral("9600"),
                                 QStringLiteral("--graine"), QStringLiteral("1")}};
};

TEST_F(SpectreDebranche, AppareilDebrancheEnCoursDeBalayage) {
    Plage(400, 800, 0);
    LigneDeBase();
    F->SpectreBtn->click();
    ASSERT_TRUE(Attend([this] { return F->Graphe.Courbe.NbPoints > 20; }));
    ASSERT_TRUE(simulateur.Controle("debranche"));
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }, 2000));
    const int points = F->Graphe.Courbe.NbPoints;
    EXPECT_GT(points, 20);
    EXPECT_LT(points, 2001);
    for (int i = 1; i < points; ++i)
        ASSERT_NEAR(F->Graphe.Courbe.X[i] - F->Graphe.Courbe.X[i - 1], 0.2, 1e-9);
    ASSERT_EQ(boites.Vues.size(), 1u); // the main window's message, and no other
    EXPECT_TRUE(boites.Vues[0].Texte.contains("débranché"));
    EXPECT_TRUE(F->Panels[2]->text().contains("interrompu"));
    EXPECT_FALSE(F->Sauve);
    EXPECT_TRUE(F->FileSaveBtn->isEnabled());
    EXPECT_TRUE(F->DebutSE->isEnabled());
    EXPECT_FALSE(F->SpectreBtn->isEnabled());
    QTest::qWait(100);
    EXPECT_EQ(F->Graphe.Courbe.NbPoints, points);

    F->BlancBtn->click();
    ASSERT_EQ(boites.Vues.size(), 2u);
    EXPECT_EQ(boites.Vues[1].Texte, "La voie série est fermée : rebranchez l'appareil, quittez ce "
                                    "mode puis choisissez-le de nouveau.");
    EXPECT_EQ(F->Recepteur.Etat(), TEtatSpectre::Repos);
    boites.Reponses = {TReponseBoite::Non};
    F->ExitBtn->click();
    ASSERT_EQ(boites.Vues.size(), 4u);
    EXPECT_EQ(boites.Vues[2].Texte, "Sauvegarde");
    EXPECT_TRUE(boites.Vues[3].Texte.startsWith("Problème voie série\n\n"));
    EXPECT_FALSE(F->isVisible());
}

// The program that gets killed: started in a process of its own by the test below, it scans from
// 400 to 800 nm by 0.2 nm until it is killed.
TEST_F(FenetreSpectre, DISABLED_ProgrammeTueEnPleinBalayage) {
    Ouvre();
    Plage(400, 800, 0);
    LigneDeBase();
    F->SpectreBtn->click();
    ASSERT_TRUE(Attend([this] { return F->Graphe.Courbe.NbPoints >= 30; }));
    std::puts("balayage en cours");
    std::fflush(stdout);
    Attend([] { return false; }, 60000);
}

// A scan abandoned half-way, the window left or the program killed, goes on coming from the
// instrument. Leaving asks about the points taken. The next baseline ends on the instrument's
// answer, behind the old lines, and the next scan holds its own points only.
class SpectreAbandonne : public FenetreSpectre {
protected:
    // The old scan's 2001 lines take about 4 s on the line.
    TSimulateurLance simulateur{1,
                                {QStringLiteral("--baud"), QStringLiteral("57600"),
                                 QStringLiteral("--graine"), QStringLiteral("1")}};
};

TEST_F(SpectreAbandonne, NouveauBalayageSansLesLignesDeLAncien) {
    for (const bool tue : {false, true}) {
        SCOPED_TRACE(tue ? "programme tué" : "fenêtre quittée");
        ASSERT_TRUE(simulateur.Controle("cuve solution"));
        if (tue) {
            fenetres.reset();
            QProcess premier;
            premier.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            premier.start(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--gtest_filter=FenetreSpectre.DISABLED_*"),
                           QStringLiteral("--gtest_also_run_disabled_tests")});
            while (!premier.readAll().contains("balayage en cours"))
                ASSERT_TRUE(premier.waitForReadyRead(20000));
            premier.kill();
            ASSERT_TRUE(premier.waitForFinished(5000));
            ASSERT_TRUE(simulateur.Controle("libere")); // as a real port once its user is gone
            Ouvre();                                    // the program started again
            ASSERT_TRUE(Spectro.Voie->Open()) << boites.Textes().join(" / ").toStdString();
        } else {
            Ouvre();
            Plage(400, 800, 0);
            LigneDeBase();
            F->SpectreBtn->click();
            ASSERT_TRUE(Attend([this] { return F->Graphe.Courbe.NbPoints >= 30; }));
            boites.Reponses = {TReponseBoite::Non};
            F->ExitBtn->click();
            EXPECT_EQ(boites.Textes(), QStringList{"Sauvegarde"});
            FormMain->ChoixMode(1);
            ASSERT_TRUE(Attend([this] { return F->isActiveWindow(); }));
            AttendFinReglage();
        }
        ASSERT_TRUE(simulateur.Controle("absorbance 0.25"));
        Plage(400, 800, 2);
        F->BlancBtn->click();
        ASSERT_TRUE(Attend([this] { return F->Recepteur.BlancFait(); }, 20000));
        F->SpectreBtn->click();
        ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
        const Tcourbe& courbe = F->Graphe.Courbe;
        ASSERT_EQ(courbe.NbPoints, 81);
        for (int i = 0; i < 81; ++i) {
            ASSERT_DOUBLE_EQ(courbe.X[i], 400 + 5 * i);
            ASSERT_EQ(courbe.Y[i], 0.25);
        }
        F->Sauve = true;
    }
}

} // namespace
