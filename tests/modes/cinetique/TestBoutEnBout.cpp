// One kinetics run told end to end through the real main window: the simulated instrument on
// COM1, tablarix-factice as the analysis program, a real X clipboard (the program runs under
// Xvfb) and the clock driven by the test.
#include "BoitesScriptees.h"
#include "SimulateurLance.h"
#include "base/Encodage.h"
#include "base/Horloge.h"
#include "exchange/ConstanteDlg.h"
#include "exchange/Transfert.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray Lit(const QString& chemin) {
    QFile fichier(chemin);
    return fichier.open(QIODevice::ReadOnly) ? fichier.readAll() : QByteArray();
}

bool Attend(const std::function<bool()>& condition, int ms = 5000) {
    const QDeadlineTimer limite(ms);
    while (!condition() && !limite.hasExpired())
        QTest::qWait(10);
    return condition();
}

struct TMacro {
    QByteArray Macro;
    QByteArray PressePapiers;
};

// The macros tablarix-factice journaled, each with the clipboard bytes it found.
QList<TMacro> Macros(const QByteArray& journal) {
    QList<TMacro> macros;
    qsizetype i = 0;
    const auto ligne = [&] {
        const qsizetype fin = journal.indexOf('\n', i);
        const QByteArray texte = journal.mid(i, fin < 0 ? -1 : fin - i);
        i = fin < 0 ? journal.size() : fin + 1;
        return texte;
    };
    while (i < journal.size()) {
        const QByteArray texte = ligne();
        if (!texte.startsWith("MACRO "))
            continue;
        const qsizetype n = ligne().mid(15).toLongLong(); // "PRESSE-PAPIERS n"
        macros << TMacro{texte.mid(6), journal.mid(i, n)};
        i += n + 1;
    }
    return macros;
}

class BoutEnBout : public ::testing::Test {
protected:
    BoutEnBout() {
        qputenv("JENWAY_DDE_ESPACE", QFile::encodeName(dossier.path() + u'/'));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.path());
        InstalleHorloge(&horloge);
        Spectro = TspectroJenway{};
    }
    ~BoutEnBout() override {
        factice.terminate();
        factice.waitForFinished();
        InstalleHorloge(nullptr);
        Spectro = TspectroJenway{};
        qunsetenv("JENWAY_DDE_ESPACE");
    }

    QString JournalFactice() const { return dossier.filePath(QStringLiteral("journal")); }

    void LanceFactice() {
        factice.start(QCoreApplication::applicationDirPath() + QStringLiteral("/tablarix-factice"),
                      {QStringLiteral("--journal"), JournalFactice()});
        ASSERT_TRUE(factice.waitForStarted());
        const QString socket = dossier.filePath(QStringLiteral("jenway-dde-tablarix-serveurdde"));
        ASSERT_TRUE(Attend([&] { return QFile::exists(socket); }));
    }

    static void Clique(QAbstractButton* bouton) {
        ASSERT_TRUE(bouton->isVisible()) << bouton->objectName().toStdString();
        QTest::mouseClick(bouton, Qt::LeftButton);
    }

    QTemporaryDir dossier;
    THorlogeTest horloge{QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)), 5000};
    TBoitesScriptees boites;
    TSimulateurLance simulateur;
    QProcess factice;
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
    ASSERT_EQ(form.Duree, 120);
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
    ASSERT_EQ(form.Etat, TCinetiqueForm::EtatFini);
    ASSERT_EQ(form.Graphe->Courbe.NbPoints, 20);

    const auto pageConfirmee = [](QDialog& d) {
        return &d == ConstanteDlg ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    boites.Dialogues = {pageConfirmee, pageConfirmee};
    Clique(form.RegSaveBtn);
    Clique(form.RegSaveBtn);
    ASSERT_TRUE(Attend([&] { return Macros(Lit(JournalFactice())).size() == 2; }));
    const QList<TMacro> macros = Macros(Lit(JournalFactice()));
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
