// The scan receiver without a window: the instrument's bytes in, lines, points and states out.
#include "base/Horloge.h"
#include "graph/Courbe.h"
#include "modes/spectre/RecepteurSpectre.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct TPoint {
    double x, y;
};

class RecepteurSpectre : public ::testing::Test {
protected:
    void SetUp() override { InstalleHorloge(&horloge); }
    void TearDown() override { InstalleHorloge(nullptr); }

    // The lines the bytes brought to the window, refused ones left out.
    std::vector<TLigneTraitee> Envoie(QByteArrayView octets) {
        std::vector<TLigneTraitee> traitees;
        for (const char octet : octets) {
            const TLigneTraitee t = r.Recoit(static_cast<quint8>(octet));
            if (t.Sorte != TLigneTraitee::Aucune)
                traitees.push_back(t);
        }
        return traitees;
    }
    void ExigePoints(const std::vector<TPoint>& points) {
        ASSERT_EQ(courbe.NbPoints, points.size());
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_DOUBLE_EQ(courbe.X[i], points[i].x) << i;
            EXPECT_DOUBLE_EQ(courbe.Y[i], points[i].y) << i;
        }
    }

    THorlogeTest horloge{QDateTime(QDate(2026, 12, 10), QTime(9, 0)), 1000};
    Tcourbe courbe;
    TRecepteurSpectre r{courbe};
};

// A scan from 400 to 800 nm by 0.2 nm, its input just purged, the purge cutting a line or not.
// Each carriage return ends a line, read or not; a line is a point only within one step of the
// range and beyond the previous point; the first point at or past the end ends the scan.
TEST_F(RecepteurSpectre, LignesDuBalayage) {
    const auto enCours = TEtatSpectre::BalayageEnCours;
    const auto fini = TEtatSpectre::Repos;
    const struct {
        const char* nom;
        bool ligneCoupee;
        QByteArray envoi;
        std::vector<TPoint> points;
        TEtatSpectre etat;
    } cas[] = {
        {"point", false, "500.0,0.123\r", {{500, 0.123}}, enCours},
        {"reste d'une ligne coupée",
         true,
         "12\r510.0,0.2\r510.2,0.3\r",
         {{510, 0.2}, {510.2, 0.3}},
         enCours},
        {"reste coupé qui se lirait", true, "467.2,0.1\r510.0,0.2\r", {{510, 0.2}}, enCours},
        {"purge entre deux lignes", false, "510.0,0.2\r", {{510, 0.2}}, enCours},
        {"virgule en tête", false, ",0.5\r510.0,0.2\r", {{510, 0.2}}, enCours},
        {"saut de ligne", false, "500.0,0.1\r\n510.0,-0.2\r\n", {{500, 0.1}, {510, -0.2}}, enCours},
        {"blancs et contrôles", false, "5 00.0,\t0.1\r", {{500, 0.1}}, enCours},
        {"dernier point",
         false,
         "790.0,0.1\r800.0,0.3\r810.0,0.4\r",
         {{790, 0.1}, {800, 0.3}},
         fini},
        {"un pas au-delà de la fin", false, "800.2,0.2\r", {{800.2, 0.2}}, fini},
        {"plus loin", false, "805.5,0.2\r800.0,0.3\r", {{800, 0.3}}, fini},
        {"avant le début", false, "399.6,0.2\r399.8,0.3\r", {{399.8, 0.3}}, enCours},
        {"chiffre changé",
         false,
         "400.0,0.1\r900.2,0.1\r400.4,0.1\r100.6,0.1\r400.8,0.1\r",
         {{400, 0.1}, {400.4, 0.1}, {400.8, 0.1}},
         enCours},
        {"en arrière",
         false,
         "500.0,0.1\r499.8,0.2\r500.0,0.3\r500.2,0.4\r",
         {{500, 0.1}, {500.2, 0.4}},
         enCours},
        {"octet 0xFF",
         false,
         "500.0,0.1\r50\xFF"
         "0.2,0.2\r500.4,0.3\r",
         {{500, 0.1}, {500.4, 0.3}},
         enCours},
        {"pas un nombre", false, "500.0,E#R?x\r500.2,0.1\r", {{500.2, 0.1}}, enCours},
        {"ligne trop longue", false, QByteArray(300, '9') + "\r500.0,0.1\r", {{500, 0.1}}, enCours},
        {"décimales à virgule",
         false,
         "500,0,0,123\r500,2,0.5\r500.4,0,25\r",
         {{500, 0.123}, {500.2, 0.5}, {500.4, 0.25}},
         enCours},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        courbe.NbPoints = 7; // the previous spectrum goes when the scan starts
        courbe.NbTraces = 7;
        r.CommenceBalayage({400, 800, 0.2}, c.ligneCoupee);
        EXPECT_EQ(courbe.NbTraces, 0);
        const std::vector<TLigneTraitee> traitees = Envoie(c.envoi);
        ExigePoints(c.points);
        ASSERT_EQ(traitees.size(), c.points.size());
        for (size_t i = 0; i < traitees.size(); ++i) {
            EXPECT_EQ(traitees[i].Sorte, TLigneTraitee::Point);
            EXPECT_TRUE(traitees[i].Stocke);
            EXPECT_EQ(traitees[i].Fin, c.etat == fini && i + 1 == traitees.size());
        }
        EXPECT_EQ(r.Etat(), c.etat);
        EXPECT_EQ(r.Ligne().Longueur(), 0);
        EXPECT_EQ(r.Delai(), c.etat == fini ? std::nullopt : std::optional(r.DelaiBalayage));
    }
}

