#include "base/Utilitaires.h"
#include "graph/Cadre.h"
#include "graph/Courbe.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace {

struct TCasCadre {
    const char* nom;
    std::vector<double> x, y;
    std::optional<TCadre> attendu;
};

TEST(Cadre, AjusteAuxDonneesSurDesGraduationsRondes) {
    const TCasCadre cas[] = {
        // A 400-800 nm scan in the 325-950 × 0-3 frame of the settings.
        {"spectre",
         {400, 500, 600, 700, 800},
         {0.012, 0.35, 0.821, 0.1, -0.004},
         TCadre{400, -0.1, 800, 0.9}},
        {"cinetique", {0, 32, 64, 96, 128}, {1.2, 0.8, 0.55, 0.42, 0.35}, TCadre{0, 0.3, 140, 1.2}},
        // Edges already on a step stay where they are, although 0.8 / 0.1 is not quite 8.
        {"bords sur un pas", {0.01, 0.02, 0.04}, {0.2, 0.4, 0.8}, TCadre{0.01, 0.2, 0.04, 0.8}},
        {"negatif", {-25, 10}, {-3.2, -1.1}, TCadre{-25, -3.5, 10, -1}},
        {"un seul point", {500}, {0.5}, TCadre{440, 0.44, 560, 0.56}},
        {"valeur nulle seule", {0, 10}, {0, 0}, TCadre{0, -1, 10, 1}},
        {"points illisibles sautes",
         {400, 450, 800},
         {0.2, Indefini, 0.6},
         TCadre{400, 0.2, 800, 0.6}},
        {"courbe vide", {}, {}, std::nullopt},
        {"aucun point lisible", {Indefini}, {0.3}, std::nullopt},
    };
    auto courbe = std::make_unique<Tcourbe>();
    for (const TCasCadre& k : cas) {
        SCOPED_TRACE(k.nom);
        courbe->NbPoints = static_cast<quint16>(k.x.size());
        std::copy(k.x.begin(), k.x.end(), courbe->X.begin());
        std::copy(k.y.begin(), k.y.end(), courbe->Y.begin());
        const std::optional<TCadre> cadre = CadreAjuste(*courbe);
        ASSERT_EQ(cadre.has_value(), k.attendu.has_value());
        if (!cadre)
            continue;
        EXPECT_NEAR(cadre->XMin, k.attendu->XMin, 1e-9);
        EXPECT_NEAR(cadre->YMin, k.attendu->YMin, 1e-9);
        EXPECT_NEAR(cadre->XMax, k.attendu->XMax, 1e-9);
        EXPECT_NEAR(cadre->YMax, k.attendu->YMax, 1e-9);
    }
}

} // namespace
