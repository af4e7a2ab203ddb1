#include "modes/spectre/Maxima.h"

#include "base/Regional.h"
#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "graph/PointProche.h"

#include <algorithm>
#include <cmath>

namespace {

// A band must stand this many times the (smoothed) noise above its surroundings, and never less
// than a few thousandths: the instrument reads to 0.001.
constexpr double kFoisLeBruit = 10;
constexpr double kProeminenceMini = 0.005;
// The smoothing averages 1 % of the points on each side: a band is tens of nanometres wide.
constexpr double kPartLissee = 0.01;

// The noise's standard deviation, from the median of the second differences: a smooth spectrum
// keeps them near 0, white noise spreads them to σ√6. The median ignores the bands' tops.
double EcartTypeBruit(const std::vector<double>& y) {
    std::vector<double> d;
    for (size_t i = 1; i + 1 < y.size(); ++i)
        d.push_back(std::fabs(y[i + 1] - 2 * y[i] + y[i - 1]));
    if (d.empty())
        return 0;
    const auto milieu = d.begin() + static_cast<std::ptrdiff_t>(d.size() / 2);
    std::nth_element(d.begin(), milieu, d.end());
    return 1.4826 * *milieu / std::sqrt(6.0);
}

// Moving average over 2h + 1 points, fewer at the ends.
std::vector<double> Lisse(const std::vector<double>& y, int h) {
    const int n = static_cast<int>(y.size());
    std::vector<double> cumul(y.size() + 1, 0);
    for (int i = 0; i < n; ++i)
        cumul[i + 1] = cumul[i] + y[i];
    std::vector<double> z(y.size());
    for (int i = 0; i < n; ++i) {
        const int debut = std::max(0, i - h);
        const int fin = std::min(n, i + h + 1);
        z[i] = (cumul[fin] - cumul[debut]) / (fin - debut);
    }
    return z;
}

// How far the top z[debut..fin] stands above the higher of the lowest points on each side, each
// side searched as far as higher ground or the end. A point as high stops the search on the left
// only, so that of two equal tops one stands out instead of neither.
double Proeminence(const std::vector<double>& z, int debut, int fin) {
    const double sommet = z[debut];
    double gauche = sommet;
    for (int k = debut - 1; k >= 0 && z[k] < sommet; --k)
        gauche = std::min(gauche, z[k]);
    double droite = sommet;
    for (int k = fin + 1; k < static_cast<int>(z.size()) && z[k] <= sommet; ++k)
        droite = std::min(droite, z[k]);
    return sommet - std::max(gauche, droite);
}

struct TCandidat {
    double proeminence;
    double lambda;
};

// The top's wavelength: the middle of a flat top, else the vertex of the parabola through the
// top and its two neighbours.
double LambdaDuSommet(const std::vector<double>& x, const std::vector<double>& z, int debut,
                      int fin) {
    if (fin > debut)
        return (x[debut] + x[fin]) / 2;
    const double a = z[debut - 1], b = z[debut], c = z[debut + 1];
    const double courbure = a - 2 * b + c;
    const double pas = (x[debut + 1] - x[debut - 1]) / 2;
    return x[debut] + 0.5 * (a - c) / courbure * pas;
}

} // namespace

std::vector<TMaximum> MaximaAbsorption(const Tcourbe& courbe, int auPlus) {
    const int n = courbe.NbValides();
    const std::vector<double> x(courbe.X.begin(), courbe.X.begin() + n);
    const std::vector<double> y(courbe.Y.begin(), courbe.Y.begin() + n);
    const int h = static_cast<int>(std::lround(kPartLissee * (n - 1)));
    const std::vector<double> z = Lisse(y, h);
    const double seuil =
        std::max(kFoisLeBruit * EcartTypeBruit(y) / std::sqrt(2.0 * h + 1), kProeminenceMini);

    std::vector<TCandidat> candidats;
    for (int i = 1; i + 1 < n;) {
        int fin = i;
        while (fin + 1 < n && z[fin + 1] == z[i])
            ++fin;
        // Only a top with lower ground on both sides: the ends of the range are no band.
        if (fin + 1 < n && z[i] > z[i - 1] && z[i] > z[fin + 1]) {
            const double p = Proeminence(z, i, fin);
            if (p > seuil)
                candidats.push_back({p, LambdaDuSommet(x, z, i, fin)});
        }
        i = fin + 1;
    }
    std::sort(candidats.begin(), candidats.end(),
              [](const TCandidat& a, const TCandidat& b) { return a.proeminence > b.proeminence; });
    if (static_cast<int>(candidats.size()) > auPlus)
        candidats.resize(static_cast<size_t>(std::max(0, auPlus)));

    std::vector<TMaximum> maxima;
    for (const TCandidat& c : candidats) {
        const int proche = PointLePlusProche(courbe, c.lambda);
        if (proche >= 0)
            maxima.push_back({c.lambda, courbe.Y[proche]});
    }
    std::sort(maxima.begin(), maxima.end(),
              [](const TMaximum& a, const TMaximum& b) { return a.Lambda < b.Lambda; });
    return maxima;
}

QString TexteMaxima(const std::vector<TMaximum>& maxima) {
    QStringList parties;
    for (const TMaximum& m : maxima)
        parties << FormatGeneral(m.Lambda, 4, 1, Regional().SeparateurDecimal) +
                       QStringLiteral(" nm (A = ") + FloatToStr3(m.Absorbance) + u')';
    if (parties.isEmpty())
        return QString();
    return QStringLiteral("λmax : ") + parties.join(QStringLiteral(" ; "));
}
