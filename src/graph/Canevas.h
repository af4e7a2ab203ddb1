#pragma once

#include "graph/Courbe.h"

#include <QString>

// A rectangle as the drawing code counts it: Right and Bottom lie just outside.
struct TRectangle {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Largeur() const { return Right - Left; }
    int Hauteur() const { return Bottom - Top; }
    friend bool operator==(const TRectangle&, const TRectangle&) = default;
};

inline constexpr TCouleur Noir = CouleurRVB(0, 0, 0);
inline constexpr TCouleur Blanc = CouleurRVB(255, 255, 255);

enum class TStylePlume { Continu, Pointille };
// NonOuExclusif: each pixel becomes the inverse of pen XOR screen, so drawing twice restores.
enum class TModePlume { Copie, NonOuExclusif };

struct TPlume {
    TCouleur Couleur = Noir;
    TStylePlume Style = TStylePlume::Continu;
    TModePlume Mode = TModePlume::Copie;
    friend bool operator==(const TPlume&, const TPlume&) = default;
};

struct TBrosse {
    TCouleur Couleur = Blanc;
    bool Pleine = true; // a clear brush fills nothing, not even behind text
};

struct TPolice {
    QString Nom;
    int Hauteur = 13; // character cell height in pixels, internal leading included
    TCouleur Couleur = Noir;
    bool Gras = false;
};

// The surface a graph draws on: the classic primitives with a current pen, brush and font, as
// fields the drawing code sets before it draws. The screen and the printer each have their own.
class TCanevas {
public:
    virtual ~TCanevas() = default;

    TPlume Plume;
    TBrosse Brosse;
    TPolice Police;

    virtual void DeplaceVers(int x, int y) = 0;
    // A line from the current position, which moves to (x, y).
    virtual void LigneVers(int x, int y) = 0;
    // Fills with the brush, no outline.
    virtual void RemplitRectangle(const TRectangle& r) = 0;
    // Outline with the pen, inside filled with the brush.
    virtual void Rectangle(const TRectangle& r) = 0;
    // (x, y) is the top left of the text; the brush fills behind it.
    virtual void EcritTexte(int x, int y, const QString& texte) = 0;
    virtual int LargeurTexte(const QString& texte) = 0;
    // The part of the surface that can be drawn on.
    virtual TRectangle Decoupage() const = 0;
};
