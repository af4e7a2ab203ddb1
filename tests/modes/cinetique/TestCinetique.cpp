#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "base/Controles.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Fichiers.h"
#include "exchange/PageCourante.h"
#include "exchange/TableauPoints.h"
#include "exchange/Transfert.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/journal/Journal.h"
#include "shell/Fenetres.h"

#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The window on its own, with the simulated instrument on COM1 and a clock the test drives.
// The window's timer runs as in the program, but only the test makes it fire (Tic), after
// moving the clock on, so that a run of minutes takes milliseconds.
class Cinetique : public ::testing::Test {
protected:
    void SetUp() override {
        InstalleHorloge(&horloge);
        Spectro = TspectroJenway{};
        Spectro.Voie = &voie;
        voie.SetOpen(true);
        Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
        form = std::make_unique<TCinetiqueForm>();
        form->show();
        form->Timer->blockSignals(true);
    }
    void TearDown() override {
        form.reset();
        Spectro = TspectroJenway{};
        InstalleHorloge(nullptr);
    }

    // One firing of the window's timer, `ms` after the previous moment.
    void Tic(quint32 ms = 2000) {
        horloge.Avance(ms);
        ASSERT_TRUE(form->Timer->isActive());
        EXPECT_EQ(form->Timer->interval(), form->Plan.Dt * 1000);
        form->Timer->blockSignals(false);
        QMetaObject::invokeMethod(form->Timer, "timeout");
        form->Timer->blockSignals(true);
    }

    void Clique(QAbstractButton* bouton) {
        ASSERT_TRUE(bouton->isVisible()) << bouton->objectName().toStdString();
        QTest::mouseClick(bouton, Qt::LeftButton);
    }

    // Wavelength and zero validated: ready to start.
    void Pret() {
        Clique(form->LambdaBtn);
        Clique(form->ZeroBtn);
        ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    }

    // Starts a run and takes `points` readings in all, Dt apart.
    void Acquiert(int points) {
        Clique(form->StartBtn);
        for (int i = 1; i < points && form->Etat() == TCinetiqueForm::EtatAcquisition; ++i)
            Tic(form->Plan.Dt * 1000);
    }

    int NbPoints() const { return form->Graphe->Courbe.NbPoints; }

    // "Tableau" clicked: its window, shown.
    TTableauPoints& OuvreTableau() {
        QTest::mouseClick(form->TableauBtn, Qt::LeftButton);
        EXPECT_TRUE(form->Tableau() && form->Tableau()->isVisible());
        return *form->Tableau();
    }
    // The rows of the table as the view has them, and one row's cells as "t | A".
    int Lignes() const { return form->Tableau()->Grille->model()->rowCount(); }
    QString Ligne(int i) const {
        const QAbstractItemModel& modele = *form->Tableau()->Grille->model();
        return modele.index(i, 0).data().toString() + QStringLiteral(" | ") +
               modele.index(i, 1).data().toString();
    }

    // Types a count over the one shown, key by key, as the user does (no key ends the editing).
    void TapeNbre(const QString& texte) {
        form->NbreEdit->selectAll();
        QTest::keyClicks(form->NbreEdit, texte);
    }
    void TapeNbreEtValide(const QString& texte) {
        TapeNbre(texte);
        QTest::keyClick(form->NbreEdit, Qt::Key_Return);
    }

    QList<QByteArray> Commandes(int nombre) const {
        QList<QByteArray> lignes = simulateur.AttendJournal(nombre).split('\n');
        lignes.removeLast();
        return lignes;
    }

    TBoitesScriptees boites;
    TSimulateurLance simulateur;
    TApdComPort voie;
    THorlogeTest horloge{QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0)), 1000};
    std::unique_ptr<TCinetiqueForm> form;
};

