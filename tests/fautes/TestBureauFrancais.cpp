// The program on a French desktop: the C library's numbers and the system's separator are the
// comma, the instrument answers with points. A kinetics run, a scan and a Beer-Lambert
// calibration record every point the instrument gave; files keep the point, the screen shows
// the comma, and the user is told once about the two separators. CTest runs this program with
// LANG, LC_ALL and JENWAY_LOCALE_C set to fr_FR.UTF-8.
#include "ProgrammeSimule.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "instrument/SpectroJenway.h"
#include "modes/beer/BeerForm.h"
#include "modes/beer/ModeBeerDlg.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <clocale>
#include <cstring>

namespace {

class BureauFrancais : public ProgrammeSimule {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("JENWAY_LOCALE_C"))
            GTEST_SKIP() << "à lancer par CTest, dans la locale fr_FR.UTF-8";
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
        FixeRegional(TParametresRegionaux::DuSysteme()); // as the program does at start
        ASSERT_EQ(Regional().SeparateurDecimal, u',');
        Lance();
    }
    void TearDown() override {
        InstalleHorloge(nullptr);
        ProgrammeSimule::TearDown();
    }

    // Saves the curve as ASCII text; the file holds every point, written with a point.
    void SauveEtCompare(QToolButton* bouton, const QString& nom, const Tcourbe& courbe) {
        boites.NomsFichiers = {Fichier(nom)};
        bouton->click();
        QFile fichier(Fichier(nom));
        ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
        const QByteArray texte = fichier.readAll();
        EXPECT_FALSE(texte.contains(',')) << texte.left(200).toStdString();
        const QList<QPointF> lus = PointsDuFichier(Fichier(nom));
        const QList<QPointF> pris = Points(courbe);
        ASSERT_EQ(lus.size(), pris.size());
        for (qsizetype i = 0; i < lus.size(); ++i) {
            ASSERT_NEAR(lus[i].x(), pris[i].x(), 1e-6 * std::max(1.0, std::abs(pris[i].x())));
            ASSERT_NEAR(lus[i].y(), pris[i].y(), 1e-6);
        }
    }
    int Lectures() const { return static_cast<int>(simulateur->Journal().count("\nA[13]")); }

    THorlogeTest horloge{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)), 1000};
};

