// The journals of the three mode windows: written while a run is taken, removed once it is
// saved or discarded, found again after the program was killed and restored in their window.
#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/journal/Journal.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"
#include "shell/Reprise.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

// Journals go to a folder of the test's own, for the windows created here and for the killed
// program alike.
class DossierJournauxTemporaire {
public:
    DossierJournauxTemporaire() { qputenv("JENWAY_JOURNAUX", QFile::encodeName(Chemin())); }
    ~DossierJournauxTemporaire() { qputenv("JENWAY_JOURNAUX", avant_); }
    QString Chemin() const { return dossier_.filePath(QStringLiteral("journaux")); }

private:
    QTemporaryDir dossier_;
    QByteArray avant_ = qgetenv("JENWAY_JOURNAUX");
};

// What the journal of a window holds now, once written.
std::optional<TJournalLu> Relu(TJournal& journal) {
    if (!journal.Actif())
        return std::nullopt;
    journal.Synchronise();
    return LitJournal(journal.Chemin());
}

class Journaux : public ::testing::Test {
protected:
    Journaux() {
        Spectro = TspectroJenway{};
        fenetres = std::make_unique<TFenetres>();
    }
    ~Journaux() override {
        fenetres.reset();
        InstalleHorloge(nullptr);
        Spectro = TspectroJenway{};
    }

    // The instrument's waits run on the clock too: it is the test's for kinetics only.
    TCinetiqueForm& Cinetique(int points) {
        InstalleHorloge(&horloge);
        FormMain->ChoixMode(2);
        TCinetiqueForm& f = *CinetiqueForm;
        f.Timer->blockSignals(true); // ticked by the test, once the clock has moved on
        f.LambdaBtn->click();
        f.ZeroBtn->click();
        f.StartBtn->click();
        while (f.Graphe->Courbe.NbPoints < points) {
            horloge.Avance(2000);
            f.TimerTimer();
        }
        return f;
    }

    DossierJournauxTemporaire journaux;
    TBoitesScriptees boites;
    TSimulateurLance simulateur;
    THorlogeTest horloge{QDateTime(QDate(2026, 12, 10), QTime(9, 30, 0)), 1000};
    std::unique_ptr<TFenetres> fenetres;
};

// A journal goes once its run is in a file, sent, discarded, or the user answered "Sauvegarde":
// never on a copy (the clipboard dies with the program), nor when the program ends without the
// question.
TEST_F(Journaux, LeJournalDUneCinetiqueResteJusquACeQueLeRunSoitRegle) {
    struct TCas {
        const char* nom;
        int points;
        std::function<void(TCinetiqueForm&)> action;
        bool journalGarde;
    };
    const auto annule = [&](TCinetiqueForm& f) {
        boites.Reponses = {TReponseBoite::Annuler};
        f.close();
        EXPECT_TRUE(f.isVisible());
    };
    const std::vector<TCas> cas = {
        {"enregistree", 20,
         [&](TCinetiqueForm& f) {
             QTemporaryDir sortie;
             boites.NomsFichiers = {sortie.filePath(QStringLiteral("run.tb3"))};
             f.StopBtn->click();
             f.FileSaveBtn->click();
             ASSERT_TRUE(f.Sauve);
         },
         false},
        {"copiee", 20,
         [](TCinetiqueForm& f) {
             f.StopBtn->click();
             f.ClipSaveBtn->click();
         },
         true},
        {"copiee puis fin du programme", 20,
         [](TCinetiqueForm& f) {
             f.StopBtn->click();
             f.ClipSaveBtn->click();
             f.close();
             EXPECT_TRUE(FormMain->close()); // copied counts as saved: no question
         },
         false},
        {"remise a zero", 20,
         [](TCinetiqueForm& f) {
             f.StopBtn->click();
             f.ResetBtn->click();
         },
         false},
        {"regle d'arret", 5, [](TCinetiqueForm& f) { f.StopBtn->click(); }, false},
        {"non a Sauvegarde", 20,
         [&](TCinetiqueForm& f) {
             boites.Reponses = {TReponseBoite::Non};
             f.close();
         },
         false},
        {"annuler a Sauvegarde", 20, annule, true},
        {"oui a Sauvegarde puis annule", 20,
         [&](TCinetiqueForm& f) {
             boites.Reponses = {TReponseBoite::Oui};
             boites.NomsFichiers = {std::nullopt};
             f.close();
             EXPECT_TRUE(f.isVisible()); // nothing saved: the user stays with the run
         },
         true},
        {"fin du programme, non a Sauvegarde", 20,
         [&](TCinetiqueForm&) {
             boites.Reponses = {TReponseBoite::Non};
             EXPECT_TRUE(FormMain->close());
         },
         false},
        {"fin du programme, annuler", 20,
         [&](TCinetiqueForm& f) {
             boites.Reponses = {TReponseBoite::Annuler};
             EXPECT_FALSE(FormMain->close());
             EXPECT_TRUE(f.isVisible());
         },
         true},
        {"fin sans la question", 20, [&](TCinetiqueForm&) { fenetres.reset(); }, true},
    };
    for (const TCas& c : cas) {
        SCOPED_TRACE(c.nom);
        if (!fenetres)
            fenetres = std::make_unique<TFenetres>();
        FormMain->show();
        boites.Vues.clear();
        TCinetiqueForm& f = Cinetique(c.points);
        const auto lu = Relu(f.Journal);
        ASSERT_TRUE(lu.has_value());
        EXPECT_EQ(lu->X.size(), c.points);
        EXPECT_EQ(lu->Champs.at("mode"), "cinetique");
        c.action(f);
        EXPECT_EQ(JournauxEnAttente(journaux.Chemin()).size(), c.journalGarde ? 1 : 0);
        if (fenetres && f.Etat() == TCinetiqueForm::EtatFini)
            f.ResetBtn->click();
        for (const QString& reste : JournauxEnAttente(journaux.Chemin()))
            QFile::remove(reste);
    }
}