TEST_F(Cinetique, NouvelleFenetrePuisEtapesDeLongueurDOndeEtDeZero) {
    EXPECT_EQ(form->windowTitle(), "Cinétique suivie par spectrophotomètre Jenway 6400");
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatLambda);
    EXPECT_EQ(form->Plan.Dt, 2);
    EXPECT_EQ(form->Plan.Nbre, 60);
    EXPECT_EQ(form->Plan.Duree, 128);
    EXPECT_EQ(form->NbreEdit->text(), "60");
    EXPECT_EQ(form->DureeEdit->text(), "00:02:08");
    EXPECT_EQ(form->LabelDeltat->text(), QStringLiteral("δt=2 s"));
    EXPECT_EQ(form->LambdaSE->Text(), "500");
    EXPECT_EQ(form->LambdaSE->MinValue(), 325);
    EXPECT_EQ(form->LambdaSE->MaxValue(), 950);
    EXPECT_EQ(form->Graphe->MondeX.Maxi, 128);
    EXPECT_EQ(form->Graphe->MondeY.Maxi, 3);
    EXPECT_EQ(form->Graphe->MondeX.Nom.Octets(), "t");
    EXPECT_EQ(form->Graphe->MondeY.Signification.Octets(), "Absorbance");
    EXPECT_EQ(form->size(), QSize(607, 313));
    EXPECT_EQ(form->minimumSize(), QSize(550, 120));
    EXPECT_EQ(form->maximumSize(), form->screen()->availableGeometry().size() - QSize(20, 20));
    EXPECT_EQ(form->ZeroBtnBis->accessibleName(), "Blanc");
    EXPECT_EQ(form->StartBtn->toolTip(), "START");
    EXPECT_EQ(form->StartBtn->statusTip(), "Lance l'acquisition");
    EXPECT_EQ(form->StopBtn->accessibleName(), "STOP");
    EXPECT_EQ(form->FileSaveBtn->accessibleName(), "Sauvegarde de l'acquisition");
    EXPECT_FALSE(form->Timer->isActive());

    form->LambdaSE->Edit().setText(QStringLiteral("632"));
    Clique(form->LambdaBtn);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatZero);
    Clique(form->ZeroBtn);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    EXPECT_EQ(form->Plan.Duree, 120);
    EXPECT_EQ(form->DureeEdit->text(), "00:02:00");
    EXPECT_EQ(form->LabelDeltat->text(), "2 s");
    EXPECT_EQ(form->Graphe->MondeX.Maxi, 120);
    EXPECT_EQ(Commandes(3), (QList<QByteArray>{"R[13]", "G632.0[13]", "ZA[13]"}));
    EXPECT_TRUE(boites.Vues.empty());
}

TEST_F(Cinetique, ChaqueEtapeMontreSesControles) {
    struct Ligne {
        quint8 etat;
        bool lambda, zero, start, run, fini, reglage, zeroBis, lambdaSE, timer;
    };
    const Ligne table[] = {
        {0, true, false, false, false, false, true, true, true, false},
        {1, false, true, false, false, false, true, false, true, false},
        {2, false, false, false, true, false, false, true, false, true},
        {3, false, false, false, false, true, true, true, false, false},
        {4, false, false, true, false, false, true, true, true, false},
    };
    for (const Ligne& l : table) {
        SCOPED_TRACE(l.etat);
        form->SetEtat(l.etat);
        EXPECT_EQ(form->LambdaBtn->isVisible(), l.lambda);
        EXPECT_EQ(form->ZeroBtn->isVisible(), l.zero);
        EXPECT_EQ(form->StartBtn->isVisible(), l.start);
        for (QWidget* w : std::initializer_list<QWidget*>{form->StopBtn, form->RepereBtn,
                                                          form->PanelDuree, form->PanelAbs})
            EXPECT_EQ(w->isVisible(), l.run) << w->objectName().toStdString();
        for (QWidget* w : std::initializer_list<QWidget*>{form->ResetBtn, form->FileSaveBtn,
                                                          form->ClipSaveBtn, form->RegSaveBtn})
            EXPECT_EQ(w->isVisible(), l.fini) << w->objectName().toStdString();
        EXPECT_EQ(form->ExitBtn->isVisible(), l.reglage);
        EXPECT_EQ(form->NbreSpin->isVisible(), l.reglage);
        EXPECT_EQ(form->NbreEdit->isEnabled(), l.reglage);
        EXPECT_EQ(form->ZeroBtnBis->isVisible(), l.zeroBis);
        EXPECT_EQ(form->LambdaSE->isEnabled(), l.lambdaSE);
        EXPECT_EQ(form->Timer->isActive(), l.timer);
    }
}

TEST_F(Cinetique, UneMesureToutesLesDeuxSecondesJusquAuPremierPointApresLaDuree) {
    simulateur.Controle("cuve cinetique");
    Pret();
    Clique(form->StartBtn);
    EXPECT_EQ(NbPoints(), 1);
    EXPECT_EQ(form->PanelDuree->text(), "00:00:00");
    // Each tick draws its own segment, not the whole graph: once the drawing asked for before
    // the start is done, a few ticks with time for a full drawing to come, then the rest of the
    // run at full speed.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Oscillo->DessinCompletEnAttente(); }));
    const int dessinsComplets = form->Oscillo->NbDessinsComplets();
    for (int i = 0; i < 3; ++i) {
        Tic();
        QTest::qWait(2 * TBoitePeinture::IntervalleMinimal);
    }
    EXPECT_EQ(form->Oscillo->NbDessinsComplets(), dessinsComplets);
    while (form->Etat() == TCinetiqueForm::EtatAcquisition && NbPoints() < 100)
        Tic();
    ASSERT_EQ(NbPoints(), 62);
    for (int i = 0; i < NbPoints(); ++i)
        EXPECT_EQ(form->Graphe->Courbe.X[i], 2 * i);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    EXPECT_FALSE(form->Timer->isActive());
    EXPECT_EQ(form->PanelDuree->text(), "00:02:02");
    EXPECT_EQ(form->PanelAbs->text(),
              QString::number(form->Graphe->Courbe.Y[61], 'f', 3).replace(u',', u'.'));
    EXPECT_EQ(form->Graphe->Courbe.Y[61], form->DerniereAbs);
    const QList<QByteArray> commandes = Commandes(65);
    EXPECT_EQ(commandes.count("A[13]"), 62);
    EXPECT_FALSE(form->Sauve);
}