// What the window shows of a point: its texts as received, and the separator they used.
TEST_F(RecepteurSpectre, TextesDuPoint) {
    r.CommenceBalayage({400, 800, 1}, false);
    Envoie("500,0;12\r 5 0 0 . 5 , 0 , 1 2 3 \r");
    EXPECT_EQ(r.Lu().TexteLambda, "500.5");
    EXPECT_EQ(r.Lu().TexteAbs, "0,123");
    EXPECT_EQ(r.Separateur(), u',');
    Envoie("501,0.25\r");
    EXPECT_EQ(r.Separateur(), u'.');
    Envoie("502,1\r");
    EXPECT_TRUE(r.Separateur().isNull());
}

// At 0.2 nm from 100 to 1000 nm the instrument sends 4501 lines: the curve keeps the first 4097,
// the others are read and not stored, and the last one still ends the scan.
TEST_F(RecepteurSpectre, LignesAuDelaDeLaCapacite) {
    r.CommenceBalayage({100, 1000, 0.2}, false);
    QByteArray lignes;
    for (int i = 0; i <= 4500; ++i)
        lignes += QByteArray::number(100 + 0.2 * i, 'f', 1) + ",0.5\r";
    const std::vector<TLigneTraitee> traitees = Envoie(lignes);
    ASSERT_EQ(traitees.size(), 4501u);
    EXPECT_TRUE(traitees[CapaciteCourbe - 1].Stocke);
    EXPECT_FALSE(traitees[CapaciteCourbe].Stocke);
    EXPECT_FALSE(traitees[4499].Fin);
    EXPECT_TRUE(traitees[4500].Fin);
    EXPECT_EQ(courbe.NbPoints, CapaciteCourbe);
    EXPECT_NEAR(courbe.X[CapaciteCourbe - 1], 100 + 0.2 * (CapaciteCourbe - 1), 1e-9);
    EXPECT_EQ(r.Lu().TexteLambda, "1000.0");
    EXPECT_EQ(r.Etat(), TEtatSpectre::Repos);
}

// A baseline asked during a scan ends on the instrument's answer, a number or a word: neither the
// scan's lines still coming, nor an empty line, nor the rest of the line that was coming in when
// it was asked. A line dead for 500 ms is no longer coming in.
TEST_F(RecepteurSpectre, ReponseALaLigneDeBase) {
    const struct {
        const char* nom;
        QByteArray avant; // sent before the baseline is asked
        quint32 attente;  // ms from then until it is asked
        QByteArray apres;
        bool fait;
        QChar separateur;
    } cas[] = {
        {"nombre", "", 0, "0.000\r", true, u'.'},
        {"nombre à virgule", "", 0, "0,000\r", true, u','},
        {"mot", "", 0, "OK\r", true, {}},
        {"entier", "", 0, "0\r", true, {}},
        {"ligne du balayage", "", 0, "510.0,0.2\r", false, {}},
        {"lignes vides", "", 0, "\r\r\n \r", false, {}},
        {"lignes du balayage puis réponse", "", 0, "510.0,0.2\r\r\nOK\r", true, {}},
        {"reste de la ligne en cours", "510.0,0.", 0, "2\r", false, {}},
        {"reste puis réponse", "510.0,0.", 499, "2\r0.000\r", true, u'.'},
        {"ligne morte", "510.0,0.", 500, "2\r", true, {}},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        r.CommenceBalayage({400, 800, 0.2}, false);
        Envoie("500.0,0.1\r" + c.avant);
        horloge.Avance(c.attente);
        r.IgnoreLigneEnCours();
        r.CommenceLigneDeBase();
        EXPECT_FALSE(r.BlancFait());
        EXPECT_EQ(r.Delai(), r.DelaiLigneDeBase);
        const std::vector<TLigneTraitee> traitees = Envoie(c.apres);
        EXPECT_EQ(r.BlancFait(), c.fait);
        EXPECT_EQ(traitees.size(), c.fait ? 1u : 0u);
        if (c.fait) {
            EXPECT_EQ(traitees[0].Sorte, TLigneTraitee::ReponseLigneDeBase);
            EXPECT_EQ(r.Separateur(), c.separateur);
        }
        EXPECT_EQ(r.Etat(), c.fait ? TEtatSpectre::Repos : TEtatSpectre::LigneDeBaseEnCours);
        EXPECT_EQ(courbe.NbPoints, 1);
    }
}

