#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"
#include "modes/beer/SessionBeer.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

using TRefus = TSessionBeer::TRefus;
using TChangement = TSessionBeer::TChangement;

// A series without a window: its own curve and axes.
struct Serie {
    Serie() { session.PrepareAxeX(); }
    void Etalons(const std::vector<std::pair<double, double>>& points) {
        for (const auto& [c, a] : points)
            session.AjouteClavier(c, a);
    }

    Tcourbe courbe;
    Tmonde x;
    Tmonde y;
    TSessionBeer session{courbe, x, y};
};

TEST(SessionBeer, RefusAvantUneLecture) {
    enum class TEtat { Libre, Lecture, Stabilisation, Clignotement };
    const struct {
        const char* nom;
        quint8 mode;
        int points;
        bool inconnuesPleines;
        TEtat etat;
        TRefus bouton; // "Enregistrer", "Concentration ?" or the space bar
        TRefus clavier;
    } cas[] = {
        {"rang libre", 0, 5, false, TEtat::Libre, TRefus::Aucun, TRefus::Aucun},
        {"le clignotement n'empeche rien", 0, 5, false, TEtat::Clignotement, TRefus::Aucun,
         TRefus::Aucun},
        {"lecture en cours", 0, 5, false, TEtat::Lecture, TRefus::Occupe, TRefus::Occupe},
        {"stabilisation", 1, 3, false, TEtat::Stabilisation, TRefus::Occupe, TRefus::Occupe},
        {"occupe avant plein", 0, CapaciteCourbe, false, TEtat::Lecture, TRefus::Occupe,
         TRefus::Occupe},
        {"table pleine", 0, CapaciteCourbe, false, TEtat::Libre, TRefus::TablePleine,
         TRefus::TablePleine},
        // Unknown samples are not points: a full table of standards still measures them.
        {"etalons pleins", 1, CapaciteCourbe, false, TEtat::Libre, TRefus::Aucun,
         TRefus::TablePleine},
        {"inconnues pleines", 1, 3, true, TEtat::Libre, TRefus::InconnuesPleines, TRefus::Aucun},
        // In mode 2 the button has nothing to do: not even a beep while a reading waits.
        {"A(x) pendant une lecture", 2, 1, false, TEtat::Lecture, TRefus::SansObjet,
         TRefus::Occupe},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Serie s;
        s.session.Mode = c.mode;
        s.courbe.NbPoints = static_cast<quint16>(c.points);
        if (c.inconnuesPleines)
            s.session.Inconnues.NbreInconnues = CapaciteInconnues;
        if (c.etat == TEtat::Clignotement)
            s.session.Attente.Change();
        if (c.etat == TEtat::Stabilisation)
            s.session.Attente.Envoyee(100);
        std::optional<TSessionBeer::TLecture> lecture;
        if (c.etat == TEtat::Lecture)
            lecture.emplace(s.session);
        EXPECT_EQ(s.session.RefusEnregistre(), c.bouton);
        EXPECT_EQ(s.session.RefusClavier(), c.clavier);
        // The reading over, or the instrument settled, nothing waits any more.
        lecture.reset();
        s.session.Attente.Fin();
        EXPECT_FALSE(s.session.Occupe());
    }
}

TEST(SessionBeer, ModeRangAxeQuiGardeLesPointsEnVue) {
    Serie s;
    EXPECT_EQ(s.x.Nom.Texte(), "n");
    EXPECT_EQ(s.y.Nom.Texte(), "A");
    const struct {
        int points; // after this point
        double maxi;
        bool agrandi;
        bool sauve;
    } etapes[] = {
        {1, 32, true, true}, {2, 32, false, false}, {16, 32, false, false}, {17, 48, true, false}};
    int n = 0;
    for (const auto& e : etapes) {
        SCOPED_TRACE(e.points);
        bool agrandi = false;
        while (n < e.points) {
            s.session.AjouteRang(0.1 * n);
            agrandi = s.session.AgranditAxeRang();
            ++n;
        }
        EXPECT_EQ(s.x.Maxi, e.maxi);
        EXPECT_EQ(agrandi, e.agrandi);
        EXPECT_EQ(s.session.Sauve, e.sauve);
    }
    EXPECT_EQ(s.courbe.X[16], 16); // the rank is the abscissa
    EXPECT_DOUBLE_EQ(s.courbe.Y[16], 1.6);

    // At activation the axis starts again from 16 places, but never hides a point.
    const std::pair<int, double> activations[] = {{0, 16}, {17, 16}, {18, 32}, {40, 48}};
    for (const auto& [points, maxi] : activations) {
        SCOPED_TRACE(points);
        s.courbe.NbPoints = static_cast<quint16>(points);
        s.session.PrepareAxeX();
        EXPECT_EQ(s.x.Maxi, maxi);
    }
}

