#include "modes/beer/SessionBeer.h"

#include "graph/Courbe.h"
#include "graph/Monde.h"

#include <algorithm>

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
    if (!Inconnues.Ajoute(absorbance, Pente))
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
    const TDroiteEtalonnage droite = AjusteDroite(courbe_.X.data(), courbe_.Y.data(), Nombre());
    Pente = droite.Pente;
    EcartTexte = TexteEcart(droite);
    Inconnues.Recalcule(Pente);
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
    double m = courbe_.MaxiY();
    if (m < 0.1)
        m = 1.0;
    y_.Maxi = std::max(y_.Maxi, m);
    if (Mode == 1) {
        m = courbe_.MaxiX();
        if (m < 0.01)
            m = 0.1;
        x_.Maxi = std::max(x_.Maxi, m);
    }
}

bool TSessionBeer::HorsAxe(double x) const {
    return x > x_.Maxi || x < x_.Mini;
}

void TSessionBeer::EtendAxe(double x) {
    (x > x_.Maxi ? x_.Maxi : x_.Mini) = x;
}
