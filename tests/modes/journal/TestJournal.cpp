#include "modes/journal/Journal.h"

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

    Ecrit(chemin, "JOURNAL-JENWAY 1\nP 1 0.5\nP 2 x\nP 3 0.5\n");
    EXPECT_EQ(LitJournal(chemin)->X, QList<double>({1}));

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

} // namespace
