#include "modes/beer/SessionBeer.h"

#include "base/Utilitaires.h"
#include "graph/Cadre.h"
#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <algorithm>

namespace {

// Room left beyond the largest value, as a share of the axis: a mark drawn there stays whole
// inside the frame.
constexpr double kMarge = 0.05;

// The axis reaches beyond m: when m lies on or near its end, the end moves past it, to the next
// graduation. It never shrinks.
void Atteint(Tmonde& axe, double m) {
    const double loin = m + kMarge * (m - axe.Mini);
    if (axe.Maxi < loin)
        axe.Maxi = HautArrondi(axe.Mini, loin);
}

} // namespace

TSessionBeer::TSessionBeer(Tcourbe& courbe, Tmonde& x, Tmonde& y) : courbe_(courbe), x_(x), y_(y) {
    y_.Nom = "A";
    y_.Unite = "";
    y_.Signification = "Absorbance";
    y_.Mini = 0;
    y_.Maxi = 1.0;
}

int TSessionBeer::Nombre() const {
    return courbe_.NbPoints;
}

TSessionBeer::TRefus TSessionBeer::RefusEnregistre() const {
    if (Mode == 2) // keyboard entry takes its points by Enter only
        return TRefus::SansObjet;
    if (Occupe())
        return TRefus::Occupe;
    if (Mode == 0 && Nombre() >= CapaciteCourbe)
        return TRefus::TablePleine;
    if (Mode == 1 && Inconnues.Plein())
        return TRefus::InconnuesPleines;
    return TRefus::Aucun;
}

TSessionBeer::TRefus TSessionBeer::RefusClavier() const {
    if (Occupe())
        return TRefus::Occupe;
    if (Nombre() >= CapaciteCourbe)
        return TRefus::TablePleine;
    return TRefus::Aucun;
}

void TSessionBeer::AjouteRang(double absorbance) {
    courbe_.Y[courbe_.NbPoints] = absorbance;
    ++courbe_.NbPoints;
    Sauve = Nombre() < 2;
}

bool TSessionBeer::AgranditAxeRang() {
    if (Nombre() + kPasAxeRang <= x_.Maxi)
        return false;
    x_.Maxi += kPasAxeRang;
    return true;
}

bool TSessionBeer::AjouteInconnue(double absorbance) {
    if (!Inconnues.Ajoute(absorbance, Pente()))
        return false;
    DerniereInconnue = true;
    Sauve = Nombre() < 2;
    return true;
}

void TSessionBeer::AjouteClavier(double x, double absorbance) {
    // x is written with its absorbance, so that nothing typed during the reading can change it.
    courbe_.X[courbe_.NbPoints] = x;
    courbe_.Y[courbe_.NbPoints] = absorbance;
    ++courbe_.NbPoints;
    EcartTexte.clear();
    if (Etalonne())
        CalculePente();
    DerniereInconnue = false;
    Sauve = Nombre() < 2;
}

TSessionBeer::TChangement TSessionBeer::Defaire() {
    if (Nombre() == 0)
        return TChangement::Aucun;
    if (Mode == 1 && DerniereInconnue && Inconnues.RetireDerniere())
        return TChangement::Aucun; // the standards and the slope stay
    // With no unknown sample left, Undo goes on with the standards.
    --courbe_.NbPoints;
    DerniereInconnue = false;
    return TChangement::Retrait;
}

void TSessionBeer::Vide() {
    courbe_.NbPoints = 0;
    VideEtalonnage();
}

bool TSessionBeer::ChangeMode(quint8 avant) {
    if (Mode == avant)
        return false;
    Vide();
    return true;
}

void TSessionBeer::Reprend(quint8 mode) {
    Mode = mode;
    VideEtalonnage();
    if (Mode == 0) // the rank is the table's own abscissa
        for (int i = 0; i < CapaciteCourbe; ++i)
            courbe_.X[i] = i;
    if (Etalonne())
        CalculePente();
    Sauve = false;
}

void TSessionBeer::CalculePente() {
    Loi = LoiDesEtalons(courbe_.X.data(), courbe_.Y.data(), Nombre());
    EcartTexte = TexteEcart(Loi.Droite);
    Inconnues.Recalcule(Pente());
}

QString TSessionBeer::TexteLoi() const {
    return Droite() ? ::TexteLoi(Loi, x_.Nom.TexteEcran()) : QString();
}

QString TSessionBeer::TexteDetermination() const {
    return Droite() ? ::TexteDetermination(Loi) : QString();
}

QString TSessionBeer::LigneLoi() const {
    return Droite() ? TexteLoi() + QStringLiteral("    ") + TexteDetermination() : QString();
}

void TSessionBeer::VideEtalonnage() {
    Inconnues.Vide();
    DerniereInconnue = false;
    EcartTexte.clear();
}

void TSessionBeer::PrepareAxeX() {
    if (Mode == 0) {
        for (int i = 0; i < CapaciteCourbe; ++i)
            courbe_.X[i] = i;
        x_.Nom = "n";
        x_.Unite = "";
        x_.Signification = TChaine255::DepuisTexte(u"numéro");
        x_.Mini = 0;
        x_.Maxi = kPasAxeRang;
        // Points beyond the axis would vanish from the graph: it keeps them all in view.
        while (Nombre() > 0 && Nombre() - 1 > x_.Maxi)
            x_.Maxi += kPasAxeRang;
    } else if (Mode == 1) {
        x_.Maxi = 0.1;
    }
}

void TSessionBeer::AdapteAxes() {
    if (Nombre() == 0) {
        y_.Maxi = 1.0;
        return;
    }
    double a = courbe_.MaxiY();
    double c = courbe_.MaxiX();
    // The unknown samples' squares stay inside the frame too.
    for (int j = 0; j < Inconnues.NbreInconnues && Mode == 1; ++j)
        if (Inconnues.ConcInconnue[j] != Indefini) {
            a = std::max(a, Inconnues.AbsInconnue[j]);
            c = std::max(c, Inconnues.ConcInconnue[j]);
        }
    // Values too small to scale by keep the axis's usual range.
    if (a < 0.1)
        y_.Maxi = std::max(y_.Maxi, 1.0);
    else
        Atteint(y_, a);
    if (Mode == 1) {
        if (c < 0.01)
            x_.Maxi = std::max(x_.Maxi, 0.1);
        else
            Atteint(x_, c);
    }
}

bool TSessionBeer::HorsAxe(double x) const {
    return x > x_.Maxi || x < x_.Mini;
}

void TSessionBeer::EtendAxe(double x) {
    (x > x_.Maxi ? x_.Maxi : x_.Mini) = x;
}
