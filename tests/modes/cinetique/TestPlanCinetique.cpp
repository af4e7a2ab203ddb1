// The plan and the course of a kinetics run, without a window.
#include "base/Horloge.h"
#include "base/Utilitaires.h"
#include "graph/Courbe.h"
#include "modes/cinetique/DeroulementCinetique.h"
#include "modes/cinetique/PlanCinetique.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct TTrois {
    qint32 nbre;
    quint16 dt, duree;
};

TPlanCinetique Plan(TTrois t) {
    TPlanCinetique plan;
    plan.Nbre = t.nbre;
    plan.Dt = t.dt;
    plan.Duree = t.duree;
    return plan;
}

void ExigePlan(const TPlanCinetique& plan, TTrois attendu) {
    EXPECT_EQ(plan.Nbre, attendu.nbre);
    EXPECT_EQ(plan.Dt, attendu.dt);
    EXPECT_EQ(plan.Duree, attendu.duree);
}

TEST(PlanCinetique, UnPlanNeufCompteSoixantePointsSurCentVingtHuitSecondes) {
    ExigePlan(TPlanCinetique{}, {60, 2, 128});
}

TEST(PlanCinetique, LeNombreEstBorneEtPoseSurLesPasDeSesFleches) {
    const std::pair<qint32, qint32> table[] = {{-5, 15},   {7, 15},      {15, 15},    {29, 29},
                                               {37, 30},   {89, 80},     {95, 90},    {299, 270},
                                               {359, 300}, {4096, 4080}, {5000, 4080}};
    for (const auto& [nbre, arrondi] : table)
        EXPECT_EQ(TPlanCinetique::NbreArrondi(nbre), arrondi) << nbre;
}

TEST(PlanCinetique, LesFlechesDuNombreSuiventLeursPas) {
    struct Cas {
        int avant;
        bool haut;
        int apres;
    };
    const Cas table[] = {{29, true, 30},  {30, true, 40},     {90, true, 120},   {300, true, 360},
                         {40, false, 30}, {120, false, 90},   {360, false, 300}, {39, false, 30},
                         {30, false, 29}, {4080, true, 4080}, {15, false, 15}};
    for (const Cas& c : table) {
        SCOPED_TRACE(c.avant);
        TPlanCinetique plan = Plan({c.avant, 2, 14400});
        c.haut ? plan.NbreHaut() : plan.NbreBas();
        EXPECT_EQ(plan.Nbre, c.apres);
        // The duration stays; the period follows it.
        EXPECT_EQ(plan.Duree, 14400);
        EXPECT_EQ(plan.Dt, 14400 / c.apres);
    }
}

// The arrows of the duration: outside a run they change the period (2 to 60 s, within 4 h),
// down at 2 s they take a third of the points off; during a run the up arrow adds half as many
// points again, and from 2730 points lengthens the period, never past 65535 s.
TEST(PlanCinetique, LesFlechesDeLaDuree) {
    struct Cas {
        const char* nom;
        TTrois avant;
        bool haut, acquisition;
        TTrois apres;
    };
    const Cas table[] = {
        {"neuf, vers le bas", {60, 2, 128}, false, false, {40, 2, 80}},
        {"neuf, vers le haut", {60, 2, 128}, true, false, {60, 3, 180}},
        {"au-delà de 4 h", {4080, 3, 12240}, true, false, {3600, 4, 14400}},
        {"période au plus haut", {240, 60, 14400}, true, false, {240, 60, 14400}},
        {"période qui baisse", {60, 5, 300}, false, false, {60, 4, 240}},
        {"le moins de points", {15, 2, 30}, false, false, {15, 2, 30}},
        {"plus de points", {60, 2, 120}, true, true, {90, 2, 180}},
        {"nombre arrondi, durée gardée", {90, 2, 180}, true, true, {120, 2, 270}},
        {"période plus longue", {3000, 2, 6000}, true, true, {3000, 3, 9000}},
        {"65535 s au plus", {3000, 21, 63000}, true, true, {3000, 21, 63000}},
    };
    const auto courbe = std::make_unique<Tcourbe>();
    for (const Cas& c : table) {
        SCOPED_TRACE(c.nom);
        TPlanCinetique plan = Plan(c.avant);
        c.haut ? plan.DureeHaut(c.acquisition, *courbe) : plan.DureeBas();
        ExigePlan(plan, c.apres);
    }
}

