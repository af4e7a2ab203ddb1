// The absorbance reply as DemandeAbs reads it: bytes one at a time up to the carriage return,
// then the number with a point or a comma, else Indefini; a reply cut short by the time-out is
// no reading.
#include "SupportFuzz.h"

#include "base/Utilitaires.h"
#include "instrument/SpectroJenway.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    TLigneReponse ligne;
    std::size_t i = 0;
    while (i < taille && !ligne.Ajoute(donnees[i++])) {
    }
    EXIGE(ligne.Texte().size() <= 255);
    for (const char c : ligne.Texte())
        EXIGE(static_cast<quint8>(c) >= 32);

    QChar separateur;
    const double absorbance = AbsorbanceDe(ligne, &separateur);
    EXIGE(std::isfinite(absorbance));
    if (!ligne.Complete())
        EXIGE(absorbance == Indefini);
    // A number read the same with the one separator it has.
    double relu = 0;
    if (absorbance != Indefini && !separateur.isNull())
        EXIGE(LitReel(QString::fromLatin1(ligne.Texte()), separateur, relu) && relu == absorbance);
    return 0;
}
