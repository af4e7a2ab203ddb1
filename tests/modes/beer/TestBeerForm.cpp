#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/TableauPoints.h"
#include "exchange/TransportDDE.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/beer/ModeBeerDlg.h"
#include "modes/journal/Journal.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMutex>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Tablarix on the program's own DDE transport, served from a thread of its own: the client
// blocks this thread while it waits for each answer.
class TTablarixDansUnFil {
public:
    TTablarixDansUnFil() : contexte_(new QObject) {
        contexte_->moveToThread(&fil_);
        fil_.start();
        Dans([this] {
            serveur_ = CreeServeurDDE();
            QObject::connect(serveur_.get(), &TServeurDDE::Macro, serveur_.get(),
                             [this](const QByteArray& macro) {
                                 const QMutexLocker verrou(&verrou_);
                                 macros_ << macro;
                             });
            enregistre_ = serveur_->Enregistre("TABLARIX", "ServeurDDE");
        });
    }
    ~TTablarixDansUnFil() {
        Dans([this] { serveur_.reset(); });
        contexte_->deleteLater();
        fil_.quit();
        fil_.wait();
    }
    TTablarixDansUnFil(const TTablarixDansUnFil&) = delete;
    TTablarixDansUnFil& operator=(const TTablarixDansUnFil&) = delete;

    bool Enregistre() const { return enregistre_; }
    QList<QByteArray> Macros() {
        const QMutexLocker verrou(&verrou_);
        return macros_;
    }

private:
    void Dans(const std::function<void()>& action) {
        QMetaObject::invokeMethod(contexte_, action, Qt::BlockingQueuedConnection);
    }

    QThread fil_;
    QObject* contexte_;
    std::unique_ptr<TServeurDDE> serveur_;
    bool enregistre_ = false;
    QMutex verrou_;
    QList<QByteArray> macros_;
};

// The Beer-Lambert window of the whole program, shown by the main window and talking to the
// simulated instrument.
class FenetreBeer : public ::testing::Test {
protected:
    void SetUp() override {
        Spectro = TspectroJenway{};
        simulateur = std::make_unique<TSimulateurLance>();
        ASSERT_TRUE(simulateur->Controle("bruit 0"));
        fenetres = std::make_unique<TFenetres>();
        f = BeerForm;
        FormMain->ChoixMode(3);
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    void TearDown() override {
        fenetres.reset();
        simulateur.reset();
        Spectro = TspectroJenway{};
    }

    void ChoisitMode(int mode, const char* mini = nullptr, const char* maxi = nullptr) {
        boites.Dialogues.push_back([=](QDialog& d) {
            auto& dialogue = dynamic_cast<TModeBeerDlg&>(d);
            dialogue.ModeAcqRG->SetItemIndex(mode);
            if (mini)
                dialogue.EditMin->setText(mini);
            if (maxi)
                dialogue.EditMax->setText(maxi);
            dialogue.OKBtnClick();
            return dialogue.result();
        });
        f->ModeBtn->click();
    }
    void Absorbance(const QByteArray& a) { ASSERT_TRUE(simulateur->Controle("absorbance " + a)); }
    void Tape(const QString& texte) {
        f->ClavierEdit->setText(texte);
        QTest::keyClick(f->ClavierEdit, Qt::Key_Return);
    }
    void Etalon(const QString& c, const QByteArray& a) {
        Absorbance(a);
        Tape(c);
    }
    void Inconnue(const QByteArray& a) {
        Absorbance(a);
        f->EnregistreBtn->click();
    }
    void Espace() { QTest::keyClick(f->EnregistreEdit, Qt::Key_Space); }
    void Peint() { f->Oscillo->RepeintMaintenant(); }
    void Active() {
        QEvent activation(QEvent::WindowActivate);
        QApplication::sendEvent(f, &activation);
    }
    static QString Case(const QTableWidget* grille, int ligne, int colonne) {
        const QTableWidgetItem* item = grille->item(ligne, colonne);
        return item ? item->text() : QString();
    }
    int Lectures() const { return static_cast<int>(simulateur->Journal().count("A[13]")); }

    TBoitesScriptees boites;
    std::unique_ptr<TSimulateurLance> simulateur;
    std::unique_ptr<TFenetres> fenetres;
    TBeerForm* f = nullptr;
};

TEST_F(FenetreBeer, ModeRangPremierPointAZeroEtAxeQuiGrandit) {
    EXPECT_EQ(f->Graphe.MondeX.Nom.Texte(), "n");
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 16);
    EXPECT_EQ(f->LabelClavier->isHidden(), true);
    Absorbance("0.412");
    Espace();
    ASSERT_EQ(f->Graphe.Courbe.NbPoints, 1);
    EXPECT_EQ(f->Graphe.Courbe.X[0], 0);
    EXPECT_DOUBLE_EQ(f->Graphe.Courbe.Y[0], 0.412);
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 32);
    EXPECT_EQ(Case(f->BeerMesureGrid, 2, 0), "0");
    EXPECT_EQ(Case(f->BeerMesureGrid, 2, 1), "0.412");
    f->EnregistreBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    EXPECT_EQ(f->Graphe.Courbe.X[1], 1);
    Peint();
    EXPECT_EQ(Case(f->BeerMesureGrid, 0, 0), "n");
    EXPECT_EQ(Case(f->BeerMesureGrid, 0, 1), "A");
    EXPECT_EQ(f->BeerMesureGrid->currentRow(), 3);

    // An unreadable reply records nothing.
    ASSERT_TRUE(simulateur->Controle("panne charabia"));
    Espace();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    EXPECT_TRUE(boites.Vues.empty());
}

