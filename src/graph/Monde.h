#pragma once

#include "base/Chaine.h"

#include <stdexcept>

// A world value that cannot be placed on an axis: the missing-value marker.
class Enombre : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One axis of a graph: the world range shown, what the quantity is, the linear map from world
// values to pixels and the graduation step chosen for that range.
class Tmonde {
public:
    double Mini = 0;
    double Maxi = 255;
    double Echelle = 1;  // pixels per world unit, negative on a vertical axis
    double Origine = 0;  // pixel of the world value 0
    bool Gradue = false; // room for graduations and labels
    bool GradFine = false;
    TChaine20 Nom;
    TChaine20 Unite;
    TChaine255 Signification;
    double PasGrad = 0;
    double DebutGrad = 0; // smallest multiple of PasGrad not below Mini

    // Nearest pixel, ties to even. Throws Enombre for Indefini, and std::range_error when the
    // pixel is not a 32-bit integer (not a number, infinite, too far).
    int VersEcran(double x) const;
    // Fits Mini onto pixel p0 and Maxi onto pixel p1, then chooses the graduation.
    void AjusteEchelle(int p0, int p1);
    void CalculeGraduation();
    TChaine20 TexteGrad(double v) const;

    // Only a finite range with Maxi above Mini can be fitted, graduated and drawn.
    bool EtendueValide() const;
};