TEST_F(Journaux, UnSpectreEstJournaliseDeSaPremiereLigneASaSauvegarde) {
    FormMain->ChoixMode(1);
    TTraceSpectre& f = *TraceSpectre;
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.isActiveWindow() && !f.ReglageEnCours(); }));
    f.FinSE->SetValue(800);
    f.DebutSE->SetValue(400);
    f.PasCB->setCurrentIndex(2);
    f.BlancBtn->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Recepteur.BlancFait(); }));
    EXPECT_FALSE(f.Journal.Actif()); // a baseline is no run
    f.SpectreBtn->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.Recepteur.Etat() == TEtatSpectre::Repos; }));

    const auto lu = Relu(f.Journal);
    ASSERT_TRUE(lu.has_value());
    ASSERT_EQ(lu->X.size(), 81);
    EXPECT_EQ(lu->X[80], 800);
    EXPECT_EQ(lu->Y[24], f.Graphe.Courbe.Y[24]);
    EXPECT_EQ(lu->Champs.at("x.nom"), "\x88");
    EXPECT_EQ(lu->Champs.at("pas.l"), "2");

    QTemporaryDir sortie;
    boites.NomsFichiers = {sortie.filePath(QStringLiteral("spectre.txt"))};
    f.FileSaveBtn->click();
    EXPECT_TRUE(f.Sauve);
    EXPECT_TRUE(JournauxEnAttente(journaux.Chemin()).isEmpty());
}

TEST_F(Journaux, ChaquePointDeBeerLambertEstJournaliseEtDefaireLeRetire) {
    FormMain->ChoixMode(3);
    TBeerForm& f = *BeerForm;
    for (int i = 0; i < 4; ++i)
        f.EnregistreBtn->click();
    ASSERT_EQ(f.Graphe.Courbe.NbPoints, 4);
    EXPECT_EQ(Relu(f.Journal)->X, QList<double>({0, 1, 2, 3}));
    f.UndoBtn->click();
    const auto lu = Relu(f.Journal);
    ASSERT_TRUE(lu.has_value());
    EXPECT_EQ(lu->Y, QList<double>(f.Graphe.Courbe.Y.begin(), f.Graphe.Courbe.Y.begin() + 3));
    EXPECT_EQ(lu->Champs.at("beer.mode"), "0");
    EXPECT_EQ(JournauxEnAttente(journaux.Chemin()).size(), 1);

    QTemporaryDir sortie;
    boites.NomsFichiers = {sortie.filePath(QStringLiteral("beer.txt"))};
    f.FileSaveBtn->click();
    EXPECT_TRUE(JournauxEnAttente(journaux.Chemin()).isEmpty());
    f.EnregistreBtn->click(); // the saved table grows again: journaled from its first point
    EXPECT_EQ(Relu(f.Journal)->X.size(), 4);
}

