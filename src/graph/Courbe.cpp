#include "graph/Courbe.h"

#include "base/Utilitaires.h"

#include <algorithm>
#include <cmath>

namespace {

double PlusGrand(const std::array<double, CapaciteCourbe>& valeurs, int nombre) {
    double maxi = 0;
    for (int i = 0; i < nombre; ++i)
        maxi = std::max(maxi, valeurs[i]);
    return maxi;
}

} // namespace

double Tcourbe::MaxiX() const {
    return PlusGrand(X, NbValides());
}

double Tcourbe::MaxiY() const {
    return PlusGrand(Y, NbValides());
}

int Tcourbe::NbValides() const {
    return std::min<int>(NbPoints, CapaciteCourbe);
}

bool Tcourbe::PointLisible(int i) const {
    const auto lisible = [](double v) {
        return v != Indefini && std::isfinite(v);
    };
    return lisible(X[i]) && lisible(Y[i]);
}
