#include "FenetreSpectre.h"
#include "LigneBrute.h"
#include "SimulateurLance.h"
#include "graph/BoitePeinture.h"
#include "shell/Encodage.h"
#include "shell/Utilitaires.h"

#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

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
        ASSERT_TRUE(AttendQue([this] { return F->Etat == TTraceSpectre::Repos; }));
    }

    TSimulateurLance simulateur;
};

TEST_F(SpectreSimule, LigneDeBasePuisSpectreDe400a800ParPasDe5) {
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

} // namespace
