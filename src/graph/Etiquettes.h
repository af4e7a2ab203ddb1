#pragma once

#include "graph/Canevas.h"

#include <vector>

// The texts already written around a graph, so that a graduation label that would overlap the
// axis title or another label is left out rather than drawn over it.
class TPlaceEtiquettes {
public:
    // `ecart`: the room kept free on each side of a text, so that two labels never touch.
    explicit TPlaceEtiquettes(int ecart) : ecart_(ecart) {}

    // Takes the place and says true when it is free; false, and nothing taken, otherwise.
    bool Prend(const TRectangle& place);

private:
    int ecart_;
    std::vector<TRectangle> prises_;
};
