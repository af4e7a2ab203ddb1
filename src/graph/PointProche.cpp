#include "graph/PointProche.h"

#include "graph/Courbe.h"

#include <cmath>

int PointLePlusProche(const Tcourbe& courbe, double x) {
    int choisi = -1;
    double distanceChoisie = 0;
    for (int i = 0; i < courbe.NbValides(); ++i) {
        if (!courbe.PointLisible(i))
            continue;
        const double distance = std::fabs(courbe.X[i] - x);
        if (choisi < 0 || distance < distanceChoisie) {
            choisi = i;
            distanceChoisie = distance;
        }
    }
    return choisi;
}