TEST_F(BureauFrancais, CinetiqueSpectreEtEtalonnageGardentChaquePoint) {
    // Kinetics: 60 points planned every 2 s; every reading is a point.
    ASSERT_TRUE(simulateur->Controle("cuve cinetique 0.01"));
    FormMain->ChoixMode(2);
    TCinetiqueForm& cinetique = *CinetiqueForm;
    cinetique.Timer->blockSignals(true); // fired by the test, once the clock has moved on
    InstalleHorloge(&horloge);
    cinetique.LambdaBtn->click();
    cinetique.ZeroBtn->click();
    cinetique.StartBtn->click();
    for (int tic = 0; tic < 100 && cinetique.Etat() == TCinetiqueForm::EtatAcquisition; ++tic) {
        horloge.Avance(2000);
        cinetique.Timer->blockSignals(false);
        QMetaObject::invokeMethod(cinetique.Timer, "timeout");
        cinetique.Timer->blockSignals(true);
    }
    InstalleHorloge(nullptr);
    const Tcourbe& courbeCinetique = cinetique.Graphe->Courbe;
    EXPECT_EQ(courbeCinetique.NbPoints, 62); // 0, 2, ... 122 s
    EXPECT_EQ(courbeCinetique.NbPoints, Lectures());
    EXPECT_TRUE(simulateur->Journal().contains("G500,0[13]"));
    EXPECT_TRUE(cinetique.PanelAbs->text().isEmpty() || cinetique.PanelAbs->text().contains(','));
    ASSERT_NO_FATAL_FAILURE(
        SauveEtCompare(cinetique.FileSaveBtn, QStringLiteral("cinetique.txt"), courbeCinetique));
    cinetique.ExitBtn->click();

    // A scan from 400 to 800 nm by 5 nm: 81 points.
    ASSERT_TRUE(simulateur->Controle("cuve solution"));
    FormMain->ChoixMode(1);
    TTraceSpectre& spectre = *TraceSpectre;
    ASSERT_TRUE(Attend([&] { return spectre.isActiveWindow() && !spectre.ReglageEnCours(); }));
    spectre.FinSE->SetValue(800);
    spectre.DebutSE->SetValue(400);
    spectre.PasCB->setCurrentIndex(2);
    spectre.BlancBtn->click();
    ASSERT_TRUE(Attend([&] { return spectre.Recepteur.BlancFait(); }));
    spectre.SpectreBtn->click();
    ASSERT_TRUE(Attend([&] { return spectre.Recepteur.Etat() == TEtatSpectre::Repos; }));
    const Tcourbe& courbeSpectre = spectre.Graphe.Courbe;
    ASSERT_EQ(courbeSpectre.NbPoints, 81);
    for (int i = 0; i < 81; ++i)
        ASSERT_EQ(courbeSpectre.X[i], 400 + 5 * i);
    EXPECT_EQ(spectre.PanelLambda->text(), "800.0"); // the text as received
    ASSERT_NO_FATAL_FAILURE(
        SauveEtCompare(spectre.FileSaveBtn, QStringLiteral("spectre.txt"), courbeSpectre));
    spectre.ExitBtn->click();

    // A calibration with three standards typed with the comma, then an unknown sample.
    FormMain->ChoixMode(3);
    TBeerForm& beer = *BeerForm;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&beer));
    boites.Dialogues.push_back([](QDialog& d) {
        auto& dialogue = dynamic_cast<TModeBeerDlg&>(d);
        dialogue.ModeAcqRG->SetItemIndex(1);
        dialogue.OKBtnClick();
        return dialogue.result();
    });
    beer.ModeBtn->click();
    beer.LambdaSE->SetValue(520);
    beer.MajBtn->click();
    ASSERT_TRUE(Attend([&] { return !beer.AttenteLambda(); }));
    ASSERT_TRUE(simulateur->Controle("cuve blanc"));
    beer.ZeroBtn->click();
    // The zero reaches the instrument before the first standard is in the cell.
    ASSERT_TRUE(Attend([this] { return simulateur->Journal().count("ZA[13]") == 2; }));
    for (const char* c : {"0,2", "0,4", "0,8"}) {
        ASSERT_TRUE(
            simulateur->Controle(QByteArray("cuve etalon ") + QByteArray(c).replace(',', '.')));
        beer.ClavierEdit->setText(QString::fromLatin1(c));
        QTest::keyClick(beer.ClavierEdit, Qt::Key_Return);
    }
    const Tcourbe& etalons = beer.Graphe.Courbe;
    ASSERT_EQ(etalons.NbPoints, 3);
    EXPECT_DOUBLE_EQ(etalons.X[2], 0.8);
    ASSERT_TRUE(simulateur->Controle("cuve inconnu 0.6"));
    beer.EnregistreBtn->click();
    ASSERT_EQ(beer.Session.Inconnues.NbreInconnues, 1);
    EXPECT_NEAR(beer.Session.Inconnues.ConcInconnue[0], 0.6, 0.005);
    EXPECT_NEAR(beer.Session.Pente(), 0.82, 0.01);
    // The law beside the line, with the comma.
    EXPECT_TRUE(QRegularExpression("^A = 0,8\\d* × c$").match(beer.LoiLabel->text()).hasMatch())
        << beer.LoiLabel->text().toStdString();
    EXPECT_TRUE(
        QRegularExpression("^R² = (0,9\\d*|1)$").match(beer.DeterminationLabel->text()).hasMatch())
        << beer.DeterminationLabel->text().toStdString();
    EXPECT_TRUE(simulateur->Journal().contains("G520,0[13]"));
    ASSERT_NO_FATAL_FAILURE(
        SauveEtCompare(beer.FileSaveBtn, QStringLiteral("etalons.txt"), etalons));
    beer.ExitBtn->click();

    // Told once, at the first reading, what the two separators mean; the other boxes confirm
    // standards beyond the axis, typed with the comma.
    QCoreApplication::processEvents();
    QStringList avis;
    for (const TBoite& b : boites.Vues)
        if (b.Titre == "Séparateur décimal")
            avis << b.Texte;
    ASSERT_EQ(avis.size(), 1) << boites.Textes().join(" / ").toStdString();
    EXPECT_TRUE(avis[0].contains("avec un point comme séparateur décimal (0.153)"));
    EXPECT_TRUE(avis[0].contains("(G500,0)"));
    EXPECT_EQ(boites.Vues.size(), 4u);
    EXPECT_TRUE(boites.Vues.back().Texte.startsWith("0,8 avec mini=0 et maxi=0,4"));
}

} // namespace
