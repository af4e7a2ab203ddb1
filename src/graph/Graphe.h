#pragma once

#include "graph/Canevas.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <vector>

class TPlaceEtiquettes;

// A point of the world marked on the curve, such as an absorption maximum.
struct TRepere {
    double X = 0;
    double Y = 0;
};

// The graph of an acquisition window: a white page with two arrowed axes, their titles, a
// dotted grid with labels, dotted zero lines and one curve. It draws on whatever canvas and
// rectangle its owner hands it (a paint box's image, a printer page); between two full drawings
// the small drawing steps paint over the picture with the layout of the last full drawing.
class Tgraphe {
public:
    Tgraphe();
    Tgraphe(const Tgraphe&) = delete;
    Tgraphe& operator=(const Tgraphe&) = delete;

    int TailleMarque = 1; // half-size of crosses and squares
    Tmonde MondeX;
    Tmonde MondeY;
    TRectangle ZoneTrace;  // plot area, from MiseEnPage
    TRectangle ZoneDessin; // set by the owner before every full drawing
    int LargeurCar = 0;
    int HauteurCar = 0;
    int Marge = 0;
    TCanevas* Canvas = nullptr; // not owned; nothing is drawn without one
    int ReticuleX = 0;
    int ReticuleY = 0;
    Tcourbe Courbe;
    quint8 ModeTrace = 0; // 0 polyline, 1 polyline recording NbTraces, 2 a cross at each point
    // Small red arrows pointing up at these points from under the curve, part of every full
    // drawing: on screen and on paper alike.
    std::vector<TRepere> Reperes;

    // Both minima first, then both maxima; takes effect at the next Dessine.
    void FixeMonde(double xmin, double ymin, double xmax, double ymax);
    void Dessine();
    // An unmappable point (Indefini, out of range, an axis without a valid range) gives -1, -1;
    // callers treat -1 on either coordinate as unmappable.
    void MondeVersEcran(double x, double y, int& px, int& py) const;
    void EcranVersMonde(int px, int py, double& x, double& y) const;
    void TracePoint(quint16 index);
    void TraceCourbeSuite();
    void TraceCarre(double x, double y);
    // Not-XOR cross hair at ReticuleX, ReticuleY: drawing it again erases it.
    void Reticule();

private:
    bool Dessinable() const;
    bool Point(int i, int& px, int& py) const;
    void ChoixPolice(int hauteur);
    void MiseEnPage();
    void TraceAxes();
    void TraceAxeX(TPlaceEtiquettes& places);
    void TraceAxeY(TPlaceEtiquettes& places);
    // Writes the text at (x, y) unless it would overlap one already written.
    void Etiquette(TPlaceEtiquettes& places, int x, int y, const QString& texte);
    void TraceCourbe();
    void TraceMarques();
    void TraceReperes();
    void TraceCroix(int px, int py, int s);
    void Ligne(int x1, int y1, int x2, int y2);
};
