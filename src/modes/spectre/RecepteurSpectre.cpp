#include "modes/spectre/RecepteurSpectre.h"

#include "base/Horloge.h"
#include "graph/Courbe.h"
#include "instrument/ApdComPort.h"
#include "instrument/ReponseAppareil.h"

#include <algorithm>

namespace {

constexpr qsizetype kLongueurNombre = 20;

} // namespace

std::optional<TLigneSpectre> LitLigneSpectre(QByteArrayView ligne) {
    if (ligne.startsWith(','))
        return std::nullopt;
    for (qsizetype virgule = ligne.indexOf(','); virgule > 0;
         virgule = ligne.indexOf(',', virgule + 1)) {
        TLigneSpectre lu;
        const QByteArrayView apres = ligne.sliced(virgule + 1);
        lu.TexteLambda = ligne.first(std::min(virgule, kLongueurNombre)).toByteArray();
        lu.TexteAbs = apres.first(std::min(apres.size(), kLongueurNombre)).toByteArray();
        QChar separateurLambda;
        QChar separateurAbs;
        if (LitNombreAppareil(lu.TexteLambda, lu.Lambda, &separateurLambda) &&
            LitNombreAppareil(lu.TexteAbs, lu.Absorbance, &separateurAbs)) {
            lu.Separateur = separateurAbs.isNull() ? separateurLambda : separateurAbs;
            return lu;
        }
    }
    return std::nullopt;
}

bool TPlageBalayage::Contient(double lambda) const {
    constexpr double kTolerance = 1e-6; // nm: the texts of the steps are decimal
    return lambda >= Debut - Pas - kTolerance && lambda <= Fin + Pas + kTolerance;
}

std::optional<int> TRecepteurSpectre::Delai() const {
    switch (etat_) {
    case TEtatSpectre::LigneDeBaseEnCours:
        return DelaiLigneDeBase;
    case TEtatSpectre::BalayageEnCours:
        return DelaiBalayage;
    case TEtatSpectre::Repos:
        break;
    }
    return std::nullopt;
}

quint32 TRecepteurSpectre::Maintenant() {
    return Horloge().Millisecondes();
}

bool TRecepteurSpectre::LigneEnCours() const {
    // The clock wraps like the system's tick count: the difference does too.
    return (ligne_.Longueur() > 0 || resteCoupe_) && octetRecu_ &&
           Maintenant() - dernierOctet_ < LigneMorteMs;
}

// What waits is read out before the purge, to know whether the purge falls inside a line: a
// line left by a scan that was abandoned (the window left, the program killed) goes on coming.
bool TRecepteurSpectre::VideEntree(TApdComPort& voie) const {
    constexpr int kOctetsLusAuPlus = 1 << 16; // an instrument flooding the line is cut short
    const bool ligneEnCours = LigneEnCours();
    QByteArray attente;
    for (int i = 0; i < kOctetsLusAuPlus && voie.CharAvailable(); ++i)
        attente.append(static_cast<char>(voie.ReadChar()));
    voie.PurgeInput();
    return PurgeDansUneLigne(ligneEnCours, attente);
}

bool TRecepteurSpectre::PurgeDansUneLigne(bool ligneEnCours, QByteArrayView attente) {
    bool dansUneLigne = ligneEnCours;
    for (const char octet : attente) {
        const auto code = static_cast<quint8>(octet);
        if (code == kRetourChariot)
            dansUneLigne = false;
        else if (code > 32)
            dansUneLigne = true;
    }
    return dansUneLigne;
}

void TRecepteurSpectre::IgnoreLigneEnCours() {
    resteCoupe_ = LigneEnCours();
    ligne_.Vide();
}

void TRecepteurSpectre::CommenceLigneDeBase() {
    etat_ = TEtatSpectre::LigneDeBaseEnCours;
    blancFait_ = false;
}

void TRecepteurSpectre::CommenceBalayage(const TPlageBalayage& plage, bool ligneCoupee) {
    plage_ = plage;
    ligne_.Vide();
    resteCoupe_ = ligneCoupee;
    dernierLambda_.reset();
    etat_ = TEtatSpectre::BalayageEnCours;
    courbe_.NbPoints = 0;
    courbe_.NbTraces = 0;
}

TEtatSpectre TRecepteurSpectre::Interrompt() {
    const TEtatSpectre etat = etat_;
    etat_ = TEtatSpectre::Repos;
    return etat;
}

TEtatSpectre TRecepteurSpectre::VoieDisparue() {
    ExigeLigneDeBase();
    return Interrompt();
}

void TRecepteurSpectre::OublieLigne() {
    ligne_.Vide();
    resteCoupe_ = false;
}

// Each carriage return ends a line, read or not: one bad line costs one point, never the lines
// after it. The rest of a line cut by a purge is no line.
TLigneTraitee TRecepteurSpectre::FinDeLigne() {
    TLigneTraitee traitee;
    if (!resteCoupe_) {
        if (etat_ == TEtatSpectre::LigneDeBaseEnCours)
            traitee = FinDeLigneDeBase();
        else if (etat_ == TEtatSpectre::BalayageEnCours)
            traitee = TraiteLigne();
    }
    resteCoupe_ = false;
    ligne_.Vide();
    return traitee;
}

// The instrument ends its baseline with an answer line, a number or a word: a line left from a
// scan, or an empty one, is not that answer.
TLigneTraitee TRecepteurSpectre::FinDeLigneDeBase() {
    double valeur = 0;
    QChar separateur;
    const bool nombre = LitNombreAppareil(ligne_.Texte(), valeur, &separateur);
    if (!nombre && (ligne_.Longueur() == 0 || LitLigneSpectre(ligne_.Texte())))
        return {};
    separateur_ = nombre ? separateur : QChar();
    blancFait_ = true;
    etat_ = TEtatSpectre::Repos;
    return {TLigneTraitee::ReponseLigneDeBase};
}

// A line is a point of this scan only within the range asked for and beyond the previous one:
// a line left from another scan, or a changed digit, would otherwise put a foreign point in the
// spectrum, or end it at once. Beyond the curve's capacity the lines are read and not stored.
TLigneTraitee TRecepteurSpectre::TraiteLigne() {
    std::optional<TLigneSpectre> lu = LitLigneSpectre(ligne_.Texte());
    if (!lu || !plage_.Contient(lu->Lambda) || (dernierLambda_ && lu->Lambda <= *dernierLambda_))
        return {};
    dernierLambda_ = lu->Lambda;
    separateur_ = lu->Separateur;
    TLigneTraitee traitee{TLigneTraitee::Point};
    if (courbe_.NbPoints < CapaciteCourbe) {
        courbe_.X[courbe_.NbPoints] = lu->Lambda;
        courbe_.Y[courbe_.NbPoints] = lu->Absorbance;
        ++courbe_.NbPoints;
        traitee.Stocke = true;
    }
    traitee.Fin = lu->Lambda >= plage_.Fin;
    if (traitee.Fin)
        etat_ = TEtatSpectre::Repos;
    lu_ = std::move(*lu);
    return traitee;
}
