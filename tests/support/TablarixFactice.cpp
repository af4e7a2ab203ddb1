#include "TablarixFactice.h"

#include "OutilsTests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>

QString CheminTablarixFactice() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tablarix-factice");
}

TTablarixFactice::~TTablarixFactice() {
    processus_.terminate();
    processus_.waitForFinished();
}

bool TTablarixFactice::Lance(const QString& espace, const QStringList& options) {
    processus_.start(CheminTablarixFactice(), options);
    if (!processus_.waitForStarted())
        return false;
    const QString socket = QDir(espace).filePath(QStringLiteral("jenway-dde-tablarix-serveurdde"));
    return Attend([&socket] { return QFile::exists(socket); });
}

TJournalFactice LitJournalFactice(const QString& chemin) {
    const QByteArray octets = Lit(chemin);
    TJournalFactice journal;
    qsizetype i = 0;
    const auto ligne = [&] {
        const qsizetype fin = octets.indexOf('\n', i);
        const QByteArray texte = octets.mid(i, fin < 0 ? -1 : fin - i);
        i = fin < 0 ? octets.size() : fin + 1;
        return texte;
    };
    while (i < octets.size()) {
        const QByteArray texte = ligne();
        if (texte.startsWith("DEMARRAGE ")) {
            journal.Demarrages << texte.mid(10).toLongLong();
        } else if (texte.startsWith("LIEN ")) {
            journal.Liens << texte.mid(5);
        } else if (texte == "SERVICE OCCUPE") {
            journal.ServiceOccupe = true;
        } else if (texte.startsWith("MACRO ")) {
            const qsizetype n = ligne().mid(15).toLongLong(); // "PRESSE-PAPIERS n"
            journal.Macros << TMacroFactice{texte.mid(6), octets.mid(i, n)};
            i += n + 1;
        }
    }
    return journal;
}

bool ArreteTablarixDemarres(const QString& chemin) {
    bool arretes = true;
    for (const qint64 pid : LitJournalFactice(chemin).Demarrages) {
        const auto processus = static_cast<pid_t>(pid);
        ::kill(processus, SIGTERM);
        arretes = Attend([processus] { return ::kill(processus, 0) != 0; }) && arretes;
    }
    return arretes;
}