TEST_F(FenetreBeer, ActivationRemetLesAxesDuMode) {
    Absorbance("0.2");
    for (int i = 0; i < 3; ++i)
        Espace();
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 32);
    Active();
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 16);
    // Beyond 17 points the axis keeps them all in view.
    for (int i = 0; i < 17; ++i)
        Espace();
    Active();
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 32);

    ChoisitMode(1);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
    Etalon("0.5", "0.3");
    Peint();
    EXPECT_DOUBLE_EQ(f->Graphe.MondeX.Maxi, 0.6); // past the standard, on a graduation
    Active();
    EXPECT_DOUBLE_EQ(f->Graphe.MondeX.Maxi, 0.1);
    Peint();
    EXPECT_DOUBLE_EQ(f->Graphe.MondeX.Maxi, 0.6);
    EXPECT_DOUBLE_EQ(f->Graphe.MondeY.Maxi, 1.0);
}

TEST_F(FenetreBeer, EntreeClavierBornesEtNombreMalEcrit) {
    ChoisitMode(2, "1", "2");
    EXPECT_EQ(f->LabelClavier->text(), "c (mol/L) =");
    EXPECT_TRUE(f->EnregistreBtn->isHidden());
    Absorbance("0.3");
    Tape("2");
    Tape("1");
    EXPECT_TRUE(boites.Vues.empty());
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);

    boites.Reponses = {TReponseBoite::Non};
    Tape("2.001");
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Texte, "2 avec mini=1 et maxi=2\n    Vous confirmez ?");
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::OuiNon);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 2);

    boites.Reponses = {TReponseBoite::Oui, TReponseBoite::Oui};
    Tape("2.001");
    EXPECT_EQ(f->Graphe.MondeX.Maxi, 2.001);
    Tape("0.5");
    EXPECT_EQ(f->Graphe.MondeX.Mini, 0.5);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 4);
    EXPECT_EQ(f->Graphe.Courbe.X[3], 0.5);

    boites.Vues.clear();
    Tape("1,5");
    ASSERT_EQ(boites.Textes(), QStringList{"Nombre mal écrit"});
    EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::Ok);
    EXPECT_EQ(f->ClavierEdit->text(), "");
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 4);
    EXPECT_EQ(Lectures(), 4);
}

TEST_F(FenetreBeer, BoutonsEtSauvegardeSelonLeMode) {
    for (int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        if (mode != 0)
            ChoisitMode(mode);
        Absorbance("0.3");
        for (const char* x : {"0.01", "0.02"})
            mode == 0 ? Espace() : Tape(x);
        ASSERT_EQ(f->Graphe.Courbe.NbPoints, 2);
        EXPECT_TRUE(f->ResetBtn->isHidden());
        EXPECT_TRUE(f->FileSaveBtn->isHidden());
        EXPECT_TRUE(f->ClipSaveBtn->isHidden());
        EXPECT_TRUE(f->RegSaveBtn->isHidden());
        EXPECT_FALSE(f->UndoBtn->isHidden());
        EXPECT_EQ(f->EnregistreBtn->isHidden(), mode != 0);
        boites.Vues.clear();
        f->close();
        EXPECT_TRUE(boites.Vues.empty());

        FormMain->ChoixMode(3);
        mode == 0 ? Espace() : Tape("0.03");
        EXPECT_FALSE(f->ResetBtn->isHidden());
        EXPECT_FALSE(f->FileSaveBtn->isHidden());
        EXPECT_FALSE(f->ClipSaveBtn->isHidden());
        EXPECT_FALSE(f->RegSaveBtn->isHidden());
        EXPECT_EQ(f->EnregistreBtn->isHidden(), mode == 2);
        boites.Reponses = {TReponseBoite::Non};
        f->close();
        // In every mode: a calibration's standards are measurements too.
        EXPECT_EQ(boites.Textes(), QStringList{"Sauvegarde"});
        FormMain->ChoixMode(3);
        EXPECT_EQ(f->Graphe.Courbe.NbPoints, 3); // the table survives a close
    }
}

TEST_F(FenetreBeer, MemeModeGardeLaTableUnAutreLaVide) {
    ChoisitMode(2);
    Absorbance("0.3");
    Tape("0.001");
    Tape("0.002");
    ChoisitMode(2);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    boites.Dialogues.push_back([](QDialog& d) {
        auto& dialogue = dynamic_cast<TModeBeerDlg&>(d);
        dialogue.ModeAcqRG->SetItemIndex(0);
        dialogue.CancelBtn->click();
        return dialogue.result();
    });
    f->ModeBtn->click();
    EXPECT_EQ(f->Session.Mode, 2);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    ChoisitMode(0);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
    EXPECT_EQ(f->Graphe.MondeX.Nom.Texte(), "n");
}

// Back from the Beer mode, where the record button waits for the third standard, the space bar
// and the button take points again.
TEST_F(FenetreBeer, RetourAuModeRangApresLeModeBeerEnregistreDeNouveau) {
    ChoisitMode(1);
    ChoisitMode(0);
    EXPECT_TRUE(f->EnregistreBtn->isEnabled());
    Absorbance("0.2");
    Espace();
    f->EnregistreBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
}