TEST_F(Cinetique, LArretDiscuteLaRegleDesQuinzePoints) {
    struct Cas {
        int points;
        quint8 apres;
    };
    for (const Cas c : {Cas{10, TCinetiqueForm::EtatPret}, Cas{16, TCinetiqueForm::EtatFini}}) {
        SCOPED_TRACE(c.points);
        if (form->Etat() != TCinetiqueForm::EtatPret)
            Pret();
        Acquiert(c.points);
        ASSERT_EQ(NbPoints(), c.points);
        Clique(form->StopBtn);
        EXPECT_EQ(form->Etat(), c.apres);
        EXPECT_EQ(NbPoints(), c.apres == TCinetiqueForm::EtatFini ? c.points : 0);
        EXPECT_FALSE(form->Timer->isActive());
    }
    Clique(form->ResetBtn);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    EXPECT_EQ(NbPoints(), 0);
    EXPECT_TRUE(form->PanelAbs->text().isEmpty());
}

TEST_F(Cinetique, LeNombreTapeEstArrondi) {
    const std::pair<const char*, int> table[] = {{"4096", 4080}, {"95", 90},   {"37", 30},
                                                 {"7", 15},      {"300", 300}, {"5000", 4080}};
    for (const auto& [texte, attendu] : table) {
        SCOPED_TRACE(texte);
        TapeNbreEtValide(QString::fromLatin1(texte));
        EXPECT_EQ(form->Plan.Nbre, attendu);
        EXPECT_EQ(form->NbreEdit->text(), QString::number(attendu));
        EXPECT_GE(form->Plan.Dt, 2);
    }
    TapeNbreEtValide(QStringLiteral("12a"));
    EXPECT_EQ(form->Plan.Nbre, 4080);
    EXPECT_EQ(form->NbreEdit->text(), "4080"); // the count in force, not a text it refused
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Icone, TIconeBoite::Erreur);
    EXPECT_TRUE(boites.Vues[0].Texte.contains("12a"));
}

TEST_F(Cinetique, LeNombreTapeEstLuQuandLaSaisieSeTermine) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    struct Cas {
        const char* tape;
        const char* fin;
        std::function<void()> termine;
        int nbre;
    };
    const Cas table[] = {
        {"20", "Entrée", [this] { QTest::keyClick(form->NbreEdit, Qt::Key_Enter); }, 20},
        {"37", "focus ailleurs", [this] { form->LambdaSE->setFocus(); }, 30},
        {"95", "flèche du nombre", [this] { Clique(form->NbreSpin->Haut); }, 120},
        {"95", "flèche de la durée", [this] { Clique(form->DureeSB->Bas); }, 60},
        {"37", "boutons des étapes", [this] { Pret(); }, 30},
    };
    for (const Cas& c : table) {
        SCOPED_TRACE(c.fin);
        const qint32 avant = form->Plan.Nbre;
        form->NbreEdit->setFocus();
        TapeNbre(QString::fromLatin1(c.tape));
        // No key rewrites what is being typed: "2" alone would have become 15, then 150.
        EXPECT_EQ(form->NbreEdit->text(), c.tape);
        EXPECT_EQ(form->Plan.Nbre, avant);
        c.termine();
        EXPECT_EQ(form->Plan.Nbre, c.nbre);
        EXPECT_EQ(form->NbreEdit->text(), QString::number(c.nbre));
    }
    EXPECT_TRUE(boites.Vues.empty());
}

TEST_F(Cinetique, PeriodeNombreEtDureeDepuisUneFenetreNeuve) {
    struct Cas {
        QToolButton* TBoutonsHautBas::*fleche;
        bool nombre;
        int nbre, dt, duree;
    };
    const Cas table[] = {
        {&TBoutonsHautBas::Haut, true, 70, 2, 140},
        {&TBoutonsHautBas::Bas, true, 50, 2, 128},
        {nullptr, false, 40, 2, 80},
    };
    for (const Cas& c : table) {
        form = std::make_unique<TCinetiqueForm>();
        form->show();
        if (c.nombre)
            QTest::mouseClick(form->NbreSpin->*c.fleche, Qt::LeftButton);
        else
            QTest::mouseClick(form->DureeSB->Bas, Qt::LeftButton);
        EXPECT_EQ(form->Plan.Nbre, c.nbre);
        EXPECT_EQ(form->Plan.Dt, c.dt);
        EXPECT_EQ(form->Plan.Duree, c.duree);
        EXPECT_EQ(form->DureeEdit->text(), QTime(0, 0).addSecs(c.duree).toString("HH:mm:ss"));
        EXPECT_EQ(form->Graphe->MondeX.Maxi, c.duree);
    }
}

