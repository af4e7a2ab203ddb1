// Saving a full 4097-point run in each mode and format, and building its clipboard text: what
// the user waits for after a save or copy button. Each should feel immediate: at most 100 ms.
#include "Banc.h"
#include "Figures.h"
#include "exchange/Fichiers.h"
#include "exchange/Transfert.h"
#include "graph/Graphe.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cmath>
#include <string>

namespace {

void Remplit(Tgraphe& graphe) {
    graphe.MondeX.Nom = "\x88";
    graphe.MondeX.Unite = "nm";
    graphe.MondeY.Nom = "A";
    for (int i = 0; i < CapaciteCourbe; ++i) {
        graphe.Courbe.X[i] = 190 + 0.2 * i;
        graphe.Courbe.Y[i] =
            1.2 * std::exp(-std::pow((graphe.Courbe.X[i] - 480) / 60, 2)) + 0.02 * std::sin(i);
    }
    graphe.Courbe.NbPoints = CapaciteCourbe;
}

const char* NomMode(TModeDonnees mode) {
    switch (mode) {
    case TModeDonnees::Cinetique:
        return "cinetique";
    case TModeDonnees::Spectre:
        return "spectre";
    case TModeDonnees::Beer:
        return "beer";
    }
    return "";
}

void Sauvegarde(benchmark::State& etat, TModeDonnees mode, const char* extension) {
    Tgraphe graphe;
    Remplit(graphe);
    const QTemporaryDir dossier;
    const QString nom = dossier.filePath(QStringLiteral("essai.") + extension);
    std::vector<double> durees;
    for (auto _ : etat) {
        const qint64 debut = NanosecondesMonotones();
        if (!EcritFichierDonnees(nom, mode, graphe))
            etat.SkipWithError("sauvegarde impossible");
        durees.push_back(static_cast<double>(NanosecondesMonotones() - debut) / 1e6);
    }
    ImprimeFigure(std::string("sauvegarde_") + NomMode(mode) + "_" + extension, Mediane(durees),
                  "ms", 100);
}
BENCHMARK_CAPTURE(Sauvegarde, cinetique_tb3, TModeDonnees::Cinetique, "tb3")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauvegarde, cinetique_txt, TModeDonnees::Cinetique, "txt")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauvegarde, spectre_tb3, TModeDonnees::Spectre, "tb3")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauvegarde, spectre_txt, TModeDonnees::Spectre, "txt")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauvegarde, beer_tb3, TModeDonnees::Beer, "tb3")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sauvegarde, beer_txt, TModeDonnees::Beer, "txt")
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

void TextePressePapiers(benchmark::State& etat, TModeDonnees mode) {
    Tgraphe graphe;
    Remplit(graphe);
    std::vector<double> durees;
    for (auto _ : etat) {
        const qint64 debut = NanosecondesMonotones();
        benchmark::DoNotOptimize(TexteTransfert(mode, graphe));
        durees.push_back(static_cast<double>(NanosecondesMonotones() - debut) / 1e6);
    }
    ImprimeFigure(std::string("presse_papiers_") + NomMode(mode), Mediane(durees), "ms", 100);
}
BENCHMARK_CAPTURE(TextePressePapiers, cinetique, TModeDonnees::Cinetique)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TextePressePapiers, spectre, TModeDonnees::Spectre)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TextePressePapiers, beer, TModeDonnees::Beer)
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