// A longer period during a run leaves room for the rest of it: a curve more than half full
// keeps one point in two.
TEST(PlanCinetique, UnePeriodeAllongeeEclaircitUneCourbeAMoitiePleine) {
    struct Cas {
        int points;
        int apres;
    };
    for (const Cas c : {Cas{2048, 2048}, Cas{2049, 1024}, Cas{3001, 1500}}) {
        SCOPED_TRACE(c.points);
        const auto courbe = std::make_unique<Tcourbe>();
        for (int i = 0; i < c.points; ++i) {
            courbe->X[i] = 2 * i;
            courbe->Y[i] = i / 1000.0;
        }
        courbe->NbPoints = static_cast<quint16>(c.points);
        courbe->NbTraces = courbe->NbPoints;
        TPlanCinetique plan = Plan({3000, 2, 6000});
        plan.DureeHaut(true, *courbe);
        ASSERT_EQ(courbe->NbPoints, c.apres);
        EXPECT_EQ(courbe->NbTraces, c.apres);
        const int pas = c.apres == c.points ? 1 : 2;
        for (int i : {0, 1, c.apres - 1}) {
            EXPECT_EQ(courbe->X[i], 2 * pas * i) << i;
            EXPECT_EQ(courbe->Y[i], pas * i / 1000.0) << i;
        }
    }
}

TEST(PlanCinetique, UnNombreTapeEstLuPuisArrondi) {
    struct Cas {
        const char* texte;
        bool lu;
        TTrois apres;
    };
    const Cas table[] = {
        {"20", true, {20, 6, 128}},
        {" 37 ", true, {30, 4, 128}},
        {"300", true, {300, 2, 600}},
        {"5000", true, {4080, 2, 8160}},
        {"-3", true, {15, 8, 128}},
        {"12a", false, {60, 2, 128}},
        {"", false, {60, 2, 128}},
        {"2,5", false, {60, 2, 128}},
        {"99999999999", false, {60, 2, 128}},
    };
    for (const Cas& c : table) {
        SCOPED_TRACE(c.texte);
        TPlanCinetique plan;
        EXPECT_EQ(plan.FixeNbre(QString::fromLatin1(c.texte)), c.lu);
        ExigePlan(plan, c.apres);
    }
}

TEST(PlanCinetique, LeZeroFaitUnPlanDeNbrePeriodes) {
    for (const auto& [avant, duree] : {std::pair<TTrois, quint16>{{120, 2, 270}, 240},
                                       {{60, 2, 128}, 120},
                                       {{4080, 20, 0}, 65535}}) {
        TPlanCinetique plan = Plan(avant);
        plan.PrepareAcquisition();
        EXPECT_EQ(plan.Duree, duree) << avant.nbre << " × " << avant.dt;
    }
}

// The course of a run on a clock the test drives.
class DeroulementCinetique : public ::testing::Test {
protected:
    void SetUp() override { InstalleHorloge(&horloge); }
    void TearDown() override { InstalleHorloge(nullptr); }

    // A run started now, its first reading under way.
    void Commence() {
        deroulement.Etat = TDeroulementCinetique::EtatAcquisition;
        deroulement.Commence();
    }

    THorlogeTest horloge{QDateTime(QDate(2026, 3, 2), QTime(10, 0, 0)), 0xFFFFF000};
    TDeroulementCinetique deroulement;
};

