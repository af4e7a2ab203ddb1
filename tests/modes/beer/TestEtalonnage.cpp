#include "BoitesScriptees.h"
#include "base/Utilitaires.h"
#include "modes/beer/Etalonnage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TCasDroite {
    const char* nom;
    std::vector<double> c;
    std::vector<double> a;
    double pente;
    int etalons;
    double ecart;
};

TEST(Etalonnage, RapportDesSommesSurLesEtalonsAuDessusDesSeuils) {
    const TCasDroite cas[] = {
        // ΣA / Σc = 1.5 / 0.07; the least-squares slope (21.19) would be wrong.
        {"trois etalons", {0.01, 0.02, 0.04}, {0.25, 0.40, 0.85}, 1.5 / 0.07, 3, 0.026726},
        {"blanc exclu", {0, 0.01, 0.02, 0.03}, {0.002, 0.2, 0.4, 0.6}, 20, 3, 0},
        {"absorbance au seuil exclue", {0.01, 0.02, 0.5}, {0.2, 0.4, 0.001}, 20, 2, 0},
        {"concentration au seuil exclue", {1e-9, 0.01, 0.02}, {0.7, 0.2, 0.4}, 20, 2, 0},
        {"aucun etalon utilisable", {0, 0.01, 0.02}, {0.5, 0.0005, -0.1}, 0, 0, 0},
        {"vide", {}, {}, 0, 0, 0},
    };
    for (const TCasDroite& c : cas) {
        SCOPED_TRACE(c.nom);
        const TDroiteEtalonnage d =
            AjusteDroite(c.c.data(), c.a.data(), static_cast<int>(c.c.size()));
        EXPECT_NEAR(d.Pente, c.pente, 1e-9);
        EXPECT_EQ(d.NbEtalons, c.etalons);
        EXPECT_NEAR(d.Ecart, c.ecart, 1e-6);
    }
}

TEST(Etalonnage, TexteEcartEtConcentrations) {
    const double c[] = {0.01, 0.02, 0.04};
    const double a[] = {0.25, 0.40, 0.85};
    const TDroiteEtalonnage d = AjusteDroite(c, a, 3);
    EXPECT_EQ(TexteEcart(d), "Ecart quadratique sur A : 0.0267");
    EXPECT_EQ(TexteEcart(TDroiteEtalonnage{}), "");
    {
        const TRegionalTemporaire virgule(u',');
        EXPECT_EQ(TexteEcart(d), "Ecart quadratique sur A : 0,0267");
        EXPECT_EQ(FloatToStr3(ConcentrationDe(0.5, d.Pente)), "0,0233");
    }
    EXPECT_NEAR(ConcentrationDe(0.5, d.Pente), 0.0233333, 1e-6);
    // No line, no concentration, and nothing divides by zero.
    EXPECT_EQ(ConcentrationDe(0.5, 0), Indefini);
}

TEST(Etalonnage, InconnuesRecalculeesRetireesEtBornees) {
    TInconnues inconnues;
    EXPECT_FALSE(inconnues.RetireDerniere());
    EXPECT_TRUE(inconnues.Ajoute(0.5, 0));
    EXPECT_TRUE(inconnues.Ajoute(0.3, 0));
    EXPECT_EQ(inconnues.ConcInconnue[0], Indefini);
    inconnues.Recalcule(20);
    EXPECT_DOUBLE_EQ(inconnues.ConcInconnue[0], 0.025);
    EXPECT_DOUBLE_EQ(inconnues.ConcInconnue[1], 0.015);
    EXPECT_TRUE(inconnues.RetireDerniere());
    EXPECT_EQ(inconnues.NbreInconnues, 1);
    EXPECT_DOUBLE_EQ(inconnues.AbsInconnue[0], 0.5);

    inconnues.NbreInconnues = CapaciteInconnues - 1;
    EXPECT_TRUE(inconnues.Ajoute(0.1, 20));
    EXPECT_TRUE(inconnues.Plein());
    EXPECT_FALSE(inconnues.Ajoute(0.2, 20));
    EXPECT_EQ(inconnues.NbreInconnues, CapaciteInconnues);
}

} // namespace