// A journal cut by a power failure in the middle of its last line, as found at the next start.
TEST_F(Journaux, UnJournalCoupeEstRestaureJusquASonDernierPointComplet) {
    QDir().mkpath(journaux.Chemin());
    QFile coupe(QDir(journaux.Chemin()).filePath(QStringLiteral("coupe.journal")));
    ASSERT_TRUE(coupe.open(QIODevice::WriteOnly));
    coupe.write("JOURNAL-JENWAY 1\nC debut 2026-12-09T22:10:00\nC dt 5\nC duree 600\n"
                "C lambda 620\nC mode cinetique\nC nbre 120\nC page.commentaire lot%2042\n"
                "C page.valide 0\nC x.maxi 600\nC x.nom t\nC x.unite s\nC y.nom A\n"
                "P 0 0.1\nP 5 0.2\nP 10 0.3\nP 15 0.");
    coupe.close();
    QFile vide(QDir(journaux.Chemin()).filePath(QStringLiteral("vide.journal")));
    ASSERT_TRUE(vide.open(QIODevice::WriteOnly));
    vide.write("JOURNAL-JENWAY 1\nC mode spectre\n");
    vide.close();

    ProposeReprises(journaux.Chemin(), RestaurationsDesFenetres());
    ASSERT_EQ(boites.Vues.size(), 1u) << boites.Textes().join(" / ").toStdString();
    EXPECT_TRUE(boites.Vues[0].Texte.contains("la cinétique du 09/12/2026 à 22:10:00 (3 points)"));
    TCinetiqueForm& f = *CinetiqueForm;
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.Etat(), TCinetiqueForm::EtatFini);
    EXPECT_FALSE(f.Sauve);
    EXPECT_TRUE(f.FileSaveBtn->isVisible());
    ASSERT_EQ(f.Graphe->Courbe.NbPoints, 3);
    EXPECT_EQ(f.Graphe->Courbe.X[2], 10);
    EXPECT_EQ(f.Plan.Dt, 5);
    EXPECT_EQ(f.Plan.Duree, 600);
    EXPECT_EQ(f.LambdaSE->Value(), 620);
    EXPECT_EQ(f.Graphe->MondeX.Maxi, 600);
    EXPECT_EQ(ConstanteDlg->EditComm->text(), "lot 42");
    // The window's journal replaces the old one; the empty one is set aside without a word.
    EXPECT_EQ(JournauxEnAttente(journaux.Chemin()), QStringList{f.Journal.Chemin()});
    EXPECT_EQ(Relu(f.Journal)->X.size(), 3);
    EXPECT_TRUE(QFile::exists(vide.fileName() + ".mis-de-cote"));

    QTemporaryDir sortie;
    boites.NomsFichiers = {sortie.filePath(QStringLiteral("repris.tb3"))};
    f.FileSaveBtn->click();
    EXPECT_TRUE(JournauxEnAttente(journaux.Chemin()).isEmpty());
}

