#include "modes/cinetique/DeroulementCinetique.h"

#include "base/Horloge.h"
#include "base/Utilitaires.h"
#include "graph/Courbe.h"

#include <algorithm>

namespace {

// How early the system may wake a tick (milliseconds) that still counts as the second it was due.
constexpr quint32 kAvanceToleree = 50;
constexpr int kPointsArretCourt = 15;

} // namespace

TDeroulementCinetique::TDeroulementCinetique() : debutMs_(Horloge().Millisecondes()) {}

bool TDeroulementCinetique::LambdaReglable() const {
    return Etat == EtatLambda || Etat == EtatZero || Etat == EtatPret;
}

void TDeroulementCinetique::Commence() {
    debutMs_ = Horloge().Millisecondes();
    lecturesPerdues_ = 0;
}

qint32 TDeroulementCinetique::SecondesEcoulees() const {
    const quint32 ms = Horloge().Millisecondes() - debutMs_; // wraps with the counter
    return static_cast<qint32>((ms + kAvanceToleree) / 1000);
}

bool TDeroulementCinetique::DebuteLecture() {
    if (lectureEnCours_ || Etat != EtatAcquisition)
        return false;
    lectureEnCours_ = true;
    return true;
}

TDeroulementCinetique::TLecture TDeroulementCinetique::FinLecture(double valeur) {
    lectureEnCours_ = false;
    if (Etat != EtatAcquisition)
        return TLecture::Tardive;
    if (valeur == Indefini)
        return ++lecturesPerdues_ == LecturesPerduesAvantAvis ? TLecture::Avertir
                                                              : TLecture::Sautee;
    const bool avertie = lecturesPerdues_ >= LecturesPerduesAvantAvis;
    lecturesPerdues_ = 0;
    return avertie ? TLecture::Revenue : TLecture::Enregistree;
}

void TDeroulementCinetique::LectureEchouee() {
    lectureEnCours_ = false;
}

TDeroulementCinetique::TSuite TDeroulementCinetique::ApresPoint(int nbPoints, quint16 duree) const {
    if (SecondesEcoulees() > duree)
        return TSuite::DureeAtteinte;
    return nbPoints >= CapaciteCourbe ? TSuite::CourbePleine : TSuite::Continue;
}

quint8 TDeroulementCinetique::EtapeApresArret(int nbPoints, qint32 nbre) {
    return nbPoints <= kPointsArretCourt && nbPoints <= nbre / 2 ? EtatPret : EtatFini;
}

quint8 TDeroulementCinetique::EtapeApresCoupure(int nbPoints) {
    return nbPoints > 0 ? EtatFini : EtatPret;
}

double TDeroulementCinetique::MaxiAbsorbanceFinale(const Tcourbe& courbe, double maxiA) {
    double maxi = maxiA;
    const quint16 n = courbe.NbPoints;
    if (n > 2) {
        double mini = 0;
        MinMaxTableau(courbe.Y.data(), n, mini, maxi);
    }
    return std::max(maxi, 1.0);
}