struct TCasCalibration {
    const char* nom;
    std::vector<std::pair<const char*, const char*>> etalons;
    const char* inconnue;
    double pente;
    const char* concentration;
    const char* ecart;
    const char* loi;
    const char* determination;
};

TEST_F(FenetreBeer, CalibrationParLeRapportDesSommes) {
    const TCasCalibration cas[] = {
        {"trois etalons",
         {{"0.01", "0.25"}, {"0.02", "0.40"}, {"0.04", "0.85"}},
         "0.5",
         1.5 / 0.07,
         "0.0233",
         "Ecart quadratique sur A : 0.0267",
         "A = 21.43 × c",
         "R² = 0.9977"},
        {"blanc exclu",
         {{"0", "0.002"}, {"0.01", "0.2"}, {"0.02", "0.4"}, {"0.03", "0.6"}},
         "0.5",
         20,
         "0.025",
         nullptr,
         "A = 20 × c",
         "R² = 1"},
    };
    for (const TCasCalibration& c : cas) {
        SCOPED_TRACE(c.nom);
        ChoisitMode(1);
        if (f->ResetBtn->isVisible())
            f->ResetBtn->click();
        EXPECT_EQ(f->LabelClavier->text(), "c (mol/L) =");
        for (size_t i = 0; i < c.etalons.size(); ++i) {
            EXPECT_EQ(f->EnregistreBtn->isHidden(), i < 3);
            // No line before the third standard, and no law.
            EXPECT_EQ(f->LoiLabel->text(), i < 3 ? "" : QString::fromUtf8(c.loi));
            Etalon(c.etalons[i].first, c.etalons[i].second);
        }
        EXPECT_EQ(f->LoiLabel->text(), QString::fromUtf8(c.loi));
        EXPECT_EQ(f->DeterminationLabel->text(), QString::fromUtf8(c.determination));
        EXPECT_TRUE(f->LoiLabel->isVisibleTo(f));
        // Its columns named, with the unit of the concentration.
        ASSERT_NE(f->beerCalcGrid->horizontalHeaderItem(1), nullptr);
        EXPECT_FALSE(f->beerCalcGrid->horizontalHeader()->isHidden());
        EXPECT_EQ(f->beerCalcGrid->horizontalHeaderItem(0)->text(), "c (mol/L)");
        EXPECT_EQ(f->beerCalcGrid->horizontalHeaderItem(1)->text(), "A");
        EXPECT_FALSE(f->EnregistreBtn->isHidden());
        EXPECT_EQ(f->EnregistreBtn->text(), "Concentration ?");
        EXPECT_NEAR(f->Session.Pente(), c.pente, 1e-9);
        if (c.ecart)
            EXPECT_EQ(f->EcartLabel->text(), c.ecart);
        else // the standards lie on the line: only rounding is left
            EXPECT_TRUE(f->EcartLabel->text().startsWith("Ecart quadratique sur A : "));
        // The space bar measures nothing in this mode.
        const int avant = Lectures();
        Espace();
        EXPECT_EQ(Lectures(), avant);
        Inconnue(c.inconnue);
        EXPECT_EQ(f->Session.Inconnues.NbreInconnues, 1);
        EXPECT_EQ(Case(f->beerCalcGrid, 0, 0), c.concentration);
        EXPECT_EQ(Case(f->beerCalcGrid, 0, 1), c.inconnue);
        ASSERT_NE(f->beerCalcGrid->item(0, 0), nullptr);
        EXPECT_EQ(f->beerCalcGrid->item(0, 0)->foreground().color(), QColor(Qt::red));
        EXPECT_TRUE(f->Session.DerniereInconnue);
        ChoisitMode(0);
        ChoisitMode(1);
    }
}

TEST_F(FenetreBeer, EtalonApresTroisInconnuesLesRecalculeEtDroiteRaide) {
    ChoisitMode(1);
    Etalon("0.01", "0.25");
    Etalon("0.02", "0.40");
    Etalon("0.04", "0.85");
    for (const char* a : {"0.3", "0.5", "0.7"})
        Inconnue(a);
    EXPECT_EQ(Case(f->beerCalcGrid, 2, 0), "0.0327");
    Peint();
    // The line would leave the top of the drawing: it ends at the height of MondeY.Maxi.
    int px = -1, py = -1;
    ASSERT_TRUE(ExtremiteDroite(f->Graphe, f->Session.Pente(), px, py));
    EXPECT_EQ(py, f->Graphe.MondeY.VersEcran(f->Graphe.MondeY.Maxi));
    EXPECT_EQ(px, f->Graphe.MondeX.VersEcran(f->Graphe.MondeY.Maxi / f->Session.Pente()));
    const QImage& image = f->Oscillo->Image();
    EXPECT_EQ(image.pixelColor(px, py), QColor(0, 0, 255));
    int cx = -1, cy = -1;
    f->Graphe.MondeVersEcran(f->Session.Inconnues.ConcInconnue[1], 0.5, cx, cy);
    EXPECT_EQ(image.pixelColor(cx, cy), QColor(255, 0, 0));

    Etalon("0.03", "0.60");
    EXPECT_NEAR(f->Session.Pente(), 21.0, 1e-9);
    EXPECT_EQ(Case(f->beerCalcGrid, 0, 0), "0.0143");
    EXPECT_EQ(Case(f->beerCalcGrid, 1, 0), "0.0238");
    EXPECT_EQ(Case(f->beerCalcGrid, 2, 0), "0.0333");
    EXPECT_FALSE(f->Session.DerniereInconnue);
}