TEST_F(Cinetique, HorsAcquisitionLaPeriodeMonteJusquASoixanteSecondes) {
    form->Plan.Nbre = 4080;
    form->Plan.Dt = 3;
    QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    EXPECT_EQ(form->Plan.Dt, 4);
    EXPECT_EQ(form->Plan.Nbre, 3600);
    EXPECT_EQ(form->Plan.Duree, 14400);
    EXPECT_EQ(form->DureeEdit->text(), "04:00:00");
    for (int i = 0; i < 80; ++i)
        QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    EXPECT_EQ(form->Plan.Dt, 60);
    EXPECT_EQ(form->Plan.Nbre, 240);
    EXPECT_EQ(form->Plan.Duree, 14400);
    EXPECT_EQ(form->LabelDeltat->text(), "60 s");
}

TEST_F(Cinetique, UneLongueAcquisitionEstEclairecieEtSaDureeResteBornee) {
    Pret();
    TapeNbreEtValide(QStringLiteral("3000"));
    ASSERT_EQ(form->Plan.Nbre, 3000);
    Clique(form->StartBtn);
    Tcourbe& courbe = form->Graphe->Courbe;
    for (int i = 0; i < 3001; ++i) {
        courbe.X[i] = 2 * i;
        courbe.Y[i] = i / 1000.0;
    }
    courbe.NbPoints = 3001;
    const TRegionalTemporaire point(u'.');
    OuvreTableau();
    ASSERT_EQ(Lignes(), 3001);
    QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    EXPECT_EQ(form->Plan.Dt, 3);
    EXPECT_EQ(courbe.NbPoints, 1500);
    EXPECT_EQ(courbe.X[0], 0);
    EXPECT_EQ(courbe.X[1], 4);
    EXPECT_EQ(courbe.Y[1499], 2.998);
    // The table shows the thinned curve.
    EXPECT_EQ(Lignes(), 1500);
    EXPECT_EQ(Ligne(1), "4 | 0.002");
    EXPECT_EQ(Ligne(1499), "5996 | 2.998");
    EXPECT_EQ(form->Timer->interval(), 3000);
    for (int i = 0; i < 40; ++i)
        QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    EXPECT_EQ(form->Plan.Dt, 21); // 22 × 3000 would pass 65535 s
    EXPECT_EQ(form->Plan.Duree, 63000);
    EXPECT_EQ(form->Plan.Nbre, 3000);
    EXPECT_EQ(form->DureeEdit->text(), "17:30:00");
    EXPECT_EQ(form->Timer->interval(), 21000);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatAcquisition);
}

TEST_F(Cinetique, PendantLAcquisitionLaFlecheHauteAugmenteLeNombreSansDepasserLaDuree) {
    TapeNbreEtValide(QStringLiteral("240"));
    for (int i = 0; i < 58; ++i)
        QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    ASSERT_EQ(form->Plan.Dt, 60);
    Pret();
    Clique(form->StartBtn);
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(form->DureeSB->Haut, Qt::LeftButton);
    EXPECT_GT(form->Plan.Nbre, 240);
    EXPECT_LE(form->Plan.Dt * form->Plan.Nbre, form->Plan.Duree); // never wrapped past 65535 s
    EXPECT_GE(form->Plan.Dt, 60);
    EXPECT_EQ(form->Timer->interval(), form->Plan.Dt * 1000);
}

TEST_F(Cinetique, LAxeDesAbsorbancesEnFinDAcquisition) {
    struct Cas {
        const char* absorbance;
        int points;
        double maxiA;
        double axe;
    };
    const Cas table[] = {
        {"0.4", 16, 3, 1}, {"2.5", 16, 3, 2.5}, {"2.5", 2, 3, 3}, {"0.4", 2, 0.5, 1}};
    for (const Cas& c : table) {
        SCOPED_TRACE(c.points);
        Spectro.MaxiA = c.maxiA;
        ASSERT_TRUE(simulateur.Controle(QByteArray("absorbance ") + c.absorbance));
        if (form->Etat() == TCinetiqueForm::EtatFini)
            Clique(form->ResetBtn);
        else
            Pret();
        if (c.points == 2) {
            Clique(form->StartBtn);
            Tic(200000); // past the duration: the run ends with its second point
        } else {
            Acquiert(c.points);
            Clique(form->StopBtn);
        }
        ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
        ASSERT_EQ(NbPoints(), c.points);
        EXPECT_EQ(form->Graphe->MondeY.Mini, 0);
        EXPECT_DOUBLE_EQ(form->Graphe->MondeY.Maxi, c.axe);
        EXPECT_EQ(form->Graphe->MondeX.Maxi, form->Plan.Duree);
    }
}

