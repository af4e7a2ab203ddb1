#include "instrument/TextesAppareil.h"

#include "instrument/SpectroJenway.h"

namespace {

QString NomSeparateur(QChar separateur) {
    return separateur == u',' ? QStringLiteral("une virgule") : QStringLiteral("un point");
}

} // namespace

QString TexteVoieFermee() {
    return QStringLiteral("La voie série est fermée : rebranchez l'appareil, quittez ce mode puis "
                          "choisissez-le de nouveau.");
}

QString TitreSeparateurDifferent() {
    return QStringLiteral("Séparateur décimal");
}

QString TexteSeparateurDifferent(QChar appareil, QChar systeme) {
    return QStringLiteral(
               "L'appareil écrit ses nombres avec %1 comme séparateur décimal (%2), alors que "
               "les paramètres régionaux de ce système demandent %3 : le programme envoie donc à "
               "l'appareil ses longueurs d'onde avec %3 (%4). Les mesures reçues sont lues quand "
               "même, mais l'appareil risque de mal comprendre les longueurs d'onde et les plages "
               "de balayage.\n\nPour accorder les deux, réglez le séparateur décimal de "
               "l'appareil sur %3, ou choisissez %1 comme séparateur décimal dans les paramètres "
               "régionaux du système (format des nombres), puis relancez le programme.")
        .arg(NomSeparateur(appareil), u'0' + QString(appareil) + QStringLiteral("153"),
             NomSeparateur(systeme),
             QString::fromLatin1(Spectro.CmdLambda.Octets() + Spectro.TexteLambda(500)));
}