// A journal's settings may be anything (a damaged or crafted file): the window takes them as its
// own controls would, and a wavelength within the instrument's limits.
TEST_F(Journaux, DesReglagesIncoherentsSontRestauresSelonLesReglesDeLaFenetre) {
    const struct {
        const char* champs;
        qint32 lambda, nbre;
        quint16 dt, duree;
    } cas[] = {
        {"C lambda 620\nC nbre 120\nC dt 5\nC duree 600\n", 620, 120, 5, 600},
        {"C lambda 1e300\nC nbre 7\nC dt 5\nC duree 600\n", 950, 15, 40, 600},
        {"C lambda -1e300\nC nbre 4095\nC dt 1\nC duree 1e300\n", 325, 4080, 16, 65535},
        {"C lambda 620\nC nbre 60\nC dt 9\nC duree 3\n", 620, 60, 2, 120},
        {"C lambda 2147483648\nC nbre -1e300\nC dt 1e300\nC duree -5\n", 950, 15, 2, 30},
    };
    QDir().mkpath(journaux.Chemin());
    for (const auto& c : cas) {
        SCOPED_TRACE(c.champs);
        QFile journal(QDir(journaux.Chemin()).filePath(QStringLiteral("regle.journal")));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write(QByteArray("JOURNAL-JENWAY 1\nC mode cinetique\n") + c.champs +
                      "P 0 0.1\nP 2 0.2\n");
        journal.close();
        ProposeReprises(journaux.Chemin(), RestaurationsDesFenetres());
        TCinetiqueForm& f = *CinetiqueForm;
        ASSERT_EQ(f.Graphe->Courbe.NbPoints, 2);
        EXPECT_EQ(f.LambdaSE->Value(), c.lambda);
        EXPECT_EQ(f.Plan.Nbre, c.nbre);
        EXPECT_EQ(f.NbreEdit->text(), QString::number(c.nbre));
        EXPECT_EQ(f.Plan.Dt, c.dt);
        EXPECT_EQ(f.Plan.Duree, c.duree);
        EXPECT_EQ(f.Graphe->MondeX.Maxi, c.duree);
        f.ResetBtn->click();
    }
}

// The program really killed (SIGKILL) in the middle of a run, then started again.
class JournalTue : public ::testing::Test {
protected:
    ~JournalTue() override { Spectro = TspectroJenway{}; }

    // Runs the helper program until it reports `points` points, then runs `pendant` while it
    // still runs and kills it (SIGKILL); the points it reported.
    int TueApres(const QString& mode, int points, const std::function<void()>& pendant = {}) {
        QProcess programme;
        programme.start(QCoreApplication::applicationDirPath() +
                            QStringLiteral("/acquisition-interrompue"),
                        {mode, QString::number(points)});
        if (!programme.waitForStarted())
            return -1;
        QByteArray sortie;
        while (!sortie.contains('\n') && programme.waitForReadyRead(30000))
            sortie += programme.readAllStandardOutput();
        if (pendant)
            pendant();
        programme.kill();
        programme.waitForFinished();
        erreurs = programme.readAllStandardError();
        return sortie.startsWith("POINTS ") ? sortie.mid(7).trimmed().toInt() : -1;
    }

    QByteArray erreurs; // of the last program killed
    DossierJournauxTemporaire journaux;
};

