#pragma once

class Tcourbe;

// The index of the stored point whose abscissa is nearest `x`, the first of two as near; -1 when
// the curve holds no readable point. A point whose abscissa or ordinate is Indefini (or not a
// number) is never chosen: the reticle shows a point's own values, and such a point has none.
int PointLePlusProche(const Tcourbe& courbe, double x);
