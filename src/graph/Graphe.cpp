#include "graph/Graphe.h"

#include "base/Utilitaires.h"
#include "graph/Etiquettes.h"

#include <cmath>

namespace {

// "Nom(Unite)", or the symbol alone without a unit.
QString TitreAxe(const Tmonde& monde) {
    QByteArray titre = monde.Nom.Octets();
    if (!monde.Unite.EstVide())
        titre += '(' + monde.Unite.Octets() + ')';
    return AnsiVersEcran(titre.left(42));
}

// Visits the graduation values as a 32-bit float running sum from DebutGrad, as far as Maxi.
// The visitor may set the value to 0 so that the sum restarts from an exact 0. The walk stops
// as well when the step no longer changes the value, so it always ends.
template <class Visiteur> void ParcourtGraduations(const Tmonde& monde, Visiteur&& visite) {
    float v = static_cast<float>(monde.DebutGrad);
    for (;;) {
        visite(v);
        const float suivante = static_cast<float>(v + monde.PasGrad);
        if (!(suivante > v) || suivante >= monde.Maxi)
            return;
        v = suivante;
    }
}

} // namespace

Tgraphe::Tgraphe() {
    Courbe.Couleur = CouleurRVB(0, 0, 255);
}

void Tgraphe::FixeMonde(double xmin, double ymin, double xmax, double ymax) {
    MondeX.Mini = xmin;
    MondeX.Maxi = xmax;
    MondeY.Mini = ymin;
    MondeY.Maxi = ymax;
}

bool Tgraphe::Dessinable() const {
    return MondeX.EtendueValide() && MondeY.EtendueValide();
}

void Tgraphe::MondeVersEcran(double x, double y, int& px, int& py) const {
    px = py = -1;
    if (!Dessinable())
        return;
    try {
        const int h = MondeX.VersEcran(x);
        const int v = MondeY.VersEcran(y);
        px = h;
        py = v;
    } catch (const std::exception&) {
        // Enombre or a pixel out of range: the point is simply not drawn.
    }
}

void Tgraphe::EcranVersMonde(int px, int py, double& x, double& y) const {
    x = (px - MondeX.Origine) / MondeX.Echelle;
    y = (py - MondeY.Origine) / MondeY.Echelle;
}

bool Tgraphe::Point(int i, int& px, int& py) const {
    MondeVersEcran(Courbe.X[i], Courbe.Y[i], px, py);
    return px != -1 && py != -1;
}

void Tgraphe::ChoixPolice(int hauteur) {
    if (hauteur <= 13)
        hauteur = 13;
    else if (hauteur <= 18)
        hauteur = 16;
    else if (hauteur <= 24)
        hauteur = 20;
    Canvas->Police.Nom =
        hauteur <= 20 ? QStringLiteral("Tablarix") : QStringLiteral("Arial Tablarix");
    Canvas->Police.Hauteur = hauteur;
    HauteurCar = hauteur;
    Marge = hauteur / 3;
    LargeurCar = 2 * hauteur / 3;
}

void Tgraphe::MiseEnPage() {
    const int largeur = ZoneDessin.Largeur();
    const int hauteur = ZoneDessin.Hauteur();
    MondeY.Gradue = hauteur > 25 * HauteurCar / 4;
    MondeX.Gradue = largeur > 20 * LargeurCar;
    MondeY.GradFine = hauteur > 50 * HauteurCar / 4;
    MondeX.GradFine = largeur > 40 * LargeurCar;
    ZoneTrace = {ZoneDessin.Left + Marge, ZoneDessin.Top + Marge, ZoneDessin.Right - Marge,
                 ZoneDessin.Bottom - Marge};
    if (MondeY.Gradue) {
        ZoneTrace.Left += 4 * LargeurCar;
        ZoneTrace.Top += HauteurCar;
    }
    if (MondeX.Gradue)
        ZoneTrace.Bottom -= HauteurCar;
    MondeX.AjusteEchelle(ZoneTrace.Left, ZoneTrace.Right);
    MondeY.AjusteEchelle(ZoneTrace.Bottom, ZoneTrace.Top);
}

void Tgraphe::Dessine() {
    if (!Canvas)
        return;
    const int hauteur = ZoneDessin.Hauteur();
    TailleMarque = std::max(1, hauteur / 100);
    ChoixPolice(hauteur / 30);
    Canvas->Brosse = {Blanc, true};
    Canvas->RemplitRectangle(ZoneDessin);
    MiseEnPage();
    // An empty or reversed range has no scale: the page stays blank.
    if (!Dessinable())
        return;
    TraceAxes();
    switch (ModeTrace) {
    case 0:
        TraceCourbe();
        break;
    case 1:
        TraceCourbeSuite();
        break;
    case 2:
        TraceMarques();
        break;
    default:
        break;
    }
    TraceReperes();
}