// Every standard's cross lies wholly inside the plot, the largest one too: the axes end beyond
// the data, on a graduation, instead of on the largest value itself.
TEST_F(FenetreBeer, PlusGrandEtalonDansLeCadre) {
    const std::vector<std::pair<const char*, QByteArray>> series[] = {
        {{"0.05", "0.3"}, {"0.1", "0.6"}, {"0.2", "1.2"}},
        {{"0.5", "0.3"}, {"0.8", "1.7"}, {"1", "2"}},
    };
    for (const auto& etalons : series) {
        SCOPED_TRACE(etalons.back().first);
        ChoisitMode(1);
        if (f->ResetBtn->isVisible())
            f->ResetBtn->click();
        boites.Reponses.assign(etalons.size(), TReponseBoite::Oui); // beyond the 0.1 axis
        for (const auto& [c, a] : etalons)
            Etalon(c, a);
        Peint();
        const Tgraphe& g = f->Graphe;
        const TRectangle& cadre = g.ZoneTrace;
        const int t = g.TailleMarque;
        const auto dedans = [&](double x, double y) {
            int px = -1, py = -1;
            g.MondeVersEcran(x, y, px, py);
            EXPECT_TRUE(cadre.Left < px - t && px + t < cadre.Right) << x << ": " << px;
            EXPECT_TRUE(cadre.Top < py - t && py + t < cadre.Bottom) << y << ": " << py;
        };
        for (int i = 0; i < g.Courbe.NbPoints; ++i)
            dedans(g.Courbe.X[i], g.Courbe.Y[i]);
        // An unknown sample beyond the standards: the axes grow to hold its square.
        Inconnue("2.6");
        Peint();
        dedans(f->Session.Inconnues.ConcInconnue[0], 2.6);
        ChoisitMode(0);
    }
}

// The law shown is the one of the line drawn: after an undone standard, both keep the last fit;
// without a line, nothing is shown. A run brought back from its journal shows its law again.
TEST_F(FenetreBeer, LoiEtDeterminationSuiventLaDroite) {
    ChoisitMode(1);
    Etalon("0.01", "0.2");
    Etalon("0.02", "0.4");
    Etalon("0.03", "0.6");
    Etalon("0.04", "1.0");
    // k = 2.2 / 0.1; residues -0.02, -0.04, -0.06, 0.12 over ΣA² = 1.56.
    EXPECT_EQ(f->LoiLabel->text(), "A = 22 × c");
    EXPECT_EQ(f->DeterminationLabel->text(), "R² = 0.9872");
    f->UndoBtn->click();
    Peint();
    EXPECT_EQ(f->LoiLabel->text(), "A = 22 × c");
    EXPECT_EQ(f->DeterminationLabel->text(), "R² = 0.9872");
    int px = -1, py = -1;
    ASSERT_TRUE(ExtremiteDroite(f->Graphe, 22, px, py));
    EXPECT_EQ(f->Oscillo->Image().pixelColor(px, py), QColor(0, 0, 255));
    f->UndoBtn->click();
    EXPECT_EQ(f->LoiLabel->text(), "");
    EXPECT_EQ(f->DeterminationLabel->text(), "");
    Etalon("0.03", "0.6");
    EXPECT_EQ(f->LoiLabel->text(), "A = 20 × c");
    EXPECT_EQ(f->DeterminationLabel->text(), "R² = 1");
    boites.Reponses = {TReponseBoite::Non}; // the unsaved table is let go
    f->ResetBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
    EXPECT_EQ(f->LoiLabel->text(), "");

    Etalon("0.01", "0.2");
    Etalon("0.02", "0.4");
    Etalon("0.04", "0.8");
    ChoisitMode(0);
    EXPECT_EQ(f->LoiLabel->text(), "");
    EXPECT_TRUE(f->LoiLabel->isHidden());

    QTemporaryDir dossier;
    QFile journal(dossier.filePath("beer.journal"));
    ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
    journal.write("JOURNAL-JENWAY 1\nC mode beer\nC beer.mode 1\nC lambda 540\nC x.nom c\n"
                  "C x.unite mol%2FL\nP 0.01 0.25\nP 0.02 0.4\nP 0.04 0.85\n");
    journal.close();
    const std::optional<TJournalLu> lu = LitJournal(journal.fileName());
    ASSERT_TRUE(lu);
    f->Restaure(*lu);
    EXPECT_EQ(f->LoiLabel->text(), "A = 21.43 × c");
    EXPECT_EQ(f->DeterminationLabel->text(), "R² = 0.9977");
    EXPECT_TRUE(f->LoiLabel->isVisibleTo(f));
}

