// CPU used by DemandeAbs while it waits out a whole time-out (9 ticks, 495 ms) for an instrument
// that never answers. The wait must sleep in the event loop: the target is at most 5 ms of CPU.
#include "Banc.h"
#include "Figures.h"
#include "SimulateurLance.h"
#include "instrument/ApdComPort.h"
#include "instrument/SpectroJenway.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

void AttenteSansReponse(benchmark::State& etat) {
    TSimulateurLance simulateur;
    simulateur.Controle("panne silence");
    TApdComPort voie;
    Spectro.Voie = &voie;
    voie.SetOpen(true);
    Spectro.EnvoiCommande(Spectro.CmdDebutRemote);
    double cpu = 0;
    for (auto _ : etat) {
        const double avant = MillisecondesCpu();
        const auto debut = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(Spectro.DemandeAbs());
        const std::chrono::duration<double> duree = std::chrono::steady_clock::now() - debut;
        cpu += MillisecondesCpu() - avant;
        etat.SetIterationTime(duree.count());
    }
    ImprimeFigure("attente_absorbance_cpu", cpu / static_cast<double>(etat.iterations()), "ms", 5);
    Spectro.Voie = nullptr;
}
BENCHMARK(AttenteSansReponse)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