// The table follows the curve through a run's life: points as they come, a run discarded by the
// stop rule, a finished run after its rescale, a reset, a new run, a table opened mid-run.
TEST_F(Cinetique, LeTableauSuitLesPointsDuRun) {
    const TRegionalTemporaire virgule(u',');
    ASSERT_TRUE(simulateur.Controle("absorbance 0.25"));
    TTableauPoints& tableau = OuvreTableau();
    EXPECT_EQ(tableau.windowTitle(), "Tableau des points — Suivi de cinétique");
    const QAbstractItemModel& modele = *tableau.Grille->model();
    EXPECT_EQ(modele.headerData(0, Qt::Horizontal).toString(), "t (s)");
    EXPECT_EQ(modele.headerData(1, Qt::Horizontal).toString(), "A");
    EXPECT_EQ(Lignes(), 0);

    Pret();
    Acquiert(3);
    ASSERT_EQ(Lignes(), 3);
    EXPECT_EQ(Ligne(2), "4 | 0,25");
    Clique(form->StopBtn); // 3 points: discarded
    ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    EXPECT_EQ(Lignes(), 0);

    Acquiert(20);
    EXPECT_EQ(Lignes(), 20);
    Clique(form->StopBtn);
    ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    EXPECT_EQ(Lignes(), 20);
    EXPECT_EQ(Ligne(19), "38 | 0,25");
    Clique(form->ResetBtn);
    EXPECT_EQ(Lignes(), 0);

    // Closed, then opened again in the middle of the next run.
    tableau.close();
    ASSERT_TRUE(simulateur.Controle("absorbance 1.5"));
    Acquiert(4);
    OuvreTableau();
    EXPECT_EQ(form->Tableau(), &tableau);
    ASSERT_EQ(Lignes(), 4);
    EXPECT_EQ(Ligne(0), "0 | 1,5");
    Tic();
    EXPECT_EQ(Lignes(), 5);
    EXPECT_EQ(Ligne(4), "8 | 1,5");
}

TEST_F(Cinetique, LeTableauSeFermeAvecLaFenetre) {
    TTableauPoints& tableau = OuvreTableau();
    form->close();
    ASSERT_FALSE(form->isVisible());
    EXPECT_FALSE(tableau.isVisible());
    form->show();
    EXPECT_FALSE(tableau.isVisible()); // opened again by its button only
    OuvreTableau();
}

TEST_F(Cinetique, LeTableauMontreUnRunRestaure) {
    const TRegionalTemporaire point(u'.');
    OuvreTableau();
    const QTemporaryDir dossier;
    TJournalLu journal;
    journal.Chemin = dossier.filePath(QStringLiteral("ancien.journal")); // taken over
    journal.Champs = {{"mode", "cinetique"}, {"dt", "5"}, {"nbre", "120"}, {"duree", "600"}};
    journal.X = {0, 5, 10};
    journal.Y = {0.1, 0.2, 0.3};
    form->Restaure(journal);
    ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    ASSERT_EQ(Lignes(), 3);
    EXPECT_EQ(Ligne(2), "10 | 0.3");
}

TEST_F(Cinetique, LaBarreDEspaceFaitLEtapeSuivante) {
    form->activateWindow();
    form->EditBidon->setFocus();
    QTest::keyClick(form->EditBidon, Qt::Key_A);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatLambda);
    EXPECT_TRUE(form->EditBidon->text().isEmpty());
    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatZero);
    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    QTest::keyClick(form->EditBidon, Qt::Key_Return);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    QTest::keyClick(form->EditBidon, Qt::Key_Space);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatAcquisition);
    EXPECT_EQ(NbPoints(), 1);
    QTest::keyClick(form->EditBidon, Qt::Key_Space); // nothing to click while acquiring
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatAcquisition);
    EXPECT_EQ(NbPoints(), 1);
    EXPECT_TRUE(form->EditBidon->text().isEmpty());
}

TEST_F(Cinetique, UneReponseIlliseibleEstSauteeSansArreterLaMesure) {
    Pret();
    Acquiert(3);
    ASSERT_TRUE(simulateur.Controle("panne charabia"));
    Tic();
    EXPECT_EQ(NbPoints(), 3);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatAcquisition);
    ASSERT_TRUE(simulateur.Controle("panne aucune"));
    Tic();
    ASSERT_EQ(NbPoints(), 4);
    EXPECT_EQ(form->Graphe->Courbe.X[3], 8);
    EXPECT_TRUE(boites.Vues.empty());
}

TEST_F(Cinetique, PendantUneLectureLaFenetreRepondEtAucunTicNeSeSuperpose) {
    Pret();
    ASSERT_TRUE(simulateur.Controle("panne silence"));
    bool lampeAllumee = false;
    int ticsPendant = 0;
    QTimer::singleShot(50, form.get(), [&] {
        lampeAllumee = form->LectureS->isVisible();
        Tic(); // the timer fires again while the first reading waits: nothing is asked
        ++ticsPendant;
        QTest::mouseClick(form->StopBtn, Qt::LeftButton);
        horloge.Avance(1000); // the reading then times out
    });
    Clique(form->StartBtn);
    EXPECT_EQ(ticsPendant, 1);
    EXPECT_TRUE(lampeAllumee);
    EXPECT_FALSE(form->LectureS->isVisible());
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret); // stopped with no point: discarded
    EXPECT_EQ(NbPoints(), 0);
    EXPECT_FALSE(form->Timer->isActive());
    QTest::qWait(50);
    EXPECT_EQ(simulateur.Journal().split('\n').count("A[13]"), 1);
}