TEST(SessionBeer, EtalonsInconnuesEtDefaire) {
    Serie s;
    s.session.Mode = 1;
    s.Etalons({{0.01, 0.25}, {0.02, 0.40}});
    EXPECT_FALSE(s.session.Etalonne());
    EXPECT_FALSE(s.session.EnregistreActif());
    EXPECT_EQ(s.session.Pente(), 0);
    s.Etalons({{0.04, 0.85}});
    ASSERT_TRUE(s.session.Etalonne());
    EXPECT_TRUE(s.session.EnregistreActif());
    EXPECT_NEAR(s.session.Pente(), 1.5 / 0.07, 1e-9);
    EXPECT_EQ(s.session.EcartTexte, "Ecart quadratique sur A : 0.0267");
    EXPECT_FALSE(s.session.Sauve);

    ASSERT_TRUE(s.session.AjouteInconnue(0.3));
    ASSERT_TRUE(s.session.AjouteInconnue(0.5));
    EXPECT_TRUE(s.session.DerniereInconnue);
    EXPECT_NEAR(s.session.Inconnues.ConcInconnue[1], 0.5 * 0.07 / 1.5, 1e-12);
    // A fourth standard fits the line again and the unknown samples with it.
    s.Etalons({{0.03, 0.60}});
    EXPECT_NEAR(s.session.Pente(), 21.0, 1e-9);
    EXPECT_NEAR(s.session.Inconnues.ConcInconnue[1], 0.5 / 21, 1e-12);
    EXPECT_FALSE(s.session.DerniereInconnue);

    // The last entry was a standard: Undo takes it back, the unknown samples stay.
    EXPECT_EQ(s.session.Defaire(), TChangement::Retrait);
    EXPECT_EQ(s.courbe.NbPoints, 3);
    EXPECT_EQ(s.session.Inconnues.NbreInconnues, 2);
    // Newest unknown sample first, then the standards; the slope stays as it was.
    ASSERT_TRUE(s.session.AjouteInconnue(0.7));
    const TChangement attendus[] = {
        TChangement::Aucun,   TChangement::Aucun,   TChangement::Aucun, TChangement::Retrait,
        TChangement::Retrait, TChangement::Retrait, TChangement::Aucun};
    std::vector<int> inconnues, points;
    for (TChangement attendu : attendus) {
        EXPECT_EQ(s.session.Defaire(), attendu);
        inconnues.push_back(s.session.Inconnues.NbreInconnues);
        points.push_back(s.courbe.NbPoints);
    }
    EXPECT_EQ(inconnues, (std::vector<int>{2, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(points, (std::vector<int>{3, 3, 3, 2, 1, 0, 0}));
    EXPECT_NEAR(s.session.Pente(), 21.0, 1e-9);
}

TEST(SessionBeer, SansEtalonAuDessusDesSeuilsPasDeDroite) {
    Serie s;
    s.session.Mode = 1;
    s.Etalons({{0, 0.3}, {0.01, 0.0005}, {0.02, 0.001}});
    EXPECT_TRUE(s.session.SansDroite());
    EXPECT_EQ(s.session.EcartTexte, "");
    ASSERT_TRUE(s.session.AjouteInconnue(0.4));
    EXPECT_EQ(s.session.Inconnues.ConcInconnue[0], Indefini);
    s.Etalons({{0.02, 0.4}});
    EXPECT_FALSE(s.session.SansDroite());
    EXPECT_DOUBLE_EQ(s.session.Inconnues.ConcInconnue[0], 0.02);
}

TEST(SessionBeer, ChangementDeModeRemiseAZeroEtReprise) {
    Serie s;
    s.session.Mode = 1;
    s.Etalons({{0.01, 0.2}, {0.02, 0.4}, {0.03, 0.6}});
    ASSERT_TRUE(s.session.AjouteInconnue(0.5));
    // The same mode again keeps everything.
    EXPECT_FALSE(s.session.ChangeMode(1));
    EXPECT_EQ(s.courbe.NbPoints, 3);
    EXPECT_EQ(s.session.Inconnues.NbreInconnues, 1);
    s.session.Mode = 2;
    EXPECT_TRUE(s.session.ChangeMode(1));
    EXPECT_EQ(s.courbe.NbPoints, 0);
    EXPECT_EQ(s.session.Inconnues.NbreInconnues, 0);
    EXPECT_FALSE(s.session.DerniereInconnue);
    EXPECT_EQ(s.session.EcartTexte, "");

    // A journaled calibration comes back fitted and unsaved, without the unknown samples.
    s.session.Sauve = true;
    s.courbe.NbPoints = 3;
    s.session.Reprend(1);
    EXPECT_NEAR(s.session.Pente(), 20, 1e-9);
    EXPECT_FALSE(s.session.Sauve);
    // In mode 0 the journal's abscissas give way to the ranks.
    s.courbe.X[2] = 7.5;
    s.session.Reprend(0);
    EXPECT_EQ(s.courbe.X[2], 2);
    EXPECT_EQ(s.session.Mode, 0);
}

TEST(SessionBeer, AxesAdaptesAuxPointsEtValeursHorsAxe) {
    const struct {
        const char* nom;
        quint8 mode;
        std::vector<std::pair<double, double>> points;
        double maxiX;
        double maxiY;
    } cas[] = {
        {"vide", 1, {}, 0.1, 1.0},
        {"petites absorbances", 1, {{0.005, 0.05}}, 0.1, 1.0},
        // The axes end past the largest point, on a graduation: its mark stays in the frame.
        {"etalons au-dela", 1, {{0.5, 0.3}, {0.8, 1.7}}, 0.9, 1.8},
        {"au bout des axes", 1, {{0.1, 1.0}}, 0.12, 1.2},
        {"de la place", 1, {{0.05, 0.5}}, 0.1, 1.0},
        {"A(x) ne touche pas x", 2, {{7, 0.3}}, 5, 1.0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Serie s;
        s.session.Mode = c.mode;
        s.x.Maxi = 5;
        s.session.PrepareAxeX();
        s.Etalons(c.points);
        s.session.AdapteAxes();
        EXPECT_DOUBLE_EQ(s.x.Maxi, c.maxiX);
        EXPECT_DOUBLE_EQ(s.y.Maxi, c.maxiY);
    }

    Serie s;
    s.session.Mode = 2;
    s.x.Mini = 1;
    s.x.Maxi = 2;
    for (double dedans : {1.0, 1.5, 2.0})
        EXPECT_FALSE(s.session.HorsAxe(dedans)) << dedans;
    EXPECT_TRUE(s.session.HorsAxe(2.001));
    s.session.EtendAxe(2.001);
    s.session.EtendAxe(0.5);
    EXPECT_EQ(s.x.Maxi, 2.001);
    EXPECT_EQ(s.x.Mini, 0.5);
}

// The update button blinks until the wavelength is sent; then the instrument settles for its
// time-out, in hundredths of a second, and the next tick ends the wait.
TEST(AttenteLambda, ClignotementPuisStabilisation) {
    TAttenteLambda attente;
    EXPECT_FALSE(attente.Active());
    attente.Change();
    EXPECT_EQ(attente.Phase(), TAttenteLambda::TPhase::Clignotement);
    EXPECT_EQ(attente.Intervalle(), 1000);
    std::vector<bool> couleurs;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(attente.Tic());
        couleurs.push_back(attente.Rouge());
    }
    EXPECT_EQ(couleurs, (std::vector<bool>{true, false, true}));

    for (const auto& [timeOut, intervalle] : {std::pair{9, 90}, {100, 1000}}) {
        SCOPED_TRACE(timeOut);
        attente.Envoyee(timeOut);
        // A wait of 1000 ms is no blinking: the phase tells them apart.
        EXPECT_TRUE(attente.Stabilisation());
        EXPECT_EQ(attente.Intervalle(), intervalle);
        EXPECT_TRUE(attente.Tic());
        EXPECT_FALSE(attente.Active());
        EXPECT_EQ(attente.Intervalle(), 1000);
    }

    // Zero or close: the blinking stops, the change stays unsent.
    attente.Change();
    attente.Arrete();
    EXPECT_FALSE(attente.Active());
}

} // namespace
