#include "modes/cinetique/PlanCinetique.h"

#include "graph/Courbe.h"

#include <algorithm>

namespace {

constexpr quint16 kDtMaxiHorsAcquisition = 60;
constexpr qint32 kDureeMaxiHorsAcquisition = 14400;
// From this count on, the up arrow of a run lengthens the period instead of adding points.
constexpr qint32 kNbreAugmentePoints = 2730;
// Half the curve's capacity: a longer period thins a curve that holds more.
constexpr int kMoitieCourbe = 2048;

} // namespace

TPlanCinetique::TPlanCinetique() {
    Duree = static_cast<quint16>(Dt * Nbre);
    MajNbre();
}

qint32 TPlanCinetique::NbreArrondi(qint32 nbre) {
    nbre = std::clamp(nbre, NbreMini, NbreMaxi);
    if (nbre >= 300)
        nbre -= nbre % 60;
    if (nbre >= 90)
        nbre -= nbre % 30;
    if (nbre >= 30)
        nbre -= nbre % 10;
    return nbre;
}

void TPlanCinetique::DureeHaut(bool acquisition, Tcourbe& courbe) {
    if (acquisition) {
        if (Nbre < kNbreAugmentePoints) {
            Nbre = Nbre * 3 / 2;
        } else if ((Dt + 1) * Nbre <= DureeMaxi) {
            ++Dt;
            if (courbe.NbPoints > kMoitieCourbe)
                EclaircitCourbe(courbe);
        }
    } else if (Dt < kDtMaxiHorsAcquisition) {
        ++Dt;
        if (Dt * Nbre > kDureeMaxiHorsAcquisition)
            Nbre = kDureeMaxiHorsAcquisition / Dt;
    }
    MajDuree();
    MajNbre();
}

void TPlanCinetique::DureeBas() {
    if (Dt > DtMini)
        --Dt;
    else
        Nbre = std::max(Nbre * 2 / 3, NbreMini);
    MajDuree();
    MajNbre();
}

void TPlanCinetique::NbreHaut() {
    if (Nbre >= 300)
        Nbre += 60;
    else if (Nbre >= 90)
        Nbre += 30;
    else if (Nbre >= 30)
        Nbre += 10;
    else
        ++Nbre;
    MajNbre();
}

void TPlanCinetique::NbreBas() {
    if (Nbre >= 360)
        Nbre -= 60;
    else if (Nbre >= 120)
        Nbre -= 30;
    else if (Nbre >= 40)
        Nbre -= 10;
    else
        --Nbre;
    MajNbre();
}

bool TPlanCinetique::FixeNbre(const QString& texte) {
    bool ok = false;
    const qint32 valeur = texte.trimmed().toInt(&ok);
    if (!ok)
        return false;
    Nbre = valeur;
    MajNbre();
    return true;
}

void TPlanCinetique::Fixe(qint32 nbre, quint16 duree) {
    Nbre = nbre;
    Duree = duree;
    MajNbre();
}

void TPlanCinetique::PrepareAcquisition() {
    Duree = static_cast<quint16>(std::min(Dt * Nbre, DureeMaxi));
}

void TPlanCinetique::MajDuree() {
    Nbre = std::min(Nbre, NbreMaxi);
    if (Dt * Nbre > DureeMaxi)
        Nbre = DureeMaxi / Dt;
    Duree = static_cast<quint16>(Dt * Nbre);
}

void TPlanCinetique::MajNbre() {
    Nbre = NbreArrondi(Nbre);
    Dt = static_cast<quint16>(Duree / Nbre);
    if (Dt < DtMini) {
        Dt = DtMini;
        Duree = static_cast<quint16>(DtMini * Nbre);
    }
}

void EclaircitCourbe(Tcourbe& courbe) {
    courbe.NbPoints = static_cast<quint16>(courbe.NbPoints / 2);
    for (int i = 1; i < courbe.NbPoints; ++i) {
        courbe.X[i] = courbe.X[2 * i];
        courbe.Y[i] = courbe.Y[2 * i];
    }
    courbe.NbTraces = std::min(courbe.NbTraces, courbe.NbPoints);
}
