// Full runs back to back through the program's windows: a kinetics run that fills its curve
// (4097 points, the test clock moving 1.99 s a reading) and a 4097-point scan, several times.
// Memory stays flat and every saved file holds every point.
#include "ProgrammeSimule.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <cstdio>

namespace {

class Endurance : public ProgrammeSimule {
protected:
    void TearDown() override {
        InstalleHorloge(nullptr);
        ProgrammeSimule::TearDown();
    }

    void Cinetique(int tour) {
        FormMain->ChoixMode(2);
        TCinetiqueForm& f = *CinetiqueForm;
        f.Timer->blockSignals(true); // fired by the test, once the clock has moved on
        InstalleHorloge(&horloge);
        if (f.Etat() == TCinetiqueForm::EtatFini)
            f.ResetBtn->click();
        if (f.Etat() == TCinetiqueForm::EtatLambda) {
            f.LambdaBtn->click();
            f.ZeroBtn->click();
            f.NbreEdit->selectAll(); // typed as the user does: read when the editing ends
            QTest::keyClicks(f.NbreEdit, QStringLiteral("4097"));
            QTest::keyClick(f.NbreEdit, Qt::Key_Return);
        }
        f.StartBtn->click();
        while (f.Etat() == TCinetiqueForm::EtatAcquisition) {
            horloge.Avance(1990);
            f.Timer->blockSignals(false);
            QMetaObject::invokeMethod(f.Timer, "timeout");
            f.Timer->blockSignals(true);
        }
        InstalleHorloge(nullptr);
        ASSERT_EQ(f.Graphe->Courbe.NbPoints, CapaciteCourbe);
        Sauve(f.FileSaveBtn, QStringLiteral("cinetique-%1.txt").arg(tour), *f.Graphe);
        f.ExitBtn->click();
        ASSERT_EQ(FormMain->ModeCourant, 0);
    }

    void Spectre(int tour) {
        FormMain->ChoixMode(1);
        TTraceSpectre& f = *TraceSpectre;
        ASSERT_TRUE(Attend([&f] { return f.isActiveWindow() && !f.ReglageEnCours(); }));
        f.FinSE->SetValue(970);
        f.DebutSE->SetValue(150);
        f.PasCB->setCurrentIndex(0);
        f.BlancBtn->click();
        ASSERT_TRUE(Attend([&f] { return f.Recepteur.BlancFait(); }));
        f.SpectreBtn->click();
        ASSERT_TRUE(Attend([&f] { return f.Recepteur.Etat() == TEtatSpectre::Repos; }, 30000));
        ASSERT_EQ(f.Graphe.Courbe.NbPoints, CapaciteCourbe);
        Sauve(f.FileSaveBtn, QStringLiteral("spectre-%1.txt").arg(tour), f.Graphe);
        f.ExitBtn->click();
        ASSERT_EQ(FormMain->ModeCourant, 0);
    }

    void Sauve(QToolButton* bouton, const QString& nom, const Tgraphe& graphe) {
        boites.NomsFichiers = {Fichier(nom)};
        bouton->click();
        const QList<QPointF> fichier = PointsDuFichier(Fichier(nom));
        ASSERT_EQ(fichier.size(), CapaciteCourbe) << nom.toStdString();
        const QList<QPointF> courbe = Points(graphe.Courbe);
        for (int i = 0; i < CapaciteCourbe; ++i) {
            ASSERT_NEAR(fichier[i].x(), courbe[i].x(), 1e-9) << i;
            ASSERT_NEAR(fichier[i].y(), courbe[i].y(), 1e-9) << i;
        }
    }

    THorlogeTest horloge{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)), 1000};
};

TEST_F(Endurance, CinetiquesEtSpectresCompletsALaSuite) {
    Lance(SansDelai(), [] {
        Spectro.MiniL = 150; // 150 to 970 nm at 0.2 nm: 4101 lines, the curve keeps 4097
        Spectro.MaxiL = 970;
    });
    ASSERT_TRUE(simulateur->Controle("cuve cinetique 0.0005"));
    constexpr int kTours = 4;
    qint64 apresPremier = 0;
    for (int tour = 1; tour <= kTours; ++tour) {
        SCOPED_TRACE(tour);
        ASSERT_NO_FATAL_FAILURE(Cinetique(tour));
        ASSERT_TRUE(simulateur->Controle("cuve solution"));
        ASSERT_NO_FATAL_FAILURE(Spectre(tour));
        ASSERT_TRUE(simulateur->Controle("cuve cinetique 0.0005"));
        if (tour == 1)
            apresPremier = MemoireResidenteKo();
    }
    const qint64 finale = MemoireResidenteKo();
    const qint64 croissance = finale - apresPremier;
    std::printf("FIGURE endurance_memoire_residente: %.1f MB (cible <= 80 MB)\n",
                static_cast<double>(finale) / 1024);
    std::printf("FIGURE endurance_memoire_croissance: %lld ko (cible <= 2048 ko)\n",
                static_cast<long long>(croissance));
#if !defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine: resident memory says nothing there.
    EXPECT_LE(croissance, 2048);
#endif
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();
}

} // namespace