TEST_F(Cinetique, UnAppareilDebrancheArreteLAcquisitionEnGardantLesPoints) {
    Pret();
    Acquiert(5);
    ASSERT_TRUE(simulateur.Controle("debranche"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return !voie.Open(); }, 2000));
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    EXPECT_EQ(NbPoints(), 5);
    EXPECT_FALSE(form->Timer->isActive());
    EXPECT_TRUE(form->ExitBtn->isVisible());
    EXPECT_TRUE(boites.Vues.empty()); // the main window tells the user, once
}

TEST_F(Cinetique, LaCourbePleineTermineLAcquisition) {
    Pret();
    TapeNbreEtValide(QStringLiteral("4080"));
    Clique(form->StartBtn);
    form->Graphe->Courbe.NbPoints = CapaciteCourbe - 2;
    Tic();
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatAcquisition);
    Tic();
    EXPECT_EQ(NbPoints(), CapaciteCourbe);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    EXPECT_TRUE(form->StatusBar->currentMessage().contains("4097"));
}

TEST_F(Cinetique, LeTempsEcouleFranchitMinuit) {
    horloge.Fixe(QDateTime(QDate(2026, 3, 2), QTime(23, 59, 58)));
    Pret();
    Acquiert(3);
    ASSERT_EQ(NbPoints(), 3);
    EXPECT_EQ(form->Graphe->Courbe.X[2], 4);
    EXPECT_EQ(form->PanelDuree->text(), "00:00:04");
}

TEST_F(Cinetique, FermerAvecUneAcquisitionNonSauveeDemandeSauvegarde) {
    Pret();
    Acquiert(20);
    Clique(form->StopBtn);
    ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    // Annuler: the user stays with the run, and its journal stays.
    boites.Reponses = {TReponseBoite::Annuler};
    EXPECT_FALSE(form->close());
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Sauvegarde");
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::OuiNonAnnuler);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Journal.Actif());
    boites.Reponses = {TReponseBoite::Non};
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Journal.Actif());
    EXPECT_EQ(NbPoints(), 20); // kept for the next visit

    // Closing in the middle of a short run discards it without a question.
    form->show();
    Clique(form->ResetBtn);
    Acquiert(3);
    form->close();
    EXPECT_EQ(boites.Vues.size(), 2u);
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatPret);
    EXPECT_FALSE(form->Timer->isActive());
}

TEST_F(Cinetique, ImpressionDuGrapheEnPdf) {
    QTemporaryDir dossier;
    const QString pdf = dossier.filePath(QStringLiteral("graphe.pdf"));
    boites.Reponses = {TReponseBoite::Ok};
    boites.Destinations = {TDestinationImpression{QString(), pdf}};
    Pret();
    Acquiert(16);
    Clique(form->StopBtn);
    Clique(form->PrintBtn);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "Impression ?");
    QFile fichier(pdf);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.read(5) == "%PDF-");
    // The screen drawing takes its own rectangle again.
    form->Oscillo->RepeintMaintenant();
    EXPECT_EQ(form->Graphe->ZoneDessin.Right, form->Oscillo->width());
    EXPECT_EQ(form->Graphe->Canvas, &form->Oscillo->Canevas());
}

TEST_F(Cinetique, UneLongueurDOndeTapeeHorsDesLimitesNArriveJamaisALAppareil) {
    struct Cas {
        const char* tapee;
        qint32 maxiL; // the configuration may change the limits after the window was made
        const char* envoyee;
    };
    const Cas table[] = {
        {"2000", 950, "950"}, {"100", 950, "325"}, {"632", 950, "632"}, {"940", 900, "900"}};
    QList<QByteArray> attendu{"R[13]"};
    for (const Cas& c : table) {
        SCOPED_TRACE(c.tapee);
        Spectro.MaxiL = c.maxiL;
        form->SetEtat(TCinetiqueForm::EtatLambda);
        form->LambdaSE->Edit().setText(QString::fromLatin1(c.tapee));
        Clique(form->LambdaBtn);
        EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatZero);
        EXPECT_EQ(form->LambdaSE->Text(), c.envoyee); // the field shows what was sent
        attendu << "G" + QByteArray(c.envoyee) + ".0[13]";
    }
    EXPECT_EQ(QByteArrayList(Commandes(int(attendu.size()))).join(' ').toStdString(),
              QByteArrayList(attendu).join(' ').toStdString());
}

