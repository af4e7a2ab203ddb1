// One full drawing of a spectrum on a full-HD screen image: what a repaint costs during a scan,
// at 512, 1024, 2048 and 4097 points to show how it grows with the run's size; and the same
// drawing on a high-density screen at a scale of 2 (four times the pixels, same coordinates).
#include "Banc.h"
#include "Figures.h"
#include "graph/CanevasPeintre.h"
#include "graph/Graphe.h"

#include <QApplication>
#include <QImage>

#include <cmath>
#include <string>

namespace {

void RemplitSpectre(Tcourbe& courbe, int points) {
    for (int i = 0; i < points; ++i) {
        const double lambda = 190 + 0.2 * i;
        courbe.X[i] = lambda;
        courbe.Y[i] = 1.2 * std::exp(-std::pow((lambda - 480) / 60, 2)) +
                      0.4 * std::exp(-std::pow((lambda - 700) / 25, 2)) + 0.02 * std::sin(i);
    }
    courbe.NbPoints = static_cast<quint16>(points);
}

void DessinComplet(benchmark::State& etat) {
    const int echelle = static_cast<int>(etat.range(1));
    QImage image(1920 * echelle, 1080 * echelle, QImage::Format_RGB32);
    image.setDevicePixelRatio(echelle);
    TCanevasPeintre canevas(&image);
    Tgraphe graphe;
    graphe.MondeX.Nom = "\x88";
    graphe.MondeX.Unite = "nm";
    graphe.MondeY.Nom = "A";
    graphe.FixeMonde(190, 0, 190 + 0.2 * (CapaciteCourbe - 1), 2);
    const int points = static_cast<int>(etat.range(0));
    RemplitSpectre(graphe.Courbe, points);
    graphe.Canvas = &canevas;
    graphe.ZoneDessin = {0, 0, 1920, 1080};
    graphe.Dessine(); // fonts resolved once, as on screen after the first paint
    canevas.Termine();
    std::vector<double> durees;
    for (auto _ : etat) {
        const qint64 debut = NanosecondesMonotones();
        graphe.Dessine();
        canevas.Termine(); // every pixel is in the image
        benchmark::DoNotOptimize(image.constBits());
        durees.push_back(static_cast<double>(NanosecondesMonotones() - debut) / 1e6);
    }
    // The median: a drawing interrupted by another program on the same cores says nothing.
    ImprimeFigure("dessin_complet_" + std::to_string(points) +
                      (echelle == 1 ? std::string() : "_echelle" + std::to_string(echelle)),
                  Mediane(durees), "ms", 2);
}
BENCHMARK(DessinComplet)
    ->Args({512, 1})
    ->Args({1024, 1})
    ->Args({2048, 1})
    ->Args({CapaciteCourbe, 1})
    ->Args({CapaciteCourbe, 2})
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return ExecuteBancs<QApplication>(argc, argv);
}
