#include "instrument/EnregistreursSerie.h"

#include "base/Encodage.h"
#include "base/Horloge.h"
#include "base/Regional.h"
#include "instrument/ErreursCom.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

namespace {

constexpr qsizetype kColonnes = 78;
const QByteArray kFinLigne = "\r\n";

QByteArray Element(char octet) {
    const auto code = static_cast<quint8>(octet);
    if (code >= 32 && code <= 126)
        return QByteArray(1, octet);
    return '[' + QByteArray::number(code) + ']';
}

// What went wrong, in French rather than in the system's words.
QString RaisonFichier(QFileDevice::FileError erreur) {
    switch (erreur) {
    case QFileDevice::OpenError:
        return QStringLiteral("il ne peut pas être créé là");
    case QFileDevice::PermissionsError:
        return QStringLiteral("son accès est refusé");
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return QStringLiteral("l'écriture a échoué (disque plein ?)");
    default:
        break;
    }
    return QStringLiteral("le système refuse l'opération");
}

void EcritFichier(const QString& chemin, const QByteArray& contenu) {
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        fichier.write(contenu) != contenu.size() || !fichier.flush())
        throw ECommFichier(
            fichier.error(),
            QStringLiteral("Impossible d'écrire le fichier %1 : %2. Vérifiez que son "
                           "dossier accepte de nouveaux fichiers.")
                .arg(QDir::toNativeSeparators(chemin), RaisonFichier(fichier.error())));
}

} // namespace

QString CheminEnregistrement(const QString& nom) {
    const QDir dossier(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
    dossier.mkpath(QStringLiteral("."));
    return dossier.filePath(nom);
}

void TTraceSerie::Note(QByteArrayView octets, bool emis) {
    for (const char octet : octets) {
        if (entrees_.size() == kTaille)
            entrees_.pop_front();
        entrees_.push_back({octet, emis});
    }
}

QByteArray TTraceSerie::Texte() const {
    QByteArray texte;
    qsizetype colonne = 0;
    for (std::size_t i = 0; i < entrees_.size(); ++i) {
        const TEntree& e = entrees_[i];
        if (i == 0 || e.emis != entrees_[i - 1].emis) {
            if (i > 0)
                texte += kFinLigne + kFinLigne;
            const QByteArray entete = e.emis ? "Transmit: " : "Receive: ";
            texte += entete;
            colonne = entete.size();
        }
        const QByteArray element = Element(e.octet);
        if (colonne + element.size() > kColonnes) {
            texte += kFinLigne;
            colonne = 0;
        }
        texte += element;
        colonne += element.size();
    }
    if (!texte.isEmpty())
        texte += kFinLigne;
    return texte;
}

void TTraceSerie::Ecrit(const QString& chemin) const {
    EcritFichier(chemin, Texte());
}

void TJournalSerie::Note(char genre, const char* evenement, quint32 donnee) {
    if (evenements_.size() == kTaille)
        evenements_.pop_front();
    evenements_.push_back({Horloge().Millisecondes(), genre, evenement, donnee});
}

QByteArray TJournalSerie::Texte(const QString& peripherique) const {
    QByteArray texte = "Journal de la voie série" + kFinLigne;
    texte += "Système : " + QSysInfo::prettyProductName().toUtf8() + kFinLigne;
    texte += "Périphérique : " + peripherique.toUtf8() + kFinLigne;
    texte += "Date : " + TexteDateHeure(Horloge().DateHeure()).toUtf8() + kFinLigne + kFinLigne;
    texte = TexteVersAnsi(QString::fromUtf8(texte));
    for (const TEvenement& e : evenements_) {
        texte += QByteArray::number(e.millisecondes).rightJustified(10, '0') + "  " + e.genre +
                 "  " + QByteArray(e.nom).leftJustified(12) + "  " +
                 QByteArray::number(e.donnee, 16).toUpper().rightJustified(8, '0') + kFinLigne;
    }
    return texte;
}

void TJournalSerie::Ecrit(const QString& chemin, const QString& peripherique) const {
    EcritFichier(chemin, Texte(peripherique));
}
