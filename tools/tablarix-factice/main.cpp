// tablarix-factice: plays the analysis program's side of the exchange. It serves the DDE
// service "TABLARIX", topic "ServeurDDE", accepts (or refuses) the advise link on "ServeurItem",
// acknowledges the macros and journals each one with the clipboard text it then finds. It can
// also send one macro to another program's server, as the analysis program does.
//
// Options, from the command line and then from the environment variable TABLARIX_FACTICE (so
// that a program started by its path alone gets them too):
//   --journal FICHIER     appends "DEMARRAGE <pid>", "LIEN <item> accepte|refuse",
//                         "MACRO <macro>" then "PRESSE-PAPIERS <n>" and the n bytes of the
//                         clipboard (Windows-1252) and a line feed, "SERVICE OCCUPE"
//   --retard MS           registers the service only after MS milliseconds
//   --refuse-lien         refuses the advise link
//   --refuse-execution    refuses every macro
//   --duree MS            ends after MS milliseconds
//   --envoie SERVICE MACRO  sends MACRO to SERVICE / ServeurDDE and ends: status 0 when the
//                         macro was accepted, 1 without conversation, 2 when it was refused
#include "base/Encodage.h"
#include "exchange/TransportDDE.h"

#include <QClipboard>
#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

const QString kSujet = QStringLiteral("ServeurDDE");

class TJournal {
public:
    explicit TJournal(QString chemin) : chemin_(std::move(chemin)) {}
    void Ecrit(const QByteArray& octets) const {
        if (chemin_.isEmpty())
            return;
        QFile fichier(chemin_);
        if (fichier.open(QIODevice::WriteOnly | QIODevice::Append))
            fichier.write(octets);
    }

private:
    QString chemin_;
};

int Envoie(const QString& service, const QString& macro) {
    const auto conversation = CreeConversationDDE();
    if (!conversation->Ouvre(service, kSujet))
        return 1;
    const bool accepte = conversation->Execute(TexteVersAnsi(macro));
    conversation->Ferme();
    return accepte ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QStringList arguments = application.arguments();
    arguments += QProcess::splitCommand(qEnvironmentVariable("TABLARIX_FACTICE"));

    QCommandLineParser options;
    const QCommandLineOption journal(QStringLiteral("journal"), QString(), QStringLiteral("f"));
    const QCommandLineOption retard(QStringLiteral("retard"), QString(), QStringLiteral("ms"));
    const QCommandLineOption duree(QStringLiteral("duree"), QString(), QStringLiteral("ms"));
    const QCommandLineOption refuseLien(QStringLiteral("refuse-lien"));
    const QCommandLineOption refuseExecution(QStringLiteral("refuse-execution"));
    const QCommandLineOption envoie(QStringLiteral("envoie"), QString(), QStringLiteral("s"));
    options.addOptions({journal, retard, duree, refuseLien, refuseExecution, envoie});
    options.addPositionalArgument(QStringLiteral("macro"), QString());
    if (!options.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(options.errorText()));
        return 64;
    }
    if (options.isSet(envoie))
        return Envoie(options.value(envoie), options.positionalArguments().value(0));

    const TJournal trace(options.value(journal));
    trace.Ecrit("DEMARRAGE " + QByteArray::number(QCoreApplication::applicationPid()) + '\n');
    if (options.isSet(duree))
        QTimer::singleShot(options.value(duree).toInt(), &application, &QCoreApplication::quit);

    const auto serveur = CreeServeurDDE();
    serveur->AccepteLiens = !options.isSet(refuseLien);
    serveur->AccepteExecutions = !options.isSet(refuseExecution);
    QObject::connect(serveur.get(), &TServeurDDE::Lien, [&trace](const QString& item, bool ok) {
        trace.Ecrit("LIEN " + TexteVersAnsi(item) + (ok ? " accepte\n" : " refuse\n"));
    });
    QObject::connect(serveur.get(), &TServeurDDE::Macro, [&trace](const QByteArray& macro) {
        const QByteArray texte = TexteVersAnsi(QGuiApplication::clipboard()->text());
        trace.Ecrit("MACRO " + macro + "\nPRESSE-PAPIERS " + QByteArray::number(texte.size()) +
                    '\n' + texte + '\n');
    });
    QTimer::singleShot(options.value(retard).toInt(), &application, [&] {
        if (!serveur->Enregistre(QStringLiteral("TABLARIX"), kSujet)) {
            trace.Ecrit("SERVICE OCCUPE\n");
            QCoreApplication::exit(3);
        }
    });
    return application.exec();
}
