#pragma once

#include <optional>

class Tcourbe;

// The world a graph shows: both minima, both maxima, in the order of Tgraphe::FixeMonde.
struct TCadre {
    double XMin = 0;
    double YMin = 0;
    double XMax = 0;
    double YMax = 0;
    friend bool operator==(const TCadre&, const TCadre&) = default;
};

// "Ajuster": the frame around the readable points of the curve, each edge on a multiple of the
// axis's fine graduation step, so that the data fill the plot and the labels stay round.
// Nothing without a readable point.
std::optional<TCadre> CadreAjuste(const Tcourbe& courbe);

// The top of [mini, maxi] raised to the next multiple of the fine graduation step of that range:
// an axis that ends there ends on a round label. `maxi` itself when the range cannot be graduated.
double HautArrondi(double mini, double maxi);
