// Text-to-number and number-to-text conversions, with either decimal separator: whatever the
// text, LitReel gives a finite number or refuses, and what the formats write reads back.
#include "SupportFuzz.h"

#include "base/Utilitaires.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

void VerifieRelecture(double x, QChar separateur) {
    if (!std::isfinite(x))
        return;
    // 17 significant digits identify a double exactly.
    double relu = 0;
    EXIGE(LitReel(FormatGeneral(x, 17, 1, separateur), separateur, relu));
    EXIGE(relu == x);

    const QString point = FloatToStrPoint(x);
    EXIGE(point.size() <= 20);
    EXIGE(LitReel(point, u'.', relu));
    if (std::fabs(x) >= std::numeric_limits<double>::min())
        EXIGE(std::fabs(relu - x) <= 5e-7 * std::fabs(x));
    EXIGE(FloatToStr3(x).size() <= 20);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille == 0)
        return 0;
    const QChar separateur = donnees[0] & 1 ? u',' : u'.';
    const QByteArray texte = Octets(donnees + 1, taille - 1);

    for (const QString& t : {QString::fromUtf8(texte), QString::fromLatin1(texte)}) {
        double valeur = 0;
        if (LitReel(t, separateur, valeur)) {
            EXIGE(std::isfinite(valeur));
            VerifieRelecture(valeur, separateur);
        }
    }

    // The same bytes as a double's bits: NaN, infinities, subnormals.
    if (taille >= 1 + sizeof(double)) {
        double x = 0;
        std::memcpy(&x, donnees + 1, sizeof x);
        for (int precision : {3, 7, 15})
            EXIGE(!FormatGeneral(x, precision, 2, separateur).isEmpty());
        VerifieRelecture(x, separateur);
    }
    return 0;
}
