// One full drawing of a 4097-point spectrum on a full-HD screen image: what a repaint costs
// during a scan.
#include "graph/CanevasPeintre.h"
#include "graph/Graphe.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

void RemplitSpectre(Tcourbe& courbe) {
    for (int i = 0; i < CapaciteCourbe; ++i) {
        const double lambda = 190 + 0.2 * i;
        courbe.X[i] = lambda;
        courbe.Y[i] = 1.2 * std::exp(-std::pow((lambda - 480) / 60, 2)) +
                      0.4 * std::exp(-std::pow((lambda - 700) / 25, 2)) + 0.02 * std::sin(i);
    }
    courbe.NbPoints = CapaciteCourbe;
}

void DessinComplet(benchmark::State& etat) {
    QImage image(1920, 1080, QImage::Format_RGB32);
    TCanevasPeintre canevas(&image);
    Tgraphe graphe;
    graphe.MondeX.Nom = "\x88";
    graphe.MondeX.Unite = "nm";
    graphe.MondeY.Nom = "A";
    graphe.FixeMonde(190, 0, 190 + 0.2 * (CapaciteCourbe - 1), 2);
    RemplitSpectre(graphe.Courbe);
    graphe.Canvas = &canevas;
    graphe.ZoneDessin = {0, 0, image.width(), image.height()};
    graphe.Dessine(); // fonts resolved once, as on screen after the first paint
    canevas.Termine();
    for (auto _ : etat) {
        graphe.Dessine();
        canevas.Termine(); // every pixel is in the image
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(DessinComplet)->Unit(benchmark::kMillisecond);

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
