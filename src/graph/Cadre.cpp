#include "graph/Cadre.h"

#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <algorithm>
#include <cmath>

namespace {

// Quotients such as 0.8 / 0.1 miss the integer by an ulp: a value on a step stays on it.
constexpr double kTolerance = 1e-9;

struct TEtendue {
    double mini, maxi;
};

// [mini, maxi] widened outward to multiples of the fine graduation step of that range. A single
// value gets a tenth of itself (or 1 at 0) on each side first: a range needs a width.
TEtendue Arrondie(TEtendue e) {
    if (!(e.maxi > e.mini)) {
        const double marge = e.mini == 0 ? 1 : std::fabs(e.mini) / 10;
        e = {e.mini - marge, e.maxi + marge};
    }
    Tmonde monde;
    monde.Mini = e.mini;
    monde.Maxi = e.maxi;
    monde.GradFine = true;
    monde.CalculeGraduation();
    const double pas = monde.PasGrad;
    if (!(pas > 0) || !std::isfinite(pas)) // a range too wide to graduate stays as it is
        return e;
    return {std::floor(e.mini / pas + kTolerance) * pas,
            std::ceil(e.maxi / pas - kTolerance) * pas};
}

} // namespace

double HautArrondi(double mini, double maxi) {
    if (!(maxi > mini))
        return maxi;
    return Arrondie({mini, maxi}).maxi;
}

std::optional<TCadre> CadreAjuste(const Tcourbe& courbe) {
    std::optional<TEtendue> x, y;
    const auto etend = [](std::optional<TEtendue>& e, double v) {
        e = e ? TEtendue{std::min(e->mini, v), std::max(e->maxi, v)} : TEtendue{v, v};
    };
    for (int i = 0; i < courbe.NbValides(); ++i) {
        if (!courbe.PointLisible(i))
            continue;
        etend(x, courbe.X[i]);
        etend(y, courbe.Y[i]);
    }
    if (!x)
        return std::nullopt;
    const TEtendue ax = Arrondie(*x), ay = Arrondie(*y);
    return TCadre{ax.mini, ay.mini, ax.maxi, ay.maxi};
}
