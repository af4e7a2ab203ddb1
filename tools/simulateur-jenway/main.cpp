// A Jenway 6400/6500 on a pseudo-terminal, for trying the acquisition program without the
// instrument and for its tests.
//
//   simulateur-jenway [--lien CHEMIN] [--baud N] [--sans-delai] [--graine N] [--bruit A]
//                     [--journal FICHIER] [--horodatage FICHIER]
//
// The first line written on standard output is the device to open. Each line then read on
// standard input changes the instrument, and is answered "ok <line>" or "erreur <line> : ...":
//   cuve blanc | cuve solution | cuve etalon C | cuve inconnu [C] | cuve cinetique [K]
//   absorbance A              every reading gives A exactly, without noise
//   bruit A                   standard deviation of the noise
//   panne aucune | silence | charabia | virgule | saut-de-ligne | longue | partielle | lente
//                           | coupure | deluge | bouchee | octet N | chiffre N | alteration P
//                             silence, charabia, virgule and longue reach scan lines too;
//                             deluge sends 64 KiB without a carriage return instead of any
//                             reply; bouchee stops reading the line until another fault is
//                             chosen; octet puts a byte 0xFF in the middle of scan line N,
//                             chiffre turns its first digit into 9; alteration changes one
//                             byte at random in each scan line with probability P
//   debranche                 closes the line, as when the adapter is pulled out
//   libere                    drops the hold a killed program kept on the line and puts back
//                             the line's settings, as a real port is when its last user is gone
// The journal holds every command received, one per line, its end byte shown as [13] or [10].
// The time stamps file holds, for every line sent, the system's monotonic clock in nanoseconds
// when its CR went out, a tab and the line: benchmarks time from there to the screen.
#include "Simulateur.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

char lienASupprimer[4096] = {};

extern "C" void Interrompu(int) {
    if (lienASupprimer[0] != '\0')
        ::unlink(lienASupprimer);
    ::_exit(0);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCommandLineParser parametres;
    parametres.setApplicationDescription(
        QStringLiteral("Spectrophotomètre Jenway 6400/6500 simulé sur un pseudo-terminal"));
    parametres.addHelpOption();
    const QCommandLineOption lien(QStringLiteral("lien"),
                                  QStringLiteral("Lien symbolique vers le périphérique."),
                                  QStringLiteral("chemin"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Vitesse simulée (1200 par défaut)."),
                                  QStringLiteral("n"), QStringLiteral("1200"));
    const QCommandLineOption sansDelai(QStringLiteral("sans-delai"),
                                       QStringLiteral("Envoie sans attendre."));
    const QCommandLineOption graine(QStringLiteral("graine"),
                                    QStringLiteral("Graine du bruit, pour rejouer un essai."),
                                    QStringLiteral("n"));
    const QCommandLineOption bruit(QStringLiteral("bruit"),
                                   QStringLiteral("Écart type du bruit (0.002 par défaut)."),
                                   QStringLiteral("a"), QStringLiteral("0.002"));
    const QCommandLineOption journal(QStringLiteral("journal"),
                                     QStringLiteral("Fichier des commandes reçues."),
                                     QStringLiteral("fichier"));
    const QCommandLineOption horodatage(QStringLiteral("horodatage"),
                                        QStringLiteral("Fichier des instants d'envoi des lignes."),
                                        QStringLiteral("fichier"));
    parametres.addOptions({lien, baud, sansDelai, graine, bruit, journal, horodatage});
    parametres.process(application);

    TOptionsSimulateur options;
    options.lien = parametres.value(lien);
    options.journal = parametres.value(journal);
    options.horodatage = parametres.value(horodatage);
    options.baud = std::max(1, parametres.value(baud).toInt());
    options.sansDelai = parametres.isSet(sansDelai);
    options.graine = parametres.isSet(graine) ? parametres.value(graine).toUInt()
                                              : static_cast<quint32>(::getpid());
    options.bruit = parametres.value(bruit).toDouble();

    TSimulateur simulateur(options);
    QString erreur;
    const QString chemin = simulateur.Ouvre(erreur);
    if (chemin.isEmpty()) {
        std::fprintf(stderr, "simulateur-jenway : %s\n", qPrintable(erreur));
        return 1;
    }
    const QByteArray lienLocal = options.lien.toLocal8Bit();
    std::strncpy(lienASupprimer, lienLocal.constData(), sizeof lienASupprimer - 1);
    std::signal(SIGINT, Interrompu);
    std::signal(SIGTERM, Interrompu);
    std::printf("%s\n", qPrintable(chemin));
    std::fflush(stdout);
    return application.exec();
}
