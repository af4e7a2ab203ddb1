#pragma once

#include "modes/beer/Etalonnage.h"

#include <QString>

// The calibration line as the Beer-Lambert window shows it: the law A = k × c and how well the
// standards follow it.
struct TLoi {
    TDroiteEtalonnage Droite;
    double Determination = 0; // R² of the line through the origin; 0 when no standard counts
};

// The fit of the calibration (same k, same standards) and its coefficient of determination.
TLoi LoiDesEtalons(const double* concentrations, const double* absorbances, int nombre);

// "A = 21.43 × c": k in 4 significant digits with the system's separator, `symbole` being the
// quantity on the horizontal axis; empty when no standard counts.
QString TexteLoi(const TLoi& loi, const QString& symbole);
// "R² = 0.9977", 4 significant digits; empty when no standard counts.
QString TexteDetermination(const TLoi& loi);
