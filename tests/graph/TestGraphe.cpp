#include "BoitesScriptees.h"
#include "CanevasEnregistreur.h"
#include "base/Utilitaires.h"
#include "graph/Graphe.h"

#include <QPoint>

#include <gtest/gtest.h>

namespace {

constexpr TCouleur Bleu = CouleurRVB(0, 0, 255);
constexpr TCouleur RougePur = CouleurRVB(255, 0, 0);

class GrapheTest : public ::testing::Test {
protected:
    GrapheTest() {
        g.Canvas = &c;
        g.ZoneDessin = {0, 0, 600, 300};
        g.MondeX.Nom = "\x88";
        g.MondeX.Unite = "nm";
        g.MondeY.Nom = "A";
        g.FixeMonde(325, 0, 950, 3);
    }
    void AjoutePoint(double x, double y) {
        g.Courbe.X[g.Courbe.NbPoints] = x;
        g.Courbe.Y[g.Courbe.NbPoints] = y;
        ++g.Courbe.NbPoints;
    }
    QPoint Pixel(double x, double y) const {
        int px = -1, py = -1;
        g.MondeVersEcran(x, y, px, py);
        return {px, py};
    }
    static bool EstLigne(const TCanevasEnregistreur::TLigne& l, QPoint a, QPoint b) {
        return l.x1 == a.x() && l.y1 == a.y() && l.x2 == b.x() && l.y2 == b.y();
    }
    bool ALaLigne(QPoint a, QPoint b, TStylePlume style) const {
        for (const auto& l : c.Lignes)
            if (EstLigne(l, a, b) && l.plume.Style == style && l.plume.Couleur == Noir)
                return true;
        return false;
    }
    QStringList TextesEn(int y) const {
        QStringList t;
        for (const auto& texte : c.Textes)
            if (texte.y == y)
                t << texte.texte;
        return t;
    }

