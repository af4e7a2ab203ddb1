// What journaling a run costs: the time the user-interface thread spends handing one point to
// the journal, with the writer thread writing and syncing every 64 points meanwhile, and the CPU
// of both threads per point. Points come in full curves (4097), each in a journal of its own.
#include "Banc.h"
#include "Figures.h"
#include "modes/journal/Journal.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <utility>

namespace {

constexpr int kPointsParRun = 4097;
constexpr int kRuns = 20;

struct TMesure {
    double FilParPoint = 0; // µs of the user-interface thread
    double CpuParPoint = 0; // µs of both threads
};

TMesure MesureRuns(const QString& dossier) {
    double fil = 0;
    double cpu = 0;
    for (int run = 0; run < kRuns; ++run) {
        TJournal journal(dossier);
        journal.Commence(
            {{"mode", "spectre"}, {"x.nom", "\x88"}, {"debut", "2026-12-10T03:00:00"}});
        const double cpuAvant = MillisecondesCpu();
        const auto debut = std::chrono::steady_clock::now();
        for (int i = 0; i < kPointsParRun; ++i)
            journal.AjoutePoint(400 + 0.1 * i, 1.0 / (i + 7));
        fil += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - debut)
                   .count();
        journal.Synchronise(); // the writer's share of the work belongs to this run
        cpu += 1000 * (MillisecondesCpu() - cpuAvant);
        journal.Supprime();
    }
    const double points = double(kRuns) * kPointsParRun;
    return {fil / points, cpu / points};
}

void JournalParPoint(benchmark::State& etat) {
    QTemporaryDir dossier;
    TMesure mesure;
    for (auto _ : etat)
        mesure = MesureRuns(dossier.path());
    etat.counters["fil_us_point"] = mesure.FilParPoint;
    etat.counters["cpu_us_point"] = mesure.CpuParPoint;
    ImprimeFigure("journal_cout_point", mesure.FilParPoint, "us", 5);
    ImprimeFigure("journal_cpu_point", mesure.CpuParPoint, "us", 5);
}
BENCHMARK(JournalParPoint)->Iterations(1)->Unit(benchmark::kMillisecond);

// A journal grown far beyond what a run can hold (a damaged or hostile file, 5 million points,
// about 215 MB) as found at start: the time and memory spent reading it before the question.
void JournalGeant(benchmark::State& etat) {
    constexpr int kPoints = 5'000'000;
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath(QStringLiteral("geant.journal"));
    {
        QFile fichier(chemin);
        if (!fichier.open(QIODevice::WriteOnly)) {
            etat.SkipWithError("journal impossible à écrire");
            return;
        }
        fichier.write("JOURNAL-JENWAY 1\nC mode cinetique\nC debut 2026-12-10T03:00:00\n");
        QByteArray lot;
        for (int i = 0; i < kPoints; ++i) {
            lot += "P " + QByteArray::number(2.0 * i, 'g', 17) + ' ' +
                   QByteArray::number(0.123456789012345 + i * 1e-9, 'g', 17) + '\n';
            if (lot.size() > (1 << 20))
                fichier.write(std::exchange(lot, {}));
        }
        fichier.write(lot);
    }
    const double memoireAvant = PicMemoireMo();
    qint64 ms = 0;
    qsizetype points = 0;
    for (auto _ : etat) {
        QElapsedTimer chrono;
        chrono.start();
        const auto lu = LitJournal(chemin);
        ms = chrono.elapsed();
        points = lu ? lu->X.size() : -1;
    }
    const double memoire = PicMemoireMo() - memoireAvant;
    etat.counters["points_lus"] = static_cast<double>(points);
    ImprimeFigure("journal_geant_lecture", static_cast<double>(ms), "ms", 100);
    ImprimeFigure("journal_geant_memoire", memoire, "Mo", 20);
}
BENCHMARK(JournalGeant)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QCoreApplication>(argc, argv);
}