void Tgraphe::Ligne(int x1, int y1, int x2, int y2) {
    Canvas->DeplaceVers(x1, y1);
    Canvas->LigneVers(x2, y2);
}

void Tgraphe::TraceAxes() {
    Canvas->Plume = {Noir, TStylePlume::Continu, TModePlume::Copie};
    Canvas->Police.Couleur = Noir;
    // Half a character between two labels keeps "400" and "500" from reading as one number.
    TPlaceEtiquettes places(LargeurCar / 2);
    TraceAxeX(places);
    TraceAxeY(places);
}

void Tgraphe::Etiquette(TPlaceEtiquettes& places, int x, int y, const QString& texte) {
    if (places.Prend({x, y, x + Canvas->LargeurTexte(texte), y + HauteurCar}))
        Canvas->EcritTexte(x, y, texte);
}

void Tgraphe::TraceAxeX(TPlaceEtiquettes& places) {
    TCanevas& c = *Canvas;
    const int a = ZoneTrace.Bottom;
    int px0 = -1, py0 = -1;
    MondeVersEcran(0, 0, px0, py0);
    const bool zeroDedans = ZoneTrace.Left < px0 && px0 < ZoneTrace.Right;
    if (!MondeX.Gradue) {
        if (zeroDedans)
            Ligne(px0, ZoneTrace.Bottom, px0, ZoneTrace.Top);
        return;
    }
    if (zeroDedans) {
        c.Plume.Style = TStylePlume::Pointille;
        Ligne(px0, ZoneTrace.Bottom, px0, ZoneTrace.Top);
        c.Plume.Style = TStylePlume::Continu;
    }
    const QString titre = TitreAxe(MondeX);
    const int gaucheTitre = ZoneDessin.Right - c.LargeurTexte(titre);
    Etiquette(places, gaucheTitre, a + Marge, titre);
    const int limite = std::min(ZoneDessin.Right - 2 * LargeurCar, gaucheTitre);

    Ligne(ZoneDessin.Left, a, ZoneTrace.Right, a);
    Ligne(ZoneTrace.Right - 3 * Marge, a + Marge, ZoneTrace.Right, a);
    Ligne(ZoneTrace.Right - 3 * Marge, a - Marge, ZoneTrace.Right, a);

    c.Plume.Style = TStylePlume::Pointille;
    const double proche = (MondeX.Maxi - MondeX.Mini) / 100;
    ParcourtGraduations(MondeX, [&](float& v) {
        int px = -1, py = -1;
        MondeVersEcran(v, MondeY.Mini, px, py);
        if (!(ZoneTrace.Left < px && px < ZoneTrace.Right))
            return;
        Ligne(px, ZoneTrace.Top, px, ZoneTrace.Bottom);
        if (!(ZoneTrace.Left + Marge < px && px < limite))
            return;
        if (std::fabs(v) < proche)
            v = 0;
        Etiquette(places, px, a + Marge, MondeX.TexteGrad(v).TexteEcran());
    });
    c.Plume.Style = TStylePlume::Continu;
}

void Tgraphe::TraceAxeY(TPlaceEtiquettes& places) {
    TCanevas& c = *Canvas;
    const int a = ZoneTrace.Bottom;
    const int b = ZoneTrace.Left;
    int px0 = -1, py0 = -1;
    MondeVersEcran(0, 0, px0, py0);
    const bool zeroDedans = ZoneTrace.Top < py0 && py0 < ZoneTrace.Bottom;
    if (!MondeY.Gradue) {
        if (zeroDedans)
            Ligne(ZoneTrace.Left, py0, ZoneTrace.Right, py0);
        return;
    }
    if (zeroDedans) {
        c.Plume.Style = TStylePlume::Pointille;
        Ligne(ZoneTrace.Left, py0, ZoneTrace.Right, py0);
        c.Plume.Style = TStylePlume::Continu;
    }
    Ligne(b, a, b, ZoneTrace.Top);
    Ligne(b - Marge, ZoneTrace.Top + 2 * Marge, b, ZoneTrace.Top - Marge);
    Ligne(b + Marge, ZoneTrace.Top + 2 * Marge, b, ZoneTrace.Top - Marge);
    Etiquette(places, ZoneDessin.Left + Marge, ZoneDessin.Top, TitreAxe(MondeY));

    c.Plume.Style = TStylePlume::Pointille;
    const double proche = (MondeY.Maxi - MondeY.Mini) / 1000;
    ParcourtGraduations(MondeY, [&](float& v) {
        int px = -1, py = -1;
        MondeVersEcran(MondeX.Mini, v, px, py);
        if (!(ZoneTrace.Top < py && py < ZoneTrace.Bottom))
            return;
        Ligne(ZoneTrace.Left, py, ZoneTrace.Right, py);
        if (!(ZoneTrace.Top + Marge < py && py < ZoneTrace.Bottom - Marge))
            return;
        if (std::fabs(v) < proche)
            v = 0;
        Etiquette(places, ZoneDessin.Left + Marge, py - HauteurCar / 2,
                  MondeY.TexteGrad(v).TexteEcran());
    });
    c.Plume.Style = TStylePlume::Continu;
}