TEST_F(Cinetique, UneLongueurDOndeChangeeRameneALaPremiereEtape) {
    Pret();
    form->LambdaSE->Edit().setText(QStringLiteral("550"));
    EXPECT_EQ(form->Etat(), TCinetiqueForm::EtatLambda);
    EXPECT_TRUE(form->LambdaBtn->isVisible());
}

// The window on the real timer and the real clock: a timer may wake a little early, which a
// tick fired by hand never shows.
class CinetiqueTempsReel : public Cinetique {
protected:
    void SetUp() override {
        Cinetique::SetUp();
        InstalleHorloge(nullptr);
        form->Timer->blockSignals(false);
    }
};

TEST_F(CinetiqueTempsReel, LesPointsTombentSurLesMultiplesDeLaPeriode) {
    Pret();
    form->Plan.Dt = 1; // a short period: a few real ticks in a few seconds
    // Started just after a whole second of the monotonic clock, where a coarse timer would
    // round each tick down to the whole second, a few milliseconds early.
    QElapsedTimer moniteur;
    moniteur.start();
    const int delai = int(1020 - moniteur.msecsSinceReference() % 1000);
    QTimer::singleShot(delai, Qt::PreciseTimer, form.get(), [this] { Clique(form->StartBtn); });
    OuvreTableau();
    ASSERT_TRUE(QTest::qWaitFor([this] { return NbPoints() >= 4; }, 30000)); // only a hang
    // The table has followed each tick.
    EXPECT_EQ(Lignes(), NbPoints());
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(Ligne(i).startsWith(QString::number(i) + QStringLiteral(" | ")))
            << Ligne(i).toStdString();
    // From 20 s on, a coarse timer rounds to whole seconds: too long to run here.
    EXPECT_EQ(form->Timer->timerType(), Qt::PreciseTimer);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->Graphe->Courbe.X[i], i) << i;
    Clique(form->StopBtn);
}

// Saving, copying and sending a finished run, with the page information dialog in place.
class CinetiqueEchange : public Cinetique {
protected:
    void SetUp() override {
        Cinetique::SetUp();
        ConstanteDlg = &dialogue;
        simulateur.Controle("cuve cinetique");
        Pret();
        Acquiert(20);
        Clique(form->StopBtn);
        ASSERT_EQ(form->Etat(), TCinetiqueForm::EtatFini);
    }
    void TearDown() override {
        ConstanteDlg = nullptr;
        Cinetique::TearDown();
    }

    QByteArray Lit(const QString& chemin) const {
        QFile fichier(chemin);
        return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
    }

    // The run's points, one line each: elapsed seconds, a tab, the absorbance.
    QByteArray LignesDesPoints() const {
        QByteArray lignes;
        const Tcourbe& courbe = form->Graphe->Courbe;
        for (int i = 0; i < courbe.NbPoints; ++i)
            lignes += FloatToStrPoint(courbe.X[i]).toLatin1() + '\t' +
                      FloatToStrPoint(courbe.Y[i]).toLatin1() + "\r\n";
        return lignes;
    }

    TConstanteDlg dialogue;
    QTemporaryDir dossier;
};

TEST_F(CinetiqueEchange, LesFichiersSuiventLesFormatsDeTablarixEtDuTableur) {
    dialogue.NomConstEdit->setText(QStringLiteral("k"));
    dialogue.ValeurConstEdit->setText(QStringLiteral("0.02"));
    dialogue.OKBtnClick();
    const QString tb3 = dossier.filePath(QStringLiteral("essai.tb3"));
    const QString txt = dossier.filePath(QStringLiteral("essai.txt"));
    boites.NomsFichiers = {tb3, txt};
    Clique(form->FileSaveBtn);
    EXPECT_TRUE(form->Sauve);
    Clique(form->FileSaveBtn);
    ASSERT_EQ(boites.SauvegardesDemandees.size(), 2u);
    const TDialogueSauvegarde& d = boites.SauvegardesDemandees[0];
    EXPECT_EQ(d.Titre, "Sauvegarde données");
    EXPECT_EQ(d.Filtres,
              (QStringList{"Tablarix (*.tb3)", "Tableur ASCII (*.txt)", "Tableur CSV (*.csv)"}));
    EXPECT_EQ(d.ExtensionParDefaut, "TB3");
    EXPECT_EQ(d.Dossier, QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                             .filePath("Tablarix"));

    const TDonneesPage page = DonneesPage(*form->Graphe);
    EXPECT_EQ(Lit(tb3), ContenuFichier(tb3, TModeDonnees::Cinetique, page));
    EXPECT_TRUE(Lit(tb3).contains("Cin\xE9tique"));
    const QByteArray attendu = "Cin\xE9tique avec S.250PC\r\nt\tA\r\ns\t\r\n" + LignesDesPoints();
    EXPECT_TRUE(Lit(txt).startsWith(attendu)) << Lit(txt).toStdString();
    EXPECT_TRUE(boites.Vues.empty());
}

