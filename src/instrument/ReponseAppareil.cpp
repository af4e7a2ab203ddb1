#include "instrument/ReponseAppareil.h"

#include "base/Chaine.h"
#include "base/Utilitaires.h"

#include <QString>

namespace {
constexpr quint8 kRetourChariot = 13;
} // namespace

bool TLigneReponse::Ajoute(quint8 octet) {
    if (octet >= 32 && texte_.size() < TChaine255::capacite())
        texte_ += char(octet);
    if (octet == kRetourChariot)
        complete_ = true;
    return complete_;
}

bool LitNombreAppareil(QByteArrayView texte, double& valeur, QChar* separateur) {
    const bool point = texte.contains('.');
    const bool virgule = texte.contains(',');
    if (point && virgule)
        return false;
    const QChar lu = virgule ? u',' : u'.';
    if (!LitReel(QString::fromLatin1(texte), lu, valeur))
        return false;
    if (separateur)
        *separateur = point || virgule ? lu : QChar();
    return true;
}

// A reply cut by the time-out may be the start of another number ("0.1" of "0.153"): it is no
// reading.
double AbsorbanceDe(const TLigneReponse& reponse, QChar* separateur) {
    double valeur = 0;
    if (!reponse.Complete() || !LitNombreAppareil(reponse.Texte(), valeur, separateur))
        return Indefini;
    return valeur;
}
