// One full kinetics run through the window against the simulated instrument (60 periods of 2 s,
// the clock moved on by the benchmark): the time of one sampling tick (reading, recording, the
// newest segment drawn) and the resident memory after the run, whose target is at most 80 MB.
#include "SimulateurLance.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"
#include "modes/cinetique/CinetiqueForm.h"
#include "shell/Horloge.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// VmRSS of /proc/self/status, in megabytes.
double MemoireResidenteMo() {
    QFile statut(QStringLiteral("/proc/self/status"));
    if (!statut.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& ligne : statut.readAll().split('\n'))
        if (ligne.startsWith("VmRSS:"))
            return ligne.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void RunCinetique(benchmark::State& etat) {
    TSimulateurLance simulateur;
    simulateur.Controle("cuve cinetique");
    TApdComPort voie;
    Spectro.Voie = &voie;
    voie.SetOpen(true);
    Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
    THorlogeTest horloge(QDateTime::currentDateTime(), 1000);
    InstalleHorloge(&horloge);
    double secondesTics = 0;
    qint64 tics = 0;
    for (auto _ : etat) {
        TCinetiqueForm form;
        form.show();
        form.Timer->blockSignals(true);
        form.LambdaBtnClick();
        form.ZeroBtnClick();
        form.StartBtnClick();
        while (form.Etat == TCinetiqueForm::EtatAcquisition) {
            horloge.Avance(2000);
            const auto debut = std::chrono::steady_clock::now();
            form.TimerTimer();
            QCoreApplication::processEvents(); // the newest segment reaches the screen
            secondesTics +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - debut).count();
            ++tics;
        }
        benchmark::DoNotOptimize(form.Graphe->Courbe.NbPoints);
    }
    etat.counters["tic_ms"] = benchmark::Counter(1000 * secondesTics / static_cast<double>(tics));
    etat.counters["rss_mo"] = benchmark::Counter(MemoireResidenteMo());
    InstalleHorloge(nullptr);
    Spectro.Voie = nullptr;
}
BENCHMARK(RunCinetique)->Iterations(3)->Unit(benchmark::kMillisecond);

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