TEST_F(JournalTue, LeRunInterrompuEstProposeEtRestaureDansSaFenetre) {
    struct TCas {
        const char* mode;
        int points;
        int perteMaxi; // points a kill may cost: one batch, or none for points taken by hand
        std::function<double(int)> x;
        const char* nomX;
        std::function<QWidget*()> fenetre;
        std::function<const Tgraphe&()> graphe;
        std::function<TJournal&()> journal;
        std::function<bool()> sauve;
    };
    const std::vector<TCas> cas = {
        {"cinetique", 100, TJournal::kPointsParSync, [](int i) { return 2.0 * i; }, "t",
         [] { return CinetiqueForm; }, []() -> const Tgraphe& { return *CinetiqueForm->Graphe; },
         []() -> TJournal& { return CinetiqueForm->Journal; },
         [] {
             return CinetiqueForm->Sauve;
         }},
        {"spectre", 100, TJournal::kPointsParSync, [](int i) { return 400 + 0.2 * i; }, "\x88",
         [] { return TraceSpectre; }, []() -> const Tgraphe& { return TraceSpectre->Graphe; },
         []() -> TJournal& { return TraceSpectre->Journal; },
         [] {
             return TraceSpectre->Sauve;
         }},
        {"beer", 5, 0, [](int i) { return double(i); }, "n", [] { return BeerForm; },
         []() -> const Tgraphe& { return BeerForm->Graphe; },
         []() -> TJournal& { return BeerForm->Journal; },
         [] {
             return BeerForm->Session.Sauve;
         }},
    };
    for (const TCas& c : cas) {
        SCOPED_TRACE(c.mode);
        // Paced like a real line, so that a scan is still running when its program is killed;
        // a fresh instrument for each program.
        const TSimulateurLance simulateur{1,
                                          {QStringLiteral("--baud"), QStringLiteral("9600"),
                                           QStringLiteral("--graine"), QStringLiteral("1")}};
        const int pris = TueApres(QString::fromLatin1(c.mode), c.points);
        ASSERT_GE(pris, c.points) << erreurs.toStdString();

        const QStringList restes = JournauxEnAttente(journaux.Chemin());
        ASSERT_EQ(restes.size(), 1);
        const auto lu = LitJournal(restes[0]);
        ASSERT_TRUE(lu.has_value());
        EXPECT_EQ(lu->Champs.at("mode"), c.mode);
        EXPECT_EQ(lu->Champs.at("page.symbole"), "T");
        EXPECT_GE(lu->X.size(), pris - c.perteMaxi);
        for (int i = 0; i < lu->X.size(); ++i)
            ASSERT_NEAR(lu->X[i], c.x(i), 1e-9) << i;

        // The next start.
        TBoitesScriptees boites;
        {
            const TFenetres fenetres;
            FormMain->show();
            ProposeReprises(journaux.Chemin(), RestaurationsDesFenetres());
            ASSERT_FALSE(boites.Vues.empty());
            EXPECT_TRUE(
                boites.Vues[0].Texte.contains(QStringLiteral("(%1 points)").arg(lu->X.size())))
                << boites.Vues[0].Texte.toStdString();
            ASSERT_TRUE(c.fenetre()->isVisible());
            const Tgraphe& graphe = c.graphe();
            ASSERT_EQ(graphe.Courbe.NbPoints, lu->X.size());
            EXPECT_EQ(graphe.Courbe.Y[graphe.Courbe.NbPoints - 1], lu->Y.back());
            EXPECT_EQ(graphe.MondeX.Nom.Octets(), c.nomX);
            EXPECT_EQ(ConstanteDlg->SignifConstEdit->text(), "température");
            EXPECT_TRUE(ConstanteDlg->ConstanteValide);
            EXPECT_FALSE(c.sauve());
            EXPECT_EQ(JournauxEnAttente(journaux.Chemin()), QStringList{c.journal().Chemin()});
            boites.Reponses = {TReponseBoite::Non}; // a normal end: the run is let go
            EXPECT_TRUE(FormMain->close());
        }
        EXPECT_TRUE(JournauxEnAttente(journaux.Chemin()).isEmpty());
    }
}

// A second copy of the program started while the first takes a run: the live journal is neither
// offered nor set aside. Once the first is killed its lock is stale, and the run is offered.
TEST_F(JournalTue, LeJournalDUneAutreCopieVivanteNEstPasPropose) {
    const TSimulateurLance simulateur;
    TBoitesScriptees boites;
    QList<double> restaures;
    const TRestaurations restaurations = {{"cinetique", [&](const TJournalLu& lu) {
                                               restaures = lu.X;
                                           }}};
    QByteArray pendant;
    const int pris = TueApres(QStringLiteral("cinetique"), 10, [&] {
        const QStringList vivants = JournauxEnAttente(journaux.Chemin());
        ASSERT_EQ(vivants.size(), 1);
        // Its points reach the disk within a second.
        ASSERT_TRUE(QTest::qWaitFor([&] { return LitJournal(vivants[0])->X.size() >= 10; }, 5000));
        ProposeReprises(journaux.Chemin(), restaurations);
        EXPECT_TRUE(boites.Vues.empty());
        EXPECT_EQ(JournauxEnAttente(journaux.Chemin()), vivants);
        QFile f(vivants[0]);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        pendant = f.readAll();
    });
    ASSERT_GE(pris, 10) << erreurs.toStdString();
    EXPECT_TRUE(pendant.startsWith("JOURNAL-JENWAY 1\n"));

    ProposeReprises(journaux.Chemin(), restaurations);
    ASSERT_EQ(boites.Vues.size(), 1u);
    EXPECT_GE(restaures.size(), 1);
}

} // namespace
