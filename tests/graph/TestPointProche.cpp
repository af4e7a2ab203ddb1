#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "graph/PointProche.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

struct TCasProche {
    const char* nom;
    std::vector<double> x, y;
    double cherche;
    int attendu;
};

TEST(PointProche, IndexDuPointDontLAbscisseEstLaPlusProche) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TCasProche cas[] = {
        {"courbe vide", {}, {}, 500, -1},
        {"un seul point", {500}, {0.3}, 900, 0},
        {"au point pres", {400, 401, 402}, {0.1, 0.2, 0.3}, 401, 1},
        {"entre deux, le plus proche", {400, 405, 410}, {0.1, 0.2, 0.3}, 406.4, 1},
        {"a egale distance, le premier", {400, 405, 410}, {0.1, 0.2, 0.3}, 407.5, 1},
        {"avant le debut", {400, 405}, {0.1, 0.2}, 325, 0},
        {"apres la fin", {400, 405}, {0.1, 0.2}, 950, 1},
        // The standards of a Beer-Lambert run come in the order they were typed.
        {"abscisses dans le desordre", {0.04, 0.01, 0.02}, {0.8, 0.2, 0.4}, 0.012, 1},
        {"ordonnee Indefini sautee", {400, 405, 410}, {0.1, Indefini, 0.3}, 405, 0},
        {"abscisse non lisible sautee", {400, nan, 410}, {0.1, 0.2, 0.3}, 409, 2},
        {"aucun point lisible", {Indefini}, {0.2}, 0, -1},
    };
    auto courbe = std::make_unique<Tcourbe>();
    for (const TCasProche& k : cas) {
        courbe->NbPoints = static_cast<quint16>(k.x.size());
        std::copy(k.x.begin(), k.x.end(), courbe->X.begin());
        std::copy(k.y.begin(), k.y.end(), courbe->Y.begin());
        EXPECT_EQ(PointLePlusProche(*courbe, k.cherche), k.attendu) << k.nom;
    }
}

} // namespace