// "Tableau" follows the run: a row per point taken, fewer after an undo, none after a reset
// or a run brought back.
TEST_F(FenetreBeer, TableauSuitLaSerie) {
    f->TableauBtn->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f->Tableau));
    const QAbstractItemModel& modele = *f->Tableau->Grille->model();
    EXPECT_EQ(modele.rowCount(), 0);
    EXPECT_EQ(modele.headerData(0, Qt::Horizontal).toString(), "n");
    Absorbance("0.25");
    for (int i = 0; i < 3; ++i)
        Espace();
    EXPECT_EQ(modele.rowCount(), 3);
    EXPECT_EQ(modele.data(modele.index(2, 0)).toString(), "2");
    EXPECT_EQ(modele.data(modele.index(2, 1)).toString(), "0.25");
    f->UndoBtn->click();
    EXPECT_EQ(modele.rowCount(), 2);
    Espace();
    ASSERT_FALSE(f->ResetBtn->isHidden());
    boites.Reponses = {TReponseBoite::Non}; // the unsaved table is let go
    f->ResetBtn->click();
    EXPECT_EQ(modele.rowCount(), 0);

    ChoisitMode(1);
    EXPECT_EQ(modele.headerData(0, Qt::Horizontal).toString(), "c (mol/L)");
    Etalon("0.01", "0.2");
    Etalon("0.02", "0.4");
    Etalon("0.04", "0.8");
    Inconnue("0.5"); // not a point of the table
    EXPECT_EQ(modele.rowCount(), 3);
    EXPECT_EQ(modele.data(modele.index(2, 0)).toString(), "0.04");
    ChoisitMode(2);
    EXPECT_EQ(modele.rowCount(), 0);
}

// The printed page tells what was measured above the graph: the mode, when, the wavelength,
// the page information and, with a line drawn, its law.
TEST_F(FenetreBeer, PageImprimeeAvecSonEntete) {
    THorlogeTest horloge(QDateTime(QDate(2026, 12, 10), QTime(16, 20, 5)));
    InstalleHorloge(&horloge);
    ConstanteDlg->NomConstEdit->setText("T");
    ConstanteDlg->UniteConstEdit->setText("°C");
    ConstanteDlg->ValeurConstEdit->setText("25");
    ConstanteDlg->EditComm->setText("groupe 3");
    ConstanteDlg->ConstanteValide = true;
    const QString debut = "Loi de Beer-Lambert — " + TexteDateHeure(horloge.DateHeure());
    const struct {
        int mode;
        QStringList lignes;
    } cas[] = {
        {0, {debut, "λ = 500 nm", "T = 25 °C", "groupe 3"}},
        {1, {debut, "λ = 500 nm", "T = 25 °C", "groupe 3", "A = 21.43 × c R² = 0.9977"}},
    };
    QTemporaryDir dossier;
    for (const auto& c : cas) {
        SCOPED_TRACE(c.mode);
        ChoisitMode(c.mode);
        if (c.mode == 1) {
            Etalon("0.01", "0.25");
            Etalon("0.02", "0.40");
            Etalon("0.04", "0.85");
        }
        const QString pdf = dossier.filePath(QString("page%1.pdf").arg(c.mode));
        boites.Destinations = {TDestinationImpression{QString(), pdf}};
        f->PrintBtn->click();
        EXPECT_EQ(TexteDuPdf(pdf).mid(0, c.lignes.size()), c.lignes);
        EXPECT_EQ(f->Graphe.Canvas, &f->Oscillo->Canevas());
    }
    // A parameter not complete is not told; the comment still is.
    ConstanteDlg->ConstanteValide = false;
    const QString pdf = dossier.filePath("sans-parametre.pdf");
    boites.Destinations = {TDestinationImpression{QString(), pdf}};
    f->PrintBtn->click();
    EXPECT_EQ(TexteDuPdf(pdf).mid(0, 4),
              QStringList({debut, "λ = 500 nm", "groupe 3", "A = 21.43 × c R² = 0.9977"}));
    InstalleHorloge(nullptr);
}

TEST_F(FenetreBeer, DefaireInconnuesPuisEtalonsSansRecalcul) {
    ChoisitMode(1);
    Etalon("0.01", "0.2");
    Etalon("0.02", "0.4");
    Etalon("0.03", "0.6");
    Etalon("0.04", "1.0");
    const double pente = f->Session.Pente();
    Inconnue("0.3");
    Inconnue("0.5");
    f->UndoBtn->click();
    EXPECT_EQ(f->Session.Inconnues.NbreInconnues, 1);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 4);
    f->UndoBtn->click();
    EXPECT_EQ(f->Session.Inconnues.NbreInconnues, 0);
    // None left: Undo goes on with the standards, the slope stays as it was.
    f->UndoBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 3);
    EXPECT_EQ(f->Session.Pente(), pente);
    EXPECT_FALSE(f->EnregistreBtn->isHidden());
    f->UndoBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 2);
    EXPECT_TRUE(f->EnregistreBtn->isHidden());
    f->ResetBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
}

TEST_F(FenetreBeer, PenteNulleSansConcentrationNiDivision) {
    ChoisitMode(1);
    Etalon("0", "0.3");
    Etalon("0.01", "0.0005");
    Etalon("0.02", "0.001");
    EXPECT_EQ(f->Session.Pente(), 0);
    EXPECT_FALSE(f->EnregistreBtn->isHidden());
    EXPECT_EQ(f->EcartLabel->text(), "Aucun étalon au-dessus des seuils : pas de droite");
    Inconnue("0.4");
    Peint();
    EXPECT_EQ(Case(f->beerCalcGrid, 0, 0), "");
    EXPECT_EQ(Case(f->beerCalcGrid, 0, 1), "0.4");
    Etalon("0.02", "0.4");
    EXPECT_EQ(f->Session.Pente(), 20);
    EXPECT_EQ(Case(f->beerCalcGrid, 0, 0), "0.02");
}

