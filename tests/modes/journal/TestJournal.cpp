#include "BoitesScriptees.h"
#include "graph/Courbe.h"
#include "modes/journal/Journal.h"
#include "shell/Reprise.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

// For its lifetime, no file of the process grows past `octets`: a full disk, as the writes see it.
class TFichiersLimites {
public:
    explicit TFichiersLimites(rlim_t octets) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &avant_);
        rlimit limite = avant_;
        limite.rlim_cur = octets;
        setrlimit(RLIMIT_FSIZE, &limite);
    }
    ~TFichiersLimites() {
        setrlimit(RLIMIT_FSIZE, &avant_);
        std::signal(SIGXFSZ, signal_);
    }
    TFichiersLimites(const TFichiersLimites&) = delete;
    TFichiersLimites& operator=(const TFichiersLimites&) = delete;

private:
    rlimit avant_{};
    void (*signal_)(int);
};

class Journal : public ::testing::Test {
protected:
    QByteArray Contenu(const QString& chemin) const {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Ecrit(const QString& chemin, const QByteArray& contenu) const {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenu);
    }
    void Vieillit(const QString& chemin, int jours) const {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.setFileTime(QDateTime::currentDateTime().addDays(-jours),
                      QFileDevice::FileModificationTime);
    }
    // The messages of a journal, as delivered on this thread, go to avis_.
    void Ecoute(TJournal& journal) {
        journal.SurEchec = [this](const QString& texte) {
            avis_ << texte;
        };
    }

    QTemporaryDir dossier_;
    QStringList avis_;
};

TEST_F(Journal, RelitLesChampsEtLesPointsExactement) {
    const TChampsJournal champs = {{"mode", "spectre"},
                                   {"x.nom", "\x88"},
                                   {"commentaire", "essai 1\r\nligne 2 % & ="},
                                   {"vide", ""}};
    TJournal journal(dossier_.path());
    journal.Commence(champs);
    ASSERT_TRUE(journal.Actif());
    for (int i = 0; i < 100; ++i)
        journal.AjoutePoint(400 + 0.2 * i, 1.0 / (i + 3));
    journal.Synchronise();

    const auto lu = LitJournal(journal.Chemin());
    ASSERT_TRUE(lu.has_value());
    EXPECT_EQ(lu->Champs, champs);
    ASSERT_EQ(lu->X.size(), 100);
    EXPECT_EQ(lu->X[99], 400 + 0.2 * 99);
    EXPECT_EQ(lu->Y[99], 1.0 / 102);
    EXPECT_EQ(JournauxEnAttente(dossier_.path()), QStringList{journal.Chemin()});
}

TEST_F(Journal, LesPointsAtteignentLeDisqueSansQuOnLeDemande) {
    TJournal journal(dossier_.path());
    journal.Commence({{"mode", "cinetique"}});
    for (int i = 0; i < TJournal::kPointsParSync; ++i)
        journal.AjoutePoint(i, i);
    // A full batch is written at once; a lone point within a second.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return LitJournal(journal.Chemin())->X.size() == TJournal::kPointsParSync; }, 500));
    journal.AjoutePoint(100, 100);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return LitJournal(journal.Chemin())->X.size() == TJournal::kPointsParSync + 1; },
        1500));
}

TEST_F(Journal, UnJournalCoupeSeLitJusquAuDernierPointComplet) {
    const QString chemin = dossier_.filePath("coupe.journal");
    Ecrit(chemin, "JOURNAL-JENWAY 1\nC mode beer\nP 1 0.5\nP 2 0.75\nP 3 0.");
    auto lu = LitJournal(chemin);
    ASSERT_TRUE(lu.has_value());
    EXPECT_EQ(lu->X, QList<double>({1, 2}));
    EXPECT_EQ(lu->Champs.at("mode"), "beer");

    for (const QByteArray& abime : {QByteArray("P 2 x\n"), QByteArray("P nan 1\n"),
                                    QByteArray("P 2 inf\n"), QByteArray("P 2\n")}) {
        Ecrit(chemin, "JOURNAL-JENWAY 1\nP 1 0.5\n" + abime + "P 3 0.5\n");
        EXPECT_EQ(LitJournal(chemin)->X, QList<double>({1})) << abime.toStdString();
    }

    for (const QByteArray& illisible : {QByteArray(), QByteArray("\x00\xFF garbage\n", 11),
                                        QByteArray("JOURNAL-JENWAY 2\nP 1 1\n")}) {
        Ecrit(chemin, illisible);
        EXPECT_FALSE(LitJournal(chemin).has_value());
    }
    EXPECT_FALSE(LitJournal(dossier_.filePath("absent.journal")).has_value());
}