// A tick woken up to 50 ms early counts as the second it was due, a late one is truncated;
// the millisecond counter may wrap during the run.
TEST_F(DeroulementCinetique, LesPointsSontDatesALaSecondeDue) {
    Commence();
    const std::pair<quint32, qint32> table[] = {{0, 0},    {949, 0},  {950, 1},
                                                {1949, 1}, {1950, 2}, {2900, 2},
                                                {2949, 2}, {2950, 3}, {86'400'000, 86'400}};
    quint32 avant = 0;
    for (const auto& [ms, secondes] : table) {
        horloge.Avance(ms - avant);
        avant = ms;
        EXPECT_EQ(deroulement.SecondesEcoulees(), secondes) << ms;
    }
}

TEST_F(DeroulementCinetique, LesLecturesPerduesSontSauteesPuisSignalees) {
    using L = TDeroulementCinetique::TLecture;
    EXPECT_FALSE(deroulement.DebuteLecture()); // no run
    Commence();
    const std::pair<double, L> suite[] = {
        {0.5, L::Enregistree}, {Indefini, L::Sautee}, {Indefini, L::Sautee}, {Indefini, L::Avertir},
        {Indefini, L::Sautee}, {0.6, L::Revenue},     {Indefini, L::Sautee}, {0.7, L::Enregistree}};
    int i = 0;
    for (const auto& [valeur, attendue] : suite) {
        SCOPED_TRACE(i++);
        ASSERT_TRUE(deroulement.DebuteLecture());
        EXPECT_FALSE(deroulement.DebuteLecture()); // a tick while the instrument answers
        EXPECT_EQ(deroulement.FinLecture(valeur), attendue);
    }
    // Stopped while a reading waited: its value comes too late.
    ASSERT_TRUE(deroulement.DebuteLecture());
    deroulement.Etat = TDeroulementCinetique::EtatFini;
    EXPECT_EQ(deroulement.FinLecture(0.8), L::Tardive);
    // A port that cannot be read ends the reading too.
    Commence();
    ASSERT_TRUE(deroulement.DebuteLecture());
    deroulement.LectureEchouee();
    EXPECT_TRUE(deroulement.DebuteLecture());
    EXPECT_EQ(deroulement.FinLecture(Indefini), L::Sautee);
    // A new run counts its lost readings afresh.
    Commence();
    for (const L attendue : {L::Sautee, L::Sautee, L::Avertir}) {
        ASSERT_TRUE(deroulement.DebuteLecture());
        EXPECT_EQ(deroulement.FinLecture(Indefini), attendue);
    }
}

// The run ends at the first point taken after its duration, or when the curve is full.
TEST_F(DeroulementCinetique, LaFinDuneAcquisition) {
    using S = TDeroulementCinetique::TSuite;
    struct Cas {
        quint32 ms;
        int points;
        S suite;
    };
    const Cas table[] = {{120'000, 61, S::Continue},
                         {121'000, 62, S::DureeAtteinte},
                         {10'000, CapaciteCourbe - 1, S::Continue},
                         {10'000, CapaciteCourbe, S::CourbePleine},
                         {200'000, CapaciteCourbe, S::DureeAtteinte}};
    for (const Cas& c : table) {
        SCOPED_TRACE(c.points);
        Commence();
        horloge.Avance(c.ms);
        EXPECT_EQ(deroulement.ApresPoint(c.points, 120), c.suite);
    }
}

TEST(EtapesCinetique, ArretCoupureEtAxeDesAbsorbances) {
    using D = TDeroulementCinetique;
    // Stopped by the user: at most 15 points and at most half the count are discarded.
    const std::tuple<int, qint32, quint8> arrets[] = {{0, 60, D::EtatPret},
                                                      {10, 60, D::EtatPret},
                                                      {15, 30, D::EtatPret},
                                                      {15, 29, D::EtatFini},
                                                      {16, 60, D::EtatFini}};
    for (const auto& [points, nbre, etape] : arrets)
        EXPECT_EQ(D::EtapeApresArret(points, nbre), etape) << points << " sur " << nbre;
    EXPECT_EQ(D::EtapeApresCoupure(0), D::EtatPret);
    EXPECT_EQ(D::EtapeApresCoupure(1), D::EtatFini);

    struct Axe {
        double absorbance;
        int points;
        double maxiA;
        double axe;
    };
    const Axe axes[] = {{0.4, 16, 3, 1}, {2.5, 16, 3, 2.5}, {2.5, 2, 3, 3}, {0.4, 2, 0.5, 1}};
    const auto courbe = std::make_unique<Tcourbe>();
    for (const Axe& a : axes) {
        courbe->NbPoints = static_cast<quint16>(a.points);
        for (int i = 0; i < a.points; ++i)
            courbe->Y[i] = a.absorbance * i / (a.points - 1);
        EXPECT_DOUBLE_EQ(D::MaxiAbsorbanceFinale(*courbe, a.maxiA), a.axe) << a.points;
    }
}

} // namespace