TEST_F(FenetreBeer, TablesPleinesRefuseesSansLecture) {
    f->Graphe.Courbe.NbPoints = CapaciteCourbe;
    Espace();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, CapaciteCourbe);
    EXPECT_EQ(boites.Textes(), QStringList{"Le tableau est plein : 4097 points au plus."});
    EXPECT_EQ(Lectures(), 0);

    ChoisitMode(1);
    Etalon("0.01", "0.2");
    Etalon("0.02", "0.4");
    Etalon("0.03", "0.6");
    f->Session.Inconnues.NbreInconnues = CapaciteInconnues;
    boites.Vues.clear();
    f->EnregistreBtn->click();
    EXPECT_EQ(f->Session.Inconnues.NbreInconnues, CapaciteInconnues);
    EXPECT_EQ(boites.Textes(),
              QStringList{"4097 échantillons inconnus au plus : faites une remise à zéro."});
    EXPECT_EQ(Lectures(), 3);
}

TEST_F(FenetreBeer, UneSecondeLectureEstRefuseePendantLAttente) {
    ChoisitMode(2);
    Absorbance("0.3");
    ASSERT_TRUE(simulateur->Controle("panne lente"));
    Spectro.TimeOut = 40; // the slow reply comes after 1 s
    QTimer::singleShot(200, f, [this] { Tape("0.004"); });
    Tape("0.002");
    ASSERT_EQ(f->Graphe.Courbe.NbPoints, 1);
    EXPECT_EQ(f->Graphe.Courbe.X[0], 0.002);
    EXPECT_DOUBLE_EQ(f->Graphe.Courbe.Y[0], 0.3);
    EXPECT_EQ(Lectures(), 1);
}

TEST_F(FenetreBeer, LongueurDOndeClignoteEtAttenteDeStabilisation) {
    EXPECT_EQ(f->LambdaSE->MinValue(), 325);
    EXPECT_EQ(f->LambdaSE->MaxValue(), 950);
    EXPECT_EQ(f->LambdaSE->Value(), 500);
    EXPECT_FALSE(f->MajBtn->isHidden());
    EXPECT_TRUE(f->Timer->isActive());
    f->TimerTimer();
    const QString premier = f->MajBtn->styleSheet();
    f->TimerTimer();
    EXPECT_NE(f->MajBtn->styleSheet(), premier);

    for (int timeOut : {9, 100}) {
        SCOPED_TRACE(timeOut);
        Spectro.TimeOut = static_cast<quint16>(timeOut);
        f->LambdaSE->SetValue(520);
        f->LambdaSE->SetValue(521 + timeOut);
        f->MajBtn->click();
        EXPECT_TRUE(f->AttenteLambda());
        EXPECT_TRUE(f->MajBtn->isHidden());
        for (QWidget* w : std::initializer_list<QWidget*>{
                 f->ClavierEdit, f->EnregistreBtn, f->EnregistreEdit, f->ZeroBtn, f->LambdaSE})
            EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        // Nothing reads during the wait.
        Espace();
        EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
        QElapsedTimer chrono;
        chrono.start();
        EXPECT_TRUE(QTest::qWaitFor([this] { return !f->AttenteLambda(); }, 10000));
        EXPECT_GE(chrono.elapsed(), timeOut * 9); // Qt's coarse timers may fire 5 % early
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        for (QWidget* w : std::initializer_list<QWidget*>{
                 f->ClavierEdit, f->EnregistreBtn, f->EnregistreEdit, f->ZeroBtn, f->LambdaSE})
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_FALSE(f->Timer->isActive());
    }
    EXPECT_TRUE(simulateur->Journal().contains("G530.0[13]\n"));
    EXPECT_TRUE(simulateur->Journal().contains("G621.0[13]\n"));
}

TEST_F(FenetreBeer, EtalonsEtInconnueDansLaCuveDuSimulateur) {
    ChoisitMode(1);
    f->LambdaSE->SetValue(520);
    f->MajBtn->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !f->AttenteLambda(); }, 3000));
    ASSERT_TRUE(simulateur->Controle("cuve blanc"));
    f->ZeroBtn->click();
    simulateur->AttendJournal(3); // ZA reaches the instrument before the first standard
    for (const char* c : {"0.2", "0.4", "0.8"}) {
        ASSERT_TRUE(simulateur->Controle(QByteArray("cuve etalon ") + c));
        Tape(c);
    }
    ASSERT_TRUE(simulateur->Controle("cuve inconnu 0.6"));
    f->EnregistreBtn->click();
    ASSERT_EQ(f->Session.Inconnues.NbreInconnues, 1);
    EXPECT_NEAR(f->Session.Inconnues.ConcInconnue[0], 0.6, 0.005);
    EXPECT_NEAR(f->Session.Pente(), 0.82, 0.01);
    EXPECT_TRUE(simulateur->Journal().contains("G520.0[13]\nZA[13]\nA[13]\n"));
}

