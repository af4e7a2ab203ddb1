#pragma once

#include "base/Chaine.h"

#include <QtGlobal>

#include <array>

// A colour as the platform stores it: red in the low byte, then green, then blue.
using TCouleur = quint32;

constexpr TCouleur CouleurRVB(quint8 rouge, quint8 vert, quint8 bleu) {
    return static_cast<TCouleur>(rouge) | static_cast<TCouleur>(vert) << 8 |
           static_cast<TCouleur>(bleu) << 16;
}
constexpr quint8 Rouge(TCouleur c) {
    return static_cast<quint8>(c & 0xFF);
}
constexpr quint8 Vert(TCouleur c) {
    return static_cast<quint8>(c >> 8 & 0xFF);
}
constexpr quint8 Bleu(TCouleur c) {
    return static_cast<quint8>(c >> 16 & 0xFF);
}

inline constexpr int CapaciteCourbe = 4097;

// The points of a run. The owner writes X[NbPoints], Y[NbPoints] and then increments NbPoints,
// never beyond CapaciteCourbe; adding a point allocates nothing.
class Tcourbe {
public:
    TCouleur Couleur = 0;
    std::array<double, CapaciteCourbe> X{};
    quint16 NbPoints = 0;
    quint16 NbTraces = 0; // points already drawn by the progressive drawing
    std::array<double, CapaciteCourbe> Y{};
    TChaine255 Commentaire;

    // The largest of the valid X (or Y), starting from 0: 0 for an empty or all-negative curve.
    double MaxiX() const;
    double MaxiY() const;
    // NbPoints, never more than the arrays hold.
    int NbValides() const;
    // Both values of point i are numbers, neither Indefini: a point a reader can show.
    bool PointLisible(int i) const;
};