TEST_F(Journal, SupprimeMetDeCoteEtPurge) {
    TJournal journal(dossier_.path());
    journal.Commence({{"mode", "cinetique"}});
    journal.AjoutePoint(0, 0.1);
    const QString premier = journal.Chemin();
    journal.Supprime();
    EXPECT_FALSE(QFile::exists(premier));
    EXPECT_TRUE(JournauxEnAttente(dossier_.path()).isEmpty());

    journal.Commence({{"mode", "beer"}});
    journal.Synchronise();
    const QString aside = MetDeCote(journal.Chemin());
    EXPECT_TRUE(QFile::exists(aside));
    EXPECT_TRUE(JournauxEnAttente(dossier_.path()).isEmpty());

    PurgeJournauxMisDeCote(dossier_.path(), 30);
    EXPECT_TRUE(QFile::exists(aside)); // recent: kept

    // The days are counted from the setting aside, not from the journal's last write.
    const QString ancien = dossier_.filePath("ancien.journal");
    Ecrit(ancien, "JOURNAL-JENWAY 1\nC mode cinetique\nP 0 1\n");
    Vieillit(ancien, 40);
    const QString ancienDeCote = MetDeCote(ancien);
    PurgeJournauxMisDeCote(dossier_.path(), 30);
    EXPECT_TRUE(QFile::exists(ancienDeCote));
    Vieillit(aside, 31);
    PurgeJournauxMisDeCote(dossier_.path(), 30);
    EXPECT_FALSE(QFile::exists(aside));

    // The lock of a journal gone with a program that died before removing it.
    const QString orphelin = dossier_.filePath("orphelin.journal.verrou");
    Ecrit(orphelin, "2147483000\n\n\n"); // no such process
    PurgeJournauxMisDeCote(dossier_.path(), 30);
    EXPECT_FALSE(QFile::exists(orphelin));
}

TEST_F(Journal, ReprendUnJournalInterrompu) {
    const QString ancien = dossier_.filePath("ancien.journal");
    Ecrit(ancien, "JOURNAL-JENWAY 1\nC mode cinetique\nP 0 0.5\nP 2 0.4\n");
    TJournal journal(dossier_.path());
    journal.Reprend(*LitJournal(ancien));
    EXPECT_FALSE(QFile::exists(ancien));
    const auto repris = LitJournal(journal.Chemin());
    ASSERT_TRUE(repris.has_value());
    EXPECT_EQ(repris->X, QList<double>({0, 2}));
    EXPECT_EQ(repris->Champs.at("mode"), "cinetique");
}

