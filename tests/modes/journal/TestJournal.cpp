#include "BoitesScriptees.h"
#include "modes/journal/Journal.h"
#include "shell/Reprise.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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

    QTemporaryDir dossier_;
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
    QFile vieux(aside);
    ASSERT_TRUE(vieux.open(QIODevice::ReadWrite));
    vieux.setFileTime(QDateTime::currentDateTime().addDays(-31), QFileDevice::FileModificationTime);
    vieux.close();
    PurgeJournauxMisDeCote(dossier_.path(), 30);
    EXPECT_FALSE(QFile::exists(aside));
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

} // namespace
