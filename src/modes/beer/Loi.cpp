#include "modes/beer/Loi.h"

#include "base/Regional.h"
#include "base/Utilitaires.h"

namespace {

QString QuatreChiffres(double x) {
    return FormatGeneral(x, 4, 1, Regional().SeparateurDecimal);
}

} // namespace

TLoi LoiDesEtalons(const double* concentrations, const double* absorbances, int nombre) {
    TLoi loi;
    loi.Droite = AjusteDroite(concentrations, absorbances, nombre);
    if (loi.Droite.NbEtalons == 0)
        return loi;
    // A line forced through the origin has no intercept to centre on: R² is the uncentred one,
    // 1 − Σ(A − k·c)² / ΣA², over the standards of the fit and with the k that is drawn.
    double residus = 0;
    double carres = 0;
    for (int i = 0; i < nombre; ++i) {
        if (!EtalonRetenu(concentrations[i], absorbances[i]))
            continue;
        const double ecart = absorbances[i] - loi.Droite.Pente * concentrations[i];
        residus += ecart * ecart;
        carres += absorbances[i] * absorbances[i];
    }
    loi.Determination = 1 - residus / carres;
    return loi;
}

QString TexteLoi(const TLoi& loi, const QString& symbole) {
    if (loi.Droite.NbEtalons == 0)
        return QString();
    return QStringLiteral("A = ") + QuatreChiffres(loi.Droite.Pente) + QStringLiteral(" × ") +
           symbole;
}

QString TexteDetermination(const TLoi& loi) {
    if (loi.Droite.NbEtalons == 0)
        return QString();
    return QStringLiteral("R² = ") + QuatreChiffres(loi.Determination);
}