void Tgraphe::TraceCourbe() {
    Canvas->Plume.Couleur = Courbe.Couleur;
    Canvas->Plume.Style = TStylePlume::Continu;
    bool posee = false;
    for (int i = 0; i < Courbe.NbValides(); ++i) {
        int px = -1, py = -1;
        if (!Point(i, px, py)) {
            posee = false;
        } else if (posee) {
            Canvas->LigneVers(px, py);
        } else {
            Canvas->DeplaceVers(px, py);
            posee = true;
        }
    }
}

void Tgraphe::TraceCourbeSuite() {
    if (!Canvas)
        return;
    TraceCourbe();
    Courbe.NbTraces = Courbe.NbPoints;
}

void Tgraphe::TraceMarques() {
    Canvas->Plume.Couleur = Courbe.Couleur;
    Canvas->Plume.Style = TStylePlume::Continu;
    for (int i = 0; i < Courbe.NbValides(); ++i) {
        int px = -1, py = -1;
        if (Point(i, px, py))
            TraceCroix(px, py, TailleMarque);
    }
}

// Under the point: below a maximum lies the band itself, never the axis titles.
void Tgraphe::TraceReperes() {
    Canvas->Plume = {CouleurRVB(255, 0, 0), TStylePlume::Continu, TModePlume::Copie};
    const int s = 2 * TailleMarque + 2;
    for (const TRepere& r : Reperes) {
        int px = -1, py = -1;
        MondeVersEcran(r.X, r.Y, px, py);
        if (px == -1 || py == -1)
            continue;
        Ligne(px, py + s, px, py + 3 * s);
        Ligne(px - s / 2, py + 3 * s / 2, px, py + s);
        Ligne(px + s / 2, py + 3 * s / 2, px, py + s);
    }
}

void Tgraphe::TraceCroix(int px, int py, int s) {
    Ligne(px, py - s, px, py + s);
    Ligne(px - s, py, px + s, py);
}

void Tgraphe::TracePoint(quint16 index) {
    if (!Canvas || index >= CapaciteCourbe)
        return;
    Canvas->Plume.Couleur = Courbe.Couleur;
    Canvas->Plume.Style = TStylePlume::Continu;
    int px = -1, py = -1;
    if (!Point(index, px, py))
        return;
    if (ModeTrace == 2) {
        TraceCroix(px, py, TailleMarque);
        return;
    }
    int avantX = -1, avantY = -1;
    if (index > 0 && Point(index - 1, avantX, avantY))
        Ligne(avantX, avantY, px, py);
}

void Tgraphe::TraceCarre(double x, double y) {
    if (!Canvas)
        return;
    const TCouleur rouge = CouleurRVB(255, 0, 0);
    Canvas->Plume.Couleur = rouge;
    Canvas->Plume.Style = TStylePlume::Continu;
    Canvas->Brosse = {rouge, true};
    int px = -1, py = -1;
    MondeVersEcran(x, y, px, py);
    Canvas->Rectangle({px - TailleMarque, py - TailleMarque, px + TailleMarque, py + TailleMarque});
}

void Tgraphe::Reticule() {
    if (!Canvas)
        return;
    Canvas->Plume = {Noir, TStylePlume::Continu, TModePlume::NonOuExclusif};
    const TRectangle r = Canvas->Decoupage();
    Ligne(ReticuleX, r.Top, ReticuleX, r.Bottom);
    Ligne(r.Left, ReticuleY, r.Right, ReticuleY);
    Canvas->Plume.Mode = TModePlume::Copie;
}
