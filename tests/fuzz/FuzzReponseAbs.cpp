// The absorbance reply as DemandeAbs reads it: bytes one at a time up to the carriage return,
// then the number with the system's separator, else Indefini.
#include "SupportFuzz.h"

#include "instrument/SpectroJenway.h"
#include "shell/Regional.h"
#include "shell/Utilitaires.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille == 0)
        return 0;
    TParametresRegionaux regional;
    regional.SeparateurDecimal = donnees[0] & 1 ? u',' : u'.';
    FixeRegional(regional);

    TLigneReponse ligne;
    std::size_t i = 1;
    while (i < taille && !ligne.Ajoute(donnees[i++])) {
    }
    EXIGE(ligne.Texte().size() <= 255);
    for (const char c : ligne.Texte())
        EXIGE(static_cast<quint8>(c) >= 32);

    const double absorbance = AbsorbanceDe(ligne.Texte());
    EXIGE(std::isfinite(absorbance));
    return 0;
}
