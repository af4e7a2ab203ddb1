// What becomes of a run in each mode window when it is sent, left or the program ends: counted as
// saved only once it is in a file or Tablarix took it, never lost without the "Sauvegarde"
// question, its journal kept until then. Against the simulated instrument and tablarix-factice.
#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "TablarixFactice.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/FormDDE.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/journal/Journal.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// One mode window seen the same way in the three modes.
struct TFenetreMode {
    const char* nom;
    std::function<void()> prepare; // leaves a finished run, unsaved, in the window
    std::function<QWidget&()> fenetre;
    std::function<TJournal&()> journal;
    std::function<bool()> sauve;
    std::function<QToolButton*()> envoi;
    std::function<QString()> aide; // the window's status text
};

class Reglement : public ::testing::Test {
protected:
    Reglement() {
        qputenv("JENWAY_JOURNAUX", QFile::encodeName(Journaux()));
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier_.path() + u'/'));
        qputenv("TABLARIX_FACTICE",
                "--duree 30000 --journal " + QFile::encodeName(dossier_.filePath("tablarix")));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier_.path());
        Spectro = TspectroJenway{};
        fenetres_ = std::make_unique<TFenetres>();
        FormMain->show();
    }
    ~Reglement() override {
        fenetres_.reset();
        InstalleHorloge(nullptr);
        Spectro = TspectroJenway{};
        ArreteTablarix();
        qputenv("JENWAY_JOURNAUX", journauxAvant_);
        qunsetenv("JENWAY_DDE_ESPACE");
        qunsetenv("TABLARIX_FACTICE");
    }

    // Ends the tablarix-factice programs that a send started, and waits for them to be gone.
    void ArreteTablarix() {
        EXPECT_TRUE(ArreteTablarixDemarres(dossier_.filePath("tablarix")));
        QFile::remove(dossier_.filePath("tablarix"));
    }
    QString Journaux() const { return dossier_.filePath(QStringLiteral("journaux")); }
    int JournauxLaisses() const { return static_cast<int>(JournauxEnAttente(Journaux()).size()); }

    std::vector<TFenetreMode> Fenetres() {
        return {
            {"cinetique", [this] { Cinetique(); }, []() -> QWidget& { return *CinetiqueForm; },
             []() -> TJournal& { return CinetiqueForm->Journal; },
             [] { return CinetiqueForm->Sauve; }, [] { return CinetiqueForm->RegSaveBtn; },
             [] {
                 return CinetiqueForm->StatusBar->currentMessage();
             }},
            {"spectre", [this] { Spectre(); }, []() -> QWidget& { return *TraceSpectre; },
             []() -> TJournal& { return TraceSpectre->Journal; },
             [] { return TraceSpectre->Sauve; }, [] { return TraceSpectre->RegSaveBtn; },
             [] {
                 return TraceSpectre->Panels[2]->text();
             }},
            {"beer", [this] { Beer(); }, []() -> QWidget& { return *BeerForm; },
             []() -> TJournal& { return BeerForm->Journal; },
             [] { return BeerForm->Session.Sauve; }, [] { return BeerForm->RegSaveBtn; },
             [] {
                 return BeerForm->StatusBar->currentMessage();
             }},
        };
    }

    // The kinetics run ticks on the test's clock, the other modes on the system's.
    void Cinetique() {
        InstalleHorloge(&horloge_);
        FormMain->ChoixMode(2);
        TCinetiqueForm& f = *CinetiqueForm;
        f.Timer->blockSignals(true);
        f.LambdaBtn->click();
        f.ZeroBtn->click();
        f.StartBtn->click();
        while (f.Graphe->Courbe.NbPoints < 20) {
            horloge_.Avance(2000);
            f.TimerTimer();
        }
        f.StopBtn->click();
        InstalleHorloge(nullptr); // the instrument's waits of the other modes need real time
        ASSERT_EQ(f.Etat(), TCinetiqueForm::EtatFini);
    }
    void Spectre() {
        FormMain->ChoixMode(1);
        TTraceSpectre& f = *TraceSpectre;
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow() && !f.ReglageEnCours(); }));
        f.FinSE->SetValue(800);
        f.DebutSE->SetValue(400);
        f.PasCB->setCurrentIndex(2);
        f.BlancBtn->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.Recepteur.BlancFait(); }));
        f.SpectreBtn->click();
        ASSERT_TRUE(QTest::qWaitFor([&] { return f.Recepteur.Etat() == TEtatSpectre::Repos; }));
        ASSERT_EQ(f.Graphe.Courbe.NbPoints, 81);
    }
    void Beer() {
        FormMain->ChoixMode(3);
        for (int i = 0; i < 4; ++i)
            BeerForm->EnregistreBtn->click();
        ASSERT_EQ(BeerForm->Graphe.Courbe.NbPoints, 4);
    }

    TBoitesScriptees boites;
    TSimulateurLance simulateur;

    QTemporaryDir dossier_;
    std::unique_ptr<TFenetres> fenetres_;

private:
    QByteArray journauxAvant_ = qgetenv("JENWAY_JOURNAUX");
    THorlogeTest horloge_{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)), 1000};
};

int Confirme(QDialog& dialogue) {
    static_cast<TConstanteDlg&>(dialogue).OKBtnClick();
    return dialogue.result();
}

