// The local-socket client's side of the framing: the server's bytes, arriving in pieces, until
// an answer. The answer is the first 'A' or 'N' frame; advise data before it is skipped.
#include "SupportFuzz.h"

#include "exchange/TransportLocal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille == 0)
        return 0;
    const std::size_t morceau = donnees[0] % 16 + 1;
    const QByteArray flux = Octets(donnees + 1, taille - 1);
    QByteArray recu;
    QByteArray lu; // every byte given to the client so far
    for (qsizetype debut = 0; debut < flux.size(); debut += static_cast<qsizetype>(morceau)) {
        const QByteArray piece = flux.mid(debut, static_cast<qsizetype>(morceau));
        recu += piece;
        lu += piece;
        const char reponse = ReponseLocale(recu);
        if (reponse) {
            EXIGE(reponse == 'A' || reponse == 'N');
            // What is left starts right after the answer frame.
            EXIGE(lu.endsWith(recu));
            const QByteArray avant = lu.left(lu.size() - recu.size());
            EXIGE(avant.endsWith('\0'));
            const QList<QByteArray> trames = avant.chopped(1).split('\0');
            EXIGE(trames.constLast().startsWith(reponse));
            for (const QByteArray& trame : trames.first(trames.size() - 1))
                EXIGE(trame.isEmpty() || (trame[0] != 'A' && trame[0] != 'N'));
            return 0;
        }
        if (recu.size() > TrameLocaleMaxi)
            return 0;
    }
    return 0;
}