// The printed page says what was measured above the graph: the mode and the moment, the
// wavelength, the page information as the files tell it (the parameter only once complete).
TEST_F(CinetiqueEchange, LaPageImprimeeCommenceParSonEnTete) {
    const TRegionalTemporaire virgule(u',');
    struct TCas {
        const char *symbole, *unite, *valeur, *commentaire;
        QStringList lignes; // after the title
    };
    const TCas cas[] = {
        {"k",
         "s-1",
         "0,02",
         "groupe 3, permanganate",
         {"λ = 500 nm", "k = 0,02 s-1", "groupe 3, permanganate"}},
        {"k", "", "", "", {"λ = 500 nm"}}, // no value: no parameter
        {"T", "°C", "25", "", {"λ = 500 nm", "T = 25 °C"}},
    };
    for (const TCas& c : cas) {
        SCOPED_TRACE(c.symbole + std::string(" ") + c.valeur);
        dialogue.NomConstEdit->setText(QString::fromUtf8(c.symbole));
        dialogue.UniteConstEdit->setText(QString::fromUtf8(c.unite));
        dialogue.ValeurConstEdit->setText(QString::fromUtf8(c.valeur));
        dialogue.EditComm->setText(QString::fromUtf8(c.commentaire));
        dialogue.OKBtnClick();
        const QString pdf = dossier.filePath(QStringLiteral("page.pdf"));
        boites.Reponses = {TReponseBoite::Ok};
        boites.Destinations = {TDestinationImpression{QString(), pdf}};
        Clique(form->PrintBtn);
        ASSERT_TRUE(boites.Vues.size() == 1u && boites.Vues[0].Texte == "Impression ?");
        boites.Vues.clear();
        // Landscape, the whole page below the header.
        EXPECT_GT(form->Graphe->ZoneDessin.Largeur(), form->Graphe->ZoneDessin.Hauteur());
        EXPECT_GT(form->Graphe->ZoneDessin.Top, 0);

        const QStringList texte = TexteDuPdf(pdf);
        const QStringList attendu = QStringList{QStringLiteral("Suivi de cinétique — ") +
                                                TexteDateHeure(horloge.DateHeure())} +
                                    c.lignes;
        ASSERT_GT(texte.size(), attendu.size()) << texte.join(u'\n').toStdString();
        EXPECT_EQ(texte.mid(0, attendu.size()), attendu) << texte.join(u'\n').toStdString();
        EXPECT_EQ(texte[attendu.size()], "A"); // then the graph, its absorbance axis first
        EXPECT_TRUE(texte.join(u' ').contains(QStringLiteral("t(s)")));
        QFile::remove(pdf);
    }
    EXPECT_EQ(TexteDateHeure(horloge.DateHeure()), "02/03/2026 10:00:38");
}

TEST_F(CinetiqueEchange, UneSauvegardeRateeNeComptepasCommeFaite) {
    boites.NomsFichiers = {dossier.filePath(QStringLiteral("absent/essai.tb3")), std::nullopt};
    Clique(form->FileSaveBtn);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Icone, TIconeBoite::Erreur);
    EXPECT_FALSE(form->Sauve);
    Clique(form->FileSaveBtn); // cancelled
    EXPECT_FALSE(form->Sauve);

    // Closing asks again; Yes saves first.
    const QString nom = dossier.filePath(QStringLiteral("essai.TB3"));
    boites.Reponses = {TReponseBoite::Oui};
    boites.NomsFichiers = {nom};
    form->close();
    EXPECT_EQ(boites.Vues.back().Texte, "Sauvegarde");
    EXPECT_TRUE(QFile::exists(nom));
    EXPECT_TRUE(form->Sauve);
}

TEST_F(CinetiqueEchange, CopieEtEnvoiParLePressePapiers) {
    QGuiApplication::clipboard()->clear();
    Clique(form->ClipSaveBtn);
    EXPECT_TRUE(form->Sauve);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              TexteTransfert(TModeDonnees::Cinetique, *form->Graphe));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(
        AnsiVersTexte("\r\nt\tA\r\ns\t\r\n" + LignesDesPoints())));

    boites.Reponses = {};
    form->close();
    EXPECT_TRUE(boites.Vues.empty()); // copied: no question
    form->show();

    // The page information dialog cancelled: nothing is sent and the run stays unsaved. Without
    // a DDE window the text only reaches the clipboard: not sent, still unsaved.
    form->Sauve = false;
    dialogue.NewPageCB->SetItemIndex(0);
    boites.Dialogues = {[](QDialog&) { return int(QDialog::Rejected); },
                        [](QDialog&) {
                            return int(QDialog::Accepted);
                        }};
    Clique(form->RegSaveBtn);
    EXPECT_FALSE(form->Sauve);
    EXPECT_EQ(dialogue.NewPageCB->ItemIndex(), 0);
    Clique(form->RegSaveBtn);
    EXPECT_FALSE(form->Sauve);
    EXPECT_EQ(dialogue.NewPageCB->ItemIndex(), 1);
}

} // namespace