TEST_F(FenetreBeer, FichiersPressePapiersEtEnvoiDeLaCalibrationSansLesInconnues) {
    ChoisitMode(1);
    Etalon("0.01", "0.25");
    Etalon("0.02", "0.40");
    Etalon("0.04", "0.85");
    Inconnue("0.5");
    // The standards only, never the unknown sample.
    const std::pair<const char*, QByteArray> fichiers[] = {
        {"etalons.tb3", "VALEUR VAR\r\n0.01 0.25\r\n0.02 0.4\r\n0.04 0.85\r\n"},
        {"etalons.txt", "c\tA\r\nmol/L\t\r\nConcentration\tAbsorbance\r\n0.01\t0.25\r\n"
                        "0.02\t0.4\r\n0.04\t0.85\r\n"},
    };

    QTemporaryDir dossier;
    for (const auto& [nom, fin] : fichiers) {
        SCOPED_TRACE(nom);
        f->Session.Sauve = false;
        boites.NomsFichiers = {dossier.filePath(nom)};
        f->FileSaveBtn->click();
        ASSERT_EQ(boites.SauvegardesDemandees.size(), 1u);
        EXPECT_EQ(boites.SauvegardesDemandees[0].Titre, "Sauvegarde données");
        EXPECT_EQ(boites.SauvegardesDemandees[0].ExtensionParDefaut, "TB3");
        // The data folder, as in the other windows, never the current folder.
        EXPECT_EQ(boites.SauvegardesDemandees[0].Dossier,
                  QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                      .filePath("Tablarix"));
        boites.SauvegardesDemandees.clear();
        QFile fichier(dossier.filePath(nom));
        ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
        const QByteArray contenu = fichier.readAll();
        EXPECT_TRUE(contenu.endsWith(fin)) << contenu.toStdString();
        EXPECT_TRUE(f->Session.Sauve);
    }
    // A file that cannot be written leaves the run unsaved.
    f->Session.Sauve = false;
    boites.NomsFichiers = {dossier.filePath("absent/etalons.txt")};
    f->FileSaveBtn->click();
    EXPECT_FALSE(f->Session.Sauve);

    f->ClipSaveBtn->click();
    EXPECT_TRUE(f->Session.Sauve);
    const QString presse = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(presse.contains("c\tA\r\nmol/L\t\r\n0.01\t0.25\r\n0.02\t0.4\r\n0.04\t0.85\r\n"))
        << presse.toStdString();
    EXPECT_FALSE(presse.contains("0.5\t"));

    qputenv("JENWAY_DDE", "socket");
    qputenv("JENWAY_DDE_ESPACE", dossier.path().toLocal8Bit() + '/');
    TTablarixDansUnFil tablarix;
    FormMain->ChoixMode(3); // a new visit: the first transfer makes a new file
    ASSERT_TRUE(tablarix.Enregistre());
    const auto accepte = [](QDialog& d) {
        d.accept();
        return int(QDialog::Accepted);
    };
    boites.Dialogues = {accepte, [](QDialog&) { return int(QDialog::Rejected); }, accepte};
    f->Session.Sauve = false;
    for (int i = 0; i < 3; ++i)
        f->RegSaveBtn->click();
    EXPECT_TRUE(QTest::qWaitFor([&tablarix] { return tablarix.Macros().size() >= 2; }, 3000));
    const QList<QByteArray> macros = tablarix.Macros();
    ASSERT_EQ(macros.size(), 2) << boites.Textes().join("/").toStdString();
    EXPECT_TRUE(macros[0].startsWith("CLIP|LOAD()"));
    EXPECT_TRUE(macros[1].startsWith("CLIP|ADD()"));
    EXPECT_TRUE(f->Session.Sauve);
    qunsetenv("JENWAY_DDE_ESPACE");
}

TEST_F(FenetreBeer, AppareilDebrancheEnPleineLecture) {
    Absorbance("0.3");
    Espace();
    ASSERT_TRUE(simulateur->Controle("panne silence"));
    Spectro.TimeOut = 200;
    QTimer::singleShot(200, f, [this] { simulateur->ControleSansAttendre("debranche"); });
    QElapsedTimer chrono;
    chrono.start();
    Espace();
    EXPECT_LT(chrono.elapsed(), 5000); // the reading ends with the line, not at its time-out (11 s)
    // The main window told the user once; the point taken stays and the window is usable.
    EXPECT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 1);
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(f->EnregistreBtn->isEnabled());
    f->UndoBtn->click();
    EXPECT_EQ(f->Graphe.Courbe.NbPoints, 0);
}

