// A full spectrum scan through the real window (offscreen), from the simulated instrument at
// 115200 baud over a pseudo-terminal: 150 to 970 nm at 0.2 nm, 4101 lines of which the curve
// keeps 4097. Figures, from the first point stored to the last one stored and painted:
//   ratio_fil      that time divided by the wire time of the bytes received meanwhile (<= 1.05)
//   ratio_cpu      CPU time of the program divided by that time (<= 0.25)
//   repeintures_s  full drawings of the graph per second (<= 33)
#include "SimulateurLance.h"
#include "graph/BoitePeinture.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/spectre/TraceSpectre.h"
#include "shell/Controles.h"
#include "shell/Fenetres.h"
#include "shell/FormMain.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <stdexcept>

namespace {

constexpr int kBaud = 115200;

double MillisecondesCpu() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void AttendQue(const std::function<bool()>& condition, int ms) {
    const QDeadlineTimer limite(ms);
    while (!condition()) {
        if (limite.hasExpired())
            throw std::runtime_error("délai dépassé");
        QEventLoop boucle;
        QTimer::singleShot(5, &boucle, &QEventLoop::quit);
        boucle.exec();
    }
}

// What one scan measured, taken by a receive handler wrapped around the window's own.
struct TMesure {
    bool commence = false;
    bool fini = false;
    qint64 octets = 0; // received after the call that stored the first point
    QElapsedTimer chrono;
    double cpuDebut = 0;
    double cpu = 0;
    double ms = 0;
    int dessinsDebut = 0;
    int dessins = 0;
};

void BalayageComplet(benchmark::State& etat) {
    TSimulateurLance simulateur(1, {QStringLiteral("--baud"), QString::number(kBaud),
                                    QStringLiteral("--graine"), QStringLiteral("1")});
    Spectro = TspectroJenway{};
    Spectro.MiniL = 150;
    Spectro.MaxiL = 970;
    const TFenetres fenetres;
    TTraceSpectre& f = *TraceSpectre;
    FormMain->ChoixMode(1);
    AttendQue([&f] { return f.isActiveWindow() && !f.ReglageEnCours(); }, 5000);
    f.FinSE->SetValue(970);
    f.DebutSE->SetValue(150);
    f.PasCB->setCurrentIndex(0);
    f.BlancBtn->click();
    AttendQue([&f] { return f.BlancFait; }, 5000);

    TMesure mesure;
    QEventLoop attente;
    const TTriggerAvailEvent gestionnaire = Spectro.Voie->OnTriggerAvail();
    Spectro.Voie->SetOnTriggerAvail([&](TApdComPort& voie, quint16 nombre) {
        gestionnaire(voie, nombre);
        if (mesure.commence) {
            mesure.octets += nombre;
        } else if (f.Etat == TTraceSpectre::BalayageEnCours && f.Graphe.Courbe.NbPoints > 0) {
            mesure.commence = true;
            mesure.chrono.start();
            mesure.cpuDebut = MillisecondesCpu();
            mesure.dessinsDebut = f.PaintBox->NbDessinsComplets();
        }
        if (mesure.commence && !mesure.fini && f.Etat == TTraceSpectre::Repos) {
            mesure.fini = true;
            mesure.ms = static_cast<double>(mesure.chrono.nsecsElapsed()) / 1e6;
            mesure.cpu = MillisecondesCpu() - mesure.cpuDebut;
            mesure.dessins = f.PaintBox->NbDessinsComplets() - mesure.dessinsDebut;
            attente.quit();
        }
    });

    double ratioFil = 0;
    double ratioCpu = 0;
    double repeintures = 0;
    for (auto _ : etat) {
        mesure = TMesure{};
        f.SpectreBtn->click();
        QTimer::singleShot(30000, &attente, &QEventLoop::quit);
        attente.exec();
        if (!mesure.fini || f.Graphe.Courbe.NbPoints != CapaciteCourbe) {
            etat.SkipWithError("balayage inachevé");
            break;
        }
        const double msFil = static_cast<double>(mesure.octets) * 10 * 1000 / kBaud;
        ratioFil += mesure.ms / msFil;
        ratioCpu += mesure.cpu / mesure.ms;
        repeintures += mesure.dessins * 1000 / mesure.ms;
        etat.SetIterationTime(mesure.ms / 1000);
    }
    const auto n = static_cast<double>(etat.iterations());
    etat.counters["ratio_fil"] = ratioFil / n;
    etat.counters["ratio_cpu"] = ratioCpu / n;
    etat.counters["repeintures_s"] = repeintures / n;
    etat.counters["points"] = f.Graphe.Courbe.NbPoints;
    FormMain->ChoixMode(0);
    Spectro = TspectroJenway{};
}
BENCHMARK(BalayageComplet)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
