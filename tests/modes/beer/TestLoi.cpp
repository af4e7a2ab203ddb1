#include "BoitesScriptees.h"
#include "modes/beer/Loi.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TCasLoi {
    const char* nom;
    std::vector<double> c;
    std::vector<double> a;
    const char* symbole;
    double determination;
    const char* loi;
    const char* r2;
};

TEST(Loi, PenteEnQuatreChiffresEtDeterminationParLOrigine) {
    const TCasLoi cas[] = {
        // k = ΣA / Σc = 21.428…; residues 0.0357, -0.0286, -0.0071 over ΣA² = 0.945.
        {"trois etalons",
         {0.01, 0.02, 0.04},
         {0.25, 0.40, 0.85},
         "c",
         0.9977324,
         "A = 21.43 × c",
         "R² = 0.9977"},
        // k = 0.1; residues ±0.01, ±0.02 over ΣA² = 0.295.
        {"quatre etalons",
         {1, 2, 3, 4},
         {0.11, 0.19, 0.32, 0.38},
         "C",
         0.9966102,
         "A = 0.1 × C",
         "R² = 0.9966"},
        // The standard under the absorbance threshold would pull R² far down if it counted.
        {"etalon sous le seuil",
         {0.01, 0.02, 0.5},
         {0.2, 0.4, 0.001},
         "c",
         1,
         "A = 20 × c",
         "R² = 1"},
        {"aucun etalon utilisable", {0, 0.01}, {0.5, 0.0005}, "c", 0, "", ""},
    };
    for (const TCasLoi& k : cas) {
        SCOPED_TRACE(k.nom);
        const TLoi loi = LoiDesEtalons(k.c.data(), k.a.data(), static_cast<int>(k.c.size()));
        EXPECT_NEAR(loi.Determination, k.determination, 1e-6);
        EXPECT_EQ(TexteLoi(loi, k.symbole), QString::fromUtf8(k.loi));
        EXPECT_EQ(TexteDetermination(loi), QString::fromUtf8(k.r2));
    }
}

TEST(Loi, SeparateurDuSysteme) {
    const double c[] = {0.01, 0.02, 0.04};
    const double a[] = {0.25, 0.40, 0.85};
    const TRegionalTemporaire virgule(u',');
    const TLoi loi = LoiDesEtalons(c, a, 3);
    EXPECT_EQ(TexteLoi(loi, QStringLiteral("c")), QStringLiteral("A = 21,43 × c"));
    EXPECT_EQ(TexteDetermination(loi), QStringLiteral("R² = 0,9977"));
}

} // namespace