TEST_F(FenetreBeer, AidesZeroImpressionEtSortie) {
    EXPECT_EQ(f->ResetBtn->toolTip(), "RàZ");
    EXPECT_EQ(f->UndoBtn->toolTip(), "Défaire");
    for (QWidget* w : std::initializer_list<QWidget*>{f->ClipSaveBtn, f->ModeBtn, f->MajBtn,
                                                      f->ZeroBtn, f->PrintBtn, f->LambdaSE})
        EXPECT_EQ(w->toolTip(), "") << w->objectName().toStdString();
    EXPECT_EQ(f->ModeBtn->accessibleName(), "Mode");
    EXPECT_EQ(f->MajBtn->statusTip(),
              "Si clignotant, cliquer pour régler la longueur d'onde du spectro");
    QStatusTipEvent survol(f->ZeroBtn->statusTip());
    QApplication::sendEvent(f->ZeroBtn, &survol);
    EXPECT_EQ(f->StatusBar->currentMessage(), "Mettre la cuve avec le solvant puis cliquer ici");
    EXPECT_EQ(f->EnregistreBtn->statusTip(), "Cliquer pour enregistrer un point");

    // Zero while the update button blinks: it stops blinking and stays.
    ASSERT_TRUE(f->Timer->isActive());
    f->ZeroBtn->click();
    EXPECT_FALSE(f->Timer->isActive());
    EXPECT_FALSE(f->MajBtn->isHidden());
    EXPECT_TRUE(f->MajBtn->isEnabled());
    EXPECT_TRUE(f->EnregistreBtn->isEnabled());

    QTemporaryDir dossier;
    const QString pdf = dossier.filePath("graphe.pdf");
    boites.Destinations = {TDestinationImpression{QString(), pdf}};
    f->PrintBtn->click();
    EXPECT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(f->Graphe.Canvas, &f->Oscillo->Canevas());

    f->ExitBtn->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 0);
}

// Leaving tells the instrument once, by the exit button as by the window's frame; the "R" of the
// next visit shows that no second "X" followed.
TEST_F(FenetreBeer, SortieEnvoieXUneSeuleFois) {
    const std::pair<const char*, std::function<void()>> sorties[] = {
        {"Quitter",
         [this] {
             f->ExitBtn->click();
         }},
        {"cadre",
         [this] {
             f->close();
         }},
    };
    simulateur->AttendJournal(1); // the "R" of the first visit, before counting what follows
    for (const auto& [nom, sortie] : sorties) {
        SCOPED_TRACE(nom);
        const int avant = static_cast<int>(simulateur->Journal().count('\n'));
        sortie();
        EXPECT_FALSE(f->isVisible());
        EXPECT_EQ(FormMain->ModeCourant, 0);
        FormMain->ChoixMode(3);
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
        const QList<QByteArray> envoye = simulateur->AttendJournal(avant + 2).split('\n');
        EXPECT_EQ(envoye.mid(avant), QList<QByteArray>({"X[13]", "R[13]", ""}));
    }
}

// What the instrument receives is what the field shows, within the instrument's limits.
TEST_F(FenetreBeer, LongueurDOndeTapeeBorneeAvantLEnvoi) {
    const struct {
        const char* tape;
        int envoye;
    } cas[] = {{"2000", 950}, {"100", 325}, {"-40", 325}, {"abc", 325}, {"", 325}, {"612", 612}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.tape);
        f->LambdaSE->Edit().selectAll();
        f->LambdaSE->Edit().del();
        QTest::keyClicks(&f->LambdaSE->Edit(), c.tape);
        ASSERT_FALSE(f->MajBtn->isHidden());
        f->MajBtn->click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !f->AttenteLambda(); }, 3000));
        EXPECT_EQ(f->LambdaSE->Text(), QString::number(c.envoye));
        EXPECT_TRUE(f->MajBtn->isHidden()); // showing the bound is no new change to send
        const QByteArray attendu = "G" + QByteArray::number(c.envoye) + ".0[13]\n";
        EXPECT_TRUE(QTest::qWaitFor(
            [this, &attendu] { return simulateur->Journal().endsWith(attendu); }, 3000))
            << simulateur->Journal().constData();
    }
}

// Buttons that show or hide keep the others in place: a click never lands on a neighbour that
// moved under the mouse. After the wavelength update or the zero, the focus is back where the
// next point is taken, so the space bar records a point and prints nothing.
TEST_F(FenetreBeer, BarreImmobileEtFocusRenduALaSaisie) {
    const std::initializer_list<QWidget*> barre = {f->ModeBtn,  f->LambdaSE, f->ZeroBtn,
                                                   f->PrintBtn, f->ExitBtn,  f->EnregistreBtn};
    const auto positions = [&barre] {
        QList<QRect> p;
        for (QWidget* w : barre)
            p << w->geometry();
        return p;
    };
    const QList<QRect> depart = positions();
    Absorbance("0.2");
    for (const auto& [etape, bouton] :
         {std::pair{"mise à jour", static_cast<QWidget*>(f->MajBtn)}, {"zéro", f->ZeroBtn}}) {
        SCOPED_TRACE(etape);
        QTest::mouseClick(bouton, Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !f->AttenteLambda(); }, 3000));
        QTest::qWait(20); // the layout settles
        EXPECT_EQ(QApplication::focusWidget(), f->EnregistreEdit);
        const int n = f->Graphe.Courbe.NbPoints;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(f->Graphe.Courbe.NbPoints, n + 1);
        EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join("/").toStdString();
        EXPECT_EQ(positions(), depart);
    }
    Espace(); // the save, reset and undo buttons show
    ASSERT_FALSE(f->FileSaveBtn->isHidden());
    QTest::qWait(20);
    EXPECT_EQ(positions(), depart);

    ChoisitMode(1);
    f->LambdaSE->SetValue(520);
    QTest::mouseClick(f->MajBtn, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !f->AttenteLambda(); }, 3000));
    EXPECT_EQ(QApplication::focusWidget(), f->ClavierEdit);
}

} // namespace