// Tablarix that cannot be started: the user is told where its path is set, and the run stays
// unsaved with its journal. Tablarix that takes the data: saved, journal gone, and the status bar
// says so.
TEST_F(Reglement, SeulUnEnvoiReussiCompteCommeSauvegarde) {
    for (const TFenetreMode& m : Fenetres()) {
        SCOPED_TRACE(m.nom);
        FormDDE->CheminTablarix = QDir(Journaux()).filePath(QStringLiteral("absent/tablarix"));
        m.prepare();
        ASSERT_EQ(JournauxLaisses(), 1);

        boites.Vues.clear();
        boites.Dialogues = {Confirme};
        m.envoi()->click();
        ASSERT_EQ(boites.Vues.size(), 1u);
        const QString texte = boites.Vues[0].Texte;
        EXPECT_TRUE(texte.startsWith("Impossible de lancer Tablarix\n")) << texte.toStdString();
        EXPECT_TRUE(texte.contains("« Path »")) << texte.toStdString();
        EXPECT_TRUE(texte.contains(dossier_.filePath("Tablarix/Tablarix.conf")))
            << texte.toStdString();
        EXPECT_FALSE(m.sauve());
        EXPECT_EQ(JournauxLaisses(), 1);
        EXPECT_NE(m.aide(), "Données envoyées à Tablarix");

        FormDDE->CheminTablarix = CheminTablarixFactice();
        boites.Vues.clear();
        boites.Dialogues = {Confirme};
        m.envoi()->click();
        EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
        EXPECT_TRUE(m.sauve());
        EXPECT_EQ(JournauxLaisses(), 0);
        EXPECT_EQ(m.aide(), "Données envoyées à Tablarix");
        m.fenetre().close();
        ArreteTablarix();
    }
}

// Ending the program with a run not saved asks "Sauvegarde" in every mode: Annuler keeps the
// program, the window and the journal; Non ends it, and no journal is left.
TEST_F(Reglement, LaFinDuProgrammeDemandeSauvegarde) {
    for (const TFenetreMode& m : Fenetres()) {
        SCOPED_TRACE(m.nom);
        if (!fenetres_) {
            fenetres_ = std::make_unique<TFenetres>();
            FormMain->show();
        }
        m.prepare();
        boites.Vues.clear();
        boites.Reponses = {TReponseBoite::Annuler};
        EXPECT_FALSE(FormMain->close());
        EXPECT_EQ(boites.Textes(), QStringList{"Sauvegarde"});
        EXPECT_EQ(boites.Vues[0].Boutons, TBoutonsBoite::OuiNonAnnuler);
        EXPECT_TRUE(FormMain->isVisible());
        EXPECT_TRUE(m.fenetre().isVisible());
        EXPECT_EQ(JournauxLaisses(), 1);

        boites.Reponses = {TReponseBoite::Non};
        EXPECT_TRUE(FormMain->close());
        EXPECT_EQ(boites.Textes(), QStringList({"Sauvegarde", "Sauvegarde"}));
        EXPECT_EQ(JournauxLaisses(), 0);
        fenetres_.reset();
    }
}

// A run left in a hidden window: copied (no question, as saved), or never asked about.
TEST_F(Reglement, LaFinDuProgrammeRegleLesRunsDesFenetresCachees) {
    Beer();
    BeerForm->ClipSaveBtn->click();
    BeerForm->close();
    Spectre();
    TraceSpectre->hide(); // left without the question
    EXPECT_EQ(JournauxLaisses(), 2);
    boites.Vues.clear();
    boites.Reponses = {TReponseBoite::Non};
    EXPECT_TRUE(FormMain->close());
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(boites.Vues[0].Titre, TraceSpectre->windowTitle());
    EXPECT_EQ(JournauxLaisses(), 0);
}

TEST_F(Reglement, LaRemiseAZeroDUneTableNonSauveeDemandeDAbord) {
    Beer();
    TBeerForm& f = *BeerForm;
    boites.Vues.clear();
    boites.Reponses = {TReponseBoite::Annuler};
    f.ResetBtn->click();
    EXPECT_EQ(boites.Textes(), QStringList{"Sauvegarde"});
    EXPECT_EQ(f.Graphe.Courbe.NbPoints, 4);
    EXPECT_EQ(JournauxLaisses(), 1);
    boites.Reponses = {TReponseBoite::Non};
    f.ResetBtn->click();
    EXPECT_EQ(f.Graphe.Courbe.NbPoints, 0);
    EXPECT_EQ(JournauxLaisses(), 0);

    Beer();
    QTemporaryDir sortie;
    boites.NomsFichiers = {sortie.filePath(QStringLiteral("beer.txt"))};
    f.FileSaveBtn->click();
    boites.Vues.clear();
    f.ResetBtn->click(); // saved: no question
    EXPECT_TRUE(boites.Vues.empty());
    EXPECT_EQ(f.Graphe.Courbe.NbPoints, 0);
}

// A journal folder that cannot hold a journal: the run goes on, and the window says once that it
// is not protected.
TEST_F(Reglement, UnJournalImpossibleEstDitUneFoisDansLaBarreDEtat) {
    fenetres_.reset();
    const QString fichier = dossier_.filePath(QStringLiteral("un-fichier"));
    QFile(fichier).open(QIODevice::WriteOnly);
    qputenv("JENWAY_JOURNAUX", QFile::encodeName(fichier));
    fenetres_ = std::make_unique<TFenetres>();
    FormMain->ChoixMode(3);
    TBeerForm& f = *BeerForm;
    f.EnregistreBtn->click();
    EXPECT_TRUE(f.StatusBar->currentMessage().startsWith(
        "Protection contre les arrêts brutaux hors service"))
        << f.StatusBar->currentMessage().toStdString();
    f.StatusBar->clearMessage();
    f.EnregistreBtn->click();
    f.EnregistreBtn->click();
    EXPECT_EQ(f.Graphe.Courbe.NbPoints, 3);
    EXPECT_TRUE(f.StatusBar->currentMessage().isEmpty());
}

} // namespace
