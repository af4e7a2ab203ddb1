// The local-socket server's side of the framing: a client's bytes, arriving in pieces, cut into
// frames and answered: each whole frame once, in order, never one from a partial frame.
#include "SupportFuzz.h"

#include "exchange/TransportLocal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    static TServeurLocal* const serveur = [] {
        auto* s = new TServeurLocal;
        s->Enregistre(QStringLiteral("jenway6500"), QStringLiteral("ServeurDDE"));
        return s;
    }();
    if (taille == 0)
        return 0;
    // The first byte sets the size of the pieces the bytes arrive in.
    const std::size_t morceau = donnees[0] % 16 + 1;
    const QByteArray flux = Octets(donnees + 1, taille - 1);
    QByteArray tampon;
    QByteArray donne; // every byte given to the server so far
    bool ouverte = false;
    qsizetype tramesLues = 0;
    for (qsizetype debut = 0; debut < flux.size(); debut += static_cast<qsizetype>(morceau)) {
        const QByteArray piece = flux.mid(debut, static_cast<qsizetype>(morceau));
        tampon += piece;
        donne += piece;
        const bool vivante =
            DecoupeTramesLocales(tampon, [&](char genre, const QByteArray& charge) {
                EXIGE(genre != '\0' && !charge.contains('\0'));
                const bool accepte = serveur->Accepte(genre, charge, ouverte);
                EXIGE(!accepte || ouverte);
                ++tramesLues;
            });
        // What was taken is whole frames; what is left holds none.
        EXIGE(!tampon.contains('\0'));
        EXIGE(donne.endsWith(tampon));
        const QByteArray pris = donne.left(donne.size() - tampon.size());
        EXIGE(pris.isEmpty() || pris.endsWith('\0'));
        qsizetype tramesPrises = 0;
        for (const QByteArray& trame : pris.split('\0'))
            tramesPrises += trame.isEmpty() ? 0 : 1;
        EXIGE(tramesLues == tramesPrises);
        if (!vivante) {
            EXIGE(tampon.size() > TrameLocaleMaxi);
            break;
        }
    }
    return 0;
}
