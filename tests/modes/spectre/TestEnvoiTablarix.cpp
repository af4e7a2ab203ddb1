// The send to Tablarix from the spectrum window, end to end: the window scans from the simulated
// instrument, tablarix-factice takes the macros, over a real X clipboard (the program runs under
// Xvfb).
#include "FenetreSpectre.h"
#include "SimulateurLance.h"
#include "exchange/ConstanteDlg.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <csignal>

namespace {

QByteArray Lit(const QString& chemin) {
    QFile fichier(chemin);
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
}

// The macros of tablarix-factice's journal, each with the clipboard bytes it found.
QList<std::pair<QByteArray, QByteArray>> Macros(const QByteArray& journal) {
    QList<std::pair<QByteArray, QByteArray>> macros;
    qsizetype i = 0;
    while (i < journal.size()) {
        const qsizetype fin = journal.indexOf('\n', i);
        const QByteArray ligne = journal.mid(i, fin - i);
        i = fin + 1;
        if (!ligne.startsWith("MACRO "))
            continue;
        const qsizetype finTaille = journal.indexOf('\n', i);
        const qsizetype taille = journal.mid(i, finTaille - i).mid(15).toLongLong();
        i = finTaille + 1;
        macros.append({ligne.mid(6), journal.mid(i, taille)});
        i += taille + 1;
    }
    return macros;
}

class EnvoiTablarix : public FenetreSpectre {
protected:
    void SetUp() override {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier.path() + u'/'));
        qputenv("TABLARIX_FACTICE", "--duree 30000 --journal " + QFile::encodeName(Journal()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tablarix"),
                  QStringLiteral("Tablarix"))
            .setValue(QStringLiteral("Path"),
                      QCoreApplication::applicationDirPath() + QStringLiteral("/tablarix-factice"));
        Ouvre();
    }
    void TearDown() override {
        FenetreSpectre::TearDown();
        const QByteArray journal = Lit(Journal());
        for (const QByteArray& ligne : journal.split('\n'))
            if (ligne.startsWith("DEMARRAGE "))
                ::kill(static_cast<pid_t>(ligne.mid(10).toLongLong()), SIGTERM);
        qunsetenv("JENWAY_DDE_ESPACE");
        qunsetenv("TABLARIX_FACTICE");
    }
    QString Journal() const { return dossier.filePath(QStringLiteral("journal")); }

    QTemporaryDir dossier;
    TSimulateurLance simulateur;
};

TEST_F(EnvoiTablarix, NouveauFichierPuisNouvellePage) {
    Plage(400, 800, 2);
    LigneDeBase();
    F->SpectreBtn->click();
    ASSERT_TRUE(AttendQue([this] { return F->Etat == TTraceSpectre::Repos; }));
    ASSERT_EQ(F->Graphe.Courbe.NbPoints, 81);

    const auto confirme = [](QDialog& dialogue) {
        static_cast<TConstanteDlg&>(dialogue).OKBtnClick();
        return dialogue.result();
    };
    boites.Dialogues = {confirme, confirme};
    F->RegSaveBtn->click();
    EXPECT_TRUE(F->Sauve);
    EXPECT_EQ(ConstanteDlg->NewPageCB->ItemIndex(), 1);
    F->RegSaveBtn->click();
    ASSERT_TRUE(AttendQue([this] { return Macros(Lit(Journal())).size() == 2; }, 10000));

    const auto macros = Macros(Lit(Journal()));
    EXPECT_EQ(macros[0].first, "CLIP|LOAD()");
    EXPECT_EQ(macros[1].first, "CLIP|ADD()");
    const QList<QByteArray> lignes = macros[0].second.split('\n');
    ASSERT_EQ(lignes.size(), 6 + 81 + 1);
    EXPECT_EQ(lignes[3], "\x88\tA\r");
    EXPECT_EQ(lignes[4], "nm\t\r");
    EXPECT_TRUE(lignes[6].startsWith("400\t"));
    EXPECT_TRUE(lignes[86].startsWith("800\t"));
    EXPECT_TRUE(boites.Vues.empty());
}

} // namespace
