// CPU used by DemandeAbs while it waits out a whole time-out (9 ticks, 495 ms) for an instrument
// that never answers. The wait must sleep in the event loop: the target is at most 5 ms of CPU.
#include "Banc.h"
#include "Figures.h"

#include <QCoreApplication>

#include <chrono>

namespace {

void AttenteSansReponse(benchmark::State& etat) {
    TSimulateurLance simulateur;
    simulateur.Controle("panne silence");
    const TVoieBanc voie;
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
}
BENCHMARK(AttenteSansReponse)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QCoreApplication>(argc, argv);
}
