// A run taken through the real windows against the simulated instrument (JENWAY_COM1), its
// journal in JENWAY_JOURNAUX, for a test that kills this program in the middle of it:
//
//   acquisition-interrompue cinetique|spectre|beer POINTS
//
// Once the run holds POINTS points it writes "POINTS n" on standard output and goes on (a scan
// keeps scanning) until it is killed.
#include "BoitesScriptees.h"
#include "OutilsTests.h"
#include "base/Application.h"
#include "base/Controles.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "exchange/ConstanteDlg.h"
#include "modes/beer/BeerForm.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QComboBox>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

// A run that cannot go on ends the program: the test sees no points reported.
void AttendOuArrete(const std::function<bool()>& condition, int ms = 10000) {
    if (!Attend(condition, ms)) {
        std::fprintf(stderr, "acquisition-interrompue : attente trop longue\n");
        std::exit(3);
    }
}

void Annonce(int points) {
    std::printf("POINTS %d\n", points);
    std::fflush(stdout);
}

void Cinetique(int points, THorlogeTest& horloge) {
    InstalleHorloge(&horloge);
    FormMain->ChoixMode(2);
    TCinetiqueForm& f = *CinetiqueForm;
    f.Timer->blockSignals(true); // ticked here, once the clock has moved on
    f.NbreEdit->selectAll();     // typed as the user does: read when the editing ends
    QTest::keyClicks(f.NbreEdit, QStringLiteral("200"));
    QTest::keyClick(f.NbreEdit, Qt::Key_Return);
    f.LambdaBtn->click();
    f.ZeroBtn->click();
    f.StartBtn->click();
    while (f.Graphe->Courbe.NbPoints < points) {
        horloge.Avance(2000);
        f.TimerTimer();
    }
    Annonce(f.Graphe->Courbe.NbPoints);
}

void Spectre(int points) {
    FormMain->ChoixMode(1);
    TTraceSpectre& f = *TraceSpectre;
    AttendOuArrete([&] { return f.isActiveWindow() && !f.ReglageEnCours(); });
    f.FinSE->SetValue(800);
    f.DebutSE->SetValue(400);
    f.PasCB->setCurrentIndex(0);
    f.BlancBtn->click();
    AttendOuArrete([&] { return f.Recepteur.BlancFait(); });
    f.SpectreBtn->click();
    AttendOuArrete([&] { return f.Graphe.Courbe.NbPoints >= points; }, 20000);
    Annonce(f.Graphe.Courbe.NbPoints);
}

void Beer(int points) {
    FormMain->ChoixMode(3);
    TBeerForm& f = *BeerForm;
    AttendOuArrete([&] { return f.isActiveWindow(); });
    // A user's pace: a few tenths of a second between two points.
    for (int i = 0; i < points; ++i) {
        f.EnregistreBtn->click();
        QTest::qWait(200);
    }
    Annonce(f.Graphe.Courbe.NbPoints);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    TApplication application(argc, argv);
    FixeRegional(TParametresRegionaux{});
    // Kinetics runs on a clock of its own, the other modes on the system's.
    THorlogeTest horloge(QDateTime(QDate(2026, 12, 10), QTime(14, 5, 12)), 1000);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 3)
        return 2;
    const int points = arguments[2].toInt();
    TBoitesScriptees boites;
    const TFenetres fenetres;
    FormMain->show();
    // The page information of the run, to be found again after the crash.
    ConstanteDlg->NomConstEdit->setText(QStringLiteral("T"));
    ConstanteDlg->UniteConstEdit->setText(QStringLiteral("K"));
    ConstanteDlg->SignifConstEdit->setText(QStringLiteral("température"));
    ConstanteDlg->ValeurConstEdit->setText(QStringLiteral("298"));
    ConstanteDlg->EditComm->setText(QStringLiteral("essai 12"));
    ConstanteDlg->ConstanteValide = true;

    if (arguments[1] == "cinetique")
        Cinetique(points, horloge);
    else if (arguments[1] == "spectre")
        Spectre(points);
    else if (arguments[1] == "beer")
        Beer(points);
    else
        return 2;
    return TApplication::exec();
}
