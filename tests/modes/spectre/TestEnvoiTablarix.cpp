// The send to Tablarix from the spectrum window, end to end: the window scans from the simulated
// instrument, tablarix-factice takes the macros, over a real X clipboard (the program runs under
// Xvfb).
#include "FenetreSpectre.h"
#include "SimulateurLance.h"
#include "TablarixFactice.h"
#include "exchange/ConstanteDlg.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

class EnvoiTablarix : public FenetreSpectre {
protected:
    void SetUp() override {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier.path() + u'/'));
        qputenv("TABLARIX_FACTICE", "--duree 30000 --journal " + QFile::encodeName(Journal()));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tablarix"),
                  QStringLiteral("Tablarix"))
            .setValue(QStringLiteral("Path"), CheminTablarixFactice());
        Ouvre();
    }
    void TearDown() override {
        FenetreSpectre::TearDown();
        ArreteTablarixDemarres(Journal());
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
    ASSERT_TRUE(Attend([this] { return F->Recepteur.Etat() == TEtatSpectre::Repos; }));
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
    ASSERT_TRUE(Attend([this] { return LitJournalFactice(Journal()).Macros.size() == 2; }, 10000));

    const QList<TMacroFactice> macros = LitJournalFactice(Journal()).Macros;
    EXPECT_EQ(macros[0].Macro, "CLIP|LOAD()");
    EXPECT_EQ(macros[1].Macro, "CLIP|ADD()");
    const QList<QByteArray> lignes = macros[0].PressePapiers.split('\n');
    ASSERT_EQ(lignes.size(), 6 + 81 + 1);
    EXPECT_EQ(lignes[3], "\x88\tA\r");
    EXPECT_EQ(lignes[4], "nm\t\r");
    EXPECT_TRUE(lignes[6].startsWith("400\t"));
    EXPECT_TRUE(lignes[86].startsWith("800\t"));
    EXPECT_TRUE(boites.Vues.empty());
}

} // namespace
