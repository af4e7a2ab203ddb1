#include "modes/beer/Etalonnage.h"

#include "base/Utilitaires.h"

#include <cmath>

bool EtalonRetenu(double concentration, double absorbance) {
    return concentration > SeuilConcentration && absorbance > SeuilAbsorbance;
}

TDroiteEtalonnage AjusteDroite(const double* concentrations, const double* absorbances,
                               int nombre) {
    TDroiteEtalonnage droite;
    double sommeA = 0;
    double sommeC = 0;
    const auto compte = [&](int i) {
        return EtalonRetenu(concentrations[i], absorbances[i]);
    };
    for (int i = 0; i < nombre; ++i) {
        if (!compte(i))
            continue;
        sommeA += absorbances[i];
        sommeC += concentrations[i];
        ++droite.NbEtalons;
    }
    if (droite.NbEtalons == 0)
        return droite;
    droite.Pente = sommeA / sommeC;
    double carres = 0;
    for (int i = 0; i < nombre; ++i) {
        if (!compte(i))
            continue;
        const double ecart = absorbances[i] - droite.Pente * concentrations[i];
        carres += ecart * ecart;
    }
    droite.Ecart = std::sqrt(carres / droite.NbEtalons);
    return droite;
}

double ConcentrationDe(double absorbance, double pente) {
    if (!(pente > 0))
        return Indefini;
    return absorbance / pente;
}

QString TexteEcart(const TDroiteEtalonnage& droite) {
    if (droite.NbEtalons == 0)
        return QString();
    return (QStringLiteral("Ecart quadratique sur A : ") + FloatToStr3(droite.Ecart)).left(46);
}

bool TInconnues::Ajoute(double absorbance, double pente) {
    if (Plein())
        return false;
    AbsInconnue[NbreInconnues] = absorbance;
    ConcInconnue[NbreInconnues] = ConcentrationDe(absorbance, pente);
    ++NbreInconnues;
    return true;
}

bool TInconnues::RetireDerniere() {
    if (NbreInconnues == 0)
        return false;
    --NbreInconnues;
    return true;
}

void TInconnues::Recalcule(double pente) {
    for (int j = 0; j < NbreInconnues; ++j)
        ConcInconnue[j] = ConcentrationDe(AbsInconnue[j], pente);
}