// Where a purge falls: inside a line when one was coming in and what waited does not end it, or
// when what waited starts a line it does not end. Blanks and control bytes start nothing.
TEST_F(RecepteurSpectre, PurgeDansUneLigne) {
    const struct {
        bool ligneEnCours;
        QByteArray attente;
        bool coupe;
    } cas[] = {
        {false, "", false},
        {true, "", true},
        {false, "450.0,0.9\r", false},
        {false, "450.0,0.9\r450.5,0.8", true},
        {true, "0.9\r", false},
        {true, "\n \t", true},
        {false, "\r\n ", false},
        {false, "\xFF", true},
    };
    for (const auto& c : cas)
        EXPECT_EQ(TRecepteurSpectre::PurgeDansUneLigne(c.ligneEnCours, c.attente), c.coupe)
            << c.ligneEnCours << " " << c.attente.toPercentEncoding().constData();
}

// A line is coming in while some of it has come, or the rest of a cut line is being dropped, and
// its last byte is less than 500 ms old, on the program's clock, across its wrap too.
TEST_F(RecepteurSpectre, LigneEnCours) {
    EXPECT_FALSE(r.LigneEnCours()); // nothing received yet
    r.CommenceBalayage({400, 800, 1}, true);
    EXPECT_FALSE(r.LigneEnCours());
    Envoie(" ");
    EXPECT_TRUE(r.LigneEnCours()); // the rest of the cut line
    Envoie("\r\n");
    EXPECT_FALSE(r.LigneEnCours());
    horloge.Avance(0xFFFFFFFFu - 1100); // 100 ms before the clock wraps
    Envoie("450");
    horloge.Avance(499);
    EXPECT_TRUE(r.LigneEnCours());
    horloge.Avance(1);
    EXPECT_FALSE(r.LigneEnCours());
    Envoie("\r40");
    r.OublieLigne(); // the port goes to another mode: "405,0.5" would be a point
    Envoie("5,0.5\r");
    EXPECT_EQ(courbe.NbPoints, 0);
}

// The watchdog runs while the instrument owes a reply. Given up, the baseline or the scan leaves
// its points; a baseline done before a scan stays, unless the port went.
TEST_F(RecepteurSpectre, SurveillanceEtInterruptions) {
    EXPECT_EQ(r.Delai(), std::nullopt);
    EXPECT_EQ(r.Interrompt(), TEtatSpectre::Repos);
    EXPECT_TRUE(Envoie("0.5\r\r500.0,0.1\r").empty()); // at rest, nothing
    r.CommenceLigneDeBase();
    Envoie("0.000\r");
    ASSERT_TRUE(r.BlancFait());
    EXPECT_EQ(r.Delai(), std::nullopt);
    r.CommenceBalayage({400, 800, 1}, false);
    EXPECT_EQ(r.Delai(), r.DelaiBalayage);
    Envoie("400,0.1\r401,0.2\r");
    EXPECT_EQ(r.Interrompt(), TEtatSpectre::BalayageEnCours);
    EXPECT_EQ(r.Etat(), TEtatSpectre::Repos);
    EXPECT_EQ(r.Delai(), std::nullopt);
    EXPECT_TRUE(r.BlancFait());
    EXPECT_TRUE(Envoie("402,0.3\r").empty());
    ExigePoints({{400, 0.1}, {401, 0.2}});

    r.CommenceLigneDeBase();
    EXPECT_EQ(r.VoieDisparue(), TEtatSpectre::LigneDeBaseEnCours);
    EXPECT_FALSE(r.BlancFait());
    EXPECT_EQ(r.VoieDisparue(), TEtatSpectre::Repos);
    ExigePoints({{400, 0.1}, {401, 0.2}});
}

} // namespace
