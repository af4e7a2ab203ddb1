#pragma once

#include <QString>

#include <array>

// The calibration of the Beer-Lambert window: a line through the origin, A = k·c, fitted on the
// standards, and the unknown samples whose concentration it gives.

// A standard takes part in the fit only above both thresholds: the blank and unreadably small
// absorbances would only pull the line.
inline constexpr double SeuilConcentration = 1e-9;
inline constexpr double SeuilAbsorbance = 0.001;
inline constexpr int CapaciteInconnues = 4097;

// Whether the standard (c, A) takes part in the fit.
bool EtalonRetenu(double concentration, double absorbance);

struct TDroiteEtalonnage {
    double Pente = 0;  // k, absorbance per unit of concentration; 0 when no standard counts
    int NbEtalons = 0; // standards that passed the thresholds
    double Ecart = 0;  // RMS deviation of their absorbances from the line
};

// k is the ratio of the sums ΣA / Σc over the standards that pass the thresholds (not the
// least-squares slope), so that every standard weighs by its own concentration.
TDroiteEtalonnage AjusteDroite(const double* concentrations, const double* absorbances, int nombre);

// c = A / k; Indefini when k is not positive: without a line there is no concentration.
double ConcentrationDe(double absorbance, double pente);

// "Ecart quadratique sur A : " and the deviation in the short format, at most 46 characters;
// empty when no standard counted.
QString TexteEcart(const TDroiteEtalonnage& droite);

// The unknown samples, in the order they were measured.
class TInconnues {
public:
    std::array<double, CapaciteInconnues> AbsInconnue{};
    std::array<double, CapaciteInconnues> ConcInconnue{};
    int NbreInconnues = 0;

    bool Plein() const { return NbreInconnues >= CapaciteInconnues; }
    // False, and nothing kept, when the table is full.
    bool Ajoute(double absorbance, double pente);
    // False when there was none.
    bool RetireDerniere();
    void Recalcule(double pente);
    void Vide() { NbreInconnues = 0; }
};