    TRegionalTemporaire regional{u'.'};
    TCanevasEnregistreur c;
    Tgraphe g;
};

TEST_F(GrapheTest, ValeursACreation) {
    const Tgraphe neuf;
    EXPECT_EQ(neuf.Courbe.Couleur, Bleu);
    EXPECT_EQ(neuf.Courbe.NbPoints, 0);
    EXPECT_EQ(neuf.Courbe.NbTraces, 0);
    EXPECT_EQ(neuf.ModeTrace, 0);
    EXPECT_EQ(neuf.ReticuleX, 0);
    EXPECT_EQ(neuf.ReticuleY, 0);
    EXPECT_EQ(neuf.Canvas, nullptr);
    EXPECT_EQ(neuf.MondeX.Maxi, 255);
}

TEST_F(GrapheTest, FixeMondePrendLesMinimaPuisLesMaxima) {
    g.FixeMonde(1, 2, 3, 4);
    EXPECT_EQ(g.MondeX.Mini, 1);
    EXPECT_EQ(g.MondeY.Mini, 2);
    EXPECT_EQ(g.MondeX.Maxi, 3);
    EXPECT_EQ(g.MondeY.Maxi, 4);
}

TEST_F(GrapheTest, MiseEnPageDUnRectangleDe300Pixels) {
    g.Dessine();
    EXPECT_EQ(g.HauteurCar, 13);
    EXPECT_EQ(g.Marge, 4);
    EXPECT_EQ(g.LargeurCar, 8);
    EXPECT_EQ(g.TailleMarque, 3);
    EXPECT_EQ(c.Police.Nom, "Tablarix");
    EXPECT_EQ(c.Police.Hauteur, 13);
    EXPECT_TRUE(g.MondeY.Gradue && g.MondeY.GradFine);
    EXPECT_TRUE(g.MondeX.Gradue && g.MondeX.GradFine);
    EXPECT_EQ(g.ZoneTrace, (TRectangle{36, 17, 596, 283}));
    ASSERT_FALSE(c.Remplis.empty());
    EXPECT_EQ(c.Remplis.front(), g.ZoneDessin);

    // Axes with their arrows, then the titles and the fine graduations.
    EXPECT_TRUE(ALaLigne({0, 283}, {596, 283}, TStylePlume::Continu));
    EXPECT_TRUE(ALaLigne({584, 287}, {596, 283}, TStylePlume::Continu));
    EXPECT_TRUE(ALaLigne({584, 279}, {596, 283}, TStylePlume::Continu));
    EXPECT_TRUE(ALaLigne({36, 283}, {36, 17}, TStylePlume::Continu));
    EXPECT_TRUE(ALaLigne({32, 25}, {36, 13}, TStylePlume::Continu));
    EXPECT_TRUE(ALaLigne({40, 25}, {36, 13}, TStylePlume::Continu));
    // 900 would run into the title: left out.
    EXPECT_EQ(TextesEn(287),
              QStringList({QStringLiteral("λ(nm)"), "400", "500", "600", "700", "800"}));
    const int px400 = Pixel(400, 0).x();
    EXPECT_TRUE(ALaLigne({px400, 17}, {px400, 283}, TStylePlume::Pointille));
    EXPECT_EQ(c.Textes[0].x, 600 - 5 * 8); // title flush right
    QStringList vertical;
    for (const auto& t : c.Textes)
        if (t.x == 4)
            vertical << t.texte;
    EXPECT_EQ(vertical, QStringList({"A", "0.5", "1", "1.5", "2", "2.5"}));
    const int py1 = Pixel(325, 1).y();
    EXPECT_TRUE(ALaLigne({36, py1}, {596, py1}, TStylePlume::Pointille));
}

TEST_F(GrapheTest, ChoixDeLaPoliceSelonLaHauteur) {
    const std::tuple<int, int, const char*> cas[] = {
        {300, 13, "Tablarix"}, {540, 16, "Tablarix"},       {570, 20, "Tablarix"},
        {720, 20, "Tablarix"}, {750, 25, "Arial Tablarix"}, {6000, 200, "Arial Tablarix"}};
    for (const auto& [hauteur, police, nom] : cas) {
        g.ZoneDessin = {0, 0, 800, hauteur};
        g.Dessine();
        EXPECT_EQ(g.HauteurCar, police) << hauteur;
        EXPECT_EQ(c.Police.Hauteur, police) << hauteur;
        EXPECT_EQ(c.Police.Nom, nom) << hauteur;
        EXPECT_EQ(g.Marge, police / 3);
        EXPECT_EQ(g.LargeurCar, 2 * police / 3);
    }
}

TEST_F(GrapheTest, RectangleEtroitSansAxeHorizontal) {
    g.ZoneDessin = {0, 0, 150, 300}; // not above 20 characters of 8 pixels
    g.FixeMonde(-10, 0, 10, 3);
    g.Dessine();
    EXPECT_FALSE(g.MondeX.Gradue);
    EXPECT_TRUE(g.MondeY.Gradue);
    const int a = g.ZoneTrace.Bottom;
    EXPECT_EQ(a, 296);
    EXPECT_TRUE(TextesEn(a + g.Marge).isEmpty());
    for (const auto& l : c.Lignes)
        EXPECT_FALSE(l.y1 == a && l.y2 == a && l.x1 == 0) << "axe horizontal tracé";
    const int px0 = Pixel(0, 0).x();
    EXPECT_TRUE(ALaLigne({px0, a}, {px0, g.ZoneTrace.Top}, TStylePlume::Continu));
    EXPECT_FALSE(c.TousLesTextes().contains(QStringLiteral("λ(nm)")));
}

TEST_F(GrapheTest, TitresAvecEtSansUnite) {
    g.MondeX.Nom = "t";
    g.MondeX.Unite = "s";
    g.Dessine();
    EXPECT_TRUE(c.TousLesTextes().contains("t(s)"));
    EXPECT_TRUE(c.TousLesTextes().contains("A"));
    EXPECT_FALSE(c.TousLesTextes().contains("A()"));
}

// The labels the program used to write into the axis title ("900λ(nm)", "120t(s)",
// "0.7c(mol/L)") or into each other are left out; the others stay where they were.
TEST_F(GrapheTest, EtiquetteQuiChevaucheraitEstOmise) {
    struct TCas {
        double mini, maxi;
        const char *nom, *unite;
        int largeur;
        QStringList bas; // the title, then the labels written under the horizontal axis
    };
    const TCas cas[] = {
        {325, 950, "\x88", "nm", 600, {"λ(nm)", "400", "500", "600", "700", "800"}},
        {0, 128, "t", "s", 640, {"t(s)", "20", "40", "60", "80", "100"}},
        {0, 0.75, "c", "mol/L", 600, {"c(mol/L)", "0.1", "0.2", "0.3", "0.4", "0.5", "0.6"}},
        // Fine steps on a narrow page: every other label would touch its neighbour.
        {0, 0.009, "x", "", 340, {"x", "0.001", "0.003", "0.005", "0.007"}},
    };
    for (const TCas& k : cas) {
        g.ZoneDessin = {0, 0, k.largeur, 300};
        g.FixeMonde(k.mini, 0, k.maxi, 3);
        g.MondeX.Nom = k.nom;
        g.MondeX.Unite = k.unite;
        c.Efface();
        g.Dessine();
        EXPECT_EQ(TextesEn(g.ZoneTrace.Bottom + g.Marge).join(' '), k.bas.join(' '));
        // No two texts of the page share a pixel, nor come closer than half a character.
        for (size_t i = 0; i < c.Textes.size(); ++i)
            for (size_t j = i + 1; j < c.Textes.size(); ++j) {
                const auto &a = c.Textes[i], &b = c.Textes[j];
                const bool memeLigne = a.y < b.y + g.HauteurCar && b.y < a.y + g.HauteurCar;
                const int ecart = std::max(b.x - (a.x + 8 * int(a.texte.size())),
                                           a.x - (b.x + 8 * int(b.texte.size())));
                EXPECT_FALSE(memeLigne && ecart < g.LargeurCar / 2)
                    << a.texte.toStdString() << " / " << b.texte.toStdString();
            }
    }
}

TEST_F(GrapheTest, LesValeursProchesDeZeroSontEcrites0) {
    // From -0.4 by steps of 0.2 in 32-bit floats, the running value misses 0 by a few 1e-9.
    g.FixeMonde(-0.6, -0.6, 0.9, 0.9);
    g.MondeX.Nom = "x";
    g.MondeX.Unite = "";
    g.Dessine();
    EXPECT_EQ(TextesEn(g.ZoneTrace.Bottom + g.Marge),
              QStringList({"x", "-0.4", "-0.2", "0", "0.2", "0.4", "0.6", "0.8"}));
    EXPECT_TRUE(c.TousLesTextes().filter("E").isEmpty())
        << c.TousLesTextes().join(' ').toStdString();
    EXPECT_EQ(c.TousLesTextes().count("0"), 2);
}

TEST_F(GrapheTest, LesBouclesDeGraduationSeTerminent) {
    const std::pair<double, double> etendues[] = {{1e9, 1e9 + 1}, {-1e30, 1e30}, {1e300, 1.5e300}};
    for (const auto& [mini, maxi] : etendues) {
        g.FixeMonde(mini, mini, maxi, maxi);
        c.Efface();
        g.Dessine();
        EXPECT_LT(c.Textes.size(), 40u) << mini;
    }
}

TEST_F(GrapheTest, EtendueVideOuRenverseeLaissePageBlanche) {
    AjoutePoint(400, 1);
    AjoutePoint(500, 2);
    for (const auto& [ymin, ymax] : {std::pair{0.0, 0.0}, {3.0, 1.0}}) {
        g.FixeMonde(325, ymin, 950, ymax);
        c.Efface();
        g.Dessine();
        EXPECT_EQ(c.Remplis.size(), 1u);
        EXPECT_TRUE(c.Lignes.empty());
        EXPECT_TRUE(c.Textes.empty());
        EXPECT_EQ(Pixel(400, 1), QPoint(-1, -1));
        g.TracePoint(1);
        EXPECT_TRUE(c.Lignes.empty());
    }
}

TEST_F(GrapheTest, CourbeCoupeeAuxPointsQuiNeSePlacentPas) {
    g.Dessine(); // fits the worlds, to find the value that falls on pixel -1
    const double surMoinsUn = (-1 - g.MondeX.Origine) / g.MondeX.Echelle;
    ASSERT_EQ(Pixel(surMoinsUn, 1).x(), -1);
    for (const double milieu : {Indefini, surMoinsUn}) {
        g.Courbe.NbPoints = 0;
        AjoutePoint(400, 1);
        AjoutePoint(500, 1.5);
        AjoutePoint(milieu == Indefini ? 600 : milieu, milieu == Indefini ? Indefini : 1.7);
        AjoutePoint(700, 2);
        AjoutePoint(800, 2.5);
        c.Efface();
        g.Dessine();
        const auto bleues = c.LignesDeCouleur(Bleu);
        ASSERT_EQ(bleues.size(), 2u) << milieu;
        EXPECT_TRUE(EstLigne(bleues[0], Pixel(400, 1), Pixel(500, 1.5)));
        EXPECT_TRUE(EstLigne(bleues[1], Pixel(700, 2), Pixel(800, 2.5)));
    }
}

TEST_F(GrapheTest, TracePointSelonLeMode) {
    AjoutePoint(400, 1);
    AjoutePoint(500, 1.5);
    AjoutePoint(600, Indefini);
    AjoutePoint(700, 2);
    g.Dessine();
    for (const quint8 mode : {0, 1}) {
        g.ModeTrace = mode;
        c.Efface();
        g.TracePoint(0); // no previous point
        g.TracePoint(2); // unmappable
        g.TracePoint(3); // previous point unmappable
        EXPECT_TRUE(c.Lignes.empty()) << int(mode);
        g.TracePoint(1);
        ASSERT_EQ(c.Lignes.size(), 1u);
        EXPECT_TRUE(EstLigne(c.Lignes[0], Pixel(400, 1), Pixel(500, 1.5)));
        EXPECT_EQ(c.Lignes[0].plume.Couleur, Bleu);
    }
    g.ModeTrace = 2;
    c.Efface();
    g.TracePoint(0);
    const QPoint p = Pixel(400, 1);
    ASSERT_EQ(c.Lignes.size(), 2u);
    EXPECT_TRUE(EstLigne(c.Lignes[0], p + QPoint(0, -3), p + QPoint(0, 3)));
    EXPECT_TRUE(EstLigne(c.Lignes[1], p + QPoint(-3, 0), p + QPoint(3, 0)));
    c.Efface();
    g.Dessine(); // a cross at each mappable point
    EXPECT_EQ(c.LignesDeCouleur(Bleu).size(), 6u);
}

TEST_F(GrapheTest, TraceCourbeSuiteRattrapeLesPointsNonTraces) {
    g.ModeTrace = 1;
    g.Dessine();
    for (int i = 0; i < 10; ++i)
        AjoutePoint(400 + 10 * i, 0.1 * i);
    c.Efface();
    g.TraceCourbeSuite();
    EXPECT_EQ(g.Courbe.NbTraces, 10);
    EXPECT_EQ(c.LignesDeCouleur(Bleu).size(), 9u);
    EXPECT_TRUE(c.Remplis.empty()); // drawn over the picture
}

TEST_F(GrapheTest, CarreRougeAutourDuPoint) {
    g.Dessine();
    g.TraceCarre(500, 1.5);
    const QPoint p = Pixel(500, 1.5);
    ASSERT_EQ(c.Rectangles.size(), 1u);
    EXPECT_EQ(c.Rectangles[0].first, (TRectangle{p.x() - 3, p.y() - 3, p.x() + 3, p.y() + 3}));
    EXPECT_EQ(c.Rectangles[0].second.Couleur, RougePur);
    EXPECT_EQ(c.Plume.Couleur, RougePur);
    g.TraceCarre(500, Indefini); // not tested: a square around (-1, -1), out of sight
    EXPECT_EQ(c.Rectangles[1].first, (TRectangle{-4, -4, 2, 2}));
    EXPECT_EQ(c.Brosse.Couleur, RougePur);
}

TEST_F(GrapheTest, EcranVersMondeInverseLaCorrespondance) {
    g.Dessine();
    const QPoint p = Pixel(600, 1.2);
    double x = 0, y = 0;
    g.EcranVersMonde(p.x(), p.y(), x, y);
    EXPECT_NEAR(x, 600, 1 / g.MondeX.Echelle);
    EXPECT_NEAR(y, 1.2, -1 / g.MondeY.Echelle);
}

TEST_F(GrapheTest, ReticuleEnNonOuExclusifSurTouteLaZoneDecoupee) {
    g.ReticuleX = 100;
    g.ReticuleY = 50;
    g.Reticule();
    ASSERT_EQ(c.Lignes.size(), 2u);
    EXPECT_TRUE(EstLigne(c.Lignes[0], {100, 0}, {100, 480}));
    EXPECT_TRUE(EstLigne(c.Lignes[1], {0, 50}, {640, 50}));
    EXPECT_EQ(c.Lignes[0].plume.Mode, TModePlume::NonOuExclusif);
    EXPECT_EQ(c.Plume.Mode, TModePlume::Copie);
}

TEST_F(GrapheTest, SansCanevasRienNEstDessine) {
    g.Canvas = nullptr;
    AjoutePoint(400, 1);
    AjoutePoint(500, 1);
    g.Dessine();
    g.TracePoint(1);
    g.TraceCarre(1, 1);
    g.Reticule();
    g.TraceCourbeSuite();
    EXPECT_TRUE(c.Lignes.empty() && c.Remplis.empty());
}

} // namespace
