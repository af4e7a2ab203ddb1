// One kinetics run told end to end through the real main window: the simulated instrument on
// COM1, tablarix-factice as the analysis program, a real X clipboard (the program runs under
// Xvfb) and the clock driven by the test.
#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "SimulateurLance.h"
#include "TablarixFactice.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Transfert.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class BoutEnBout : public ::testing::Test {
protected:
    BoutEnBout() {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier.path() + u'/'));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());
        InstalleHorloge(&horloge);
        Spectro = TspectroJenway{};
    }
    ~BoutEnBout() override {
        InstalleHorloge(nullptr);
        Spectro = TspectroJenway{};
        qunsetenv("JENWAY_DDE_ESPACE");
    }

    QString JournalFactice() const { return dossier.filePath(QStringLiteral("journal")); }

    void LanceFactice() {
        ASSERT_TRUE(factice.Lance(dossier.path(), {QStringLiteral("--journal"), JournalFactice()}));
    }

    static void Clique(QAbstractButton* bouton) {
        ASSERT_TRUE(bouton->isVisible()) << bouton->objectName().toStdString();
        QTest::mouseClick(bouton, Qt::LeftButton);
    }

    QTemporaryDir dossier;
    THorlogeTest horloge{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)), 5000};
    TBoitesScriptees boites;
    TSimulateurLance simulateur;
    TTablarixFactice factice;
};

TEST_F(BoutEnBout, MesureEnvoiATablarixPuisRetourALaFenetrePrincipale) {
    LanceFactice();
    const TFenetres fenetres;
    FormMain->show();
    TCinetiqueForm& form = *CinetiqueForm;
    form.Timer->blockSignals(true); // fired by the test, once the clock has moved on

    Clique(FormMain->CinetiqueBtn);
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 2);
    EXPECT_FALSE(FormMain->BeerBtn->isVisible());
    Clique(form.LambdaBtn);
    Clique(form.ZeroBtn);
    ASSERT_EQ(form.Plan.Duree, 120);
    simulateur.Controle("cuve cinetique");
    Clique(form.StartBtn);
    for (int i = 1; i < 20; ++i) {
        horloge.Avance(2000);
        ASSERT_TRUE(form.Timer->isActive());
        form.Timer->blockSignals(false);
        QMetaObject::invokeMethod(form.Timer, "timeout");
        form.Timer->blockSignals(true);
    }
    Clique(form.StopBtn);
    ASSERT_EQ(form.Etat(), TCinetiqueForm::EtatFini);
    ASSERT_EQ(form.Graphe->Courbe.NbPoints, 20);

    const auto pageConfirmee = [](QDialog& d) {
        return &d == ConstanteDlg ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    boites.Dialogues = {pageConfirmee, pageConfirmee};
    Clique(form.RegSaveBtn);
    Clique(form.RegSaveBtn);
    ASSERT_TRUE(Attend([&] { return LitJournalFactice(JournalFactice()).Macros.size() == 2; }));
    const QList<TMacroFactice> macros = LitJournalFactice(JournalFactice()).Macros;
    EXPECT_EQ(macros[0].Macro, "CLIP|LOAD()");
    EXPECT_EQ(macros[1].Macro, "CLIP|ADD()");
    const QByteArray texte = TexteVersAnsi(TexteTransfert(TModeDonnees::Cinetique, *form.Graphe));
    EXPECT_EQ(macros[0].PressePapiers, texte);
    EXPECT_TRUE(texte.contains("\r\nt\tA\r\ns\t\r\n0\t"));
    EXPECT_TRUE(form.Sauve);

    Clique(form.ExitBtn);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(FormMain->ModeCourant, 0);
    EXPECT_TRUE(FormMain->BeerBtn->isVisible());
    EXPECT_TRUE(boites.Vues.empty()) << boites.Textes().join(" / ").toStdString();

    QList<QByteArray> attendu{"R[13]", "G500.0[13]", "ZA[13]"};
    for (int i = 0; i < 20; ++i)
        attendu << "A[13]";
    attendu << "X[13]";
    QList<QByteArray> recues = simulateur.AttendJournal(int(attendu.size())).split('\n');
    recues.removeLast();
    EXPECT_EQ(recues, attendu);
}

} // namespace
