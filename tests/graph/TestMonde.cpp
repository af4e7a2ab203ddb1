#include "BoitesScriptees.h"
#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

TEST(Tmonde, ValeursACreation) {
    const Tmonde m;
    EXPECT_EQ(m.Mini, 0);
    EXPECT_EQ(m.Maxi, 255);
    EXPECT_EQ(m.Echelle, 1);
    EXPECT_EQ(m.Origine, 0);
    EXPECT_FALSE(m.Gradue);
    EXPECT_FALSE(m.GradFine);
    EXPECT_TRUE(m.Nom.EstVide() && m.Unite.EstVide() && m.Signification.EstVide());
    EXPECT_EQ(m.VersEcran(17.2), 17); // the identity until the first fitting
}

struct CasGraduation {
    double mini, maxi;
    bool fine;
    double pas, debut;
};

TEST(Tmonde, PasEtDebutDeGraduation) {
    const CasGraduation cas[] = {
        {325, 950, false, 200, 400}, // wavelengths of a default scan
        {325, 950, true, 100, 400},
        {0, 3, false, 1, 0}, // absorbances
        {0, 3, true, 0.5, 0},
        {-0.3, 1.2, false, 0.5, 0}, // next multiple above a negative minimum
        {-0.3, 2.7, false, 1, 0},
        {-2.5, 0.5, false, 1, -2},
        {0, 1.5, true, 0.2, 0},
        {0, 2.2, true, 0.5, 0},
        {0, 7, false, 2, 0},
        {0, 7, true, 1, 0},
        {0, 0.001, false, 0.0005, 0},
        {1000, 3000, false, 500, 1000}, // a minimum on the step is the first graduation
        {-1e12, 1e12, false, 5e11, -1e12},
    };
    for (const CasGraduation& c : cas) {
        Tmonde m;
        m.Mini = c.mini;
        m.Maxi = c.maxi;
        m.GradFine = c.fine;
        m.CalculeGraduation();
        EXPECT_DOUBLE_EQ(m.PasGrad, c.pas) << c.mini << " .. " << c.maxi << " fine " << c.fine;
        EXPECT_DOUBLE_EQ(m.DebutGrad, c.debut) << c.mini << " .. " << c.maxi << " fine " << c.fine;
    }
}

TEST(Tmonde, AjusteEchellePlaceMiniEtMaxiSurLesPixelsDonnes) {
    Tmonde x;
    x.Mini = 325;
    x.Maxi = 950;
    x.AjusteEchelle(36, 596);
    EXPECT_EQ(x.VersEcran(325), 36);
    EXPECT_EQ(x.VersEcran(950), 596);
    EXPECT_DOUBLE_EQ(x.PasGrad, 200);

    Tmonde y; // vertical: values grow upward
    y.Mini = 0;
    y.Maxi = 3;
    y.AjusteEchelle(283, 17);
    EXPECT_LT(y.Echelle, 0);
    EXPECT_EQ(y.VersEcran(0), 283);
    EXPECT_EQ(y.VersEcran(3), 17);
    EXPECT_EQ(y.VersEcran(1.5), 150);
}

TEST(Tmonde, VersEcranArrondiAuPairEtRefuseCeQuiNeSePlacePas) {
    Tmonde m;
    const std::pair<double, int> arrondis[] = {{2.5, 2}, {3.5, 4},    {-2.5, -2}, {0.5, 0},
                                               {1.5, 2}, {2.4999, 2}, {-0.6, -1}};
    for (const auto& [x, pixel] : arrondis)
        EXPECT_EQ(m.VersEcran(x), pixel) << x;

    try {
        (void)m.VersEcran(Indefini);
        ADD_FAILURE() << "Indefini placé";
    } catch (const Enombre& e) {
        EXPECT_STREQ(e.what(), "Valeur non initialisée");
    }
    // The marker is refused exactly; its neighbours are ordinary values.
    EXPECT_EQ(m.VersEcran(std::nextafter(Indefini, 0.0)), 0);
    EXPECT_EQ(m.VersEcran(std::nextafter(Indefini, 1.0)), 0);

    for (const double x : {std::nan(""), std::numeric_limits<double>::infinity(), 3e9, -3e9}) {
        EXPECT_THROW((void)m.VersEcran(x), std::range_error) << x;
    }
}

TEST(Tmonde, EtendueVideOuRenverseeNeFaitNiErreurNiBoucle) {
    for (const auto& [mini, maxi] : {std::pair{0.0, 0.0},
                                     {2.0, 1.0},
                                     {0.0, std::nan("")},
                                     {-std::numeric_limits<double>::infinity(), 1.0}}) {
        Tmonde m;
        m.Mini = mini;
        m.Maxi = maxi;
        EXPECT_FALSE(m.EtendueValide());
        EXPECT_NO_THROW(m.AjusteEchelle(10, 300));
        EXPECT_EQ(m.PasGrad, 0);
    }
    Tmonde m;
    m.Mini = -1;
    m.Maxi = 1;
    EXPECT_TRUE(m.EtendueValide());
}

TEST(Tmonde, TexteGradAvecLeSeparateurDuSysteme) {
    const std::tuple<double, const char*, const char*> cas[] = {
        {400, "400", "400"},    {0.5, "0.5", "0,5"},          {2.5, "2.5", "2,5"},
        {1000, "1E3", "1E3"},   {0.00005, "5E-5", "5E-5"},    {0, "0", "0"},
        {-0.3, "-0.3", "-0,3"}, {0.0001, "0.0001", "0,0001"}, {123456, "1.23E5", "1,23E5"}};
    for (const auto& [v, point, virgule] : cas) {
        const Tmonde m;
        {
            const TRegionalTemporaire regional(u'.');
            EXPECT_EQ(m.TexteGrad(v).Octets(), QByteArray(point)) << v;
        }
        const TRegionalTemporaire regional(u',');
        EXPECT_EQ(m.TexteGrad(v).Octets(), QByteArray(virgule)) << v;
    }
}

TEST(Tcourbe, MaxiPartDeZeroEtNeLitQueLesPointsValides) {
    Tcourbe c;
    EXPECT_EQ(c.NbPoints, 0);
    EXPECT_EQ(c.MaxiX(), 0);
    c.X[0] = -5;
    c.Y[0] = -0.2;
    c.X[1] = -1;
    c.Y[1] = -0.1;
    c.X[2] = 99; // beyond the count: not read
    c.Y[2] = 99;
    c.NbPoints = 2;
    EXPECT_EQ(c.MaxiX(), 0);
    EXPECT_EQ(c.MaxiY(), 0);
    c.NbPoints = 3;
    c.Y[1] = 1.75;
    EXPECT_EQ(c.MaxiX(), 99);
    EXPECT_EQ(c.MaxiY(), 99);
    c.NbPoints = 2;
    EXPECT_EQ(c.MaxiY(), 1.75);
}

} // namespace
