#pragma once

#include <QString>

#include <vector>

class Tcourbe;

// The absorption maxima of a finished spectrum, for the status bar and the marks on the curve.
struct TMaximum {
    double Lambda = 0;     // nm, between two stored wavelengths
    double Absorbance = 0; // of the stored point nearest Lambda
    friend bool operator==(const TMaximum&, const TMaximum&) = default;
};

inline constexpr int MaximaAuPlus = 3;

// The local maxima that stand out of the noise, at most `auPlus`, the most prominent kept,
// in the order of the wavelengths. Reads the whole curve: call it once the scan has ended.
std::vector<TMaximum> MaximaAbsorption(const Tcourbe& courbe, int auPlus = MaximaAuPlus);

// "λmax : 435,9 nm (A = 0,385) ; 522 nm (A = 0,821)", the system's separator; empty without any.
QString TexteMaxima(const std::vector<TMaximum>& maxima);
