#include "graph/Etiquettes.h"

#include <algorithm>

bool TPlaceEtiquettes::Prend(const TRectangle& place) {
    const auto chevauche = [&](const TRectangle& prise) {
        return place.Left < prise.Right + ecart_ && prise.Left < place.Right + ecart_ &&
               place.Top < prise.Bottom && prise.Top < place.Bottom;
    };
    if (std::any_of(prises_.begin(), prises_.end(), chevauche))
        return false;
    prises_.push_back(place);
    return true;
}
