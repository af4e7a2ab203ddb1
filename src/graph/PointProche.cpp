#include "graph/PointProche.h"

#include "base/Utilitaires.h"
#include "graph/Courbe.h"

#include <cmath>

namespace {

bool Lisible(double v) {
    return v != Indefini && std::isfinite(v);
}

} // namespace

int PointLePlusProche(const Tcourbe& courbe, double x) {
    int choisi = -1;
    double distanceChoisie = 0;
    for (int i = 0; i < courbe.NbValides(); ++i) {
        if (!Lisible(courbe.X[i]) || !Lisible(courbe.Y[i]))
            continue;
        const double distance = std::fabs(courbe.X[i] - x);
        if (choisi < 0 || distance < distanceChoisie) {
            choisi = i;
            distanceChoisie = distance;
        }
    }
    return choisi;
}
