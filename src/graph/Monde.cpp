#include "graph/Monde.h"

#include "base/Utilitaires.h"

#include <cmath>
#include <limits>

int Tmonde::VersEcran(double x) const {
    if (x == Indefini)
        throw Enombre("Valeur non initialisée");
    // The default rounding mode rounds halves to the even neighbour.
    const double pixel = std::nearbyint(x * Echelle + Origine);
    if (!(pixel >= std::numeric_limits<qint32>::min() &&
          pixel <= std::numeric_limits<qint32>::max()))
        throw std::range_error("Opération en virgule flottante incorrecte");
    return static_cast<int>(pixel);
}

void Tmonde::AjusteEchelle(int p0, int p1) {
    Echelle = static_cast<double>(static_cast<qint64>(p1) - p0) / (Maxi - Mini);
    Origine = p0 - Mini * Echelle;
    CalculeGraduation();
}

void Tmonde::CalculeGraduation() {
    if (!EtendueValide()) {
        // Nothing is graduated on such an axis; these values only keep every loop finite.
        PasGrad = 0;
        DebutGrad = Mini;
        return;
    }
    const long double etendue = static_cast<long double>(Maxi) - Mini;
    const qint32 e = Plancher(LogDecimal(etendue));
    const double r = static_cast<double>(PuissanceDix(-e) * etendue);
    static constexpr double pas[] = {0.1, 0.2, 0.5, 1, 2, 5};
    const double seuil = GradFine ? 10 : 5;
    int n = 0;
    while (n < 5 && !(r / pas[n] < seuil))
        ++n;
    PasGrad = static_cast<double>(PuissanceDix(e) * pas[n]);
    // A ceiling without the 32-bit limit: a narrow range far from 0 has many steps below Mini.
    DebutGrad = static_cast<double>(std::ceil(static_cast<long double>(Mini) / PasGrad) * PasGrad);
}

TChaine20 Tmonde::TexteGrad(double v) const {
    return TChaine20::DepuisTexte(FloatToStr3(v));
}

bool Tmonde::EtendueValide() const {
    return std::isfinite(Mini) && std::isfinite(Maxi) && Maxi > Mini && std::isfinite(Maxi - Mini);
}