TEST_F(Journal, LesRunsInterrompusSontProposesAuDemarrage) {
    const TBoitesScriptees boites;
    Ecrit(dossier_.filePath("a.journal"),
          "JOURNAL-JENWAY 1\nC debut 2026-12-10T14:05:12\nC mode cinetique\nP 0 0.5\nP 2 0.4\n");
    Ecrit(dossier_.filePath("b.journal"), "pas un journal");
    // A second run of the same mode, newer: its window is taken by the first one.
    const QString second = dossier_.filePath("c.journal");
    Ecrit(second, "JOURNAL-JENWAY 1\nC mode cinetique\nP 0 0.7\n");
    QFile plusTard(second);
    ASSERT_TRUE(plusTard.open(QIODevice::ReadWrite));
    plusTard.setFileTime(QDateTime::currentDateTime().addSecs(60),
                         QFileDevice::FileModificationTime);
    plusTard.close();
    QList<double> restaures;
    const TRestaurations restaurations = {{"cinetique", [&](const TJournalLu& lu) {
                                               restaures = lu.X;
                                           }}};
    ProposeReprises(dossier_.path(), restaurations);

    ASSERT_EQ(boites.Vues.size(), 2u);
    const QString question = boites.Vues[0].Boutons == TBoutonsBoite::OuiNon ? boites.Vues[0].Texte
                                                                             : boites.Vues[1].Texte;
    EXPECT_TRUE(question.contains("la cinétique du 10/12/2026 à 14:05:12 (2 points)"))
        << question.toStdString();
    EXPECT_EQ(restaures, QList<double>({0, 2}));
    EXPECT_TRUE(QFile::exists(dossier_.filePath("b.journal.mis-de-cote")));
    EXPECT_TRUE(QFile::exists(second)); // waits for the next start

    TBoitesScriptees non; // answered No: set aside, not offered again
    non.Reponses = {TReponseBoite::Non, TReponseBoite::Non};
    restaures.clear();
    ProposeReprises(dossier_.path(), restaurations);
    EXPECT_TRUE(restaures.isEmpty());
    EXPECT_TRUE(QFile::exists(dossier_.filePath("a.journal.mis-de-cote")));
    EXPECT_TRUE(QFile::exists(second + ".mis-de-cote"));
    ProposeReprises(dossier_.path(), restaurations);
    EXPECT_EQ(non.Vues.size(), 2u);
}

// A run's journal is locked while it is written: another copy of the program neither offers it as
// interrupted nor sets it aside. Once closed (the program gone) it is offered.
TEST_F(Journal, UnJournalVivantNEstPasPropose) {
    const TBoitesScriptees boites;
    TJournal journal(dossier_.path());
    journal.Commence({{"mode", "cinetique"}});
    journal.AjoutePoint(0, 0.5);
    journal.Synchronise();
    EXPECT_EQ(VerrouilleJournal(journal.Chemin()), nullptr);
    int restaures = 0;
    const TRestaurations restaurations = {{"cinetique", [&](const TJournalLu&) {
                                               ++restaures;
                                           }}};
    ProposeReprises(dossier_.path(), restaurations);
    EXPECT_TRUE(boites.Vues.empty());
    EXPECT_EQ(JournauxEnAttente(dossier_.path()), QStringList{journal.Chemin()});

    const QString chemin = journal.Chemin();
    journal.Ferme();
    EXPECT_TRUE(QFile::exists(chemin));
    ProposeReprises(dossier_.path(), restaurations);
    EXPECT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(restaures, 1);
}

// A journal left by a program that died, in a folder now full: its lock cannot be made again, yet
// nobody is writing it; it is offered.
TEST_F(Journal, UnJournalInterrompuDansUnDossierPleinEstPropose) {
    const TBoitesScriptees boites;
    const QString chemin = dossier_.filePath("plein.journal");
    Ecrit(chemin, "JOURNAL-JENWAY 1\nC mode cinetique\nP 0 0.5\n");
    Ecrit(chemin + ".verrou", "2147483000\n\n\n"); // no such process
    int restaures = 0;
    const TRestaurations restaurations = {{"cinetique", [&](const TJournalLu&) {
                                               ++restaures;
                                           }}};
    {
        const TFichiersLimites plein(0);
        ProposeReprises(dossier_.path(), restaurations);
    }
    EXPECT_EQ(boites.Vues.size(), 1u);
    EXPECT_EQ(restaures, 1);
}

// A run holds at most a curve's points: a longer file is read no further, and the question says
// what is restored.
TEST_F(Journal, UnJournalTropLongNeLitQueCeQuUneAcquisitionGarde) {
    const QString chemin = dossier_.filePath("long.journal");
    const struct {
        int points;
        bool tronque;
    } cas[] = {{CapaciteCourbe, false}, {CapaciteCourbe + 1, true}, {20000, true}};
    for (const auto& c : cas) {
        SCOPED_TRACE(c.points);
        QByteArray contenu = "JOURNAL-JENWAY 1\nC mode spectre\nC debut 2026-12-10T14:05:12\n";
        for (int i = 0; i < c.points; ++i)
            contenu += "P " + QByteArray::number(i) + " 0.5\n";
        Ecrit(chemin, contenu);
        const auto lu = LitJournal(chemin);
        ASSERT_TRUE(lu.has_value());
        EXPECT_EQ(lu->X.size(), CapaciteCourbe);
        EXPECT_EQ(lu->X.back(), CapaciteCourbe - 1);
        EXPECT_EQ(lu->Tronque, c.tronque);
        EXPECT_EQ(
            DescriptionJournal(*lu).contains("(4097 points ; le journal en contient davantage"),
            c.tronque)
            << DescriptionJournal(*lu).toStdString();
    }

    // Nor is a line longer than any a journal writes, nor fields past any a journal has.
    Ecrit(chemin, "JOURNAL-JENWAY 1\nP 0 1\nC x.nom " + QByteArray(100000, 'a') + "\nP 1 1\n");
    EXPECT_EQ(LitJournal(chemin)->X.size(), 1);
    QByteArray champs = "JOURNAL-JENWAY 1\n";
    for (int i = 0; i < 1000; ++i)
        champs += "C c" + QByteArray::number(i) + " v\n";
    Ecrit(chemin, champs + "P 0 1\n");
    EXPECT_LT(LitJournal(chemin)->Champs.size(), 1000u);
    EXPECT_TRUE(LitJournal(chemin)->X.isEmpty());
}

// No journal, or one that stops being written, is said once: the run goes on, unprotected.
TEST_F(Journal, UnJournalImpossibleEstSignaleUneFois) {
    const QString fichier = dossier_.filePath("un-fichier");
    Ecrit(fichier, "pas un dossier");
    TJournal journal(fichier);
    Ecoute(journal);
    journal.Commence({{"mode", "beer"}});
    journal.AjoutePoint(0, 1);
    journal.Commence({{"mode", "beer"}});
    EXPECT_FALSE(journal.Actif());
    ASSERT_EQ(avis_.size(), 1);
    EXPECT_TRUE(avis_[0].startsWith("Protection contre les arrêts brutaux hors service"));
    EXPECT_TRUE(avis_[0].contains(fichier)) << avis_[0].toStdString();
}

// A disk that fills up in the middle of a run (here the file size limit of the process): the
// journal keeps the points written before, and the user is told once.
TEST_F(Journal, UnJournalQuiNePeutPlusEcrireEstSignaleUneFois) {
    TJournal journal(dossier_.path());
    Ecoute(journal);
    journal.Commence({{"mode", "cinetique"}});
    journal.Synchronise();
    {
        const TFichiersLimites plein(20000);
        for (int i = 0; i < 2001; ++i) {
            journal.AjoutePoint(2.0 * i, 0.25);
            if (i % 100 == 0)
                journal.Synchronise();
        }
        journal.Synchronise();
    }
    // Writes work again: what follows a cut line is still not written.
    journal.AjoutePoint(5000, 0.25);
    journal.Synchronise();

    EXPECT_TRUE(QTest::qWaitFor([&] { return !avis_.isEmpty(); }));
    QTest::qWait(50);
    ASSERT_EQ(avis_.size(), 1);
    EXPECT_TRUE(avis_[0].startsWith("Protection contre les arrêts brutaux interrompue"));
    const auto lu = LitJournal(journal.Chemin());
    ASSERT_TRUE(lu.has_value());
    EXPECT_GT(lu->X.size(), 100);
    EXPECT_LT(lu->X.size(), 2001);
    for (int i = 0; i < lu->X.size(); ++i)
        ASSERT_EQ(lu->X[i], 2.0 * i);
}

} // namespace
